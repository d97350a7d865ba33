// Reading whole tags: header forms, flags, padding, unsynchronisation, extended headers and
// the failure codes.

#include "base/TextCodec.h"
#include "id3v2/ID3v2Tags.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace lorvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Header(std::uint8_t major, std::uint8_t flags, std::uint32_t bodySize) {
    Bytes header = {'I', 'D', '3', major, 0x00, flags, 0, 0, 0, 0};
    SyncsafeBytes(bodySize, header.data() + 6);
    return header;
}

Bytes Tag(std::uint8_t major, std::uint8_t flags, const Bytes& body) {
    Bytes tag = Header(major, flags, static_cast<std::uint32_t>(body.size()));
    tag.insert(tag.end(), body.begin(), body.end());
    return tag;
}

// A frame of version 2.3 (plain size) or 2.4 (syncsafe size) with a Latin-1 text.
Bytes Frame(std::uint8_t major, const std::string& id, const std::string& text,
            std::uint8_t formatFlags = 0) {
    const auto n = static_cast<std::uint32_t>(text.size() + 1);
    Bytes frame(id.begin(), id.end());
    if (major == 4) {
        frame.resize(8);
        SyncsafeBytes(n, frame.data() + 4);
    } else {
        frame.insert(frame.end(), {std::uint8_t(n >> 24), std::uint8_t(n >> 16),
                                   std::uint8_t(n >> 8), std::uint8_t(n)});
    }
    frame.insert(frame.end(), {0x00, formatFlags, 0x00});
    frame.insert(frame.end(), text.begin(), text.end());
    return frame;
}

Bytes Frame22(const std::string& id, const std::string& text) {
    const auto n = static_cast<std::uint32_t>(text.size() + 1);
    Bytes frame(id.begin(), id.end());
    frame.insert(frame.end(), {std::uint8_t(n >> 16), std::uint8_t(n >> 8), std::uint8_t(n), 0});
    frame.insert(frame.end(), text.begin(), text.end());
    return frame;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct Read {
    TID3v2Tag tag;
    TAudioError result;
};

Read ReadBytes(const Bytes& bytes) {
    Read read;
    TMemoryStream stream(bytes);
    read.result = read.tag.ReadFromStream(stream);
    return read;
}

// Counts what is asked of the stream, to show that a claimed size is never trusted.
class TWatchedStream : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    std::size_t Read(void* buffer, std::size_t count) override {
        largestRequest = std::max(largestRequest, count);
        return TMemoryStream::Read(buffer, count);
    }
    std::size_t largestRequest = 0;
};

TEST(TagHeader, NoTagIsNotAnError) {
    const Read read = ReadBytes({0xFF, 0xFB, 0x90, 0x00, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(read.result, FileErr_None);
    EXPECT_FALSE(read.tag.Exists());
    EXPECT_EQ(read.tag.Size(), 0u);
    EXPECT_EQ(read.tag.Version().Major, 3);
}

TEST(TagHeader, ShorterThanTenBytesIsAReadError) {
    EXPECT_EQ(ReadBytes({'I', 'D', '3', 3, 0}).result, FileErr_StreamRead);
    EXPECT_EQ(ReadBytes({}).result, FileErr_StreamRead);
}

TEST(TagHeader, UnknownMajorVersion) {
    const Read read = ReadBytes(Tag(5, 0, Frame(3, "TIT2", "x")));
    EXPECT_EQ(read.result, MP3ERR_Invalid_Header);
    EXPECT_FALSE(read.tag.Exists());
    TMemoryStream stream(Tag(5, 0, {}));
    EXPECT_EQ(TID3v2Tag::GetTagSize(stream), 0u);
}

TEST(TagHeader, SizeAndFooter) {
    const Read plain = ReadBytes(Tag(4, 0x00, Frame(4, "TIT2", "T")));
    EXPECT_EQ(plain.tag.Size(), 10u + 12u);
    Bytes withFooter = Tag(4, 0x10, Frame(4, "TIT2", "T"));
    const Bytes footer = {'3', 'D', 'I', 4, 0, 0x10, 0, 0, 0, 12};
    withFooter.insert(withFooter.end(), footer.begin(), footer.end());
    const Read read = ReadBytes(withFooter);
    EXPECT_EQ(read.result, FileErr_None);
    EXPECT_TRUE(read.tag.FlgFooterPresent());
    EXPECT_EQ(read.tag.Size(), 12u + 20u);
    EXPECT_EQ(read.tag.Title(), "T");
    // The body runs to the declared size, so the footer is read as padding.
    EXPECT_EQ(read.tag.PaddingSize(), 10u);
    EXPECT_TRUE(read.tag.UsePadding());
}

TEST(TagHeader, AFrameMayRunIntoTheFooterAndACutFooterFailsTheCopy) {
    // The frame's declared size takes the first three footer bytes along.
    Bytes tag = {'I', 'D', '3', 4,   0, 0x10, 0,    0, 0, 15,  'T', 'I',
                 'T', '2', 0,   0,   0, 10,   0,    0, 0, 'F', 'o', 'o',
                 't', '3', 'D', 'I', 4, 0,    0x10, 0, 0, 0,   15};
    const Read whole = ReadBytes(tag);
    EXPECT_EQ(whole.result, FileErr_None);
    EXPECT_EQ(whole.tag.Title(), std::string("Foot3DI"));
    tag.resize(tag.size() - 5);
    const Read cut = ReadBytes(tag);
    EXPECT_EQ(cut.result, Mp3ERR_Unclassified);
    EXPECT_TRUE(cut.tag.Frames().empty());
}

TEST(TagHeader, SizeBytesAreTakenWhole) {
    Bytes tag = Tag(3, 0, Bytes(0x181, 0));
    tag[8] = 0x02, tag[9] = 0x81; // not syncsafe
    const Read read = ReadBytes(tag);
    EXPECT_EQ(read.tag.Size(), 0x181u + 10u);
}

TEST(TagHeader, FlagsPerVersion) {
    const Read v3 = ReadBytes(Tag(3, 0x20 | 0x01, {}));
    EXPECT_TRUE(v3.tag.FlgExperimental());
    EXPECT_TRUE(v3.tag.FlgUnknown());
    EXPECT_FALSE(v3.tag.FlgFooterPresent());
    const Read v4 = ReadBytes(Tag(4, 0x10, Bytes(10, 0)));
    EXPECT_TRUE(v4.tag.FlgFooterPresent());
    EXPECT_FALSE(v4.tag.FlgUnknown());
    // Version 2.2 bit 6 is compression: the frames are not read.
    const Read v2 = ReadBytes(Tag(2, 0x40, Frame22("TT2", "x")));
    EXPECT_EQ(v2.result, Mp3ERR_Compression);
    EXPECT_TRUE(v2.tag.Exists());
    EXPECT_TRUE(v2.tag.Frames().empty());
}

TEST(TagFrames, FramesInOrderAndPadding) {
    const Bytes body = Join({Frame(3, "TPE1", "Artist"), Frame(3, "TIT2", "Title"),
                             Frame(3, "TALB", "Album"), Bytes(100, 0)});
    const Read read = ReadBytes(Join({Tag(3, 0, body), {0xFF, 0xFB}}));
    ASSERT_EQ(read.result, FileErr_None);
    EXPECT_TRUE(read.tag.Exists());
    ASSERT_EQ(read.tag.Frames().size(), 3u);
    EXPECT_EQ(read.tag.Artist(), "Artist");
    EXPECT_EQ(read.tag.Title(), "Title");
    EXPECT_EQ(read.tag.Album(), "Album");
    EXPECT_EQ(read.tag.PaddingSize(), 100u);
    EXPECT_TRUE(read.tag.UsePadding());
    EXPECT_EQ(read.tag.Size(), 10u + body.size());
}

TEST(TagFrames, NoPaddingLeavesUsePaddingOff) {
    const Read read = ReadBytes(Tag(3, 0, Frame(3, "TIT2", "a")));
    EXPECT_FALSE(read.tag.UsePadding());
    EXPECT_EQ(read.tag.PaddingSize(), 0u);
    // Fewer zero bytes than an ID are padding too.
    const Read shortPadding = ReadBytes(Tag(3, 0, Join({Frame(3, "TIT2", "a"), {0, 0}})));
    EXPECT_EQ(shortPadding.result, FileErr_None);
    EXPECT_EQ(shortPadding.tag.PaddingSize(), 2u);
}

TEST(TagFrames, LowerCaseIDEndsTheFrames) {
    const Read read = ReadBytes(
        Tag(3, 0, Join({Frame(3, "TIT2", "a"), Frame(3, "Date", "x"), Frame(3, "TALB", "b")})));
    EXPECT_EQ(read.result, FileErr_None);
    EXPECT_EQ(read.tag.Frames().size(), 1u);
    EXPECT_EQ(read.tag.Album(), "");
    EXPECT_EQ(read.tag.PaddingSize(), 24u);
}

TEST(TagFrames, Version22Tags) {
    const Read read = ReadBytes(Tag(2, 0,
                                    Join({Frame22("TT2", "Title"), Frame22("TP1", "Art"),
                                          Frame22("TAL", "Alb"), Bytes(5, 0)})));
    ASSERT_EQ(read.result, FileErr_None);
    EXPECT_EQ(read.tag.Version().Major, 2);
    EXPECT_EQ(read.tag.Title(), "Title");
    EXPECT_EQ(read.tag.Artist(), "Art");
    EXPECT_EQ(read.tag.Album(), "Alb");
    EXPECT_EQ(read.tag.PaddingSize(), 5u);
}

TEST(TagFrames, EmptyFrameBetweenOthers) {
    const Bytes empty = {'T', 'I', 'T', '2', 0, 0, 0, 0, 0, 0};
    const Read read = ReadBytes(Tag(3, 0, Join({empty, Frame(3, "TPE1", "After")})));
    ASSERT_EQ(read.result, FileErr_None);
    ASSERT_EQ(read.tag.Frames().size(), 2u);
    EXPECT_EQ(read.tag.Title(), "");
    EXPECT_EQ(read.tag.Artist(), "After");
}

TEST(TagFrames, CompressedFrameDoesNotStopTheOthers) {
    Bytes compressed = Frame(3, "TIT2", "junk", 0x80);
    const Read read = ReadBytes(Tag(3, 0, Join({compressed, Frame(3, "TPE1", "Artist")})));
    ASSERT_EQ(read.result, FileErr_None);
    ASSERT_EQ(read.tag.Frames().size(), 2u);
    EXPECT_EQ(read.tag.Title(), "");
    EXPECT_EQ(read.tag.Artist(), "Artist");
}

TEST(TagFrames, GroupedFrameOfVersion23) {
    const Bytes grouped = {'T', 'I', 'T', '2', 0, 0, 0, 4, 0x00, 0x20, 0x42, 0x00, 'h', 'i'};
    const Read read = ReadBytes(Tag(3, 0, Join({grouped, Frame(3, "TALB", "A")})));
    EXPECT_EQ(read.tag.Title(), "hi");
    EXPECT_EQ(read.tag.Frames()[0].GroupID(), 0x42);
    EXPECT_EQ(read.tag.Album(), "A");
}

TEST(TagFrames, FramePastTheBodyIsAReadErrorAndKeepsEarlierFrames) {
    Bytes body = Join({Frame(3, "TIT2", "ok"), Frame(3, "TPE1", "cut")});
    body.resize(body.size() - 2);
    const Read read = ReadBytes(Tag(3, 0, body));
    EXPECT_EQ(read.result, FileErr_StreamRead);
    EXPECT_FALSE(read.tag.LastExceptionMessage().empty());
    EXPECT_EQ(read.tag.Title(), "ok");
    EXPECT_TRUE(read.tag.Exists());
    EXPECT_EQ(read.tag.Size(), 10u + body.size());
}

TEST(TagFrames, CutOffFrameIDIsAReadError) {
    EXPECT_EQ(ReadBytes(Tag(3, 0, Join({Frame(3, "TIT2", "ok"), {'T', 'A'}}))).result,
              FileErr_StreamRead);
}

TEST(TagUnsynchronisation, Version23WholeTag) {
    // TIT2 in UTF-16 LE: FF FE becomes FF 00 FE on disk; the size field counts the
    // reduced content (5), the tag size the bytes on disk.
    const Bytes body = {'T',  'I', 'T', '2', 0,   0, 0, 5, 0, 0, 0x01, 0xFF, 0x00, 0xFE, 'Z',
                        0x00, 'T', 'P', 'E', '1', 0, 0, 0, 2, 0, 0,    0x00, 0xFF, 0x00};
    const Read read = ReadBytes(Tag(3, 0x80, body));
    ASSERT_EQ(read.result, FileErr_None);
    EXPECT_TRUE(read.tag.FlgUnsynch());
    EXPECT_EQ(read.tag.Title(), "Z");
    EXPECT_EQ(read.tag.Artist(), "\xC3\xBF");
}

TEST(TagUnsynchronisation, Version24TagFlagLeavesTheBodyAlone) {
    // In 2.4 only the frames' own flag counts: FF 00 inside a plain frame stays.
    const Bytes body = {'T', 'I', 'T', '2', 0, 0, 0, 4, 0, 0, 0x00, 'a', 0xFF, 0x00};
    const Read read = ReadBytes(Tag(4, 0x80, body));
    ASSERT_EQ(read.result, FileErr_None);
    EXPECT_EQ(read.tag.Frames()[0].DataSize(), 4u);
}

TEST(TagExtendedHeader, Version23SizeCountsTheBytesBehindIt) {
    const Bytes extended = {0, 0, 0, 6, 0x00, 0x00, 0, 0, 0, 0};
    const Read read = ReadBytes(Tag(3, 0x40, Join({extended, Frame(3, "TIT2", "Ext3")})));
    ASSERT_EQ(read.result, FileErr_None);
    EXPECT_TRUE(read.tag.FlgExtended());
    EXPECT_EQ(read.tag.Title(), "Ext3");
}

TEST(TagExtendedHeader, Version24SizeCountsItself) {
    const Bytes extended = {0, 0, 0, 6, 0x01, 0x00};
    const Read read = ReadBytes(Tag(4, 0x40, Join({extended, Frame(4, "TIT2", "Ext4")})));
    ASSERT_EQ(read.result, FileErr_None);
    EXPECT_EQ(read.tag.Title(), "Ext4");
}

TEST(TagExtendedHeader, CutOffSizeField) {
    EXPECT_EQ(ReadBytes({'I', 'D', '3', 3, 0, 0x40, 0, 0, 0, 10, 0, 0}).result, FileErr_StreamRead);
}

TEST(TagBody, TruncatedTagIsUnclassified) {
    Bytes tag = Tag(3, 0, Join({Frame(3, "TIT2", "Title"), Bytes(200, 0)}));
    tag.resize(40);
    const Read read = ReadBytes(tag);
    EXPECT_EQ(read.result, Mp3ERR_Unclassified);
    EXPECT_TRUE(read.tag.Exists());
    EXPECT_EQ(read.tag.Size(), 10u + 16u + 200u);
    EXPECT_TRUE(read.tag.Frames().empty());
}

TEST(TagBody, HugeClaimIsNotAllocated) {
    // About 256 MB claimed, 30 bytes there.
    Bytes bytes = Header(3, 0, 0x0FFFFFFF);
    const Bytes frame = Frame(3, "TIT2", "x");
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    TWatchedStream stream(bytes);
    TID3v2Tag tag;
    EXPECT_EQ(tag.ReadFromStream(stream), Mp3ERR_Unclassified);
    EXPECT_EQ(tag.Size(), 0x0FFFFFFFu + 10u);
    EXPECT_LE(stream.largestRequest, 64u * 1024u);
}

TEST(TagBody, ReadClearsTheFormerContent) {
    TID3v2Tag tag;
    TMemoryStream first(Tag(4, 0, Frame(4, "TIT2", "Old")));
    ASSERT_EQ(tag.ReadFromStream(first), FileErr_None);
    TMemoryStream second(Bytes(20, 0));
    ASSERT_EQ(tag.ReadFromStream(second), FileErr_None);
    EXPECT_FALSE(tag.Exists());
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.Version().Major, 3);
}

} // namespace
} // namespace lorvane
