#pragma once
// What the main window enables and the texts it builds, as plain functions over the
// few facts they depend on.

#include <QString>

#include <cstdint>
#include <string>

namespace lorvane {

// The file list and the preview player, as the enabling rule sees them.
struct TDateiListeZustand {
    int Zeilen = 0;
    int Markiert = 0;
    int FokusZeile = -1; // -1: no row has the focus
    bool PlayerHatDatei = false;
    bool PlayerGestoppt = true;
};

struct TDateiListeSchalter {
    bool NachOben = false;
    bool NachUnten = false;
    bool Entfernen = false;
    bool Leeren = false;
    bool AllesMarkieren = false;
    bool PlayPause = false;
    bool Stop = false;
    bool Weiter = false;
    bool operator==(const TDateiListeSchalter&) const = default;
};

// The rule of UpdateButtonsLv2.
TDateiListeSchalter DateiListeSchalter(const TDateiListeZustand& zustand);

struct TOrdnerListeZustand {
    int Zeilen = 0;
    int Markiert = 0;
    int FokusZeile = -1;
    bool Laufwerksebene = true;
};

struct TOrdnerListeSchalter {
    bool Zurueck = false;
    bool Hinzufuegen = false;
    bool OrdnerOeffnen = false;
    bool AllesMarkieren = false;
    bool operator==(const TOrdnerListeSchalter&) const = default;
};

TOrdnerListeSchalter OrdnerListeSchalter(const TOrdnerListeZustand& zustand);

// The information box after adding: the number with dots and the playing time.
QString HinzugefuegtText(std::int64_t anzahl, std::int32_t dauer);
// The success question after a job; the album comes first, the chapters per file (a
// line of its own) before the question.
QString ErfolgsFrage(const std::string& album, const std::string& autor, std::int32_t teile,
                     std::int32_t dauer, const std::string& kapitel = {});
// When no file manager could open a folder.
QString OrdnerNichtGeoeffnetText(const QString& ordner);
// When the preview cannot play its file, with the player's reason.
QString VorschauFehlerText(const QString& datei, const QString& grund);

} // namespace lorvane
