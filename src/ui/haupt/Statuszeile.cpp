#include "ui/haupt/Statuszeile.h"

#include "base/DatenC.h"

#include <QFontMetrics>
#include <QTime>

#include <algorithm>

namespace lorvane {

namespace {

struct TTastenText {
    int Taste;
    const char16_t* Name;
};

constexpr TTastenText Tastennamen[] = {
    {Qt::Key_Backspace, u"Rück"}, {Qt::Key_Tab, u"Tab"},         {Qt::Key_Escape, u"Esc"},
    {Qt::Key_Return, u"Eingabe"}, {Qt::Key_Enter, u"Eingabe"},   {Qt::Key_Space, u"Leer"},
    {Qt::Key_PageUp, u"BildAuf"}, {Qt::Key_PageDown, u"BildAb"}, {Qt::Key_End, u"Ende"},
    {Qt::Key_Home, u"Pos1"},      {Qt::Key_Left, u"Links"},      {Qt::Key_Up, u"Auf"},
    {Qt::Key_Right, u"Rechts"},   {Qt::Key_Down, u"Ab"},         {Qt::Key_Insert, u"Einfg"},
    {Qt::Key_Delete, u"Entf"},
};

QString Zahl(int wert) {
    return QString::fromStdString(ZahlMitPunkten(wert));
}

// Collects the hints of panel 2, each followed by the separator.
class THinweise {
public:
    void Anhaengen(const char16_t* hinweis, const QKeySequence& kuerzel) {
        fText += QString::fromUtf16(hinweis).arg(KuerzelText(kuerzel));
        fText += QStringLiteral("; ");
    }
    bool Leer() const { return fText.isEmpty(); }
    // Without the blanks at either end and the final ";".
    QString Ergebnis() const {
        QString text = fText.trimmed();
        text.chop(1);
        return text;
    }

private:
    QString fText;
};

void OrdnerlistenHinweise(THinweise& t, const TStatusEingaben& e, const TStatusKuerzel& k, int m) {
    if (e.OrdnerMarkiert > 0) {
        t.Anhaengen(u"%1=Hinzufügen", k.Hinzufuegen);
    }
    if (!e.Laufwerksebene) {
        t.Anhaengen(u"%1=Zurück", k.Zurueck);
    }
    if (e.DateiZeilen > 0) {
        t.Anhaengen(u"%1=Weiter", k.Weiter);
    } else if (e.OrdnerFokusZeile && m % 4 == 0) {
        t.Anhaengen(u"%1=Ordner öffnen", k.OrdnerOeffnen);
    } else if (m % 4 == 1) {
        t.Anhaengen(u"%1=Dateiliste", k.Dateiliste);
    } else if (m % 4 == 2) {
        t.Anhaengen(u"%1=Ausgabeordner", k.Ausgabeordner);
    } else {
        t.Anhaengen(u"%1=Aktualisieren", k.Aktualisieren);
    }
}

void DateilistenHinweise(THinweise& t, const TStatusEingaben& e, const TStatusKuerzel& k, int m) {
    const bool ungerade = m % 2 == 1;
    if (e.DateiMarkiert > 0) {
        t.Anhaengen(u"%1=Entfernen", k.Entfernen);
    }
    if (e.DateiFokusZeile) {
        if (ungerade) {
            if (e.PlayPauseAn) {
                t.Anhaengen(u"%1=Play/Pause", k.PlayPause);
            }
            if (e.StopAn) {
                t.Anhaengen(u"%1=Stop", k.Stop);
            }
        } else if (e.NachObenAn) {
            t.Anhaengen(u"%1=Nach oben", k.NachOben);
        } else if (e.NachUntenAn) {
            t.Anhaengen(u"%1=Nach unten", k.NachUnten);
        }
    }
    if (e.DateiZeilen > 0) {
        t.Anhaengen(u"%1=Weiter", k.Weiter);
    }
    if (t.Leer()) {
        if (ungerade) {
            t.Anhaengen(u"%1=Ausgabeordner", k.Ausgabeordner);
        } else {
            t.Anhaengen(u"%1=Ordnerliste", k.Ordnerliste);
        }
    }
}

void AndereHinweise(THinweise& t, const TStatusEingaben& e, const TStatusKuerzel& k, int m) {
    const bool ungerade = m % 2 == 1;
    if (ungerade) {
        t.Anhaengen(u"%1=Ordnerliste", k.Ordnerliste);
        t.Anhaengen(u"%1=Dateiliste", k.Dateiliste);
    } else {
        t.Anhaengen(u"%1=Ausgabeordner", k.Ausgabeordner);
    }
    if (e.DateiZeilen > 0) {
        if (ungerade) {
            t.Anhaengen(u"%1=Weiter", k.Weiter);
        } else {
            t.Anhaengen(u"%1=Dateiliste leeren", k.DateilisteLeeren);
        }
    }
}

} // namespace

QString TastenName(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return QString(QChar(qtKey));
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F35) {
        return QStringLiteral("F%1").arg(qtKey - Qt::Key_F1 + 1);
    }
    for (const TTastenText& eintrag : Tastennamen) {
        if (eintrag.Taste == qtKey) {
            return QString::fromUtf16(eintrag.Name);
        }
    }
    // Keys the program's shortcuts never use keep Qt's name.
    return QKeySequence(qtKey).toString(QKeySequence::PortableText);
}

QString KuerzelText(const QKeySequence& kuerzel) {
    if (kuerzel.isEmpty()) {
        return {};
    }
    const QKeyCombination taste = kuerzel[0];
    const Qt::KeyboardModifiers mods = taste.keyboardModifiers();
    QString text;
    if (mods.testFlag(Qt::ShiftModifier)) {
        text += QStringLiteral("Umsch+");
    }
    if (mods.testFlag(Qt::ControlModifier)) {
        text += QStringLiteral("Strg+");
    }
    if (mods.testFlag(Qt::AltModifier)) {
        text += QStringLiteral("Alt+");
    }
    text += TastenName(taste.key());
    return text;
}

std::array<QString, 3> StatuszeileTexte(const TStatusEingaben& eingaben,
                                        const TStatusKuerzel& kuerzel, int minute) {
    const int m = ((minute % 60) + 60) % 60;
    std::array<QString, 3> panels;
    panels[0] = (eingaben.Laufwerksebene ? QStringLiteral("Laufwerke: %1/%2 mark.")
                                         : QStringLiteral("Ordner: %1/%2 mark."))
                    .arg(Zahl(eingaben.OrdnerZeilen), Zahl(eingaben.OrdnerMarkiert));
    panels[1] = QStringLiteral("Dateien: %1/%2 mark.")
                    .arg(Zahl(eingaben.DateiZeilen), Zahl(eingaben.DateiMarkiert));
    THinweise t;
    switch (eingaben.Fokus) {
    case TStatusFokus::Ordnerliste:
        OrdnerlistenHinweise(t, eingaben, kuerzel, m);
        break;
    case TStatusFokus::Dateiliste:
        DateilistenHinweise(t, eingaben, kuerzel, m);
        break;
    case TStatusFokus::Andere:
        AndereHinweise(t, eingaben, kuerzel, m);
        break;
    }
    panels[2] = t.Ergebnis();
    return panels;
}

QStringList MoeglicheHinweise(const TStatusKuerzel& kuerzel) {
    QStringList texte;
    // Every combination of the switches the hints depend on; the minute only counts
    // modulo 4, the counts only as zero or not.
    for (int bits = 0; bits < (1 << 10); ++bits) {
        const auto an = [bits](int bit) { return (bits & (1 << bit)) != 0; };
        TStatusEingaben e;
        e.Laufwerksebene = an(0);
        e.OrdnerMarkiert = an(1) ? 1 : 0;
        e.OrdnerFokusZeile = an(2);
        e.DateiZeilen = an(3) ? 1 : 0;
        e.DateiMarkiert = an(4) ? 1 : 0;
        e.DateiFokusZeile = an(5);
        e.NachObenAn = an(6);
        e.NachUntenAn = an(7);
        e.PlayPauseAn = an(8);
        e.StopAn = an(9);
        for (const TStatusFokus fokus :
             {TStatusFokus::Ordnerliste, TStatusFokus::Dateiliste, TStatusFokus::Andere}) {
            e.Fokus = fokus;
            for (int minute = 0; minute < 4; ++minute) {
                const QString text = StatuszeileTexte(e, kuerzel, minute)[2];
                if (!texte.contains(text)) {
                    texte << text;
                }
            }
        }
    }
    return texte;
}

QStringList HinweisZeilen(const QString& text, const QFontMetrics& metrik, int breite) {
    const QString trenner = QStringLiteral("; ");
    QStringList zeilen;
    QString zeile;
    for (const QString& hinweis : text.split(trenner)) {
        const QString laenger = zeile.isEmpty() ? hinweis : zeile + trenner + hinweis;
        if (zeile.isEmpty() || metrik.horizontalAdvance(laenger) <= breite) {
            zeile = laenger;
        } else {
            zeilen << zeile + QLatin1Char(';');
            zeile = hinweis;
        }
    }
    zeilen << zeile;
    return zeilen;
}

QString PanelText(const QString& text, const QFontMetrics& metrik, int breite, int zeilen) {
    QStringList teile = HinweisZeilen(text, metrik, breite);
    const qsizetype passen = std::max(1, zeilen);
    if (teile.size() > passen) {
        // The lines that do not fit run on in the last one, which is shortened.
        QStringList rest = teile.mid(passen - 1);
        teile = teile.mid(0, passen - 1);
        teile << rest.join(QLatin1Char(' '));
    }
    // Measured as the wrapping measures it: Qt's own eliding counts fractions of pixels.
    if (metrik.horizontalAdvance(teile.last()) > breite) {
        teile.last() = metrik.elidedText(teile.last(), Qt::ElideRight, std::max(0, breite));
    }
    return teile.join(QLatin1Char('\n'));
}

int TSystemUhr::Minute() const {
    return QTime::currentTime().minute();
}

} // namespace lorvane
