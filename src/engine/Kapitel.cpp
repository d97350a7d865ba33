#include "engine/Kapitel.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace lorvane {

namespace {

constexpr const char* kKapitelKopf = "[CHAPTER]";
// A comment to the encoder, which ignores lines beginning with "#".
constexpr std::string_view kVorlaufZeile = "#vorlauf=";

// The metadata format's special characters are escaped with a backslash; a line
// break would end the value.
std::string Maskiert(const std::string& text) {
    std::string ergebnis;
    for (const char c : text) {
        if (c == '\n' || c == '\r') {
            ergebnis += ' ';
            continue;
        }
        if (c == '=' || c == ';' || c == '#' || c == '\\') {
            ergebnis += '\\';
        }
        ergebnis += c;
    }
    return ergebnis;
}

std::int64_t Millisekunden(std::int64_t samples, std::int32_t samplerate) {
    return (samples * 1000 + samplerate / 2) / samplerate;
}

} // namespace

std::string KapitelTitel(const std::string& tagTitel, const fs::path& eingabe) {
    if (tagTitel.find_first_not_of(" \t") != std::string::npos) {
        return tagTitel;
    }
    const std::string name = eingabe.stem().string();
    return name.empty() ? eingabe.filename().string() : name;
}

fs::path KapitelDateiName(const fs::path& teil) {
    return fs::path(teil).replace_extension(".meta");
}

std::int32_t TeilVorlauf(const std::vector<TKapitel>& kapitel) {
    const bool ersteBekannt = !kapitel.empty() && kapitel.front().VerzoegerungBekannt;
    return kMp3DecoderVerzoegerung + (ersteBekannt ? kapitel.front().Verzoegerung : 0);
}

std::string KapitelMetadaten(const std::vector<TKapitel>& kapitel, std::int64_t gesamtSamples,
                             std::int32_t samplerate) {
    std::string text = ";FFMETADATA1\n";
    if (samplerate <= 0) {
        return text;
    }
    const std::int32_t vorlauf = TeilVorlauf(kapitel);
    text += std::string(kVorlaufZeile) + std::to_string(vorlauf) + "\n";
    const std::int64_t ende = Millisekunden(
        std::max<std::int64_t>(0, gesamtSamples + kMp3DecoderVerzoegerung - vorlauf), samplerate);
    for (std::size_t i = 0; i < kapitel.size(); ++i) {
        const auto beginn = [&](std::size_t k) {
            const std::int64_t samples = kapitel[k].StartSamples + kMp3DecoderVerzoegerung +
                                         kapitel[k].Verzoegerung - vorlauf;
            return k == 0 ? 0 : Millisekunden(std::max<std::int64_t>(0, samples), samplerate);
        };
        text += std::string(kKapitelKopf) +
                "\nTIMEBASE=1/1000\nSTART=" + std::to_string(beginn(i)) +
                "\nEND=" + std::to_string(i + 1 < kapitel.size() ? beginn(i + 1) : ende) +
                "\ntitle=" + Maskiert(kapitel[i].Titel) + "\n";
    }
    return text;
}

bool KapitelDateiSchreiben(const fs::path& datei, const std::string& text) {
    std::ofstream aus(datei, std::ios::binary | std::ios::trunc);
    aus << text;
    aus.close();
    if (!aus.fail()) {
        return true;
    }
    std::error_code ec;
    fs::remove(datei, ec);
    return false;
}

std::int32_t KapitelVorlauf(const fs::path& datei) {
    std::ifstream ein(datei);
    for (std::string zeile; std::getline(ein, zeile);) {
        if (zeile.rfind(kVorlaufZeile, 0) == 0) {
            std::int32_t wert = 0;
            const char* anfang = zeile.data() + kVorlaufZeile.size();
            const auto [rest, fehler] = std::from_chars(anfang, zeile.data() + zeile.size(), wert);
            return fehler == std::errc() && rest != anfang && wert > 0 ? wert : 0;
        }
    }
    return 0;
}

std::int32_t KapitelZaehlen(const fs::path& datei) {
    std::ifstream ein(datei);
    std::int32_t anzahl = 0;
    for (std::string zeile; std::getline(ein, zeile);) {
        anzahl += zeile == kKapitelKopf ? 1 : 0;
    }
    return anzahl;
}

std::string KapitelJeDateiText(const std::vector<std::pair<fs::path, std::int32_t>>& dateien) {
    std::string text;
    for (const auto& [datei, anzahl] : dateien) {
        text += (text.empty() ? "Kapitel je M4B-Datei: " : ", ") + std::to_string(anzahl);
    }
    return text;
}

} // namespace lorvane
