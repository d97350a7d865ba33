#pragma once
// The texts and the percentage the progress display shows for a job: the two status
// lines, the bar position, the window caption and the tray hint. Plain functions of
// the job's counters, so that both front ends and the tests share them.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lorvane {

inline constexpr const char* ProgrammVersionText = "Lorvane V1.13";

// s * v / t rounded to the nearest integer (halves to even); 0 when any of the three
// is 0 or less.
std::int64_t Scaled(std::int64_t s, std::int64_t v, std::int64_t t);

// The texts that size the two status lines before anything runs.
std::string Status1Vorlage(std::int64_t anzahlDateien);
std::string Status2Vorlage(std::int64_t anzahlDateien);

// "Vorverarbeitung: 2/3" for the index of the file the joiner prepares, in list order.
std::string VorverarbeitungText(std::int64_t vorIndex, std::int64_t anzahlDateien);
// "Bearbeite MP3-Datei: 1.200/1.500" for the index of the file being joined.
std::string BearbeiteText(std::int64_t kopierIndex, std::int64_t anzahlDateien);
std::string BearbeiteOkText();
// "Erstelle M4B-Datei: 1/2" for the index of the part being converted.
std::string ErstelleText(std::int64_t convertIndex, std::int64_t anzahlTeile);
std::string ErstelleOkText();

// "25% - Erstelle Hörbuch "Album"".
std::string FortschrittCaption(std::int64_t wert, const std::string& album);
// "Lorvane V1.13 - 25% bearbeitet", "erstellt" in phase 3.
std::string FortschrittTrayHint(std::int64_t wert, int phase);

// The counters the progress display reads; copies taken at one moment.
struct TJobZaehler {
    bool Mp3ThreadLaeuft = false;
    bool ConvertThreadLaeuft = false;
    std::int64_t AnzahlDateien = 0;
    std::int64_t VorIndex = -1;
    std::int64_t KopierIndex = -1;
    std::int64_t KopiertBytes = 0;
    std::int64_t GesamtBytes = 0;
    std::int64_t Mp3Dauer = -1;
    std::int64_t Mp3Zeit = -1;
    // The files whose preprocessing is done, and the re-encoders' positions and lengths.
    std::int64_t VorFertig = 0;
    std::vector<std::pair<std::int64_t, std::int64_t>> UmkodierLaeufe;
    std::int64_t ConvertIndex = -1;
    std::int64_t AnzahlTeile = 0; // entries of the converter's queue
    std::int64_t ConvertDauer = -1;
    std::int64_t ConvertZeit = -1;
    // With several converters: the parts being converted (-1 with one converter, whose
    // running part is ConvertIndex), and the further converters' positions and lengths.
    std::int64_t LaufendeTeile = -1;
    std::vector<std::pair<std::int64_t, std::int64_t>> WeitereLaeufe;
};

// Phase 1: analysis and preprocessing; 2: joining; 3: converting after the joiner.
struct TFortschrittSchritt {
    std::int64_t Wert = 0;
    int Phase = 1;
};

// What one status update shows: both lines, and the progress step when there is one.
struct TJobStatusAnzeige {
    std::string Text1;
    std::string Text2;
    std::optional<TFortschrittSchritt> Fortschritt;
};

TJobStatusAnzeige StatusBerechnen(const TJobZaehler& zaehler);

// The bar position for a step: the value plus the share of the file or part in work,
// at most 100.
std::int64_t FortschrittWert(const TFortschrittSchritt& schritt, const TJobZaehler& zaehler);

} // namespace lorvane
