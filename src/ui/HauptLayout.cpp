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
    // The header's frame and margins take about as much as two letters.
    const int rand = CaptionWidthFor(font, QStringLiteral("MM"));
    masse.Spalte1Mindest = CaptionWidthFor(font, QStringLiteral("Unterordner")) + rand;
    masse.Spalte2Mindest = std::max(CaptionWidthFor(font, QStringLiteral("Dauer")),
                                    CaptionWidthFor(font, QStringLiteral("000:00:00"))) +
                           rand;
    return masse;
}

std::array<int, 2> Spalten(int breite, int prozent0, int prozent1, int mindest1) {
    const int zweite = std::max(Prozent(breite, prozent1), mindest1);
    const int erste = std::min(Prozent(breite, prozent0), std::max(0, breite - zweite));
    return {erste, zweite};
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
    layout.Spalten1 = Spalten(breite, 85, 15, masse.Spalte1Mindest);
    layout.Liste2 = QRect(kRand, layout.Liste1.top() + hoehe + kRand, breite, hoehe);
    layout.Spalten2 = Spalten(breite, 90, 10, masse.Spalte2Mindest);

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
