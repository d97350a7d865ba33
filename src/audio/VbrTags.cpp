#include "audio/VbrTags.h"

#include <cstring>

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
