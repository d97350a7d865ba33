#include "ui/haupt/HilfeRegeln.h"

#include "engine/JobStatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrlQuery>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#ifndef LORVANE_MAIL_ADRESSE
#define LORVANE_MAIL_ADRESSE ""
#endif
#ifndef LORVANE_HOMEPAGE
#define LORVANE_HOMEPAGE ""
#endif
#ifndef LORVANE_DATEN_RELATIV
#define LORVANE_DATEN_RELATIV "../share/lorvane"
#endif
#ifndef LORVANE_SPENDEN
#define LORVANE_SPENDEN ""
#endif

namespace lorvane {

namespace {

QString MitSchraegstrich(QString ordner) {
    if (!ordner.isEmpty() && !ordner.endsWith(QLatin1Char('/'))) {
        ordner += QLatin1Char('/');
    }
    return ordner;
}

bool DateiDa(const QString& pfad) {
    return QFileInfo(pfad).isFile();
}

bool ProgrammDa(const QString& pfad) {
    const QFileInfo info(pfad);
    return info.isFile() && info.isExecutable();
}

// /tmp and /var/tmp are shared by every user of the machine.
bool GemeinsamerTempOrdner(const QString& ordner) {
    const QString echt = QFileInfo(ordner).canonicalFilePath();
    const QString pfad = echt.isEmpty() ? QDir::cleanPath(ordner) : echt;
    for (const QString& tmp : {QStringLiteral("/tmp"), QStringLiteral("/var/tmp")}) {
        if (pfad == tmp || pfad.startsWith(tmp + QLatin1Char('/'))) {
            return true;
        }
    }
    // Any folder that everybody may write into, such as /dev/shm.
    return QFileInfo(pfad).permissions().testFlag(QFileDevice::WriteOther);
}

QString FehlerGrund(int nummer) {
    return QString::fromLocal8Bit(std::strerror(nummer));
}

bool AllesSchreiben(int fd, const QByteArray& inhalt) {
    const char* daten = inhalt.constData();
    qsizetype rest = inhalt.size();
    while (rest > 0) {
        const ssize_t n = ::write(fd, daten, static_cast<size_t>(rest));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        daten += n;
        rest -= n;
    }
    return true;
}

} // namespace

THilfeAdressen GebauteAdressen() {
    return {QString::fromUtf8(LORVANE_MAIL_ADRESSE), QString::fromUtf8(LORVANE_HOMEPAGE),
            QString::fromUtf8(LORVANE_SPENDEN)};
}

QString DokumentPfad(const QString& exeOrdner, const QString& name) {
    const QString daneben = MitSchraegstrich(exeOrdner) + name;
    const QString installiert =
        QDir::cleanPath(MitSchraegstrich(exeOrdner) + QString::fromUtf8(LORVANE_DATEN_RELATIV) +
                        QLatin1Char('/') + name);
    if (!DateiDa(daneben) && DateiDa(installiert)) {
        return installiert;
    }
    return daneben;
}

std::array<bool, 8> HilfeMenueZustand(const QString& exeOrdner, const THilfeAdressen& adressen) {
    auto dokument = [&](const char* name) {
        return DateiDa(DokumentPfad(exeOrdner, QString::fromUtf8(name)));
    };
    return {dokument(HilfeDatei),
            dokument(KurztastenDatei),
            dokument(AenderungenDatei),
            !adressen.Mail.trimmed().isEmpty(),
            !adressen.Homepage.trimmed().isEmpty(),
            !adressen.Spenden.trimmed().isEmpty(),
            ProgrammDa(MitSchraegstrich(exeOrdner) + QString::fromUtf8(UpdaterDatei)),
            true};
}

QUrl MailAdresse(const QString& adresse, const QString& betreff) {
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(adresse.trimmed());
    QUrlQuery abfrage;
    abfrage.addQueryItem(QStringLiteral("subject"), betreff);
    url.setQuery(abfrage);
    return url;
}

QString InfoText(const THilfeAdressen& adressen) {
    QString text = QString::fromUtf8(ProgrammVersionText);
    text += QStringLiteral("\r\n");
    text += QStringLiteral("Dieses Programm erstellt aus MP3-Dateien M4B-Hörbuchdateien mit einer "
                           "vorgegebenen Abspielzeit.\r\nGut zu verwenden mit Apple-Geräten "
                           "(iPhone, iPod ...).\r\n");
    const std::array<std::pair<const char*, const QString*>, 3> zeilen = {
        {{"E-Mail: ", &adressen.Mail},
         {"Homepage: ", &adressen.Homepage},
         {"Spenden: ", &adressen.Spenden}}};
    for (const auto& [name, wert] : zeilen) {
        if (!wert->trimmed().isEmpty()) {
            text += QStringLiteral("\r\n");
            text += QString::fromUtf8(name);
            text += wert->trimmed();
        }
    }
    return text;
}

QString CfgText(const QString& titel, const QString& caption, const QString& exePfad,
                const TAussehen& aussehen) {
    const TAktFont& font = aussehen.AktFont;
    // Colours as signed decimals of their stored form: system colours are negative.
    auto farbe = [](std::uint32_t wert) {
        return QString::number(static_cast<std::int32_t>(wert));
    };
    const QStringList zeilen = {
        titel,
        caption,
        exePfad,
        QStringLiteral("Lorvane"),
        QString::number(font.Size) + QLatin1Char(' ') + font.Name,
        QString::number((font.Style & StilFett) != 0 ? 1 : 0) + QLatin1Char(' ') +
            farbe(font.Color) + QLatin1Char(' ') + farbe(aussehen.AktBackColor),
    };
    QString text;
    for (const QString& zeile : zeilen) {
        text += zeile;
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString CfgOrdner(const QString& runtimeDir, const QString& arbeitsOrdner,
                  const QString& reserveOrdner) {
    // A relative runtime folder is not one (the XDG rule).
    QString ordner =
        QDir::isAbsolutePath(runtimeDir) ? runtimeDir : QDir(arbeitsOrdner).absolutePath();
    if (GemeinsamerTempOrdner(ordner)) {
        ordner = reserveOrdner;
    }
    return MitSchraegstrich(ordner);
}

std::optional<QString> DateiErsetzen(const QString& pfad, const QByteArray& inhalt) {
    const QByteArray ziel = QFile::encodeName(pfad);
    // mkstemp creates exclusively: never an existing file, never through a link.
    QByteArray muster = ziel + ".XXXXXX";
    const int fd = ::mkstemp(muster.data());
    if (fd < 0) {
        return FehlerGrund(errno);
    }
    bool gut = AllesSchreiben(fd, inhalt) && ::fsync(fd) == 0;
    int fehler = gut ? 0 : errno;
    if (::close(fd) != 0 && gut) {
        gut = false;
        fehler = errno;
    }
    // rename replaces a link or a read-only file itself, never what it points to.
    if (gut && ::rename(muster.constData(), ziel.constData()) != 0) {
        gut = false;
        fehler = errno;
    }
    if (!gut) {
        ::unlink(muster.constData());
        return FehlerGrund(fehler);
    }
    return std::nullopt;
}

QString DokumentNichtGeoeffnetText(const QString& name, const QString& pfad) {
    QString dokument = QStringLiteral("Die Hilfe");
    if (name == QLatin1String(KurztastenDatei)) {
        dokument = QStringLiteral("Die Liste der Kurztasten");
    } else if (name == QLatin1String(AenderungenDatei)) {
        dokument = QStringLiteral("Die Liste der Änderungen");
    }
    return QStringLiteral("%1 konnte nicht geöffnet werden!\r\nSie liegt in der Datei \"%2\".")
        .arg(dokument, pfad);
}

QString AktualisierungFehlerText(const QString& pfad) {
    return QStringLiteral("Es ist ein Fehler beim Aktualisieren aufgetreten!\r\nDie Datei \"%1\" "
                          "konnte nicht gespeichert werden.")
        .arg(pfad);
}

} // namespace lorvane
