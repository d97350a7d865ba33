#pragma once
// The 128-byte ID3v1 block at the end of an MP3 file. The block itself is found by
// the end-tag detection of TApeTag, which hands it over here.

#include "base/AudioErrors.h"

#include <array>
#include <cstdint>
#include <string>

namespace lorvane {

struct TID3v1Structure {
    std::array<std::uint8_t, 3> ID{}; // "TAG"
    std::array<std::uint8_t, 30> Title{};
    std::array<std::uint8_t, 30> Artist{};
    std::array<std::uint8_t, 30> Album{};
    std::array<std::uint8_t, 4> Year{};
    std::array<std::uint8_t, 30> Comment{};
    std::uint8_t Genre = 0;
};

inline constexpr std::size_t ID3v1BlockSize = 128;

// Splits 128 raw bytes into the fields of the block.
TID3v1Structure DecodeID3v1Block(const std::uint8_t* bytes);
// True when the bytes begin with "TAG".
bool HasID3v1Identifier(const std::uint8_t* bytes);

class TID3v1Tag {
public:
    TID3v1Tag() = default;

    void Clear();
    // Copies the fields of a found block and marks the tag as existing.
    void ReadFromStructure(const TID3v1Structure& block);

    bool Exists() const { return FExists; }
    // The text fields decoded from the single-byte code page, trimmed of leading and
    // trailing spaces and controls, as UTF-8.
    std::string Title() const;
    std::string Artist() const;
    std::string Album() const;
    std::string Year() const;
    std::string Comment() const;
    std::uint8_t Genre() const { return FGenre; }
    // ID3v1.1 keeps a track number in the last byte of the comment.
    std::uint8_t Version() const { return FVersion; }
    std::uint8_t Track() const { return FTrack; }
    // Reading a handed-over block cannot fail; kept for the common tag interface.
    const std::string& LastExceptionMessage() const { return fLastExceptionMessage; }

private:
    std::array<std::uint8_t, 30> FTitle{};
    std::array<std::uint8_t, 30> FArtist{};
    std::array<std::uint8_t, 30> FAlbum{};
    std::array<std::uint8_t, 4> FYear{};
    std::array<std::uint8_t, 30> FComment{};
    std::uint8_t FGenre = 0;
    std::uint8_t FTrack = 0;
    std::uint8_t FVersion = 0;
    bool FExists = false;
    std::string fLastExceptionMessage;
};

} // namespace lorvane
