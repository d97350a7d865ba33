#pragma once
// Opens a folder in a file manager, never in this program. Lorvane's desktop entry
// declares folders, so on a desktop without a default program for them xdg-open could
// start Lorvane itself instead of showing the folder.

#include <QString>
#include <QUrl>

#include <functional>

namespace lorvane {

struct TOrdnerOeffnerWahl {
    enum class TArt { Desktop, Dateimanager, Keiner };
    TArt Art = TArt::Keiner;
    QString Programm; // for a file manager: its executable
};

// standardEintrag: the desktop entry the desktop opens folders with ("" when none);
// programmSuchen: the path of an executable, "" when it is not installed.
TOrdnerOeffnerWahl
OrdnerOeffnerWaehlen(const QString& standardEintrag,
                     const std::function<QString(const QString&)>& programmSuchen);

// The real choice on this machine, then the folder opened; false when nothing could.
bool OrdnerImDateimanagerOeffnen(const QUrl& ordner);

} // namespace lorvane
