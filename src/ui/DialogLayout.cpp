#include "ui/DialogLayout.h"

#include "platform/Fenster.h"

#include <algorithm>

namespace lorvane {

namespace {

// The start or OK button and the cancel button in one row with equal gaps.
void SchalterReihe(int clientBreite, int oben, int breite, int hoehe, QRect& erster,
                   QRect& zweiter) {
    const int links = Div(clientBreite - 2 * breite, 3);
    erster = QRect(links, oben, breite, hoehe);
    zweiter = QRect(2 * links + breite, oben, breite, hoehe);
}

QRect AufAbNeben(const QRect& feld, int breite) {
    return QRect(feld.left() + feld.width(), feld.top(), breite, feld.height());
}

int Unterkante(const QRect& r) {
    return r.top() + r.height();
}

int Rechtskante(const QRect& r) {
    return r.left() + r.width();
}

} // namespace

int AufAbBreiteFuer(int editHoehe) {
    return std::max(16, Div(editHoehe, 2));
}

QRect LabelLinksVon(const QRect& feld, const QSize& label) {
    return QRect(feld.left() - LabelAbstand - label.width(),
                 feld.top() + Div(feld.height() - label.height(), 2), label.width(),
                 label.height());
}

TMetaLayout MetaLayout(const TMetaMasse& m) {
    TMetaLayout l;
    const int clientBreite = Prozent(m.Owner.width(), 95) - m.Rahmen.width();
    const int autorLinks = m.Labels[0].width() + LabelAbstand + 10;
    // A very narrow owner must not make the fields vanish.
    const int e =
        std::max(m.StundenBreite, Div(clientBreite - autorLinks - m.Labels[1].width() -
                                          LabelAbstand - m.Labels[2].width() - LabelAbstand - 30,
                                      3));
    l.Felder[0] = QRect(autorLinks, 10, e, m.EditHoehe);
    for (int i = 1; i < 3; ++i) {
        const int links = Rechtskante(l.Felder[i - 1]) + LabelAbstand + m.Labels[i].width() + 10;
        l.Felder[i] = QRect(links, 10, e, m.EditHoehe);
    }
    const int gruppe = m.Labels[3].width() + LabelAbstand + m.StundenBreite + m.AufAbBreite;
    l.Felder[3] = QRect(Div(clientBreite - gruppe, 2) + m.Labels[3].width() + LabelAbstand,
                        Unterkante(l.Felder[0]) + 10, m.StundenBreite, m.EditHoehe);
    for (int i = 0; i < 4; ++i) {
        l.Labels[i] = LabelLinksVon(l.Felder[i], m.Labels[i]);
    }
    l.AufAb = AufAbNeben(l.Felder[3], m.AufAbBreite);
    SchalterReihe(clientBreite, Unterkante(l.Felder[3]) + 10, m.ButtonBreite, m.ButtonHoehe,
                  l.Starte, l.Abbrechen);
    l.Client = QSize(clientBreite, Unterkante(l.Starte) + 10);
    return l;
}

TStundenLayout StundenLayout(const TStundenMasse& m) {
    TStundenLayout l;
    l.Feld = QRect(m.Label.width() + LabelAbstand + 10, 10, m.StundenBreite, m.EditHoehe);
    l.Label = LabelLinksVon(l.Feld, m.Label);
    l.AufAb = AufAbNeben(l.Feld, m.AufAbBreite);
    const int clientBreite = std::max(4 * m.ButtonBreite, Rechtskante(l.AufAb) + 10);
    SchalterReihe(clientBreite, Unterkante(l.Feld) + 10, m.ButtonBreite, m.ButtonHoehe, l.Ok,
                  l.Abbrechen);
    l.Client = QSize(clientBreite, Unterkante(l.Ok) + 10);
    return l;
}

} // namespace lorvane
