#pragma once
// One font and one background colour for every window, and sizes measured from the
// text of that font, so that large fonts never clip a caption and all windows look
// alike. The measurements are plain functions; the window routines apply them.

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>

class QPalette;
class QWidget;

namespace lorvane {

// Style bits as stored in the settings.
inline constexpr int StilKursiv = 1;
inline constexpr int StilFett = 2;
inline constexpr int StilUnterstrichen = 4;
inline constexpr int StilDurchgestrichen = 8;

// Colours are stored as 0x00BBGGRR; a top byte 0xFF names a system colour by the
// index in the low byte. This one is the window-text colour.
inline constexpr std::uint32_t FensterTextFarbe = 0xFF000008u;
inline constexpr std::uint32_t Weiss = 0x00FFFFFFu;

struct TAktFont {
    QString Name = QStringLiteral("Arial");
    int Size = 12; // points
    int CharSet = 0;
    int Style = 0; // Stil* bits
    std::uint32_t Color = FensterTextFarbe;
    bool operator==(const TAktFont&) const = default;
};

// AktFont and AktBackColor: what every window applies when it is shown.
struct TAussehen {
    TAktFont AktFont;
    std::uint32_t AktBackColor = Weiss;
    bool operator==(const TAussehen&) const = default;
};

QFont SchriftAus(const TAktFont& font);
// A stored colour as Qt's colour; system colours come from the palette (window text
// for every index, the only one the program stores).
QColor FarbeAus(std::uint32_t wert, const QPalette& palette);
std::uint32_t FarbWert(const QColor& farbe);

// The measurement rules: text height (tmHeight), text width, caption width (the text
// and one space) and control heights (text height, 12 when it is 0 or less, plus a
// fixed addition by kind).
enum class TControlArt { Edit, Button, StatusBar, CheckBox, Sonstige };
int TextHeightOf(const QFont& font);
int TextWidthOf(const QFont& font, const QString& text);
int CaptionWidthFor(const QFont& font, const QString& text);
int ControlHeightFor(int textHeight, TControlArt art);
int ControlHeightFor(const QFont& font, TControlArt art);
QString StripAmpersands(QString caption);
// The longest caption without its "&", by characters; the first of equal ones wins.
QString LaengsteCaption(const QStringList& captions);
// The common button width W: the longest caption followed by "MM", measured.
int ButtonBreite(const QFont& font, const QStringList& captions);
// The narrowest box in which a caption wraps, between words, onto at most that many
// lines, and that box's width as a label needs it to wrap there.
QSize UmbruchGroesse(const QFont& font, const QString& caption, int zeilen);

// Which windows apply the whole font and the colour to which kinds of control.
enum class TFensterArt { Hauptfenster, Hinzufuegen, Fortschritt, Dialog };

// The font and the colour for every control of the window, in creation order: the
// listed kinds get both, buttons only name, size and style.
void SchriftartZuweisen(QWidget& fenster, TFensterArt art, const TAussehen& aussehen);
// The common part of the layout: every button of the window gets the control height
// of its font and the common width W, which is returned.
int SchalterGemeinsam(QWidget& fenster, const QFont& font);

// Where a dialog goes: centred over its owner's frame, also when it is larger.
QPoint DialogPosition(const QRect& owner, const QSize& eigene);
// Where the main window goes: a maximised one at the work area's corner, any other
// centred in the work area.
QPoint HauptfensterPosition(const QRect& arbeitsbereich, const QSize& eigene, bool maximiert);
// Centres the dialog over its owner (the main window when the owner is none), moved
// as far as needed to lie within the work area.
void DialogZentrieren(QWidget& dialog);

// No window leaves the work area (the screen without panels): the top-left of a frame
// placed at `rahmen`, moved into the area, to its top-left corner when it is larger.
QPoint InBereich(const QRect& rahmen, const QRect& bereich);
// The work area of the window's screen.
QRect Arbeitsbereich(const QWidget& fenster);
// What the window's frame adds to its client area: its own once the window manager
// has framed it, before that its owner's, which it will most likely get as well.
QSize RahmenGroesse(const QWidget& fenster);
// The largest client area the window may have: the work area without the frame.
QSize GroessteClientGroesse(const QWidget& fenster);
// Moves the window back into the work area when its frame leaves it.
void ImArbeitsbereichHalten(QWidget& fenster);

// a div b of the layouts: integer division truncating toward zero.
inline int Div(int a, int b) {
    return a / b;
}
// trunc(width / 100 * p) of the layouts.
int Prozent(int breite, int prozent);

} // namespace lorvane
