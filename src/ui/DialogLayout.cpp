#include "ui/DialogLayout.h"

#include "platform/aussehen/Fenster.h"

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

bool Begrenzt(const QSize& platz) {
    return !platz.isEmpty();
}

// How far a label taller than its field reaches above (and below) it.
int Ueberstand(const QSize& label, int editHoehe) {
    return std::max(0, Div(label.height() - editHoehe + 1, 2));
}

TMetaLayout MetaAnordnen(const TMetaMasse& m) {
    TMetaLayout l;
    const int autorLinks = m.Labels[0].width() + LabelAbstand + 10;
    const int gruppe = m.Labels[3].width() + LabelAbstand + m.StundenBreite + m.AufAbBreite;
    // A large font can make the labels wider than 95 percent of the owner; then the
    // window grows (and sticks out of its owner) rather than cutting a label off or
    // squeezing a field below two characters. It never grows beyond the room.
    const int obereReihe = autorLinks + m.Labels[1].width() + m.Labels[2].width() +
                           2 * LabelAbstand + 30 + 3 * m.StundenBreite;
    int anteil = Prozent(m.Owner.width(), 95) - m.Rahmen.width();
    if (Begrenzt(m.Platz)) {
        anteil = std::min(anteil, m.Platz.width());
    }
    const int clientBreite = std::max({anteil, gruppe + 20, obereReihe});
    const int e = Div(clientBreite - autorLinks - m.Labels[1].width() - LabelAbstand -
                          m.Labels[2].width() - LabelAbstand - 30,
                      3);
    l.Felder[0] = QRect(autorLinks, 10, e, m.EditHoehe);
    for (int i = 1; i < 3; ++i) {
        const int links = Rechtskante(l.Felder[i - 1]) + LabelAbstand + m.Labels[i].width() + 10;
        l.Felder[i] = QRect(links, 10, e, m.EditHoehe);
    }
    const int ueber = Ueberstand(m.Labels[3], m.EditHoehe);
    l.Felder[3] = QRect(Div(clientBreite - gruppe, 2) + m.Labels[3].width() + LabelAbstand,
                        Unterkante(l.Felder[0]) + 10 + ueber, m.StundenBreite, m.EditHoehe);
    for (int i = 0; i < 4; ++i) {
        l.Labels[i] = LabelLinksVon(l.Felder[i], m.Labels[i]);
    }
    l.AufAb = AufAbNeben(l.Felder[3], m.AufAbBreite);
    SchalterReihe(clientBreite, Unterkante(l.Felder[3]) + ueber + 10, m.ButtonBreite, m.ButtonHoehe,
                  l.Starte, l.Abbrechen);
    l.Client = QSize(clientBreite, Unterkante(l.Starte) + 10);
    return l;
}

TStundenLayout StundenAnordnen(const TStundenMasse& m) {
    TStundenLayout l;
    const int ueber = Ueberstand(m.Label, m.EditHoehe);
    l.Feld = QRect(m.Label.width() + LabelAbstand + 10, 10 + ueber, m.StundenBreite, m.EditHoehe);
    l.Label = LabelLinksVon(l.Feld, m.Label);
    l.AufAb = AufAbNeben(l.Feld, m.AufAbBreite);
    // Four buttons wide, unless the room is narrower; two buttons always fit.
    int knoepfe = 4 * m.ButtonBreite;
    if (Begrenzt(m.Platz)) {
        knoepfe = std::max(std::min(knoepfe, m.Platz.width()), 2 * m.ButtonBreite + 30);
    }
    const int clientBreite = std::max(knoepfe, Rechtskante(l.AufAb) + 10);
    SchalterReihe(clientBreite, Unterkante(l.Feld) + ueber + 10, m.ButtonBreite, m.ButtonHoehe,
                  l.Ok, l.Abbrechen);
    l.Client = QSize(clientBreite, Unterkante(l.Ok) + 10);
    return l;
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
    TMetaLayout l = MetaAnordnen(m);
    if (Begrenzt(m.Platz) && l.Client.width() > m.Platz.width() &&
        !m.StundenLabelUmbrochen.isEmpty()) {
        TMetaMasse umbrochen = m;
        umbrochen.Labels[3] = m.StundenLabelUmbrochen;
        l = MetaAnordnen(umbrochen);
        l.StundenUmbruch = true;
    }
    return l;
}

TStundenLayout StundenLayout(const TStundenMasse& m) {
    TStundenLayout l = StundenAnordnen(m);
    if (Begrenzt(m.Platz) && l.Client.width() > m.Platz.width() && !m.LabelUmbrochen.isEmpty()) {
        TStundenMasse umbrochen = m;
        umbrochen.Label = m.LabelUmbrochen;
        l = StundenAnordnen(umbrochen);
        l.LabelUmbruch = true;
    }
    return l;
}

} // namespace lorvane
