#include "audio/VbrTags.h"

#include <cstring>
#include <utility>

namespace lorvane {

namespace {

constexpr std::size_t kXingTagBytes = 12; // id, flags, frame count
constexpr std::size_t kVbriOffset = 36;
constexpr std::size_t kVbriFramesOffset = kVbriOffset + 14;
constexpr std::uint8_t kXingFramesFlag = 0x01;
constexpr std::uint8_t kSingleChannel = 3;

std::int32_t BigEndian32(const std::uint8_t* bytes) {
    const std::uint32_t value = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                                (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
    return static_cast<std::int32_t>(value);
}

bool HasId(const std::uint8_t* bytes, const char* id) {
    return std::memcmp(bytes, id, 4) == 0;
}

} // namespace

std::size_t XingTagOffset(const TMpegHeader& header) {
    const bool mono = header.channelmode == kSingleChannel;
    if (header.version == 1) {
        return mono ? 21 : 36;
    }
    return mono ? 13 : 21;
}

TVbrTagInfo FindXingTag(const TMpegHeader& header, std::span<const std::uint8_t> frame) {
    TVbrTagInfo info;
    const std::size_t offset = XingTagOffset(header);
    if (frame.size() < offset + kXingTagBytes) {
        return info;
    }
    const std::uint8_t* tag = frame.data() + offset;
    const bool isXing = HasId(tag, "Xing");
    if (!isXing && !HasId(tag, "Info")) {
        return info;
    }
    // Only the lowest flag bit matters here: it says the frame count is present.
    info.Frames = (tag[7] & kXingFramesFlag) != 0 ? BigEndian32(tag + 8) : 0;
    info.TagFrameLength = header.framelength;
    info.IsXing = isXing;
    info.Found = info.Frames > 0;
    info.Empty = info.Frames == 0;
    return info;
}

std::int32_t LameEncoderDelay(const TMpegHeader& header, std::span<const std::uint8_t> frame) {
    const std::size_t offset = XingTagOffset(header);
    if (frame.size() < offset + 8) {
        return -1;
    }
    const std::uint8_t* tag = frame.data() + offset;
    if (!HasId(tag, "Xing") && !HasId(tag, "Info")) {
        return -1;
    }
    // The optional fields the flags announce: frames, bytes, table of contents, quality.
    const std::uint8_t flags = tag[7];
    std::size_t extension = offset + 8;
    for (const auto& [flag, bytes] : {std::pair{0x01, 4}, {0x02, 4}, {0x04, 100}, {0x08, 4}}) {
        extension += (flags & flag) != 0 ? static_cast<std::size_t>(bytes) : 0;
    }
    // The extension: a 9-byte encoder name, then delay and padding as two 12-bit numbers
    // at bytes 21 to 23.
    if (frame.size() < extension + 24) {
        return -1;
    }
    const std::uint8_t* lame = frame.data() + extension;
    if (!HasId(lame, "LAME") && !HasId(lame, "Lavc") && !HasId(lame, "Lavf")) {
        return -1;
    }
    return (std::int32_t{lame[21]} << 4) | (lame[22] >> 4);
}

TVbrTagInfo FindVbriTag(const TMpegHeader& header, std::span<const std::uint8_t> frame) {
    TVbrTagInfo info;
    info.IsXing = true;
    if (frame.size() < kVbrTagSearchBytes || !HasId(frame.data() + kVbriOffset, "VBRI")) {
        return info;
    }
    info.Frames = BigEndian32(frame.data() + kVbriFramesOffset);
    info.TagFrameLength = header.framelength;
    info.Found = true;
    return info;
}

} // namespace lorvane
