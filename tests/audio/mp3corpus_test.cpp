// The analyser on real third-party files, compared with independent tools where the
// tools measure the same thing.

#include "audio/Mp3Files.h"
#include "base/TextCodec.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace lorvane {
namespace {

namespace fs = std::filesystem;

fs::path CorpusFile(const std::string& name) {
    return test::CorpusDir() / "mp3" / name;
}

std::vector<fs::path> CorpusFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(test::CorpusDir() / "mp3")) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class Mp3Corpus : public ::testing::Test {
protected:
    void SetUp() override {
        LORVANE_REQUIRE_CORPUS();
        file.SetMpegScanMode(MPEG_SCAN_Complete);
    }
    // Reads one corpus file; true when the program would accept it.
    bool ReadUsable(const std::string& name) {
        result = file.ReadFromFile(CorpusFile(name));
        return file.Valid() && file.MpegInfo().Valid();
    }
    TMP3File file;
    TAudioError result = 0;
};

void ExpectSameAnalysis(const TMP3File& a, const TMP3File& b) {
    EXPECT_EQ(a.Valid(), b.Valid());
    EXPECT_EQ(a.FileSize(), b.FileSize());
    EXPECT_EQ(a.Duration(), b.Duration());
    EXPECT_EQ(a.Bitrate(), b.Bitrate());
    EXPECT_EQ(a.Samplerate(), b.Samplerate());
    EXPECT_EQ(a.Channels(), b.Channels());
    EXPECT_EQ(a.ID3v2TagSize(), b.ID3v2TagSize());
    EXPECT_EQ(a.ApeTagSize(), b.ApeTagSize());
    EXPECT_EQ(a.ID3v1TagSize(), b.ID3v1TagSize());
    EXPECT_EQ(a.MpegInfo().Valid(), b.MpegInfo().Valid());
    EXPECT_EQ(a.MpegInfo().FirstHeaderPosition(), b.MpegInfo().FirstHeaderPosition());
    EXPECT_EQ(a.Title(), b.Title());
    EXPECT_EQ(a.Artist(), b.Artist());
    EXPECT_EQ(a.Album(), b.Album());
    EXPECT_EQ(a.LastExceptionMessage(), b.LastExceptionMessage());
}

TEST_F(Mp3Corpus, EveryFileIsAnalysedConsistently) {
    static const std::set<TAudioError> documented = {
        FileErr_None,       FileErr_Unknown,     FileErr_StreamRead, MP3ERR_Invalid_Header,
        Mp3ERR_Compression, Mp3ERR_Unclassified, MP3ERR_NoMpegFrame, ApeErr_InvalidTag};
    TMP3File reused; // one instance for all files, as the program uses it
    reused.SetMpegScanMode(MPEG_SCAN_Complete);
    int usable = 0;
    for (const fs::path& path : CorpusFiles()) {
        SCOPED_TRACE(path.filename().string());
        const TAudioError fromReused = reused.ReadFromFile(path);
        TMP3File fresh;
        fresh.SetMpegScanMode(MPEG_SCAN_Complete);
        const TAudioError fromFile = fresh.ReadFromFile(path);
        EXPECT_EQ(fromReused, fromFile);
        EXPECT_TRUE(documented.count(fromFile)) << int(fromFile);
        ExpectSameAnalysis(reused, fresh);

        TMP3File inMemory;
        inMemory.SetMpegScanMode(MPEG_SCAN_Complete);
        TMemoryStream stream(test::ReadFileBytes(path));
        EXPECT_EQ(inMemory.ReadFromStream(stream), fromFile);
        ExpectSameAnalysis(inMemory, fresh);

        EXPECT_EQ(fresh.Valid(), fresh.MpegInfo().Valid() && fromFile != FileErr_Unknown);
        if (fresh.Valid()) {
            ++usable;
            const std::int64_t first = fresh.MpegInfo().FirstHeaderPosition();
            EXPECT_GE(first, fresh.ID3v2TagSize());
            EXPECT_LT(first, fresh.FileSize());
            EXPECT_LE(fresh.ApeTagSize() + fresh.ID3v1TagSize(), fresh.FileSize());
            EXPECT_EQ(fresh.Bitrate(), fresh.MpegInfo().Bitrate() * 1000);
            EXPECT_EQ(fresh.Duration(), fresh.MpegInfo().Dauer());
            EXPECT_EQ(fresh.Samplerate(), fresh.MpegInfo().Samplerate());
            EXPECT_TRUE(fresh.Channels() == 1 || fresh.Channels() == 2);
        }
    }
    EXPECT_GT(usable, 60);
}

// ffprobe's stream values come from the first frame it decodes, as ours do.
TEST_F(Mp3Corpus, SampleRateAndChannelsAgreeWithFfprobe) {
    int compared = 0;
    for (const auto& [name, row] : test::Oracles()) {
        SCOPED_TRACE(name);
        if (row.at("sample_rate").empty() || !ReadUsable(name)) {
            continue;
        }
        EXPECT_EQ(std::to_string(file.Samplerate()), row.at("sample_rate"));
        EXPECT_EQ(std::to_string(file.Channels()), row.at("channels"));
        ++compared;
    }
    EXPECT_GT(compared, 60);
}

// mutagen names the channel mode of the first frame. In five truncated files the first
// frame is a stereo VBR-header frame whose frame count, for the few bytes present,
// derives a bitrate of 0: our analyser drops it and starts at the next frame, which
// is joint stereo like the rest of the audio (byte dump: header frame "stereo",
// walk "joint"). There the audio frames' mode is expected.
const std::set<std::string> kFirstFrameIsADroppedVbrHeader = {
    "musicmetadata__Solace.mp3", "musicmetadata__issue-471.mp3", "musicmetadata__issue-554.mp3",
    "mutagen__vbri.mp3", "taglib__rare_frames.mp3"};

TEST_F(Mp3Corpus, ChannelModeAgreesWithMutagen) {
    static const std::map<std::string, int> modes = {
        {"STEREO", 0}, {"JOINT_STEREO", 1}, {"DUAL_CHANNEL", 2}, {"MONO", 3}};
    int compared = 0;
    for (const auto& [name, row] : test::Oracles()) {
        SCOPED_TRACE(name);
        if (row.at("mutagen_mode").empty() || !ReadUsable(name)) {
            continue;
        }
        const int expected =
            kFirstFrameIsADroppedVbrHeader.count(name) ? 1 : modes.at(row.at("mutagen_mode"));
        EXPECT_EQ(file.MpegInfo().Channelmode(), expected);
        ++compared;
    }
    EXPECT_GT(compared, 60);
}

// ffprobe estimates the playing time from a VBR header or from size and bitrate. Ours
// is the byte count from the first frame to the end of the file (trailing tags
// included) over the walk's average bitrate, in whole seconds. So only files without
// trailing tags, and not the truncated files whose header claims far more than is
// there (their notes say DURATION SPREAD), are compared, within one second.
TEST_F(Mp3Corpus, DurationAgreesWithFfprobeWhereBothMeasureTheSameBytes) {
    int compared = 0;
    for (const auto& [name, row] : test::Oracles()) {
        SCOPED_TRACE(name);
        if (row.at("ffprobe_duration").empty() ||
            row.at("notes").find("DURATION SPREAD") != std::string::npos || !ReadUsable(name) ||
            file.ApeTagSize() != 0 || file.ID3v1TagSize() != 0) {
            continue;
        }
        const double ffprobe = std::stod(row.at("ffprobe_duration"));
        EXPECT_LE(file.Duration(), ffprobe + 0.05);
        EXPECT_GT(file.Duration(), ffprobe - 1.05);
        ++compared;
    }
    EXPECT_GT(compared, 30);
}

std::string UpToFirstNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

// Files whose ID3v2 tag mutagen repairs while our reader, stricter, stops early.
const std::map<std::string, std::string> kID3v2RepairedByMutagen = {
    {"musicmetadata__bug-id3v2-unknownframe.mp3", "first frame id 'Date' is not a valid id"},
    {"musicmetadata__issue-795.mp3", "version 2.2 frame ids inside a version 2.3 tag"},
    {"mutagen__issue_21.id3", "extended-header flag without an extended header"},
    {"taglib__broken-tenc.id3", "frames too short for their data-length indicator"},
};

// Where a text comes from ID3v2 or ID3v1 it is mutagen's (mutagen also falls back to
// ID3v1 fields the ID3v2 tag lacks). Differences in meaning: our ID3v2 texts are
// trimmed (mutagen keeps trailing spaces); below version 2.4 we read one value, the
// first, while mutagen joins the values of repeated frames with NULs; an ID3v1 field
// keeps the bytes after an inner NUL (mutagen cuts there); mutagen never reads APE, so
// an APE-only text is compared in ApeTagsAgreeWithTheByteDumpAndMutagen.
TEST_F(Mp3Corpus, TextsAgreeWithMutagen) {
    int compared = 0;
    for (const auto& [name, row] : test::Oracles()) {
        SCOPED_TRACE(name);
        if (row.at("id3_version").empty() || kID3v2RepairedByMutagen.count(name)) {
            continue;
        }
        file.ReadFromFile(CorpusFile(name));
        const struct {
            std::string ours, v2, v1, oracle;
        } texts[] = {
            {file.Title(), file.ID3v2Tag().Title(), file.ID3v1Tag().Title(), row.at("title")},
            {file.Artist(), file.ID3v2Tag().Artist(), file.ID3v1Tag().Artist(), row.at("artist")},
            {file.Album(), file.ID3v2Tag().Album(), file.ID3v1Tag().Album(), row.at("album")},
        };
        for (const auto& text : texts) {
            if (!text.v2.empty()) {
                const bool allValues = file.ID3v2Tag().Version().Major >= 4;
                EXPECT_EQ(text.ours,
                          TrimControlUtf8(allValues ? text.oracle : UpToFirstNul(text.oracle)));
            } else if (!text.v1.empty()) {
                EXPECT_EQ(UpToFirstNul(text.ours), text.oracle);
            } else {
                EXPECT_EQ(text.oracle, "");
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 150);
}

// Audio end = first byte of the APE tag, from the byte-level structure dump
// (oracles_full.json, "sniff") of the files with an APE tag and no Lyrics3 block.
struct ApeDumpRow {
    const char* file;
    std::int64_t size;
    std::int64_t audioEnd;
    std::uint32_t id3v1;
};
const ApeDumpRow kApeDump[] = {
    {"lofty__full_test.mp3", 11744, 11527, 128},
    {"minimp3__l3-nonstandard-apetag.bit", 274, 192, 0},
    {"minimp3__l3-nonstandard-id3v1-apetag.bit", 402, 192, 128},
    {"musicmetadata__issue-100.mp3", 99725, 52893, 128},
    {"musicmetadata__issue-362.apev1.mp3", 5500, 4887, 128},
    {"taglib__ape-id3v1.mp3", 8419, 8208, 128},
    {"taglib__ape-id3v2.mp3", 9341, 9258, 0},
    {"taglib__ape.mp3", 8291, 8208, 0},
};

// mutagen's APE reading as noted: "APEv2 (mutagen): title=..., artist=... [N items]".
struct MutagenApe {
    bool present = false;
    std::size_t items = 0;
    std::map<std::string, std::string> values;
};
MutagenApe ParseMutagenApe(const std::string& notes) {
    MutagenApe ape;
    const std::string marker = "APEv2 (mutagen): ";
    const std::size_t begin = notes.find(marker);
    if (begin == std::string::npos) {
        return ape;
    }
    const std::size_t countAt = notes.find(" [", begin);
    const std::string list = notes.substr(begin + marker.size(), countAt - begin - marker.size());
    ape.present = true;
    ape.items = std::stoul(notes.substr(countAt + 2));
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t comma = list.find(", ", at);
        const std::string pair = list.substr(at, comma - at);
        const std::size_t equals = pair.find('=');
        if (equals != std::string::npos) {
            ape.values[pair.substr(0, equals)] = pair.substr(equals + 1);
        }
        at = comma == std::string::npos ? list.size() : comma + 2;
    }
    return ape;
}

TEST_F(Mp3Corpus, ApeTagsAgreeWithTheByteDumpAndMutagen) {
    for (const ApeDumpRow& row : kApeDump) {
        SCOPED_TRACE(row.file);
        file.ReadFromFile(CorpusFile(row.file));
        EXPECT_EQ(file.FileSize(), row.size);
        EXPECT_EQ(file.ID3v1TagSize(), row.id3v1);
        EXPECT_EQ(file.FileSize() - file.ApeTagSize() - file.ID3v1TagSize(), row.audioEnd);
    }
    int compared = 0;
    for (const auto& [name, row] : test::Oracles()) {
        SCOPED_TRACE(name);
        const MutagenApe ape = ParseMutagenApe(row.at("notes"));
        file.ReadFromFile(CorpusFile(name));
        if (row.at("notes").find("Lyrics3v2") != std::string::npos) {
            // The footer is looked for only right before the ID3v1 block, where the
            // Lyrics3 block sits: such an APE tag stays undetected, its bytes audio.
            EXPECT_FALSE(file.ApeTag().Exists());
            continue;
        }
        EXPECT_EQ(file.ApeTag().Exists(), ape.present);
        if (!ape.present) {
            continue;
        }
        EXPECT_EQ(file.ApeTag().Items().size(), ape.items);
        for (const auto& [key, value] : ape.values) {
            EXPECT_EQ(file.ApeTag().GetValueByKey(key), value) << key;
        }
        if (ape.values.count("title") && file.ID3v2Tag().Title().empty() &&
            file.ID3v1Tag().Title().empty()) {
            EXPECT_EQ(file.Title(), ape.values.at("title"));
        }
        ++compared;
    }
    EXPECT_GE(compared, 7);
}

} // namespace
} // namespace lorvane
