// lorvane-cli info as a black box: arguments in; standard output, standard error and
// exit status checked.

#include "audio/Mp3Files.h"
#include "audio/Mp3TestFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

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

using test::CliRun;
using test::RunCli;

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

const std::vector<std::string> kMpegColumns = {"first_header_position",
                                               "version",
                                               "layer",
                                               "samplerate",
                                               "channelmode",
                                               "channels",
                                               "bitrate",
                                               "frames",
                                               "duration",
                                               "vbr"};

// A row with every MPEG column "-" and the given file-level values.
Row WithoutMpeg(Row row) {
    const std::string none = "-";
    for (const std::string& column : kMpegColumns) {
        // Copied from a string: assigning the literal makes GCC 12 report a false
        // -Wrestrict at -O3.
        row[column] = none;
    }
    return row;
}

// One reused analyser kept the MPEG values of the previous file for files without a
// frame and for files it could not open: every row must describe its own file only.
TEST(InfoCommand, NothingOfTheFirstFileShowsInTheOthers) {
    test::TempDir dir;
    const Bytes id3v2 = test::ID3v2Tag({{"TIT2", "Kapitel 1"}, {"TPE1", "Autorin"}});
    const Bytes audio = MpegFrames(400, 14, 3); // 320 kbit/s, one channel
    const Bytes ape = ApeTagBytes({ApeItem("Album", "Erstes Album")});
    const Bytes v1 = ID3v1Block({.title = "alt"});
    const fs::path good = dir / "gut.mp3";
    test::WriteFileBytes(good, Concat({id3v2, audio, ape, v1}));
    const std::string text = "Das ist keine MP3-Datei, nur Text.\n";
    const fs::path noMp3 = dir / "text.mp3";
    test::WriteFileBytes(noMp3, test::BytesOf(text));
    const fs::path empty = dir / "leer.mp3";
    test::WriteFileBytes(empty, {});
    // No audio, only an APE tag one byte shorter than the first file's; the zero bytes
    // before it reach the size below which end tags are not looked for.
    const Bytes tagOnlyApe = ApeTagBytes({ApeItem("Title", "Nur ein Tag")});
    const Bytes tagOnlyBytes = Concat({Bytes(100, 0), tagOnlyApe});
    const fs::path tagOnly = dir / "nur-tag.mp3";
    test::WriteFileBytes(tagOnly, tagOnlyBytes);
    const std::string missing = (dir / "fehlt.mp3").string();

    const std::size_t total = id3v2.size() + audio.size() + ape.size() + v1.size();
    const Row first = {{"file", good.string()},
                       {"result", "0"},
                       {"valid", "1"},
                       {"first_header_position", std::to_string(id3v2.size())},
                       {"file_size", std::to_string(total)},
                       {"id3v2_size", std::to_string(id3v2.size())},
                       {"ape_size", std::to_string(ape.size())},
                       {"id3v1_size", "128"},
                       {"version", "1"},
                       {"layer", "3"},
                       {"samplerate", "44100"},
                       {"channelmode", "3"},
                       {"channels", "1"},
                       {"bitrate", "320000"},
                       {"frames", "400"},
                       {"duration", std::to_string((total - id3v2.size()) * 8 / 320000)},
                       {"vbr", "0"},
                       {"title", "Kapitel 1"},
                       {"artist", "Autorin"},
                       {"album", "Erstes Album"}};
    const auto plain = [](const std::string& name, TAudioError result, std::size_t size,
                          std::size_t apeSize = 0, const std::string& title = "") {
        return WithoutMpeg({{"file", name},
                            {"result", std::to_string(result)},
                            {"valid", "0"},
                            {"file_size", std::to_string(size)},
                            {"id3v2_size", "0"},
                            {"ape_size", std::to_string(apeSize)},
                            {"id3v1_size", "0"},
                            {"title", title},
                            {"artist", ""},
                            {"album", ""}});
    };
    const std::vector<Row> expected = {first,
                                       plain(noMp3.string(), MP3ERR_NoMpegFrame, text.size()),
                                       plain(empty.string(), MP3ERR_NoMpegFrame, 0),
                                       plain(tagOnly.string(), MP3ERR_NoMpegFrame,
                                             tagOnlyBytes.size(), tagOnlyApe.size(), "Nur ein Tag"),
                                       plain(missing, FileErr_NoFile, 0),
                                       first,
                                       plain(missing, FileErr_NoFile, 0)};
    std::vector<std::string> args = {"info"};
    for (const Row& row : expected) {
        args.push_back(row.at("file"));
    }

    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    const std::vector<Row> rows = Rows(run.out);
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1) + ": " + expected[i].at("file"));
        EXPECT_EQ(rows[i], expected[i]);
        if (expected[i].at("valid") == "0") {
            // Every value the first file has for itself stays out of this row.
            for (const std::string& column : kColumns) {
                if (column != "result" && column != "valid") {
                    EXPECT_NE(rows[i].at(column), first.at(column)) << column;
                }
            }
        }
        // The same row as when the file is analysed on its own.
        const std::vector<Row> alone = Rows(RunCli({"info", expected[i].at("file")}).out);
        ASSERT_EQ(alone.size(), 1u);
        EXPECT_EQ(rows[i], alone[0]);
    }
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
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "kein Befehl angegeben"},
        {{"info"}, "info braucht mindestens eine Datei"},
        {{"info", "--"}, "info braucht mindestens eine Datei"},
        {{"info", "-x", "x.mp3"}, "unbekannte Option \"-x\" für info"},
        {{"info", "x.mp3", "--tabelle"}, "unbekannte Option \"--tabelle\" für info"},
        {{"info", "-hx", "x.mp3"}, "unbekannte Option \"-hx\" für info"},
        {{"analyse", "x.mp3"}, "unbekannter Befehl \"analyse\""}};
    for (const auto& [args, reason] : cases) {
        SCOPED_TRACE(args.empty() ? "(nichts)" : args.back());
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("lorvane-cli: " + reason + "\n", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("Aufruf: lorvane-cli info DATEI..."), std::string::npos) << run.err;
    }
    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_NE(help.out.find("Aufruf: lorvane-cli info DATEI..."), std::string::npos);
    EXPECT_NE(help.out.find("lorvane-cli info --help"), std::string::npos);
}

TEST(InfoCommand, HelpInsteadOfARow) {
    test::TempDir dir;
    const fs::path good = dir / "gut.mp3";
    test::WriteFileBytes(good, MpegFrames(20));
    const CliRun help = RunCli({"info", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("Aufruf: lorvane-cli info [--] DATEI...\n", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("Rückgabewert:"), std::string::npos);
    EXPECT_EQ(help.out.find("file\tresult"), std::string::npos) << "no data row";
    // Every column of the contract is named, in its order.
    std::size_t at = 0;
    for (const std::string& column : kColumns) {
        at = help.out.find(column, at);
        EXPECT_NE(at, std::string::npos) << column;
    }
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"info", "-h"}, {"info", good.string(), "--help"}, {"info", "--help", "--"}}) {
        const CliRun again = RunCli(args);
        EXPECT_EQ(again.status, 0) << args[1];
        EXPECT_EQ(again.out, help.out) << args[1];
        EXPECT_EQ(again.err, "");
    }
    // The help of info is not the general usage text.
    EXPECT_NE(help.out, RunCli({"--help"}).out);
}

TEST(InfoCommand, DoubleDashEndsTheOptions) {
    test::TempDir dir;
    test::WriteFileBytes(dir / "--help", MpegFrames(20));
    test::WriteFileBytes(dir / "-x", MpegFrames(10));
    const std::string cli = test::ShellQuote(LORVANE_CLI_PATH);
    CliRun run;
    run.status = test::RunCommand("cd " + test::ShellQuote(dir.Path().string()) + " && " + cli +
                                      " info -- --help -x - --",
                                  &run.out, &run.err);
    EXPECT_EQ(run.status, 1); // "-" and the second "--" do not exist
    EXPECT_EQ(run.err, "");
    const std::vector<Row> rows = Rows(run.out);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].at("file"), "--help");
    EXPECT_EQ(rows[0].at("valid"), "1");
    EXPECT_EQ(rows[0].at("frames"), "20");
    EXPECT_EQ(rows[1].at("file"), "-x");
    EXPECT_EQ(rows[1].at("valid"), "1");
    EXPECT_EQ(rows[1].at("frames"), "10");
    for (std::size_t i = 2; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].at("file"), i == 2 ? "-" : "--");
        EXPECT_EQ(rows[i].at("result"), std::to_string(FileErr_NoFile));
    }
    // A lone "-" is a file even before "--".
    const CliRun dash = RunCli({"info", "-"});
    EXPECT_EQ(dash.status, 1);
    const std::vector<Row> dashRows = Rows(dash.out);
    ASSERT_EQ(dashRows.size(), 1u);
    EXPECT_EQ(dashRows[0].at("file"), "-");
}

std::string NoSpaceMessage() {
    return "lorvane-cli: Die Ausgabe konnte nicht geschrieben werden: Auf dem Datenträger ist "
           "kein Speicherplatz mehr frei\n";
}

TEST(InfoCommand, AFailedWriteGivesStatus1) {
    ASSERT_TRUE(fs::exists("/dev/full"));
    test::TempDir dir;
    const fs::path good = dir / "gut.mp3";
    test::WriteFileBytes(good, MpegFrames(20));
    ASSERT_EQ(RunCli({"info", good.string()}).status, 0);

    // One short line: the write fails at the final flush.
    const CliRun one = RunCli({"info", good.string()}, " >/dev/full");
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(one.err, NoSpaceMessage());

    // Far more than a buffer: the write fails halfway, the message comes once and
    // still names the system's reason.
    const fs::path longName = dir / (std::string(200, 'k') + ".mp3");
    test::WriteFileBytes(longName, MpegFrames(20));
    std::vector<std::string> args = {"info"};
    args.insert(args.end(), 400, longName.string());
    const CliRun many = RunCli(args, " >/dev/full");
    EXPECT_EQ(many.status, 1);
    EXPECT_EQ(many.err, NoSpaceMessage());

    const CliRun help = RunCli({"info", "--help"}, " >/dev/full");
    EXPECT_EQ(help.status, 1);
    EXPECT_EQ(help.err, NoSpaceMessage());
}

std::string Cell(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return text;
}

// The whole corpus in one run: no crash, no sanitizer report, and every line as a
// fresh analyser reports the file on its own.
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

    int withoutMpeg = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(args[i + 1]);
        TMP3File file;
        file.SetMpegScanMode(MPEG_SCAN_Complete);
        const TAudioError result = file.ReadFromFile(args[i + 1]);
        const bool mpeg = file.MpegInfo().Valid();
        const auto mpegCell = [mpeg](auto value) {
            return mpeg ? std::to_string(value) : std::string("-");
        };
        withoutMpeg += mpeg ? 0 : 1;
        EXPECT_EQ(row.at("file"), Cell(args[i + 1]));
        EXPECT_EQ(row.at("result"), std::to_string(result));
        EXPECT_EQ(row.at("valid"), file.Valid() && mpeg ? "1" : "0");
        EXPECT_EQ(row.at("first_header_position"), mpegCell(file.MpegInfo().FirstHeaderPosition()));
        EXPECT_EQ(row.at("file_size"), std::to_string(file.FileSize()));
        EXPECT_EQ(row.at("id3v2_size"), std::to_string(file.ID3v2TagSize()));
        EXPECT_EQ(row.at("ape_size"), std::to_string(file.ApeTagSize()));
        EXPECT_EQ(row.at("id3v1_size"), std::to_string(file.ID3v1TagSize()));
        EXPECT_EQ(row.at("layer"), mpegCell(file.MpegInfo().Layer()));
        EXPECT_EQ(row.at("frames"), mpegCell(file.MpegInfo().Frames()));
        EXPECT_EQ(row.at("bitrate"), mpegCell(file.Bitrate()));
        EXPECT_EQ(row.at("duration"), mpegCell(file.Duration()));
        EXPECT_EQ(row.at("title"), Cell(file.Title()));
        EXPECT_EQ(row.at("artist"), Cell(file.Artist()));
        EXPECT_EQ(row.at("album"), Cell(file.Album()));
    }
    EXPECT_GT(withoutMpeg, 0); // the "-" rows were checked too
}

} // namespace
} // namespace lorvane
