#include "platform/instanz/WatchRegistrySettings.h"

#include "platform/instanz/KivRegistry.h"

#include <QMetaObject>

namespace lorvane {

TWatchRegistrySettings::TWatchRegistrySettings(QString konfigOrdner, QString aAppName,
                                               TBefehl befehl, std::function<void()> bereit,
                                               TSchlafen schlafen)
    : fKonfigOrdner(std::move(konfigOrdner)), FAppName(std::move(aAppName)),
      fBefehl(std::move(befehl)), fBereit(std::move(bereit)), fSchlafen(std::move(schlafen)) {
    if (!fSchlafen) {
        fSchlafen = [](std::chrono::milliseconds dauer) { std::this_thread::sleep_for(dauer); };
    }
    fThread = std::thread([this] { Execute(); });
}

TWatchRegistrySettings::~TWatchRegistrySettings() {
    Terminate();
    WaitFor();
}

void TWatchRegistrySettings::WaitFor() {
    if (fThread.joinable()) {
        fThread.join();
    }
}

bool TWatchRegistrySettings::Warten() {
    for (int i = 0; i < PollSlices; ++i) {
        if (fTerminated) {
            return false;
        }
        fSchlafen(PollSlice);
    }
    return !fTerminated;
}

void TWatchRegistrySettings::Execute() {
    // Its own registry object: one object serves one thread.
    TKivRegistry registry(fKonfigOrdner);
    TRegistrySettings gelesen;
    static_cast<void>(ReadRegistrySettings(registry, FAppName, gelesen));
    if (fBereit) {
        fBereit();
    }
    while (!fTerminated) {
        if (!Warten()) {
            break;
        }
        if (!ReadRegistrySettings(registry, FAppName, gelesen)) {
            continue;
        }
        const TRegistrySettings befehl = BefehlWaehlen(gelesen);
        if (!befehl.Leer()) {
            fBefehl(befehl);
        }
        if (!Warten()) {
            break;
        }
    }
}

TRegistryWaechter::TRegistryWaechter(QString konfigOrdner, QString aAppName, TAusfuehren ausfuehren,
                                     std::function<void()> bereit)
    : fEmpfaenger(std::make_unique<QObject>()) {
    QObject* empfaenger = fEmpfaenger.get();
    fWatcher = std::make_unique<TWatchRegistrySettings>(
        std::move(konfigOrdner), std::move(aAppName),
        [empfaenger, ausfuehren = std::move(ausfuehren)](const TRegistrySettings& befehl) {
            QueueRegistryCommand(empfaenger, ausfuehren, befehl.Parameters, befehl.SetFocus,
                                 befehl.Close);
        },
        std::move(bereit));
}

TRegistryWaechter::~TRegistryWaechter() {
    // The thread ends first, so nothing is posted any more; deleting the receiver then
    // drops the commands it has not run yet.
    fWatcher.reset();
    fEmpfaenger.reset();
}

void QueueRegistryCommand(QObject* empfaenger,
                          const std::function<void(const TRegistrySettings&)>& ausfuehren,
                          const QString& aParameters, const QString& aSetFocus,
                          const QString& aClose) {
    TRegistrySettings befehl;
    befehl.SetData(aParameters, aSetFocus, aClose);
    QMetaObject::invokeMethod(
        empfaenger, [ausfuehren, befehl] { ausfuehren(befehl); }, Qt::QueuedConnection);
}

} // namespace lorvane
