#include "audio/ApeTag.h"
#include "audio/Mp3TestFiles.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

using test::ApeItem;
using test::ApeTagBytes;
using test::Bytes;
using test::BytesOf;
using test::Concat;
using test::ID3v1Block;

// Audio stand-in in front of the tags: the end tags never look at it.
Bytes Filler(std::size_t count) {
    return Bytes(count, 0x55);
}

struct EndTags {
    TApeTag tag;
    TAudioError result = 0;
};

EndTags Read(const Bytes& bytes) {
    EndTags out;
    TMemoryStream stream(bytes);
    out.result = out.tag.ReadFromStream(stream);
    return out;
}

TEST(ApeHeader, LittleEndianFields) {
    const Bytes bytes = test::ApeHeaderBytes(0x01020304, 5, 0xA0000000);
    const TApeHeader header = DecodeApeHeader(bytes.data());
    EXPECT_TRUE(HasApePreamble(bytes.data()));
    EXPECT_EQ(header.Version, 2000u);
    EXPECT_EQ(header.Size, 0x01020304u);
    EXPECT_EQ(header.ItemCount, 5u);
    EXPECT_EQ(header.Flags, 0xA0000000u);
}

TEST(ApeTag, ClearedTagHoldsTheEmptyTemplateButReportsNoSize) {
    TApeTag tag;
    EXPECT_FALSE(tag.Exists());
    EXPECT_EQ(tag.TagSize(), 0u);
    EXPECT_EQ(tag.Footer().Size, 32u);
    EXPECT_EQ(tag.Footer().Version, 2000u);
    EXPECT_EQ(tag.Footer().Flags, ApeFlagHasHeader);
    EXPECT_EQ(tag.Header().Flags, ApeFlagHasHeader | ApeFlagIsHeader);
    EXPECT_TRUE(HasApePreamble(tag.Footer().Preamble.data()));
}

TEST(ApeTag, StreamUnder160BytesGivesStreamReadAndNoTag) {
    const Bytes bytes = Concat({Filler(2), ID3v1Block({.title = "x"})});
    const EndTags read = Read(bytes);
    EXPECT_EQ(read.result, FileErr_StreamRead);
    EXPECT_FALSE(read.tag.ID3v1Present());
    EXPECT_FALSE(read.tag.Exists());
}

TEST(ApeTag, NoEndTags) {
    const EndTags read = Read(Filler(1000));
    EXPECT_EQ(read.result, FileErr_None);
    EXPECT_FALSE(read.tag.Exists());
    EXPECT_FALSE(read.tag.ID3v1Present());
    EXPECT_EQ(read.tag.ID3v1TagSize(), 0u);
    EXPECT_EQ(read.tag.Offset(), 0);
}

TEST(ApeTag, ID3v1Alone) {
    const EndTags read = Read(Concat({Filler(200), ID3v1Block({.title = "Alone"})}));
    EXPECT_EQ(read.result, FileErr_None);
    EXPECT_TRUE(read.tag.ID3v1Present());
    EXPECT_EQ(read.tag.ID3v1TagSize(), 128u);
    EXPECT_EQ(read.tag.Offset(), 128);
    EXPECT_EQ(read.tag.ID3v1Block().Title[0], 'A');
    EXPECT_FALSE(read.tag.Exists());
    EXPECT_EQ(read.tag.TagSize(), 0u);
}

TEST(ApeTag, HeaderItemsFooterAndID3v1) {
    const Bytes ape = ApeTagBytes({ApeItem("Title", "Ein Titel"), ApeItem("Artist", "Jemand")});
    const std::uint32_t size = static_cast<std::uint32_t>(ape.size() - 32);
    const EndTags read = Read(Concat({Filler(300), ape, ID3v1Block({.title = "v1"})}));
    EXPECT_EQ(read.result, FileErr_None);
    ASSERT_TRUE(read.tag.Exists());
    EXPECT_EQ(read.tag.Footer().Size, size);
    EXPECT_EQ(read.tag.TagSize(), size + 32);
    EXPECT_EQ(read.tag.Offset(), size + 32 + 128);
    EXPECT_EQ(read.tag.ID3v1TagSize(), 128u);
    EXPECT_TRUE(HasApePreamble(read.tag.Header().Preamble.data()));
    ASSERT_EQ(read.tag.Items().size(), 2u);
    EXPECT_EQ(read.tag.Items()[1].Key(), "Artist");
    EXPECT_EQ(read.tag.Items()[1].ValueSize(), 6u);
    EXPECT_EQ(read.tag.GetValueByKey("TITLE"), "Ein Titel");
    EXPECT_EQ(read.tag.GetValueByKey("artist"), "Jemand");
    EXPECT_EQ(read.tag.GetValueByKey("Album"), "");
}

TEST(ApeTag, FooterOnlyAtTheVeryEnd) {
    const Bytes ape =
        ApeTagBytes({ApeItem("Album", "A")}, {.writeHeader = false, .headerFlag = false});
    const EndTags read = Read(Concat({Filler(300), ape}));
    EXPECT_EQ(read.result, FileErr_None);
    ASSERT_TRUE(read.tag.Exists());
    EXPECT_EQ(read.tag.TagSize(), ape.size());
    EXPECT_EQ(read.tag.Offset(), static_cast<std::int64_t>(ape.size()));
    EXPECT_EQ(read.tag.GetValueByKey("album"), "A");
}

TEST(ApeTag, ItemKinds) {
    const Bytes ape =
        ApeTagBytes({ApeItem("Cover", "\x01\x02", 1u << 1), ApeItem("Link", "http://x", 2u << 1),
                     ApeItem("Text", "\xC3\xA4 \xFF"), ApeItem("text", "second")});
    const EndTags read = Read(Concat({Filler(300), ape}));
    ASSERT_EQ(read.result, FileErr_None);
    ASSERT_EQ(read.tag.Items().size(), 4u);
    EXPECT_EQ(read.tag.Items()[0].Kind(), APE_ITEM_Binary);
    EXPECT_EQ(read.tag.Items()[0].Value(), (Bytes{1, 2}));
    EXPECT_EQ(read.tag.GetValueByKey("cover"), "");
    EXPECT_EQ(read.tag.GetValueByKey("link"), "http://x");
    // Invalid UTF-8 becomes U+FFFD; the first of two equal keys wins.
    EXPECT_EQ(read.tag.GetValueByKey("TEXT"), "\xC3\xA4 \xEF\xBF\xBD");
}

class ApeMalformedItem : public ::testing::TestWithParam<Bytes> {};

TEST_P(ApeMalformedItem, FailsTheTagButKeepsID3v1) {
    const Bytes ape = ApeTagBytes({ApeItem("Good", "1"), GetParam()});
    const EndTags read = Read(Concat({Filler(300), ape, ID3v1Block({.title = "v1"})}));
    EXPECT_EQ(read.result, ApeErr_InvalidTag);
    EXPECT_FALSE(read.tag.Exists());
    EXPECT_EQ(read.tag.TagSize(), 0u);
    EXPECT_EQ(read.tag.Offset(), 0);
    EXPECT_TRUE(read.tag.Items().empty());
    EXPECT_TRUE(read.tag.ID3v1Present());
    EXPECT_EQ(read.tag.ID3v1TagSize(), 128u);
}

Bytes ItemWithValueSize(std::uint32_t valueSize) {
    Bytes item;
    test::PutLE32(item, valueSize);
    test::PutLE32(item, 0);
    const Bytes rest = BytesOf(std::string("Key\0value", 9));
    item.insert(item.end(), rest.begin(), rest.end());
    return item;
}

INSTANTIATE_TEST_SUITE_P(Items, ApeMalformedItem,
                         ::testing::Values(ApeItem("Bad\x01Key", "x"), // a control in the key
                                           ApeItem("Caf\xE9", "x"),    // a byte above 0x7E
                                           ApeItem(std::string(256, 'K'),
                                                   "x"),             // no NUL within 256 bytes
                                           ItemWithValueSize(200))); // value beyond the data

TEST(ApeTag, AValueLargerThanTheFileFailsTheWholeRead) {
    // Such a value could never be allocated; it is refused without trying.
    const Bytes ape = ApeTagBytes({ApeItem("Good", "1"), ItemWithValueSize(0xFFFFFFF0)});
    const EndTags read = Read(Concat({Filler(300), ape}));
    EXPECT_EQ(read.result, FileErr_Unknown);
    EXPECT_TRUE(read.tag.Exists());
    EXPECT_EQ(read.tag.TagSize(), ape.size());
}

TEST(ApeTag, KeyOf255CharactersIsAccepted) {
    const std::string key(255, 'K');
    const EndTags read = Read(Concat({Filler(300), ApeTagBytes({ApeItem(key, "v")})}));
    EXPECT_EQ(read.result, FileErr_None);
    EXPECT_EQ(read.tag.GetValueByKey(key), "v");
}

TEST(ApeTag, ItemCountBeyondTheItemsFails) {
    const Bytes ape = ApeTagBytes({ApeItem("One", "1")}, {.countOverride = 0xFFFFFFFF});
    const EndTags read = Read(Concat({Filler(300), ape}));
    EXPECT_EQ(read.result, ApeErr_InvalidTag);
    EXPECT_FALSE(read.tag.Exists());
}

TEST(ApeTag, SizeReachingBeforeTheStartOfTheStreamCannotBeReadBack) {
    for (const bool withHeaderFlag : {true, false}) {
        const Bytes ape = ApeTagBytes(
            {ApeItem("Title", "T")},
            {.writeHeader = false, .headerFlag = withHeaderFlag, .sizeOverride = 0x7FFFFFF0});
        const EndTags read = Read(Concat({Filler(300), ape, ID3v1Block({})}));
        EXPECT_EQ(read.result, FileErr_Unknown);
        EXPECT_EQ(read.tag.LastExceptionMessage(), "Stream read error");
        EXPECT_TRUE(read.tag.Items().empty());
    }
}

TEST(ApeTag, SizeCoveringTheWholeStreamIsRead) {
    // Size reaches exactly to the first byte: legal, though the "items" are filler.
    const Bytes ape = ApeTagBytes(
        {}, {.writeHeader = false, .headerFlag = false, .sizeOverride = 332, .countOverride = 0});
    const EndTags read = Read(Concat({Filler(300), ape}));
    EXPECT_EQ(read.result, FileErr_None);
    EXPECT_EQ(read.tag.TagSize(), 332u);
}

TEST(ApeTag, ReadErrorsEndTheDetectionWithoutCrashing) {
    // Long enough that the items begin before the last 160 bytes.
    const Bytes ape = ApeTagBytes({ApeItem("Title", std::string(200, 't'))});
    const Bytes bytes = Concat({Filler(300), ape});
    TApeTag tag;
    const auto size = static_cast<std::int64_t>(bytes.size());
    test::FailingStream inTail(bytes, size - 10, size);
    EXPECT_EQ(tag.ReadFromStream(inTail), FileErr_StreamRead);
    test::FailingStream inItems(bytes, 300 + 40, 300 + 41);
    EXPECT_EQ(tag.ReadFromStream(inItems), FileErr_Unknown);
    EXPECT_EQ(tag.LastExceptionMessage(), "Stream read error");
    TMemoryStream good(bytes);
    EXPECT_EQ(tag.ReadFromStream(good), FileErr_None);
    EXPECT_EQ(tag.LastExceptionMessage(), "");
}

} // namespace
} // namespace lorvane
