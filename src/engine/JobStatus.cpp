#include "engine/JobStatus.h"

#include "base/DatenC.h"

#include <algorithm>
#include <cmath>

namespace lorvane {

namespace {

std::string Bruch(std::int64_t zaehler, std::int64_t nenner) {
    return ZahlMitPunkten(zaehler) + "/" + ZahlMitPunkten(nenner);
}

// A run's done share of one file or part; nothing while its position is unknown.
std::int64_t LaufAnteil(std::int64_t anteil, std::int64_t zeit, std::int64_t dauer) {
    return dauer > 0 && zeit > 0 && anteil > 0 ? Scaled(anteil, zeit, dauer) : 0;
}

std::int64_t LaufAnteile(std::int64_t anteil,
                         const std::vector<std::pair<std::int64_t, std::int64_t>>& laeufe) {
    std::int64_t summe = 0;
    for (const auto& [zeit, dauer] : laeufe) {
        summe += LaufAnteil(anteil, zeit, dauer);
    }
    return summe;
}

} // namespace

std::int64_t Scaled(std::int64_t s, std::int64_t v, std::int64_t t) {
    if (s <= 0 || v <= 0 || t <= 0) {
        return 0;
    }
    // Long double holds every 64-bit count exactly; rint rounds halves to even.
    const long double wert =
        static_cast<long double>(s) * static_cast<long double>(v) / static_cast<long double>(t);
    return static_cast<std::int64_t>(std::rint(wert));
}

std::string Status1Vorlage(std::int64_t anzahlDateien) {
    const std::string n = ZahlMitPunkten(anzahlDateien);
    return "Bearbeite MP3-Datei: " + n + "/" + n + "M";
}

std::string Status2Vorlage(std::int64_t anzahlDateien) {
    const std::string n = ZahlMitPunkten(anzahlDateien);
    return "Erstelle M4B-Datei: " + n + "/" + n + "M";
}

std::string VorverarbeitungText(std::int64_t vorIndex, std::int64_t anzahlDateien) {
    return "Vorverarbeitung: " + Bruch(vorIndex + 1, anzahlDateien);
}

std::string BearbeiteText(std::int64_t kopierIndex, std::int64_t anzahlDateien) {
    return "Bearbeite MP3-Datei: " + Bruch(kopierIndex + 1, anzahlDateien);
}

std::string BearbeiteOkText() {
    return "Bearbeite MP3-Datei: OK.";
}

std::string ErstelleText(std::int64_t convertIndex, std::int64_t anzahlTeile) {
    return "Erstelle M4B-Datei: " + Bruch(convertIndex + 1, anzahlTeile);
}

std::string ErstelleOkText() {
    return "Erstelle M4B-Datei: OK.";
}

std::string FortschrittCaption(std::int64_t wert, const std::string& album) {
    return std::to_string(wert) + "% - Erstelle Hörbuch \"" + album + "\"";
}

std::string FortschrittTrayHint(std::int64_t wert, int phase) {
    return std::string(ProgrammVersionText) + " - " + std::to_string(wert) + "% " +
           (phase == 3 ? "erstellt" : "bearbeitet");
}

TJobStatusAnzeige StatusBerechnen(const TJobZaehler& z) {
    TJobStatusAnzeige anzeige;
    if (z.Mp3ThreadLaeuft && z.KopierIndex == -1) {
        anzeige.Text1 = VorverarbeitungText(z.VorIndex, z.AnzahlDateien);
        anzeige.Fortschritt = TFortschrittSchritt{Scaled(50, z.VorFertig, z.AnzahlDateien), 1};
    } else if (z.Mp3ThreadLaeuft && z.KopierIndex >= 0) {
        anzeige.Text1 = BearbeiteText(z.KopierIndex, z.AnzahlDateien);
        anzeige.Fortschritt = TFortschrittSchritt{Scaled(50, z.KopiertBytes, z.GesamtBytes), 2};
    } else {
        anzeige.Text1 = BearbeiteOkText();
    }
    if (z.ConvertThreadLaeuft) {
        anzeige.Text2 = ErstelleText(z.ConvertIndex, z.AnzahlTeile);
        // While the joiner runs the bar follows the joiner; the converter shows only in
        // its line.
        if (!z.Mp3ThreadLaeuft) {
            // The parts taken and no longer running are done.
            const std::int64_t fertig =
                z.LaufendeTeile < 0 ? z.ConvertIndex : z.ConvertIndex + 1 - z.LaufendeTeile;
            anzeige.Fortschritt = TFortschrittSchritt{Scaled(100, fertig, z.AnzahlTeile), 3};
        }
    } else {
        anzeige.Text2 = ErstelleOkText();
    }
    return anzeige;
}

std::int64_t FortschrittWert(const TFortschrittSchritt& schritt, const TJobZaehler& z) {
    std::int64_t wert = schritt.Wert;
    if (schritt.Phase == 1) {
        // The joiner's own run (the silence detection at its end) and the re-encoders'.
        const std::int64_t anteil = Scaled(50, 1, z.AnzahlDateien);
        wert += LaufAnteile(anteil, z.UmkodierLaeufe) + LaufAnteil(anteil, z.Mp3Zeit, z.Mp3Dauer);
        // The phase takes the first half of the bar.
        return std::min<std::int64_t>(wert, 50);
    }
    if (schritt.Phase == 2) {
        wert += 50;
    } else if (schritt.Phase == 3) {
        const std::int64_t anteil = Scaled(100, 1, z.AnzahlTeile);
        wert += LaufAnteile(anteil, z.WeitereLaeufe) +
                LaufAnteil(anteil, z.ConvertZeit, z.ConvertDauer);
    }
    return wert > 100 ? 100 : wert;
}

} // namespace lorvane
