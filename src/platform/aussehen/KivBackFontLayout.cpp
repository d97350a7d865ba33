#include "platform/aussehen/KivBackFontLayout.h"

#include "platform/aussehen/Fenster.h"

#include <algorithm>

namespace lorvane {

namespace {

constexpr int Rand = 10;
constexpr int Leer = 5;

void Ergaenzen(QString& text, const QString& standard) {
    if (text.isEmpty()) {
        text = standard;
    }
}

std::optional<int> Zahl(const QString& text) {
    bool ok = false;
    const int wert = text.toInt(&ok);
    return ok ? std::optional<int>(wert) : std::nullopt;
}

int Begrenzen(int groesse) {
    return std::clamp(groesse, BackFontMinGroesse, BackFontMaxGroesse);
}

} // namespace

TBackFontDlgTexts StandardBackFontTexte() {
    TBackFontDlgTexts t;
    t.WindowCaption = QStringLiteral("Schrifteinstellungen");
    t.FontColumnCaption = QStringLiteral("Schriftart");
    t.FontSizeCaption = QStringLiteral("Schrift&größe (%d-%d):");
    t.BoldCaption = QStringLiteral("&Fett");
    t.FontColorCaption = QStringLiteral("&Schriftfarbe:");
    t.BackColorCaption = QStringLiteral("&Hintergrundfarbe:");
    t.PreviewText = QStringLiteral("Das ist eine Vorschau, wie der Text aussehen wird.");
    t.OkCaption = QStringLiteral("O&K");
    t.CancelCaption = QStringLiteral("&Abbrechen");
    t.InsertCaption = QStringLiteral("Einfügen");
    t.CopyCaption = QStringLiteral("&Kopieren");
    t.SelectAllCaption = QStringLiteral("Alles &markieren");
    t.BackgroundSuffix = StandardHintergrundZusatz();
    t.EqualColorsQuestion = QStringLiteral(
        "Schriftfarbe und Hintergrundfarbe sind identisch!\r\nSoll trotzdem fortgesetzt werden?");
    t.TolkFontName = QStringLiteral("Schriftart: %s");
    t.TolkFontColor = QStringLiteral("Schriftfarbe: %s");
    t.TolkFontSize = QStringLiteral("Schriftgröße (%d bis %d): %s");
    t.TolkBackColor = QStringLiteral("Hintergrundfarbe: %s");
    t.ColorNames = StandardFarbNamen();
    return t;
}

TBackFontDlgTexts BackFontTexteErgaenzen(TBackFontDlgTexts texte) {
    const TBackFontDlgTexts s = StandardBackFontTexte();
    Ergaenzen(texte.WindowCaption, s.WindowCaption);
    Ergaenzen(texte.FontColumnCaption, s.FontColumnCaption);
    Ergaenzen(texte.FontSizeCaption, s.FontSizeCaption);
    Ergaenzen(texte.BoldCaption, s.BoldCaption);
    Ergaenzen(texte.FontColorCaption, s.FontColorCaption);
    Ergaenzen(texte.BackColorCaption, s.BackColorCaption);
    Ergaenzen(texte.PreviewText, s.PreviewText);
    Ergaenzen(texte.OkCaption, s.OkCaption);
    Ergaenzen(texte.CancelCaption, s.CancelCaption);
    Ergaenzen(texte.InsertCaption, s.InsertCaption);
    Ergaenzen(texte.CopyCaption, s.CopyCaption);
    Ergaenzen(texte.SelectAllCaption, s.SelectAllCaption);
    Ergaenzen(texte.BackgroundSuffix, s.BackgroundSuffix);
    Ergaenzen(texte.EqualColorsQuestion, s.EqualColorsQuestion);
    Ergaenzen(texte.TolkFontName, s.TolkFontName);
    Ergaenzen(texte.TolkFontColor, s.TolkFontColor);
    Ergaenzen(texte.TolkFontSize, s.TolkFontSize);
    Ergaenzen(texte.TolkBackColor, s.TolkBackColor);
    for (std::size_t i = 0; i < texte.ColorNames.size(); ++i) {
        Ergaenzen(texte.ColorNames[i], s.ColorNames[i]);
    }
    return texte;
}

QString NameAusLabel(const QString& label) {
    QString name = StripAmpersands(label).trimmed();
    if (name.endsWith(QLatin1Char(':'))) {
        name.chop(1);
    }
    return name;
}

QString TextFormatieren(const QString& muster, const QStringList& werte) {
    QString ergebnis;
    qsizetype naechster = 0;
    for (qsizetype i = 0; i < muster.size(); ++i) {
        const bool platzhalter =
            muster[i] == QLatin1Char('%') && i + 1 < muster.size() &&
            (muster[i + 1] == QLatin1Char('d') || muster[i + 1] == QLatin1Char('s'));
        if (platzhalter) {
            if (naechster < werte.size()) {
                ergebnis += werte[naechster];
            }
            ++naechster;
            ++i;
        } else {
            ergebnis += muster[i];
        }
    }
    return ergebnis;
}

bool GroesseOkErlaubt(const QString& text) {
    const std::optional<int> wert = Zahl(text);
    return wert && *wert >= BackFontMinGroesse && *wert <= BackFontMaxGroesse;
}

int GroesseBeimVerlassen(const QString& text) {
    const std::optional<int> wert = Zahl(text);
    return wert ? Begrenzen(*wert) : BackFontMinGroesse;
}

int GroesseSchritt(const QString& text, int position, int richtung) {
    const int von = GroesseOkErlaubt(text) ? text.toInt() : position;
    return Begrenzen(von + richtung);
}

TFontZeile FontZeileFinden(const QStringList& familien, const QString& gespeichert,
                           const QString& tatsaechlich) {
    const auto stelle = familien.indexOf(gespeichert);
    if (stelle >= 0) {
        return {static_cast<int>(stelle), false};
    }
    for (qsizetype i = 0; i < familien.size(); ++i) {
        if (familien[i].compare(gespeichert, Qt::CaseInsensitive) == 0) {
            return {static_cast<int>(i), false};
        }
    }
    for (qsizetype i = 0; i < familien.size(); ++i) {
        if (familien[i].compare(tatsaechlich, Qt::CaseInsensitive) == 0) {
            return {static_cast<int>(i), true};
        }
    }
    return {};
}

QStringList FontZeilen(const QStringList& familien, int aktuell) {
    QStringList zeilen;
    for (qsizetype i = 0; i < familien.size(); ++i) {
        zeilen << (i == aktuell ? QStringLiteral("*") + familien[i] : familien[i]);
    }
    return zeilen;
}

QString OhneMarke(const QString& zeile) {
    return zeile.startsWith(QLatin1Char('*')) ? zeile.mid(1) : zeile;
}

namespace {

// How the layout gives way to a small room; the first value of each is the usual one.
struct TStufe {
    int ListBreite = 0;
    bool FettUnten = false;
    bool FarbLabelOben = false;
    int ListZeilen = 6; // the font list's height in button heights
    int TestZeilen = 5; // from the preview's top to the buttons, in preview heights
};

TBackFontLayout Bauen(const TBackFontMasse& m, const TStufe& s) {
    TBackFontLayout l;
    l.Liste = QRect(Rand, Rand, s.ListBreite, s.ListZeilen * m.ButtonHoehe);
    const int listeRechts = l.Liste.left() + l.Liste.width();

    const int groesseOben = Div(l.Liste.height() - m.GroesseHoehe, 3) + l.Liste.top();
    const int labelLinks = listeRechts + Rand;
    const int groesseLinks = m.Label.width() + labelLinks + Leer;
    l.Groesse = QRect(groesseLinks, groesseOben, m.GroesseBreite, m.GroesseHoehe);
    l.Label = QRect(labelLinks, groesseOben + Div(m.GroesseHoehe - m.Label.height(), 2),
                    m.Label.width(), m.Label.height());
    l.AufAb = QRect(groesseLinks + m.GroesseBreite, groesseOben, m.AufAbBreite, m.GroesseHoehe);
    int farbenOben = groesseOben + m.GroesseHoehe + 2 * Rand;
    if (s.FettUnten) {
        l.Bold = QRect(labelLinks, farbenOben, m.BoldBreite, m.BoldHoehe);
        farbenOben += m.BoldHoehe + 2 * Rand;
    } else {
        l.Bold =
            QRect(l.AufAb.left() + l.AufAb.width() + Rand, groesseOben, m.BoldBreite, m.BoldHoehe);
    }
    // Wide enough for the longest colour name too, so that no entry is cut at large sizes;
    // the labels stand left of the lists, or above them where the room is short.
    const int farbLabelLinks = listeRechts + Rand;
    const int farbenLinks = farbLabelLinks + (s.FarbLabelOben ? 0 : m.FarbLabel.width() + Leer);
    const int clientBreite =
        std::max({l.Bold.left() + l.Bold.width() + Rand, l.AufAb.left() + l.AufAb.width() + Rand,
                  farbenLinks + m.ComboBreite + Rand, farbLabelLinks + m.FarbLabel.width() + Rand});
    const int farbenBreite = clientBreite - farbenLinks - Rand;
    if (s.FarbLabelOben) {
        l.FarbenLabel =
            QRect(farbLabelLinks, farbenOben, m.FarbLabel.width(), m.FarbLabel.height());
        l.Farben =
            QRect(farbenLinks, l.FarbenLabel.bottom() + 1 + Rand, farbenBreite, m.ComboHoehe);
        l.HinterFarbenLabel = QRect(farbLabelLinks, l.Farben.bottom() + 1 + 2 * Rand,
                                    m.FarbLabel.width(), m.FarbLabel.height());
        l.HinterFarben =
            QRect(farbenLinks, l.HinterFarbenLabel.bottom() + 1 + Rand, farbenBreite, m.ComboHoehe);
    } else {
        const int labelVersatz = Div(m.ComboHoehe - m.FarbLabel.height(), 2);
        l.Farben = QRect(farbenLinks, farbenOben, farbenBreite, m.ComboHoehe);
        l.HinterFarben = QRect(farbenLinks, l.Farben.top() + m.ComboHoehe + 2 * Rand, farbenBreite,
                               m.ComboHoehe);
        l.FarbenLabel = QRect(farbLabelLinks, l.Farben.top() + labelVersatz, m.FarbLabel.width(),
                              m.FarbLabel.height());
        l.HinterFarbenLabel = QRect(farbLabelLinks, l.HinterFarben.top() + labelVersatz,
                                    m.FarbLabel.width(), m.FarbLabel.height());
    }
    // Below the list and below the colour lists, whichever ends lower.
    const int testOben = std::max(l.Liste.bottom(), l.HinterFarben.bottom()) + 1 + 2 * Rand;
    const int knopfOben = testOben + s.TestZeilen * m.TestHoehe + 2 * Rand;
    l.Test = QRect(l.Liste.left(), testOben, clientBreite - 2 * l.Liste.left(), m.TestHoehe);
    const int okLinks = Div(clientBreite - 2 * m.ButtonBreite, 3);
    l.Ok = QRect(okLinks, knopfOben, m.ButtonBreite, m.ButtonHoehe);
    l.Abbrechen = QRect(2 * okLinks + m.ButtonBreite, knopfOben, m.ButtonBreite, m.ButtonHoehe);
    l.Client = QSize(clientBreite, knopfOben + m.ButtonHoehe + Rand);
    return l;
}

bool ZuBreit(const TBackFontLayout& l, const TBackFontMasse& m) {
    return !m.Platz.isEmpty() && l.Client.width() > m.Platz.width();
}

bool ZuHoch(const TBackFontLayout& l, const TBackFontMasse& m) {
    return !m.Platz.isEmpty() && l.Client.height() > m.Platz.height();
}

// The list as wide as its names, or as what the room leaves it, never below its minimum.
void ListeEinpassen(TStufe& s, const TBackFontMasse& m) {
    s.ListBreite = m.ListBreite;
    const TBackFontLayout l = Bauen(m, s);
    if (ZuBreit(l, m)) {
        const int ohneListe = l.Client.width() - s.ListBreite;
        s.ListBreite = std::min(m.ListBreite, std::max(m.ListMindest, m.Platz.width() - ohneListe));
    }
}

} // namespace

TBackFontLayout BackFontLayout(const TBackFontMasse& m) {
    TStufe s;
    ListeEinpassen(s, m);
    if (ZuBreit(Bauen(m, s), m)) {
        s.FettUnten = true;
        ListeEinpassen(s, m);
    }
    if (ZuBreit(Bauen(m, s), m)) {
        s.FarbLabelOben = true;
        ListeEinpassen(s, m);
    }
    while (ZuHoch(Bauen(m, s), m) && s.TestZeilen > 1) {
        --s.TestZeilen;
    }
    while (ZuHoch(Bauen(m, s), m) && s.ListZeilen > 3) {
        --s.ListZeilen;
    }
    return Bauen(m, s);
}

} // namespace lorvane
