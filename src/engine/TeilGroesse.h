#pragma once
// How many audio bytes go into one joined part: the share of the chosen hours in the
// total playing time, adjusted so that the last part is not a small remainder.

#include <cstdint>

namespace lorvane {

// The hours per part a user may choose in either front end, and the default.
inline constexpr std::int32_t StundenMinimum = 1;
inline constexpr std::int32_t StundenMaximum = 10;
inline constexpr std::int32_t StundenVorgabe = 5;

bool StundenImBereich(std::int64_t stunden);
// A stored value outside the range is taken as its nearest end, so that no job ever
// starts with 0 or 50 hours.
std::int32_t StundenBegrenzen(std::int64_t stunden);

// The filling of the last part in percent when a total of gesamt bytes is cut into
// parts of n bytes: 100 * (gesamt mod n) / n in floating point, rounded to the
// nearest integer with halves to even; 0 when n divides the total (and for n <= 0).
std::int32_t TeilFuellung(std::int64_t n, std::int64_t gesamt);

// The part size actually used for the proposed size n and the total gesamt:
// - n <= 0 gives 1;
// - a last part at least 98 % full keeps n;
// - one more than 10 % full: n shrinks until the last part is at least 97 % full (or
//   n is 1);
// - otherwise n grows until the small remainder is absorbed and the new last part is
//   at least 97 % full. When no size reaches that (a total of 27 bytes or less, or
//   none at all), the total goes into one part: the larger of n and the total.
// Gives the same n as moving one byte at a time, but jumps over the sizes that share
// the number of full parts, where the filling moves in one direction only.
std::int64_t TeilGroesseAnpassen(std::int64_t n, std::int64_t gesamt);

// The joiner's part size from the total audio bytes, the total playing time in
// seconds and the hours per part: everything in one part when the hours cover the
// playing time (or there is no playing time), else the bytes of that share, rounded
// with halves to even, passed through TeilGroesseAnpassen.
std::int64_t TeilBytesBerechnen(std::int64_t gesamtBytes, std::int32_t gesamtDauer,
                                std::int32_t maxStunden);

// How many parts the joiner makes of a total of gesamt bytes in parts of n bytes: the
// last one takes the rest. None without bytes; one when n is no size. A part that ends
// inside a file grows to the end of its frame, less than the last part's share.
std::int32_t TeilAnzahl(std::int64_t gesamt, std::int64_t n);

} // namespace lorvane
