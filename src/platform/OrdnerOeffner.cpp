#include "platform/OrdnerOeffner.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace lorvane {

namespace {

// Asked in this order when the desktop names no other program for folders.
const QStringList& Dateimanager() {
    static const QStringList namen{"nautilus", "dolphin",    "nemo",    "caja",
                                   "thunar",   "pcmanfm-qt", "pcmanfm", "konqueror"};
    return namen;
}

QString StandardFuerOrdner() {
    QProcess abfrage;
    abfrage.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                               QStringLiteral("inode/directory")});
    if (!abfrage.waitForFinished(3000)) {
        abfrage.kill();
        abfrage.waitForFinished(1000);
        return {};
    }
    return QString::fromLocal8Bit(abfrage.readAllStandardOutput()).trimmed();
}

} // namespace

TOrdnerOeffnerWahl
OrdnerOeffnerWaehlen(const QString& standardEintrag,
                     const std::function<QString(const QString&)>& programmSuchen) {
    if (!standardEintrag.isEmpty() &&
        standardEintrag.compare(QStringLiteral("lorvane.desktop"), Qt::CaseInsensitive) != 0) {
        return {TOrdnerOeffnerWahl::TArt::Desktop, {}};
    }
    for (const QString& name : Dateimanager()) {
        const QString pfad = programmSuchen(name);
        if (!pfad.isEmpty()) {
            return {TOrdnerOeffnerWahl::TArt::Dateimanager, pfad};
        }
    }
    return {};
}

bool OrdnerImDateimanagerOeffnen(const QUrl& ordner) {
    const TOrdnerOeffnerWahl wahl =
        OrdnerOeffnerWaehlen(StandardFuerOrdner(), [](const QString& name) {
            return QStandardPaths::findExecutable(name);
        });
    switch (wahl.Art) {
    case TOrdnerOeffnerWahl::TArt::Desktop:
        return QDesktopServices::openUrl(ordner);
    case TOrdnerOeffnerWahl::TArt::Dateimanager:
        return QProcess::startDetached(wahl.Programm, {ordner.toLocalFile()});
    case TOrdnerOeffnerWahl::TArt::Keiner:
        break;
    }
    return false;
}

} // namespace lorvane
