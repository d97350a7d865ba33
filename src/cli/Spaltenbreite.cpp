#include "cli/Spaltenbreite.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace lorvane {

namespace {

struct TBereich {
    char32_t Von;
    char32_t Bis;
};

// Combining marks and other characters that take no column of their own.
constexpr std::array<TBereich, 14> kOhneBreite = {{
    {0x0300, 0x036F},
    {0x0483, 0x0489},
    {0x0591, 0x05BD},
    {0x0610, 0x061A},
    {0x064B, 0x065F},
    {0x0E31, 0x0E31},
    {0x0E34, 0x0E3A},
    {0x1AB0, 0x1AFF},
    {0x1DC0, 0x1DFF},
    {0x200B, 0x200F},
    {0x20D0, 0x20FF},
    {0xFE00, 0xFE0F},
    {0xFE20, 0xFE2F},
    {0xFEFF, 0xFEFF},
}};

// East Asian wide and fullwidth characters, and the emoji terminals draw wide.
constexpr std::array<TBereich, 20> kDoppelt = {{
    {0x1100, 0x115F}, {0x231A, 0x231B}, {0x2329, 0x232A}, {0x23E9, 0x23EC},   {0x25FD, 0x25FE},
    {0x2614, 0x2615}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF}, {0xA960, 0xA97F}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF},
}};

template <std::size_t N>
bool InBereichen(const std::array<TBereich, N>& bereiche, char32_t zeichen) {
    return std::any_of(bereiche.begin(), bereiche.end(), [zeichen](const TBereich& bereich) {
        return zeichen >= bereich.Von && zeichen <= bereich.Bis;
    });
}

constexpr char32_t kErsatzzeichen = 0xFFFD;

// The code point at the position and the bytes it takes; an invalid or cut sequence
// is one byte, shown by terminals as a replacement character.
char32_t Lesen(const std::string& text, std::size_t i, std::size_t& laenge) {
    const auto erstes = static_cast<unsigned char>(text[i]);
    laenge = 1;
    if (erstes < 0x80) {
        return erstes;
    }
    std::size_t folge = 0;
    char32_t zeichen = 0;
    if (erstes >= 0xC2 && erstes <= 0xDF) {
        folge = 1;
        zeichen = erstes & 0x1FU;
    } else if (erstes >= 0xE0 && erstes <= 0xEF) {
        folge = 2;
        zeichen = erstes & 0x0FU;
    } else if (erstes >= 0xF0 && erstes <= 0xF4) {
        folge = 3;
        zeichen = erstes & 0x07U;
    } else {
        return kErsatzzeichen;
    }
    if (text.size() - i <= folge) {
        return kErsatzzeichen;
    }
    for (std::size_t k = 1; k <= folge; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if ((byte & 0xC0U) != 0x80U) {
            return kErsatzzeichen;
        }
        zeichen = (zeichen << 6U) | (byte & 0x3FU);
    }
    laenge = folge + 1;
    return zeichen;
}

} // namespace

int ZeichenSpalten(char32_t zeichen) {
    if (zeichen < 0x20 || (zeichen >= 0x7F && zeichen < 0xA0)) {
        return 0;
    }
    if (InBereichen(kOhneBreite, zeichen)) {
        return 0;
    }
    if (InBereichen(kDoppelt, zeichen) || (zeichen >= 0x20000 && zeichen <= 0x3FFFD)) {
        return 2;
    }
    return 1;
}

int TextSpalten(const std::string& text) {
    int spalten = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t laenge = 1;
        spalten += ZeichenSpalten(Lesen(text, i, laenge));
        i += laenge;
    }
    return spalten;
}

std::string AufSpaltenGekuerzt(const std::string& text, int spalten) {
    int belegt = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t laenge = 1;
        const int breite = ZeichenSpalten(Lesen(text, i, laenge));
        if (belegt + breite > spalten) {
            return text.substr(0, i);
        }
        belegt += breite;
        i += laenge;
    }
    return text;
}

} // namespace lorvane
