#include "engine/auswahl/Mp3Suche.h"

#include "audio/Mp3TestFiles.h"
#include "engine/ordner/Ordner.h"
#include "support/TestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace lorvane {
namespace {

using test::Bytes;
using test::Concat;
using test::MpegFrames;

// Records the questions and answers them from a list (Ja when the list runs out).
class FakeFrontEnd : public IFrontEnd {
public:
    bool FrageJaNein(const std::string& text) override {
        Fragen.push_back(text);
        if (Antworten.empty()) {
            return true;
        }
        const bool antwort = Antworten.front();
        Antworten.erase(Antworten.begin());
        return antwort;
    }
    void FehlerZeigen(const std::string& text) override { Fehler.push_back(text); }
    void EreignisseVerarbeiten() override {
        ++Ereignisse;
        if (BeiEreignis) {
            BeiEreignis(Ereignisse);
        }
    }

    std::vector<std::string> Fragen;
    std::vector<bool> Antworten;
    std::vector<std::string> Fehler;
    int Ereignisse = 0;
    std::function<void(int)> BeiEreignis;
};

// 100 frames at 128 kbit/s play 2.6 s: a duration of 2.
Bytes Mp3(const std::string& titel = "", const std::string& autor = "",
          const std::string& album = "", int frames = 100) {
    std::vector<std::pair<std::string, std::string>> rahmen;
    if (!titel.empty()) {
        rahmen.emplace_back("TIT2", titel);
    }
    if (!autor.empty()) {
        rahmen.emplace_back("TPE1", autor);
    }
    if (!album.empty()) {
        rahmen.emplace_back("TALB", album);
    }
    return rahmen.empty() ? MpegFrames(frames)
                          : Concat({test::ID3v2Tag(rahmen), MpegFrames(frames)});
}

class Mp3Suche : public ::testing::Test {
protected:
    fs::path Datei(const std::string& name, const Bytes& inhalt = Mp3()) {
        const fs::path pfad = dir / name;
        fs::create_directories(pfad.parent_path());
        test::WriteFileBytes(pfad, inhalt);
        return pfad;
    }
    std::string Ordner(const std::string& unterordner = "") const {
        return MitTrenner(unterordner.empty() ? dir.Path() : dir / unterordner).string();
    }
    static std::vector<std::string> Captions(const TMp3Suche& suche) {
        std::vector<std::string> captions;
        for (const TDateiZeile& zeile : suche.Liste()) {
            captions.push_back(zeile.Caption);
        }
        return captions;
    }

    test::TempDir dir;
    FakeFrontEnd frontEnd;
    TJobState state;
};

TEST_F(Mp3Suche, TakesMp3FilesByMaskInNaturalOrder) {
    Datei("Kapitel 10.mp3");
    Datei("Kapitel 2.mp3");
    Datei("kapitel 1.MP3");
    Datei("Kapitel.mp3x");
    Datei(".versteckt.mp3");
    Datei("notiz.txt");
    fs::create_directories(dir / "ordner.mp3");
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdner(dir.Path());
    EXPECT_EQ(Captions(suche),
              (std::vector<std::string>{Ordner() + "kapitel 1.MP3", Ordner() + "Kapitel 2.mp3",
                                        Ordner() + "Kapitel 10.mp3"}));
    EXPECT_EQ(suche.AnzDateien(), 3);
    EXPECT_TRUE(frontEnd.Fragen.empty());
    // Events are handled before every entry.
    EXPECT_GE(frontEnd.Ereignisse, 3);
}

TEST_F(Mp3Suche, RowsCarryThePlayingTime) {
    Datei("a.mp3", Mp3("", "", "", 100));
    Datei("b.mp3", Mp3("", "", "", 1400)); // 36.5 s
    Datei("c.mp3", Mp3("", "", "", 10));   // 0.26 s: counts as one second
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdner(dir.Path());
    ASSERT_EQ(suche.Liste().size(), 3U);
    EXPECT_EQ(suche.Liste()[0].Dauer, "00:00:02");
    EXPECT_EQ(suche.Liste()[1].Dauer, "00:00:36");
    EXPECT_EQ(suche.Liste()[2].Dauer, "00:00:01");
    EXPECT_EQ(state.Daten.GesamtDauer, 2 + 36 + 1);
}

TEST_F(Mp3Suche, FaultyFileAnsweredJaIsSkipped) {
    Datei("1.mp3");
    const fs::path kaputt = Datei("2.mp3", test::BytesOf("kein MPEG, nur Text"));
    Datei("3.mp3");
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdner(dir.Path());
    ASSERT_EQ(frontEnd.Fragen.size(), 1U);
    EXPECT_EQ(frontEnd.Fragen[0],
              "Folgende MP3-Datei ist fehlerhaft und wird nicht hinzugefügt:\r\n\"" +
                  kaputt.string() +
                  "\"\r\nGrund: Keine gültigen MP3-Audiodaten gefunden\r\nSoll trotzdem weiter "
                  "hinzugefügt werden?");
    EXPECT_FALSE(suche.CancelS());
    EXPECT_EQ(Captions(suche), (std::vector<std::string>{Ordner() + "1.mp3", Ordner() + "3.mp3"}));
}

TEST_F(Mp3Suche, FaultyFileAnsweredNeinCancelsEverything) {
    for (int i = 1; i <= 10; ++i) {
        Datei(std::to_string(i) + ".mp3");
    }
    Datei("11.mp3", Bytes(5000, 0));
    Datei("12.mp3");
    frontEnd.Antworten = {false};
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdner(dir.Path());
    EXPECT_TRUE(suche.CancelS());
    EXPECT_EQ(suche.AnzDateien(), 0);
    // The file after the faulty one is not looked at.
    EXPECT_EQ(suche.Liste().size(), 10U);
    EXPECT_EQ(frontEnd.Fragen.size(), 1U);
}

TEST_F(Mp3Suche, FilesAlreadyListedAreSkippedSilently) {
    Datei("a.mp3");
    Datei("b.mp3");
    TMp3Suche suche(frontEnd, state, {TDateiZeile{Ordner() + "a.mp3", "00:00:02"}});
    suche.DurchsucheOrdner(dir.Path());
    // The same folder again, and a file by another spelling of its path.
    suche.DurchsucheOrdner(dir.Path());
    suche.DateiHinzufuegen(dir.Path() / "." / "b.mp3");
    EXPECT_EQ(Captions(suche), (std::vector<std::string>{Ordner() + "b.mp3"}));
    EXPECT_TRUE(frontEnd.Fragen.empty());
}

TEST_F(Mp3Suche, OtherLetterCaseIsAnotherFileHere) {
    Datei("a.mp3");
    TMp3Suche suche(frontEnd, state, {TDateiZeile{Ordner() + "A.mp3", "00:00:02"}});
    suche.DurchsucheOrdner(dir.Path());
    EXPECT_EQ(Captions(suche), (std::vector<std::string>{Ordner() + "a.mp3"}));
}

TEST_F(Mp3Suche, FirstFileWithATitleSetsTheMetadata) {
    Datei("1.mp3", Mp3("", "Ohne Titel", "Nichts"));
    Datei("2.mp3", Mp3("  Die Reise  ", "", " Meer "));
    Datei("3.mp3", Mp3("Anderer Titel", "Jemand", "Anderes"));
    state.Daten.Autor = "alt";
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdner(dir.Path());
    EXPECT_EQ(state.Daten.Titel, "Die Reise");
    EXPECT_EQ(state.Daten.Autor, "");
    EXPECT_EQ(state.Daten.Album, "Meer");
}

TEST_F(Mp3Suche, AFilledListKeepsTheMetadata) {
    Datei("1.mp3", Mp3("Neu", "Neu", "Neu"));
    state.Daten.Autor = "Anna";
    state.Daten.Titel = "Reise";
    state.Daten.Album = "Meer";
    state.Daten.ZielBitrate = 128000;
    TMp3Suche suche(frontEnd, state, {TDateiZeile{"/anderswo/x.mp3", "00:00:01"}});
    suche.DurchsucheOrdner(dir.Path());
    EXPECT_EQ(state.Daten.Titel, "Reise");
    EXPECT_EQ(state.Daten.Autor, "Anna");
    EXPECT_EQ(state.Daten.ZielBitrate, 128000);
    EXPECT_EQ(suche.Liste().size(), 1U);
}

TEST_F(Mp3Suche, AnEmptyListForgetsMetadataAndTargetFormat) {
    state.Daten.Autor = "Anna";
    state.Daten.Titel = "Reise";
    state.Daten.ZielBitrate = 128000;
    state.Daten.GesamtDauer = 99;
    TMp3Suche suche(frontEnd, state, {});
    EXPECT_EQ(state.Daten.Titel, "");
    EXPECT_EQ(state.Daten.Autor, "");
    EXPECT_EQ(state.Daten.ZielBitrate, 0);
    EXPECT_EQ(state.Daten.GesamtDauer, 0);
}

TEST_F(Mp3Suche, RecursionIsDepthFirstWithSubfoldersInNaturalOrder) {
    Datei("b.mp3");
    Datei("a.mp3");
    Datei("CD 10/1.mp3");
    Datei("CD 2/2.mp3");
    Datei("CD 2/1.mp3");
    Datei("CD 2/Bonus/1.mp3");
    Datei(".versteckt/1.mp3");
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdnerRekursiv(dir.Path());
    EXPECT_EQ(Captions(suche),
              (std::vector<std::string>{Ordner() + "a.mp3", Ordner() + "b.mp3",
                                        Ordner() + ".versteckt/1.mp3", Ordner() + "CD 2/1.mp3",
                                        Ordner() + "CD 2/2.mp3", Ordner() + "CD 2/Bonus/1.mp3",
                                        Ordner() + "CD 10/1.mp3"}));
}

TEST_F(Mp3Suche, WithoutRecursionSubfoldersStayUnsearched) {
    Datei("a.mp3");
    Datei("sub/b.mp3");
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdner(dir.Path());
    EXPECT_EQ(Captions(suche), (std::vector<std::string>{Ordner() + "a.mp3"}));
}

TEST_F(Mp3Suche, ALinkBackToAFolderAboveEnds) {
    Datei("a/1.mp3");
    fs::create_directory_symlink(dir.Path(), dir / "a" / "zurueck");
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdnerRekursiv(dir.Path());
    EXPECT_EQ(Captions(suche), (std::vector<std::string>{Ordner() + "a/1.mp3"}));
}

TEST_F(Mp3Suche, AFolderIsSearchedOnceInTheWholeScan) {
    Datei("eins/1.mp3");
    Datei("zwei/2.mp3");
    fs::create_directory_symlink(dir.Path(), dir / "zwei" / "oben");
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdnerRekursiv(dir / "eins");
    suche.DurchsucheOrdnerRekursiv(dir / "zwei");
    EXPECT_EQ(Captions(suche),
              (std::vector<std::string>{Ordner("eins") + "1.mp3", Ordner("zwei") + "2.mp3"}));
}

TEST_F(Mp3Suche, RecursionStaysOutOfKernelFileSystems) {
    Datei("a/1.mp3");
    fs::create_directory_symlink("/proc", dir / "a" / "proc");
    fs::create_directory_symlink("/sys", dir / "sys");
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdnerRekursiv(dir.Path());
    EXPECT_EQ(Captions(suche), (std::vector<std::string>{Ordner() + "a/1.mp3"}));
    // Walking /proc or /sys would look at thousands of entries.
    EXPECT_LT(frontEnd.Ereignisse, 20);
    TMp3Suche direkt(frontEnd, state, {});
    const int vorher = frontEnd.Ereignisse;
    direkt.DurchsucheOrdnerRekursiv("/proc/");
    EXPECT_EQ(frontEnd.Ereignisse, vorher);
}

TEST_F(Mp3Suche, AFifoNamedLikeAnMp3FileIsPassedOver) {
    Datei("1.mp3");
    ASSERT_EQ(::mkfifo((dir / "2.mp3").c_str(), 0600), 0);
    fs::create_symlink(dir / "2.mp3", dir / "3.mp3");
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdnerRekursiv(dir.Path());
    EXPECT_EQ(Captions(suche), (std::vector<std::string>{Ordner() + "1.mp3"}));
    // Named directly, it is refused with the question instead of being opened.
    suche.DateiHinzufuegen(dir / "2.mp3");
    EXPECT_EQ(frontEnd.Fragen.size(), 1U);
    EXPECT_EQ(suche.Liste().size(), 1U);
}

TEST_F(Mp3Suche, CancelEndsTheScanAtTheNextEntry) {
    for (int i = 1; i <= 5; ++i) {
        Datei(std::to_string(i) + ".mp3");
    }
    TMp3Suche suche(frontEnd, state, {});
    frontEnd.BeiEreignis = [&suche](int n) {
        if (n == 3) {
            suche.Abbrechen();
        }
    };
    suche.DurchsucheOrdnerRekursiv(dir.Path());
    EXPECT_TRUE(suche.CancelS());
    EXPECT_EQ(suche.Liste().size(), 2U);
    EXPECT_EQ(suche.AnzDateien(), 0);
}

TEST_F(Mp3Suche, MissingFolderGivesNothingAndNoQuestion) {
    TMp3Suche suche(frontEnd, state, {});
    suche.DurchsucheOrdnerRekursiv(dir / "fehlt");
    suche.DurchsucheOrdner(dir / "fehlt");
    EXPECT_TRUE(suche.Liste().empty());
    EXPECT_TRUE(frontEnd.Fragen.empty());
    EXPECT_FALSE(suche.CancelS());
}

TEST_F(Mp3Suche, AFileNamedDirectlyNeedsNoMask) {
    const fs::path datei = Datei("hoerbuch.bin");
    const fs::path kaputt = Datei("kaputt.mp3", Bytes(100, 0x20));
    TMp3Suche suche(frontEnd, state, {});
    suche.DateiHinzufuegen(datei);
    suche.DateiHinzufuegen(kaputt);
    EXPECT_EQ(Captions(suche), (std::vector<std::string>{datei.string()}));
    ASSERT_EQ(frontEnd.Fragen.size(), 1U);
    EXPECT_NE(frontEnd.Fragen[0].find(kaputt.string()), std::string::npos);
}

TEST(Mp3DateienImOrdner, ListsNamesOnly) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "Teil 3.Mp3", {});
    test::WriteFileBytes(dir / "Teil 20.mp3", {});
    test::WriteFileBytes(dir / "Teil 100.mp3", {});
    fs::create_directories(dir / "Ordner 1");
    EXPECT_EQ(Mp3DateienImOrdner(dir.Path()),
              (std::vector<std::string>{"Teil 3.Mp3", "Teil 20.mp3", "Teil 100.mp3"}));
    EXPECT_EQ(UnterordnerImOrdner(dir.Path()), (std::vector<std::string>{"Ordner 1"}));
}

} // namespace
} // namespace lorvane
