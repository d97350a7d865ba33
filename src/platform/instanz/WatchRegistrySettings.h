#pragma once
// The watcher of the first instance: a thread that polls the hand-off key every
// 4 x 25 ms, deletes what it finds and hands the one command of higher priority on.
// Values found at its start are left over from an earlier run and are dropped.

#include "platform/instanz/KivRegistrySettings.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace lorvane {

class TWatchRegistrySettings {
public:
    using TBefehl = std::function<void(const TRegistrySettings&)>;
    using TSchlafen = std::function<void(std::chrono::milliseconds)>;

    static constexpr std::chrono::milliseconds PollSlice{25};
    static constexpr int PollSlices = 4;

    // Starts the thread at once. befehl and bereit are called in the watcher thread;
    // bereit once after the leftovers are purged. An empty schlafen sleeps really.
    TWatchRegistrySettings(QString konfigOrdner, QString aAppName, TBefehl befehl,
                           std::function<void()> bereit = {}, TSchlafen schlafen = {});
    // Terminates the thread and waits for it.
    ~TWatchRegistrySettings();
    TWatchRegistrySettings(const TWatchRegistrySettings&) = delete;
    TWatchRegistrySettings& operator=(const TWatchRegistrySettings&) = delete;

    void Terminate() { fTerminated = true; }
    void WaitFor();
    bool Terminated() const { return fTerminated; }

private:
    void Execute();
    // Sleeps the slices, leaving early when terminated; false then.
    bool Warten();

    QString fKonfigOrdner;
    QString FAppName;
    TBefehl fBefehl;
    std::function<void()> fBereit;
    TSchlafen fSchlafen;
    std::atomic<bool> fTerminated{false};
    std::thread fThread;
};

// Runs the watcher's commands in the user-interface thread. Commands are queued to a
// receiver object that is deleted after the watcher has ended, so that no queued
// command runs after the watcher is gone.
class TRegistryWaechter {
public:
    using TAusfuehren = std::function<void(const TRegistrySettings&)>;

    // Call in the user-interface thread; ausfuehren runs there.
    TRegistryWaechter(QString konfigOrdner, QString aAppName, TAusfuehren ausfuehren,
                      std::function<void()> bereit = {});
    ~TRegistryWaechter();
    TRegistryWaechter(const TRegistryWaechter&) = delete;
    TRegistryWaechter& operator=(const TRegistryWaechter&) = delete;

private:
    std::unique_ptr<QObject> fEmpfaenger;
    std::unique_ptr<TWatchRegistrySettings> fWatcher;
};

// Posts one command to the receiver's thread and returns at once.
void QueueRegistryCommand(QObject* empfaenger,
                          const std::function<void(const TRegistrySettings&)>& ausfuehren,
                          const QString& aParameters, const QString& aSetFocus,
                          const QString& aClose);

} // namespace lorvane
