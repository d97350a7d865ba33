// The bounded reads of the analyser give what reading everything at once gives: the frame
// walk against a whole-buffer reference walk, and the first-frame search with windows of
// every size against a window that holds the whole stream (every offset examined directly).

#include "audio/MpegFrameWalk.h"
#include "audio/MpegFrames.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string_view>
#include <vector>

namespace lorvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Reads stop at cutAt while Size() still reports every byte, as when a file shrinks
// during the analysis.
class TCutStream : public TMemoryStream {
public:
    TCutStream(std::vector<std::uint8_t> bytes, std::int64_t cutAt)
        : TMemoryStream(std::move(bytes)), fCutAt(cutAt) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        const std::int64_t left = std::max<std::int64_t>(fCutAt - Position(), 0);
        return TMemoryStream::Read(buffer, std::min<std::size_t>(count, left));
    }

private:
    std::int64_t fCutAt;
};

// The walk as the straightforward whole-buffer loop: one read of everything to the end.
TFrameWalkTotals ReferenceWalk(TStream& stream, std::int64_t start) {
    TFrameWalkTotals totals;
    if (start >= stream.Size()) {
        return totals;
    }
    Bytes rest(static_cast<std::size_t>(stream.Size() - start));
    stream.Seek(start);
    rest.resize(stream.Read(rest.data(), rest.size()));
    std::int32_t previous = 0;
    for (std::size_t at = 0; at + 4 <= rest.size();) {
        const TMpegHeader h = DecodeFrameHeader(rest.data() + at);
        if (!h.valid) {
            break;
        }
        ++totals.Frames;
        totals.BitrateSum += h.bitrate;
        totals.BitrateChanges += h.bitrate != previous ? 1 : 0;
        previous = h.bitrate;
        at += h.framelength;
    }
    return totals;
}

// Valid headers of many lengths: 4 (free format, Layer I) up to 2881 (MPEG-2.5 Layer II).
const std::array<std::array<std::uint8_t, 4>, 10> kHeaders = {{
    {0xFF, 0xFB, 0x90, 0x40}, // MPEG-1 III 128k, 417
    {0xFF, 0xFB, 0x92, 0x40}, // ... padded, 418
    {0xFF, 0xFB, 0x20, 0x40}, // MPEG-1 III 40k, 130
    {0xFF, 0xFB, 0xE0, 0x00}, // MPEG-1 III 320k, 1044
    {0xFF, 0xF3, 0x80, 0xC0}, // MPEG-2 III 64k mono, 208
    {0xFF, 0xE3, 0x18, 0xC0}, // MPEG-2.5 III 8k 8000 Hz, 72
    {0xFF, 0xE5, 0xEA, 0x00}, // MPEG-2.5 II 160k 8000 Hz padded, 2881
    {0xFF, 0xFF, 0x18, 0xC0}, // MPEG-1 I 32k 32000 Hz, 48
    {0xFF, 0xFF, 0x02, 0x00}, // MPEG-1 I free format padded, 4
    {0xFF, 0xFD, 0xA4, 0x00}, // MPEG-1 II 192k 48000 Hz, 576
}};

void AppendFrame(Bytes& out, const std::array<std::uint8_t, 4>& header, std::mt19937& random) {
    const std::size_t length = DecodeFrameHeader(header.data()).framelength;
    const std::size_t start = out.size();
    out.resize(start + length);
    std::memcpy(out.data() + start, header.data(), 4);
    for (std::size_t i = start + 4; i < out.size(); ++i) {
        out[i] = static_cast<std::uint8_t>(random() & 0x7F);
    }
}

void AppendJunk(Bytes& out, std::size_t count, std::mt19937& random) {
    for (std::size_t i = 0; i < count; ++i) {
        // Many 0xFF bytes, so that the junk is full of near-syncs.
        out.push_back(random() % 3 == 0 ? 0xFF : static_cast<std::uint8_t>(random()));
    }
}

void PutTagInFrame(Bytes& out, std::size_t frameStart, std::mt19937& random) {
    if (frameStart + 54 > out.size()) {
        return;
    }
    static const char* const kIds[] = {"Xing", "Info", "VBRI"};
    const char* id = kIds[random() % 3];
    const std::size_t at = id[0] == 'V' ? 36 : std::array<std::size_t, 3>{36, 21, 13}[random() % 3];
    std::memcpy(out.data() + frameStart + at, id, 4);
    const std::uint32_t values[] = {
        0, 1, 0x0F, 0x80000000u, 0xFFFFFFFFu, static_cast<std::uint32_t>(random() % 5000)};
    for (std::size_t field = 4; field < 20 && frameStart + at + field + 4 <= out.size();
         field += 4) {
        const std::uint32_t v = values[random() % 6];
        for (int b = 0; b < 4; ++b) {
            out[frameStart + at + field + b] = static_cast<std::uint8_t>(v >> (24 - 8 * b));
        }
    }
}

// Junk, decoys and runs of frames, some with VBR tags, some cut short.
Bytes GeneratedStream(unsigned seed) {
    std::mt19937 random(seed);
    Bytes out;
    const int pieces = 1 + static_cast<int>(random() % 6);
    for (int piece = 0; piece < pieces; ++piece) {
        AppendJunk(out, random() % 3 == 0 ? 4090 + random() % 12 : random() % 300, random);
        const int frames = static_cast<int>(random() % 40);
        const auto& header = kHeaders[random() % kHeaders.size()];
        for (int i = 0; i < frames; ++i) {
            const std::size_t frameStart = out.size();
            AppendFrame(out, random() % 4 == 0 ? kHeaders[random() % kHeaders.size()] : header,
                        random);
            if (random() % 8 == 0) {
                PutTagInFrame(out, frameStart, random);
            }
        }
    }
    out.resize(out.size() - std::min<std::size_t>(out.size(), random() % 600));
    return out;
}

void ExpectSameTotals(const TFrameWalkTotals& actual, const TFrameWalkTotals& expected,
                      const std::string& label) {
    EXPECT_EQ(actual.Frames, expected.Frames) << label;
    EXPECT_EQ(actual.BitrateSum, expected.BitrateSum) << label;
    EXPECT_EQ(actual.BitrateChanges, expected.BitrateChanges) << label;
}

constexpr std::size_t kBufferSizes[] = {4, 5, 7, 64, 417, 419, 1000, 4099, std::size_t{1} << 20};

TEST(FrameWalk, HeaderStraddlingTheBufferEndIsReadWhole) {
    Bytes s;
    std::mt19937 random(1);
    for (int i = 0; i < 50; ++i) {
        AppendFrame(s, kHeaders[0], random); // 417 bytes: the second header straddles 419
    }
    TMemoryStream stream(s);
    const TFrameWalkTotals totals = WalkFrameHeaders(stream, 0, stream.Size(), 419);
    EXPECT_EQ(totals.Frames, 50);
    EXPECT_EQ(totals.BitrateSum, 50 * 128);
    EXPECT_EQ(totals.BitrateChanges, 1);
}

TEST(FrameWalk, BoundedBufferGivesTheWholeBufferResult) {
    for (unsigned seed = 0; seed < 60; ++seed) {
        const Bytes s = GeneratedStream(seed);
        TMemoryStream stream(s);
        std::mt19937 random(seed);
        for (int start = 0; start < 3; ++start) {
            // From the beginning, where most streams have a frame, and from anywhere.
            const std::int64_t from =
                start == 0 || s.empty() ? 0 : static_cast<std::int64_t>(random() % s.size());
            const TFrameWalkTotals expected = ReferenceWalk(stream, from);
            for (std::size_t size : kBufferSizes) {
                ExpectSameTotals(WalkFrameHeaders(stream, from, stream.Size(), size), expected,
                                 "seed " + std::to_string(seed) + " buffer " +
                                     std::to_string(size));
            }
        }
    }
}

TEST(FrameWalk, ReadThatComesUpShortEndsTheData) {
    Bytes s;
    std::mt19937 random(2);
    for (int i = 0; i < 40; ++i) {
        AppendFrame(s, kHeaders[i % 4], random);
    }
    for (std::int64_t cut : {0, 3, 417, 419, 420, 421, 5000, 9000}) {
        TCutStream stream(s, cut);
        const TFrameWalkTotals expected = ReferenceWalk(stream, 0);
        for (std::size_t size : kBufferSizes) {
            ExpectSameTotals(WalkFrameHeaders(stream, 0, stream.Size(), size), expected,
                             "cut " + std::to_string(cut) + " buffer " + std::to_string(size));
        }
    }
}

struct Outcome {
    TAudioError result;
    TMpegInfo info;
};

Outcome Analyse(TStream& stream, TMpegScanMode mode, std::int64_t start, std::size_t window,
                std::size_t walkBuffer) {
    Outcome outcome{0, {}};
    outcome.info.SetMpegScanMode(mode);
    outcome.info.SetReadSizes(window, walkBuffer);
    stream.Seek(start);
    outcome.result = outcome.info.LoadFromStream(stream);
    return outcome;
}

void ExpectSameOutcome(const Outcome& a, const Outcome& b, const std::string& label) {
    EXPECT_EQ(a.result, b.result) << label;
    EXPECT_EQ(a.info.Valid(), b.info.Valid()) << label;
    EXPECT_EQ(a.info.FirstHeaderPosition(), b.info.FirstHeaderPosition()) << label;
    EXPECT_EQ(a.info.Version(), b.info.Version()) << label;
    EXPECT_EQ(a.info.Layer(), b.info.Layer()) << label;
    EXPECT_EQ(a.info.Samplerate(), b.info.Samplerate()) << label;
    EXPECT_EQ(a.info.Channelmode(), b.info.Channelmode()) << label;
    EXPECT_EQ(a.info.Bitrate(), b.info.Bitrate()) << label;
    EXPECT_EQ(a.info.Frames(), b.info.Frames()) << label;
    EXPECT_EQ(a.info.Dauer(), b.info.Dauer()) << label;
    EXPECT_EQ(a.info.Vbr(), b.info.Vbr()) << label;
    EXPECT_EQ(a.info.LastExceptionMessage(), b.info.LastExceptionMessage()) << label;
}

constexpr std::size_t kWholeStream = std::size_t{1} << 30; // never refilled

TEST(FirstFrameSearchWindow, EveryWindowSizeFindsWhatDirectExaminationFinds) {
    int found = 0;
    for (unsigned seed = 0; seed < 80; ++seed) {
        const Bytes s = GeneratedStream(seed);
        TMemoryStream stream(s);
        const std::int64_t start = seed % 5 == 0 && !s.empty() ? seed % s.size() : 0;
        for (TMpegScanMode mode : {MPEG_SCAN_Fast, MPEG_SCAN_Complete}) {
            const Outcome direct = Analyse(stream, mode, start, kWholeStream, kWholeStream);
            found += direct.info.Valid() ? 1 : 0;
            for (std::size_t window : {1, 3, 4, 53, 54, 417, 4096}) {
                ExpectSameOutcome(Analyse(stream, mode, start, window, 7), direct,
                                  "seed " + std::to_string(seed) + " window " +
                                      std::to_string(window));
            }
        }
    }
    EXPECT_GT(found, 40); // the generated streams do hold frames
}

TEST(FirstFrameSearchWindow, LongFramesGrowTheWindow) {
    // Two 2881-byte frames put the third sync 5762 bytes behind the candidate.
    Bytes s(4000, 0);
    std::mt19937 random(3);
    for (int i = 0; i < 3; ++i) {
        AppendFrame(s, kHeaders[6], random);
    }
    TMemoryStream stream(s);
    const Outcome windowed = Analyse(stream, MPEG_SCAN_Fast, 0, 4096, 7);
    EXPECT_EQ(windowed.info.FirstHeaderPosition(), 4000);
    EXPECT_EQ(windowed.info.Samplerate(), 8000);
    ExpectSameOutcome(windowed, Analyse(stream, MPEG_SCAN_Fast, 0, kWholeStream, 7), "grown");
}

TEST(FirstFrameSearchWindow, ReadThatComesUpShortEndsTheSearch) {
    Bytes s(5000, 0);
    std::mt19937 random(4);
    for (int i = 0; i < 20; ++i) {
        AppendFrame(s, kHeaders[0], random);
    }
    for (std::int64_t cut : {5000, 5834, 5837, 6000, 20000}) {
        TCutStream stream(s, cut);
        const Outcome direct = Analyse(stream, MPEG_SCAN_Complete, 0, kWholeStream, kWholeStream);
        EXPECT_EQ(direct.info.Valid(), cut >= 5837) << cut;
        for (std::size_t window : {1, 4, 100, 4096}) {
            ExpectSameOutcome(Analyse(stream, MPEG_SCAN_Complete, 0, window, 5), direct,
                              "cut " + std::to_string(cut) + " window " + std::to_string(window));
        }
    }
}

// Where a part may end so that every frame stays whole, and which first frame is the
// encoder's tag rather than audio: 417-byte frames of MPEG-1 Layer III at 128 kbit/s.
TEST(FrameBoundaries, CutsMoveToTheNextFrameStartAndTagFramesAreFound) {
    const std::array<std::uint8_t, 4> header = {0xFF, 0xFB, 0x90, 0x00};
    const auto frames = [&](int count) {
        Bytes bytes(static_cast<std::size_t>(count) * 417, 0x11);
        for (int i = 0; i < count; ++i) {
            std::copy(header.begin(), header.end(), bytes.begin() + i * 417);
        }
        return bytes;
    };
    Bytes beschaedigt = frames(10);
    beschaedigt[5 * 417] = 0x00; // the sixth header is broken
    const struct {
        const char* Fall;
        Bytes Daten;
        std::int64_t Start, Ziel, Erwartet;
    } faelle[] = {
        {"target at the start", frames(10), 0, 0, 0},
        {"target on a boundary", frames(10), 0, 2 * 417, 2 * 417},
        {"target inside a frame", frames(10), 0, 2 * 417 + 1, 3 * 417},
        {"walk from a later frame", frames(10), 4 * 417, 4 * 417 + 300, 5 * 417},
        {"target in the last frame", frames(10), 0, 9 * 417 + 5, 10 * 417},
        {"broken header before the target", beschaedigt, 0, 7 * 417 + 9, 7 * 417 + 9},
        {"broken header behind the target", beschaedigt, 0, 3 * 417 + 9, 4 * 417},
        {"small buffer", frames(10), 0, 6 * 417 + 2, 7 * 417},
    };
    for (const auto& fall : faelle) {
        TMemoryStream stream(fall.Daten);
        const std::size_t puffer = std::string_view(fall.Fall) == "small buffer" ? 5 : 1 << 16;
        EXPECT_EQ(FrameStartAtOrAfter(stream, fall.Start, stream.Size(), fall.Ziel, puffer),
                  fall.Erwartet)
            << fall.Fall;
    }
    // By playing time: MPEG-1 Layer III frames of 1152 samples each.
    const struct {
        std::int64_t Start, Sample, Erwartet;
    } zeiten[] = {{0, 0, 0},
                  {0, 1, 417},
                  {0, 1152, 417},
                  {0, 1153, 2 * 417},
                  {3 * 417, 1152, 4 * 417},
                  {0, 11 * 1152, 10 * 417}};
    for (const auto& zeit : zeiten) {
        TMemoryStream stream(frames(10));
        EXPECT_EQ(FrameStartAtSample(stream, zeit.Start, stream.Size(), zeit.Sample, 7),
                  zeit.Erwartet)
            << zeit.Sample;
    }

    Bytes info = frames(3);
    std::memcpy(info.data() + 36, "Info", 4);
    Bytes vbri = frames(3);
    std::memcpy(vbri.data() + 36, "VBRI", 4);
    const struct {
        const char* Fall;
        Bytes Daten;
        std::int64_t Erwartet;
    } tags[] = {{"Info", info, 417},
                {"VBRI", vbri, 417},
                {"audio", frames(3), 0},
                {"too short", Bytes(header.begin(), header.begin() + 3), 0}};
    for (const auto& tag : tags) {
        TMemoryStream stream(tag.Daten);
        EXPECT_EQ(VbrTagFrameLength(stream, 0, stream.Size()), tag.Erwartet) << tag.Fall;
    }

    // The encoder delay of the LAME extension behind the tag's optional fields: 576
    // samples, padding 1234.
    const auto lame = [&](const char* id, std::uint8_t flags, const char* name) {
        Bytes bytes = frames(2);
        std::memcpy(bytes.data() + 36, id, 4);
        bytes[36 + 7] = flags;
        std::size_t erweiterung = 36 + 8;
        for (const auto& [flag, laenge] : {std::pair{1, 4}, {2, 4}, {4, 100}, {8, 4}}) {
            erweiterung += (flags & flag) != 0 ? static_cast<std::size_t>(laenge) : 0;
        }
        std::memcpy(bytes.data() + erweiterung, name, 4);
        bytes[erweiterung + 21] = 0x24;
        bytes[erweiterung + 22] = 0x04;
        bytes[erweiterung + 23] = 0xD2;
        return bytes;
    };
    const struct {
        const char* Fall;
        Bytes Daten;
        std::int32_t Verzoegerung;
    } verzoegerungen[] = {
        {"every field", lame("Info", 0x0F, "LAME"), 576},
        {"frames only, written by ffmpeg", lame("Xing", 0x01, "Lavc"), 576},
        {"no LAME extension", lame("Info", 0x0F, "abcd"), -1},
        {"no tag", frames(2), -1},
        {"cut short", Bytes(header.begin(), header.end()), -1},
    };
    for (const auto& fall : verzoegerungen) {
        TMemoryStream stream(fall.Daten);
        EXPECT_EQ(EncoderDelayAt(stream, 0, stream.Size()), fall.Verzoegerung) << fall.Fall;
    }
}

} // namespace
} // namespace lorvane
