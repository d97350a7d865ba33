// Scratch file names, the per-user folder and exclusive creation.

#include "id3v2/ScratchFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace lorvane {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the length of a test.
class TEnvironment {
public:
    TEnvironment(const char* name, const std::string& value) : fName(name) {
        if (const char* old = std::getenv(name)) {
            fOld = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~TEnvironment() {
        if (fOld) {
            ::setenv(fName, fOld->c_str(), 1);
        } else {
            ::unsetenv(fName);
        }
    }

private:
    const char* fName;
    std::optional<std::string> fOld;
};

unsigned ModeOf(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

TEST(ScratchNames, TwoUppercaseHexDigits) {
    EXPECT_EQ(TagTempFileName(0), "TagTemp.t00");
    EXPECT_EQ(TagTempFileName(10), "TagTemp.t0A");
    EXPECT_EQ(TagTempFileName(171), "TagTemp.tAB");
    EXPECT_EQ(TagTempFileName(255), "TagTemp.tFF");
}

TEST(ScratchFolder, DefaultIsThePrivateCacheFolder) {
    SetTagScratchFolder({});
    {
        TEnvironment cache("XDG_CACHE_HOME", "/some/cache");
        EXPECT_EQ(TagScratchFolder(), fs::path("/some/cache/lorvane/"));
    }
    {
        TEnvironment cache("XDG_CACHE_HOME", "relative/ignored");
        TEnvironment home("HOME", "/home/hörer");
        EXPECT_EQ(DefaultTagScratchFolder(), fs::path("/home/hörer/.cache/lorvane/"));
    }
    SetTagScratchFolder("/job/folder");
    EXPECT_EQ(TagScratchFolder(), fs::path("/job/folder"));
    SetTagScratchFolder({});
}

TEST(ScratchFolder, MissingFoldersAreCreatedPrivate) {
    test::TempDir dir;
    TEnvironment cache("XDG_CACHE_HOME", (dir / "cache").string());
    SetTagScratchFolder({});
    {
        TScratchFile file;
        EXPECT_EQ(file.Path(), dir / "cache" / "lorvane" / "TagTemp.t00");
        EXPECT_TRUE(fs::exists(file.Path()));
        EXPECT_EQ(ModeOf(file.Path()), 0600u);
    }
    EXPECT_EQ(ModeOf(dir / "cache" / "lorvane"), 0700u);
    EXPECT_EQ(ModeOf(dir / "cache"), 0700u);
    EXPECT_TRUE(fs::is_empty(dir / "cache" / "lorvane"));
}

TEST(ScratchFiles, FirstFreeNameFromZeroUpwards) {
    test::TempDir dir;
    SetTagScratchFolder(dir.Path());
    test::WriteFileBytes(dir / "TagTemp.t00", {1});
    fs::create_symlink(dir / "nowhere", dir / "TagTemp.t01"); // dangling links count as taken
    {
        TScratchFile first;
        EXPECT_EQ(first.Path().filename(), "TagTemp.t02");
        TScratchFile second;
        EXPECT_EQ(second.Path().filename(), "TagTemp.t03");
        second.Stream().WriteBuffer("abc", 3);
        second.Keep();
        first.Delete();
        EXPECT_FALSE(fs::exists(dir / "TagTemp.t02"));
    }
    EXPECT_EQ(test::ReadFileBytes(dir / "TagTemp.t03"), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    EXPECT_EQ(test::ReadFileBytes(dir / "TagTemp.t00"), (std::vector<std::uint8_t>{1}));
    SetTagScratchFolder({});
}

TEST(ScratchFiles, NoFreeNameOrNoFolder) {
    test::TempDir dir;
    SetTagScratchFolder(dir.Path());
    for (int i = 0; i < kScratchNameCount; ++i) {
        test::WriteFileBytes(dir / TagTempFileName(i), {});
    }
    EXPECT_THROW(TScratchFile(), EFileStreamError);
    test::WriteFileBytes(dir / "plain", {});
    SetTagScratchFolder(dir / "plain");
    EXPECT_THROW(TScratchFile(), EFileStreamError);
    SetTagScratchFolder({});
}

} // namespace
} // namespace lorvane
