#pragma once
// The picture of an attached-picture frame (APIC; PIC in version 2.2) and the cover of
// a tag. Only JPEG and PNG are taken, judged by the picture's own first bytes: the MIME
// field is often wrong, and players show no other kind in an audiobook.

#include "id3v2/ID3v2Frames.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lorvane {

class TID3v2Tag;

inline constexpr std::uint8_t BildTypTitelseite = 3;

struct TID3v2Bild {
    std::uint8_t BildTyp = 0;
    bool Png = false;
    std::vector<std::uint8_t> Daten;
};

// Nothing for a frame that is no picture, cannot be read (compressed, encrypted, cut
// short) or holds neither JPEG nor PNG.
std::optional<TID3v2Bild> BildAusFrame(const TID3v2Frame& frame);

// The tag's first front cover, else its first picture.
std::optional<TID3v2Bild> TitelBild(const TID3v2Tag& tag);

} // namespace lorvane
