#include "engine/BearbeitenDlgC.h"

#include "engine/FakeJobThreads.h"
#include "engine/Ordner.h"
#include "support/TestSupport.h"

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

// Records what the controller shows, answers questions from a list (Ja when it runs
// out) and runs a hook at every event processing, as a window's buttons would.
class FakeJobFrontEnd : public IJobFrontEnd {
public:
    explicit FakeJobFrontEnd(TJobState& state) : fState(state) {}

    bool FrageJaNein(const std::string& text) override {
        Log.push_back("Frage: " + text);
        PauseWaehrendFrage.push_back(fState.Convert.PauseS);
        bool antwort = true;
        if (!Antworten.empty()) {
            antwort = Antworten.front();
            Antworten.erase(Antworten.begin());
        }
        return antwort;
    }
    void FehlerZeigen(const std::string& text) override {
        Log.push_back("Fehler: " + text);
        TrayBeiFehler.push_back(fTray);
    }
    void EreignisseVerarbeiten() override {
        ++Ereignisse;
        if (BeiEreignis) {
            BeiEreignis(Ereignisse);
        }
    }
    void StatusText1Setzen(const std::string& text) override { Texte1.push_back(text); }
    void StatusText2Setzen(const std::string& text) override { Texte2.push_back(text); }
    void FortschrittPositionSetzen(int position) override { Positionen.push_back(position); }
    void CaptionSetzen(const std::string& text) override { Captions.push_back(text); }
    bool TrayIconSichtbar() const override { return fTray; }
    void TrayIconSichtbarSetzen(bool sichtbar) override {
        fTray = sichtbar;
        Log.push_back(sichtbar ? "Tray an" : "Tray aus");
    }
    std::string TrayHint() const override { return fHint; }
    void TrayHintSetzen(const std::string& text) override {
        fHint = text;
        Hints.push_back(text);
    }
    void HauptfensterVerbergen() override { Log.push_back("Verbergen"); }
    void HauptfensterZeigen() override { Log.push_back("Zeigen"); }
    void AnwendungMinimieren() override { Log.push_back("Minimieren"); }
    void CursorSetzen(TJobCursor cursor) override {
        Log.push_back(cursor == TJobCursor::Sanduhr ? "Sanduhr" : "Normal");
    }
    void StatusFokussieren() override {}
    void AbbruchAngenommen() override { Log.push_back("Wird beendet"); }

    std::size_t Zaehle(const std::string& anfang) const {
        std::size_t n = 0;
        for (const std::string& eintrag : Log) {
            n += eintrag.rfind(anfang, 0) == 0 ? 1 : 0;
        }
        return n;
    }

    std::vector<std::string> Log;
    std::vector<bool> Antworten;
    std::vector<bool> PauseWaehrendFrage;
    std::vector<bool> TrayBeiFehler;
    std::vector<std::string> Texte1;
    std::vector<std::string> Texte2;
    std::vector<int> Positionen;
    std::vector<std::string> Captions;
    std::vector<std::string> Hints;
    int Ereignisse = 0;
    std::function<void(int)> BeiEreignis;

private:
    TJobState& fState;
    bool fTray = false;
    std::string fHint;
};

class BearbeitenDlg : public ::testing::Test {
protected:
    BearbeitenDlg() : frontEnd(state) {
        state.Daten.AusgabeOrdner = MitTrenner(dir / "aus");
        state.Daten.ArbeitsOrdner = MitTrenner(dir / "arbeit");
        state.Daten.FfmpegDatei = dir / "ffmpeg";
        test::WriteFileBytes(state.Daten.FfmpegDatei, {});
        state.Daten.Autor = "Anna";
        state.Daten.Titel = "Reise";
        state.Daten.Album = "Meer";
        zeilen = {{"/x/1.mp3", "00:01:00"}, {"/x/2.mp3", "1:00"}, {"/x/3.mp3", "30"}};
        Threads([this] { NormalerJoiner(state, 0ms); }, [this] { NormalerConverter(state); });
    }

    void Threads(std::function<void()> joiner, std::function<void()> converter) {
        threads = FakeJobThreads(std::move(joiner), std::move(converter), erzeugt);
    }

    TModalResult Ausfuehren() {
        TBearbeitenDlg dialog(frontEnd, state, zeilen, threads);
        dialog.FormShow();
        beiDialog(dialog);
        return dialog.Timer1StartTimer();
    }

    fs::path Hoerbuch() const { return MitTrenner(dir / "aus" / "Meer"); }

    test::TempDir dir;
    TJobState state;
    FakeJobFrontEnd frontEnd;
    std::vector<TDateiZeile> zeilen;
    TJobThreadErzeugung threads;
    int erzeugt = 0;
    std::function<void(TBearbeitenDlg&)> beiDialog = [](TBearbeitenDlg&) {};
};

TEST_F(BearbeitenDlg, CreationBuildsTheListAndShowsTheTemplates) {
    state.Convert.AbbruchS = true;
    state.Mp3.VorIndex = 7;
    {
        TBearbeitenDlg dialog(frontEnd, state, zeilen, threads);
        ASSERT_EQ(state.Mp3.Mp3Liste.size(), 3U);
        EXPECT_EQ(state.Mp3.Mp3Liste[1].Filename, fs::path("/x/2.mp3"));
        EXPECT_EQ(state.Daten.GesamtDauer, 60 + 60 + 30);
        EXPECT_FALSE(state.Convert.AbbruchS);
        EXPECT_EQ(state.Mp3.VorIndex, -1);
        EXPECT_EQ(state.Convert.HoerbuchOrdner, Hoerbuch());
        EXPECT_TRUE(fs::is_directory(Hoerbuch()));
        EXPECT_TRUE(fs::is_directory(state.Daten.ArbeitsOrdner));
        ASSERT_NE(dialog.Engine(), nullptr);
        ASSERT_FALSE(frontEnd.Texte1.empty());
        EXPECT_EQ(frontEnd.Texte1.front(), "Bearbeite MP3-Datei: 3/3M");
        EXPECT_EQ(frontEnd.Texte2.front(), "Erstelle M4B-Datei: 3/3M");
        ASSERT_FALSE(frontEnd.Captions.empty());
        EXPECT_EQ(frontEnd.Captions.front(), "0% - Erstelle Hörbuch \"Meer\"");
        EXPECT_EQ(frontEnd.Hints.front(), "Lorvane V1.13 - 0% bearbeitet");
        EXPECT_EQ(frontEnd.Positionen.front(), 0);
    }
    // Destroyed: the empty audiobook folder goes, the list is empty.
    EXPECT_FALSE(fs::exists(Hoerbuch()));
    EXPECT_TRUE(state.Mp3.Mp3Liste.empty());
    EXPECT_EQ(erzeugt, 0);
}

TEST_F(BearbeitenDlg, ASuccessfulJobEndsWithOk) {
    Threads([this] { NormalerJoiner(state, 150ms); }, [this] { NormalerConverter(state); });
    EXPECT_EQ(Ausfuehren(), TModalResult::OK);
    EXPECT_EQ(erzeugt, 2);
    EXPECT_FALSE(state.Daten.Mp3ThreadLaeuftS);
    EXPECT_FALSE(state.Daten.ConvertThreadLaeuftS);
    EXPECT_EQ(state.Daten.TeilNr, 3);
    EXPECT_EQ(state.Daten.M4bDauer, 30);
    EXPECT_EQ(frontEnd.Zaehle("Frage"), 0U);
    EXPECT_EQ(frontEnd.Zaehle("Fehler"), 0U);
    // The status timer ran while the joiner prepared the files.
    bool vorverarbeitung = false;
    for (const std::string& text : frontEnd.Texte1) {
        vorverarbeitung = vorverarbeitung || text.rfind("Vorverarbeitung: ", 0) == 0;
    }
    EXPECT_TRUE(vorverarbeitung);
    EXPECT_EQ(frontEnd.Log.back(), "Normal");
}

TEST_F(BearbeitenDlg, AMissingAudiobookFolderStopsBeforeAnyThread) {
    test::WriteFileBytes(dir / "aus", {1});
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    EXPECT_EQ(erzeugt, 0);
    ASSERT_EQ(frontEnd.Zaehle("Fehler"), 1U);
    EXPECT_EQ(frontEnd.Log[0], "Fehler: Der Ordner \"" + Hoerbuch().string() +
                                   "\" konnte nicht angelegt werden!\r\nDie Konvertierung wird "
                                   "abgebrochen!\r\nGrund: Ein Teil des Pfads ist kein Ordner");
}

TEST_F(BearbeitenDlg, AMissingWorkingFolderIsNamed) {
    test::WriteFileBytes(dir / "arbeit", {1});
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    ASSERT_EQ(frontEnd.Log.size(), 2U);
    EXPECT_EQ(frontEnd.Log[0], "Fehler: Der Ordner \"" + MitTrenner(dir / "arbeit").string() +
                                   "\" konnte nicht angelegt werden!\r\nDie Konvertierung wird "
                                   "abgebrochen!\r\nGrund: Eine Datei dieses Namens ist schon "
                                   "vorhanden");
}

// The folder checks name the reason, and nothing outside the program's own folders
// is deleted or changed on the way.
TEST_F(BearbeitenDlg, FolderRefusalsNameTheirReason) {
    const fs::path musik = dir / "Musik";
    fs::create_directories(musik);
    test::WriteFileBytes(musik / "Lied.mp3", {1});
    test::WriteFileBytes(musik / "Liste.m3u", {2});
    fs::permissions(musik, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    const std::string arbeit = MitTrenner(dir / "arbeit").string();
    const std::string fremd = "Der Arbeitsordner \"" + arbeit +
                              "\" wird nicht benutzt, weil das Programm nur in einem eigenen "
                              "Ordner Dateien löscht!\r\nDie Konvertierung wird abgebrochen!";
    const std::string langesAlbum(300, 'x');
    struct TFall {
        const char* Name;
        std::function<void()> Vorbereiten;
        std::string Meldung;
    };
    const std::vector<TFall> faelle = {
        {"working folder is a link", [&] { fs::create_directory_symlink(musik, dir / "arbeit"); },
         fremd + "\r\nGrund: Der Ordner ist ein Verweis (symbolischer Link) auf einen anderen "
                 "Ort"},
        {"working folder writable by all",
         [&] {
             fs::create_directory(dir / "arbeit");
             fs::permissions(dir / "arbeit", fs::perms::all);
         },
         fremd + "\r\nGrund: Jeder Benutzer darf in diesem Ordner schreiben"},
        {"album too long for a file name", [&] { state.Daten.Album = langesAlbum; },
         "Der Ordner \"" + MitTrenner(dir / "aus" / langesAlbum).string() +
             "\" konnte nicht angelegt werden!\r\nDie Konvertierung wird abgebrochen!\r\nGrund: "
             "Der Name ist für das Dateisystem zu lang"},
        {"audiobook folder is the working folder",
         [&] {
             state.Daten.AusgabeOrdner = MitTrenner(dir.Path());
             state.Daten.Album = "arbeit";
         },
         "Der Hörbuchordner \"" + arbeit +
             "\" darf nicht der Arbeitsordner sein!\r\nDie Konvertierung wird abgebrochen!"},
    };
    for (const TFall& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        fs::remove_all(dir / "arbeit");
        state.Daten.AusgabeOrdner = MitTrenner(dir / "aus");
        state.Daten.Album = "Meer";
        frontEnd.Log.clear();
        fall.Vorbereiten();
        EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
        ASSERT_FALSE(frontEnd.Log.empty());
        EXPECT_EQ(frontEnd.Log[0], "Fehler: " + fall.Meldung);
        EXPECT_EQ(frontEnd.Zaehle("Frage"), 0U);
        EXPECT_EQ(test::ReadFileBytes(musik / "Lied.mp3"), (std::vector<std::uint8_t>{1}));
        EXPECT_EQ(test::ReadFileBytes(musik / "Liste.m3u"), (std::vector<std::uint8_t>{2}));
        EXPECT_EQ(fs::status(musik).permissions(),
                  fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    }
    EXPECT_EQ(erzeugt, 0);
}

// A linked audiobook folder may be the user's wish, but where it leads is not the
// job's: nothing there is deleted, and the job goes on only when answered Ja.
TEST_F(BearbeitenDlg, ALinkedAudiobookFolderIsNeverCleared) {
    const fs::path musik = dir / "Musik";
    fs::create_directories(musik);
    test::WriteFileBytes(musik / "Lied.mp3", {1});
    fs::create_directories(dir / "aus");
    fs::create_directory_symlink(musik, dir / "aus" / "Meer");
    for (const bool weiter : {false, true}) {
        SCOPED_TRACE(weiter);
        frontEnd.Log.clear();
        frontEnd.Antworten = {weiter};
        EXPECT_EQ(Ausfuehren(), weiter ? TModalResult::OK : TModalResult::Cancel);
        ASSERT_FALSE(frontEnd.Log.empty());
        EXPECT_EQ(frontEnd.Log[0], "Frage: Der Ordner \"" + Hoerbuch().string() +
                                       "\" konnte nicht geleert werden!\r\nGrund: Der Ordner "
                                       "ist ein Verweis (symbolischer Link) auf einen anderen "
                                       "Ort\r\nSoll trotzdem fortgesetzt werden?");
        EXPECT_EQ(frontEnd.Zaehle("Frage"), 1U);
        EXPECT_EQ(test::ReadFileBytes(musik / "Lied.mp3"), (std::vector<std::uint8_t>{1}));
    }
}

TEST_F(BearbeitenDlg, AMissingEncoderIsNamed) {
    state.Daten.FfmpegDatei = dir / "Encoder" / "ffmpeg";
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    EXPECT_EQ(erzeugt, 0);
    ASSERT_FALSE(frontEnd.Log.empty());
    EXPECT_EQ(frontEnd.Log[0], "Fehler: Die Anwendung \"" + (dir / "Encoder" / "ffmpeg").string() +
                                   "\" existiert nicht!\r\nDie Konvertierung wird abgebrochen!");
}

// Inputs are only ever read: one in a folder that the start empties stops the job
// before anything is asked or cleared, however the folder is reached.
TEST_F(BearbeitenDlg, AnInputInTheAudiobookFolderStopsTheJob) {
    fs::create_directories(Hoerbuch());
    test::WriteFileBytes(Hoerbuch() / "1.mp3", {1, 2});
    fs::create_directories(dir / "ein");
    fs::create_directory_symlink(Hoerbuch(), dir / "ein" / "verweis");
    const std::vector<fs::path> namen = {Hoerbuch() / "1.mp3",
                                         dir / "aus" / "Meer" / ".." / "Meer" / "1.mp3",
                                         dir / "ein" / "verweis" / "1.mp3"};
    for (const fs::path& name : namen) {
        frontEnd.Log.clear();
        zeilen = {{(dir / "ein" / "0.mp3").string(), "10"}, {name.string(), "10"}};
        EXPECT_EQ(Ausfuehren(), TModalResult::Cancel) << name;
        EXPECT_TRUE(state.Convert.AbbruchS);
        ASSERT_FALSE(frontEnd.Log.empty()) << name;
        EXPECT_EQ(frontEnd.Log[0], "Fehler: Die Datei \"" + name.string() +
                                       "\" liegt im Ordner \"" + Hoerbuch().string() +
                                       "\"!\r\nDie Konvertierung wird abgebrochen!");
        EXPECT_EQ(frontEnd.Zaehle("Frage"), 0U) << name;
        EXPECT_EQ(test::ReadFileBytes(Hoerbuch() / "1.mp3"), (std::vector<std::uint8_t>{1, 2}));
    }
    EXPECT_EQ(erzeugt, 0);
}

TEST_F(BearbeitenDlg, AnInputInTheWorkingFolderStopsTheJob) {
    const fs::path datei = state.Daten.ArbeitsOrdner / "1.mp3";
    // A link to the file from elsewhere leads into the folder too.
    fs::create_directories(dir / "ein");
    fs::create_symlink(datei, dir / "ein" / "1.mp3");
    fs::create_directories(state.Daten.ArbeitsOrdner);
    test::WriteFileBytes(datei, {1, 2});
    for (const fs::path& name : {datei, dir / "ein" / "1.mp3"}) {
        frontEnd.Log.clear();
        zeilen = {{name.string(), "10"}};
        EXPECT_EQ(Ausfuehren(), TModalResult::Cancel) << name;
        ASSERT_FALSE(frontEnd.Log.empty()) << name;
        EXPECT_EQ(frontEnd.Log[0], "Fehler: Die Datei \"" + name.string() +
                                       "\" liegt im Ordner \"" +
                                       state.Daten.ArbeitsOrdner.string() +
                                       "\"!\r\nDie Konvertierung wird abgebrochen!");
        EXPECT_EQ(frontEnd.Zaehle("Frage"), 0U) << name;
        // Neither the start nor the end of the refused job deleted it.
        EXPECT_EQ(test::ReadFileBytes(datei), (std::vector<std::uint8_t>{1, 2})) << name;
    }
    EXPECT_EQ(erzeugt, 0);
}

TEST_F(BearbeitenDlg, AnInputInASubfolderOfTheAudiobookFolderIsFine) {
    const fs::path datei = Hoerbuch() / "alt" / "1.mp3";
    fs::create_directories(datei.parent_path());
    test::WriteFileBytes(datei, {1});
    zeilen = {{datei.string(), "10"}};
    EXPECT_EQ(Ausfuehren(), TModalResult::OK);
    EXPECT_EQ(frontEnd.Zaehle("Fehler"), 0U);
    EXPECT_TRUE(fs::exists(datei));
}

TEST_F(BearbeitenDlg, OldFilesInTheAudiobookFolderAreOfferedForClearing) {
    fs::create_directories(Hoerbuch());
    test::WriteFileBytes(Hoerbuch() / "alt_001.m4b", {1});
    test::WriteFileBytes(Hoerbuch() / "notiz.txt", {1});
    frontEnd.Antworten = {false};
    EXPECT_EQ(Ausfuehren(), TModalResult::OK);
    ASSERT_GE(frontEnd.Log.size(), 1U);
    EXPECT_EQ(frontEnd.Log[0],
              "Frage: Soll der Hörbuchordner \"" + Hoerbuch().string() + "\" geleert werden?");
    EXPECT_TRUE(fs::exists(Hoerbuch() / "alt_001.m4b"));
    EXPECT_EQ(erzeugt, 2);
}

// The audiobook folder is the user's too: only what a job makes there goes.
TEST_F(BearbeitenDlg, AnsweringJaClearsOnlyWhatAJobMakes) {
    fs::create_directories(Hoerbuch());
    const std::vector<std::string> bleiben = {"Notizen.md",           "Film.mkv",     "Vortrag.mp4",
                                              "Notizen.mit.Bild.txt", ".alt_009.m4b", "m4b"};
    for (const std::string& name : bleiben) {
        test::WriteFileBytes(Hoerbuch() / name, {1});
    }
    test::WriteFileBytes(dir / "eigen.txt", {7});
    fs::create_symlink(dir / "eigen.txt", Hoerbuch() / "verweis.m4b");
    fs::create_directory(Hoerbuch() / "ordner.mp3");
    // Only user files: nothing to offer.
    EXPECT_EQ(Ausfuehren(), TModalResult::OK);
    EXPECT_EQ(frontEnd.Zaehle("Frage"), 0U);

    const std::vector<std::string> gehen = {"alt_001.m4b", "alt_002.M4A", "alt_003.Mp3"};
    for (const std::string& name : gehen) {
        test::WriteFileBytes(Hoerbuch() / name, {1});
    }
    EXPECT_EQ(Ausfuehren(), TModalResult::OK);
    EXPECT_EQ(frontEnd.Zaehle("Frage"), 1U);
    for (const std::string& name : gehen) {
        EXPECT_FALSE(fs::exists(Hoerbuch() / name)) << name;
    }
    for (const std::string& name : bleiben) {
        EXPECT_TRUE(fs::exists(Hoerbuch() / name)) << name;
    }
    EXPECT_TRUE(fs::is_symlink(Hoerbuch() / "verweis.m4b"));
    EXPECT_TRUE(fs::is_directory(Hoerbuch() / "ordner.mp3"));
    EXPECT_EQ(test::ReadFileBytes(dir / "eigen.txt"), (std::vector<std::uint8_t>{7}));
}

// Another job holds the folder: nothing is asked, cleared, started or removed.
TEST_F(BearbeitenDlg, AnAudiobookFolderInUseByAnotherJobStopsTheJob) {
    fs::create_directories(Hoerbuch());
    test::WriteFileBytes(Hoerbuch() / "Anna - Meer_001.m4a", {1});
    fs::create_directories(state.Daten.ArbeitsOrdner);
    test::WriteFileBytes(state.Daten.ArbeitsOrdner / "Anna - Meer_002.mp3", {2});
    {
        const std::unique_ptr<TOrdnerSperre> andererAuftrag = TOrdnerSperre::Versuchen(Hoerbuch());
        ASSERT_NE(andererAuftrag, nullptr);
        EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
        EXPECT_EQ(erzeugt, 0);
        ASSERT_EQ(frontEnd.Log.size(), 2U);
        EXPECT_EQ(frontEnd.Log[0], "Fehler: Der Hörbuchordner \"" + Hoerbuch().string() +
                                       "\" wird gerade von einem anderen Auftrag benutzt!\r\nDie "
                                       "Konvertierung wird abgebrochen!");
        EXPECT_TRUE(fs::exists(Hoerbuch() / "Anna - Meer_001.m4a"));
        // An empty folder of the other job stays too.
        fs::remove(Hoerbuch() / "Anna - Meer_001.m4a");
        frontEnd.Log.clear();
        EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
        EXPECT_TRUE(fs::is_directory(Hoerbuch()));
    }
    // Once the other job is gone, the folder is free.
    frontEnd.Log.clear();
    EXPECT_EQ(Ausfuehren(), TModalResult::OK);
    EXPECT_EQ(frontEnd.Zaehle("Fehler"), 0U);
}

TEST_F(BearbeitenDlg, AWorkingFolderThatCannotBeClearedAsksToGoOn) {
    fs::create_directories(state.Daten.ArbeitsOrdner);
    const fs::path rest = state.Daten.ArbeitsOrdner / "rest.mp3";
    test::WriteFileBytes(rest, {1});
    test::ImmutableFile sperre(rest);
    if (!sperre.Set()) {
        GTEST_SKIP() << "the file system cannot mark files immutable";
    }
    frontEnd.Antworten = {false};
    EXPECT_EQ(Ausfuehren(), TModalResult::Cancel);
    EXPECT_EQ(erzeugt, 0);
    ASSERT_EQ(frontEnd.Zaehle("Frage"), 1U);
    EXPECT_EQ(frontEnd.Log[0], "Frage: Der Ordner \"" +
                                   MitTrenner(state.Daten.ArbeitsOrdner).string() +
                                   "\" konnte nicht geleert werden!\r\nSoll trotzdem fortgesetzt "
                                   "werden?");

    frontEnd.Log.clear();
    frontEnd.Antworten = {true};
    EXPECT_EQ(Ausfuehren(), TModalResult::OK);
    EXPECT_EQ(erzeugt, 2);
}

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
