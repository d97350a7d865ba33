#include "audio/Mp3Files.h"
#include "audio/Mp3TestFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

using test::ApeItem;
using test::ApeTagBytes;
using test::Bytes;
using test::Concat;
using test::ID3v1Block;
using test::MpegFrames;

constexpr std::int64_t kFrame128 = 417; // MPEG-1 Layer III, 128 kbit/s, 44100 Hz

class Mp3File : public ::testing::Test {
protected:
    Mp3File() { file.SetMpegScanMode(MPEG_SCAN_Complete); }

    TAudioError Read(const Bytes& bytes) {
        TMemoryStream stream(bytes);
        return file.ReadFromStream(stream);
    }
    std::int64_t AudioEnd() const {
        return file.FileSize() - file.ApeTagSize() - file.ID3v1TagSize();
    }

    TMP3File file;
};

TEST_F(Mp3File, CreatedWithTheAnalysersDefaultScanMode) {
    TMP3File fresh;
    EXPECT_EQ(fresh.MpegScanMode(), MPEG_SCAN_Smart);
    EXPECT_EQ(fresh.TagScanMode(), id3_read_complete);
    EXPECT_EQ(file.MpegScanMode(), MPEG_SCAN_Complete);
    EXPECT_EQ(file.MpegInfo().MpegScanMode(), MPEG_SCAN_Complete);
}

TEST_F(Mp3File, WithoutID3v2TheSearchStartsAtTheFirstByte) {
    ASSERT_EQ(Read(MpegFrames(100)), FileErr_None);
    EXPECT_TRUE(file.Valid());
    EXPECT_TRUE(file.MpegInfo().Valid());
    EXPECT_EQ(file.MpegInfo().FirstHeaderPosition(), 0);
    EXPECT_EQ(file.ID3v2TagSize(), 0u);
    EXPECT_EQ(file.FileSize(), 100 * kFrame128);
    EXPECT_EQ(AudioEnd(), file.FileSize());
    EXPECT_TRUE(file.SecondaryTagsProcessed());
}

TEST_F(Mp3File, FormatOfA128KbitStream) {
    // 41700 bytes at 128000 bit/s play 2.6 s, reported in whole seconds.
    ASSERT_EQ(Read(MpegFrames(100)), FileErr_None);
    EXPECT_EQ(file.Bitrate(), 128 * 1000);
    EXPECT_EQ(file.Samplerate(), 44100);
    EXPECT_EQ(file.Channels(), 2);
    EXPECT_EQ(file.Duration(), 2);
    EXPECT_EQ(file.MpegInfo().Frames(), 100);
}

TEST_F(Mp3File, ChannelsFollowTheChannelMode) {
    for (const auto& [mode, channels] : {std::pair{0, 2}, {1, 2}, {2, 2}, {3, 1}}) {
        ASSERT_EQ(Read(MpegFrames(20, 14, mode)), FileErr_None);
        EXPECT_EQ(file.Channels(), channels) << "mode " << mode;
        EXPECT_EQ(file.Bitrate(), 320000);
    }
}

TEST_F(Mp3File, TheFrameSearchStartsBehindTheID3v2Tag) {
    // The tag's padding holds 64 kbit/s frames of its own; they must not be taken for audio.
    const Bytes decoy = MpegFrames(3, 5);
    Bytes tag = test::ID3v2Tag({{"TIT2", "Titel"}}, -1, decoy.size() + 100);
    std::copy(decoy.begin(), decoy.end(),
              tag.end() - static_cast<std::ptrdiff_t>(decoy.size() + 100));
    ASSERT_EQ(Read(Concat({tag, MpegFrames(50)})), FileErr_None);
    EXPECT_EQ(file.ID3v2TagSize(), tag.size());
    EXPECT_EQ(file.MpegInfo().FirstHeaderPosition(), static_cast<std::int64_t>(tag.size()));
    EXPECT_EQ(file.Bitrate(), 128000);
}

TEST_F(Mp3File, TitleArtistAlbumOfTheID3v2Tag) {
    const Bytes tag = test::ID3v2Tag({{"TIT2", "Titel"}, {"TPE1", "Autor"}, {"TALB", "Album"}});
    ASSERT_EQ(Read(Concat({tag, MpegFrames(20)})), FileErr_None);
    EXPECT_EQ(file.ID3v2TagSize(), tag.size());
    EXPECT_EQ(file.Title(), "Titel");
    EXPECT_EQ(file.Artist(), "Autor");
    EXPECT_EQ(file.Album(), "Album");
}

TEST_F(Mp3File, ID3v2SizePastTheEndLeavesNoFrame) {
    const Bytes bytes = Concat({test::ID3v2Tag({{"TIT2", "x"}}, 100000), MpegFrames(30)});
    EXPECT_EQ(Read(bytes), MP3ERR_NoMpegFrame);
    EXPECT_FALSE(file.Valid());
    EXPECT_FALSE(file.MpegInfo().Valid());
    EXPECT_EQ(file.MpegInfo().FirstHeaderPosition(), -1);
    EXPECT_EQ(file.Duration(), 0);
    EXPECT_EQ(file.Bitrate(), 0);
}

TEST_F(Mp3File, ID3v1AfterAnApeTagWithHeader) {
    const Bytes ape = ApeTagBytes({ApeItem("Album", "Ape-Album"), ApeItem("Genre", "Speech")});
    const std::uint32_t size = static_cast<std::uint32_t>(ape.size() - 32);
    const Bytes audio = MpegFrames(40);
    const Bytes bytes = Concat({audio, ape, ID3v1Block({.title = "v1"})});
    ASSERT_EQ(Read(bytes), FileErr_None);
    EXPECT_TRUE(file.Valid());
    EXPECT_EQ(file.ApeTagSize(), size + 32);
    EXPECT_EQ(file.ID3v1TagSize(), 128u);
    EXPECT_EQ(AudioEnd(), file.FileSize() - size - 160);
    EXPECT_EQ(AudioEnd(), static_cast<std::int64_t>(audio.size()));
    EXPECT_EQ(file.ApeTag().Items().size(), 2u);
}

TEST_F(Mp3File, ApeFooterWithHeaderFlagButNoHeader) {
    const Bytes ape = ApeTagBytes({ApeItem("Title", "T")}, {.writeHeader = false});
    const Bytes audio = MpegFrames(40);
    ASSERT_EQ(Read(Concat({audio, ape})), FileErr_None);
    EXPECT_EQ(file.ApeTagSize(), ape.size());
    EXPECT_EQ(file.ApeTagSize(), file.ApeTag().Footer().Size);
    EXPECT_EQ(AudioEnd(), static_cast<std::int64_t>(audio.size()));
}

TEST_F(Mp3File, TagAt128BeforeTheEndOfAFileEndingInAnApeFooter) {
    const Bytes ape = ApeTagBytes({ApeItem("Comment", "TAG" + std::string(93, 'z'))});
    const Bytes audio = MpegFrames(40);
    const Bytes bytes = Concat({audio, ape});
    ASSERT_EQ(std::string(bytes.end() - 128, bytes.end() - 125), "TAG");
    ASSERT_EQ(Read(bytes), FileErr_None);
    EXPECT_EQ(file.ID3v1TagSize(), 0u);
    EXPECT_FALSE(file.ID3v1Tag().Exists());
    EXPECT_EQ(file.ApeTagSize(), ape.size());
    EXPECT_EQ(AudioEnd(), static_cast<std::int64_t>(audio.size()));
}

TEST_F(Mp3File, MalformedApeItemCountsItsBytesAsAudio) {
    const Bytes ape = ApeTagBytes({ApeItem("Bad\x01", "x")});
    const Bytes bytes = Concat({MpegFrames(40), ape, ID3v1Block({.title = "v1"})});
    EXPECT_EQ(Read(bytes), ApeErr_InvalidTag);
    EXPECT_TRUE(file.Valid());
    EXPECT_EQ(file.ApeTagSize(), 0u);
    EXPECT_EQ(file.ID3v1TagSize(), 128u);
    EXPECT_EQ(AudioEnd(), file.FileSize() - 128);
    EXPECT_EQ(file.Bitrate(), 128000);
    EXPECT_EQ(file.Title(), "v1");
}

TEST_F(Mp3File, ApeSizeLargerThanTheFileEndsTheAnalysisAsInvalid) {
    const Bytes ape =
        ApeTagBytes({ApeItem("Title", "T")}, {.writeHeader = false, .sizeOverride = 0x00F00000});
    const Bytes bytes = Concat({MpegFrames(40), ape, ID3v1Block({.title = "v1"})});
    EXPECT_EQ(Read(bytes), FileErr_Unknown);
    EXPECT_FALSE(file.Valid());
    EXPECT_EQ(file.LastExceptionMessage(), "Stream read error");
    EXPECT_EQ(file.Duration(), 0);
    EXPECT_EQ(file.Bitrate(), 0);
    EXPECT_FALSE(file.SecondaryTagsProcessed());
    EXPECT_FALSE(file.ID3v1Tag().Exists());
}

TEST_F(Mp3File, FileUnder160Bytes) {
    // MPEG-2.5 Layer III, 8 kbit/s, 8000 Hz, mono: 72-byte frames; two and the next
    // header make 148 bytes, enough to accept the first frame.
    const Bytes frames = test::RawFrames(3, 0xE3, 0x18, 0xC0, 72);
    const Bytes small(frames.begin(), frames.begin() + 148);
    EXPECT_EQ(Read(small), FileErr_StreamRead);
    EXPECT_TRUE(file.Valid());
    EXPECT_EQ(file.Samplerate(), 8000);
    EXPECT_EQ(file.Channels(), 1);
    EXPECT_EQ(file.ApeTagSize(), 0u);
    EXPECT_EQ(file.ID3v1TagSize(), 0u);

    EXPECT_EQ(Read(Bytes(150, 0)), MP3ERR_NoMpegFrame);
    EXPECT_FALSE(file.Valid());
    EXPECT_EQ(Read({}), MP3ERR_NoMpegFrame);
}

TEST_F(Mp3File, TitleOnlyInTheApeTag) {
    const Bytes ape = ApeTagBytes({ApeItem("TITLE", "Nur APE")});
    ASSERT_EQ(Read(Concat({MpegFrames(20), ape})), FileErr_None);
    EXPECT_EQ(file.Title(), "Nur APE");
    EXPECT_EQ(file.Artist(), "");
}

TEST_F(Mp3File, ID3v2BeforeID3v1BeforeApe) {
    const Bytes tag = test::ID3v2Tag({{"TIT2", "Titel v2"}});
    const Bytes ape = ApeTagBytes({ApeItem("Title", "Titel APE"), ApeItem("Artist", "Autor APE"),
                                   ApeItem("Album", "Album APE")});
    const std::string artist = std::string("Autor v1") + "   " + std::string(19, '\0');
    const Bytes v1 = ID3v1Block({.title = "Titel v1", .artist = artist});
    ASSERT_EQ(Read(Concat({tag, MpegFrames(20), ape, v1})), FileErr_None);
    EXPECT_EQ(file.Title(), "Titel v2");
    EXPECT_EQ(file.Artist(), "Autor v1");
    EXPECT_EQ(file.Album(), "Album APE");
}

TEST_F(Mp3File, ID3v1TitleWithTrailingSpacesAndNuls) {
    const std::string title = std::string("Wort") + "      " + std::string(20, '\0');
    ASSERT_EQ(Read(Concat({MpegFrames(20), ID3v1Block({.title = title})})), FileErr_None);
    EXPECT_EQ(file.Title(), "Wort");
}

TEST_F(Mp3File, NoFrameWinsOverTagErrors) {
    // "ID3" with major version 5 is no tag (15), and the APE item is malformed (27).
    const Bytes badVersion = {'I', 'D', '3', 5, 0, 0, 0, 0, 0x07, 0x68};
    const Bytes badApe = ApeTagBytes({ApeItem("K\x7F", "v")});
    EXPECT_EQ(Read(Concat({badVersion, Bytes(2000, 0), badApe})), MP3ERR_NoMpegFrame);
    EXPECT_FALSE(file.Valid());
}

TEST_F(Mp3File, ID3v2ErrorWinsOverApeError) {
    // The unknown version declares 1000 bytes; the search still starts at offset 0.
    const Bytes badVersion = {'I', 'D', '3', 5, 0, 0, 0, 0, 0x07, 0x68};
    const Bytes badApe = ApeTagBytes({ApeItem("K\x7F", "v")});
    EXPECT_EQ(Read(Concat({badVersion, MpegFrames(30), badApe})), MP3ERR_Invalid_Header);
    EXPECT_TRUE(file.Valid());
    EXPECT_EQ(file.ID3v2TagSize(), 0u);
    EXPECT_EQ(file.MpegInfo().FirstHeaderPosition(), 10);
    EXPECT_EQ(file.ApeTagSize(), 0u);
}

TEST_F(Mp3File, ZeroAverageOfTheFrameWalkEndsTheAnalysis) {
    // A free-format frame (bitrate index 0, padding: length 1) is accepted through its
    // VBRI block; the walk then averages 0 kbit/s.
    Bytes bytes(2000, 0);
    const Bytes header = {0xFF, 0xFB, 0x02, 0x00};
    std::copy(header.begin(), header.end(), bytes.begin());
    std::copy_n("VBRI", 4, bytes.begin() + 36);
    bytes[53] = 10; // frame count
    const Bytes withID3v1 = Concat({bytes, ID3v1Block({.title = "v1"})});
    EXPECT_EQ(Read(withID3v1), FileErr_Unknown);
    EXPECT_FALSE(file.Valid());
    EXPECT_TRUE(file.MpegInfo().Valid());
    EXPECT_EQ(file.LastExceptionMessage(), file.MpegInfo().LastExceptionMessage());
    EXPECT_FALSE(file.LastExceptionMessage().empty());
    EXPECT_FALSE(file.SecondaryTagsProcessed());
    EXPECT_EQ(file.ID3v1TagSize(), 0u);
    EXPECT_EQ(file.Duration(), 0);
}

TEST_F(Mp3File, UnreadableBytesInTheAudioEndTheFrameWalk) {
    const Bytes bytes = Concat({MpegFrames(100), ID3v1Block({.title = "v1"})});
    test::FailingStream stream(bytes, 50 * kFrame128 + 3, 50 * kFrame128 + 4);
    EXPECT_EQ(file.ReadFromStream(stream), FileErr_None);
    EXPECT_TRUE(file.Valid());
    EXPECT_LT(file.MpegInfo().Frames(), 100);
    EXPECT_EQ(file.ID3v1TagSize(), 128u);
}

TEST_F(Mp3File, UnreadableApeItemsEndTheAnalysisAsInvalid) {
    const Bytes ape = ApeTagBytes({ApeItem("Title", std::string(300, 't'))});
    const Bytes audio = MpegFrames(20);
    const auto itemsBegin = static_cast<std::int64_t>(audio.size() + 32);
    test::FailingStream stream(Concat({audio, ape}), itemsBegin + 5, itemsBegin + 6);
    EXPECT_EQ(file.ReadFromStream(stream), FileErr_Unknown);
    EXPECT_FALSE(file.Valid());
    EXPECT_EQ(file.LastExceptionMessage(), "Stream read error");
}

TEST_F(Mp3File, ReadFromFileResultsAndReuse) {
    test::TempDir dir;
    const auto good = dir / "gut.mp3";
    test::WriteFileBytes(good, Concat({MpegFrames(100), ID3v1Block({.title = "Eins"})}));
    ASSERT_EQ(file.ReadFromFile(good), FileErr_None);
    EXPECT_EQ(file.Filename(), good);
    EXPECT_TRUE(file.Valid());
    EXPECT_EQ(file.Title(), "Eins");
    EXPECT_EQ(file.FileSize(), 100 * kFrame128 + 128);

    const auto missing = dir / "fehlt.mp3";
    EXPECT_EQ(file.ReadFromFile(missing), FileErr_NoFile);
    EXPECT_EQ(file.Filename(), missing);
    EXPECT_FALSE(file.Valid());
    EXPECT_EQ(file.FileSize(), 0);
    EXPECT_EQ(file.Duration(), 0);
    EXPECT_EQ(file.Title(), "");
    EXPECT_EQ(file.ID3v1TagSize(), 0u);

    // A folder is no file.
    EXPECT_EQ(file.ReadFromFile(dir.Path()), FileErr_NoFile);
    EXPECT_FALSE(file.Valid());

    const auto plain = dir / "ohne.mp3";
    test::WriteFileBytes(plain, MpegFrames(10, 1));
    ASSERT_EQ(file.ReadFromFile(plain), FileErr_None);
    EXPECT_EQ(file.LastExceptionMessage(), "");
    EXPECT_EQ(file.Bitrate(), 32000);
    EXPECT_EQ(file.ID3v1TagSize(), 0u);
}

} // namespace
} // namespace lorvane
