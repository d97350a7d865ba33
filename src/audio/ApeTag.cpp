#include "audio/ApeTag.h"

#include "base/TextCodec.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <stdexcept>

namespace lorvane {

namespace {

constexpr std::size_t kEndBlockSize = ApeHeaderSize + ID3v1BlockSize; // 160
constexpr std::size_t kMaxKeyBytes = 256;                             // key and its NUL
constexpr std::size_t kItemPrefixSize = 8;                            // value size, flags

std::uint32_t ReadLE32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

TApeHeader EmptyTemplate(std::uint32_t flags) {
    TApeHeader header;
    std::memcpy(header.Preamble.data(), "APETAGEX", 8);
    header.Version = 2000;
    header.Size = ApeHeaderSize;
    header.Flags = flags;
    return header;
}

bool IsKeyByte(std::uint8_t byte) {
    return byte >= 0x20 && byte <= 0x7E;
}

} // namespace

TApeHeader DecodeApeHeader(const std::uint8_t* bytes) {
    TApeHeader header;
    std::copy(bytes, bytes + 8, header.Preamble.begin());
    header.Version = ReadLE32(bytes + 8);
    header.Size = ReadLE32(bytes + 12);
    header.ItemCount = ReadLE32(bytes + 16);
    header.Flags = ReadLE32(bytes + 20);
    std::copy(bytes + 24, bytes + 32, header.Reserved.begin());
    return header;
}

bool HasApePreamble(const std::uint8_t* bytes) {
    return std::memcmp(bytes, "APETAGEX", 8) == 0;
}

TApeTagItem::TApeTagItem(std::string key, std::uint32_t flags, TBuffer value)
    : fKey(std::move(key)), fValueSize(static_cast<std::uint32_t>(value.size())), fFlags(flags),
      fValue(std::move(value)) {}

std::string TApeTagItem::Text() const {
    if (!HasText()) {
        return {};
    }
    const std::string_view bytes(reinterpret_cast<const char*>(fValue.data()), fValue.size());
    return EncodeUtf8(DecodeUtf8(bytes));
}

TApeTag::TApeTag() {
    Clear();
}

void TApeTag::Clear() {
    fApev2TagFooter = EmptyTemplate(ApeFlagHasHeader);
    fApev2TagHeader = EmptyTemplate(ApeFlagHasHeader | ApeFlagIsHeader);
    fID3v1tag = TID3v1Structure();
    fExists = false;
    fID3v1Present = false;
    fID3v1TagSize = 0;
    fOffset = 0;
    fItemList.clear();
    fLastExceptionMessage.clear();
}

TAudioError TApeTag::ReadFromStream(TStream& stream) {
    Clear();
    try {
        return ReadEndTags(stream);
    } catch (const std::exception& error) {
        fLastExceptionMessage = error.what();
        return FileErr_Unknown;
    }
}

std::uint32_t TApeTag::TagSize() const {
    if (!fExists) {
        return 0;
    }
    const bool withHeader = (fApev2TagFooter.Flags & ApeFlagHasHeader) != 0;
    return fApev2TagFooter.Size + (withHeader ? ApeHeaderSize : 0);
}

std::string TApeTag::GetValueByKey(std::string_view key) const {
    for (const TApeTagItem& item : fItemList) {
        if (SameTextAscii(item.Key(), key)) {
            return item.Text();
        }
    }
    return {};
}

TAudioError TApeTag::ReadEndTags(TStream& stream) {
    const std::int64_t streamSize = stream.Size();
    std::uint8_t tail[kEndBlockSize];
    if (streamSize < static_cast<std::int64_t>(kEndBlockSize)) {
        return FileErr_StreamRead;
    }
    stream.Seek(streamSize - static_cast<std::int64_t>(kEndBlockSize));
    if (stream.Read(tail, kEndBlockSize) != kEndBlockSize) {
        return FileErr_StreamRead;
    }
    DetectID3v1(tail);
    // The footer candidate lies just before the ID3v1 block, or at the very end.
    const std::uint8_t* candidate = fID3v1Present ? tail : tail + ID3v1BlockSize;
    if (!HasApePreamble(candidate)) {
        return FileErr_None;
    }
    fApev2TagFooter = DecodeApeHeader(candidate);
    fExists = true;
    ReadOptionalHeader(stream);
    return ReadItems(stream);
}

void TApeTag::DetectID3v1(const std::uint8_t* lastBytes) {
    const std::uint8_t* block = lastBytes + ApeHeaderSize;
    const std::uint8_t* last32 = lastBytes + ID3v1BlockSize;
    // "TAG" can be the last bytes of an APE item; a file ending in a footer has no ID3v1.
    if (HasID3v1Identifier(block) && !HasApePreamble(last32)) {
        fID3v1TagSize = ID3v1BlockSize;
        fID3v1Present = true;
        fOffset = ID3v1BlockSize;
        fID3v1tag = DecodeID3v1Block(block);
    }
}

void TApeTag::ReadOptionalHeader(TStream& stream) {
    const std::int64_t items = fApev2TagFooter.Size;
    if ((fApev2TagFooter.Flags & ApeFlagHasHeader) == 0) {
        fOffset = items + fID3v1TagSize;
        return;
    }
    fOffset = items + static_cast<std::int64_t>(ApeHeaderSize) + fID3v1TagSize;
    const std::int64_t headerPosition = stream.Size() - fOffset;
    std::uint8_t bytes[ApeHeaderSize] = {};
    bool found = false;
    if (headerPosition >= 0) {
        stream.Seek(headerPosition);
        found = stream.Read(bytes, ApeHeaderSize) == ApeHeaderSize && HasApePreamble(bytes);
    }
    if (found) {
        fApev2TagHeader = DecodeApeHeader(bytes);
    } else {
        // The flag promised a header that is not there: the tag starts at the first item.
        fApev2TagFooter.Flags &= ~ApeFlagHasHeader;
        fOffset = items + fID3v1TagSize;
    }
}

TAudioError TApeTag::ReadItems(TStream& stream) {
    const std::int64_t itemsSize = fApev2TagFooter.Size;
    const std::int64_t firstItem = stream.Size() - fID3v1TagSize - itemsSize;
    // A size reaching before the start of the stream cannot be read back; it is
    // refused before anything is allocated for it.
    if (firstItem < 0) {
        throw EReadError("Stream read error");
    }
    TBuffer data(static_cast<std::size_t>(itemsSize));
    if (!data.empty()) {
        stream.Seek(firstItem);
        stream.ReadBuffer(data.data(), data.size());
    }
    return ParseItems(data, stream.Size());
}

TAudioError TApeTag::ParseItems(const TBuffer& data, std::int64_t streamSize) {
    std::size_t position = 0;
    for (std::uint32_t index = 0; index < fApev2TagFooter.ItemCount; ++index) {
        if (data.size() - position < kItemPrefixSize) {
            return DropInvalidTag();
        }
        const std::uint32_t valueSize = ReadLE32(data.data() + position);
        const std::uint32_t flags = ReadLE32(data.data() + position + 4);
        position += kItemPrefixSize;
        const auto keyBegin = data.begin() + static_cast<std::ptrdiff_t>(position);
        const auto keyLimit =
            keyBegin + static_cast<std::ptrdiff_t>(std::min(kMaxKeyBytes, data.size() - position));
        const auto keyEnd = std::find(keyBegin, keyLimit, std::uint8_t{0});
        if (keyEnd == keyLimit || !std::all_of(keyBegin, keyEnd, IsKeyByte)) {
            return DropInvalidTag();
        }
        std::string key(keyBegin, keyEnd);
        position += key.size() + 1;
        // A value larger than the whole file is one that could never be allocated: the
        // read fails as a whole. One merely beyond the tag's data is a broken item.
        if (static_cast<std::int64_t>(valueSize) > streamSize) {
            throw std::length_error("APE item value too large");
        }
        if (valueSize > data.size() - position) {
            return DropInvalidTag();
        }
        const auto valueBegin = data.begin() + static_cast<std::ptrdiff_t>(position);
        fItemList.emplace_back(
            std::move(key), flags,
            TBuffer(valueBegin, valueBegin + static_cast<std::ptrdiff_t>(valueSize)));
        position += valueSize;
    }
    return FileErr_None;
}

TAudioError TApeTag::DropInvalidTag() {
    fItemList.clear();
    fOffset = 0;
    fExists = false;
    return ApeErr_InvalidTag;
}

} // namespace lorvane
