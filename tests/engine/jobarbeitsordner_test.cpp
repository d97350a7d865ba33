#include "engine/JobArbeitsOrdner.h"

#include "engine/BearbeitenDlgC.h"
#include "engine/ordner/Ordner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace lorvane {
namespace {

// Held: the state names the locked folder; released: the default again, the lock
// gone, and the default folder removed only when asked for.
TEST(JobArbeitsOrdner, TheStateNamesTheLockedFolderWhileHeld) {
    for (const bool entfernen : {false, true}) {
        test::TempDir dir;
        TJobState state;
        const fs::path standard = MitTrenner(dir / "arbeit");
        state.Daten.ArbeitsOrdner = standard;
        {
            TJobArbeitsOrdner ordner(state, entfernen);
            ASSERT_TRUE(ordner.Belegt());
            EXPECT_FALSE(ordner.Eigener());
            EXPECT_EQ(state.Daten.ArbeitsOrdner, standard);
            EXPECT_TRUE(ArbeitsOrdnerGesperrt(standard));
            test::WriteFileBytes(standard / "Teil_001.mp3", {1});
        }
        EXPECT_FALSE(ArbeitsOrdnerGesperrt(standard));
        EXPECT_EQ(state.Daten.ArbeitsOrdner, standard);
        EXPECT_EQ(fs::exists(standard), !entfernen) << entfernen;
    }
}

TEST(JobArbeitsOrdner, ASecondJobWorksBelowAndLeavesNothing) {
    test::TempDir dir;
    TJobState erster;
    TJobState zweiter;
    const fs::path standard = MitTrenner(dir / "arbeit");
    erster.Daten.ArbeitsOrdner = standard;
    zweiter.Daten.ArbeitsOrdner = standard;
    TJobArbeitsOrdner ersterOrdner(erster, true);
    fs::path eigener;
    {
        TJobArbeitsOrdner zweiterOrdner(zweiter, true);
        ASSERT_TRUE(zweiterOrdner.Eigener());
        eigener = zweiter.Daten.ArbeitsOrdner;
        EXPECT_EQ(eigener.parent_path().parent_path(), OhneTrenner(standard));
        test::WriteFileBytes(eigener / "Teil_001.mp3", {1});
        zweiterOrdner.Freigeben();
        EXPECT_EQ(zweiter.Daten.ArbeitsOrdner, standard);
        EXPECT_FALSE(fs::exists(eigener));
    }
    // The first job's folder and lock are untouched by the second.
    EXPECT_TRUE(ArbeitsOrdnerGesperrt(standard));
    EXPECT_TRUE(fs::is_directory(standard));
}

TEST(JobArbeitsOrdner, InputsInOrBelowTheWorkingFolderAreNamed) {
    test::TempDir dir;
    const fs::path standard = MitTrenner(dir / "arbeit");
    fs::create_directories(standard / "Auftrag-x");
    fs::create_directories(dir / "ein");
    fs::create_symlink(standard / "Auftrag-x", dir / "ein" / "verweis");
    const struct {
        fs::path datei;
        bool drin;
    } faelle[] = {{standard / "1.mp3", true},
                  {standard / "Auftrag-x" / "1.mp3", true},
                  {dir / "ein" / "verweis" / "1.mp3", true},
                  {dir / "arbeit" / ".." / "arbeit" / "1.mp3", true},
                  {dir / "ein" / "1.mp3", false},
                  {dir / "arbeitsplatz" / "1.mp3", false}};
    for (const auto& fall : faelle) {
        const std::string text = EingabeImArbeitsOrdner(
            {{(dir / "ein" / "0.mp3").string(), "1"}, {fall.datei.string(), "1"}}, standard);
        EXPECT_EQ(text, fall.drin ? EingabeImOrdnerText(fall.datei, standard) : std::string())
            << fall.datei;
    }
}

} // namespace
} // namespace lorvane
