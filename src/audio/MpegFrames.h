#pragma once
// MPEG audio stream analysis (MPEG-1, MPEG-2, MPEG-2.5, Layers I to III): frame header
// decoding, the search for the first genuine frame and the derived bitrate, frame
// count, playing time and VBR flag. See NOTES.md beside this file for the format facts.

#include "base/AudioErrors.h"
#include "base/Streams.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace lorvane {

enum TMpegScanMode : std::uint8_t {
    MPEG_SCAN_Fast = 0,     // first frame and its tag only
    MPEG_SCAN_Smart = 1,    // walk all frames when the derived bitrate is 32 kbit/s or less
    MPEG_SCAN_Complete = 2, // always walk all frames
};

// One decoded 4-byte frame header.
struct TMpegHeader {
    std::uint8_t version;    // 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG-2.5, 0 = reserved
    std::uint8_t layer;      // 1..3, 4 = reserved
    bool protection;         // a CRC follows the header
    std::int32_t bitrate;    // kbit/s, 0 for free format
    std::int32_t samplerate; // Hz, 0 for the reserved index
    std::uint8_t channelmode, extension;
    bool copyright, original;
    std::uint8_t emphasis;
    bool padding;
    std::uint16_t framelength; // header included; 0xFFFF when the computed length was below 1
    bool valid;
};

TMpegHeader DecodeFrameHeader(const std::uint8_t* fourBytes);
// Frame length in bytes; -2 for sample rate 0, so that such a header is invalid.
int ComputeFrameLength(int version, int layer, int bitrate, int samplerate, int padding);

class TMpegInfo {
public:
    static constexpr std::size_t kSearchWindowSize = 4096;
    static constexpr std::size_t kWalkBufferSize = std::size_t{1} << 20;

    TMpegInfo(); // all zero, MPEG_SCAN_Smart

    // Analyses from the stream's current position to its end: 0 when a first frame was
    // found, 18 when not, 3 when the frame walk failed (see LastExceptionMessage).
    TAudioError LoadFromStream(TStream& stream);
    // 4 when the file does not exist, 6 when it cannot be opened; else as LoadFromStream.
    TAudioError LoadFromFile(const std::filesystem::path& fileName);

    std::int64_t Filesize() const { return FFilesize; }
    std::int32_t Version() const { return Fversion; }
    std::int32_t Layer() const { return Flayer; }
    bool Protection() const { return Fprotection; }
    std::uint16_t Bitrate() const { return Fbitrate; }
    std::int32_t Samplerate() const { return Fsamplerate; }
    std::uint8_t Channelmode() const { return Fchannelmode; }
    std::uint8_t Extension() const { return Fextension; }
    bool Copyright() const { return Fcopyright; }
    bool Original() const { return Foriginal; }
    std::uint8_t Emphasis() const { return Femphasis; }
    std::int32_t Frames() const { return Fframes; }
    std::int32_t Dauer() const { return Fdauer; }
    std::int32_t Duration() const { return Fdauer; }
    bool Vbr() const { return Fvbr; }
    bool Valid() const { return Fvalid; }
    std::int64_t FirstHeaderPosition() const { return FfirstHeaderPosition; }
    TMpegScanMode MpegScanMode() const { return fMpegScanMode; }
    void SetMpegScanMode(TMpegScanMode mode) { fMpegScanMode = mode; }
    const std::string& LastExceptionMessage() const { return fLastExceptionMessage; }

    // Read sizes of the first-frame search window and of the frame walk's buffer; the
    // results never depend on them (tests use tiny sizes to force refills).
    void SetReadSizes(std::size_t searchWindow, std::size_t walkBuffer);

private:
    struct TAcceptedFrame;

    TAudioError AnalyseStream(TStream& stream);
    void TakeHeaderFields(const TMpegHeader& header);
    bool DeriveValues(const TAcceptedFrame& frame);
    TAudioError WalkAllFrames(TStream& stream, std::int64_t offset);

    std::int64_t FFilesize = 0;
    std::int32_t Fversion = 0;
    std::int32_t Flayer = 0;
    bool Fprotection = false;
    std::uint16_t Fbitrate = 0;
    std::int32_t Fsamplerate = 0;
    std::uint8_t Fchannelmode = 0;
    std::uint8_t Fextension = 0;
    bool Fcopyright = false;
    bool Foriginal = false;
    std::uint8_t Femphasis = 0;
    std::int32_t Fframes = 0;
    std::int32_t Fdauer = 0;
    bool Fvbr = false;
    bool Fvalid = false;
    std::int64_t FfirstHeaderPosition = 0;
    TMpegScanMode fMpegScanMode = MPEG_SCAN_Smart;
    std::string fLastExceptionMessage;

    std::size_t fSearchWindowSize = kSearchWindowSize;
    std::size_t fWalkBufferSize = kWalkBufferSize;
};

} // namespace lorvane
