// The job controller while its threads run and at their end: their messages, the
// cancel and its questions, minimising, failing threads and front ends, and the
// stop request to an encoder.

#include "engine/BearbeitenDlgTestHilfen.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace lorvane {
namespace {

TEST_F(BearbeitenDlg, OnlyTheConvertersMessageIsShownWhenBothThreadsReport) {
    std::atomic<bool> joinerGemeldet{false};
    Threads(
        [this, &joinerGemeldet] {
            state.Mp3FehlerMelden("Fehler des Joiners");
            joinerGemeldet = true;
            Warten(state);
            // Still busy for a while after the cancel: the controller must wait.
            std::this_thread::sleep_for(100ms);
        },
        [this, &joinerGemeldet] {
            while (!joinerGemeldet) {
                std::this_thread::sleep_for(1ms);
            }
            state.ConvertFehlerMelden("Fehler des Converters\r\n");
            Warten(state);
        });
    // The lists are looked at after each event round: hold the first round until both
    // messages are there.
    frontEnd.BeiEreignis = [this](int n) {
        for (int i = 0; n == 1 && i < 2000 && state.Convert.ConvertFehlerListe.Empty(); ++i) {
            std::this_thread::sleep_for(1ms);
        }
    };
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    ASSERT_EQ(frontEnd.Zaehle("Fehler"), 1U);
    EXPECT_NE(std::find(frontEnd.Log.begin(), frontEnd.Log.end(), "Fehler: Fehler des Converters"),
              frontEnd.Log.end());
    EXPECT_FALSE(state.Daten.Mp3ThreadLaeuftS);
    EXPECT_FALSE(state.Daten.ConvertThreadLaeuftS);
    EXPECT_FALSE(state.Convert.PauseS);
}

TEST_F(BearbeitenDlg, TheJoinersMessagesAreJoinedByLineBreaks) {
    Threads(
        [this] {
            state.Convert.PauseS = true;
            state.Convert.Mp3FehlerListe.Add("Zeile 1");
            state.Convert.Mp3FehlerListe.Add("Zeile 2");
            Warten(state);
        },
        [this] { NormalerConverter(state); });
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    EXPECT_EQ(frontEnd.Zaehle("Fehler: Zeile 1\r\nZeile 2"), 1U);
    EXPECT_TRUE(state.Convert.Mp3FehlerListe.Empty());
}

TEST_F(BearbeitenDlg, ACancelHoldsTheThreadsWhileItAsks) {
    Threads([this] { NormalerJoiner(state, 2000ms); }, [this] { NormalerConverter(state); });
    TBearbeitenDlg* laufend = nullptr;
    beiDialog = [&laufend](TBearbeitenDlg& dialog) { laufend = &dialog; };
    frontEnd.BeiEreignis = [&laufend](int n) {
        if (n == 3) {
            laufend->Btn2AbbrechenClick();
            laufend->Btn2AbbrechenClick();
        }
    };
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    // The joiner stopped in its preparation and never joined.
    EXPECT_EQ(state.Daten.TeilNr, 0);
    // The second click after the confirmed cancel asks nothing.
    ASSERT_EQ(frontEnd.Zaehle("Frage"), 1U);
    EXPECT_EQ(frontEnd.Zaehle("Frage: Soll die Erstellung wirklich abgebrochen werden?"), 1U);
    ASSERT_EQ(frontEnd.PauseWaehrendFrage.size(), 1U);
    EXPECT_TRUE(frontEnd.PauseWaehrendFrage[0]);
    EXPECT_FALSE(state.Convert.PauseS);
    EXPECT_EQ(frontEnd.Zaehle("Sanduhr"), 1U);
    EXPECT_EQ(frontEnd.Zaehle("Wird beendet"), 1U);
    EXPECT_EQ(frontEnd.Log.back(), "Normal");
}

TEST_F(BearbeitenDlg, ACancelAnsweredNeinGoesOn) {
    Threads([this] { NormalerJoiner(state, 20ms); }, [this] { NormalerConverter(state); });
    TBearbeitenDlg* laufend = nullptr;
    beiDialog = [&laufend](TBearbeitenDlg& dialog) { laufend = &dialog; };
    frontEnd.Antworten = {false};
    frontEnd.BeiEreignis = [&laufend](int n) {
        if (n == 2) {
            laufend->Btn2AbbrechenClick();
        }
    };
    EXPECT_EQ(Ausfuehren(), TModalResult::OK);
    EXPECT_EQ(frontEnd.Zaehle("Frage"), 1U);
    EXPECT_EQ(frontEnd.Zaehle("Wird beendet"), 0U);
    EXPECT_FALSE(state.Convert.PauseS);
    EXPECT_EQ(state.Daten.TeilNr, 3);
}

// A thread that reports an error while the question is open stays held by it: the
// answer Nein must not release it past its own error.
TEST_F(BearbeitenDlg, NeinKeepsAThreadHeldThatReportedAnErrorMeanwhile) {
    std::atomic<bool> losgelassen{false};
    Threads(
        [this, &losgelassen] {
            while (!state.Convert.PauseS) {
                std::this_thread::sleep_for(1ms);
            }
            state.Mp3FehlerMelden("Datei kaputt");
            // The hold of the stop protocol: only AbbruchS may end it.
            while (state.Convert.PauseS && !state.Convert.AbbruchS) {
                std::this_thread::sleep_for(1ms);
            }
            losgelassen = !state.Convert.AbbruchS;
        },
        [this] { NormalerConverter(state); });
    TBearbeitenDlg* laufend = nullptr;
    beiDialog = [&laufend](TBearbeitenDlg& dialog) { laufend = &dialog; };
    frontEnd.Antworten = {false};
    frontEnd.BeiEreignis = [this, &laufend](int n) {
        if (n == 2) {
            // The question stays open until the joiner has reported.
            state.Convert.PauseS = true;
            while (state.Convert.Mp3FehlerListe.Empty()) {
                std::this_thread::sleep_for(1ms);
            }
            laufend->Btn2AbbrechenClick();
        }
    };
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    EXPECT_FALSE(losgelassen);
    EXPECT_EQ(frontEnd.Zaehle("Fehler: Datei kaputt"), 1U);
}

TEST_F(BearbeitenDlg, AConfirmedCancelFromOutsideAsksNothing) {
    Threads([this] { NormalerJoiner(state, 2000ms); }, [this] { NormalerConverter(state); });
    TBearbeitenDlg* laufend = nullptr;
    beiDialog = [&laufend](TBearbeitenDlg& dialog) { laufend = &dialog; };
    frontEnd.BeiEreignis = [&laufend](int n) {
        if (n == 2) {
            laufend->AbbruchBestaetigt();
        }
    };
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    EXPECT_EQ(frontEnd.Zaehle("Frage"), 0U);
    EXPECT_EQ(frontEnd.Zaehle("Wird beendet"), 1U);
}

// An encoder that ignores "q" and the usual signals: only the escalation ends it.
TEST_F(BearbeitenDlg, EncoderBeendenKillsAnEncoderThatIgnoresTheCancel) {
    const fs::path skript = dir / "stur";
    test::WriteShellScript(skript, "trap '' INT TERM HUP\nwhile :; do sleep 0.05; done");
    const std::string befehl = "\"" + skript.string() + "\"";
    const std::string ordner = dir.Path().string();
    threads.Mp3Thread = [&](TEventQueue& queue, TJobState& s, TJobEngine& engine) {
        ++erzeugt;
        return std::unique_ptr<TWorkerThread>(
            new FakeThread(queue, s.Daten.Mp3ThreadLaeuftS, [&engine, befehl, ordner] {
                engine.Mp3ConsoleApp.Execute(befehl, ordner);
            }));
    };
    TBearbeitenDlg* laufend = nullptr;
    pid_t encoder = 0;
    int nachAbbruch = 0;
    beiDialog = [&laufend](TBearbeitenDlg& dialog) { laufend = &dialog; };
    frontEnd.BeiEreignis = [&](int) {
        const TRoProcessInfo info = laufend->Engine()->Mp3ConsoleApp.ProcessInfo();
        if (encoder == 0 && info.HasProcess()) {
            encoder = info.ProcessId;
            laufend->AbbruchBestaetigt();
        } else if (encoder != 0 && ++nachAbbruch == 20) {
            // Still running after "q": the second Ctrl+C.
            EXPECT_TRUE(info.HasProcess());
            laufend->EncoderBeenden();
        }
    };
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    ASSERT_NE(encoder, 0);
    EXPECT_GE(nachAbbruch, 20);
    // Killed and reaped: the process is gone.
    EXPECT_EQ(::kill(encoder, 0), -1);
    if (::kill(encoder, 0) == 0) {
        ::kill(encoder, SIGKILL);
    }
}

TEST_F(BearbeitenDlg, MinimisedJobsComeBackForMessagesAndAtTheEnd) {
    state.Daten.MinimierenS = true;
    Threads(
        [this] {
            std::this_thread::sleep_for(50ms);
            state.Mp3FehlerMelden("Fehler");
            Warten(state);
        },
        [this] { NormalerConverter(state); });
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    const std::vector<std::string> erwartet = {
        "Minimieren", "Tray an", "Verbergen", "Tray aus", "Zeigen", "Fehler: Fehler", "Normal"};
    EXPECT_EQ(frontEnd.Log, erwartet);
    ASSERT_EQ(frontEnd.TrayBeiFehler.size(), 1U);
    EXPECT_FALSE(frontEnd.TrayBeiFehler[0]);
}

TEST_F(BearbeitenDlg, MinimisedJobsLeaveTheTrayAtTheEnd) {
    state.Daten.MinimierenS = true;
    EXPECT_EQ(Ausfuehren(), TModalResult::OK);
    const std::vector<std::string> erwartet = {"Minimieren", "Tray an",  "Verbergen",
                                               "Normal",     "Tray aus", "Zeigen"};
    EXPECT_EQ(frontEnd.Log, erwartet);
}

// A body that ends through an exception has not done its work.
TEST_F(BearbeitenDlg, AThreadThatEndsThroughAnExceptionFailsTheJob) {
    for (const bool joiner : {true, false}) {
        const auto wirft = [] { throw std::runtime_error("Speicher voll"); };
        if (joiner) {
            Threads(wirft, [this] { NormalerConverter(state); });
        } else {
            Threads([this] { NormalerJoiner(state, 0ms); }, wirft);
        }
        frontEnd.Log.clear();
        EXPECT_EQ(Ausfuehren(), TModalResult::Cancel) << joiner;
        EXPECT_EQ(frontEnd.Zaehle("Fehler: Ein Arbeitsschritt wurde durch einen unerwarteten "
                                  "Fehler beendet!\r\nDie Konvertierung wird abgebrochen!\r\n"
                                  "Grund: Speicher voll"),
                  1U)
            << joiner;
    }
}

TEST_F(BearbeitenDlg, AThreadThatCannotBeMadeStopsTheJob) {
    threads.ConvertThread = [](TEventQueue&, TJobState&,
                               TJobEngine&) -> std::unique_ptr<TWorkerThread> {
        throw std::runtime_error("kein Thread");
    };
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    EXPECT_EQ(frontEnd.Zaehle("Fehler: kein Thread"), 1U);
    EXPECT_FALSE(state.Daten.Mp3ThreadLaeuftS);
    EXPECT_FALSE(state.Daten.ConvertThreadLaeuftS);
}

TEST_F(BearbeitenDlg, AFailingFrontEndStillStopsTheThreads) {
    Threads([this] { NormalerJoiner(state, 5000ms); }, [this] { NormalerConverter(state); });
    frontEnd.BeiEreignis = [](int n) {
        if (n == 2) {
            throw std::runtime_error("Fenster weg");
        }
    };
    EXPECT_THROW(Ausfuehren(), std::runtime_error);
    EXPECT_EQ(state.Daten.TeilNr, 0);
    EXPECT_TRUE(state.Convert.AbbruchS);
    EXPECT_FALSE(state.Daten.Mp3ThreadLaeuftS);
    EXPECT_FALSE(state.Daten.ConvertThreadLaeuftS);
}

TEST_F(BearbeitenDlg, FortschrittSetzenSetsOnlyWhatChanged) {
    TBearbeitenDlg dialog(frontEnd, state, zeilen, threads);
    frontEnd.Positionen.clear();
    frontEnd.Captions.clear();
    frontEnd.Hints.clear();
    state.Mp3.Mp3Dauer = 100;
    state.Mp3.Mp3Zeit = 50;
    dialog.FortschrittSetzen(17, 1);
    dialog.FortschrittSetzen(17, 1);
    EXPECT_EQ(frontEnd.Positionen, (std::vector<int>{25}));
    EXPECT_EQ(frontEnd.Captions, (std::vector<std::string>{"25% - Erstelle Hörbuch \"Meer\""}));
    EXPECT_EQ(frontEnd.Hints, (std::vector<std::string>{"Lorvane V1.13 - 25% bearbeitet"}));
    dialog.FortschrittSetzen(120, 3);
    EXPECT_EQ(frontEnd.Positionen.back(), 100);
    EXPECT_EQ(frontEnd.Hints.back(), "Lorvane V1.13 - 100% erstellt");
}

// Within a phase the bar never steps back; the converter's phase after the joined
// audio's full bar starts from its own count.
TEST_F(BearbeitenDlg, TheBarStepsBackOnlyWhereAPhaseBegins) {
    TBearbeitenDlg dialog(frontEnd, state, zeilen, threads);
    frontEnd.Positionen.clear();
    state.Mp3.Mp3Zeit = -1;
    const std::pair<std::int64_t, int> schritte[] = {{30, 1}, {20, 1}, {45, 2}, {40, 2},
                                                     {25, 3}, {20, 3}, {50, 3}};
    for (const auto& [wert, phase] : schritte) {
        dialog.FortschrittSetzen(wert, phase);
    }
    EXPECT_EQ(frontEnd.Positionen, (std::vector<int>{30, 95, 25, 50}));
}

TEST_F(BearbeitenDlg, TheWorkingFolderIsClearedWhenTheWindowGoes) {
    fs::create_directories(state.Daten.ArbeitsOrdner);
    {
        TBearbeitenDlg dialog(frontEnd, state, zeilen, threads);
        test::WriteFileBytes(state.Daten.ArbeitsOrdner / "Anna - Meer_001.mp3", {1});
        test::WriteFileBytes(state.Daten.ArbeitsOrdner / "fremd.txt", {1});
        test::WriteFileBytes(Hoerbuch() / "Anna - Meer_001.m4b", {1});
    }
    EXPECT_FALSE(fs::exists(state.Daten.ArbeitsOrdner / "Anna - Meer_001.mp3"));
    EXPECT_TRUE(fs::exists(state.Daten.ArbeitsOrdner / "fremd.txt"));
    // An audiobook folder with files stays.
    EXPECT_TRUE(fs::exists(Hoerbuch() / "Anna - Meer_001.m4b"));
}

TEST(EncoderStoppen, WritesOneQ) {
    TRoPipe pipe(1U);
    EXPECT_TRUE(EncoderStoppen(pipe));
    const TBuffer gelesen = pipe.ReadBytes();
    ASSERT_EQ(gelesen.size(), 1U);
    EXPECT_EQ(gelesen[0], 'q');
}

TEST(EncoderStoppen, NeitherBlocksOnAFullPipeNorFailsOnAClosedOne) {
    TRoPipe pipe(1U);
    // Nobody reads: the pipe fills up and further bytes are dropped, without blocking.
    int geschrieben = 0;
    while (EncoderStoppen(pipe) && geschrieben < (1 << 22)) {
        ++geschrieben;
    }
    EXPECT_GT(geschrieben, 0);
    EXPECT_LT(geschrieben, 1 << 22);
    TRoPipe geschlossen(1U);
    geschlossen.CloseReadHandle();
    EXPECT_FALSE(EncoderStoppen(geschlossen));
    geschlossen.CloseWriteHandle();
    EXPECT_FALSE(EncoderStoppen(geschlossen));
}

TEST(EncoderStoppen, AnEncoderThatEndedAMomentAgo) {
    // The child reads its standard input from the pipe and ends at once; the byte then
    // goes into a pipe nobody will read.
    TRoPipe pipe(1U);
    TRoConsoleApp app;
    app.SetStdIn(pipe.ReadHandle());
    app.SetTimeSlice(10);
    ASSERT_TRUE(app.Execute("/bin/true", ""));
    EXPECT_FALSE(app.ProcessInfo().HasProcess());
    EXPECT_TRUE(EncoderStoppen(pipe));
}

} // namespace
} // namespace lorvane
