// Writing the tag of a joined part: the bytes, the padding arithmetic, in-place writing
// versus rewriting, and the scratch files behind it.

#include "id3v2/ID3v2Tags.h"
#include "id3v2/ScratchFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace lorvane {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes FrameBytes(const std::string& id, const Bytes& data) {
    const auto n = static_cast<std::uint32_t>(data.size());
    Bytes frame(id.begin(), id.end());
    frame.insert(frame.end(), {std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8),
                               std::uint8_t(n), 0, 0});
    frame.insert(frame.end(), data.begin(), data.end());
    return frame;
}

// The encoding byte 0, then the text. Built at its final size: inserting behind a
// freshly built one-byte vector made GCC 12 report a false -Warray-bounds at -O3.
Bytes Latin1(const std::string& text) {
    Bytes data(1 + text.size(), 0x00);
    std::copy(text.begin(), text.end(), data.begin() + 1);
    return data;
}

// Audio stand-in: a recognisable pattern, optionally ending in an ID3v1 tag.
Bytes Audio(std::size_t size, bool id3v1 = false) {
    Bytes audio(size);
    for (std::size_t i = 0; i < size; ++i) {
        audio[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    if (id3v1) {
        audio[size - 128] = 'T', audio[size - 127] = 'A', audio[size - 126] = 'G';
    }
    return audio;
}

Bytes Tail(const Bytes& bytes, std::size_t from) {
    return Bytes(bytes.begin() + from, bytes.end());
}

class TagWriting : public ::testing::Test {
protected:
    void SetUp() override { SetTagScratchFolder(fScratch.Path() / "scratch"); }
    void TearDown() override {
        // Every scratch file of a successful write is gone again.
        if (fs::exists(fScratch.Path() / "scratch") && fExpectNoScratchFiles) {
            EXPECT_TRUE(fs::is_empty(fScratch.Path() / "scratch"));
        }
        SetTagScratchFolder({});
    }

    // The joiner's tag: cleared, then artist, title, album, genre and track.
    static void StartJoinerTag(TID3v2Tag& tag, const std::string& artist, const std::string& title,
                               const std::string& album) {
        tag.Clear();
        tag.SetArtist(artist);
        tag.SetTitle(title);
        tag.SetAlbum(album);
        tag.SetGenre("H\xC3\xB6rbuch");
        tag.SetTrack("1");
    }

    test::TempDir fScratch;
    bool fExpectNoScratchFiles = true;
};

TEST_F(TagWriting, WholeJoinerTagByteForByte) {
    TID3v2Tag tag;
    StartJoinerTag(tag, "Autor", "Titel (001)", "Album");
    tag.SetTitle("Titel (002)");
    tag.SetTrack("2");
    TMemoryStream stream(Audio(5000));
    ASSERT_EQ(tag.WriteToStream(stream), FileErr_None);

    const Bytes frames = [] {
        Bytes all;
        for (const Bytes& frame :
             {FrameBytes("TPE1", Latin1("Autor")), FrameBytes("TIT2", Latin1("Titel (002)")),
              FrameBytes("TALB", Latin1("Album")),
              FrameBytes("TCON", {0x00, 'H', 0xF6, 'r', 'b', 'u', 'c', 'h'}),
              FrameBytes("TRCK", Latin1("2"))}) {
            all.insert(all.end(), frame.begin(), frame.end());
        }
        return all;
    }();
    const std::size_t tagBytes = 10 + frames.size();
    ASSERT_EQ(tagBytes, 10u + 16u + 22u + 16u + 18u + 12u);
    // 94 + 5000 = 5094: the next multiple of 2048 is 6144, so 1050 zero bytes.
    EXPECT_EQ(tag.DataSize(), tagBytes);
    EXPECT_EQ(tag.PaddingSize(), 1050u);
    EXPECT_EQ(tag.Size(), 1144u);
    Bytes expected = {'I', 'D', '3', 0x03, 0x00, 0x00, 0x00, 0x00, 0x08, 0x6E}; // 1134
    expected.insert(expected.end(), frames.begin(), frames.end());
    const Bytes& written = stream.Bytes();
    ASSERT_EQ(written.size(), 6144u);
    EXPECT_EQ(Bytes(written.begin(), written.begin() + tagBytes), expected);
    EXPECT_EQ(Bytes(written.begin() + tagBytes, written.begin() + 1144), Bytes(1050, 0));
    EXPECT_EQ(Tail(written, 1144), Audio(5000));
}

TEST_F(TagWriting, WorkedLayoutOfAJoinedPart) {
    TID3v2Tag tag;
    StartJoinerTag(tag, "Aut", "Tit", "Al"); // 71 bytes of frames
    TMemoryStream stream(Audio(1000000));
    ASSERT_EQ(tag.WriteToStream(stream), FileErr_None);
    EXPECT_EQ(tag.DataSize(), 81u);
    EXPECT_EQ(tag.PaddingSize(), 1391u);
    EXPECT_EQ(tag.Size(), 1472u);
    EXPECT_EQ(stream.Size(), 1001472);
    EXPECT_EQ(stream.Size() % 2048, 0);
    EXPECT_EQ(Tail(stream.Bytes(), 1472), Audio(1000000));

    // The tag reads back as written.
    TID3v2Tag reader;
    ASSERT_EQ(reader.ReadFromStream(stream), FileErr_None);
    EXPECT_EQ(reader.Size(), 1472u);
    EXPECT_EQ(reader.PaddingSize(), 1391u);
    EXPECT_EQ(reader.Artist(), "Aut");
    EXPECT_EQ(reader.GetText(IDv2_GENRE), "H\xC3\xB6rbuch");
    EXPECT_EQ(reader.GetText(IDv2_TRACK), "1");
}

TEST_F(TagWriting, TrailingID3v1IsCountedOnceMore) {
    TID3v2Tag tag;
    StartJoinerTag(tag, "Aut", "Tit", "Al");
    TMemoryStream stream(Audio(1000000, true));
    ASSERT_EQ(tag.WriteToStream(stream), FileErr_None);
    EXPECT_EQ(tag.PaddingSize(), 1263u);
    EXPECT_EQ(stream.Size(), 1001472 - 128);
}

TEST_F(TagWriting, ExactMultipleGetsAWholeCluster) {
    TID3v2Tag tag;
    EXPECT_EQ(tag.ClusterPadding(4096), 2048u);
    EXPECT_EQ(tag.ClusterPadding(4095), 1u);
    EXPECT_EQ(tag.ClusterPadding(0), 2048u);
}

TEST_F(TagWriting, InPlaceIntoALargeEnoughOldTag) {
    // An old tag of 4096 bytes in all, then audio.
    Bytes file = {'I', 'D', '3', 3, 0, 0, 0, 0, 0x1F, 0x76}; // 4086 = 0x1F * 128 + 0x76
    const Bytes frame = FrameBytes("TIT2", Latin1("old"));
    file.insert(file.end(), frame.begin(), frame.end());
    file.resize(4096, 0);
    const Bytes audio = Audio(3000);
    file.insert(file.end(), audio.begin(), audio.end());
    TMemoryStream stream(file);

    TID3v2Tag tag;
    tag.Clear();
    tag.SetTitle(std::string(179, 'n')); // 10 + 10 + 1 + 179 = 200 bytes
    ASSERT_EQ(tag.WriteToStream(stream), FileErr_None);
    EXPECT_EQ(tag.DataSize(), 200u);
    EXPECT_EQ(tag.PaddingSize(), 3896u);
    EXPECT_EQ(tag.Size(), 4096u);
    EXPECT_EQ(stream.Size(), 4096 + 3000);
    EXPECT_EQ(Tail(stream.Bytes(), 4096), audio);
    EXPECT_EQ(stream.Bytes()[200], 0);
    TID3v2Tag reader;
    ASSERT_EQ(reader.ReadFromStream(stream), FileErr_None);
    EXPECT_EQ(reader.Title(), std::string(179, 'n'));
}

TEST_F(TagWriting, RewriteWhenTheOldTagIsOnlySlightlyLarger) {
    TID3v2Tag tag;
    tag.Clear();
    tag.SetTitle(std::string(179, 'n'));                     // 200 bytes
    Bytes file = {'I', 'D', '3', 3, 0, 0, 0, 0, 0x01, 0x52}; // 220 bytes in all
    file.resize(220, 0);
    const Bytes audio = Audio(3000);
    file.insert(file.end(), audio.begin(), audio.end());
    TMemoryStream stream(file);
    ASSERT_EQ(tag.WriteToStream(stream), FileErr_None);
    // 200 + 3000 = 3200 -> 4096.
    EXPECT_EQ(tag.PaddingSize(), 896u);
    EXPECT_EQ(tag.Size(), 1096u);
    EXPECT_EQ(stream.Size(), 4096);
    EXPECT_EQ(Tail(stream.Bytes(), 1096), audio);
}

TEST_F(TagWriting, WithoutPaddingAlwaysRewritesTightly) {
    TID3v2Tag tag; // a fresh tag has UsePadding off
    tag.SetTitle("x");
    Bytes file = {'I', 'D', '3', 3, 0, 0, 0, 0, 0x1F, 0x76};
    file.resize(4096, 0);
    file.push_back(0xAA);
    TMemoryStream stream(file);
    ASSERT_EQ(tag.WriteToStream(stream), FileErr_None);
    EXPECT_EQ(tag.PaddingSize(), 0u);
    EXPECT_EQ(tag.Size(), 22u);
    EXPECT_EQ(stream.Bytes(), (Bytes{'I', 'D', '3', 3, 0, 0, 0, 0, 0, 12,  'T', 'I',
                                     'T', '2', 0,   0, 0, 2, 0, 0, 0, 'x', 0xAA}));
}

TEST_F(TagWriting, EmptyTagGetsOneTitleOfASpace) {
    TID3v2Tag tag;
    tag.Clear();
    TMemoryStream stream;
    ASSERT_EQ(tag.WriteToStream(stream), FileErr_None);
    const Bytes& bytes = stream.Bytes();
    ASSERT_EQ(bytes.size(), 2048u);
    EXPECT_EQ(Bytes(bytes.begin() + 10, bytes.begin() + 22),
              (Bytes{'T', 'I', 'T', '2', 0, 0, 0, 2, 0, 0, 0x00, ' '}));
    EXPECT_EQ(bytes[22], 0);
    ASSERT_EQ(tag.Frames().size(), 1u);
}

TEST_F(TagWriting, EmptyArtistRemovesTheFrame) {
    TID3v2Tag tag;
    StartJoinerTag(tag, "", "T", "A");
    EXPECT_EQ(tag.Frames().front().IDString(), "TIT2");
    tag.SetArtist("Someone");
    EXPECT_EQ(tag.Frames().back().IDString(), "TPE1");
    tag.SetArtist("");
    for (const TID3v2Frame& frame : tag.Frames()) {
        EXPECT_NE(frame.IDString(), "TPE1");
    }
    EXPECT_EQ(tag.Frames().size(), 4u);
}

TEST_F(TagWriting, TitleSetTwiceKeepsItsPlace) {
    TID3v2Tag tag;
    StartJoinerTag(tag, "A", "First", "B");
    tag.SetTitle("Second");
    ASSERT_EQ(tag.Frames().size(), 5u);
    EXPECT_EQ(tag.Frames()[1].IDString(), "TIT2");
    EXPECT_EQ(tag.Title(), "Second");
    const std::vector<std::string> order = {"TPE1", "TIT2", "TALB", "TCON", "TRCK"};
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(tag.Frames()[i].IDString(), order[i]);
    }
}

TEST_F(TagWriting, GenreFromTheListCarriesItsIndex) {
    TID3v2Tag tag;
    tag.Clear();
    tag.SetGenre("speech");
    EXPECT_EQ(tag.GetText(IDv2_GENRE), "(101)speech");
    tag.SetGenre("H\xC3\xB6rbuch");
    EXPECT_EQ(tag.GetText(IDv2_GENRE), "H\xC3\xB6rbuch");
    EXPECT_EQ(tag.Frames().size(), 1u);
}

TEST_F(TagWriting, NonTextKindsAreIgnored) {
    TID3v2Tag tag;
    tag.Clear();
    tag.SetText(IDv2_USERDEFINEDTEXT, "x");
    tag.SetText(IDv2_COMMENT, "x");
    tag.SetText(IDv2_MOOD, "x"); // no such frame in version 2.3
    EXPECT_TRUE(tag.Frames().empty());
}

TEST_F(TagWriting, FileStreamAndReadBack) {
    const fs::path part = fScratch / "part.mp3";
    test::WriteFileBytes(part, Audio(70000));
    TID3v2Tag tag;
    StartJoinerTag(tag,
                   "Stanis\xC5\x82"
                   "aw Lem",
                   "Solaris (001)", "Solaris");
    {
        TFileStream stream(part, TFileMode::OpenReadWrite);
        ASSERT_EQ(tag.WriteToStream(stream), FileErr_None);
    }
    const Bytes bytes = test::ReadFileBytes(part);
    EXPECT_EQ(bytes.size() % 2048, 0u);
    EXPECT_EQ(Tail(bytes, tag.Size()), Audio(70000));
    TFileStream again(part, TFileMode::OpenRead);
    TID3v2Tag reader;
    ASSERT_EQ(reader.ReadFromStream(again), FileErr_None);
    EXPECT_EQ(reader.Artist(), "Stanis\xC5\x82"
                               "aw Lem");
    EXPECT_EQ(reader.Title(), "Solaris (001)");
}

TEST_F(TagWriting, UnsynchronisedTagIsWrittenUnsynchronised) {
    // A version 2.3 tag with the unsynchronisation flag; Title U+00FF U+00E0 gives FF E0.
    const Bytes stored = {'I', 'D', '3', 3, 0, 0x80, 0, 0, 0, 14,   'T', 'I',
                          'T', '2', 0,   0, 0, 3,    0, 0, 0, 0xFF, 0,   0xE0};
    TMemoryStream stream(stored);
    TID3v2Tag tag;
    ASSERT_EQ(tag.ReadFromStream(stream), FileErr_None);
    ASSERT_EQ(tag.Title(), "\xC3\xBF\xC3\xA0");
    tag.SetArtist("\xC3\xBF");
    ASSERT_EQ(tag.WriteToStream(stream), FileErr_None);
    const Bytes& bytes = stream.Bytes();
    EXPECT_EQ(bytes[5], 0x80);
    EXPECT_EQ(Bytes(bytes.begin() + 10, bytes.begin() + 35),
              (Bytes{'T',  'I', 'T', '2', 0,   0, 0, 3, 0, 0, 0, 0xFF, 0,
                     0xE0, 'T', 'P', 'E', '1', 0, 0, 0, 2, 0, 0, 0}));
    EXPECT_EQ(bytes[35], 0xFF);
    EXPECT_EQ(bytes[36], 0x00); // a final 0xFF of the frames gets its zero too
    TID3v2Tag reader;
    ASSERT_EQ(reader.ReadFromStream(stream), FileErr_None);
    EXPECT_EQ(reader.Title(), "\xC3\xBF\xC3\xA0");
    EXPECT_EQ(reader.Artist(), "\xC3\xBF");
}

TEST_F(TagWriting, NoFreeScratchNameForTheTag) {
    const fs::path folder = fScratch.Path() / "scratch";
    fs::create_directories(folder);
    for (int i = 0; i < kScratchNameCount; ++i) {
        test::WriteFileBytes(folder / TagTempFileName(i), {});
    }
    fExpectNoScratchFiles = false;
    TID3v2Tag tag;
    tag.SetTitle("x");
    TMemoryStream stream(Audio(100));
    EXPECT_EQ(tag.WriteToStream(stream), FileErr_FileCreate);
    EXPECT_FALSE(tag.LastExceptionMessage().empty());
    EXPECT_EQ(stream.Bytes(), Audio(100));
}

TEST_F(TagWriting, NoFreeScratchNameForTheAudio) {
    const fs::path folder = fScratch.Path() / "scratch";
    fs::create_directories(folder);
    for (int i = 1; i < kScratchNameCount; ++i) {
        test::WriteFileBytes(folder / TagTempFileName(i), {});
    }
    fExpectNoScratchFiles = false;
    TID3v2Tag tag;
    tag.SetTitle("x");
    TMemoryStream stream(Audio(100));
    EXPECT_EQ(tag.WriteToStream(stream), FileErr_BackupFailed);
    EXPECT_EQ(stream.Bytes(), Audio(100));
    // Scratch file 1 was deleted again.
    EXPECT_FALSE(fs::exists(folder / TagTempFileName(0)));
}

// A stream that takes no bytes: a full disk.
class TFullStream : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    std::size_t Write(const void*, std::size_t) override { return 0; }
};

TEST_F(TagWriting, WriteErrorOnTheTarget) {
    TID3v2Tag tag;
    tag.SetTitle("x");
    TFullStream stream(Audio(100));
    EXPECT_EQ(tag.WriteToStream(stream), FileErr_StreamWrite);
    EXPECT_EQ(stream.Bytes(), Audio(100));
    // The saved audio is kept for recovery.
    fExpectNoScratchFiles = false;
    EXPECT_TRUE(fs::exists(fScratch.Path() / "scratch" / TagTempFileName(1)));
}

} // namespace
} // namespace lorvane
