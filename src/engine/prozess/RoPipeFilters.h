#pragma once
// Filters that turn the bytes read from a pipe into text: the base holds back the
// trailing bytes of an incomplete character until the next read; the single-byte
// filter splits the text into lines at an end-of-line marker.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "base/AudioErrors.h"
#include "engine/prozess/RoPipe.h"

namespace lorvane {

class TRoPipeFilter {
public:
    // The pipe must not be missing; with ownsPipe the filter frees it.
    TRoPipeFilter(TRoPipe* pipe, bool ownsPipe);
    // Flushing is up to the descendants' destructors: a base destructor cannot reach
    // their overrides.
    virtual ~TRoPipeFilter();
    TRoPipeFilter(const TRoPipeFilter&) = delete;
    TRoPipeFilter& operator=(const TRoPipeFilter&) = delete;

    TRoPipe& Pipe() const { return *fPipe; }

    // Reads every byte available now and processes it.
    void ReadPipe();
    // Delivers whatever the filter holds; the base hands held-back bytes on as they are.
    virtual void Flush();
    bool HaveUnprocessedData() const { return !fUnprocessedData.empty(); }

protected:
    // Trailing bytes of the block that may begin an incomplete character.
    virtual int BytesToHoldBack(const TBuffer& block) const = 0;
    // Processes a block of complete bytes.
    virtual void ProcessBytes(const TBuffer& block) = 0;

    // Joins held-back and new bytes, holds back again what the descendant asks for and
    // processes the rest.
    void ProcessNewBytes(const TBuffer& bytes);

private:
    TRoPipe* fPipe;
    bool fOwnsPipe;
    TBuffer fUnprocessedData;
};

class TRoAnsiSBCSPipeFilter;
// Sender and the 8-bit text, passed through unconverted.
using TRoAnsiTextReadEvent =
    std::function<void(TRoAnsiSBCSPipeFilter& sender, const std::string& text)>;

// The platform's line end: LF here (CR LF on Windows).
inline constexpr const char* RoPlatformEOLMarker = "\n";

// Single-byte text: no byte is held back, lines end at EOLMarker. With a marker that
// does not begin with CR, one CR directly before the marker is dropped, so CR LF
// lines come out the same; a bare CR inside a line stays.
class TRoAnsiSBCSPipeFilter : public TRoPipeFilter {
public:
    TRoAnsiSBCSPipeFilter(TRoPipe* pipe, bool ownsPipe);
    ~TRoAnsiSBCSPipeFilter() override;

    // Delivers an unterminated rest as a line of its own.
    void Flush() override;

    const std::string& EOLMarker() const { return fEOLMarker; }
    // An empty marker is refused (there would be no end to the lines).
    void SetEOLMarker(const std::string& marker);
    const TRoAnsiTextReadEvent& OnText() const { return fOnText; }
    void SetOnText(TRoAnsiTextReadEvent handler) { fOnText = std::move(handler); }
    const TRoAnsiTextReadEvent& OnLineEnd() const { return fOnLineEnd; }
    void SetOnLineEnd(TRoAnsiTextReadEvent handler) { fOnLineEnd = std::move(handler); }

protected:
    int BytesToHoldBack(const TBuffer& block) const override;
    void ProcessBytes(const TBuffer& block) override;

private:
    void DeliverLine(std::string line);

    std::string fPartialLine;
    TRoAnsiTextReadEvent fOnText;
    TRoAnsiTextReadEvent fOnLineEnd;
    std::string fEOLMarker;
};

} // namespace lorvane
