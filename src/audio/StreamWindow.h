#pragma once
// A small window onto a stream for searches that look at a few bytes around each
// candidate offset. The window is refilled from the current candidate whenever the
// bytes a test needs lie beyond it, so that every candidate sees what the stream holds.

#include "base/Streams.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lorvane {

class TStreamWindow {
public:
    // Reads never go past limit. A read that returns fewer bytes than asked marks the end
    // of the data; nothing behind it is read again.
    TStreamWindow(TStream& stream, std::int64_t limit, std::size_t windowSize);

    // The count bytes at position (base <= position), refilling from base when needed;
    // nullptr when the data ends before them.
    const std::uint8_t* Bytes(std::int64_t base, std::int64_t position, std::size_t count);
    // Up to count bytes at position: fewer when the data ends before.
    std::span<const std::uint8_t> Available(std::int64_t base, std::int64_t position,
                                            std::size_t count);

private:
    bool Holds(std::int64_t position, std::int64_t end) const;
    void Refill(std::int64_t base, std::int64_t end);

    TStream& fStream;
    std::int64_t fDataEnd;
    std::size_t fWindowSize;
    std::vector<std::uint8_t> fBuffer;
    std::int64_t fStart = 0;
    std::int64_t fLength = 0;
};

} // namespace lorvane
