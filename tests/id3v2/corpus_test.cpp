// Real tags written by other programs, compared with what mutagen read from them
// (oracles.tsv: id3_version, title, artist, album).
//
// Where mutagen's semantics differ from ours, the file is listed below with our own
// expected values and the reason:
// - mutagen fills fields that the ID3v2 tag lacks from an ID3v1 tag; we read ID3v2 only.
// - mutagen joins several frames of one ID with NUL; we take the first frame.
// - mutagen keeps trailing spaces; we trim characters up to U+0020 at both ends.
// - mutagen reads on past frame IDs that are not A-Z/0-9 (a lower-case "Date", version 2.2
//   IDs in a 2.3 tag); for us such an ID begins the padding.
// - mutagen checks that an announced extended header is really there; we skip what the
//   size field says.
// - mutagen refuses tags whose declared size runs past the end of the file; we report 17
//   and no frames (and read tag-only files with an extended header that mutagen refuses).
// - mutagen skips a frame too short for its data-length field; for us it ends the reading
//   with a read error (9).

#include "id3v2/ID3v2Tags.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace lorvane {
namespace {

struct TOurReading {
    TAudioError result;
    std::uint8_t major; // 0: no tag
    const char* title;
    const char* artist;
    const char* album;
    const char* why;
};

const std::map<std::string, TOurReading>& KnownDifferences() {
    static const std::map<std::string, TOurReading> table = {
        {"mutagen__id3v1v2-combined.mp3",
         {0, 4, "cosmic american", "Anais Mitchell", "", "album only in ID3v1"}},
        {"mutagen__bad-TYER-frame.mp3",
         {0, 3, "This track has an invalid TYER frame, that used to be able to break Mutagen", "",
          "", "artist and album only in ID3v1"}},
        {"mutagen__silence-44-s.mp3",
         {0, 3, "Silence", "piman", "Quod Libet Test Data", "two TPE1 frames"}},
        {"mutagen__apev2-lyricsv2.mp3", {0, 4, "A song", "Auth", "", "trailing spaces"}},
        {"musicmetadata__bug-id3v2-unknownframe.mp3", {0, 3, "", "", "", "first ID is 'Date'"}},
        {"musicmetadata__issue-795.mp3", {0, 3, "", "", "", "version 2.2 IDs in a 2.3 tag"}},
        {"mutagen__issue_21.id3", {0, 4, "", "", "", "extended-header flag without header"}},
        {"taglib__broken-tenc.id3", {9, 4, "", "", "", "TENC too short for its data length"}},
        {"taglib__extended-header.mp3",
         {0, 4, "Druids", "Excelsis", "Vo Chrieger U Drache", "mutagen refuses the tag"}},
        {"mutagen__id3v24_extended_header.id3",
         {0, 4, "One Second of Silence", "Snild Dolkow", "Mutagen Bug Reports",
          "mutagen refuses the tag"}},
        {"taglib__compressed_id3_frame.mp3", {17, 4, "", "", "", "tag runs past the end"}},
        {"taglib__compressed_id3_frame_invalid.mp3", {17, 3, "", "", "", "tag runs past the end"}},
        {"taglib__excessive_alloc.mp3", {17, 4, "", "", "", "tag runs past the end"}},
        {"taglib__w000.mp3", {17, 3, "", "", "", "tag runs past the end"}},
        {"lofty__00. Dzienniki Gwiazdowe_IDX_4_RAND_1362730390282399020432565_minimized_242.mp3",
         {17, 3, "", "", "", "tag runs past the end"}},
        {"lofty__01 -  aalborg_IDX_9_RAND_168952727934877251846138.mp3",
         {17, 3, "", "", "", "tag runs past the end"}},
    };
    return table;
}

struct TReading {
    TAudioError result = 0;
    TID3v2Tag tag;
};

TReading ReadCorpusFile(const std::string& name) {
    TReading reading;
    TFileStream stream(test::CorpusDir() / "mp3" / name, TFileMode::OpenRead);
    reading.result = reading.tag.ReadFromStream(stream);
    return reading;
}

// Mutagen's version cell: "2.3.0" for an ID3v2 tag; "1.1" or empty for none it could read.
int OracleMajor(const std::string& version) {
    if (version.size() >= 3 && version[0] == '2' && version[1] == '.') {
        return version[2] - '0';
    }
    return 0;
}

TEST(Corpus, TagsAgreeWithMutagen) {
    LORVANE_REQUIRE_CORPUS();
    int compared = 0;
    for (const auto& [name, row] : test::Oracles()) {
        SCOPED_TRACE(name);
        if (KnownDifferences().count(name) != 0) {
            continue;
        }
        const TReading reading = ReadCorpusFile(name);
        const int major = OracleMajor(row.at("id3_version"));
        if (major == 0) {
            // No leading ID3v2 tag; the empty and the 5-byte file are too short for a header.
            EXPECT_FALSE(reading.tag.Exists());
            EXPECT_TRUE(reading.result == FileErr_None || reading.result == FileErr_StreamRead);
            continue;
        }
        EXPECT_EQ(reading.result, FileErr_None);
        EXPECT_TRUE(reading.tag.Exists());
        EXPECT_EQ(reading.tag.Version().Major, major);
        EXPECT_EQ(reading.tag.Title(), row.at("title"));
        EXPECT_EQ(reading.tag.Artist(), row.at("artist"));
        EXPECT_EQ(reading.tag.Album(), row.at("album"));
        ++compared;
    }
    EXPECT_GE(compared, 45);
}

TEST(Corpus, KnownDifferencesReadAsWeExpect) {
    LORVANE_REQUIRE_CORPUS();
    for (const auto& [name, ours] : KnownDifferences()) {
        SCOPED_TRACE(name + ": " + ours.why);
        ASSERT_EQ(test::Oracles().count(name), 1u);
        const TReading reading = ReadCorpusFile(name);
        EXPECT_EQ(reading.result, ours.result);
        EXPECT_EQ(reading.tag.Exists(), ours.major != 0);
        EXPECT_EQ(reading.tag.Version().Major, ours.major);
        EXPECT_EQ(reading.tag.Title(), ours.title);
        EXPECT_EQ(reading.tag.Artist(), ours.artist);
        EXPECT_EQ(reading.tag.Album(), ours.album);
    }
}

TEST(Corpus, TagOnlyFilesAreOneTagLong) {
    LORVANE_REQUIRE_CORPUS();
    const std::map<std::string, std::uint32_t> sizes = {
        {"taglib__unsynch24.id3", 28},
        {"mutagen__id3v24_extended_header.id3", 194},
        {"taglib__extended-header.mp3", 159},
        {"lofty__zero.mp3", 163814},
        // Tags followed by zeros or a cut frame: the header's size, not the file's.
        {"mutagen__id3v23_unsynch.id3", 186},
        {"mutagen__issue_21.id3", 256},
    };
    for (const auto& [name, size] : sizes) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadCorpusFile(name).tag.Size(), size);
    }
}

TEST(Corpus, FlagsOfTheSpecialCases) {
    LORVANE_REQUIRE_CORPUS();
    const TReading unsynch23 = ReadCorpusFile("mutagen__id3v23_unsynch.id3");
    EXPECT_TRUE(unsynch23.tag.FlgUnsynch());
    EXPECT_EQ(unsynch23.tag.Frames().size(), 5u);
    const TReading xheader = ReadCorpusFile("musicmetadata__id3v2-xheader.mp3");
    EXPECT_TRUE(xheader.tag.FlgExtended());
    EXPECT_TRUE(xheader.tag.UsePadding());
    const TReading unsynch24 = ReadCorpusFile("taglib__unsynch24.id3");
    ASSERT_EQ(unsynch24.tag.Frames().size(), 1u);
    EXPECT_TRUE(unsynch24.tag.Frames()[0].Parsable());
    // Version 2.2 with its 6-byte frame headers, read to the last frame.
    const TReading v22 = ReadCorpusFile("taglib__itunes10.mp3");
    EXPECT_EQ(v22.tag.Frames().size(), 23u);
    EXPECT_EQ(v22.tag.Frames()[0].Header().size(), 6u);
}

} // namespace
} // namespace lorvane
