#pragma once
// What the tests of the two worker threads share: a job in a temporary folder with a
// minimal stand-in for the controller, MP3 input made of synthetic frames or by the
// real encoder, and stand-in encoder scripts. Header only: every test program is
// built from one source file.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/ConvertThreadC.h"
#include "engine/JobEngine.h"
#include "engine/JobState.h"
#include "engine/Mp3ThreadC.h"
#include "engine/ordner/Ordner.h"
#include "engine/threads/EventQueue.h"
#include "id3v2/ScratchFiles.h"
#include "support/TestSupport.h"

namespace lorvane::test {

// The encoder on this machine, empty when there is none.
inline std::filesystem::path EchtesFfmpeg() {
    const char* suchPfad = std::getenv("PATH");
    const std::filesystem::path gefunden =
        FfmpegDateiSuchen("/nonexistent-program-folder", suchPfad != nullptr ? suchPfad : "");
    std::error_code ec;
    return std::filesystem::is_regular_file(gefunden, ec) ? gefunden : std::filesystem::path();
}

#define LORVANE_REQUIRE_FFMPEG()                                                                   \
    do {                                                                                           \
        if (::lorvane::test::EchtesFfmpeg().empty())                                               \
            GTEST_SKIP() << "ffmpeg is not installed";                                             \
    } while (0)

// One job: output folder, working folder and tag scratch folder below a temporary
// folder, the state reset as the progress window's creation does, the engine and the
// controller's event queue. Author "Anna", title "Tagebuch", album "Reise", one hour
// per part, the real encoder.
class TTestJob {
public:
    TTestJob() {
        State.Daten.AusgabeOrdner = MitTrenner(Dir / "ausgabe");
        State.Daten.ArbeitsOrdner = MitTrenner(Dir / "arbeit");
        State.Daten.FfmpegDatei = EchtesFfmpeg();
        State.Daten.Autor = "Anna";
        State.Daten.Titel = "Tagebuch";
        State.Daten.Album = "Reise";
        State.Daten.MaxStunden = 1;
        SetTagScratchFolder(Dir / "scratch");
    }

    // Stops threads still running (cancel, "q" to running encoders) and waits for them.
    ~TTestJob() {
        if (Laeuft()) {
            State.Convert.AbbruchS = true;
            State.Convert.PauseS = false;
            for (const TEncoderLaeufer& laeufer : Engine.JoinerLaeufer()) {
                if (laeufer.App.ProcessInfo().HasProcess()) {
                    laeufer.InPipe.WriteData("q", 1);
                }
            }
            for (std::int32_t k = 0; k < Engine.ConverterAnzahl(); ++k) {
                if (Engine.Converter(k).App.ProcessInfo().HasProcess()) {
                    Engine.Converter(k).InPipe.WriteData("q", 1);
                }
            }
            WartenBis([this] { return !Laeuft(); });
        }
        SetTagScratchFolder({});
    }
    TTestJob(const TTestJob&) = delete;
    TTestJob& operator=(const TTestJob&) = delete;

    // Builds the job's list from rows and resets the per-job state as the progress
    // window does, then creates the audiobook and working folders.
    void Vorbereiten(const std::vector<TDateiZeile>& zeilen = {}) {
        State.Mp3ListeAufbauen(zeilen);
        State.FortschrittsfensterErstellt();
        State.FortschrittsfensterOrdnerAnlegen();
    }

    // Creates a thread as the controller does (as many re-encoders as encoders,
    // termination handler clearing its flag, freeing itself) and starts it.
    void JoinerStarten() {
        Engine.UmkodiererAnlegen(State.Daten.Encoder);
        auto* thread = new TMp3Thread(Queue, State, Engine);
        thread->SetOnTerminate([this](TWorkerThread&) { State.Daten.Mp3ThreadLaeuftS = false; });
        thread->SetFreeOnTerminate(true);
        thread->Start();
    }
    // As many converters as asked for, each with its runner; the last one to end
    // clears the running flag, as the controller does.
    void ConverterStarten(std::int32_t anzahl = 1) {
        Engine.ConverterAnlegen(anzahl);
        fConverterLaufend = anzahl;
        for (std::int32_t k = 0; k < anzahl; ++k) {
            auto* thread = new TConvertThread(Queue, State, Engine);
            thread->SetOnTerminate([this](TWorkerThread&) {
                if (--fConverterLaufend == 0) {
                    State.Daten.ConvertThreadLaeuftS = false;
                }
            });
            thread->SetFreeOnTerminate(true);
            thread->Start();
        }
    }

    // Runs the controller's events every 10 ms until the condition holds. A message of
    // a thread is taken as the controller takes it (unless disabled): AbbruchS set,
    // PauseS cleared, the message kept below. False when the time limit passed first;
    // only a safety net against a hanging test.
    bool WartenBis(const std::function<bool()>& bedingung,
                   std::chrono::seconds grenze = std::chrono::seconds(120)) {
        const auto ende = std::chrono::steady_clock::now() + grenze;
        for (;;) {
            Queue.ProcessPending();
            if (FehlerUebernehmen) {
                FehlerlistenUebernehmen();
            }
            if (bedingung()) {
                return true;
            }
            if (std::chrono::steady_clock::now() > ende) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    bool BisBeideEnden() {
        return WartenBis([this] { return !Laeuft(); });
    }
    bool Laeuft() const { return State.Daten.Mp3ThreadLaeuftS || State.Daten.ConvertThreadLaeuftS; }

    const std::filesystem::path& Arbeit() const { return State.Daten.ArbeitsOrdner; }
    const std::filesystem::path& Hoerbuch() const { return State.Convert.HoerbuchOrdner; }

private:
    std::atomic<std::int32_t> fConverterLaufend{0};

public:
    TempDir Dir;
    TJobState State;
    TEventQueue Queue;
    TJobEngine Engine;
    bool FehlerUebernehmen = true;
    std::vector<std::string> Mp3Meldungen;
    std::vector<std::string> ConvertMeldungen;

private:
    void FehlerlistenUebernehmen() {
        TConvertVariablen& convert = State.Convert;
        if (convert.ConvertFehlerListe.Empty() && convert.Mp3FehlerListe.Empty()) {
            return;
        }
        convert.AbbruchS = true;
        convert.PauseS = false;
        for (std::string& text : convert.ConvertFehlerListe.TakeAll()) {
            ConvertMeldungen.push_back(std::move(text));
        }
        for (std::string& text : convert.Mp3FehlerListe.TakeAll()) {
            Mp3Meldungen.push_back(std::move(text));
        }
    }
};

// MPEG-2.5 Layer III frames at 8 kbit/s, 8000 Hz, mono: 72 bytes and 72 ms each, so an
// hour takes 3.6 MB. The bodies carry a pattern that depends on the mark and holds no
// 0xFF byte, so there is no false sync and the files differ.
inline constexpr std::size_t kSynthFrameBytes = 72;
inline std::vector<std::uint8_t> SynthetischeFrames(int anzahl, std::uint8_t marke) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(anzahl) * kSynthFrameBytes);
    for (int frame = 0; frame < anzahl; ++frame) {
        bytes.insert(bytes.end(), {0xFF, 0xE3, 0x18, 0xC0});
        for (std::size_t i = 4; i < kSynthFrameBytes; ++i) {
            bytes.push_back(static_cast<std::uint8_t>((marke + 7 * i + frame) % 251));
        }
    }
    return bytes;
}

// A sine tone made by the real encoder; codec "mp3" or "mp2".
inline void SinusDatei(const std::filesystem::path& datei, int sekunden, int samplerate, int kbits,
                       const std::string& codec = "mp3") {
    const std::string befehl =
        ShellQuote(EchtesFfmpeg().string()) +
        " -hide_banner -loglevel error -y -f lavfi -i sine=frequency=440:sample_rate=" +
        std::to_string(samplerate) + ":duration=" + std::to_string(sekunden) + " -ac 1 -ar " +
        std::to_string(samplerate) + " -ab " + std::to_string(kbits) + "k -acodec " + codec +
        " -f " + codec + " " + ShellQuote(datei.string());
    std::string fehler;
    ASSERT_EQ(RunCommand(befehl, nullptr, &fehler), 0) << fehler;
}

// The smallest whole MP4 file the job takes for a result: an empty index box, then the
// part's bytes as the media box.
inline std::vector<std::uint8_t> AlsMp4(const std::vector<std::uint8_t>& inhalt) {
    const std::size_t groesse = inhalt.size() + 8;
    std::vector<std::uint8_t> mp4 = {0, 0, 0, 8, 'm', 'o', 'o', 'v'};
    for (const int schiebung : {24, 16, 8, 0}) {
        mp4.push_back(static_cast<std::uint8_t>((groesse >> schiebung) & 0xFF));
    }
    mp4.insert(mp4.end(), {'m', 'd', 'a', 't'});
    mp4.insert(mp4.end(), inhalt.begin(), inhalt.end());
    return mp4;
}

// Shell lines of a stand-in encoder that write AlsMp4 of the part ($3) to the result
// (the last argument).
inline const std::string kMp4Schreiben =
    "for ergebnis; do :; done\n"
    "n=$(( $(wc -c < \"$3\") + 8 ))\n"
    "{ printf '\\000\\000\\000\\010moov'; printf \"$(printf '\\\\%03o\\\\%03o\\\\%03o"
    "\\\\%03o' $((n>>24&255)) $((n>>16&255)) $((n>>8&255)) $((n&255)))mdat\"; cat \"$3\"; } "
    "> \"$ergebnis\"\n";

// A stand-in encoder script for the conversion call ("-y -i PART ... RESULT"): appends the
// part's path to the log, prints a duration line and a progress line at 5 seconds to
// its error output, writes the part as a whole MP4 under the result's name (unless told
// not to) and exits with the given code.
inline std::filesystem::path StandInEncoder(const std::filesystem::path& ordner, int exitCode,
                                            bool schreibtErgebnis,
                                            const std::filesystem::path& log) {
    const std::filesystem::path skript = ordner / "encoder.sh";
    const std::string body =
        "printf '%s\\n' \"$3\" >> " + ShellQuote(log.string()) + "\n" +
        "printf '  Duration: 00:00:07.50, start: 0.000000, bitrate: 8 kb/s\\n' >&2\n" +
        "printf 'size=       1kB time=00:00:05.00 bitrate=   8.0kbits/s speed=1x    \\n' >&2\n" +
        (schreibtErgebnis ? kMp4Schreiben : "") + "exit " + std::to_string(exitCode);
    WriteShellScript(skript, body);
    return skript;
}

inline std::vector<std::string> Zeilen(const std::filesystem::path& datei) {
    std::vector<std::string> zeilen;
    std::ifstream in(datei);
    for (std::string zeile; std::getline(in, zeile);) {
        zeilen.push_back(zeile);
    }
    return zeilen;
}

} // namespace lorvane::test
