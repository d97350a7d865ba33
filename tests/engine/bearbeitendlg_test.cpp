// The job controller from its creation through its start checks: the folders it
// needs, inputs in them, old files and the questions it asks before any thread runs.

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

} // namespace
} // namespace lorvane
