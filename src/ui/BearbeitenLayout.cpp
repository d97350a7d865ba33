#include "ui/BearbeitenLayout.h"

#include "platform/aussehen/Fenster.h"

#include <algorithm>

namespace lorvane {

QSize StatusTextGroesse(const QFont& font, const QString& text) {
    const int rand = 2 * (StatusRahmen + StatusInnenabstand);
    return {TextWidthOf(font, text) + rand, TextHeightOf(font) + rand};
}

TBearbeitenLayout BearbeitenLayoutBerechnen(const TBearbeitenMasse& masse) {
    TBearbeitenLayout l;
    const int w = masse.ButtonBreite;
    l.StaticText1 = QRect(QPoint(10, 20), masse.StaticText1);
    l.StaticText2 =
        QRect(QPoint(l.StaticText1.left() + l.StaticText1.width() + 10, l.StaticText1.top()),
              masse.StaticText2);
    int clientBreite = l.StaticText2.left() + l.StaticText2.width() + 10;
    if (!masse.Platz.isEmpty() && clientBreite > masse.Platz.width()) {
        l.StaticText2.moveTopLeft(
            QPoint(l.StaticText1.left(), l.StaticText1.top() + l.StaticText1.height() + 10));
        clientBreite = std::max(l.StaticText1.width(), l.StaticText2.width()) + 20;
    }
    const int balkenLinks = l.StaticText1.left();
    l.ProgressBar1 = QRect(balkenLinks, l.StaticText2.top() + l.StaticText2.height() + 20,
                           clientBreite - 2 * balkenLinks, 2 * masse.ButtonHoehe);
    const int btn1Links = Div(clientBreite - 2 * w, 3);
    l.Btn1Minimieren =
        QRect(btn1Links, l.ProgressBar1.top() + l.ProgressBar1.height() + 20, w, masse.ButtonHoehe);
    l.Btn2Abbrechen =
        QRect(2 * btn1Links + w, l.Btn1Minimieren.top() + l.Btn1Minimieren.height() + 20, w,
              masse.ButtonHoehe);
    l.Client = QSize(clientBreite, l.Btn2Abbrechen.top() + l.Btn2Abbrechen.height() + 20);
    return l;
}

} // namespace lorvane
