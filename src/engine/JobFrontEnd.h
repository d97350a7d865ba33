#pragma once
// The progress window as the job controller sees it: the two status lines, the bar,
// the caption, the tray icon (operations of the tray component only), the cursor and
// the controls that change when a cancel has been accepted.

#include "engine/FrontEnd.h"

#include <string>

namespace lorvane {

enum class TJobCursor { Normal, Sanduhr };

class IJobFrontEnd : public IFrontEnd {
public:
    virtual void StatusText1Setzen(const std::string& text) = 0;
    virtual void StatusText2Setzen(const std::string& text) = 0;
    // 0 to 100.
    virtual void FortschrittPositionSetzen(int position) = 0;
    virtual void CaptionSetzen(const std::string& text) = 0;

    virtual bool TrayIconSichtbar() const = 0;
    virtual void TrayIconSichtbarSetzen(bool sichtbar) = 0;
    virtual std::string TrayHint() const = 0;
    virtual void TrayHintSetzen(const std::string& text) = 0;
    // The main window becomes invisible and loses its taskbar button.
    virtual void HauptfensterVerbergen() = 0;
    // Restores the application and brings the main window back to the front.
    virtual void HauptfensterZeigen() = 0;
    virtual void AnwendungMinimieren() = 0;

    virtual void CursorSetzen(TJobCursor cursor) = 0;
    // The keyboard focus goes to the first status line.
    virtual void StatusFokussieren() = 0;
    // A cancel was confirmed: minimise is disabled, the cancel button reads
    // "Wird beendet", the layout follows the new caption, the cancel button is disabled.
    virtual void AbbruchAngenommen() = 0;
    // Both worker threads have been started.
    virtual void JobGestartet() {}
};

} // namespace lorvane
