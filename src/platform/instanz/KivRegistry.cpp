#include "platform/instanz/KivRegistry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QVariant>

#include <limits>

namespace lorvane {

namespace {

// QSettings shares one parsed copy of a file among all its objects in the process and
// reports a format error only to the object that read the file. So the broken files
// seen are remembered here, with the size and time they had, until they change.
struct TDateiStand {
    qint64 Groesse = 0;
    QDateTime Geaendert;
    bool operator==(const TDateiStand&) const = default;
};

QMutex kaputtSperre;
QHash<QString, TDateiStand>& KaputteDateien() {
    static QHash<QString, TDateiStand> dateien;
    return dateien;
}

TDateiStand StandVon(const QString& datei) {
    const QFileInfo info(datei);
    return {info.size(), info.lastModified()};
}

void KaputtMerken(const QString& datei) {
    QMutexLocker sperre(&kaputtSperre);
    KaputteDateien().insert(datei, StandVon(datei));
}

void KaputtVergessen(const QString& datei) {
    QMutexLocker sperre(&kaputtSperre);
    KaputteDateien().remove(datei);
}

bool AlsKaputtBekannt(const QString& datei) {
    QMutexLocker sperre(&kaputtSperre);
    auto& dateien = KaputteDateien();
    const auto it = dateien.constFind(datei);
    if (it == dateien.constEnd()) {
        return false;
    }
    if (*it == StandVon(datei)) {
        return true;
    }
    dateien.erase(it);
    return false;
}

// Names with a group separator would leave the [General] section.
bool GueltigerName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

bool IstDezimalzahl(const QString& text) {
    qsizetype i = 0;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    for (; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

std::optional<std::int32_t> Int32Aus(qlonglong wert) {
    if (wert < std::numeric_limits<std::int32_t>::min() ||
        wert > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(wert);
}

std::optional<std::int32_t> GanzzahlAus(const QVariant& wert) {
    switch (wert.typeId()) {
    case QMetaType::QString: {
        const QString text = wert.toString().trimmed();
        bool ok = false;
        const qlonglong zahl = text.toLongLong(&ok, 10);
        if (!IstDezimalzahl(text) || !ok) {
            return std::nullopt;
        }
        return Int32Aus(zahl);
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return Int32Aus(wert.toLongLong());
    default:
        return std::nullopt;
    }
}

// The first free name beside the broken file.
QString DefektName(const QString& datei) {
    QString name = datei + QStringLiteral(".defekt");
    for (int n = 2; QFileInfo::exists(name); ++n) {
        name = datei + QLatin1Char('.') + QString::number(n) + QStringLiteral(".defekt");
    }
    return name;
}

} // namespace

QString StandardKonfigOrdner() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) {
        return xdg;
    }
    return QDir::homePath() + QStringLiteral("/.config");
}

TKivRegistry::TKivRegistry(QString konfigOrdner) : fKonfigOrdner(std::move(konfigOrdner)) {}

TKivRegistry::~TKivRegistry() {
    CloseKey();
}

QString TKivRegistry::KeyDatei(const QString& key) const {
    QStringList teile;
    for (const QString& teil : QString(key)
                                   .replace(QLatin1Char('\\'), QLatin1Char('/'))
                                   .split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (teil == QLatin1String(".") || teil == QLatin1String("..")) {
            return {};
        }
        teile << teil;
    }
    if (teile.isEmpty() || fKonfigOrdner.isEmpty()) {
        return {};
    }
    return fKonfigOrdner + QStringLiteral("/Lorvane/") + teile.join(QLatin1Char('/')) +
           QStringLiteral(".ini");
}

bool TKivRegistry::OpenKey(const QString& key, bool canCreate) {
    CloseKey();
    const QString datei = KeyDatei(key);
    if (datei.isEmpty()) {
        return false;
    }
    const QFileInfo info(datei);
    if (info.exists() && !info.isFile()) {
        return false;
    }
    if (!info.exists()) {
        if (!canCreate || !QDir().mkpath(info.absolutePath())) {
            return false;
        }
        QFile neu(datei);
        if (!neu.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !QFileInfo(datei).isFile()) {
            return false;
        }
    }
    fDatei = datei;
    fSettings = std::make_unique<QSettings>(fDatei, QSettings::IniFormat);
    if (fSettings->status() == QSettings::FormatError) {
        KaputtMerken(fDatei);
        fKaputt = true;
    } else {
        fKaputt = AlsKaputtBekannt(fDatei);
    }
    return true;
}

void TKivRegistry::CloseKey() {
    fSettings.reset();
    fDatei.clear();
    fKaputt = false;
}

bool TKivRegistry::Lesbar(const QString& name) {
    return GueltigerName(name) && Aufgefrischt();
}

bool TKivRegistry::Aufgefrischt() {
    if (!fSettings) {
        return false;
    }
    // Sees what others wrote since the key was opened.
    fSettings->sync();
    if (fSettings->status() == QSettings::FormatError && !fKaputt) {
        KaputtMerken(fDatei);
        fKaputt = true;
    }
    return !fKaputt;
}

bool TKivRegistry::VorDemSchreiben(const QString& name) {
    if (!fSettings || !GueltigerName(name)) {
        return false;
    }
    if (fKaputt) {
        // Never overwrite what the user may still want to rescue.
        fSettings.reset();
        if (!QFile::rename(fDatei, DefektName(fDatei))) {
            fSettings = std::make_unique<QSettings>(fDatei, QSettings::IniFormat);
            return false;
        }
        KaputtVergessen(fDatei);
        fKaputt = false;
        fSettings = std::make_unique<QSettings>(fDatei, QSettings::IniFormat);
    }
    return true;
}

void TKivRegistry::Speichern() {
    fSettings->sync();
}

bool TKivRegistry::ValueExists(const QString& name) {
    return Lesbar(name) && fSettings->contains(name);
}

std::optional<std::int32_t> TKivRegistry::ReadInteger(const QString& name) {
    if (!Lesbar(name)) {
        return std::nullopt;
    }
    return GanzzahlAus(fSettings->value(name));
}

void TKivRegistry::WriteInteger(const QString& name, std::int32_t wert) {
    if (VorDemSchreiben(name)) {
        fSettings->setValue(name, static_cast<int>(wert));
        Speichern();
    }
}

QString TKivRegistry::ReadString(const QString& name) {
    if (!Lesbar(name)) {
        return {};
    }
    const QVariant wert = fSettings->value(name);
    switch (wert.typeId()) {
    case QMetaType::QStringList:
        // A hand-written value with a comma, which QSettings splits.
        return wert.toStringList().join(QStringLiteral(", "));
    case QMetaType::QByteArray:
        return QFile::decodeName(wert.toByteArray());
    default:
        return wert.toString();
    }
}

void TKivRegistry::WriteString(const QString& name, const QString& wert) {
    if (VorDemSchreiben(name)) {
        fSettings->setValue(name, wert);
        Speichern();
    }
}

std::optional<QByteArray> TKivRegistry::ReadBytes(const QString& name) {
    if (!Lesbar(name) || !fSettings->contains(name)) {
        return std::nullopt;
    }
    const QVariant wert = fSettings->value(name);
    switch (wert.typeId()) {
    case QMetaType::QByteArray:
        return wert.toByteArray();
    case QMetaType::QString:
    case QMetaType::QStringList:
        return QFile::encodeName(ReadString(name));
    default:
        return std::nullopt;
    }
}

void TKivRegistry::WriteBytes(const QString& name, const QByteArray& wert) {
    if (VorDemSchreiben(name)) {
        fSettings->setValue(name, wert);
        Speichern();
    }
}

bool TKivRegistry::DeleteValue(const QString& name) {
    if (!ValueExists(name) || !VorDemSchreiben(name)) {
        return false;
    }
    fSettings->remove(name);
    Speichern();
    return true;
}

QStringList TKivRegistry::GetValueNames() {
    if (!Aufgefrischt()) {
        return {};
    }
    QStringList namen = fSettings->childKeys();
    namen.removeIf([](const QString& name) { return !GueltigerName(name); });
    return namen;
}

bool TKivRegistry::DeleteKey(const QString& key) {
    const QString datei = KeyDatei(key);
    if (datei.isEmpty()) {
        return false;
    }
    if (datei == fDatei) {
        CloseKey();
    }
    KaputtVergessen(datei);
    return QFile::remove(datei);
}

} // namespace lorvane
