// Frame headers, VBR tags, the first-frame search, the derived values and the scan
// modes, on streams built frame by frame in memory.

#include "audio/MpegFrames.h"
#include "audio/VbrTags.h"
#include "support/TestSupport.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace lorvane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using HeaderBytes = std::array<std::uint8_t, 4>;

// The header's version bits and layer bits.
constexpr int kMpeg1 = 3, kMpeg2 = 2, kMpeg25 = 0;
constexpr int kLayer1 = 3, kLayer2 = 2, kLayer3 = 1;
constexpr int kStereo = 0, kJoint = 1, kMono = 3;

constexpr HeaderBytes Header(int versionBits, int layerBits, int bitrateIndex, int samplerateIndex,
                             bool padding = false, int channelmode = kJoint) {
    return {0xFF, static_cast<std::uint8_t>(0xE1 | versionBits << 3 | layerBits << 1),
            static_cast<std::uint8_t>(bitrateIndex << 4 | samplerateIndex << 2 | padding << 1),
            static_cast<std::uint8_t>(channelmode << 6)};
}

constexpr HeaderBytes k128 = Header(kMpeg1, kLayer3, 9, 0);   // 417 bytes
constexpr HeaderBytes k40 = Header(kMpeg1, kLayer3, 2, 0);    // 130 bytes
constexpr HeaderBytes k32 = Header(kMpeg1, kLayer3, 1, 0);    // 104 bytes
constexpr HeaderBytes k48kHz = Header(kMpeg1, kLayer3, 9, 1); // 384 bytes
// Layer I, free format, padding set: a valid 4-byte frame with bitrate 0.
constexpr HeaderBytes kFreeFormat = {0xFF, 0xFF, 0x02, 0x00};

TMpegHeader Decode(const HeaderBytes& header) {
    return DecodeFrameHeader(header.data());
}

void AppendFrames(Bytes& out, const HeaderBytes& header, std::size_t length, int count = 1) {
    for (int i = 0; i < count; ++i) {
        const std::size_t start = out.size();
        out.resize(start + length, 0);
        std::memcpy(out.data() + start, header.data(), std::min<std::size_t>(4, length));
    }
}

void PutBigEndian(Bytes& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

void PutXing(Bytes& out, std::size_t at, const char* id, std::uint32_t flags,
             std::uint32_t frames) {
    std::memcpy(out.data() + at, id, 4);
    PutBigEndian(out, at + 4, flags);
    PutBigEndian(out, at + 8, frames);
}

void PutVbri(Bytes& out, std::size_t frameStart, std::uint32_t frames) {
    std::memcpy(out.data() + frameStart + 36, "VBRI", 4);
    PutBigEndian(out, frameStart + 50, frames);
}

struct Analysis {
    TAudioError result;
    TMpegInfo info;
};

Analysis Analyse(const Bytes& bytes, TMpegScanMode mode, std::int64_t start = 0) {
    Analysis analysis{0, {}};
    analysis.info.SetMpegScanMode(mode);
    TMemoryStream stream(bytes);
    stream.Seek(start);
    analysis.result = analysis.info.LoadFromStream(stream);
    return analysis;
}

// A LAME-style stream: a tag frame at 0 that counts the 100 frames behind it.
Bytes TaggedStream(const char* id) {
    Bytes s;
    AppendFrames(s, k128, 417, 101);
    PutXing(s, 36, id, 0x0F, 100);
    return s;
}

TEST(FrameHeader, FrameLengthsOfTheStandardExamples) {
    EXPECT_EQ(Decode(k128).framelength, 417);
    EXPECT_EQ(Decode(Header(kMpeg1, kLayer3, 9, 0, true)).framelength, 418);
    EXPECT_EQ(Decode(Header(kMpeg2, kLayer3, 8, 0)).framelength, 208);
    EXPECT_EQ(Decode(Header(kMpeg1, kLayer1, 1, 2)).framelength, 48);
    EXPECT_EQ(Decode(Header(kMpeg1, kLayer1, 1, 2, true)).framelength, 52);
    EXPECT_EQ(Decode(Header(kMpeg25, kLayer3, 1, 2)).framelength, 72);
    EXPECT_EQ(ComputeFrameLength(1, 3, 128, 44100, 1), 418);
    EXPECT_EQ(ComputeFrameLength(2, 3, 64, 22050, 0), 208);
    EXPECT_EQ(ComputeFrameLength(1, 1, 32, 32000, 1), 52);
    EXPECT_EQ(ComputeFrameLength(3, 2, 160, 8000, 1), 2881);
    EXPECT_EQ(ComputeFrameLength(1, 3, 128, 0, 0), -2);
}

TEST(FrameHeader, BitrateAndSampleRateTablesByVersionAndLayer) {
    // Index 12 differs in every row of the bitrate table.
    EXPECT_EQ(Decode(Header(kMpeg1, kLayer1, 12, 0)).bitrate, 384);
    EXPECT_EQ(Decode(Header(kMpeg1, kLayer2, 12, 0, false, kStereo)).bitrate, 256);
    EXPECT_EQ(Decode(Header(kMpeg1, kLayer3, 12, 0)).bitrate, 224);
    EXPECT_EQ(Decode(Header(kMpeg2, kLayer1, 12, 0)).bitrate, 192);
    EXPECT_EQ(Decode(Header(kMpeg25, kLayer1, 12, 0)).bitrate, 192);
    EXPECT_EQ(Decode(Header(kMpeg2, kLayer2, 12, 0)).bitrate, 128);
    EXPECT_EQ(Decode(Header(kMpeg25, kLayer3, 12, 0)).bitrate, 128);
    EXPECT_EQ(Decode(Header(kMpeg2, kLayer1, 9, 0)).framelength, 312); // (78 + 0) * 4
    const int rates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
    const int versions[3] = {kMpeg1, kMpeg2, kMpeg25};
    for (int v = 0; v < 3; ++v) {
        for (int index = 0; index < 3; ++index) {
            EXPECT_EQ(Decode(Header(versions[v], kLayer3, 9, index)).samplerate, rates[v][index]);
        }
    }
}

TEST(FrameHeader, DecodesEveryField) {
    // MPEG-2 Layer III with CRC, 40 kbit/s, 24000 Hz, padding, dual channel, extension 3,
    // copyright, original, emphasis 1.
    const std::uint8_t bytes[4] = {0xFF, 0xF2, 0x56, 0xBD};
    const TMpegHeader h = DecodeFrameHeader(bytes);
    EXPECT_TRUE(h.valid);
    EXPECT_EQ(h.version, 2);
    EXPECT_EQ(h.layer, 3);
    EXPECT_TRUE(h.protection);
    EXPECT_EQ(h.bitrate, 40);
    EXPECT_EQ(h.samplerate, 24000);
    EXPECT_TRUE(h.padding);
    EXPECT_EQ(h.channelmode, 2);
    EXPECT_EQ(h.extension, 3);
    EXPECT_TRUE(h.copyright);
    EXPECT_TRUE(h.original);
    EXPECT_EQ(h.emphasis, 1);
    EXPECT_EQ(h.framelength, 121);
    EXPECT_FALSE(Decode(k128).protection);
}

TEST(FrameHeader, LayerIIRefusesTheBitrateModePairsTheStandardForbids) {
    EXPECT_FALSE(Decode(Header(kMpeg1, kLayer2, 1, 0, false, kStereo)).valid);  // 32 stereo
    EXPECT_TRUE(Decode(Header(kMpeg1, kLayer2, 1, 0, false, kMono)).valid);     // 32 mono
    EXPECT_FALSE(Decode(Header(kMpeg1, kLayer2, 5, 0, false, kJoint)).valid);   // 80 joint
    EXPECT_FALSE(Decode(Header(kMpeg1, kLayer2, 11, 0, false, kMono)).valid);   // 224 mono
    EXPECT_TRUE(Decode(Header(kMpeg1, kLayer2, 11, 0, false, kStereo)).valid);  // 224 stereo
    EXPECT_FALSE(Decode(Header(kMpeg1, kLayer2, 14, 0, false, kMono)).valid);   // 384 mono
    EXPECT_FALSE(Decode(Header(kMpeg2, kLayer2, 4, 0, false, kStereo)).valid);  // 32 stereo
    EXPECT_FALSE(Decode(Header(kMpeg25, kLayer2, 9, 0, false, kStereo)).valid); // 80 stereo
    EXPECT_TRUE(Decode(Header(kMpeg2, kLayer2, 4, 0, false, kMono)).valid);
    EXPECT_TRUE(Decode(Header(kMpeg1, kLayer3, 1, 0, false, kStereo)).valid); // Layer III
}

TEST(FrameHeader, ReservedValuesAndMissingSyncAreInvalid) {
    EXPECT_FALSE(Decode(Header(kMpeg1, kLayer3, 15, 0)).valid);
    const TMpegHeader noRate = Decode(Header(kMpeg1, kLayer3, 9, 3));
    EXPECT_FALSE(noRate.valid);
    EXPECT_EQ(noRate.samplerate, 0);
    EXPECT_EQ(noRate.framelength, 0xFFFF);
    EXPECT_FALSE(Decode(Header(1, kLayer3, 9, 0)).valid); // version bits 01
    EXPECT_FALSE(Decode(Header(kMpeg1, 0, 9, 0)).valid);  // layer bits 00
    EXPECT_FALSE(Decode({0xFF, 0xDF, 0x90, 0x40}).valid);
    EXPECT_FALSE(Decode({0xFE, 0xFB, 0x90, 0x40}).valid);
}

TEST(FrameHeader, FreeFormatIsValidOnlyWithItsPaddingByte) {
    const TMpegHeader unpadded = Decode(Header(kMpeg1, kLayer3, 0, 0));
    EXPECT_FALSE(unpadded.valid);
    EXPECT_EQ(unpadded.bitrate, 0);
    EXPECT_EQ(unpadded.framelength, 0xFFFF);
    const TMpegHeader padded = Decode(Header(kMpeg1, kLayer3, 0, 0, true));
    EXPECT_TRUE(padded.valid);
    EXPECT_EQ(padded.framelength, 1);
    EXPECT_EQ(Decode(kFreeFormat).framelength, 4);
}

TEST(VbrTags, XingSitsBehindTheSideInformation) {
    struct Case {
        int versionBits, channelmode;
        std::size_t offset;
    };
    for (const Case c :
         {Case{kMpeg1, kJoint, 36}, Case{kMpeg1, kMono, 21}, Case{kMpeg2, kStereo, 21},
          Case{kMpeg2, kMono, 13}, Case{kMpeg25, kMono, 13}}) {
        const TMpegHeader h = Decode(Header(c.versionBits, kLayer3, 5, 0, false, c.channelmode));
        Bytes frame(64, 0);
        PutXing(frame, c.offset, "Xing", 1, 100);
        const TVbrTagInfo tag = FindXingTag(h, frame);
        EXPECT_TRUE(tag.Found) << c.offset;
        EXPECT_TRUE(tag.IsXing);
        EXPECT_EQ(tag.Frames, 100);
        EXPECT_EQ(tag.TagFrameLength, h.framelength);
        Bytes shifted(64, 0);
        PutXing(shifted, c.offset + 1, "Xing", 1, 100);
        EXPECT_FALSE(FindXingTag(h, shifted).Found);
    }
}

TEST(VbrTags, XingFlagsAndCounts) {
    const TMpegHeader h = Decode(k128);
    Bytes frame(54, 0);
    PutXing(frame, 36, "Info", 0x0F, 7);
    TVbrTagInfo tag = FindXingTag(h, frame);
    EXPECT_TRUE(tag.Found);
    EXPECT_FALSE(tag.IsXing);
    EXPECT_FALSE(tag.Empty);

    PutXing(frame, 36, "Xing", 0x0E, 7); // no frame-count flag
    tag = FindXingTag(h, frame);
    EXPECT_FALSE(tag.Found);
    EXPECT_TRUE(tag.Empty);
    EXPECT_EQ(tag.Frames, 0);

    PutXing(frame, 36, "Xing", 0x01, 0);
    EXPECT_TRUE(FindXingTag(h, frame).Empty);

    PutXing(frame, 36, "Xing", 0x01, 0x80000000u); // negative: no tag at all
    tag = FindXingTag(h, frame);
    EXPECT_FALSE(tag.Found);
    EXPECT_FALSE(tag.Empty);

    PutXing(frame, 36, "Xing", 0x01, 5);
    tag = FindXingTag(h, std::span<const std::uint8_t>(frame).first(47)); // cut short
    EXPECT_FALSE(tag.Found);
    EXPECT_FALSE(tag.Empty);
}

TEST(VbrTags, VbriAtByte36NeedsFiftyFourBytes) {
    const TMpegHeader h = Decode(k128);
    Bytes frame(54, 0);
    PutVbri(frame, 0, 5);
    TVbrTagInfo tag = FindVbriTag(h, frame);
    EXPECT_TRUE(tag.Found);
    EXPECT_TRUE(tag.IsXing);
    EXPECT_EQ(tag.Frames, 5);
    EXPECT_EQ(tag.TagFrameLength, 417);
    PutVbri(frame, 0, 0);
    EXPECT_TRUE(FindVbriTag(h, frame).Found); // any count; the derivation judges it
    tag = FindVbriTag(h, std::span<const std::uint8_t>(frame).first(53));
    EXPECT_FALSE(tag.Found);
    EXPECT_TRUE(tag.IsXing);
    frame[36] = 'v';
    EXPECT_FALSE(FindVbriTag(h, frame).Found);
}

TEST(FirstFrameSearch, NeedsTwoFramesAndAThirdSync) {
    Bytes s;
    AppendFrames(s, k128, 417, 2);
    s.insert(s.end(), {0xFF, 0xFB});
    EXPECT_EQ(Analyse(s, MPEG_SCAN_Fast).result, MP3ERR_NoMpegFrame); // third sync + 3 past end
    s.push_back(0);
    const Analysis found = Analyse(s, MPEG_SCAN_Fast);
    EXPECT_EQ(found.result, FileErr_None);
    EXPECT_EQ(found.info.FirstHeaderPosition(), 0);
    s[835] = 0xDF;
    EXPECT_EQ(Analyse(s, MPEG_SCAN_Fast).result, MP3ERR_NoMpegFrame);
}

TEST(FirstFrameSearch, TwoFramesThenNoSyncMovesOnByOneByte) {
    Bytes s(2000, 0);
    std::memcpy(s.data(), k128.data(), 4);
    std::memcpy(s.data() + 417, k128.data(), 4); // ... and zeros at 834
    for (std::size_t at : {10, 427, 844}) {      // a genuine run inside the first frame
        std::memcpy(s.data() + at, k128.data(), 4);
    }
    const Analysis a = Analyse(s, MPEG_SCAN_Fast);
    EXPECT_EQ(a.result, FileErr_None);
    EXPECT_EQ(a.info.FirstHeaderPosition(), 10);
    EXPECT_EQ(a.info.Frames(), (2000 - 10) / 417);
}

TEST(FirstFrameSearch, StartsAtTheStreamPositionAndSearchesPastJunk) {
    Bytes s;
    AppendFrames(s, k128, 417, 5);
    const Analysis fromSecond = Analyse(s, MPEG_SCAN_Fast, 417);
    EXPECT_EQ(fromSecond.info.FirstHeaderPosition(), 417);
    EXPECT_EQ(fromSecond.info.Filesize(), 5 * 417);
    EXPECT_EQ(fromSecond.info.Frames(), 4);

    Bytes junk(10000);
    for (std::size_t i = 0; i < junk.size(); ++i) {
        junk[i] = static_cast<std::uint8_t>((i * 37 + i / 7) & 0x7F); // never a sync
    }
    junk.insert(junk.end(), s.begin(), s.end());
    EXPECT_EQ(Analyse(junk, MPEG_SCAN_Fast).info.FirstHeaderPosition(), 10000);
}

TEST(FirstFrameSearch, ShortOrSynclessStreamsHaveNoFrame) {
    const Bytes cases[] = {{}, {0xFF, 0xFB, 0x90}, Bytes(100000, 0xFF), Bytes(5000, 0)};
    for (const Bytes& s : cases) {
        const Analysis a = Analyse(s, MPEG_SCAN_Complete);
        EXPECT_EQ(a.result, MP3ERR_NoMpegFrame) << s.size();
        EXPECT_FALSE(a.info.Valid());
        EXPECT_EQ(a.info.FirstHeaderPosition(), -1);
    }
    Bytes s;
    AppendFrames(s, k128, 417, 3);
    EXPECT_EQ(Analyse(s, MPEG_SCAN_Fast, 417 * 3 - 3).result, MP3ERR_NoMpegFrame);
    EXPECT_EQ(Analyse(s, MPEG_SCAN_Fast, 5000).result, MP3ERR_NoMpegFrame);
}

TEST(VbrTagFrames, LameInfoFrameIsTheFirstFrameAndGivesTheCount) {
    const Analysis info = Analyse(TaggedStream("Info"), MPEG_SCAN_Fast);
    EXPECT_EQ(info.result, FileErr_None);
    EXPECT_EQ(info.info.FirstHeaderPosition(), 0);
    EXPECT_EQ(info.info.Frames(), 100);
    EXPECT_FALSE(info.info.Vbr());
    EXPECT_EQ(info.info.Bitrate(), 128); // 44.1 * 41700 / (100 * 144) = 127.7
    EXPECT_EQ(info.info.Dauer(), 3);     // 41700 * 8 / 128000 = 2.6
    EXPECT_TRUE(Analyse(TaggedStream("Xing"), MPEG_SCAN_Fast).info.Vbr());
}

TEST(VbrTagFrames, XingWithoutFrameCountIsSkipped) {
    Bytes s;
    AppendFrames(s, k128, 417, 4);
    PutXing(s, 36, "Xing", 0x0E, 100);
    const Analysis a = Analyse(s, MPEG_SCAN_Fast);
    EXPECT_EQ(a.info.FirstHeaderPosition(), 417);
    EXPECT_EQ(a.info.Frames(), 3);
    EXPECT_FALSE(a.info.Vbr());
}

TEST(VbrTagFrames, CountWithTopBitSetCountsAsNoTag) {
    Bytes s;
    AppendFrames(s, k128, 417, 4);
    PutXing(s, 36, "Xing", 0x01, 0x80000000u);
    const Analysis a = Analyse(s, MPEG_SCAN_Fast);
    EXPECT_EQ(a.info.FirstHeaderPosition(), 0);
    EXPECT_EQ(a.info.Frames(), 4);
    EXPECT_EQ(a.info.Bitrate(), 128);
    EXPECT_FALSE(a.info.Vbr());
}

TEST(VbrTagFrames, VbriFrameNeedsNoFollowingFrame) {
    Bytes s;
    AppendFrames(s, k128, 417);
    s.resize(417 + 16000, 0);
    PutVbri(s, 0, 50);
    const Analysis a = Analyse(s, MPEG_SCAN_Fast);
    EXPECT_EQ(a.result, FileErr_None);
    EXPECT_EQ(a.info.FirstHeaderPosition(), 0);
    EXPECT_TRUE(a.info.Vbr());
    EXPECT_EQ(a.info.Frames(), 50);
    EXPECT_EQ(a.info.Bitrate(), 98); // 44.1 * 16000 / (50 * 144)
    EXPECT_EQ(a.info.Dauer(), 1);
    PutVbri(s, 0, 0); // divides by zero: the frame is dropped
    EXPECT_EQ(Analyse(s, MPEG_SCAN_Fast).result, MP3ERR_NoMpegFrame);
    // A count of -1 is no arithmetic error: -4900 keeps its low 16 bits.
    PutVbri(s, 0, 0xFFFFFFFFu);
    const Analysis negative = Analyse(s, MPEG_SCAN_Fast);
    EXPECT_EQ(negative.result, FileErr_None);
    EXPECT_EQ(negative.info.Frames(), -1);
    EXPECT_EQ(negative.info.Bitrate(), 65536 - 4900);
    EXPECT_EQ(negative.info.Dauer(), 0);
}

// 48 kHz frames of 384 bytes: the tag's bitrate is exactly audio bytes / (3 * frames).
Bytes Tagged48kHzStream(std::size_t audioBytes, std::uint32_t tagFrames) {
    Bytes s;
    AppendFrames(s, k48kHz, 384, 1 + static_cast<int>(audioBytes / 384));
    s.resize(384 + audioBytes, 0);
    PutXing(s, 36, "Xing", 1, tagFrames);
    return s;
}

TEST(TagDerivation, BitrateRoundsHalfToEvenAndKeepsTheLow16Bits) {
    const Analysis half = Analyse(Tagged48kHzStream(7500, 1000), MPEG_SCAN_Fast);
    EXPECT_EQ(half.info.Bitrate(), 2); // 2.5
    EXPECT_EQ(half.info.Dauer(), 30);
    EXPECT_EQ(half.info.Frames(), 1000);
    EXPECT_EQ(Analyse(Tagged48kHzStream(10500, 1000), MPEG_SCAN_Fast).info.Bitrate(), 4); // 3.5
    const Analysis wide = Analyse(Tagged48kHzStream(210000, 1), MPEG_SCAN_Fast);
    EXPECT_EQ(wide.info.Bitrate(), 70000 - 65536);
    EXPECT_EQ(wide.info.Dauer(), 0);
}

TEST(TagDerivation, MpegTwoFramesHoldHalfTheSamples) {
    // MPEG-2 Layer III, 64 kbit/s, 24000 Hz: 192-byte frames, the tag at byte 21.
    constexpr HeaderBytes kMpeg2Frame = Header(kMpeg2, kLayer3, 8, 1);
    Bytes s;
    AppendFrames(s, kMpeg2Frame, 192, 1 + 30000 / 192);
    s.resize(192 + 30000, 0);
    PutXing(s, 21, "Xing", 1, 100);
    const Analysis a = Analyse(s, MPEG_SCAN_Fast);
    EXPECT_EQ(a.info.Version(), 2);
    EXPECT_EQ(a.info.Bitrate(), 100); // 24 * 30000 / (100 * 72)
    EXPECT_EQ(a.info.Dauer(), 2);
    EXPECT_EQ(a.info.Frames(), 100);
}

TEST(TagDerivation, ZeroBitrateDropsTheTagFrame) {
    const Analysis a = Analyse(Tagged48kHzStream(7500, 100000), MPEG_SCAN_Fast); // 0.025
    EXPECT_EQ(a.result, FileErr_None);
    EXPECT_EQ(a.info.FirstHeaderPosition(), 384);
    EXPECT_EQ(a.info.Bitrate(), 128);
    EXPECT_EQ(a.info.Frames(), 7500 / 384);
    EXPECT_FALSE(a.info.Vbr());
}

TEST(FrameDerivation, PlainFrameUsesItsBitrateAndTheByteCount) {
    Bytes s;
    AppendFrames(s, k128, 417, 1000);
    s.resize(s.size() + 100, 0);
    const Analysis a = Analyse(s, MPEG_SCAN_Fast);
    EXPECT_EQ(a.info.Frames(), 1000);
    EXPECT_EQ(a.info.Bitrate(), 128);
    EXPECT_EQ(a.info.Dauer(), 26); // 417100 * 8 / 128000 = 26.07
    EXPECT_EQ(a.info.Samplerate(), 44100);
    EXPECT_EQ(a.info.Layer(), 3);
    EXPECT_EQ(a.info.Version(), 1);
    EXPECT_EQ(a.info.Channelmode(), kJoint);
}

TEST(FrameDerivation, FreeFormatFramesAreDropped) {
    Bytes s;
    AppendFrames(s, kFreeFormat, 4, 1000);
    EXPECT_EQ(Analyse(s, MPEG_SCAN_Fast).result, MP3ERR_NoMpegFrame);
    AppendFrames(s, k128, 417, 3);
    EXPECT_EQ(Analyse(s, MPEG_SCAN_Fast).info.FirstHeaderPosition(), 4000);
}

TEST(ScanModes, SmartWalksOnlyLowBitrates) {
    Bytes low;
    AppendFrames(low, k32, 104, 100);
    low.resize(low.size() + 1000, 0);
    EXPECT_EQ(Analyse(low, MPEG_SCAN_Fast).info.Frames(), 11400 / 104);
    const Analysis smartLow = Analyse(low, MPEG_SCAN_Smart);
    EXPECT_EQ(smartLow.info.Frames(), 100);
    EXPECT_EQ(smartLow.info.Dauer(), 2); // 11400 * 8 / 32000 = 2.85

    Bytes high;
    AppendFrames(high, k128, 417, 100);
    high.resize(high.size() + 5000, 0);
    EXPECT_EQ(Analyse(high, MPEG_SCAN_Smart).info.Frames(), 46700 / 417);
    EXPECT_EQ(Analyse(high, MPEG_SCAN_Complete).info.Frames(), 100);
}

TEST(ScanModes, CompleteWalkReplacesTheTagValues) {
    const Analysis a = Analyse(TaggedStream("Xing"), MPEG_SCAN_Complete);
    EXPECT_EQ(a.info.FirstHeaderPosition(), 0);
    EXPECT_EQ(a.info.Frames(), 101); // the tag frame is walked as an ordinary frame
    EXPECT_EQ(a.info.Bitrate(), 128);
    EXPECT_FALSE(a.info.Vbr());
    EXPECT_EQ(a.info.Dauer(), 2); // 42117 * 8 / 128000 = 2.6, truncated
}

TEST(ScanModes, CompleteOnAMillionByteCbrStream) {
    Bytes s;
    AppendFrames(s, k128, 417, 1000000 / 417);
    s.resize(1000000, 0);
    const Analysis a = Analyse(s, MPEG_SCAN_Complete);
    EXPECT_EQ(a.result, FileErr_None);
    EXPECT_EQ(a.info.Bitrate(), 128);
    EXPECT_EQ(a.info.Dauer(), 62);
    EXPECT_FALSE(a.info.Vbr());
    EXPECT_EQ(a.info.Frames(), 2398);
}

TEST(ScanModes, AverageOfSixteenFramesRoundsHalfToEven) {
    for (const int lowFrame : {7, 15}) {
        Bytes s;
        for (int i = 0; i < 16; ++i) {
            if (i == lowFrame) {
                AppendFrames(s, k40, 130);
            } else {
                AppendFrames(s, k128, 417);
            }
        }
        const Analysis a = Analyse(s, MPEG_SCAN_Complete);
        EXPECT_EQ(a.info.Frames(), 16);
        EXPECT_EQ(a.info.Bitrate(), 122) << lowFrame; // 1960 / 16 = 122.5
        EXPECT_EQ(a.info.Vbr(), lowFrame == 7) << lowFrame;
    }
}

TEST(ScanModes, WalkOfFreeFormatFramesReportsDivisionByZero) {
    // Free-format 4-byte frames; the first carries a Xing count, which gives the tag
    // derivation a bitrate, while the walk over the nine frames before the tag averages 0.
    Bytes s;
    AppendFrames(s, kFreeFormat, 4, 250);
    PutXing(s, 36, "Xing", 1, 100);
    const Analysis fast = Analyse(s, MPEG_SCAN_Fast);
    EXPECT_EQ(fast.result, FileErr_None);
    EXPECT_EQ(fast.info.Bitrate(), 3); // 44.1 * 996 / 14400 = 3.05
    EXPECT_EQ(fast.info.Dauer(), 3);

    const Analysis complete = Analyse(s, MPEG_SCAN_Complete);
    EXPECT_EQ(complete.result, FileErr_Unknown);
    EXPECT_EQ(complete.info.LastExceptionMessage(), "Division durch Null");
    EXPECT_TRUE(complete.info.Valid());
    EXPECT_EQ(complete.info.FirstHeaderPosition(), 0);
    EXPECT_EQ(complete.info.Frames(), 9);
    EXPECT_EQ(complete.info.Bitrate(), 0);
    EXPECT_FALSE(complete.info.Vbr());
    EXPECT_EQ(complete.info.Dauer(), 3); // left as the tag gave it
}

TEST(MpegInfoState, StartsZeroInSmartMode) {
    const TMpegInfo info;
    EXPECT_EQ(info.MpegScanMode(), MPEG_SCAN_Smart);
    EXPECT_EQ(info.Filesize(), 0);
    EXPECT_EQ(info.FirstHeaderPosition(), 0);
    EXPECT_FALSE(info.Valid());
    EXPECT_EQ(info.Bitrate(), 0);
    EXPECT_EQ(info.Duration(), 0);
}

TEST(MpegInfoState, AFailedSearchResetsOnlyValidityPositionSizeAndMessage) {
    Bytes s;
    AppendFrames(s, kFreeFormat, 4, 250);
    PutXing(s, 36, "Xing", 1, 100);
    TMpegInfo info;
    info.SetMpegScanMode(MPEG_SCAN_Complete);
    TMemoryStream first(s);
    ASSERT_EQ(info.LoadFromStream(first), FileErr_Unknown);

    TMemoryStream tiny(Bytes{1, 2, 3});
    EXPECT_EQ(info.LoadFromStream(tiny), MP3ERR_NoMpegFrame);
    EXPECT_FALSE(info.Valid());
    EXPECT_EQ(info.FirstHeaderPosition(), -1);
    EXPECT_EQ(info.Filesize(), 3);
    EXPECT_EQ(info.LastExceptionMessage(), "");
    EXPECT_EQ(info.Samplerate(), 44100); // the rest stays from the stream before
    EXPECT_EQ(info.Frames(), 9);
    EXPECT_EQ(info.Dauer(), 3);
}

TEST(MpegInfoFile, MissingFileOrFolderIsNoFile) {
    test::TempDir dir;
    TMpegInfo info;
    EXPECT_EQ(info.LoadFromFile(dir / "missing.mp3"), FileErr_NoFile);
    EXPECT_EQ(info.LoadFromFile(dir.Path()), FileErr_NoFile);
}

TEST(MpegInfoFile, FileThatCannotBeOpenedIsAnOpenError) {
    test::TempDir dir;
    const std::string path = (dir / "socket.mp3").string();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(address.sun_path));
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    TMpegInfo info;
    EXPECT_EQ(info.LoadFromFile(path), FileErr_FileOpenR);
    EXPECT_NE(info.LastExceptionMessage(), "");
    ::close(fd);
}

TEST(MpegInfoFile, AnalysesTheFileFromOffsetZero) {
    test::TempDir dir;
    Bytes s(3, 0);
    AppendFrames(s, k128, 417, 20);
    test::WriteFileBytes(dir / "a.mp3", s);
    TMpegInfo info;
    info.SetMpegScanMode(MPEG_SCAN_Complete);
    EXPECT_EQ(info.LoadFromFile(dir / "a.mp3"), FileErr_None);
    EXPECT_EQ(info.FirstHeaderPosition(), 3);
    EXPECT_EQ(info.Frames(), 20);
    EXPECT_EQ(info.Filesize(), 3 + 20 * 417);
}

} // namespace
} // namespace lorvane
