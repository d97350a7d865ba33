#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/encoder/FfmpegAufruf.h"
#include "engine/prozess/RoCommandLine.h"

namespace lorvane {
namespace {

using Args = std::vector<std::string>;

TEST(RoSplitCommandLine, FollowsTheWindowsRules) {
    struct Case {
        const char* line;
        Args expected;
    };
    const std::vector<Case> cases = {
        {R"("abc" d e)", {"abc", "d", "e"}},
        {R"(a\\\b d"e f"g h)", {R"(a\\\b)", "de fg", "h"}},
        {R"(a\\\"b c d)", {R"(a\"b)", "c", "d"}},
        {R"(a\\\\"b c" d e)", {R"(a\\b c)", "d", "e"}},
        {R"(a\"b)", {"a\"b"}},
        {R"("a\\" b)", {"a\\", "b"}},
        {R"(trailing\\)", {R"(trailing\\)"}},
        {"  lead\t\ttabs  ", {"lead", "tabs"}},
        {R"("")", {""}},
        {R"(a "" b)", {"a", "", "b"}},
        {R"("unterminated group)", {"unterminated group"}},
        {R"(x"y z"w)", {"xy zw"}},
        {"", {}},
        {"   ", {}},
        {"\"line\nbreak\" \xC3\xA4", {"line\nbreak", "\xC3\xA4"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoSplitCommandLine(c.line), c.expected) << "line: " << c.line;
    }
}

// What the split gives back for a quoted path: relative paths gain "./".
std::string AsSplit(const std::string& path) {
    return !path.empty() && path.front() != '/' ? "./" + path : path;
}

// A path quoted for the command line. Appended piece by piece: for "\"" + std::string&&
// GCC 12 reports a false -Wrestrict at -O3.
std::string Quoted(const std::string& path) {
    std::string quoted(1, '"');
    quoted += RoQuotePath(path);
    quoted += '"';
    return quoted;
}

Args SplitQuoted(const std::string& path) {
    return RoSplitCommandLine(Quoted(path));
}

TEST(RoQuotePath, NastyNamesSurviveTheSplit) {
    const std::vector<std::string> names = {
        "/plain/name.mp3",
        "/with space/and  two.mp3",
        "/quote\"inside/\"leading",
        "/back\\slash\\",
        "/trailing\\\\",
        "/bs before quote\\\"x",
        "/\\\\\\\"\\",
        "-leading-dash.m4a",
        "--help",
        "relative name.m4a",
        "/\xC3\xA4\xC3\xB6\xC3\xBC H\xC3\xB6rbuch/\xE2\x82\xAC.mp3",
        "/tab\there/new\nline/cr\r",
        "\"",
        "\\",
        "/\"\"",
        "http:not-a-url.mp3",
    };
    for (const std::string& name : names) {
        EXPECT_EQ(SplitQuoted(name), Args{AsSplit(name)}) << "name: " << name;
    }
}

TEST(RoQuotePath, RandomBytesSurviveTheSplit) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(1, 255);
    std::uniform_int_distribution<int> length(0, 40);
    // Names made mostly of the characters that matter, so that runs of them occur.
    const std::string special = "\\\"\\ \t-";
    std::uniform_int_distribution<int> pick(0, static_cast<int>(special.size()) - 1);
    for (int round = 0; round < 3000; ++round) {
        std::string name;
        const int size = length(random);
        for (int i = 0; i < size; ++i) {
            name.push_back(round % 2 == 0 ? static_cast<char>(byte(random))
                                          : special[static_cast<std::size_t>(pick(random))]);
        }
        if (name.empty()) {
            continue;
        }
        ASSERT_EQ(SplitQuoted(name), Args{AsSplit(name)}) << "round " << round;
    }
}

TEST(RoQuotePath, TwoPathsInOneLineStaySeparate) {
    const std::string a = "/a\\\" b\\";
    const std::string b = "c \"d\"\\\\";
    std::string line = Quoted(a);
    line += " -i ";
    line += Quoted(b);
    const Args args = RoSplitCommandLine(line);
    EXPECT_EQ(args, (Args{a, "-i", "./" + b}));
}

TEST(FfmpegKommandozeile, Mp3LineHasTheEncodersArguments) {
    const std::string line = FfmpegMp3Kommandozeile("/usr/bin/ffmpeg", "/musik/Kapitel 1.mp3",
                                                    128000, 44100, 2, "/arbeit/Kapitel 1_tmp.mp3");
    EXPECT_EQ(line, "\"/usr/bin/ffmpeg\" -y -i \"/musik/Kapitel 1.mp3\" -ab 128k -ar 44100 -ac 2 "
                    "-acodec mp3 \"/arbeit/Kapitel 1_tmp.mp3\"");
    // The bitrate is passed in whole kbit/s.
    EXPECT_NE(FfmpegMp3Kommandozeile("/f", "/q", 127999, 22050, 1, "/k")
                  .find(" -ab 127k -ar 22050 -ac 1 "),
              std::string::npos);
}

// The book's own format (three quarters of low rates, which the encoder overshoots, and
// its floor of 16 kbit/s per channel) and what audiobook players read.
TEST(FfmpegKommandozeile, M4aLineCarriesTheBooksFormatAndThePlayersTags) {
    const struct {
        TM4aZiel Ziel;
        const char* Format;
    } faelle[] = {
        {{128000, 44100, 2, 1, 3, {}, {}, 0},
         "-b:a 128k -ar 44100 -ac 2 -metadata media_type=2 -metadata track=1/3"},
        {{32000, 22050, 1, 2, 2, "/arbeit/Anna - Reise_002.meta", {}, 1105},
         "Reise_002.mp3\" -i \"/arbeit/Anna - Reise_002.meta\" -map_chapters 1 -map 0:a "
         "-af atrim=start_sample=1105,asetpts=PTS-STARTPTS -c:a aac "
         "-b:a 24k -ar 22050 -ac 1 -metadata media_type=2 -metadata track=2/2"},
        {{64000, 44100, 1, 1, 1, {}, {}, 0}, "-b:a 64k -ar 44100 -ac 1"},
        {{8000, 8000, 1, 1, 1, {}, {}, 0}, "-b:a 16k -ar 8000 -ac 1"},
        {{24000, 22050, 2, 1, 1, {}, {}, 0}, "-b:a 32k -ar 22050 -ac 2"},
        // The cover: an input of its own, mapped after the audio, copied as it is.
        {{32000, 22050, 1, 1, 1, {}, "/arbeit/Titelbild.mbild", 0},
         "Reise_002.mp3\" -i \"/arbeit/Titelbild.mbild\" -map 0:a -map 1:v -c:v copy "
         "-disposition:v:0 attached_pic -c:a aac "},
        {{32000, 22050, 1, 1, 1, "/arbeit/k.meta", "/arbeit/Titelbild.mbild", 0},
         "Reise_002.mp3\" -i \"/arbeit/k.meta\" -i \"/arbeit/Titelbild.mbild\" -map_chapters 1 "
         "-map 0:a -map 2:v -c:v copy -disposition:v:0 attached_pic -c:a aac "},
    };
    for (const auto& fall : faelle) {
        const std::string zeile = FfmpegM4aKommandozeile(
            "/usr/bin/ffmpeg", "/arbeit/Anna - Reise_002.mp3", "Anna - Reise_002.m4a", fall.Ziel);
        EXPECT_EQ(zeile.rfind("\"/usr/bin/ffmpeg\" -y -i \"/arbeit/Anna - Reise_002.mp3\" -", 0),
                  0U)
            << zeile;
        EXPECT_EQ(zeile.find("-map_chapters") != std::string::npos, !fall.Ziel.Kapitel.empty());
        EXPECT_NE(zeile.find(fall.Format), std::string::npos) << zeile;
        EXPECT_NE(zeile.find(" -brand \"M4B \" -movflags +faststart \"./Anna - Reise_002.m4a\""),
                  std::string::npos)
            << zeile;
    }
}

TEST(FfmpegKommandozeile, NastyPathsArriveAsSingleArguments) {
    const std::string encoder = "/opt/\"en\"coder\\/ffmpeg";
    const std::string source = "/h\xC3\xB6r\\\"buch/-x \"1\".mp3";
    const std::string copy = "/arbeit\\/-x \"1\"_tmp.mp3\\";
    EXPECT_EQ(RoSplitCommandLine(FfmpegMp3Kommandozeile(encoder, source, 64000, 22050, 1, copy)),
              (Args{encoder, "-y", "-i", source, "-ab", "64k", "-ar", "22050", "-ac", "1",
                    "-acodec", "mp3", copy}));
    const std::string result = "-Autor \"A\" - \\Album\\_001.m4a";
    const std::string kapitel = "/arbeit\\/-x \"1\".meta";
    const std::string titelbild = "/arbeit\\/-x \"1\".mbild";
    const Args m4a = RoSplitCommandLine(FfmpegM4aKommandozeile(
        encoder, source, result, TM4aZiel{64000, 22050, 1, 1, 1, kapitel, titelbild, 0}));
    ASSERT_GE(m4a.size(), 9U);
    EXPECT_EQ(Args(m4a.begin(), m4a.begin() + 8),
              (Args{encoder, "-y", "-i", source, "-i", kapitel, "-i", titelbild}));
    EXPECT_EQ(m4a.back(), "./" + result);
    EXPECT_NE(std::find(m4a.begin(), m4a.end(), "M4B "), m4a.end()) << "the brand keeps its blank";
}

} // namespace
} // namespace lorvane
