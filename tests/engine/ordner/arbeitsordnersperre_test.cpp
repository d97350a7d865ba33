#include "engine/ordner/ArbeitsOrdnerSperre.h"

#include "engine/ordner/Ordner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace lorvane {
namespace {

TEST(ArbeitsOrdnerSperre, TheFirstJobLocksTheFolderItself) {
    test::TempDir dir;
    const fs::path ordner = dir / "cache" / "lorvane";
    {
        auto sperre = TArbeitsOrdnerSperre::Belegen(ordner);
        ASSERT_NE(sperre, nullptr);
        EXPECT_FALSE(sperre->Eigener());
        EXPECT_EQ(sperre->Ordner(), MitTrenner(ordner));
        EXPECT_TRUE(fs::is_directory(ordner));
        EXPECT_TRUE(ArbeitsOrdnerGesperrt(ordner));
        struct stat info {};
        ASSERT_EQ(::stat(ordner.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700U);
    }
    EXPECT_FALSE(ArbeitsOrdnerGesperrt(ordner));
    // The default folder stays; only unique folders go with their job.
    EXPECT_TRUE(fs::is_directory(ordner));
}

TEST(ArbeitsOrdnerSperre, ASecondJobGetsAUniqueFolderBelow) {
    test::TempDir dir;
    const fs::path ordner = dir / "lorvane";
    auto erste = TArbeitsOrdnerSperre::Belegen(ordner);
    ASSERT_NE(erste, nullptr);
    auto zweite = TArbeitsOrdnerSperre::Belegen(ordner);
    ASSERT_NE(zweite, nullptr);
    auto dritte = TArbeitsOrdnerSperre::Belegen(ordner);
    ASSERT_NE(dritte, nullptr);
    EXPECT_TRUE(zweite->Eigener());
    EXPECT_NE(zweite->Ordner(), dritte->Ordner());
    const fs::path eigener = zweite->Ordner();
    EXPECT_EQ(MitTrenner(eigener.parent_path().parent_path()), MitTrenner(ordner));
    EXPECT_EQ(eigener.parent_path().filename().string().rfind(EigenerArbeitsOrdnerPrefix, 0), 0U);
    EXPECT_TRUE(ArbeitsOrdnerGesperrt(eigener));

    test::WriteFileBytes(fs::path(eigener) / "Anna - Reise_001.mp3", {1, 2, 3});
    test::WriteFileBytes(fs::path(eigener) / "TagTemp.t00", {1});
    zweite.reset();
    EXPECT_FALSE(fs::exists(eigener));
    EXPECT_TRUE(fs::is_directory(dritte->Ordner()));
}

TEST(ArbeitsOrdnerSperre, FoldersOfEndedJobsAreRemovedByTheNextFirstJob) {
    test::TempDir dir;
    const fs::path ordner = dir / "lorvane";
    fs::create_directories(ordner / "Auftrag-verwaist");
    test::WriteFileBytes(ordner / "Auftrag-verwaist" / "Teil_001.mp3", {1});
    fs::create_directories(ordner / "Fremd");
    auto erste = TArbeitsOrdnerSperre::Belegen(ordner);
    ASSERT_NE(erste, nullptr);
    auto laufend = TArbeitsOrdnerSperre::Belegen(ordner);
    ASSERT_NE(laufend, nullptr);
    EXPECT_FALSE(fs::exists(ordner / "Auftrag-verwaist"));
    EXPECT_TRUE(fs::exists(ordner / "Fremd"));

    // A unique folder whose job still runs is kept.
    erste.reset();
    auto naechste = TArbeitsOrdnerSperre::Belegen(ordner);
    ASSERT_NE(naechste, nullptr);
    EXPECT_FALSE(naechste->Eigener());
    EXPECT_TRUE(fs::is_directory(laufend->Ordner()));
}

TEST(ArbeitsOrdnerSperre, NothingWhenTheFolderCannotBeMade) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "datei", {1});
    EXPECT_EQ(TArbeitsOrdnerSperre::Belegen(dir / "datei" / "lorvane"), nullptr);
    EXPECT_EQ(TArbeitsOrdnerSperre::Belegen(fs::path()), nullptr);
}

TEST(ArbeitsOrdnerSperre, ALockOfAnotherProcessCounts) {
    test::TempDir dir;
    const fs::path ordner = dir / "lorvane";
    fs::create_directories(ordner);
    // flock(1) holds the lock in a process of its own while it sleeps.
    const std::string befehl = "flock -x " + test::ShellQuote(ordner.string()) + " -c 'touch " +
                               test::ShellQuote((dir / "bereit").string()) +
                               "; sleep 3' >/dev/null 2>&1 &";
    ASSERT_EQ(test::RunCommand(befehl), 0);
    for (int i = 0; i < 300 && !fs::exists(dir / "bereit"); ++i) {
        ::usleep(10000);
    }
    ASSERT_TRUE(fs::exists(dir / "bereit"));
    EXPECT_TRUE(ArbeitsOrdnerGesperrt(ordner));
    auto sperre = TArbeitsOrdnerSperre::Belegen(ordner);
    ASSERT_NE(sperre, nullptr);
    EXPECT_TRUE(sperre->Eigener());
}

} // namespace
} // namespace lorvane
