// Inputs the fuzzer (fuzz/fuzz_mp3file.cpp) found to crash the analysers, minimised. Each
// runs through the same public operations as the fuzzer; under the sanitizers of
// scripts/test a relapse aborts the test, and the results must follow the rules.

#include "audio/Mp3Files.h"
#include "audio/MpegFrames.h"
#include "base/Streams.h"
#include "id3v2/ID3v2Tags.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace lorvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct FileResult {
    TAudioError result = 0;
    bool valid = false;
    std::uint32_t id3v2Size = 0;
    std::int64_t firstHeader = 0;
};

FileResult ReadMp3(const Bytes& bytes) {
    TMemoryStream stream(bytes);
    TMP3File file;
    file.SetMpegScanMode(MPEG_SCAN_Complete);
    FileResult out;
    out.result = file.ReadFromStream(stream);
    out.valid = file.Valid();
    out.id3v2Size = file.ID3v2TagSize();
    out.firstHeader = file.MpegInfo().FirstHeaderPosition();
    // The texts are what the fuzzer reads too.
    EXPECT_NO_THROW((void)file.Title());
    EXPECT_NO_THROW((void)file.Artist());
    EXPECT_NO_THROW((void)file.Album());
    return out;
}

TAudioError ReadTag(const Bytes& bytes) {
    TMemoryStream stream(bytes);
    TID3v2Tag tag;
    const TAudioError result = tag.ReadFromStream(stream);
    for (TFrameIDs id : {IDv2_TITEL, IDv2_ARTIST, IDv2_ALBUM})
        EXPECT_NO_THROW((void)tag.GetText(id));
    return result;
}

// An ID3v2.4 frame of size 0 (here TENC): reading its empty content once handed a null
// buffer to memcpy in the memory stream.
TEST(FuzzRegressions, ZeroSizeFrameInID3v24Tag) {
    const Bytes bytes = {0x49, 0x44, 0x33, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0c, 0x54,
                         0x45, 0x4e, 0x43, 0x00, 0x00, 0x00, 0x00, 0x08, 0x18, 0x20, 0x08};
    const FileResult file = ReadMp3(bytes);
    EXPECT_EQ(file.result, MP3ERR_NoMpegFrame);
    EXPECT_FALSE(file.valid);
    EXPECT_EQ(file.id3v2Size, 22u);
    EXPECT_EQ(file.firstHeader, -1);
    ReadTag(bytes);
}

} // namespace
} // namespace lorvane
