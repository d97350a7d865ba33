#include "platform/instanz/KivLink.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace lorvane {

namespace {

// Escapes of a string value in a desktop entry.
QString WertEscapen(const QString& text) {
    QString ergebnis;
    for (const QChar zeichen : text) {
        switch (zeichen.unicode()) {
        case '\\':
            ergebnis += QStringLiteral("\\\\");
            break;
        case '\n':
            ergebnis += QStringLiteral("\\n");
            break;
        case '\t':
            ergebnis += QStringLiteral("\\t");
            break;
        case '\r':
            ergebnis += QStringLiteral("\\r");
            break;
        default:
            ergebnis += zeichen;
        }
    }
    if (ergebnis.startsWith(QLatin1Char(' '))) {
        ergebnis.replace(0, 1, QStringLiteral("\\s"));
    }
    return ergebnis;
}

} // namespace

QString SendToLink() {
    QString daten = qEnvironmentVariable("XDG_DATA_HOME");
    // A relative value is no value (the XDG rule): it would name the current folder.
    if (!QDir::isAbsolutePath(daten)) {
        daten = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return daten + QStringLiteral("/applications/lorvane.desktop");
}

QString ExecArgument(const QString& programm) {
    static const QString reserviert = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quoten = programm.isEmpty();
    for (const QChar zeichen : programm) {
        quoten = quoten || reserviert.contains(zeichen);
    }
    QString ergebnis;
    if (quoten) {
        ergebnis += QLatin1Char('"');
    }
    for (const QChar zeichen : programm) {
        if (quoten && QStringLiteral("\"`$\\").contains(zeichen)) {
            ergebnis += QLatin1Char('\\');
        }
        ergebnis += zeichen;
        if (zeichen == QLatin1Char('%')) {
            ergebnis += QLatin1Char('%');
        }
    }
    if (quoten) {
        ergebnis += QLatin1Char('"');
    }
    return ergebnis;
}

QString DesktopEintrag(const QString& programm) {
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Lorvane\n");
    text += QStringLiteral("Exec=") + WertEscapen(ExecArgument(programm)) + QStringLiteral(" %F\n");
    text += QStringLiteral("Path=") + WertEscapen(QFileInfo(programm).absolutePath()) +
            QLatin1Char('\n');
    text += QStringLiteral("MimeType=inode/directory;\n"
                           "Terminal=false\n");
    return text;
}

bool CreateShortcut(const QString& linkDatei, const QString& programm) {
    if (linkDatei.isEmpty() || programm.isEmpty()) {
        return false;
    }
    if (!QDir().mkpath(QFileInfo(linkDatei).absolutePath())) {
        return false;
    }
    QSaveFile datei(linkDatei);
    if (!datei.open(QIODevice::WriteOnly)) {
        return false;
    }
    datei.write(DesktopEintrag(programm).toUtf8());
    return datei.commit();
}

} // namespace lorvane
