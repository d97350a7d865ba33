#include "id3v2/ID3v2Bild.h"

#include "id3v2/ID3v2Tags.h"

#include <algorithm>
#include <array>

namespace lorvane {

namespace {

constexpr std::array<std::uint8_t, 3> kJpeg = {0xFF, 0xD8, 0xFF};
constexpr std::array<std::uint8_t, 8> kPng = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

template <std::size_t N>
bool BeginntMit(const TBuffer& daten, std::size_t ab, const std::array<std::uint8_t, N>& kopf) {
    return daten.size() - ab >= N && std::equal(kopf.begin(), kopf.end(), daten.begin() + ab);
}

// The position after a text ended by its encoding's terminator (two zero bytes at an
// even distance for UTF-16, one otherwise); nothing when it never ends.
std::optional<std::size_t> NachText(const TBuffer& daten, std::size_t ab, bool utf16) {
    if (!utf16) {
        const auto ende = std::find(daten.begin() + ab, daten.end(), 0);
        return ende == daten.end()
                   ? std::nullopt
                   : std::optional(static_cast<std::size_t>(ende - daten.begin()) + 1);
    }
    for (std::size_t i = ab; i + 1 < daten.size(); i += 2) {
        if (daten[i] == 0 && daten[i + 1] == 0) {
            return i + 2;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<TID3v2Bild> BildAusFrame(const TID3v2Frame& frame) {
    if (frame.TagContentType() != tctPicture || !frame.Parsable()) {
        return std::nullopt;
    }
    const TBuffer& daten = frame.Data();
    if (daten.empty()) {
        return std::nullopt;
    }
    const std::uint8_t kodierung = daten[0];
    // Version 2.2 names the format in three bytes, the others give a MIME type.
    std::optional<std::size_t> stelle =
        frame.Version() == 2 ? std::optional<std::size_t>(4) : NachText(daten, 1, false);
    if (!stelle || *stelle >= daten.size()) {
        return std::nullopt;
    }
    TID3v2Bild bild;
    bild.BildTyp = daten[*stelle];
    stelle = NachText(daten, *stelle + 1, kodierung == 1 || kodierung == 2);
    if (!stelle || *stelle >= daten.size()) {
        return std::nullopt;
    }
    bild.Png = BeginntMit(daten, *stelle, kPng);
    if (!bild.Png && !BeginntMit(daten, *stelle, kJpeg)) {
        return std::nullopt;
    }
    bild.Daten.assign(daten.begin() + static_cast<std::ptrdiff_t>(*stelle), daten.end());
    return bild;
}

std::optional<TID3v2Bild> TitelBild(const TID3v2Tag& tag) {
    std::optional<TID3v2Bild> erstes;
    for (const TID3v2Frame& frame : tag.Frames()) {
        std::optional<TID3v2Bild> bild = BildAusFrame(frame);
        if (bild && bild->BildTyp == BildTypTitelseite) {
            return bild;
        }
        if (bild && !erstes) {
            erstes = std::move(bild);
        }
    }
    return erstes;
}

} // namespace lorvane
