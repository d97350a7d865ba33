#pragma once
// Shared by the progress window's tests: a tray that hides a real main window, a job
// in a temporary folder with stand-in threads, and running the window modally.

#include "engine/JobImOrdner.h"
#include "engine/ThreadTestSupport.h"
#include "engine/ordner/Ordner.h"
#include "platform/TrayIcon.h"
#include "support/TestSupport.h"
#include "ui/BearbeitenFenster.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

namespace lorvane::test {

// Hides and shows a real main window as the tray would, and records what it was told.
class FakeTray : public ITrayIcon {
public:
    explicit FakeTray(QWidget* haupt = nullptr, bool symbolablage = true)
        : fHaupt(haupt), fSymbolablage(symbolablage) {}
    bool Sichtbar() const override { return fSichtbar; }
    void SichtbarSetzen(bool sichtbar) override {
        // Without a notification area the icon never shows.
        fSichtbar = sichtbar && fSymbolablage;
        Log << (sichtbar ? "an" : "aus");
    }
    QString Hint() const override { return fHint; }
    void HintSetzen(const QString& text) override { fHint = text; }
    void HauptfensterVerbergen() override {
        Log << "verbergen";
        if (fHaupt != nullptr) {
            fZustand = fHaupt->windowState();
            fHaupt->hide();
        }
    }
    void HauptfensterZeigen() override {
        Log << "zeigen";
        if (fHaupt != nullptr) {
            fHaupt->setWindowState(fZustand.value_or(fHaupt->windowState()) & ~Qt::WindowMinimized);
            fHaupt->show();
        }
    }
    void AnwendungMinimieren() override { Log << "minimieren"; }
    // What a click on the icon does.
    void Klicken() {
        SichtbarSetzen(false);
        HauptfensterZeigen();
    }

    QStringList Log;

private:
    QWidget* fHaupt;
    bool fSymbolablage;
    bool fSichtbar = false;
    QString fHint;
    std::optional<Qt::WindowStates> fZustand;
};

// Waits in a worker until the test lets it go on (or the job is cancelled); a safety
// limit keeps a broken test from hanging.
inline void WartenAuf(const TJobState& state, const std::atomic<bool>& weiter) {
    const auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!weiter && !state.Convert.AbbruchS && std::chrono::steady_clock::now() < ende) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// The job of TJobImOrdner, with a joiner that can be held.
struct TFensterJob : TJobImOrdner {
    // A joiner that runs until the test lets it go, then queues one part per row.
    void HaltenderJoiner() {
        Threads(
            [this] {
                WartenAuf(state, weiter);
                NormalerJoiner(state, std::chrono::milliseconds(0));
            },
            [this] { NormalerConverter(state); });
    }

    bool Laeuft() const { return state.Daten.Mp3ThreadLaeuftS || state.Daten.ConvertThreadLaeuftS; }

    std::atomic<bool> weiter{false};
};

// Runs the window modally; the step runs every 5 ms meanwhile, from the controller's
// event processing, as a user's actions would.
inline int Ausfuehren(TBearbeitenFenster& fenster, const std::function<void()>& schritt) {
    QTimer takt;
    takt.setInterval(5);
    QObject::connect(&takt, &QTimer::timeout, schritt);
    takt.start();
    return fenster.exec();
}

} // namespace lorvane::test
