#pragma once
// How the application style draws the shapes whose colours the desktop style takes
// from its own shades (button faces, frames, column headers, the bar's groove, the
// focus mark): plainly, in the window's text and background colour, with lines that
// grow with the font. A frame in the text colour on the background stays visible in
// every colour pair the user can choose.

#include <QColor>
#include <QRect>
#include <QRegion>

class QPainter;
class QStyleOption;

namespace lorvane {

// The line width of frames and of the focus mark for a font whose lines are
// schriftHoehe pixels high.
int RahmenDicke(int schriftHoehe);
int FokusDicke(int schriftHoehe);

// A frame of the given width inside the rect.
void RahmenZeichnen(QPainter& painter, const QRect& rect, const QColor& farbe, int dicke);
// The ring of the given width inside the rect, as the focus frame's mask.
QRegion Ring(const QRect& rect, int dicke);

// A button face: the button colour (the text colour mixed in while pressed or on),
// framed in the button's text colour, the default button twice as thick.
void KnopfZeichnen(QPainter& painter, const QStyleOption& option, int dicke, bool standard);
// A column header: the button colour, framed in the button's text colour.
void KopfZeichnen(QPainter& painter, const QStyleOption& option, int dicke);
// The mark of the control or row that has the focus, in the colour farthest from the
// ground it lies on (the row's selection colour or the window's background).
void FokusZeichnen(QPainter& painter, const QStyleOption& option, const QColor& grund, int dicke);

} // namespace lorvane
