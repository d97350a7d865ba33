#pragma once
// APEv2 tag at the end of an MP3 file, and the detection of the end tags: an
// ID3v1 block in the last 128 bytes and an APEv2 tag before it (or at the very end).

#include "audio/ID3v1Tag.h"
#include "base/AudioErrors.h"
#include "base/Streams.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

// Header and footer of an APEv2 tag; numbers are little-endian in the file.
struct TApeHeader {
    std::array<std::uint8_t, 8> Preamble{}; // "APETAGEX"
    std::uint32_t Version = 0;
    std::uint32_t Size = 0; // all items plus the footer, header excluded
    std::uint32_t ItemCount = 0;
    std::uint32_t Flags = 0;
    std::array<std::uint8_t, 8> Reserved{};
};

inline constexpr std::size_t ApeHeaderSize = 32;
inline constexpr std::uint32_t ApeFlagHasHeader = 1u << 31;
inline constexpr std::uint32_t ApeFlagIsHeader = 1u << 29;

TApeHeader DecodeApeHeader(const std::uint8_t* bytes);
bool HasApePreamble(const std::uint8_t* bytes);

// Item kinds of flag bits 1-2.
enum TApeItemKind : std::uint8_t {
    APE_ITEM_Text = 0,
    APE_ITEM_Binary = 1,
    APE_ITEM_Locator = 2,
    APE_ITEM_Reserved = 3,
};

class TApeTagItem {
public:
    TApeTagItem(std::string key, std::uint32_t flags, TBuffer value);

    const std::string& Key() const { return fKey; }
    std::uint32_t ValueSize() const { return fValueSize; }
    std::uint32_t Flags() const { return fFlags; }
    TApeItemKind Kind() const { return static_cast<TApeItemKind>((fFlags >> 1) & 3); }
    // Text and locator items carry UTF-8 text; the others give the empty string.
    bool HasText() const { return Kind() == APE_ITEM_Text || Kind() == APE_ITEM_Locator; }
    std::string Text() const;
    const TBuffer& Value() const { return fValue; }

private:
    std::string fKey;
    std::uint32_t fValueSize;
    std::uint32_t fFlags;
    TBuffer fValue;
};

class TApeTag {
public:
    TApeTag();

    void Clear();
    // Detects the end tags of the stream. 0: done (with or without tags); 9: the
    // stream is shorter than 160 bytes; 27: a malformed item (the APE tag then counts
    // as absent, an ID3v1 block stays); 3: the tag cannot be read back (its size
    // reaches before the start of the stream, or reading failed), message kept.
    TAudioError ReadFromStream(TStream& stream);

    bool Exists() const { return fExists; }
    bool ID3v1Present() const { return fID3v1Present; }
    std::uint32_t ID3v1TagSize() const { return fID3v1TagSize; }
    const TID3v1Structure& ID3v1Block() const { return fID3v1tag; }
    // Distance of the tag's first byte from the end of the stream, ID3v1 included.
    std::int64_t Offset() const { return fOffset; }
    // Bytes of the APE tag: 0 without one; the footer's Size, plus 32 with a header.
    std::uint32_t TagSize() const;
    const TApeHeader& Footer() const { return fApev2TagFooter; }
    const TApeHeader& Header() const { return fApev2TagHeader; }
    const std::vector<TApeTagItem>& Items() const { return fItemList; }
    // Text of the first item with this key (ASCII case-insensitive); empty when there
    // is none or it is a binary item.
    std::string GetValueByKey(std::string_view key) const;
    const std::string& LastExceptionMessage() const { return fLastExceptionMessage; }

private:
    TAudioError ReadEndTags(TStream& stream);
    void DetectID3v1(const std::uint8_t* lastBytes);
    void ReadOptionalHeader(TStream& stream);
    TAudioError ReadItems(TStream& stream);
    TAudioError ParseItems(const TBuffer& data, std::int64_t streamSize);
    TAudioError DropInvalidTag();

    TApeHeader fApev2TagFooter;
    TApeHeader fApev2TagHeader;
    TID3v1Structure fID3v1tag;
    bool fExists = false;
    bool fID3v1Present = false;
    std::uint32_t fID3v1TagSize = 0;
    std::int64_t fOffset = 0;
    std::vector<TApeTagItem> fItemList;
    std::string fLastExceptionMessage;
};

} // namespace lorvane
