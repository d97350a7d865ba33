#pragma once
// The operations the program uses of the notification-area icon that stands for the
// hidden main window while a job runs.

#include <QString>

#include <functional>

namespace lorvane {

class ITrayIcon {
public:
    virtual ~ITrayIcon() = default;

    virtual bool Sichtbar() const = 0;
    virtual void SichtbarSetzen(bool sichtbar) = 0;
    virtual QString Hint() const = 0;
    virtual void HintSetzen(const QString& text) = 0;
    // The main window becomes invisible and loses its taskbar button.
    virtual void HauptfensterVerbergen() = 0;
    // The application is restored, a minimised main window returns to its normal
    // state, becomes visible and comes to the front.
    virtual void HauptfensterZeigen() = 0;
    // The application's windows are minimised.
    virtual void AnwendungMinimieren() = 0;
    // Called when the user clicks the icon.
    std::function<void()> Klick;
};

} // namespace lorvane
