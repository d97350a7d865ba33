// Frames on their own: the bytes the joiner writes, header forms and flags of all three
// versions, and the four text encodings.

#include "id3v2/ID3v2Frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace lorvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Written(TID3v2Frame& frame) {
    TMemoryStream out;
    EXPECT_EQ(frame.WriteToStream(out), FileErr_None);
    return out.Bytes();
}

// Reads a frame whose ID has been consumed, as the tag does; rest = header rest + content.
TID3v2Frame ReadFrame(const std::string& id, std::uint8_t version, const Bytes& rest,
                      TAudioError expected = FileErr_None) {
    TID3v2Frame frame(id, version);
    TMemoryStream stream(rest);
    EXPECT_EQ(frame.ReadFromStream(stream), expected);
    return frame;
}

// Size bytes, flag bytes and content in a buffer of the final size. Inserting behind a
// freshly built six-byte vector made GCC 12 report a false -Warray-bounds at -O3.
Bytes HeaderRest(const std::array<std::uint8_t, 4>& size, std::uint8_t formatFlags,
                 const Bytes& content) {
    Bytes rest(size.size() + 2 + content.size());
    std::copy(size.begin(), size.end(), rest.begin());
    rest[4] = 0x00;
    rest[5] = formatFlags;
    std::copy(content.begin(), content.end(), rest.begin() + 6);
    return rest;
}

// Header rest (size + flags) of a version 2.3 frame and its content.
Bytes V23(std::uint8_t formatFlags, const Bytes& content) {
    const auto n = static_cast<std::uint32_t>(content.size());
    return HeaderRest(
        {std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8), std::uint8_t(n)},
        formatFlags, content);
}

Bytes V24(std::uint8_t formatFlags, const Bytes& content) {
    std::array<std::uint8_t, 4> size{};
    SyncsafeBytes(static_cast<std::uint32_t>(content.size()), size.data());
    return HeaderRest(size, formatFlags, content);
}

std::string TextOf(std::uint8_t version, const Bytes& content) {
    const Bytes rest = version == 4 ? V24(0, content) : V23(0, content);
    return ReadFrame("TIT2", version, rest).GetText();
}

TEST(FrameBytes, TheJoinersFramesByteForByte) {
    TID3v2Frame genre("TCON", 3);
    genre.SetText("H\xC3\xB6rbuch");
    EXPECT_EQ(Written(genre), (Bytes{0x54, 0x43, 0x4F, 0x4E, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00,
                                     0x00, 0x48, 0xF6, 0x72, 0x62, 0x75, 0x63, 0x68}));
    TID3v2Frame track("TRCK", 3);
    track.SetText("1");
    EXPECT_EQ(Written(track),
              (Bytes{0x54, 0x52, 0x43, 0x4B, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x31}));
    TID3v2Frame title("TIT2", 3);
    title.SetText("\xC5\x81"); // U+0141
    EXPECT_EQ(Written(title), (Bytes{0x54, 0x49, 0x54, 0x32, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00,
                                     0x01, 0xFF, 0xFE, 0x41, 0x01}));
}

TEST(FrameBytes, OneCharacterOutsideLatin1SwitchesTheWholeFrame) {
    TID3v2Frame frame("TPE1", 3);
    frame.SetText("\xC3\xA4\xE2\x82\xAC"); // U+00E4 U+20AC
    EXPECT_EQ(frame.Data(), (Bytes{0x01, 0xFF, 0xFE, 0xE4, 0x00, 0xAC, 0x20}));
    // C1 controls would be read back as Windows-1252 letters: UTF-16 keeps them.
    frame.SetText("a\xC2\x80");
    EXPECT_EQ(frame.Data(), (Bytes{0x01, 0xFF, 0xFE, 'a', 0x00, 0x80, 0x00}));
    // Above U+FFFF: a surrogate pair.
    frame.SetText("\xF0\x9F\x98\x80");
    EXPECT_EQ(frame.Data(), (Bytes{0x01, 0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE}));
    EXPECT_EQ(frame.GetText(), "\xF0\x9F\x98\x80");
    frame.SetAlwaysWriteUnicode(true);
    frame.SetText("A");
    EXPECT_EQ(frame.Data(), (Bytes{0x01, 0xFF, 0xFE, 'A', 0x00}));
}

TEST(FrameBytes, VersionSizeFields) {
    TID3v2Frame v22("TT2", 2);
    v22.SetText("ab");
    EXPECT_EQ(Written(v22), (Bytes{'T', 'T', '2', 0x00, 0x00, 0x03, 0x00, 'a', 'b'}));
    TID3v2Frame v24("TIT2", 4);
    v24.SetText(std::string(200, 'x'));
    const Bytes bytes = Written(v24);
    // 201 = 1 * 128 + 73, seven bits per byte.
    EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.begin() + 8), (Bytes{0x00, 0x00, 0x01, 0x49}));
}

TEST(FrameIDs, InvalidIDsBecomePlaceholders) {
    EXPECT_EQ(TID3v2Frame("tit2", 3).IDString(), "XXXX");
    EXPECT_EQ(TID3v2Frame("TIT", 3).IDString(), "XXXX");
    EXPECT_EQ(TID3v2Frame("TIT2", 2).IDString(), "XXX");
    EXPECT_EQ(TID3v2Frame("TT2", 2).IDString(), "TT2");
    EXPECT_EQ(TID3v2Frame("tit2", 3).TagContentType(), tctInvalid);
    EXPECT_EQ(TID3v2Frame("TIT2", 3).TagContentType(), tctText);
    EXPECT_EQ(TID3v2Frame("TXXX", 3).TagContentType(), tctUserText);
    EXPECT_EQ(TID3v2Frame("APIC", 4).TagContentType(), tctPicture);
    EXPECT_EQ(TID3v2Frame("TALB", 4).FrameID(), IDv2_ALBUM);
    EXPECT_EQ(TID3v2Frame("TDRC", 4).FrameID(), IDv2_YEAR);
}

TEST(FrameIDs, OnlyTextFramesTakeText) {
    TID3v2Frame user("TXXX", 3);
    user.SetText("x");
    EXPECT_TRUE(user.Data().empty());
    TID3v2Frame comment("COMM", 3);
    comment.SetText("x");
    EXPECT_TRUE(comment.Data().empty());
    EXPECT_EQ(ReadFrame("COMM", 3, V23(0, {0, 'e', 'n', 'g', 0, 'x'})).GetText(), "");
}

TEST(FrameReading, Version22HeaderIsSixBytes) {
    const TID3v2Frame frame = ReadFrame("TT2", 2, {0x00, 0x00, 0x04, 0x00, 'A', 'b', 'c'});
    EXPECT_EQ(frame.GetText(), "Abc");
    EXPECT_EQ(frame.Header(), (Bytes{'T', 'T', '2', 0x00, 0x00, 0x04}));
}

TEST(FrameReading, Version24SizeIsSyncsafe) {
    Bytes content = {0x00};
    content.insert(content.end(), 129, 'z');
    const TID3v2Frame frame = ReadFrame("TIT2", 4, V24(0, content));
    EXPECT_EQ(frame.DataSize(), 130u);
    EXPECT_EQ(frame.GetText(), std::string(129, 'z'));
}

TEST(FrameReading, GroupingFlagOfVersion23) {
    const TID3v2Frame frame = ReadFrame("TIT2", 3, V23(0x20, {0x7E, 0x00, 'G', 'r'}));
    EXPECT_TRUE(frame.Parsable());
    EXPECT_EQ(frame.GroupID(), 0x7E);
    EXPECT_EQ(frame.GetText(), "Gr");
    // The group byte survives a new text and is written before the content.
    TID3v2Frame copy = frame;
    copy.SetText("Z");
    EXPECT_EQ(Written(copy), (Bytes{'T', 'I', 'T', '2', 0, 0, 0, 3, 0x00, 0x20, 0x7E, 0x00, 'Z'}));
}

TEST(FrameReading, CompressedFrameIsNotParsableButKeepsItsBytes) {
    TMemoryStream stream(V23(0x80, {0x00, 0x00, 0x00, 0x10, 0x78, 0x9C}));
    const Bytes next = {'T', 'A', 'L', 'B'};
    stream.Seek(stream.Size());
    stream.WriteBuffer(next.data(), next.size());
    stream.Seek(0);
    TID3v2Frame frame("TIT2", 3);
    ASSERT_EQ(frame.ReadFromStream(stream), FileErr_None);
    EXPECT_FALSE(frame.Parsable());
    EXPECT_EQ(frame.GetText(), "");
    EXPECT_EQ(frame.DataSize(), 6u);
    // Exactly the frame's size was consumed.
    EXPECT_EQ(stream.Position(), 12);
}

TEST(FrameReading, Version24EncryptionAndUndefinedFlagsAreNotParsable) {
    EXPECT_FALSE(ReadFrame("TIT2", 4, V24(0x04, {0, 'a'})).Parsable());
    EXPECT_FALSE(ReadFrame("TIT2", 4, V24(0x80, {0, 'a'})).Parsable());
    EXPECT_FALSE(ReadFrame("TIT2", 3, V23(0x01, {0, 'a'})).Parsable());
    EXPECT_TRUE(ReadFrame("TIT2", 4, V24(0x40, {1, 0, 'a'})).Parsable());
}

TEST(FrameReading, Version24FrameUnsynchronisation) {
    // UTF-16 with FF FE: on disk the mark is FF 00 FE, the letter 'A' 41 00.
    const TID3v2Frame frame =
        ReadFrame("TIT2", 4, V24(0x02, {0x01, 0xFF, 0x00, 0xFE, 0x41, 0x00, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(frame.Data(), (Bytes{0x01, 0xFF, 0xFE, 0x41, 0x00, 0xFF, 0x00}));
    EXPECT_EQ(frame.GetText(), "A\xC3\xBF"); // U+0041 U+00FF
    // Written back without the unsynchronisation bit and with the reduced content.
    TID3v2Frame copy = frame;
    const Bytes bytes = Written(copy);
    EXPECT_EQ(bytes[9], 0x00);
    EXPECT_EQ(bytes.size(), 10u + 7u);
}

TEST(FrameReading, Version24DataLengthIndicator) {
    const TID3v2Frame frame =
        ReadFrame("TIT2", 4, V24(0x01, {0x00, 0x00, 0x00, 0x04, 0x03, 'a', 'b', 'c'}));
    EXPECT_EQ(frame.DataLength(), 4u);
    EXPECT_EQ(frame.GetText(), "abc");
    TID3v2Frame copy = frame;
    EXPECT_EQ(Written(copy), (Bytes{'T', 'I', 'T', '2', 0, 0, 0, 4, 0, 0, 0x03, 'a', 'b', 'c'}));
}

TEST(FrameReading, UnsynchronisedWritingOfVersion24) {
    TID3v2Frame frame("TIT2", 4);
    frame.SetText("\xC3\xBF\xC3\xA0"); // U+00FF U+00E0: FF E0 needs a zero between them
    TMemoryStream out;
    ASSERT_EQ(frame.WriteUnsyncedToStream(out), FileErr_None);
    EXPECT_EQ(out.Bytes(),
              (Bytes{'T', 'I', 'T', '2', 0, 0, 0, 4, 0, 0x02, 0x00, 0xFF, 0x00, 0xE0}));
    TMemoryStream back(Bytes(out.Bytes().begin() + 4, out.Bytes().end()));
    TID3v2Frame reread("TIT2", 4);
    ASSERT_EQ(reread.ReadFromStream(back), FileErr_None);
    EXPECT_EQ(reread.GetText(), "\xC3\xBF\xC3\xA0");
}

TEST(FrameReading, ContentPastTheEndIsAReadErrorWithoutAllocatingIt) {
    // Claims 0x0FFFFFFF bytes behind the header, holds three.
    const TID3v2Frame frame =
        ReadFrame("TIT2", 4, {0x7F, 0x7F, 0x7F, 0x7F, 0x00, 0x00, 0, 'a', 'b'}, FileErr_StreamRead);
    EXPECT_TRUE(frame.Data().empty());
    ReadFrame("TT2", 2, {0x00, 0x00}, FileErr_StreamRead);
    ReadFrame("TIT2", 3, V23(0x20, {}), FileErr_StreamRead); // no room for the group byte
}

TEST(FrameText, Latin1IsWindows1252) {
    EXPECT_EQ(TextOf(3, {0x00, 0x80, 0xE4, 0x81}), "\xE2\x82\xAC\xC3\xA4\xC2\x81");
    // Any encoding byte above 3 counts as 0.
    EXPECT_EQ(TextOf(3, {0x09, 'o', 'k'}), "ok");
}

TEST(FrameText, Utf16WithEitherMarkOrNone) {
    EXPECT_EQ(TextOf(3, {0x01, 0xFE, 0xFF, 0x00, 'B', 0x01, 0x41}), "B\xC5\x81");
    EXPECT_EQ(TextOf(3, {0x01, 0xFF, 0xFE, 'L', 0x00, 0x41, 0x01}), "L\xC5\x81");
    EXPECT_EQ(TextOf(3, {0x01, 'N', 0x00, 'o', 0x00}), "No");
    // A second mark left at the start goes too; an odd last byte is dropped.
    EXPECT_EQ(TextOf(3, {0x01, 0xFF, 0xFE, 0xFF, 0xFE, 'x', 0x00, 'y'}), "x");
}

TEST(FrameText, Utf16BigEndianAndUtf8) {
    EXPECT_EQ(TextOf(4, {0x02, 0x00, 'B', 0x20, 0xAC}), "B\xE2\x82\xAC");
    EXPECT_EQ(TextOf(4, {0x03, 'U', 0xC3, 0xBC}), "U\xC3\xBC");
}

TEST(FrameText, TrimsEdgesButKeepsInnerSeparators) {
    EXPECT_EQ(TextOf(3, {0x00, ' ', 'A', 'r', 't', ' ', 0x00, 0x00, ' ', 0x00}), "Art");
    EXPECT_EQ(TextOf(4, {0x03, 'a', 0x00, 'b', 0x00}), std::string("a\0b", 3));
    EXPECT_EQ(TextOf(3, {0x01, 0xFF, 0xFE, 'q', 0x00, 0x00, 0x00, ' ', 0x00}), "q");
}

TEST(FrameText, EmptyFrames) {
    EXPECT_EQ(TextOf(3, {}), "");
    EXPECT_EQ(TextOf(3, {0x01}), "");
    EXPECT_EQ(TextOf(3, {0x01, 0xFF, 0xFE}), "");
}

TEST(FrameFlags, NewTextClearsTheFlagsThatNoLongerHold) {
    Bytes rest = V23(0xE0 | 0x1F, {0x55, 0x00, 'x'});
    rest[4] = 0xFF; // every status flag
    TID3v2Frame frame = ReadFrame("TIT2", 3, rest);
    ASSERT_FALSE(frame.Parsable());
    frame.SetText("y");
    EXPECT_TRUE(frame.Parsable());
    EXPECT_EQ(frame.StatusFlags(), 0xC0); // both preservation bits stay
    EXPECT_EQ(frame.FormatFlags(), 0x20); // grouping stays
    EXPECT_EQ(frame.GroupID(), 0x55);
    EXPECT_EQ(frame.GetText(), "y");
}

TEST(Unsynchronisation, BothDirections) {
    EXPECT_EQ(RemoveUnsynchronisation({0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x12}),
              (Bytes{0xFF, 0x00, 0xFF, 0xFF, 0x12}));
    EXPECT_EQ(ApplyUnsynchronisation({0xFF, 0x00, 0xFF, 0xE0, 0xFF, 0x12, 0xFF}),
              (Bytes{0xFF, 0x00, 0x00, 0xFF, 0x00, 0xE0, 0xFF, 0x12, 0xFF, 0x00}));
    std::uint8_t bytes[4];
    SyncsafeBytes(0x0FFFFFFF, bytes);
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{0x7F, 0x7F, 0x7F, 0x7F}));
    const std::uint8_t loose[4] = {0x00, 0x00, 0x02, 0x81};
    EXPECT_EQ(SyncsafeValue(loose), 0x101u);
    EXPECT_EQ(SyncsafeValue(loose, false), 0x181u);
}

} // namespace
} // namespace lorvane
