#include "audio/StreamWindow.h"

#include <algorithm>

namespace lorvane {

TStreamWindow::TStreamWindow(TStream& stream, std::int64_t limit, std::size_t windowSize)
    : fStream(stream), fDataEnd(limit), fWindowSize(std::max<std::size_t>(windowSize, 1)) {}

bool TStreamWindow::Holds(std::int64_t position, std::int64_t end) const {
    return position >= fStart && end <= fStart + fLength;
}

const std::uint8_t* TStreamWindow::Bytes(std::int64_t base, std::int64_t position,
                                         std::size_t count) {
    const std::int64_t end = position + static_cast<std::int64_t>(count);
    if (!Holds(position, end)) {
        if (end > fDataEnd || position < base) {
            return nullptr;
        }
        Refill(base, end);
        if (!Holds(position, end)) {
            return nullptr;
        }
    }
    return fBuffer.data() + (position - fStart);
}

std::span<const std::uint8_t> TStreamWindow::Available(std::int64_t base, std::int64_t position,
                                                       std::size_t count) {
    // A second attempt covers a read that came up short and moved the end of the data.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::int64_t end = std::min(position + static_cast<std::int64_t>(count), fDataEnd);
        if (end <= position) {
            return {};
        }
        const auto length = static_cast<std::size_t>(end - position);
        if (const std::uint8_t* bytes = Bytes(base, position, length)) {
            return {bytes, length};
        }
    }
    return {};
}

void TStreamWindow::Refill(std::int64_t base, std::int64_t end) {
    // A candidate that needs more than one window gets one window more than it needs,
    // so that a run of candidates with long frames does not refill at every offset.
    const auto need = static_cast<std::size_t>(end - base);
    const std::size_t grown = need <= fWindowSize ? fWindowSize : need + fWindowSize;
    const auto want = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(grown), fDataEnd - base));
    if (fBuffer.size() < want) {
        fBuffer.resize(want);
    }
    fStream.Seek(base);
    const std::size_t got = fStream.Read(fBuffer.data(), want);
    fStart = base;
    fLength = static_cast<std::int64_t>(std::min(got, want));
    if (fLength < static_cast<std::int64_t>(want)) {
        fDataEnd = fStart + fLength;
    }
}

} // namespace lorvane
