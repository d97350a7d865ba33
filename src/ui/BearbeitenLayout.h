#pragma once
// The layout of the progress window as plain arithmetic: two status lines side by
// side (one below the other when the screen is too narrow for both), the bar below
// them, the minimise button and, one row lower, the cancel button.

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

namespace lorvane {

// The border line of a status line and the space between it and the text.
inline constexpr int StatusRahmen = 1;
inline constexpr int StatusInnenabstand = 3;

// A status line sized to its text: the measured text, the space and the border.
QSize StatusTextGroesse(const QFont& font, const QString& text);

struct TBearbeitenMasse {
    QSize StaticText1;
    QSize StaticText2;
    int ButtonBreite = 0; // W, the common button width
    int ButtonHoehe = 0;
    QSize Platz; // the room the client area may take; none when empty
};

struct TBearbeitenLayout {
    QRect StaticText1;
    QRect StaticText2;
    QRect ProgressBar1;
    QRect Btn1Minimieren;
    QRect Btn2Abbrechen;
    QSize Client;
};

TBearbeitenLayout BearbeitenLayoutBerechnen(const TBearbeitenMasse& masse);

} // namespace lorvane
