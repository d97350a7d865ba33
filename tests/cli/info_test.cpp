// lorvane-cli info as a black box: arguments in; standard output, standard error and
// exit status checked.

#include "audio/Mp3Files.h"
#include "audio/Mp3TestFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lorvane {
namespace {

namespace fs = std::filesystem;
using test::ApeItem;
using test::ApeTagBytes;
using test::Bytes;
using test::Concat;
using test::ID3v1Block;
using test::MpegFrames;

const std::vector<std::string> kColumns = {
    "file",      "result",     "valid",      "first_header_position",
    "file_size", "id3v2_size", "ape_size",   "id3v1_size",
    "version",   "layer",      "samplerate", "channelmode",
    "channels",  "bitrate",    "frames",     "duration",
    "vbr",       "title",      "artist",     "album"};

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun RunCli(const std::vector<std::string>& args) {
    std::string command = test::ShellQuote(LORVANE_CLI_PATH);
    for (const std::string& arg : args) {
        command += " " + test::ShellQuote(arg);
    }
    CliRun run;
    run.status = test::RunCommand(command, &run.out, &run.err);
    return run;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    while (true) {
        const std::size_t end = text.find(separator, begin);
        parts.push_back(text.substr(begin, end - begin));
        if (end == std::string::npos) {
            return parts;
        }
        begin = end + 1;
    }
}

using Row = std::map<std::string, std::string>;

// The data rows of an info run, keyed by column; checks the header and column count.
std::vector<Row> Rows(const std::string& out) {
    std::vector<std::string> lines = Split(out, '\n');
    EXPECT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "") << "output must end with a line break";
    lines.pop_back();
    std::vector<Row> rows;
    if (lines.empty()) {
        return rows;
    }
    EXPECT_EQ(Split(lines.front(), '\t'), kColumns);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> cells = Split(lines[i], '\t');
        EXPECT_EQ(cells.size(), kColumns.size()) << lines[i];
        Row row;
        for (std::size_t c = 0; c < kColumns.size() && c < cells.size(); ++c) {
            row[kColumns[c]] = cells[c];
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(InfoCommand, ColumnsOfATaggedFile) {
    test::TempDir dir;
    const Bytes id3v2 = test::ID3v2Tag({{"TIT2", "Kapitel 1"}, {"TPE1", "Autorin"}});
    const Bytes ape = ApeTagBytes({ApeItem("Album", "H\xC3\xB6rbuch")});
    const Bytes audio = MpegFrames(100);
    const fs::path path = dir / "kapitel.mp3";
    test::WriteFileBytes(path, Concat({id3v2, audio, ape, ID3v1Block({.title = "alt"})}));

    const CliRun run = RunCli({"info", path.string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const std::vector<Row> rows = Rows(run.out);
    ASSERT_EQ(rows.size(), 1u);
    const Row& row = rows[0];
    const std::size_t total = id3v2.size() + audio.size() + ape.size() + 128;
    EXPECT_EQ(row.at("file"), path.string());
    EXPECT_EQ(row.at("result"), "0");
    EXPECT_EQ(row.at("valid"), "1");
    EXPECT_EQ(row.at("first_header_position"), std::to_string(id3v2.size()));
    EXPECT_EQ(row.at("file_size"), std::to_string(total));
    EXPECT_EQ(row.at("id3v2_size"), std::to_string(id3v2.size()));
    EXPECT_EQ(row.at("ape_size"), std::to_string(ape.size()));
    EXPECT_EQ(row.at("id3v1_size"), "128");
    EXPECT_EQ(row.at("version"), "1");
    EXPECT_EQ(row.at("layer"), "3");
    EXPECT_EQ(row.at("samplerate"), "44100");
    EXPECT_EQ(row.at("channelmode"), "1");
    EXPECT_EQ(row.at("channels"), "2");
    EXPECT_EQ(row.at("bitrate"), "128000");
    EXPECT_EQ(row.at("frames"), "100");
    // Bytes from the first frame to the end, tags included, at 128000 bit/s.
    EXPECT_EQ(row.at("duration"), std::to_string((total - id3v2.size()) * 8 / 128000));
    EXPECT_EQ(row.at("vbr"), "0");
    EXPECT_EQ(row.at("title"), "Kapitel 1");
    EXPECT_EQ(row.at("artist"), "Autorin");
    EXPECT_EQ(row.at("album"), "H\xC3\xB6rbuch");
}

TEST(InfoCommand, ControlCharactersBecomeSpaces) {
    test::TempDir dir;
    const Bytes ape =
        ApeTagBytes({ApeItem("Title", "Zeile\teins\r\nzwei"), ApeItem("Album", "a\x01z")});
    const Bytes v1 = ID3v1Block({.artist = std::string("ab\0cd", 5)});
    const fs::path path = dir / "tab\there\nline.mp3";
    test::WriteFileBytes(path, Concat({MpegFrames(20), ape, v1}));

    const CliRun run = RunCli({"info", path.string()});
    EXPECT_EQ(run.status, 0);
    const std::vector<Row> rows = Rows(run.out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("file"), (dir / "tab here line.mp3").string());
    EXPECT_EQ(rows[0].at("title"), "Zeile eins  zwei");
    EXPECT_EQ(rows[0].at("artist"), "ab cd");
    EXPECT_EQ(rows[0].at("album"), "a z");
}

TEST(InfoCommand, AnyInvalidFileGivesStatus1AndTheObjectKeepsItsMpegValues) {
    test::TempDir dir;
    const fs::path good = dir / "gut.mp3";
    const fs::path empty = dir / "leer.mp3";
    test::WriteFileBytes(good, MpegFrames(30, 14, 3));
    test::WriteFileBytes(empty, {});
    const std::string missing = (dir / "fehlt.mp3").string();

    const CliRun run = RunCli({"info", good.string(), empty.string(), missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    const std::vector<Row> rows = Rows(run.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].at("valid"), "1");
    EXPECT_EQ(rows[0].at("channels"), "1");
    EXPECT_EQ(rows[0].at("bitrate"), "320000");

    EXPECT_EQ(rows[1].at("result"), "18");
    EXPECT_EQ(rows[1].at("valid"), "0");
    EXPECT_EQ(rows[1].at("first_header_position"), "-1");
    EXPECT_EQ(rows[1].at("file_size"), "0");
    EXPECT_EQ(rows[1].at("bitrate"), "0");
    EXPECT_EQ(rows[1].at("channels"), "0");
    EXPECT_EQ(rows[1].at("duration"), "0");
    // The analyser keeps the previous file's frame values until it accepts a frame.
    EXPECT_EQ(rows[1].at("layer"), "3");
    EXPECT_EQ(rows[1].at("channelmode"), "3");
    EXPECT_EQ(rows[1].at("frames"), "30");

    EXPECT_EQ(rows[2].at("file"), missing);
    EXPECT_EQ(rows[2].at("result"), "4");
    EXPECT_EQ(rows[2].at("valid"), "0");
    EXPECT_EQ(rows[2].at("file_size"), "0");
}

TEST(InfoCommand, ADirectoryIsNoFile) {
    test::TempDir dir;
    const CliRun run = RunCli({"info", dir.Path().string()});
    EXPECT_EQ(run.status, 1);
    const std::vector<Row> rows = Rows(run.out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("result"), "4");
    EXPECT_EQ(rows[0].at("valid"), "0");
}

TEST(InfoCommand, UsageErrors) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{}, {"info"}, {"analyse", "x.mp3"}}) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Aufruf: lorvane-cli info DATEI..."), std::string::npos) << run.err;
    }
    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_NE(help.out.find("Aufruf: lorvane-cli info DATEI..."), std::string::npos);
}

std::string Cell(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return text;
}

// The whole corpus in one run: no crash, no sanitizer report, and every line as the
// analyser reports it when used the same way (one instance for all files).
TEST(InfoCommand, WholeCorpusInOneRun) {
    LORVANE_REQUIRE_CORPUS();
    std::vector<std::string> args = {"info"};
    for (const auto& entry : fs::directory_iterator(test::CorpusDir() / "mp3")) {
        args.push_back(entry.path().string());
    }
    std::sort(args.begin() + 1, args.end());
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 1); // the corpus holds tag-only and broken files
    EXPECT_EQ(run.err, "");
    const std::vector<Row> rows = Rows(run.out);
    ASSERT_EQ(rows.size(), args.size() - 1);

    TMP3File file;
    file.SetMpegScanMode(MPEG_SCAN_Complete);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(args[i + 1]);
        const TAudioError result = file.ReadFromFile(args[i + 1]);
        EXPECT_EQ(row.at("file"), Cell(args[i + 1]));
        EXPECT_EQ(row.at("result"), std::to_string(result));
        EXPECT_EQ(row.at("valid"), file.Valid() && file.MpegInfo().Valid() ? "1" : "0");
        EXPECT_EQ(row.at("first_header_position"),
                  std::to_string(file.MpegInfo().FirstHeaderPosition()));
        EXPECT_EQ(row.at("ape_size"), std::to_string(file.ApeTagSize()));
        EXPECT_EQ(row.at("bitrate"), std::to_string(file.Bitrate()));
        EXPECT_EQ(row.at("duration"), std::to_string(file.Duration()));
        EXPECT_EQ(row.at("title"), Cell(file.Title()));
        EXPECT_EQ(row.at("artist"), Cell(file.Artist()));
        EXPECT_EQ(row.at("album"), Cell(file.Album()));
    }
}

} // namespace
} // namespace lorvane
