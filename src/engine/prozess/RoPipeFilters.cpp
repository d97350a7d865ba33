#include "engine/prozess/RoPipeFilters.h"

#include <cassert>
#include <stdexcept>

namespace lorvane {

TRoPipeFilter::TRoPipeFilter(TRoPipe* pipe, bool ownsPipe) : fPipe(pipe), fOwnsPipe(ownsPipe) {
    assert(pipe != nullptr && "a pipe filter needs a pipe");
    if (pipe == nullptr) {
        throw std::invalid_argument("TRoPipeFilter: pipe missing");
    }
}

TRoPipeFilter::~TRoPipeFilter() {
    if (fOwnsPipe) {
        delete fPipe;
    }
}

void TRoPipeFilter::ReadPipe() {
    ProcessNewBytes(fPipe->ReadBytes(0));
}

void TRoPipeFilter::Flush() {
    if (fUnprocessedData.empty()) {
        return;
    }
    TBuffer rest;
    rest.swap(fUnprocessedData);
    ProcessBytes(rest);
}

void TRoPipeFilter::ProcessNewBytes(const TBuffer& bytes) {
    if (bytes.empty()) {
        return;
    }
    TBuffer block;
    block.swap(fUnprocessedData);
    block.insert(block.end(), bytes.begin(), bytes.end());
    const int holdBack = BytesToHoldBack(block);
    if (holdBack >= 1) {
        const std::size_t kept = std::min(static_cast<std::size_t>(holdBack), block.size());
        const auto keptFrom = block.end() - static_cast<std::ptrdiff_t>(kept);
        fUnprocessedData.assign(keptFrom, block.end());
        block.erase(keptFrom, block.end());
    }
    if (!block.empty()) {
        ProcessBytes(block);
    }
}

TRoAnsiSBCSPipeFilter::TRoAnsiSBCSPipeFilter(TRoPipe* pipe, bool ownsPipe)
    : TRoPipeFilter(pipe, ownsPipe), fEOLMarker(RoPlatformEOLMarker) {}

TRoAnsiSBCSPipeFilter::~TRoAnsiSBCSPipeFilter() {
    try {
        Flush();
    } catch (...) {
        // A handler's failure must not escape a destructor.
    }
}

void TRoAnsiSBCSPipeFilter::SetEOLMarker(const std::string& marker) {
    if (marker.empty()) {
        throw std::invalid_argument("TRoAnsiSBCSPipeFilter: empty end-of-line marker");
    }
    fEOLMarker = marker;
}

int TRoAnsiSBCSPipeFilter::BytesToHoldBack(const TBuffer& /*block*/) const {
    return 0;
}

void TRoAnsiSBCSPipeFilter::ProcessBytes(const TBuffer& block) {
    const std::string text(block.begin(), block.end());
    if (fOnText) {
        fOnText(*this, text);
    }
    // A marker may straddle the old rest and the new text.
    const std::size_t overlap = fEOLMarker.size() - 1;
    std::size_t searchFrom = fPartialLine.size() > overlap ? fPartialLine.size() - overlap : 0;
    fPartialLine += text;

    std::size_t lineStart = 0;
    try {
        for (;;) {
            const std::size_t markerAt = fPartialLine.find(fEOLMarker, searchFrom);
            if (markerAt == std::string::npos) {
                break;
            }
            std::string line = fPartialLine.substr(lineStart, markerAt - lineStart);
            lineStart = markerAt + fEOLMarker.size();
            searchFrom = lineStart;
            DeliverLine(std::move(line));
        }
    } catch (...) {
        fPartialLine.erase(0, lineStart);
        throw;
    }
    fPartialLine.erase(0, lineStart);
}

void TRoAnsiSBCSPipeFilter::DeliverLine(std::string line) {
    if (fEOLMarker.front() != '\r' && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (fOnLineEnd) {
        fOnLineEnd(*this, line);
    }
}

void TRoAnsiSBCSPipeFilter::Flush() {
    TRoPipeFilter::Flush();
    if (fPartialLine.empty()) {
        return;
    }
    std::string rest;
    rest.swap(fPartialLine);
    if (fOnLineEnd) {
        fOnLineEnd(*this, rest);
    }
}

} // namespace lorvane
