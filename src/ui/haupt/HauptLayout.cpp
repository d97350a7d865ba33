#include "ui/haupt/HauptLayout.h"

#include "platform/aussehen/Fenster.h"
#include "ui/haupt/Statuszeile.h"

#include <QFontMetrics>

#include <algorithm>

namespace lorvane {

namespace {

constexpr int kRand = 10;
// A cell's and a header's margins and frame, on both sides together.
constexpr int kZellenRand = 16;
// A status panel's frame, on both sides together.
constexpr int kPanelRand = 8;

template <std::size_t N> int SpaltenHoehe(const THauptMasse& masse) {
    return static_cast<int>(N) * masse.ButtonHoehe + (static_cast<int>(N) - 1) * kRand;
}

// Each button 10 below the previous one, the first one button height below the list,
// or less when the room down to `unten` is too short for that and the whole column.
template <std::size_t N>
std::array<QRect, N> ButtonSpalte(const QRect& liste, int unten, const THauptMasse& masse) {
    std::array<QRect, N> buttons;
    const int raum = unten - liste.top();
    const int abstand = std::clamp(raum - SpaltenHoehe<N>(masse), 0, masse.ButtonHoehe);
    int top = liste.top() + abstand;
    for (QRect& button : buttons) {
        button = QRect(liste.left() + liste.width() + kRand, top, masse.W, masse.ButtonHoehe);
        top += masse.ButtonHoehe + kRand;
    }
    return buttons;
}

// The counts share the first row when their reserve is wider than the window; the
// hints follow them when there is room, else they go below them.
void StatusAnordnen(THauptLayout& layout, QSize client, const THauptMasse& masse) {
    const int breite = client.width();
    const int zeile = masse.StatusHoehe;
    int p0 = masse.Panel0Breite;
    int p1 = masse.Panel1Breite;
    if (p0 + p1 > breite) {
        p0 = Div(breite, 2);
        p1 = breite - p0;
    }
    const int rest = breite - p0 - p1;
    int hoehe = zeile;
    if (rest >= masse.HinweisBreite) {
        layout.Panels = {QRect(0, 0, p0, zeile), QRect(p0, 0, p1, zeile),
                         QRect(p0 + p1, 0, rest, zeile)};
    } else {
        layout.HinweisZeilen =
            masse.HinweisZeilen ? std::max(1, masse.HinweisZeilen(breite - kPanelRand)) : 1;
        const int hinweise =
            ControlHeightFor(layout.HinweisZeilen * masse.TextHoehe, TControlArt::StatusBar);
        layout.Panels = {QRect(0, 0, p0, zeile), QRect(p0, 0, breite - p0, zeile),
                         QRect(0, zeile, breite, hinweise)};
        hoehe += hinweise;
    }
    layout.Statuszeile = QRect(0, client.height() - hoehe, breite, hoehe);
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
    masse.TextHoehe = TextHeightOf(font);
    // The same for every window: the hints depend on the shortcuts only.
    static const QStringList hinweise = MoeglicheHinweise(TStatusKuerzel{});
    for (const QString& text : hinweise) {
        masse.HinweisBreite =
            std::max(masse.HinweisBreite, CaptionWidthFor(font, text) + kPanelRand);
    }
    masse.HinweisZeilen = [metrik = QFontMetrics(font)](int breite) {
        qsizetype zeilen = 1;
        for (const QString& text : hinweise) {
            zeilen = std::max(zeilen, HinweisZeilen(text, metrik, breite).size());
        }
        return static_cast<int>(zeilen);
    };
    masse.Spalte1Mindest = CaptionWidthFor(font, QStringLiteral("Unterordner")) + kZellenRand;
    masse.Spalte2Mindest = std::max(CaptionWidthFor(font, QStringLiteral("Dauer")),
                                    CaptionWidthFor(font, QStringLiteral("000:00:00"))) +
                           kZellenRand;
    return masse;
}

std::array<int, 2> Spalten(int breite, int prozent0, int prozent1, int mindest1) {
    const int zweite = std::max(Prozent(breite, prozent1), mindest1);
    const int erste = std::min(Prozent(breite, prozent0), std::max(0, breite - zweite));
    return {erste, zweite};
}

THauptLayout HauptLayoutBerechnen(QSize client, const THauptMasse& masse) {
    THauptLayout layout;
    StatusAnordnen(layout, client, masse);

    const int weiterTop = layout.Statuszeile.top() - masse.WeiterHoehe - kRand;
    layout.Weiter = QRect(Div(client.width() - masse.WeiterBreite, 2), weiterTop,
                          masse.WeiterBreite, masse.WeiterHoehe);

    const int breite = client.width() - 3 * kRand - masse.W;
    const int hoehe = Div(weiterTop - 30, 2);
    layout.Liste1 = QRect(kRand, kRand, breite, hoehe);
    const int spaltenBreite = std::max(0, breite - masse.ListenRand);
    layout.Spalten1 = Spalten(spaltenBreite, 85, 15, masse.Spalte1Mindest);
    layout.Liste2 = QRect(kRand, layout.Liste1.top() + hoehe + kRand, breite, hoehe);
    layout.Spalten2 = Spalten(spaltenBreite, 90, 10, masse.Spalte2Mindest);

    layout.Buttons1 = ButtonSpalte<3>(layout.Liste1, layout.Liste1.top() + hoehe, masse);
    // The file list's buttons may reach down beside "Weiter", which stands centred and
    // clear of their column, as far as the status line.
    const int spalteLinks = layout.Liste2.left() + breite + kRand;
    const bool weiterFrei = layout.Weiter.left() + layout.Weiter.width() + kRand <= spalteLinks;
    const int unten2 = weiterFrei ? layout.Statuszeile.top() - kRand : layout.Liste2.top() + hoehe;
    layout.Buttons2 = ButtonSpalte<4>(layout.Liste2, unten2, masse);
    return layout;
}

QSize HauptMindestClient(const THauptMasse& masse, int statusHoehe) {
    const int listen = 2 * std::max(masse.Spalte1Mindest, masse.Spalte2Mindest);
    // Wide enough for "Weiter" between the lists' left margin and the button column.
    const int breite = std::max({3 * kRand + masse.W + listen, masse.WeiterBreite + 2 * kRand,
                                 masse.WeiterBreite + 2 * masse.W + 4 * kRand});
    // The status line's top: the folder list as high as its buttons, and the file
    // list's buttons ending above the status line.
    const int oben = std::max(2 * SpaltenHoehe<3>(masse) + masse.WeiterHoehe + 4 * kRand,
                              2 * SpaltenHoehe<4>(masse) + 2 * kRand - masse.WeiterHoehe);
    return {breite, oben + statusHoehe};
}

THauptGroesse GroesseBegrenzen(const QRect& arbeitsbereich) {
    const QSize minimum(std::min(1000, arbeitsbereich.width()),
                        std::min(700, arbeitsbereich.height()));
    const QSize groesse(std::max(std::min(1200, arbeitsbereich.width()), minimum.width()),
                        std::max(std::min(900, arbeitsbereich.height()), minimum.height()));
    return {minimum, groesse};
}

} // namespace lorvane
