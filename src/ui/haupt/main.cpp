// The desktop program.

#include "engine/JobState.h"
#include "engine/ordner/Ordner.h"
#include "platform/AnwendungsSymbol.h"
#include "platform/aussehen/SchriftStil.h"
#include "platform/instanz/Einzelinstanz.h"
#include "platform/instanz/KivLink.h"
#include "platform/instanz/KivParameter.h"
#include "platform/instanz/KivRegistry.h"
#include "platform/instanz/WatchRegistrySettings.h"
#include "ui/haupt/Haupt.h"
#include "ui/haupt/HauptEinzelinstanz.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>

#include <thread>
#include <unistd.h>

namespace {

const QString kHandoffKey = QStringLiteral("Lorvane");

// A later start only hands its folders (or a bring-to-front request) over and ends.
// It waits a little for a first instance that is still starting.
int ZweiteInstanz(const QString& sperrDatei) {
    using namespace lorvane;
    const pid_t erste =
        AufProgrammWarten(sperrDatei, std::chrono::seconds(3), [](std::chrono::milliseconds dauer) {
            std::this_thread::sleep_for(dauer);
        });
    if (erste == 0) {
        return 0;
    }
    const TRegistrySettings befehl = GetParameters(QString()).isEmpty()
                                         ? TRegistrySettings::rsSetFocus(QString())
                                         : TRegistrySettings::rsParameters(QString());
    TKivRegistry registry;
    static_cast<void>(WriteRegistrySettings(registry, kHandoffKey, befehl));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QStringList argumente;
    for (int i = 1; i < argc; ++i) {
        argumente.append(QFile::decodeName(argv[i]));
    }
    lorvane::BefehlszeileSetzen(argumente, QDir::currentPath());
    lorvane::TProgrammSperre sperre(lorvane::SperrOrdner(), lorvane::ProgrammSperrName);
    if (!sperre.Erste()) {
        return ZweiteInstanz(sperre.Datei());
    }

    // Qt sees only the program's name: every argument is a folder to select, so a
    // folder named "-style" or "-platformpluginpath" is never taken as an option.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    const QString name = lorvane::ProgrammSperrName;
    QApplication::setApplicationName(name);
    QApplication::setApplicationDisplayName(name);
    QApplication::setWindowIcon(lorvane::AnwendungsSymbol());
    lorvane::SchriftStilSetzen();
    // The main window may be hidden in the tray while a dialog closes; the program
    // ends only when the main window itself has accepted its close.
    QApplication::setQuitOnLastWindowClosed(false);
    // Written anew at every start; failing is silent.
    static_cast<void>(
        lorvane::CreateShortcut(lorvane::SendToLink(), QCoreApplication::applicationFilePath()));

    lorvane::TJobState state(lorvane::StandardOrdnerErmitteln(lorvane::SystemOrdnerQuellen()));
    lorvane::TForm1 fenster(state);
    QObject::connect(&fenster, &lorvane::TForm1::Geschlossen, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    const QPointer<lorvane::TForm1> ziel(&fenster);
    // Destroyed before the window: commands still queued then are dropped.
    const lorvane::TRegistryWaechter waechter(
        lorvane::StandardKonfigOrdner(), kHandoffKey,
        [ziel](const lorvane::TRegistrySettings& befehl) {
            lorvane::RegistryBefehlAusfuehren(ziel.data(), befehl);
        },
        // Only now may a later start hand over: the leftovers are gone.
        [&sperre] { static_cast<void>(sperre.ProzessIdVeroeffentlichen(::getpid())); });
    fenster.show();
    return QApplication::exec();
}
