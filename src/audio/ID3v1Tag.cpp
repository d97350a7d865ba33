#include "audio/ID3v1Tag.h"

#include "base/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace lorvane {

namespace {

template <std::size_t N>
void CopyField(const std::uint8_t*& source, std::array<std::uint8_t, N>& field) {
    std::copy(source, source + N, field.begin());
    source += N;
}

template <std::size_t N> std::string DecodeField(const std::array<std::uint8_t, N>& field) {
    return EncodeUtf8(TrimControl(DecodeCp1252(field.data(), field.size())));
}

} // namespace

TID3v1Structure DecodeID3v1Block(const std::uint8_t* bytes) {
    TID3v1Structure block;
    const std::uint8_t* cursor = bytes;
    CopyField(cursor, block.ID);
    CopyField(cursor, block.Title);
    CopyField(cursor, block.Artist);
    CopyField(cursor, block.Album);
    CopyField(cursor, block.Year);
    CopyField(cursor, block.Comment);
    block.Genre = *cursor;
    return block;
}

bool HasID3v1Identifier(const std::uint8_t* bytes) {
    return std::memcmp(bytes, "TAG", 3) == 0;
}

void TID3v1Tag::Clear() {
    *this = TID3v1Tag();
}

void TID3v1Tag::ReadFromStructure(const TID3v1Structure& block) {
    FTitle = block.Title;
    FArtist = block.Artist;
    FAlbum = block.Album;
    FYear = block.Year;
    FComment = block.Comment;
    FGenre = block.Genre;
    // Bytes 125 and 126 of the block are the last two comment bytes.
    const bool hasTrack = block.Comment[28] == 0 && block.Comment[29] != 0;
    FVersion = hasTrack ? 1 : 0;
    FTrack = hasTrack ? block.Comment[29] : 0;
    FExists = true;
}

std::string TID3v1Tag::Title() const {
    return DecodeField(FTitle);
}
std::string TID3v1Tag::Artist() const {
    return DecodeField(FArtist);
}
std::string TID3v1Tag::Album() const {
    return DecodeField(FAlbum);
}
std::string TID3v1Tag::Year() const {
    return DecodeField(FYear);
}
std::string TID3v1Tag::Comment() const {
    // With a track number the comment is two bytes shorter.
    const std::size_t length = FVersion == 1 ? 28 : FComment.size();
    return EncodeUtf8(TrimControl(DecodeCp1252(FComment.data(), length)));
}

} // namespace lorvane
