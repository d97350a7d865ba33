#include "engine/auswahl/NatuerlicheReihenfolge.h"

#include "base/TextCodec.h"

#include <cstddef>
#include <string>

namespace lorvane {

namespace {

bool IstZiffer(char32_t c) {
    return c >= U'0' && c <= U'9';
}

// The letter a name is sorted under: ASCII and Latin-1 letters without case and
// accent, the ligatures spelt out; every other character stays itself.
std::u32string_view Grundform(char32_t c, char32_t& puffer) {
    if (c >= U'A' && c <= U'Z') {
        puffer = c - U'A' + U'a';
        return {&puffer, 1};
    }
    if (c < 0xC0 || c > 0xFF || c == 0xD7 || c == 0xF7) {
        puffer = c;
        return {&puffer, 1};
    }
    switch (c) {
    case 0xC6:
    case 0xE6:
        return U"ae";
    case 0xDE:
    case 0xFE:
        return U"th";
    case 0xDF:
        return U"ss";
    default:
        break;
    }
    // Latin-1 letters from U+00C0 on, capitals and small letters alike.
    static constexpr std::u32string_view kBuchstaben = U"aaaaaaaceeeeiiiidnooooo_ouuuuy";
    const char32_t index = (c >= 0xE0 ? c - 0xE0 : c - 0xC0);
    puffer = (c == 0xFF) ? U'y' : kBuchstaben[index];
    return {&puffer, 1};
}

std::u32string Sortierform(std::string_view name) {
    std::u32string form;
    form.reserve(name.size());
    char32_t puffer = 0;
    for (char32_t c : DecodeUtf8(name)) {
        form += Grundform(c, puffer);
    }
    return form;
}

// Compares the digit runs starting at i and j by value and moves both past them.
int ZahlenVergleichen(const std::u32string& a, std::size_t& i, const std::u32string& b,
                      std::size_t& j) {
    while (i < a.size() && a[i] == U'0' && i + 1 < a.size() && IstZiffer(a[i + 1])) {
        ++i;
    }
    while (j < b.size() && b[j] == U'0' && j + 1 < b.size() && IstZiffer(b[j + 1])) {
        ++j;
    }
    const std::size_t anfangA = i;
    const std::size_t anfangB = j;
    while (i < a.size() && IstZiffer(a[i])) {
        ++i;
    }
    while (j < b.size() && IstZiffer(b[j])) {
        ++j;
    }
    const std::size_t laengeA = i - anfangA;
    const std::size_t laengeB = j - anfangB;
    if (laengeA != laengeB) {
        return laengeA < laengeB ? -1 : 1;
    }
    const int vergleich = a.compare(anfangA, laengeA, b, anfangB, laengeB);
    return vergleich < 0 ? -1 : (vergleich > 0 ? 1 : 0);
}

} // namespace

int NatuerlichVergleichen(std::string_view a, std::string_view b) {
    const std::u32string formA = Sortierform(a);
    const std::u32string formB = Sortierform(b);
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < formA.size() && j < formB.size()) {
        if (IstZiffer(formA[i]) && IstZiffer(formB[j])) {
            const int zahl = ZahlenVergleichen(formA, i, formB, j);
            if (zahl != 0) {
                return zahl;
            }
            continue;
        }
        if (formA[i] != formB[j]) {
            return formA[i] < formB[j] ? -1 : 1;
        }
        ++i;
        ++j;
    }
    if (i < formA.size() || j < formB.size()) {
        return i < formA.size() ? 1 : -1;
    }
    const int bytes = a.compare(b);
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

} // namespace lorvane
