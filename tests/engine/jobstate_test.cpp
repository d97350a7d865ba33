#include "engine/JobState.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace lorvane {
namespace {

TStandardOrdner TestOrdner(const test::TempDir& dir) {
    TStandardOrdner ordner;
    ordner.AusgabeOrdner = MitTrenner(dir / "ausgabe");
    ordner.ArbeitsOrdner = MitTrenner(dir / "arbeit");
    ordner.FfmpegDatei = dir / "ffmpeg";
    ordner.SendToLink = dir / "lorvane.desktop";
    return ordner;
}

void Anlegen(const fs::path& datei) {
    test::WriteFileBytes(datei, {1, 2, 3});
}

TEST(JobState, ProgramStartHasEverythingOffAndTheFoldersSet) {
    test::TempDir dir;
    const TJobState state(TestOrdner(dir));
    EXPECT_EQ(state.Daten.AusgabeOrdner, MitTrenner(dir / "ausgabe"));
    EXPECT_EQ(state.Daten.ArbeitsOrdner, MitTrenner(dir / "arbeit"));
    EXPECT_EQ(state.Daten.FfmpegDatei, dir / "ffmpeg");
    EXPECT_EQ(state.Daten.SendToLink, dir / "lorvane.desktop");
    EXPECT_FALSE(state.Daten.CopyMp3FileS);
    EXPECT_FALSE(state.Daten.MinimierenS);
    EXPECT_EQ(state.Daten.MaxStunden, 5);
    EXPECT_FALSE(state.Convert.AbbruchS);
    EXPECT_FALSE(state.Convert.PauseS);
    EXPECT_EQ(state.Daten.GesamtDauer, 0);
    EXPECT_EQ(state.Mp3.GesamtBytes, 0);
    EXPECT_TRUE(state.Daten.Album.empty());
    EXPECT_TRUE(state.Mp3.Mp3Liste.empty());
    EXPECT_TRUE(state.Convert.ConvertListe.Empty());
}

TEST(JobState, MainWindowAndAddDialogResetTheirValues) {
    TJobState state;
    state.Daten.Autor = "Anna";
    state.Daten.Titel = "Reise";
    state.Daten.Album = "Reise";
    state.Daten.Mp3ThreadLaeuftS = true;
    state.Daten.ZielBitrate = 128000;
    state.Daten.ZielSamplerate = 44100;
    state.Daten.ZielChannels = 2;
    state.Daten.GesamtDauer = 99;
    state.Daten.MaxStunden = 3;

    state.HinzufuegenGeoeffnet(false);
    EXPECT_EQ(state.Daten.GesamtDauer, 0);
    EXPECT_EQ(state.Daten.Autor, "Anna");
    state.HinzufuegenScanGestartet(false);
    EXPECT_EQ(state.Daten.ZielBitrate, 128000);

    state.HinzufuegenGeoeffnet(true);
    EXPECT_TRUE(state.Daten.Autor.empty());
    EXPECT_TRUE(state.Daten.Titel.empty());
    EXPECT_TRUE(state.Daten.Album.empty());
    state.HinzufuegenScanGestartet(true);
    EXPECT_EQ(state.Daten.ZielBitrate, 0);
    EXPECT_EQ(state.Daten.ZielSamplerate, 0);
    EXPECT_EQ(state.Daten.ZielChannels, 0);

    state.Daten.Album = "Reise";
    state.Daten.ZielChannels = 1;
    state.HauptfensterErstellt();
    EXPECT_TRUE(state.Daten.Album.empty());
    EXPECT_FALSE(state.Daten.Mp3ThreadLaeuftS);
    EXPECT_EQ(state.Daten.ZielChannels, 0);
    // Settings are not touched.
    EXPECT_EQ(state.Daten.MaxStunden, 3);
}

TEST(Mp3Liste, BuiltFromTheRowsInOrderWithParsedDurations) {
    TJobState state;
    state.Convert.ConvertListe.Add("/alt/Teil_001.mp3");
    state.Daten.M4bDauer = 500;
    state.Mp3.Mp3Liste.resize(7);
    state.Mp3ListeAufbauen({{"/m/Kapitel 1.mp3", "1:02:03"},
                            {"/m/Kapitel 2.mp3", "2:05"},
                            {"/m/Kapitel 3.mp3", "45"},
                            {"/m/Kapitel 4.mp3", "x:10"}});
    ASSERT_EQ(state.Mp3.Mp3Liste.size(), 4u);
    EXPECT_EQ(state.Mp3.Mp3Liste[0].Filename, fs::path("/m/Kapitel 1.mp3"));
    EXPECT_EQ(state.Mp3.Mp3Liste[3].Filename, fs::path("/m/Kapitel 4.mp3"));
    EXPECT_EQ(state.Mp3.Mp3Liste[0].Dauer, 3723);
    EXPECT_EQ(state.Mp3.Mp3Liste[1].Dauer, 125);
    EXPECT_EQ(state.Mp3.Mp3Liste[2].Dauer, 45);
    EXPECT_EQ(state.Mp3.Mp3Liste[3].Dauer, 10);
    EXPECT_EQ(state.Mp3.Mp3Liste[1].Bitrate, 0);
    EXPECT_EQ(state.Mp3.Mp3Liste[1].Length, 0);
    EXPECT_EQ(state.Daten.GesamtDauer, 3723 + 125 + 45 + 10);
    EXPECT_EQ(state.Daten.M4bDauer, 0);
    EXPECT_TRUE(state.Convert.ConvertListe.Empty());
}

TEST(Mp3Liste, AnEmptyFileListGivesAnEmptyJob) {
    TJobState state;
    state.Daten.GesamtDauer = 1234;
    state.Mp3.Mp3Liste.resize(2);
    state.Mp3ListeAufbauen({});
    EXPECT_TRUE(state.Mp3.Mp3Liste.empty());
    EXPECT_EQ(state.Daten.GesamtDauer, 0);
}

TEST(Mp3Liste, TheTotalStaysInRangeForAbsurdRows) {
    TJobState state;
    state.Mp3ListeAufbauen({{"/a.mp3", "596523:14:07"}, {"/b.mp3", "596523:14:07"}});
    EXPECT_EQ(state.Daten.GesamtDauer, INT32_MAX);
}

// Converters side by side finish parts in any order; reports list them in part order.
TEST(JobState, FinishedPartsAreReportedInPartOrder) {
    TJobState state;
    for (const char* name :
         {"/h/A - B_002.m4b", "/h/A - B_1000.m4b", "/h/A - B_001.m4b", "/h/A - B_999.m4b"}) {
        state.Convert.FertigeKapitel.Add({name, 1});
    }
    std::vector<std::string> namen;
    for (const auto& [datei, kapitel] : state.FertigeKapitelInTeilfolge()) {
        namen.push_back(datei.filename().string());
    }
    EXPECT_EQ(namen, (std::vector<std::string>{"A - B_001.m4b", "A - B_002.m4b", "A - B_999.m4b",
                                               "A - B_1000.m4b"}));
}

TEST(JobState, ProgressWindowResetsEveryPerJobValue) {
    test::TempDir dir;
    TJobState state(TestOrdner(dir));
    state.Daten.Album = "Reise";
    state.Convert.ConvertDauer = 5;
    state.Convert.ConvertZeit = 5;
    state.Daten.TeilNr = 3;
    state.Daten.Mp3ThreadLaeuftS = true;
    state.Daten.ConvertThreadLaeuftS = true;
    state.Mp3.Mp3Dauer = 5;
    state.Mp3.Mp3Zeit = 5;
    state.Mp3.VorIndex = 5;
    state.Mp3.KopierIndex = 5;
    state.Convert.ConvertIndex = 5;
    state.Convert.AbbruchS = true;
    state.Convert.PauseS = true;
    state.Convert.ConvertFehlerListe.Add("alt");
    state.Convert.Mp3FehlerListe.Add("alt");
    state.Convert.ConvertListe.Add("/alt.mp3");

    state.FortschrittsfensterErstellt();
    EXPECT_EQ(state.Convert.ConvertDauer, -1);
    EXPECT_EQ(state.Convert.ConvertZeit, -1);
    EXPECT_EQ(state.Daten.TeilNr, 0);
    EXPECT_FALSE(state.Daten.Mp3ThreadLaeuftS);
    EXPECT_FALSE(state.Daten.ConvertThreadLaeuftS);
    EXPECT_EQ(state.Mp3.Mp3Dauer, -1);
    EXPECT_EQ(state.Mp3.Mp3Zeit, -1);
    EXPECT_EQ(state.Mp3.VorIndex, -1);
    EXPECT_EQ(state.Mp3.KopierIndex, -1);
    EXPECT_EQ(state.Convert.ConvertIndex, -1);
    EXPECT_FALSE(state.Convert.AbbruchS);
    EXPECT_FALSE(state.Convert.PauseS);
    EXPECT_TRUE(state.Convert.ConvertFehlerListe.Empty());
    EXPECT_TRUE(state.Convert.Mp3FehlerListe.Empty());
    EXPECT_TRUE(state.Convert.ConvertListe.Empty());
    EXPECT_EQ(state.Convert.HoerbuchOrdner, MitTrenner(dir / "ausgabe" / "Reise"));
}

TEST(JobState, WorkerMomentsResetTheirCounters) {
    TJobState state;
    state.Mp3.VorIndex = -1;
    state.Mp3.GesamtBytes = 77;
    state.JoinerGestartet();
    EXPECT_EQ(state.Mp3.VorIndex, 0);
    EXPECT_EQ(state.Mp3.GesamtBytes, 0);

    state.Mp3.KopiertBytes = 77;
    state.Daten.TeilNr = 4;
    state.VerbindenGestartet();
    EXPECT_EQ(state.Mp3.KopiertBytes, 0);
    EXPECT_EQ(state.Daten.TeilNr, 0);

    state.Mp3.Mp3Dauer = 100;
    state.Mp3.Mp3Zeit = 50;
    state.Mp3ZeitenZuruecksetzen();
    EXPECT_EQ(state.Mp3.Mp3Dauer, -1);
    EXPECT_EQ(state.Mp3.Mp3Zeit, -1);

    state.Convert.ConvertDauer = 100;
    state.Convert.ConvertZeit = 50;
    state.Daten.LetzteZeit = 50;
    state.Daten.M4bDauer = 10;
    state.ConvertDurchlaufGestartet();
    EXPECT_EQ(state.Convert.ConvertDauer, -1);
    EXPECT_EQ(state.Convert.ConvertZeit, -1);
    EXPECT_EQ(state.Daten.LetzteZeit, 0);
    EXPECT_EQ(state.Daten.M4bDauer, 10);
}

TEST(JobState, AnErrorHoldsTheWorkersBeforeItsMessageIsThere) {
    TJobState state;
    state.Mp3FehlerMelden("Die Datei \"a.mp3\" konnte nicht bearbeitet werden!");
    EXPECT_TRUE(state.Convert.PauseS);
    EXPECT_EQ(state.Convert.Mp3FehlerListe.Count(), 1);
    EXPECT_TRUE(state.Convert.ConvertFehlerListe.Empty());
    state.Convert.PauseS = false;
    state.ConvertFehlerMelden("Die Datei \"b.mp3\" konnte nicht konvertiert werden!");
    EXPECT_TRUE(state.Convert.PauseS);
    EXPECT_EQ(state.Convert.ConvertFehlerListe.TakeFirst(),
              "Die Datei \"b.mp3\" konnte nicht konvertiert werden!");
}

TEST(HoerbuchOrdner, IsTheAlbumBelowTheOutputFolder) {
    TJobState state;
    state.Daten.AusgabeOrdner = "/home/anna/lorvane-Ausgabeordner/";
    state.Daten.Album = "_";
    EXPECT_EQ(state.HoerbuchOrdnerBerechnen(), fs::path("/home/anna/lorvane-Ausgabeordner/_/"));
    state.Daten.Album = "Die Reise";
    EXPECT_EQ(state.HoerbuchOrdnerBerechnen(),
              fs::path("/home/anna/lorvane-Ausgabeordner/Die Reise/"));
}

TEST(HoerbuchOrdner, AnUncleanedAlbumStillStaysInsideTheOutputFolder) {
    TJobState state;
    state.Daten.AusgabeOrdner = "/home/anna/lorvane-Ausgabeordner/";
    for (const char* album : {"..", ".", "", "../..", "/"}) {
        state.Daten.Album = album;
        EXPECT_EQ(state.HoerbuchOrdnerBerechnen(), fs::path("/home/anna/lorvane-Ausgabeordner/_/"))
            << album;
    }
}

TEST(JobState, FolderLifecycleOfMainAndProgressWindow) {
    test::TempDir dir;
    TJobState state(TestOrdner(dir));
    fs::create_directories(dir / "arbeit");
    Anlegen(dir / "arbeit" / "alt_001.mp3");
    Anlegen(dir / "arbeit" / "notiz.txt");

    state.HauptfensterOrdnerVorbereiten();
    EXPECT_TRUE(fs::is_directory(dir / "ausgabe"));
    EXPECT_FALSE(fs::exists(dir / "arbeit" / "alt_001.mp3"));
    EXPECT_TRUE(fs::exists(dir / "arbeit" / "notiz.txt"));

    state.Daten.Album = "Reise";
    state.FortschrittsfensterErstellt();
    state.FortschrittsfensterOrdnerAnlegen();
    EXPECT_TRUE(fs::is_directory(dir / "ausgabe" / "Reise"));
    Anlegen(dir / "arbeit" / "Anna - Reise_001.mp3");
    state.Mp3ListeAufbauen({{"/m/a.mp3", "1:00"}});

    state.FortschrittsfensterZerstoert(true, true);
    EXPECT_TRUE(state.Mp3.Mp3Liste.empty());
    EXPECT_FALSE(fs::exists(dir / "arbeit" / "Anna - Reise_001.mp3"));
    EXPECT_FALSE(fs::exists(dir / "ausgabe" / "Reise"));

    // A refused job touches neither folder.
    state.FortschrittsfensterOrdnerAnlegen();
    Anlegen(dir / "arbeit" / "Anna - Reise_002.mp3");
    state.FortschrittsfensterZerstoert(false, false);
    EXPECT_TRUE(fs::exists(dir / "arbeit" / "Anna - Reise_002.mp3"));
    EXPECT_TRUE(fs::is_directory(dir / "ausgabe" / "Reise"));
    fs::remove(dir / "ausgabe" / "Reise");

    fs::remove(dir / "arbeit" / "notiz.txt");
    Anlegen(dir / "arbeit" / "Rest_tmp.mp3");
    state.HauptfensterOrdnerAufraeumen();
    EXPECT_FALSE(fs::exists(dir / "ausgabe"));
    EXPECT_FALSE(fs::exists(dir / "arbeit"));
}

// The desktop program clears its working folder at its start, after a job and at its
// end: through a link it would empty the user's music and make it private.
TEST(JobState, TheDesktopNeverClearsThroughALinkedWorkingFolder) {
    test::TempDir dir;
    const fs::path musik = dir / "Musik";
    fs::create_directories(musik);
    for (const char* name : {"Lied.mp3", "Liste.m3u", "Hoerspiel.m4b"}) {
        Anlegen(musik / name);
    }
    const fs::perms modus = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(musik, modus);
    fs::create_directory_symlink(musik, dir / "arbeit");
    TJobState state(TestOrdner(dir));

    state.HauptfensterOrdnerVorbereiten();
    state.Daten.Album = "Reise";
    state.FortschrittsfensterErstellt();
    state.FortschrittsfensterOrdnerAnlegen();
    state.FortschrittsfensterZerstoert(true, true);
    state.HauptfensterOrdnerAufraeumen();

    EXPECT_TRUE(fs::is_symlink(dir / "arbeit"));
    for (const char* name : {"Lied.mp3", "Liste.m3u", "Hoerspiel.m4b"}) {
        EXPECT_TRUE(fs::exists(musik / name)) << name;
    }
    EXPECT_EQ(fs::status(musik).permissions(), modus);
}

TEST(JobState, AnAudiobookFolderWithFilesIsKeptAtTheEnd) {
    test::TempDir dir;
    TJobState state(TestOrdner(dir));
    state.Daten.Album = "Reise";
    state.FortschrittsfensterErstellt();
    state.FortschrittsfensterOrdnerAnlegen();
    Anlegen(dir / "ausgabe" / "Reise" / "Anna - Reise_001.m4b");
    state.FortschrittsfensterZerstoert(true, true);
    EXPECT_TRUE(fs::exists(dir / "ausgabe" / "Reise" / "Anna - Reise_001.m4b"));
    state.HauptfensterOrdnerAufraeumen();
    EXPECT_TRUE(fs::exists(dir / "ausgabe" / "Reise" / "Anna - Reise_001.m4b"));
}

// Letter and number, appended: for "c" + std::string&& GCC 12 reports a false -Wrestrict
// at -O3.
std::string Eintrag(char zeichen, std::size_t nummer) {
    std::string eintrag(1, zeichen);
    eintrag += std::to_string(nummer);
    return eintrag;
}

// Two writers append while a reader polls, as the joiner, the converter and the
// controller do. Every snapshot must be a consistent prefix of what was appended.
TEST(LockedList, TwoWritersAndAPollingReader) {
    TJobState state;
    constexpr int kJe = 2000;
    std::atomic<bool> fertig{false};
    std::atomic<int> fehler{0};
    auto schreiber = [&](TLockedList<std::string>& liste, char zeichen) {
        for (int i = 0; i < kJe; ++i) {
            liste.Add(Eintrag(zeichen, static_cast<std::size_t>(i)));
        }
    };
    std::thread joiner([&] {
        for (int i = 0; i < kJe; ++i) {
            state.Convert.ConvertListe.Add("/arbeit/Teil_" + std::to_string(i) + ".mp3");
        }
        schreiber(state.Convert.Mp3FehlerListe, 'm');
    });
    std::thread converter([&] { schreiber(state.Convert.ConvertFehlerListe, 'c'); });
    std::thread leser([&] {
        std::int32_t vorher = 0;
        while (!fertig) {
            const std::int32_t anzahl = state.Convert.ConvertListe.Count();
            if (anzahl < vorher) {
                ++fehler;
            }
            vorher = anzahl;
            const auto letzter = state.Convert.ConvertListe.At(anzahl - 1);
            if (anzahl > 0 && letzter != "/arbeit/Teil_" + std::to_string(anzahl - 1) + ".mp3") {
                ++fehler;
            }
            const std::vector<std::string> kopie = state.Convert.ConvertFehlerListe.Copy();
            for (std::size_t i = 0; i < kopie.size(); ++i) {
                if (kopie[i] != Eintrag('c', i)) {
                    ++fehler;
                }
            }
        }
    });
    joiner.join();
    converter.join();
    fertig = true;
    leser.join();

    EXPECT_EQ(fehler, 0);
    EXPECT_EQ(state.Convert.ConvertListe.Count(), kJe);
    EXPECT_EQ(state.Convert.ConvertListe.At(kJe - 1), "/arbeit/Teil_1999.mp3");
    EXPECT_FALSE(state.Convert.ConvertListe.At(kJe).has_value());
    EXPECT_FALSE(state.Convert.ConvertListe.At(-1).has_value());
    const std::vector<std::string> alle = state.Convert.Mp3FehlerListe.TakeAll();
    ASSERT_EQ(alle.size(), static_cast<std::size_t>(kJe));
    EXPECT_EQ(alle.front(), "m0");
    EXPECT_EQ(alle.back(), "m1999");
    EXPECT_TRUE(state.Convert.Mp3FehlerListe.Empty());
    EXPECT_EQ(state.Convert.ConvertFehlerListe.TakeFirst(), "c0");
    EXPECT_EQ(state.Convert.ConvertFehlerListe.Count(), kJe - 1);
}

} // namespace
} // namespace lorvane
