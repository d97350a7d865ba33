#pragma once
// The state one program run shares between the windows, the job controller and the
// two worker threads. The controller owns it and hands it to the threads.
//
// Threads: flags and counters are atomics, written by one side and polled by the
// others. The queue and the two error lists lock on every access. The texts and
// folders are written by the user-interface thread only while no worker runs; starting
// a thread publishes them. The length of Mp3Liste is fixed while the workers run and
// only the joiner touches its entries; the others read only its length.

#include "engine/TeilGroesse.h"
#include "engine/ordner/Ordner.h"
#include "engine/threads/LockedList.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace lorvane {

// One MP3 file of the job, in playing order.
struct TMp3ListeRec {
    // The file whose audio bytes are joined; the re-encoded copy after re-encoding.
    std::filesystem::path Filename;
    std::int32_t Dauer = 0;      // seconds
    std::int32_t Bitrate = 0;    // bits per second
    std::int32_t Samplerate = 0; // Hz
    std::int32_t Channels = 0;   // 1 or 2
    std::int64_t Start = 0;      // offset of the first frame header
    std::int64_t Length = 0;     // audio bytes from Start on
    // The silence its encoder put before the audio, in samples; -1 when not recorded.
    std::int32_t EncoderDelay = -1;
    // The user's file as the list named it; messages name it, never a scratch copy.
    std::filesystem::path Eingabe;
    // The chapter's name in the parts: the file's own title, else its name.
    std::string KapitelTitel;
};

using TMp3Liste = std::vector<TMp3ListeRec>;
using TConvertListe = std::vector<std::filesystem::path>;

// One row of the main window's file list: the full path and the playing time text.
struct TDateiZeile {
    std::string Caption;
    std::string Dauer;
};

// At most this many encoders convert parts at once.
inline constexpr std::int32_t kMaxEncoder = 16;

// The cores this process may use (its CPU affinity, else the machine's), 1 to
// kMaxEncoder: as many encoders as can run side by side.
std::int32_t StandardEncoder();

// Settings, folders, metadata, target format, running flags and totals.
struct TDatenVariablen {
    std::atomic<bool> CopyMp3FileS{false};
    std::atomic<bool> MinimierenS{false};
    // Parts end at a file boundary or a pause near the part size, not just at the size.
    std::atomic<bool> PausenSchnittS{true};
    // The setting's value when it is missing.
    std::atomic<std::int32_t> MaxStunden{StundenVorgabe};
    std::atomic<bool> Mp3ThreadLaeuftS{false};
    // True while any converter runs.
    std::atomic<bool> ConvertThreadLaeuftS{false};
    // The encoders the converter runs side by side (1 to kMaxEncoder); the front ends
    // set it from the cores the process may use.
    std::atomic<std::int32_t> Encoder{1};
    std::atomic<std::int32_t> GesamtDauer{0};
    std::atomic<std::int32_t> M4bDauer{0};
    std::atomic<std::int32_t> LetzteZeit{0};
    std::atomic<std::int32_t> TeilNr{0};
    std::atomic<std::int32_t> ZielBitrate{0};
    std::atomic<std::int32_t> ZielSamplerate{0};
    std::atomic<std::int32_t> ZielChannels{0};
    std::filesystem::path AusgabeOrdner;
    std::filesystem::path ArbeitsOrdner;
    std::filesystem::path FfmpegDatei;
    std::filesystem::path SendToLink;
    // Already cleaned for file names by the main window.
    std::string Autor;
    std::string Titel;
    std::string Album;
};

// One encoder's running file or part: its length and position in seconds as the
// encoder reports them, -1 while unknown.
struct TEncoderLauf {
    std::atomic<std::int32_t> Dauer{-1};
    std::atomic<std::int32_t> Zeit{-1};
    void Zuruecksetzen() {
        Dauer = -1;
        Zeit = -1;
    }
};

// The converter's side and the stop protocol.
struct TConvertVariablen {
    // The first converter's running part; the further ones are in WeitereLaeufe.
    std::atomic<std::int32_t> ConvertDauer{0};
    std::atomic<std::int32_t> ConvertZeit{0};
    std::array<TEncoderLauf, kMaxEncoder - 1> WeitereLaeufe;
    // The parts being converted now.
    std::atomic<std::int32_t> LaufendeTeile{0};
    // The length and position of converter k's running part.
    std::atomic<std::int32_t>& LaufDauer(std::int32_t k) {
        return k == 0 ? ConvertDauer : WeitereLaeufe[static_cast<std::size_t>(k - 1)].Dauer;
    }
    std::atomic<std::int32_t>& LaufZeit(std::int32_t k) {
        return k == 0 ? ConvertZeit : WeitereLaeufe[static_cast<std::size_t>(k - 1)].Zeit;
    }
    std::atomic<bool> AbbruchS{false};
    std::atomic<bool> PauseS{false};
    TLockedList<std::filesystem::path> ConvertListe;
    std::atomic<std::int32_t> ConvertIndex{0};
    TLockedList<std::string> ConvertFehlerListe;
    TLockedList<std::string> Mp3FehlerListe;
    std::filesystem::path HoerbuchOrdner;
    // The files this job finished in the audiobook folder: every ".m4b" once it has
    // its name, and the copies of the MP3 parts. Emptied when the progress window is
    // created; kept after the job, so that the front end can report them.
    TLockedList<std::filesystem::path> FertigeDateien;
    // Every finished M4B file with the number of its chapters.
    TLockedList<std::pair<std::filesystem::path, std::int32_t>> FertigeKapitel;
    // The controller stopped the converter's encoder with "q" (a cancel): the result of
    // that run is a torso, not a part. An error elsewhere lets a run finish its part.
    std::atomic<bool> ConvertEncoderGestopptS{false};
    // The parts the joiner will make, known once it has the part size (0 before), and
    // the ".m4b" files finished so far.
    std::atomic<std::int32_t> TeileErwartet{0};
    std::atomic<std::int32_t> FertigeTeile{0};
};

// The joiner's side.
struct TMp3Variablen {
    TMp3Liste Mp3Liste;
    std::atomic<std::int32_t> Mp3Dauer{0};
    std::atomic<std::int32_t> Mp3Zeit{0};
    std::atomic<std::int64_t> GesamtBytes{0};
    std::atomic<std::int64_t> KopiertBytes{0};
    std::atomic<std::int32_t> VorIndex{0};
    std::atomic<std::int32_t> KopierIndex{0};
    // Files whose preprocessing is done: re-encoded ahead of the joiner, or prepared by
    // it without re-encoding.
    std::atomic<std::int32_t> VorFertig{0};
    // Re-encoder k's running file.
    std::array<TEncoderLauf, kMaxEncoder> UmkodierLaeufe;
};

class TJobState {
public:
    // Program start: flags false, counters 0, texts empty, the default folders set.
    TJobState() = default;
    explicit TJobState(const TStandardOrdner& ordner);
    TJobState(const TJobState&) = delete;
    TJobState& operator=(const TJobState&) = delete;

    TDatenVariablen Daten;
    TConvertVariablen Convert;
    TMp3Variablen Mp3;

    // Main window created: metadata empty, running flags false, target format 0.
    void HauptfensterErstellt();
    // Creates the output and working folders and clears the working folder; failures
    // are ignored, and a working folder the program may not work in stays untouched.
    void HauptfensterOrdnerVorbereiten() const;
    // Main window destroyed: the output folder goes when empty, the working folder is
    // cleared and removed.
    void HauptfensterOrdnerAufraeumen() const;

    // Add dialog opened: the total duration starts again; on an empty file list the
    // metadata too.
    void HinzufuegenGeoeffnet(bool dateiListeLeer);
    // Scan started: on an empty file list the target format is forgotten.
    void HinzufuegenScanGestartet(bool dateiListeLeer);

    // Progress window created, first step: the job's list from the file-list rows,
    // queue emptied, GesamtDauer the sum of the rows, M4bDauer 0.
    void Mp3ListeAufbauen(const std::vector<TDateiZeile>& zeilen);
    // Progress window created, second step: every per-job value reset and
    // HoerbuchOrdner set.
    void FortschrittsfensterErstellt();
    // Creates HoerbuchOrdner and ArbeitsOrdner; failures are left to the start checks.
    void FortschrittsfensterOrdnerAnlegen() const;
    // Progress window destroyed: lists emptied, the working folder cleared when
    // arbeitsOrdnerLeeren (never while an input lies there), the audiobook folder
    // removed when empty when hoerbuchOrdnerEntfernen (never while another job uses it).
    void FortschrittsfensterZerstoert(bool arbeitsOrdnerLeeren, bool hoerbuchOrdnerEntfernen);

    // Joiner phase 1 begins.
    void JoinerGestartet();
    // Joiner phase 4 begins.
    void VerbindenGestartet();
    // Before each file of the preprocessing and each re-encoding: position unknown.
    void Mp3ZeitenZuruecksetzen();
    // Every pass of the converter's loop, so before every conversion.
    // FertigeKapitel in the order of the parts: converters side by side finish them in
    // any order. The names differ only in the part number, so the shorter name comes first.
    std::vector<std::pair<std::filesystem::path, std::int32_t>> FertigeKapitelInTeilfolge() const;

    void ConvertDurchlaufGestartet();
    // Converter k starts a pass: its part's length and position are unknown again.
    void ConvertDurchlaufGestartet(std::int32_t k);

    // The stop protocol's first half: hold both workers, then leave exactly one message.
    void Mp3FehlerMelden(std::string meldung);
    void ConvertFehlerMelden(std::string meldung);

    // AusgabeOrdner + Album + separator.
    std::filesystem::path HoerbuchOrdnerBerechnen() const;
};

} // namespace lorvane
