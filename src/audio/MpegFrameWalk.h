#pragma once
// The walk over consecutive frame headers from the first frame to the first invalid
// header, through a bounded buffer so that the rest of the file never sits in memory.

#include "audio/Streams.h"

#include <cstddef>
#include <cstdint>

namespace lorvane {

struct TFrameWalkTotals {
    std::int64_t Frames = 0;
    std::int64_t BitrateSum = 0;     // kbit/s summed over the frames
    std::int64_t BitrateChanges = 0; // the first frame counts as one change
};

// Walks the frames from start while at least four bytes remain before end (and before a
// read that comes up short) and each header is valid.
TFrameWalkTotals WalkFrameHeaders(TStream& stream, std::int64_t start, std::int64_t end,
                                  std::size_t bufferSize);

} // namespace lorvane
