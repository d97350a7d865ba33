#pragma once
// Display columns of UTF-8 text on a terminal: East Asian wide and fullwidth
// characters take two columns, combining marks and control characters none. Used to
// cut progress lines so that they never wrap, which would break redrawing in place.

#include <string>

namespace lorvane {

// Columns of one code point: 0, 1 or 2.
int ZeichenSpalten(char32_t zeichen);

// Columns of the whole text; an invalid byte counts as one column.
int TextSpalten(const std::string& text);

// The longest start of the text that takes at most the given columns; never cuts a
// UTF-8 sequence, and keeps combining marks with their base character.
std::string AufSpaltenGekuerzt(const std::string& text, int spalten);

} // namespace lorvane
