#include "engine/ordner/Ordner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace lorvane {
namespace {

void Anlegen(const fs::path& datei, const std::string& inhalt = "x") {
    test::WriteFileBytes(datei, std::vector<std::uint8_t>(inhalt.begin(), inhalt.end()));
}

fs::path Ordner(const test::TempDir& dir) {
    return MitTrenner(dir.Path());
}

mode_t Modus(const fs::path& pfad) {
    struct stat info {};
    EXPECT_EQ(::stat(pfad.c_str(), &info), 0) << pfad;
    return info.st_mode & 07777;
}

TEST(MaskePasst, StarAndQuestionMarkWithAsciiCaseFolding) {
    EXPECT_TRUE(MaskePasst("a.mp3", "*.m*"));
    EXPECT_TRUE(MaskePasst("b.M4B", "*.m*"));
    EXPECT_TRUE(MaskePasst(".m", "*.m*"));
    EXPECT_TRUE(MaskePasst("Teil.1.m", "*.m*"));
    // The trailing star takes any rest, also after a second extension.
    EXPECT_TRUE(MaskePasst("a.mp3.txt", "*.m*"));
    EXPECT_FALSE(MaskePasst("c.txt", "*.m*"));
    EXPECT_FALSE(MaskePasst("mp3", "*.m*"));
    EXPECT_FALSE(MaskePasst("a.xm", "*.m*"));
    EXPECT_TRUE(MaskePasst("Kapitel.MP3", "*.mp3"));
    EXPECT_FALSE(MaskePasst("Kapitel.mp3x", "*.mp3"));
    EXPECT_TRUE(MaskePasst("a.mp3.mp3", "*.mp3"));
    EXPECT_TRUE(MaskePasst("ab", "a?"));
    EXPECT_FALSE(MaskePasst("a", "a?"));
    EXPECT_TRUE(MaskePasst("", "*"));
    EXPECT_FALSE(MaskePasst("", "?"));
    // Only ASCII letters fold: Ä and ä are different bytes.
    EXPECT_FALSE(MaskePasst("Ä.mp3", "ä.mp3"));
    EXPECT_TRUE(MaskePasst("Ä.MP3", "Ä.mp3"));
}

TEST(LiegtIn, DirectlyOrBelowByNameLinkAndDotDot) {
    test::TempDir dir;
    const fs::path ordner = dir / "arbeit";
    fs::create_directories(ordner / "Auftrag-x");
    fs::create_directories(dir / "ein");
    fs::create_symlink(ordner / "Auftrag-x", dir / "ein" / "verweis");
    test::WriteFileBytes(ordner / "1.mp3", {1});
    fs::create_symlink(ordner / "1.mp3", dir / "ein" / "zeiger.mp3");
    const struct {
        fs::path datei;
        bool direkt;
        bool darunter;
    } faelle[] = {
        {ordner / "1.mp3", true, true},
        {MitTrenner(ordner) / "1.mp3", true, true},
        {ordner / "Auftrag-x" / "1.mp3", false, true},
        {dir / "ein" / "verweis" / "1.mp3", false, true},
        {dir / "ein" / "zeiger.mp3", true, true},
        {dir / "arbeit" / ".." / "arbeit" / "1.mp3", true, true},
        {dir / "ein" / "verweis" / ".." / "1.mp3", true, true},
        {dir / "ein" / "1.mp3", false, false},
        {dir / "arbeitsplatz" / "1.mp3", false, false},
        {dir / "1.mp3", false, false},
    };
    for (const auto& fall : faelle) {
        EXPECT_EQ(LiegtIn(fall.datei, ordner, TLage::Direkt), fall.direkt) << fall.datei;
        EXPECT_EQ(LiegtIn(fall.datei, ordner, TLage::DarinOderDarunter), fall.darunter)
            << fall.datei;
    }
    // A folder that is not there holds nothing.
    EXPECT_FALSE(LiegtIn(dir / "fehlt" / "1.mp3", dir / "fehlt", TLage::DarinOderDarunter));
}

TEST(MitTrenner, ExactlyOneTrailingSeparator) {
    EXPECT_EQ(MitTrenner("/home/anna"), fs::path("/home/anna/"));
    EXPECT_EQ(MitTrenner("/home/anna/"), fs::path("/home/anna/"));
    EXPECT_EQ(MitTrenner("/home/anna///"), fs::path("/home/anna/"));
    EXPECT_EQ(MitTrenner("/"), fs::path("/"));
    EXPECT_EQ(MitTrenner(""), fs::path());
}

class OrdnerLeerenTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.mp3", "b.M4B", "c.txt", "d.m4a", ".x.mp3"}) {
            Anlegen(dir / name);
        }
        fs::permissions(dir / "d.m4a", fs::perms::owner_read | fs::perms::group_read);
        fs::create_directory(dir / "z.mp3");
        Anlegen(dir / "z.mp3" / "innen.mp3");
    }
    bool Da(const std::string& name) const { return fs::exists(dir / name); }
    test::TempDir dir;
};

TEST_F(OrdnerLeerenTest, DeletesTheAudioFilesAndNothingElse) {
    EXPECT_TRUE(OrdnerLeeren(Ordner(dir), false));
    EXPECT_FALSE(Da("a.mp3"));
    EXPECT_FALSE(Da("b.M4B"));
    EXPECT_FALSE(Da("d.m4a"));
    EXPECT_TRUE(Da("c.txt"));
    EXPECT_TRUE(Da(".x.mp3"));
    EXPECT_TRUE(Da("z.mp3/innen.mp3"));
    EXPECT_TRUE(fs::is_directory(dir.Path()));
}

TEST_F(OrdnerLeerenTest, ListsWhatItWouldDelete) {
    std::vector<std::string> namen;
    for (const fs::path& datei : ZuLeerendeDateien(Ordner(dir))) {
        EXPECT_EQ(datei.parent_path(), dir.Path());
        namen.push_back(datei.filename().string());
    }
    std::sort(namen.begin(), namen.end());
    EXPECT_EQ(namen, (std::vector<std::string>{"a.mp3", "b.M4B", "d.m4a"}));
}

TEST_F(OrdnerLeerenTest, KeepsALinkToAFolderAndWhatItPointsTo) {
    test::TempDir ziel;
    Anlegen(ziel / "wichtig.mp3");
    fs::create_directory_symlink(ziel.Path(), dir / "link.mp3");
    fs::create_symlink(ziel / "wichtig.mp3", dir / "datei.mp3");
    EXPECT_TRUE(OrdnerLeeren(Ordner(dir), false));
    EXPECT_TRUE(fs::is_symlink(dir / "link.mp3"));
    // A link to a file is deleted as a link; its target stays.
    EXPECT_FALSE(fs::is_symlink(dir / "datei.mp3"));
    EXPECT_TRUE(fs::exists(ziel / "wichtig.mp3"));
}

TEST_F(OrdnerLeerenTest, RemovesTheFolderOnlyWhenNothingIsLeft) {
    EXPECT_TRUE(OrdnerLeeren(Ordner(dir), true));
    EXPECT_TRUE(fs::is_directory(dir.Path()));

    test::TempDir leer;
    const fs::path ordner = leer / "Hoerbuch";
    fs::create_directory(ordner);
    Anlegen(ordner / "Teil_001.m4b");
    EXPECT_TRUE(OrdnerLeeren(MitTrenner(ordner), true));
    EXPECT_FALSE(fs::exists(ordner));
}

TEST_F(OrdnerLeerenTest, AFailedDeletionGivesFalseWhileTheOthersStillGo) {
    std::vector<std::string> versucht;
    const bool ergebnis = OrdnerLeeren(Ordner(dir), false, [&](const fs::path& datei) {
        versucht.push_back(datei.filename().string());
        return datei.filename() == "b.M4B" ? false : DateiLoeschen(datei);
    });
    EXPECT_FALSE(ergebnis);
    EXPECT_EQ(versucht.size(), 3u);
    EXPECT_FALSE(Da("a.mp3"));
    EXPECT_TRUE(Da("b.M4B"));
    EXPECT_FALSE(Da("d.m4a"));
}

TEST_F(OrdnerLeerenTest, AFileTheSystemRefusesToDeleteGivesFalse) {
    test::ImmutableFile sperre(dir / "b.M4B");
    if (!sperre.Set()) {
        GTEST_SKIP() << "this file system or user cannot mark a file immutable "
                        "(needs CAP_LINUX_IMMUTABLE and ext4, xfs or btrfs)";
    }
    EXPECT_FALSE(OrdnerLeeren(Ordner(dir), false));
    EXPECT_TRUE(Da("b.M4B"));
    EXPECT_FALSE(Da("a.mp3"));
    EXPECT_FALSE(Da("d.m4a"));
}

TEST_F(OrdnerLeerenTest, AFolderWithoutWritePermissionGivesFalse) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root deletes files in folders without write permission";
    }
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    const bool ergebnis = OrdnerLeeren(Ordner(dir), false);
    fs::permissions(dir.Path(), fs::perms::owner_all);
    EXPECT_FALSE(ergebnis);
    EXPECT_TRUE(Da("a.mp3"));
}

TEST(OrdnerLeeren, AMissingOrUnnamedFolderHasNothingToDelete) {
    test::TempDir dir;
    EXPECT_TRUE(OrdnerLeeren(MitTrenner(dir / "fehlt"), true));
    EXPECT_TRUE(ZuLeerendeDateien(dir / "fehlt").empty());
    // An empty name must not fall back to the current folder.
    const fs::path vorher = fs::current_path();
    fs::current_path(dir.Path());
    Anlegen(dir / "hier.mp3");
    EXPECT_TRUE(OrdnerLeeren(fs::path(), true));
    EXPECT_TRUE(fs::exists(dir / "hier.mp3"));
    fs::current_path(vorher);
}

TEST(OrdnerEntfernenWennLeer, RemovesOnlyAnEmptyFolder) {
    test::TempDir dir;
    fs::create_directories(dir / "leer");
    fs::create_directories(dir / "voll");
    Anlegen(dir / "voll" / "x");
    Anlegen(dir / "datei");
    OrdnerEntfernenWennLeer(MitTrenner(dir / "leer"));
    OrdnerEntfernenWennLeer(MitTrenner(dir / "voll"));
    OrdnerEntfernenWennLeer(dir / "datei");
    EXPECT_FALSE(fs::exists(dir / "leer"));
    EXPECT_TRUE(fs::exists(dir / "voll" / "x"));
    EXPECT_TRUE(fs::exists(dir / "datei"));
}

TEST(OrdnerAnlegen, CreatesEveryMissingParent) {
    test::TempDir dir;
    EXPECT_TRUE(OrdnerAnlegen(MitTrenner(dir / "a" / "b" / "c")));
    EXPECT_TRUE(fs::is_directory(dir / "a" / "b" / "c"));
    EXPECT_TRUE(OrdnerAnlegen(MitTrenner(dir / "a")));
    Anlegen(dir / "datei");
    EXPECT_FALSE(OrdnerAnlegen(MitTrenner(dir / "datei")));
    EXPECT_FALSE(OrdnerAnlegen(fs::path()));
}

TEST(ArbeitsOrdnerAnlegen, IsPrivateToTheUser) {
    test::TempDir dir;
    const fs::path neu = dir / "cache" / "lorvane";
    EXPECT_TRUE(ArbeitsOrdnerAnlegen(MitTrenner(neu)));
    EXPECT_EQ(Modus(neu), 0700u);

    const fs::path alt = dir / "alt";
    fs::create_directory(alt);
    ::chmod(alt.c_str(), 0755);
    EXPECT_TRUE(ArbeitsOrdnerAnlegen(MitTrenner(alt)));
    // Only a folder the program makes gets its mode; an existing one keeps its own.
    EXPECT_EQ(Modus(alt), 0755u);

    Anlegen(dir / "datei");
    EXPECT_FALSE(ArbeitsOrdnerAnlegen(MitTrenner(dir / "datei")));
}

// The program deletes only in a real folder of the user: a link (to the user's music,
// say), another user's folder, or for the working folder one that everybody may write
// into, keeps its files and its mode, whichever operation meets it.
TEST(EigenerOrdner, OnlyARealFolderOfTheUserIsWorkedAndDeletedIn) {
    const std::string verweis = "Der Ordner ist ein Verweis (symbolischer Link) auf einen "
                                "anderen Ort";
    const std::string fremd = "Der Ordner gehört einem anderen Benutzer";
    struct TFall {
        const char* Name;
        mode_t OrdnerModus;
        bool AlsVerweis;
        bool FremderBesitzer;
        std::string ArbeitsGrund;
        std::string LoeschGrund;
    };
    const std::vector<TFall> faelle = {
        {"own and private", 0700, false, false, "", ""},
        {"own and readable by others", 0755, false, false, "", ""},
        {"a link to the user's music", 0755, true, false, verweis, verweis},
        {"writable by everybody", 0777, false, false,
         "Jeder Benutzer darf in diesem Ordner schreiben", ""},
        {"another user's", 0755, false, true, fremd, fremd},
    };
    for (const TFall& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        // Only root can give a folder to another user.
        if (fall.FremderBesitzer && ::geteuid() != 0) {
            continue;
        }
        test::TempDir dir;
        const fs::path musik = dir / "Musik";
        fs::create_directory(musik);
        for (const char* name : {"Lied.mp3", "Liste.m3u", "Notiz.txt"}) {
            Anlegen(musik / name);
        }
        ASSERT_EQ(::chmod(musik.c_str(), fall.OrdnerModus), 0);
        if (fall.FremderBesitzer) {
            ASSERT_EQ(::chown(musik.c_str(), 65534, 65534), 0);
        }
        const fs::path ordner = fall.AlsVerweis ? dir / "lorvane" : musik;
        if (fall.AlsVerweis) {
            fs::create_directory_symlink(musik, ordner);
        }
        const bool arbeiten = fall.ArbeitsGrund.empty();
        const bool loeschen = fall.LoeschGrund.empty();
        EXPECT_EQ(ArbeitsOrdnerGrund(MitTrenner(ordner)), fall.ArbeitsGrund);
        EXPECT_EQ(LoeschOrdnerGrund(MitTrenner(ordner)), fall.LoeschGrund);
        EXPECT_EQ(ArbeitsOrdnerAnlegen(MitTrenner(ordner)), arbeiten);
        EXPECT_EQ(OrdnerLeeren(MitTrenner(ordner), true), arbeiten);
        EXPECT_EQ(fs::exists(musik / "Lied.mp3"), !arbeiten);
        EXPECT_EQ(fs::exists(musik / "Liste.m3u"), !arbeiten);
        Anlegen(musik / "Teil.m4b");
        EXPECT_EQ(HoerbuchOrdnerDateienLoeschen(MitTrenner(ordner)), loeschen);
        EXPECT_EQ(fs::exists(musik / "Teil.m4b"), !loeschen);
        EXPECT_TRUE(fs::exists(musik / "Notiz.txt"));
        EXPECT_EQ(Modus(musik), fall.OrdnerModus);
        EXPECT_EQ(fs::is_symlink(ordner), fall.AlsVerweis);
    }
}

// A fake environment: a map of variables.
TOrdnerQuellen Quellen(std::map<std::string, std::string> variablen, fs::path programm = {}) {
    TOrdnerQuellen quellen;
    quellen.Umgebung = [variablen](const std::string& name) {
        const auto it = variablen.find(name);
        return it == variablen.end() ? std::string() : it->second;
    };
    quellen.ProgrammOrdner = std::move(programm);
    return quellen;
}

TEST(StandardOrdner, BelowTheHomeFolderByDefault) {
    const TStandardOrdner ordner = StandardOrdnerErmitteln(Quellen({{"HOME", "/home/anna"}}));
    EXPECT_EQ(ordner.AusgabeOrdner, fs::path("/home/anna/lorvane-Ausgabeordner/"));
    EXPECT_EQ(ordner.ArbeitsOrdner, fs::path("/home/anna/.cache/lorvane/"));
    EXPECT_EQ(ordner.SendToLink, fs::path("/home/anna/.local/share/applications/lorvane.desktop"));
}

TEST(StandardOrdner, AbsoluteXdgFoldersWinRelativeOnesAreIgnored) {
    const TStandardOrdner gesetzt = StandardOrdnerErmitteln(
        Quellen({{"HOME", "/home/anna/"}, {"XDG_CACHE_HOME", "/c"}, {"XDG_DATA_HOME", "/d/"}}));
    EXPECT_EQ(gesetzt.AusgabeOrdner, fs::path("/home/anna/lorvane-Ausgabeordner/"));
    EXPECT_EQ(gesetzt.ArbeitsOrdner, fs::path("/c/lorvane/"));
    EXPECT_EQ(gesetzt.SendToLink, fs::path("/d/applications/lorvane.desktop"));

    const TStandardOrdner relativ = StandardOrdnerErmitteln(
        Quellen({{"HOME", "/home/anna"}, {"XDG_CACHE_HOME", "cache"}, {"XDG_DATA_HOME", "data"}}));
    EXPECT_EQ(relativ.ArbeitsOrdner, fs::path("/home/anna/.cache/lorvane/"));
    EXPECT_EQ(relativ.SendToLink, fs::path("/home/anna/.local/share/applications/lorvane.desktop"));
}

TEST(StandardOrdner, WithoutAHomeFolderTheFolderPartIsEmpty) {
    const TStandardOrdner ordner = StandardOrdnerErmitteln(Quellen({}));
    EXPECT_EQ(ordner.AusgabeOrdner, fs::path("lorvane-Ausgabeordner/"));
    EXPECT_EQ(ordner.ArbeitsOrdner, fs::path("lorvane/"));
    EXPECT_TRUE(ordner.SendToLink.empty());
    EXPECT_EQ(ordner.FfmpegDatei, fs::path("ffmpeg"));
}

TEST(StandardOrdner, TheSystemSourcesNameThisProgramsFolder) {
    const TOrdnerQuellen quellen = SystemOrdnerQuellen();
    EXPECT_FALSE(quellen.Umgebung("HOME").empty());
    EXPECT_TRUE(fs::exists(quellen.ProgrammOrdner / "engine_ordner_ordner_test"))
        << quellen.ProgrammOrdner;
}

class FfmpegSuche : public ::testing::Test {
protected:
    void Ausfuehrbar(const fs::path& datei) {
        fs::create_directories(datei.parent_path());
        Anlegen(datei, "#!/bin/sh\n");
        ::chmod(datei.c_str(), 0755);
    }
    test::TempDir programm;
    test::TempDir pfadA;
    test::TempDir pfadB;
};

TEST_F(FfmpegSuche, FallsBackToTheProgramFolderWhenNothingIsFound) {
    EXPECT_EQ(FfmpegDateiSuchen(programm.Path(), ""), Ordner(programm) / "ffmpeg");
    EXPECT_EQ(FfmpegDateiSuchen(programm.Path(), "::relativ:"), Ordner(programm) / "ffmpeg");
}

TEST_F(FfmpegSuche, TakesTheFirstExecutableOnThePath) {
    Anlegen(pfadA / "ffmpeg"); // not executable
    Ausfuehrbar(pfadB / "ffmpeg");
    const std::string suchPfad = pfadA.Path().string() + "::" + pfadB.Path().string();
    EXPECT_EQ(FfmpegDateiSuchen(programm.Path(), suchPfad), pfadB / "ffmpeg");
    Ausfuehrbar(pfadA / "ffmpeg");
    EXPECT_EQ(FfmpegDateiSuchen(programm.Path(), suchPfad), pfadA / "ffmpeg");
}

TEST_F(FfmpegSuche, TheProgramFolderComesBeforeThePathAndEncoderBeforeThat) {
    Ausfuehrbar(pfadA / "ffmpeg");
    const std::string suchPfad = pfadA.Path().string();
    // Beside the program it only has to exist.
    Anlegen(programm / "ffmpeg");
    EXPECT_EQ(FfmpegDateiSuchen(programm.Path(), suchPfad), Ordner(programm) / "ffmpeg");
    fs::create_directory(programm / "Encoder");
    Anlegen(programm / "Encoder" / "ffmpeg");
    EXPECT_EQ(FfmpegDateiSuchen(programm.Path(), suchPfad), Ordner(programm) / "Encoder/ffmpeg");
    // A folder of that name is no encoder.
    fs::remove(programm / "Encoder" / "ffmpeg");
    fs::create_directory(programm / "Encoder" / "ffmpeg");
    EXPECT_EQ(FfmpegDateiSuchen(programm.Path(), suchPfad), Ordner(programm) / "ffmpeg");
}

TEST_F(FfmpegSuche, StandardOrdnerUsesTheSearchPath) {
    Ausfuehrbar(pfadA / "ffmpeg");
    const TStandardOrdner ordner = StandardOrdnerErmitteln(
        Quellen({{"HOME", "/h"}, {"PATH", pfadA.Path().string()}}, programm.Path()));
    EXPECT_EQ(ordner.FfmpegDatei, pfadA / "ffmpeg");
}

} // namespace
} // namespace lorvane
