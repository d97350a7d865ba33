#pragma once
// Small text helpers shared by the windows and the engine: durations, numbers with
// thousands dots, word extraction and the cleaning of names used in file names.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lorvane {

// Seconds as hours:minutes:seconds, each part at least two digits ("100:04:05").
// Division and remainder truncate toward zero; callers pass values of 0 or more.
std::string DauerText(std::int32_t sekunden);

// Decimal with "." between groups of three digits from the right, sign in front.
std::string ZahlMitPunkten(std::int64_t zahl);

// A decimal integer with an optional sign that fits 32 bits; nothing else around it.
std::optional<std::int32_t> GanzzahlLesen(std::string_view text);

// "h:m:s", "m:s" or "s" to seconds; a part that is not an integer counts 0. The sum
// is held to the 32-bit range.
std::int32_t ZeitInSekunden(std::string_view text);

// The n-th word (from 1) of the text: a maximal run of characters that are not in
// the separator set. Empty when the text has fewer words.
std::string_view WortAusText(std::string_view text, int n, std::string_view trenner);

// The characters a name in a file name must not contain: U+0000..U+001F and
// " * / : < > ? \ |.
inline constexpr std::array<char32_t, 41> UngueltigeZeichen = [] {
    std::array<char32_t, 41> zeichen{};
    for (char32_t c = 0; c < 0x20; ++c) {
        zeichen[c] = c;
    }
    constexpr std::u32string_view rest = U"\"*/:<>?\\|";
    for (std::size_t i = 0; i < rest.size(); ++i) {
        zeichen[0x20 + i] = rest[i];
    }
    return zeichen;
}();

bool IstUngueltigesZeichen(char32_t c);

// Drops every character of UngueltigeZeichen and keeps the rest in order. A result
// that is empty or only dots ("." and ".." would name the folder itself or its
// parent) becomes "_", or "" when empty is allowed.
std::string NameBereinigen(std::string_view text, bool leerErlaubt);

// What the main window stores after the metadata dialog: trimmed of characters up to
// U+0020, cleaned, trimmed again (cleaning can uncover blanks) and "_" when nothing
// usable is left.
std::string MetaTextBereinigen(std::string_view text);

} // namespace lorvane
