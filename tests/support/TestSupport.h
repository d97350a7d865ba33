#pragma once
// Helpers shared by the test programs: the third-party corpus, temporary folders
// and small file utilities.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lorvane::test {

// The corpus folder, or an empty path when this checkout has none beside it.
std::filesystem::path CorpusDir();

// Skips the current test when the corpus is missing, saying why.
#define LORVANE_REQUIRE_CORPUS()                                                                   \
    do {                                                                                           \
        if (::lorvane::test::CorpusDir().empty())                                                  \
            GTEST_SKIP() << "third-party MP3 corpus not found beside the checkout "                \
                            "(../shared/corpus); these tests need it";                             \
    } while (0)

// One row of oracles.tsv: column name to unescaped cell text.
using OracleRow = std::map<std::string, std::string>;
// All rows keyed by file name; empty without a corpus.
const std::map<std::string, OracleRow>& Oracles();

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return fPath; }
    std::filesystem::path operator/(const std::string& name) const { return fPath / name; }

private:
    std::filesystem::path fPath;
};

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
// A /bin/sh script with the given body, executable by its owner.
void WriteShellScript(const std::filesystem::path& path, const std::string& body);

// Marks a file immutable, which stops even root from deleting it; undone at the end.
// Not every file system and user may set the mark: check Set().
class ImmutableFile {
public:
    explicit ImmutableFile(std::filesystem::path path);
    ~ImmutableFile();
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;
    bool Set() const { return fSet; }

private:
    bool Mark(bool immutable) const;

    std::filesystem::path fPath;
    bool fSet = false;
};

// Runs a command through /bin/sh; returns its exit status and fills the outputs.
int RunCommand(const std::string& command, std::string* out = nullptr, std::string* err = nullptr);

// Quotes a word for /bin/sh.
std::string ShellQuote(const std::string& word);

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// lorvane-cli with the arguments (each quoted); redirect is appended to the command
// line as it is, for example " >/dev/full".
CliRun RunCli(const std::vector<std::string>& args, const std::string& redirect = "");

} // namespace lorvane::test
