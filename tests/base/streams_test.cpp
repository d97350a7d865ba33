#include "base/Streams.h"
#include "base/TextCodec.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lorvane {
namespace {

TEST(MemoryStream, ShortReadAtTheEndAndWritePastIt) {
    TMemoryStream stream({1, 2, 3});
    std::uint8_t buffer[8] = {};
    stream.Seek(1);
    EXPECT_EQ(stream.Read(buffer, 8), 2u);
    EXPECT_EQ(buffer[0], 2);
    stream.Seek(5);
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
    const std::uint8_t nine = 9;
    stream.WriteBuffer(&nine, 1);
    EXPECT_EQ(stream.Size(), 6);
    EXPECT_EQ(stream.Bytes()[3], 0);
    EXPECT_EQ(stream.Bytes()[5], 9);
    EXPECT_THROW(stream.ReadBuffer(buffer, 1), EReadError);
}

TEST(FileStream, CreateExclusiveRefusesAnExistingName) {
    test::TempDir dir;
    const auto path = dir / "a.bin";
    {
        TFileStream first(path, TFileMode::CreateExclusive);
        first.WriteBuffer("abc", 3);
    }
    EXPECT_THROW(TFileStream(path, TFileMode::CreateExclusive), EFileStreamError);
    TFileStream again(path, TFileMode::OpenReadWrite);
    EXPECT_EQ(again.Size(), 3);
    again.SetSize(1);
    EXPECT_EQ(again.Size(), 1);
    EXPECT_THROW(TFileStream(dir / "missing", TFileMode::OpenRead), EFileStreamError);
    EXPECT_THROW(TFileStream(dir.Path(), TFileMode::OpenRead), EFileStreamError);
    // A FIFO is refused at once instead of waiting for a writer.
    ASSERT_EQ(::mkfifo((dir / "fifo.mp3").c_str(), 0600), 0);
    EXPECT_THROW(TFileStream(dir / "fifo.mp3", TFileMode::OpenRead), EFileStreamError);
}

TEST(TextCodec, Cp1252KeepsTheUndefinedBytesAsControls) {
    const std::uint8_t bytes[] = {0x80, 0x81, 0x8D, 0x9F, 0xE4, 0x41};
    EXPECT_EQ(DecodeCp1252(bytes, sizeof bytes),
              (std::u32string{0x20AC, 0x81, 0x8D, 0x178, 0xE4, 'A'}));
}

TEST(TextCodec, Utf16PairsAndLoneSurrogates) {
    const std::uint8_t le[] = {0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8, 0x41, 0x00, 0x42};
    EXPECT_EQ(DecodeUtf16(le, sizeof le, false), (std::u32string{0x1F600, 0xFFFD, 'A'}));
    const std::uint8_t be[] = {0x00, 0x41, 0x01, 0x41};
    EXPECT_EQ(DecodeUtf16(be, sizeof be, true), (std::u32string{'A', 0x141}));
}

TEST(TextCodec, Utf8RoundTripAndInvalidSequences) {
    const std::u32string text = {'a', 0xF6, 0x20AC, 0x1F600};
    // One replacement per maximal ill-formed subsequence.
    EXPECT_EQ(DecodeUtf8("\xC0\xAF"
                         "x\xED\xA0\x80"
                         "y\xE0\x80"
                         "z\xE2\x82"),
              (std::u32string{0xFFFD, 0xFFFD, 'x', 0xFFFD, 0xFFFD, 0xFFFD, 'y', 0xFFFD, 0xFFFD, 'z',
                              0xFFFD}));
    EXPECT_EQ(DecodeUtf8(EncodeUtf8(text)), text);
    EXPECT_EQ(DecodeUtf8("\xF4\x90\x80\x80\xF0\x9F\x98\x80"),
              (std::u32string{0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0x1F600}));
    EXPECT_EQ(EncodeUtf16(std::u32string{0x1F600}), (std::u16string{0xD83D, 0xDE00}));
}

TEST(TextCodec, TrimAndLatin1Test) {
    EXPECT_EQ(TrimControl(std::u32string(U"\0 ab\0c \t\0", 9)), std::u32string(U"ab\0c", 4));
    EXPECT_TRUE(FitsLatin1Text(U"H\u00f6rbuch"));
    EXPECT_FALSE(FitsLatin1Text(U"\u0085"));
    EXPECT_FALSE(FitsLatin1Text(U"\u0141"));
    EXPECT_TRUE(SameTextAscii("SpEeCh", "speech"));
    EXPECT_FALSE(SameTextAscii("speech", "speec"));
}

} // namespace
} // namespace lorvane
