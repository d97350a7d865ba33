#include "platform/instanz/KivParameter.h"

#include <QDir>
#include <QFileInfo>

namespace lorvane {

namespace {

QStringList& EigeneArgumente() {
    static QStringList argumente;
    return argumente;
}

QString& EigenerOrdner() {
    static QString ordner;
    return ordner;
}

bool Leerraum(QChar zeichen) {
    return zeichen.unicode() <= 0x20;
}

QString Getrimmt(const QString& text) {
    qsizetype anfang = 0;
    qsizetype ende = text.size();
    while (anfang < ende && Leerraum(text[anfang])) {
        ++anfang;
    }
    while (ende > anfang && Leerraum(text[ende - 1])) {
        --ende;
    }
    return text.mid(anfang, ende - anfang);
}

QString Absolut(const QString& pfad, const QString& ordner) {
    if (QDir::isAbsolutePath(pfad) || ordner.isEmpty()) {
        return pfad;
    }
    QString ergebnis = ordner;
    if (!ergebnis.endsWith(QLatin1Char('/'))) {
        ergebnis += QLatin1Char('/');
    }
    return ergebnis + pfad;
}

bool Vorhanden(const QString& pfad) {
    // A dangling link is still a name the user meant.
    const QFileInfo info(pfad);
    return info.exists() || info.isSymLink();
}

} // namespace

void BefehlszeileSetzen(const QStringList& argumente, const QString& aktuellerOrdner) {
    EigeneArgumente() = argumente;
    EigenerOrdner() = aktuellerOrdner;
}

QString FeldKodieren(const QString& feld) {
    QString ergebnis;
    ergebnis.reserve(feld.size());
    for (const QChar zeichen : feld) {
        if (zeichen == QLatin1Char('%')) {
            ergebnis += QStringLiteral("%25");
        } else if (zeichen == QLatin1Char('|')) {
            ergebnis += QStringLiteral("%7C");
        } else {
            ergebnis += zeichen;
        }
    }
    return ergebnis;
}

QString FeldDekodieren(const QString& feld) {
    QString ergebnis;
    ergebnis.reserve(feld.size());
    for (qsizetype i = 0; i < feld.size(); ++i) {
        const QStringView rest = QStringView(feld).mid(i, 3);
        if (rest.compare(QLatin1String("%25"), Qt::CaseInsensitive) == 0) {
            ergebnis += QLatin1Char('%');
            i += 2;
        } else if (rest.compare(QLatin1String("%7C"), Qt::CaseInsensitive) == 0) {
            ergebnis += QLatin1Char('|');
            i += 2;
        } else {
            ergebnis += feld[i];
        }
    }
    return ergebnis;
}

QString ArgumentAufbereiten(const QString& argument, const QString& aktuellerOrdner) {
    if (!Getrimmt(argument).isEmpty()) {
        const QString ungetrimmt = Absolut(argument, aktuellerOrdner);
        if (Vorhanden(ungetrimmt)) {
            return ungetrimmt;
        }
    }
    const QString getrimmt = Getrimmt(argument);
    return getrimmt.isEmpty() ? QString() : Absolut(getrimmt, aktuellerOrdner);
}

QString ParameterListe(const QStringList& argumente, const QString& aktuellerOrdner) {
    QStringList felder;
    for (const QString& argument : argumente) {
        const QString feld = ArgumentAufbereiten(argument, aktuellerOrdner);
        if (!feld.isEmpty()) {
            felder.append(FeldKodieren(feld));
        }
    }
    return felder.join(QLatin1Char('|'));
}

QString GetParameters(const QString& text) {
    if (!text.isEmpty()) {
        return text;
    }
    return ParameterListe(EigeneArgumente(), EigenerOrdner());
}

QStringList SplitParameters(const QString& text) {
    QStringList ergebnis;
    const QStringList felder = GetParameters(text).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (const QString& feld : felder) {
        ergebnis.append(FeldDekodieren(feld));
    }
    return ergebnis;
}

bool SendParameters(const TParameterEmpfaenger& empfaenger, const QString& text) {
    // The fields are not trimmed: a name may really end in a blank.
    const QString liste = GetParameters(text);
    if (SplitParameters(liste).isEmpty()) {
        return true;
    }
    return empfaenger && empfaenger(liste) == 0;
}

} // namespace lorvane
