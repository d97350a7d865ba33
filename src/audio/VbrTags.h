#pragma once
// The VBR tags an encoder writes into the first frame of a stream: "Xing" (VBR) or
// "Info" (CBR, LAME) after the side information, and Fraunhofer's "VBRI" at byte 36.

#include "audio/MpegFrames.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace lorvane {

struct TVbrTagInfo {
    std::int32_t Frames = 0;         // the tag's frame count
    std::int32_t TagFrameLength = 0; // length of the frame that carries the tag
    bool IsXing = false;             // "Xing" or "VBRI" (variable bitrate); false for "Info"
    bool Found = false;              // a usable tag
    bool Empty = false;              // a "Xing"/"Info" tag without a frame count
};

// Bytes from a frame's start that the tag searches may look at.
inline constexpr std::size_t kVbrTagSearchBytes = 54;

// Offset of a "Xing"/"Info" tag within its frame: behind the header and the side
// information, whose size depends on the version and on mono or not.
std::size_t XingTagOffset(const TMpegHeader& header);

// frame: the bytes from the frame's first byte on, as far as the stream holds them
// (at most kVbrTagSearchBytes are needed).
TVbrTagInfo FindXingTag(const TMpegHeader& header, std::span<const std::uint8_t> frame);
TVbrTagInfo FindVbriTag(const TMpegHeader& header, std::span<const std::uint8_t> frame);

// Bytes from a frame's start that hold a "Xing"/"Info" tag with every optional field and
// the LAME extension behind it.
inline constexpr std::size_t kLameTagSearchBytes = 36 + 8 + 4 + 4 + 100 + 4 + 24;

// The encoder delay in samples that the LAME extension of a "Xing"/"Info" tag records
// (written by LAME and by ffmpeg's LAME-based encoder); -1 when the frame has none.
std::int32_t LameEncoderDelay(const TMpegHeader& header, std::span<const std::uint8_t> frame);

} // namespace lorvane
