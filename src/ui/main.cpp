// The desktop program.

#include "engine/JobState.h"
#include "engine/Ordner.h"
#include "platform/AnwendungsSymbol.h"
#include "ui/Haupt.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString name = QStringLiteral("Lorvane V1.13");
    QApplication::setApplicationName(name);
    QApplication::setApplicationDisplayName(name);
    QApplication::setWindowIcon(lorvane::AnwendungsSymbol());
    // The main window may be hidden in the tray while a dialog closes; the program
    // ends only when the main window itself has accepted its close.
    QApplication::setQuitOnLastWindowClosed(false);

    lorvane::TJobState state(lorvane::StandardOrdnerErmitteln(lorvane::SystemOrdnerQuellen()));
    lorvane::TForm1 fenster(state);
    QObject::connect(&fenster, &lorvane::TForm1::Geschlossen, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    fenster.show();
    return QApplication::exec();
}
