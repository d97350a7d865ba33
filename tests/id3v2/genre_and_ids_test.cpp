// The genre table and the frame kinds' IDs per version.

#include "id3v2/ID3GenreList.h"
#include "id3v2/ID3v2Tags.h"

#include <gtest/gtest.h>

#include <set>

namespace lorvane {
namespace {

TEST(GenreList, TheTableWithTheWinampExtensions) {
    const std::vector<std::string>& list = GenreList();
    ASSERT_EQ(list.size(), 148u);
    EXPECT_EQ(list[0], "Blues");
    EXPECT_EQ(list[12], "Other");
    EXPECT_EQ(list[79], "Hard Rock");
    EXPECT_EQ(list[80], "Folk");
    EXPECT_EQ(list[101], "Speech");
    EXPECT_EQ(list[147], "Synthpop");
    EXPECT_EQ(std::set<std::string>(list.begin(), list.end()).size(), 148u);
}

TEST(GenreList, LookupIgnoresAsciiCaseOnly) {
    EXPECT_EQ(GenreIndex("speech"), 101);
    EXPECT_EQ(GenreIndex("SPEECH"), 101);
    EXPECT_EQ(GenreIndex("blues"), 0);
    EXPECT_EQ(GenreIndex("Speech "), -1);
    EXPECT_EQ(GenreIndex("H\xC3\xB6rbuch"), -1);
    EXPECT_EQ(GenreIndex(""), -1);
}

TEST(GenreList, GenreToText) {
    EXPECT_EQ(GenreToText("Speech"), "(101)Speech");
    EXPECT_EQ(GenreToText("speech"), "(101)speech");
    EXPECT_EQ(GenreToText("synthPOP"), "(147)synthPOP");
    EXPECT_EQ(GenreToText("H\xC3\xB6rbuch"), "H\xC3\xB6rbuch");
    EXPECT_EQ(GenreToText(""), "");
}

TEST(FrameIDString, TheKindsThisProgramUses) {
    struct Row {
        TFrameIDs id;
        const char* v22;
        const char* v23;
        const char* v24;
    };
    const Row rows[] = {
        {IDv2_UNKNOWN, "XXX", "XXXX", "XXXX"}, {IDv2_ARTIST, "TP1", "TPE1", "TPE1"},
        {IDv2_TITEL, "TT2", "TIT2", "TIT2"},   {IDv2_ALBUM, "TAL", "TALB", "TALB"},
        {IDv2_GENRE, "TCO", "TCON", "TCON"},   {IDv2_TRACK, "TRK", "TRCK", "TRCK"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FrameIDString(row.id, 2), row.v22);
        EXPECT_EQ(FrameIDString(row.id, 3), row.v23);
        EXPECT_EQ(FrameIDString(row.id, 4), row.v24);
        EXPECT_EQ(FrameIDString(row.id, 1), "");
        EXPECT_EQ(FrameIDString(row.id, 5), "");
        EXPECT_EQ(FrameIDFromString(row.v23, 3), row.id);
    }
}

TEST(FrameIDString, EveryKindHasAValidIDInSomeVersion) {
    EXPECT_EQ(kFrameIDCount, 91);
    std::set<std::string> seen[5];
    for (int kind = 1; kind < kFrameIDCount; ++kind) {
        const auto id = static_cast<TFrameIDs>(kind);
        bool any = false;
        for (std::uint8_t version = 2; version <= 4; ++version) {
            const std::string name = FrameIDString(id, version);
            if (name.empty()) {
                continue;
            }
            any = true;
            EXPECT_TRUE(IsValidFrameID(name, version)) << name;
            EXPECT_TRUE(seen[version].insert(name).second) << "duplicate " << name;
            EXPECT_EQ(FrameIDFromString(name, version), id) << name;
        }
        EXPECT_TRUE(any) << kind;
    }
    EXPECT_EQ(FrameIDString(IDv2_SEEKPOINTINDEX, 4), "ASPI");
    EXPECT_EQ(FrameIDString(IDv2_SEEKPOINTINDEX, 3), "");
    EXPECT_EQ(FrameIDString(IDv2_YEAR, 4), "TDRC");
    EXPECT_EQ(FrameIDString(static_cast<TFrameIDs>(200), 3), "");
    EXPECT_EQ(FrameIDFromString("ZZZZ", 3), IDv2_UNKNOWN);
}

} // namespace
} // namespace lorvane
