#include "audio/MpegFrameWalk.h"

#include "audio/MpegFrames.h"
#include "audio/VbrTags.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lorvane {

namespace {

constexpr std::size_t kHeaderBytes = 4;

// A stream uses only a handful of distinct headers (a VBR stream one per bitrate and
// padding bit), so decoded headers are kept in a small table indexed by the byte that
// carries bitrate, sample rate and padding; an entry is reused only when all four
// bytes match.
class THeaderMemo {
public:
    const TMpegHeader& Decode(const std::uint8_t* bytes) {
        TEntry& entry = fEntries[bytes[2]];
        if (!entry.Filled || std::memcmp(bytes, entry.Bytes, kHeaderBytes) != 0) {
            std::memcpy(entry.Bytes, bytes, kHeaderBytes);
            entry.Header = DecodeFrameHeader(bytes);
            entry.Filled = true;
        }
        return entry.Header;
    }

private:
    struct TEntry {
        std::uint8_t Bytes[kHeaderBytes] = {};
        TMpegHeader Header{};
        bool Filled = false;
    };
    TEntry fEntries[256];
};

} // namespace

std::int64_t WalkFrames(TStream& stream, std::int64_t start, std::int64_t end,
                        std::size_t bufferSize, const TFrameVisitor& visit) {
    const auto header = static_cast<std::int64_t>(kHeaderBytes);
    if (start + header > end) {
        return start;
    }
    // Never more than the walk can read, so that short files stay cheap.
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::int64_t>(
        static_cast<std::int64_t>(std::max(bufferSize, kHeaderBytes)), end - start)));
    std::int64_t bufferStart = start;
    std::int64_t bufferEnd = start; // nothing read yet
    std::int64_t dataEnd = end;
    THeaderMemo memo;

    std::int64_t position = start;
    while (position + header <= dataEnd) {
        if (position + header > bufferEnd) {
            // Refill from the header that does not fit; a header straddling the old
            // buffer end is read again whole.
            const auto want = static_cast<std::size_t>(std::min<std::int64_t>(
                static_cast<std::int64_t>(buffer.size()), dataEnd - position));
            stream.Seek(position);
            const std::size_t got = std::min(stream.Read(buffer.data(), want), want);
            bufferStart = position;
            bufferEnd = position + static_cast<std::int64_t>(got);
            if (got < want) {
                dataEnd = bufferEnd;
            }
            if (position + header > bufferEnd) {
                break;
            }
        }
        const TMpegHeader& frame = memo.Decode(buffer.data() + (position - bufferStart));
        if (!frame.valid || !visit(position, frame)) {
            break;
        }
        position += frame.framelength;
    }
    return position;
}

std::int32_t SamplesInFrame(const TMpegHeader& frame) {
    // Layer I holds 384 samples, Layer II 1152, Layer III 1152 in MPEG-1 and 576 else.
    return frame.layer == 1 ? 384 : (frame.layer == 3 && frame.version != 1 ? 576 : 1152);
}

TFrameWalkTotals WalkFrameHeaders(TStream& stream, std::int64_t start, std::int64_t end,
                                  std::size_t bufferSize) {
    TFrameWalkTotals totals;
    std::int32_t previousBitrate = 0;
    WalkFrames(stream, start, end, bufferSize, [&](std::int64_t, const TMpegHeader& frame) {
        ++totals.Frames;
        totals.BitrateSum += frame.bitrate;
        if (frame.bitrate != previousBitrate) {
            ++totals.BitrateChanges;
        }
        previousBitrate = frame.bitrate;
        return true;
    });
    return totals;
}

std::int64_t FrameStartAtOrAfter(TStream& stream, std::int64_t start, std::int64_t end,
                                 std::int64_t target, std::size_t bufferSize) {
    if (target <= start) {
        return start;
    }
    bool reached = false;
    const std::int64_t stop =
        WalkFrames(stream, start, end, bufferSize, [&](std::int64_t position, const TMpegHeader&) {
            reached = position >= target;
            return !reached;
        });
    // Past the last whole header the next frame would start at or behind the end.
    if (reached || stop >= target) {
        return std::min(stop, end);
    }
    return target;
}

std::int64_t SamplesInRange(TStream& stream, std::int64_t start, std::int64_t end,
                            std::size_t bufferSize) {
    std::int64_t samples = 0;
    WalkFrames(stream, start, end, bufferSize,
               [&](std::int64_t position, const TMpegHeader& frame) {
                   if (position >= end) {
                       return false;
                   }
                   samples += SamplesInFrame(frame);
                   return true;
               });
    return samples;
}

std::int64_t FrameStartAtSample(TStream& stream, std::int64_t start, std::int64_t end,
                                std::int64_t sample, std::size_t bufferSize) {
    std::int64_t samples = 0;
    return WalkFrames(stream, start, end, bufferSize, [&](std::int64_t, const TMpegHeader& frame) {
        if (samples >= sample) {
            return false;
        }
        samples += SamplesInFrame(frame);
        return true;
    });
}

std::int64_t VbrTagFrameLength(TStream& stream, std::int64_t start, std::int64_t end) {
    std::uint8_t bytes[kHeaderBytes + kVbrTagSearchBytes] = {};
    const auto want = static_cast<std::size_t>(
        std::clamp<std::int64_t>(end - start, 0, static_cast<std::int64_t>(sizeof bytes)));
    if (want < kHeaderBytes) {
        return 0;
    }
    stream.Seek(start);
    const std::size_t got = std::min(stream.Read(bytes, want), want);
    if (got < kHeaderBytes) {
        return 0;
    }
    const TMpegHeader header = DecodeFrameHeader(bytes);
    if (!header.valid || header.framelength == 0xFFFF) {
        return 0;
    }
    const std::span<const std::uint8_t> frame(bytes, got);
    const TVbrTagInfo xing = FindXingTag(header, frame);
    const TVbrTagInfo vbri = FindVbriTag(header, frame);
    const bool tag = xing.Found || xing.Empty || vbri.Found || vbri.Empty;
    return tag ? std::int64_t{header.framelength} : 0;
}

std::int32_t EncoderDelayAt(TStream& stream, std::int64_t start, std::int64_t end) {
    std::uint8_t bytes[kLameTagSearchBytes] = {};
    const auto want = static_cast<std::size_t>(
        std::clamp<std::int64_t>(end - start, 0, static_cast<std::int64_t>(sizeof bytes)));
    if (want < kHeaderBytes) {
        return -1;
    }
    stream.Seek(start);
    const std::size_t got = std::min(stream.Read(bytes, want), want);
    const TMpegHeader header = DecodeFrameHeader(bytes);
    if (got < kHeaderBytes || !header.valid) {
        return -1;
    }
    return LameEncoderDelay(header, std::span<const std::uint8_t>(bytes, got));
}

} // namespace lorvane
