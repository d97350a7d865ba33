#pragma once
// The main window's layout arithmetic, from the client size and the measured text,
// as plain functions that tests call without a window.

#include <QFont>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <array>
#include <functional>

namespace lorvane {

// The captions of the buttons of both lists and of "Weiter", in creation order.
QStringList HauptButtonCaptions();

// What the layout takes from the font.
struct THauptMasse {
    int W = 0;            // common button width
    int ButtonHoehe = 0;  // buttons beside the lists
    int WeiterBreite = 0; // W and 30 percent
    int WeiterHoehe = 0;  // in the font three points larger
    int StatusHoehe = 0;
    int Panel0Breite = 0;
    int Panel1Breite = 0;
    int TextHoehe = 0; // one line of the status line
    // The widest key hints on one line, with the panel's frame, and how many lines
    // they need in a panel of a given width.
    int HinweisBreite = 0;
    std::function<int(int)> HinweisZeilen;
    // The narrow second columns never get less than their caption and their widest
    // text need, so that large fonts do not cut "Unterordner" or a playing time.
    int Spalte1Mindest = 0;
    int Spalte2Mindest = 0;
    // What a list's frame and its scroll bar take from the width its columns share.
    int ListenRand = 0;
};

THauptMasse HauptMasseMessen(const QFont& font);
// The larger font of "Weiter".
QFont WeiterFont(const QFont& font);

struct THauptLayout {
    QRect Statuszeile;
    // Within the status line. When the key hints have no room beside the counts, they
    // take a row of their own below them, over as many lines as they need.
    std::array<QRect, 3> Panels{};
    int HinweisZeilen = 1;
    QRect Weiter;
    QRect Liste1;
    QRect Liste2;
    std::array<int, 2> Spalten1{};
    std::array<int, 2> Spalten2{};
    // Zurück, Hinzufügen, Aktualisieren
    std::array<QRect, 3> Buttons1;
    // Nach oben, Nach unten, Entfernen, Leeren
    std::array<QRect, 4> Buttons2;
};

// The two column widths of a list: the percentages of its width, the second at least
// its minimum, the first then held to what is left.
std::array<int, 2> Spalten(int breite, int prozent0, int prozent1, int mindest1);
THauptLayout HauptLayoutBerechnen(QSize client, const THauptMasse& masse);
// The smallest client area in which no control overlaps another: both button columns
// beside their lists, "Weiter" and the status line of that height below them.
QSize HauptMindestClient(const THauptMasse& masse, int statusHoehe);

// The main window's start size in a work area: 1200 x 900 and at least 1000 x 700,
// each held to the work area.
struct THauptGroesse {
    QSize Minimum;
    QSize Groesse;
};
THauptGroesse GroesseBegrenzen(const QRect& arbeitsbereich);

} // namespace lorvane
