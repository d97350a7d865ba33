#include "engine/TeilNamen.h"

#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace lorvane {

namespace {

// A dangling link still occupies the name.
bool NameBelegt(const fs::path& pfad) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(pfad, ec));
}

// File names hold at most 255 bytes: a long base name is shortened (at a character
// boundary) so that the suffix still fits.
std::string NameMitZusatz(std::string basis, const std::string& zusatz, const std::string& endung) {
    constexpr std::size_t kMaxNameBytes = 255;
    const std::size_t rest = zusatz.size() + endung.size();
    if (basis.size() + rest > kMaxNameBytes) {
        std::size_t laenge = rest < kMaxNameBytes ? kMaxNameBytes - rest : 0;
        while (laenge > 0 && (static_cast<unsigned char>(basis[laenge]) & 0xC0) == 0x80) {
            --laenge;
        }
        basis.resize(laenge);
    }
    return basis + zusatz + endung;
}

} // namespace

std::string TeilNummerText(std::int32_t teilNr) {
    const bool negativ = teilNr < 0;
    std::string ziffern = std::to_string(negativ ? -std::int64_t{teilNr} : std::int64_t{teilNr});
    if (ziffern.size() < 3) {
        ziffern.insert(0, 3 - ziffern.size(), '0');
    }
    return negativ ? "-" + ziffern : ziffern;
}

fs::path TeilDateiName(const fs::path& arbeitsOrdner, const std::string& autor,
                       const std::string& album, std::int32_t teilNr) {
    // The ".m4a" and ".m4b" names of the part are as long as this one.
    std::string zusatz = "_";
    zusatz += TeilNummerText(teilNr);
    std::string basis = autor;
    basis += " - ";
    basis += album;
    return arbeitsOrdner / NameMitZusatz(std::move(basis), zusatz, ".mp3");
}

std::string TeilTitel(const std::string& titel, std::int32_t teilNr) {
    return titel + " (" + TeilNummerText(teilNr) + ")";
}

fs::path KopieDateiName(const fs::path& arbeitsOrdner, const fs::path& quelle) {
    const std::string basis = quelle.stem().string();
    // The encoder tells the output format by the extension: the copy is MP3 whatever
    // the source was called.
    const std::string endung = ".mp3";
    fs::path kopie = arbeitsOrdner / NameMitZusatz(basis, "_tmp", endung);
    // Ends: the folder holds finitely many names.
    for (std::int64_t k = 1; NameBelegt(kopie); ++k) {
        kopie = arbeitsOrdner / NameMitZusatz(basis, "_tmp_" + std::to_string(k), endung);
    }
    return kopie;
}

} // namespace lorvane
