#pragma once
// Text conversions between the encodings found in tags and the UTF-8 strings the
// core uses everywhere. Invalid input never throws: bad sequences become U+FFFD.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lorvane {

// Windows-1252 as Windows decodes it: the five undefined bytes map to the C1
// control with the same number.
std::u32string DecodeCp1252(const std::uint8_t* bytes, std::size_t count);
// UTF-16 code units; an unpaired surrogate becomes U+FFFD. An odd last byte is dropped.
std::u32string DecodeUtf16(const std::uint8_t* bytes, std::size_t count, bool bigEndian);
// UTF-8; every invalid or overlong sequence becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

std::string EncodeUtf8(std::u32string_view text);
// UTF-16 little-endian code units, surrogate pairs for characters above U+FFFF.
std::u16string EncodeUtf16(std::u32string_view text);

// Removes leading and trailing characters up to U+0020 (spaces, NULs, controls).
std::u32string TrimControl(std::u32string_view text);
// The same on ASCII whitespace and controls of a UTF-8 string.
std::string TrimControlUtf8(std::string_view text);

// True when the text can be written as one byte per character in a single-byte
// tag encoding: every character at most U+00FF and none in U+0080..U+009F.
bool FitsLatin1Text(std::u32string_view text);

// ASCII case-insensitive comparison.
bool SameTextAscii(std::string_view a, std::string_view b);

} // namespace lorvane
