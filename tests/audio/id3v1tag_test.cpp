#include "audio/ID3v1Tag.h"
#include "audio/Mp3TestFiles.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

using test::Bytes;
using test::ID3v1Block;

TID3v1Tag TagOf(const Bytes& block) {
    TID3v1Tag tag;
    tag.ReadFromStructure(DecodeID3v1Block(block.data()));
    return tag;
}

TEST(ID3v1Block, FieldsSitAtTheirOffsets) {
    Bytes bytes(128, 0);
    std::memcpy(bytes.data(), "TAG", 3);
    bytes[3] = 'T';
    bytes[33] = 'A';
    bytes[63] = 'L';
    bytes[93] = '1';
    bytes[97] = 'C';
    bytes[127] = 17;
    const TID3v1Structure block = DecodeID3v1Block(bytes.data());
    EXPECT_TRUE(HasID3v1Identifier(bytes.data()));
    EXPECT_EQ(block.Title[0], 'T');
    EXPECT_EQ(block.Artist[0], 'A');
    EXPECT_EQ(block.Album[0], 'L');
    EXPECT_EQ(block.Year[0], '1');
    EXPECT_EQ(block.Comment[0], 'C');
    EXPECT_EQ(block.Genre, 17);
    bytes[2] = 'B';
    EXPECT_FALSE(HasID3v1Identifier(bytes.data()));
}

TEST(ID3v1Tag, TrailingSpacesAndNulsAreTrimmedButAnInnerNulStays) {
    const std::string padded = std::string("Word") + "    " + std::string(22, '\0');
    const TID3v1Tag tag = TagOf(ID3v1Block({.title = padded,
                                            .artist = std::string("  ab\0cd ", 8),
                                            .album = "\t\x01"
                                                     "Album\x1f"}));
    EXPECT_TRUE(tag.Exists());
    EXPECT_EQ(tag.Title(), "Word");
    EXPECT_EQ(tag.Artist(), std::string("ab\0cd", 5));
    EXPECT_EQ(tag.Album(), "Album");
}

TEST(ID3v1Tag, TextIsWindows1252) {
    // 0x80 is the euro sign, 0xE4 a-umlaut, 0x81 is undefined and stays a C1 control.
    const TID3v1Tag tag = TagOf(ID3v1Block({.title = "H\xF6rbuch \x80", .artist = "a\x81z"}));
    EXPECT_EQ(tag.Title(), "H\xC3\xB6rbuch \xE2\x82\xAC");
    EXPECT_EQ(tag.Artist(), "a\xC2\x81z");
}

TEST(ID3v1Tag, TrackNumberOfVersion1_1) {
    std::string comment(30, '\0');
    comment.replace(0, 4, "Note");
    comment[29] = 7;
    const TID3v1Tag withTrack = TagOf(ID3v1Block({.comment = comment}));
    EXPECT_EQ(withTrack.Version(), 1);
    EXPECT_EQ(withTrack.Track(), 7);
    EXPECT_EQ(withTrack.Comment(), "Note");

    comment[28] = 'x';
    const TID3v1Tag withoutTrack = TagOf(ID3v1Block({.comment = comment}));
    EXPECT_EQ(withoutTrack.Version(), 0);
    EXPECT_EQ(withoutTrack.Track(), 0);
    EXPECT_EQ(withoutTrack.Comment(), std::string("Note") + std::string(24, '\0') + "x");
}

TEST(ID3v1Tag, ClearForgetsTheBlock) {
    TID3v1Tag tag = TagOf(ID3v1Block({.title = "Title", .genre = 12}));
    tag.Clear();
    EXPECT_FALSE(tag.Exists());
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.Genre(), 0);
}

} // namespace
} // namespace lorvane
