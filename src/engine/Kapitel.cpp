#include "engine/Kapitel.h"

#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace lorvane {

namespace {

constexpr std::int64_t kAacVorlaufSamples = 1024;
constexpr const char* kKapitelKopf = "[CHAPTER]";

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

std::string KapitelMetadaten(const std::vector<TKapitel>& kapitel, std::int64_t gesamtSamples,
                             std::int32_t samplerate) {
    std::string text = ";FFMETADATA1\n";
    if (samplerate <= 0) {
        return text;
    }
    const std::int64_t ende = Millisekunden(gesamtSamples + kAacVorlaufSamples, samplerate);
    for (std::size_t i = 0; i < kapitel.size(); ++i) {
        const auto beginn = [&](std::size_t k) {
            return k == 0 ? 0
                          : Millisekunden(kapitel[k].StartSamples + kAacVorlaufSamples, samplerate);
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
