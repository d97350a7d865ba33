#include "engine/ThreadMeldungen.h"

#include "base/FehlerGrund.h"

#include <string_view>

namespace lorvane {

namespace {

constexpr std::string_view kMp3Bearbeitung =
    "Die Datei \"%s\" konnte nicht bearbeitet werden!\r\nDie MP3-Bearbeitung wird abgebrochen!";
constexpr std::string_view kTeilErstellung =
    "Die Datei \"%s\" konnte nicht erstellt werden!\r\nDie M4B-Erstellung wird abgebrochen!";
constexpr std::string_view kKonvertierung =
    "Die Datei \"%s\" konnte nicht konvertiert werden!\r\nDie M4B-Erstellung wird abgebrochen!";
constexpr std::string_view kMp3Kopie =
    "Die zusammengefügte MP3-Datei \"%s\" konnte nicht in den Ausgabeordner kopiert "
    "werden!\r\nDie M4B-Erstellung wird abgebrochen!";
constexpr std::string_view kUmbenennung =
    "Die Datei \"%s\" konnte nicht umbenannt werden!\r\nDie M4B-Erstellung wird abgebrochen!";

// The template with the text in place of its one "%s".
std::string Einsetzen(std::string_view vorlage, const std::string& text) {
    const std::size_t stelle = vorlage.find("%s");
    std::string meldung(vorlage.substr(0, stelle));
    meldung += text;
    meldung += vorlage.substr(stelle + 2);
    return meldung;
}

} // namespace

std::string ThreadAbbruchFehler(const std::string& grund) {
    return MitGrund("Ein Arbeitsschritt wurde durch einen unerwarteten Fehler beendet!\r\nDie "
                    "Konvertierung wird abgebrochen!",
                    grund);
}

std::string Mp3BearbeitungFehler(const std::string& datei) {
    return Einsetzen(kMp3Bearbeitung, datei);
}

std::string TeilErstellungFehler(const std::filesystem::path& teil) {
    return Einsetzen(kTeilErstellung, teil.string());
}

std::string KonvertierungFehler(const std::filesystem::path& teil) {
    return Einsetzen(kKonvertierung, teil.string());
}

std::string Mp3KopierFehler(const std::filesystem::path& teil) {
    return Einsetzen(kMp3Kopie, teil.string());
}

std::string UmbenennungFehler(const std::filesystem::path& ergebnis) {
    return Einsetzen(kUmbenennung, ergebnis.string());
}

std::string VollstaendigUnterAltemNamen(const std::filesystem::path& ergebnis) {
    return "Die vollständig umgewandelte Datei bleibt als \"" + ergebnis.string() + "\" erhalten.";
}

} // namespace lorvane
