#include "ui/HauptLayout.h"

#include "platform/Fenster.h"

#include <algorithm>

namespace lorvane {

namespace {

constexpr int kRand = 10;

// Each button 10 below the previous one, the first one button height below the list.
template <std::size_t N>
std::array<QRect, N> ButtonSpalte(const QRect& liste, const THauptMasse& masse) {
    std::array<QRect, N> buttons;
    int top = liste.top() + masse.ButtonHoehe;
    for (QRect& button : buttons) {
        button = QRect(liste.left() + liste.width() + kRand, top, masse.W, masse.ButtonHoehe);
        top += masse.ButtonHoehe + kRand;
    }
    return buttons;
}

} // namespace

QStringList HauptButtonCaptions() {
    return {QStringLiteral("&Zurück"),        QStringLiteral("H&inzufügen"),
            QStringLiteral("Ak&tualisieren"), QStringLiteral("Nach &oben"),
            QStringLiteral("Nach &unten"),    QStringLiteral("Entfe&rnen"),
            QStringLiteral("&Leeren"),        QStringLiteral("&Weiter")};
}

QFont WeiterFont(const QFont& font) {
    QFont groesser = font;
    groesser.setPointSize(font.pointSize() + 3);
    return groesser;
}

THauptMasse HauptMasseMessen(const QFont& font) {
    THauptMasse masse;
    masse.W = ButtonBreite(font, HauptButtonCaptions());
    masse.ButtonHoehe = ControlHeightFor(font, TControlArt::Button);
    masse.WeiterBreite = masse.W + Prozent(masse.W, 30);
    masse.WeiterHoehe = ControlHeightFor(WeiterFont(font), TControlArt::Button);
    masse.StatusHoehe = ControlHeightFor(font, TControlArt::StatusBar);
    masse.Panel0Breite = CaptionWidthFor(font, QStringLiteral("Laufwerke: MMM/MMM mark."));
    masse.Panel1Breite = CaptionWidthFor(font, QStringLiteral("Dateien: MMMM/MMMM mark."));
    return masse;
}

THauptLayout HauptLayoutBerechnen(QSize client, const THauptMasse& masse) {
    THauptLayout layout;
    layout.Statuszeile =
        QRect(0, client.height() - masse.StatusHoehe, client.width(), masse.StatusHoehe);
    layout.Panels = {masse.Panel0Breite, masse.Panel1Breite,
                     std::max(0, client.width() - masse.Panel0Breite - masse.Panel1Breite)};

    const int weiterTop = layout.Statuszeile.top() - masse.WeiterHoehe - kRand;
    layout.Weiter = QRect(Div(client.width() - masse.WeiterBreite, 2), weiterTop,
                          masse.WeiterBreite, masse.WeiterHoehe);

    const int breite = client.width() - 3 * kRand - masse.W;
    const int hoehe = Div(weiterTop - 30, 2);
    layout.Liste1 = QRect(kRand, kRand, breite, hoehe);
    layout.Spalten1 = {Prozent(breite, 85), Prozent(breite, 15)};
    layout.Liste2 = QRect(kRand, layout.Liste1.top() + hoehe + kRand, breite, hoehe);
    layout.Spalten2 = {Prozent(breite, 90), Prozent(breite, 10)};

    layout.Buttons1 = ButtonSpalte<3>(layout.Liste1, masse);
    layout.Buttons2 = ButtonSpalte<4>(layout.Liste2, masse);
    return layout;
}

THauptGroesse GroesseBegrenzen(const QRect& arbeitsbereich) {
    const QSize minimum(std::min(1000, arbeitsbereich.width()),
                        std::min(700, arbeitsbereich.height()));
    const QSize groesse(std::max(std::min(1200, arbeitsbereich.width()), minimum.width()),
                        std::max(std::min(900, arbeitsbereich.height()), minimum.height()));
    return {minimum, groesse};
}

} // namespace lorvane
