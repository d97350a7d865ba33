#include "id3v2/ID3v2Frames.h"

#include "base/GuardedCall.h"
#include "base/TextCodec.h"

#include <algorithm>

namespace lorvane {

namespace {

// Format flags of version 2.3.
constexpr std::uint8_t kV3Compression = 0x80;
constexpr std::uint8_t kV3Encryption = 0x40;
constexpr std::uint8_t kV3Grouping = 0x20;
constexpr std::uint8_t kV3FormatUndefined = 0x1F;
// Status flags of version 2.3: tag and file alter preservation survive a new text.
constexpr std::uint8_t kV3StatusKept = 0xC0;

// Format flags of version 2.4.
constexpr std::uint8_t kV4Grouping = 0x40;
constexpr std::uint8_t kV4Compression = 0x08;
constexpr std::uint8_t kV4Encryption = 0x04;
constexpr std::uint8_t kV4Unsynchronised = 0x02;
constexpr std::uint8_t kV4DataLength = 0x01;
constexpr std::uint8_t kV4FormatUndefined = 0xB0;
// Status flags of version 2.4: tag and file alter preservation.
constexpr std::uint8_t kV4StatusKept = 0x60;

constexpr std::uint8_t kEncodingLatin1 = 0;
constexpr std::uint8_t kEncodingUtf16 = 1;
constexpr std::uint8_t kEncodingUtf16BE = 2;
constexpr std::uint8_t kEncodingUtf8 = 3;

// Encoding 1: a byte-order mark decides; without one the text is little-endian.
std::u32string DecodeUtf16WithMark(const std::uint8_t* bytes, std::size_t count) {
    std::u32string text;
    if (count >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        text = DecodeUtf16(bytes + 2, count - 2, true);
    } else if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        text = DecodeUtf16(bytes + 2, count - 2, false);
    } else {
        text = DecodeUtf16(bytes, count, false);
    }
    if (!text.empty() && (text.front() == 0xFEFF || text.front() == 0xFFFE)) {
        text.erase(0, 1);
    }
    return text;
}

std::u32string DecodeFrameText(std::uint8_t encoding, const std::uint8_t* bytes,
                               std::size_t count) {
    switch (encoding) {
    case kEncodingUtf16:
        return DecodeUtf16WithMark(bytes, count);
    case kEncodingUtf16BE:
        return DecodeUtf16(bytes, count, true);
    case kEncodingUtf8:
        return DecodeUtf8(std::string_view(reinterpret_cast<const char*>(bytes), count));
    default:
        return DecodeCp1252(bytes, count);
    }
}

// Encoding byte and text, without a terminating NUL.
TBuffer EncodeFrameText(const std::u32string& text, bool alwaysUnicode) {
    TBuffer data;
    if (alwaysUnicode || !FitsLatin1Text(text)) {
        const std::u16string units = EncodeUtf16(text);
        data.reserve(3 + 2 * units.size());
        data.insert(data.end(), {kEncodingUtf16, 0xFF, 0xFE});
        for (char16_t unit : units) {
            data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            data.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        return data;
    }
    data.reserve(1 + text.size());
    data.push_back(kEncodingLatin1);
    for (char32_t c : text) {
        data.push_back(static_cast<std::uint8_t>(c));
    }
    return data;
}

// Reads exactly count bytes, refusing before allocating when the stream holds fewer.
TBuffer ReadExactly(TStream& stream, std::uint32_t count) {
    const std::int64_t available = stream.Size() - stream.Position();
    if (static_cast<std::int64_t>(count) > available) {
        throw EReadError("Frame runs past the end of the tag");
    }
    TBuffer bytes(count);
    if (count > 0) {
        stream.ReadBuffer(bytes.data(), bytes.size());
    }
    return bytes;
}

} // namespace

bool IsValidFrameID(std::string_view id, std::uint8_t version) {
    const std::size_t length = version == 2 ? 3 : 4;
    return id.size() == length && std::all_of(id.begin(), id.end(), IsFrameIDChar);
}

bool IsTextFrameID(std::string_view id) {
    return id.size() > 2 && id[0] == 'T' && id != "TXX" && id != "TXXX";
}

bool IsFrameIDChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::uint32_t BigEndianValue(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

std::uint32_t SyncsafeValue(const std::uint8_t* bytes, bool masked) {
    const std::uint32_t mask = masked ? 0x7F : 0xFF;
    return ((bytes[0] & mask) << 21) | ((bytes[1] & mask) << 14) | ((bytes[2] & mask) << 7) |
           (bytes[3] & mask);
}

void SyncsafeBytes(std::uint32_t value, std::uint8_t* out) {
    out[0] = static_cast<std::uint8_t>((value >> 21) & 0x7F);
    out[1] = static_cast<std::uint8_t>((value >> 14) & 0x7F);
    out[2] = static_cast<std::uint8_t>((value >> 7) & 0x7F);
    out[3] = static_cast<std::uint8_t>(value & 0x7F);
}

TBuffer RemoveUnsynchronisation(const TBuffer& bytes) {
    TBuffer out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0x00) {
            ++i;
        }
    }
    return out;
}

TBuffer ApplyUnsynchronisation(const TBuffer& bytes) {
    TBuffer out;
    out.reserve(bytes.size() + bytes.size() / 16 + 1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] != 0xFF) {
            continue;
        }
        if (i + 1 == bytes.size() || bytes[i + 1] == 0x00 || bytes[i + 1] >= 0xE0) {
            out.push_back(0x00);
        }
    }
    return out;
}

TID3v2Frame::TID3v2Frame(const std::string& id, std::uint8_t version)
    : fVersion(version), fHeader(version == 2 ? 6 : 10, 0) {
    fIDString = IsValidFrameID(id, version) ? id : std::string(IDLength(), 'X');
    std::copy(fIDString.begin(), fIDString.end(), fHeader.begin());
}

std::uint8_t TID3v2Frame::StatusFlags() const {
    return fVersion == 2 ? 0 : fHeader[8];
}

std::uint8_t TID3v2Frame::FormatFlags() const {
    return fVersion == 2 ? 0 : fHeader[9];
}

void TID3v2Frame::SetStatusFlags(std::uint8_t flags) {
    if (fVersion != 2) {
        fHeader[8] = flags;
    }
}

void TID3v2Frame::SetFormatFlags(std::uint8_t flags) {
    if (fVersion != 2) {
        fHeader[9] = flags;
    }
}

bool TID3v2Frame::Grouped() const {
    switch (fVersion) {
    case 3:
        return (FormatFlags() & kV3Grouping) != 0;
    case 4:
        return (FormatFlags() & kV4Grouping) != 0;
    default:
        return false;
    }
}

std::uint32_t TID3v2Frame::SizeField() const {
    const std::uint8_t* size = fHeader.data() + IDLength();
    switch (fVersion) {
    case 2:
        return (std::uint32_t{size[0]} << 16) | (std::uint32_t{size[1]} << 8) | size[2];
    case 3:
        return BigEndianValue(size);
    default:
        // Seven bits per byte in the standard; the bytes are taken whole here, unmasked.
        return SyncsafeValue(size, false);
    }
}

bool TID3v2Frame::SetFrameSize(std::size_t size) {
    std::uint8_t* out = fHeader.data() + IDLength();
    switch (fVersion) {
    case 2:
        if (size > 0xFFFFFF) {
            return false;
        }
        out[0] = static_cast<std::uint8_t>(size >> 16);
        out[1] = static_cast<std::uint8_t>(size >> 8);
        out[2] = static_cast<std::uint8_t>(size);
        return true;
    case 3:
        if (size > 0xFFFFFFFFu) {
            return false;
        }
        out[0] = static_cast<std::uint8_t>(size >> 24);
        out[1] = static_cast<std::uint8_t>(size >> 16);
        out[2] = static_cast<std::uint8_t>(size >> 8);
        out[3] = static_cast<std::uint8_t>(size);
        return true;
    default:
        if (size >= (1u << 28)) {
            return false;
        }
        SyncsafeBytes(static_cast<std::uint32_t>(size), out);
        return true;
    }
}

TAudioError TID3v2Frame::ReadFromStream(TStream& stream) {
    fLastExceptionMessage.clear();
    return GuardedRead(fLastExceptionMessage, [&] {
        ReadContent(stream);
        return FileErr_None;
    });
}

void TID3v2Frame::ReadContent(TStream& stream) {
    // The remaining header bytes: 3 for version 2.2 (ID 3 + size 3), 6 otherwise.
    const std::size_t idLength = IDLength();
    stream.ReadBuffer(fHeader.data() + idLength, fHeader.size() - idLength);
    const std::uint8_t format = FormatFlags();
    fParsable = true;
    if ((fVersion == 3 && (format & ~kV3Grouping) != 0) ||
        (fVersion == 4 && (format & (kV4FormatUndefined | kV4Compression | kV4Encryption)) != 0)) {
        fParsable = false;
    }
    TBuffer content = ReadExactly(stream, SizeField());
    if (fVersion == 4 && (format & kV4Unsynchronised) != 0) {
        content = RemoveUnsynchronisation(content);
    }
    TakeContent(std::move(content));
}

void TID3v2Frame::TakeContent(TBuffer content) {
    if (!fParsable) {
        fData = std::move(content);
        return;
    }
    std::size_t offset = 0;
    if (Grouped()) {
        if (content.size() < offset + 1) {
            throw EReadError("Frame too short for its group byte");
        }
        fGroupID = content[offset];
        offset += 1;
    }
    if (fVersion == 4 && (FormatFlags() & kV4DataLength) != 0) {
        if (content.size() < offset + 4) {
            throw EReadError("Frame too short for its data length");
        }
        fDataLength = SyncsafeValue(content.data() + offset);
        offset += 4;
    }
    content.erase(content.begin(), content.begin() + static_cast<std::ptrdiff_t>(offset));
    fData = std::move(content);
}

TTagContentType TID3v2Frame::TagContentType() const {
    const std::string& id = fIDString;
    if (!IsValidFrameID(id, fVersion) || id == std::string(IDLength(), 'X')) {
        return tctInvalid;
    }
    if (IsTextFrameID(id)) {
        return tctText;
    }
    if (id == "TXX" || id == "TXXX") {
        return tctUserText;
    }
    if (id == "WXX" || id == "WXXX") {
        return tctUserURL;
    }
    if (id[0] == 'W') {
        return tctURL;
    }
    switch (FrameID()) {
    case IDv2_PICTURE:
        return tctPicture;
    case IDv2_COMMENT:
        return tctComment;
    case IDv2_LYRICS:
        return tctLyrics;
    case IDv2_POPULARIMETER:
        return tctPopularimeter;
    case IDv2_PRIVATE:
        return tctPrivate;
    default:
        return tctUnknown;
    }
}

std::string TID3v2Frame::GetText() const {
    if (!IsTextFrameID(fIDString) || !fParsable || fData.empty()) {
        return {};
    }
    const std::uint8_t encoding = fData[0] <= kEncodingUtf8 ? fData[0] : kEncodingLatin1;
    return EncodeUtf8(TrimControl(DecodeFrameText(encoding, fData.data() + 1, fData.size() - 1)));
}

void TID3v2Frame::SetText(const std::string& value) {
    if (!IsTextFrameID(fIDString)) {
        return;
    }
    // A grouped frame that could not be interpreted still carries its group byte in front.
    if (!fParsable && Grouped() && !fData.empty()) {
        fGroupID = fData[0];
    }
    fData = EncodeFrameText(DecodeUtf8(value), fAlwaysWriteUnicode);
    ClearFlagsForNewText();
    fParsable = true;
    SetFrameSize(fData.size());
}

void TID3v2Frame::ClearFlagsForNewText() {
    switch (fVersion) {
    case 3:
        SetStatusFlags(StatusFlags() & kV3StatusKept);
        SetFormatFlags(FormatFlags() & kV3Grouping);
        break;
    case 4:
        SetStatusFlags(StatusFlags() & kV4StatusKept);
        SetFormatFlags(FormatFlags() & kV4Grouping);
        break;
    default:
        break;
    }
}

TAudioError TID3v2Frame::WriteToStream(TStream& stream) {
    fLastExceptionMessage.clear();
    return GuardedWrite(fLastExceptionMessage, [&] {
        WriteFrame(stream, false);
        return FileErr_None;
    });
}

TAudioError TID3v2Frame::WriteUnsyncedToStream(TStream& stream) {
    fLastExceptionMessage.clear();
    return GuardedWrite(fLastExceptionMessage, [&] {
        WriteFrame(stream, fVersion == 4);
        return FileErr_None;
    });
}

void TID3v2Frame::WriteFrame(TStream& stream, bool unsynchronise) {
    std::uint8_t format = FormatFlags();
    if (fVersion == 4) {
        format &= static_cast<std::uint8_t>(~kV4Unsynchronised);
    }
    // The content leaves memory without its data-length field; a group byte goes in front.
    TBuffer prefix;
    if (fParsable) {
        if (fVersion == 4) {
            format &= static_cast<std::uint8_t>(~kV4DataLength);
        }
        if (Grouped()) {
            prefix.push_back(fGroupID);
        }
    }
    if (!unsynchronise) {
        SetFormatFlags(format);
        if (!SetFrameSize(prefix.size() + fData.size())) {
            throw EWriteError("Frame too large for its size field");
        }
        stream.WriteBuffer(fHeader.data(), fHeader.size());
        stream.WriteBuffer(prefix.data(), prefix.size());
        stream.WriteBuffer(fData.data(), fData.size());
        return;
    }
    prefix.insert(prefix.end(), fData.begin(), fData.end());
    const TBuffer content = ApplyUnsynchronisation(prefix);
    SetFormatFlags(format | kV4Unsynchronised);
    if (!SetFrameSize(content.size())) {
        throw EWriteError("Frame too large for its size field");
    }
    stream.WriteBuffer(fHeader.data(), fHeader.size());
    stream.WriteBuffer(content.data(), content.size());
}

} // namespace lorvane
