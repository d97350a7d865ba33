#include "audio/MpegFrames.h"

#include "audio/MpegFrameWalk.h"
#include "audio/StreamWindow.h"
#include "audio/VbrTags.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

namespace lorvane {

namespace {

constexpr std::size_t kHeaderBytes = 4;
constexpr std::uint8_t kSingleChannel = 3;
constexpr int kForbiddenBitrateIndex = 15;

// kbit/s by table row and bitrate index 0..15; index 0 (free format) and 15 hold 0.
constexpr std::int32_t kBitrates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0}, // MPEG-1 I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},    // MPEG-1 II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},     // MPEG-1 III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},    // MPEG-2/2.5 I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},         // MPEG-2/2.5 II, III
};

// Hz by version (1..3) and sample-rate index 0..3.
constexpr std::int32_t kSamplerates[4][4] = {
    {0, 0, 0, 0},
    {44100, 48000, 32000, 0},
    {22050, 24000, 16000, 0},
    {11025, 12000, 8000, 0},
};

int BitrateRow(int version, int layer) {
    if (version == 1) {
        return layer - 1;
    }
    return layer == 1 ? 3 : 4;
}

// The standard allows Layer II only with these bitrate/mode pairs.
bool IsAllowedLayerIICombination(std::int32_t bitrate, std::uint8_t channelmode) {
    const bool lowRate = bitrate == 32 || bitrate == 48 || bitrate == 56 || bitrate == 80;
    const bool highRate = bitrate == 224 || bitrate == 256 || bitrate == 320 || bitrate == 384;
    if (lowRate && channelmode != kSingleChannel) {
        return false;
    }
    return !(highRate && channelmode == kSingleChannel);
}

// Rounds to nearest, ties to even; nothing for a value no 64-bit integer can hold
// (the arithmetic error that drops a candidate).
std::optional<std::int64_t> RoundToInt64(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(value);
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (rounded < -kTwoTo63 || rounded >= kTwoTo63) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(rounded);
}

// Stores keep the low bits, as an unchecked assignment to a narrower field does.
std::uint16_t LowBits16(std::int64_t value) {
    return static_cast<std::uint16_t>(value);
}
std::int32_t LowBits32(std::int64_t value) {
    return static_cast<std::int32_t>(value);
}

// Multiplication by 8 that wraps instead of overflowing.
std::int64_t TimesEight(std::int64_t bytes) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(bytes) * 8u);
}

} // namespace

int ComputeFrameLength(int version, int layer, int bitrate, int samplerate, int padding) {
    if (samplerate == 0) {
        return -2;
    }
    const std::int64_t rate = bitrate;
    std::int64_t length = 0;
    if (layer == 1) {
        length = (12000 * rate / samplerate + padding) * 4;
    } else if (layer == 2 || (layer == 3 && version == 1)) {
        length = 144000 * rate / samplerate + padding;
    } else if (layer == 3) {
        length = 72000 * rate / samplerate + padding;
    }
    return static_cast<int>(length);
}

TMpegHeader DecodeFrameHeader(const std::uint8_t* fourBytes) {
    TMpegHeader h{};
    const std::uint8_t b0 = fourBytes[0];
    const std::uint8_t b1 = fourBytes[1];
    const std::uint8_t b2 = fourBytes[2];
    const std::uint8_t b3 = fourBytes[3];
    if (b0 != 0xFF || b1 < 0xE0) {
        return h;
    }
    constexpr std::uint8_t kVersions[4] = {3, 0, 2, 1};
    h.version = kVersions[(b1 >> 3) & 3];
    h.layer = static_cast<std::uint8_t>(4 - ((b1 >> 1) & 3));
    h.protection = (b1 & 1) == 0;
    if (h.version == 0 || h.layer == 4) {
        return h;
    }
    const int bitrateIndex = b2 >> 4;
    h.bitrate = kBitrates[BitrateRow(h.version, h.layer)][bitrateIndex];
    if (bitrateIndex == kForbiddenBitrateIndex) {
        return h;
    }
    h.samplerate = kSamplerates[h.version][(b2 >> 2) & 3];
    h.padding = ((b2 >> 1) & 1) != 0;
    h.channelmode = static_cast<std::uint8_t>(b3 >> 6);
    h.extension = static_cast<std::uint8_t>((b3 >> 4) & 3);
    h.copyright = ((b3 >> 3) & 1) != 0;
    h.original = ((b3 >> 2) & 1) != 0;
    h.emphasis = static_cast<std::uint8_t>(b3 & 3);
    if (h.layer == 2 && !IsAllowedLayerIICombination(h.bitrate, h.channelmode)) {
        return h;
    }
    const int length =
        ComputeFrameLength(h.version, h.layer, h.bitrate, h.samplerate, h.padding ? 1 : 0);
    if (length < 1) {
        h.framelength = 0xFFFF;
        return h;
    }
    h.framelength = static_cast<std::uint16_t>(length);
    h.valid = true;
    return h;
}

struct TMpegInfo::TAcceptedFrame {
    std::int64_t Position;
    TMpegHeader Header;
    TVbrTagInfo Tag; // Found only when the frame carries a usable tag
};

TMpegInfo::TMpegInfo() = default;

void TMpegInfo::SetReadSizes(std::size_t searchWindow, std::size_t walkBuffer) {
    fSearchWindowSize = std::max<std::size_t>(searchWindow, 1);
    fWalkBufferSize = std::max(walkBuffer, kHeaderBytes);
}

TAudioError TMpegInfo::LoadFromFile(const std::filesystem::path& fileName) {
    std::error_code error;
    if (!std::filesystem::exists(fileName, error) ||
        std::filesystem::is_directory(fileName, error)) {
        return FileErr_NoFile;
    }
    try {
        TFileStream stream(fileName, TFileMode::OpenRead);
        return LoadFromStream(stream);
    } catch (const std::exception& e) {
        fLastExceptionMessage = e.what();
        return FileErr_FileOpenR;
    }
}

TAudioError TMpegInfo::LoadFromStream(TStream& stream) {
    fLastExceptionMessage.clear();
    Fvalid = false;
    FfirstHeaderPosition = -1;
    try {
        return AnalyseStream(stream);
    } catch (const std::exception& e) {
        fLastExceptionMessage = e.what();
    } catch (...) {
        fLastExceptionMessage = "Unbekannter Fehler";
    }
    return FileErr_Unknown;
}

TAudioError TMpegInfo::AnalyseStream(TStream& stream) {
    FFilesize = stream.Size();
    TStreamWindow window(stream, FFilesize, fSearchWindowSize);
    constexpr auto kHeader = static_cast<std::int64_t>(kHeaderBytes);

    for (std::int64_t x = stream.Position(); x + kHeader <= FFilesize; ++x) {
        const std::uint8_t* bytes = window.Bytes(x, x, kHeaderBytes);
        if (bytes == nullptr) {
            break; // the data ended early; no later offset can be read either
        }
        const TMpegHeader h = DecodeFrameHeader(bytes);
        if (!h.valid || x + h.framelength + kHeader > FFilesize) {
            continue;
        }
        const auto tagBytes = window.Available(
            x, x,
            static_cast<std::size_t>(std::min<std::int64_t>(kVbrTagSearchBytes, FFilesize - x)));
        TAcceptedFrame frame{x, h, FindXingTag(h, tagBytes)};
        if (frame.Tag.Empty) {
            continue; // never the first frame; the next one normally is
        }
        bool accepted = false;
        if (!frame.Tag.Found) {
            frame.Tag = FindVbriTag(h, tagBytes);
            accepted = frame.Tag.Found; // no following frame needed
        }
        if (!accepted) {
            const std::uint8_t* nextBytes = window.Bytes(x, x + h.framelength, kHeaderBytes);
            if (nextBytes == nullptr) {
                continue;
            }
            const TMpegHeader next = DecodeFrameHeader(nextBytes);
            if (!next.valid) {
                continue;
            }
            const std::int64_t third = x + h.framelength + next.framelength;
            if (third + 3 > FFilesize) {
                continue;
            }
            const std::uint8_t* sync = window.Bytes(x, third, 2);
            if (sync == nullptr || sync[0] != 0xFF || sync[1] < 0xE0) {
                continue;
            }
        }
        TakeHeaderFields(h);
        if (!DeriveValues(frame)) {
            continue;
        }
        Fvalid = true;
        FfirstHeaderPosition = x;
        break;
    }
    if (!Fvalid) {
        return MP3ERR_NoMpegFrame;
    }
    const bool walk =
        fMpegScanMode == MPEG_SCAN_Complete || (fMpegScanMode == MPEG_SCAN_Smart && Fbitrate <= 32);
    return walk ? WalkAllFrames(stream, FfirstHeaderPosition) : FileErr_None;
}

void TMpegInfo::TakeHeaderFields(const TMpegHeader& header) {
    Fversion = header.version;
    Flayer = header.layer;
    Fprotection = header.protection;
    Fsamplerate = header.samplerate;
    Fchannelmode = header.channelmode;
    Fextension = header.extension;
    Fcopyright = header.copyright;
    Foriginal = header.original;
    Femphasis = header.emphasis;
}

// False where the arithmetic fails (a division by zero, an invalid or unrepresentable
// value); the fields written up to that point keep their values.
bool TMpegInfo::DeriveValues(const TAcceptedFrame& frame) {
    const TVbrTagInfo& tag = frame.Tag;
    if (tag.Found) {
        const std::int64_t audioBytes = FFilesize - frame.Position - tag.TagFrameLength;
        const std::int64_t samplesPerFrameOver8 = Fversion == 1 ? 144 : 72;
        if (tag.Frames == 0) {
            return false; // a VBRI count of 0 divides by zero
        }
        // A negative VBRI count gives a negative bitrate, which keeps its low 16 bits.
        const double divisor = static_cast<double>(tag.Frames * samplesPerFrameOver8);
        const auto bitrate =
            RoundToInt64(Fsamplerate / 1000.0 * static_cast<double>(audioBytes) / divisor);
        if (!bitrate) {
            return false;
        }
        Fbitrate = LowBits16(*bitrate);
        Fvbr = tag.IsXing;
        if (Fbitrate == 0) {
            return false;
        }
        const auto dauer =
            RoundToInt64(static_cast<double>(audioBytes) * 8.0 / (Fbitrate * 1000.0));
        if (!dauer) {
            return false;
        }
        Fdauer = LowBits32(*dauer);
        Fframes = tag.Frames;
        return true;
    }
    const std::int64_t bytes = FFilesize - frame.Position;
    Fframes = LowBits32(bytes / frame.Header.framelength);
    Fbitrate = LowBits16(frame.Header.bitrate);
    Fvbr = false;
    if (Fbitrate == 0) {
        return false; // free format
    }
    Fdauer = LowBits32(TimesEight(bytes) / (std::int64_t{Fbitrate} * 1000));
    return true;
}

TAudioError TMpegInfo::WalkAllFrames(TStream& stream, std::int64_t offset) {
    const std::int64_t size = stream.Size();
    if (offset >= size) {
        return FileErr_None;
    }
    const TFrameWalkTotals totals = WalkFrameHeaders(stream, offset, size, fWalkBufferSize);
    Fframes = LowBits32(totals.Frames);
    if (totals.Frames == 0) {
        // 0 / 0 (only when the data vanished since the search read it)
        fLastExceptionMessage = "Ungültige Gleitkommaoperation";
        return FileErr_Unknown;
    }
    const auto average =
        RoundToInt64(static_cast<double>(totals.BitrateSum) / static_cast<double>(totals.Frames));
    Fbitrate = LowBits16(average.value_or(0));
    Fvbr = totals.BitrateChanges > 2;
    if (Fbitrate == 0) {
        fLastExceptionMessage = "Division durch Null"; // every frame was free format
        return FileErr_Unknown;
    }
    Fdauer = LowBits32(TimesEight(FFilesize - offset) / (std::int64_t{Fbitrate} * 1000));
    return FileErr_None;
}

} // namespace lorvane
