#pragma once
// The chosen text and background colour as a whole palette: every role a window, a
// box, a menu, a button, a column header or a progress bar draws with is one of the
// two or a mix of them, so that nothing stays in the desktop's colours. Marked parts
// (selection, the bar's chunk) are the pair inverted, so they stand out in any pair.

#include <QColor>
#include <QPalette>

namespace lorvane {

// a and b mixed: anteilA percent of a, the rest of b.
QColor Mischfarbe(const QColor& a, const QColor& b, int anteilA);

QPalette AussehenPalette(const QColor& text, const QColor& hintergrund);

// Of the palette's text and background colour the one farther from `grund`: a frame or
// a mark in it stays visible on that ground in every colour pair.
QColor KontrastZu(const QPalette& palette, const QColor& grund);

} // namespace lorvane
