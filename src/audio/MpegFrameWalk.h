#pragma once
// The walk over consecutive frame headers from the first frame to the first invalid
// header, through a bounded buffer so that the rest of the file never sits in memory.

#include "audio/MpegFrames.h"
#include "base/Streams.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace lorvane {

struct TFrameWalkTotals {
    std::int64_t Frames = 0;
    std::int64_t BitrateSum = 0;     // kbit/s summed over the frames
    std::int64_t BitrateChanges = 0; // the first frame counts as one change
};

// Called with each valid frame header of a walk and where it starts; false ends the walk.
using TFrameVisitor = std::function<bool(std::int64_t position, const TMpegHeader& header)>;

// Walks the frames from start while at least four bytes remain before end (and before a
// read that comes up short), each header is valid and the visitor goes on. Returns where
// the walk stopped: the header it did not pass.
std::int64_t WalkFrames(TStream& stream, std::int64_t start, std::int64_t end,
                        std::size_t bufferSize, const TFrameVisitor& visit);

// The samples per channel one frame decodes to.
std::int32_t SamplesInFrame(const TMpegHeader& frame);

// The totals of WalkFrames over all frames.
TFrameWalkTotals WalkFrameHeaders(TStream& stream, std::int64_t start, std::int64_t end,
                                  std::size_t bufferSize);

// Where a cut at target keeps every frame whole: the first frame start at or after target
// in the walk from start (a frame start), at most end. Target itself when an invalid
// header stops the walk before it, so that damaged data is cut as it is.
std::int64_t FrameStartAtOrAfter(TStream& stream, std::int64_t start, std::int64_t end,
                                 std::int64_t target, std::size_t bufferSize);

// The samples per channel that the frames starting in [start, end) decode to: the
// playing time of a cut of whole frames, counted rather than estimated from bytes.
std::int64_t SamplesInRange(TStream& stream, std::int64_t start, std::int64_t end,
                            std::size_t bufferSize);

// The first frame start in the walk from start (a frame start) that at least `sample`
// samples per channel precede: where a cut at that playing time keeps every frame
// whole. Where the walk stops when the frames end before.
std::int64_t FrameStartAtSample(TStream& stream, std::int64_t start, std::int64_t end,
                                std::int64_t sample, std::size_t bufferSize);

// The length of the frame at start when it carries a "Xing", "Info" or "VBRI" tag: the
// encoder's description of the stream, decoded as silence when joined as audio. 0 for
// a frame of audio.
std::int64_t VbrTagFrameLength(TStream& stream, std::int64_t start, std::int64_t end);

// The encoder delay the LAME extension of the frame at start records, in samples; -1 when
// the frame carries none.
std::int32_t EncoderDelayAt(TStream& stream, std::int64_t start, std::int64_t end);

} // namespace lorvane
