#pragma once
// When a field names itself to the screen reader. The screen reader already reads
// every control that gets the focus; the program adds its text only where the user
// moved the focus between the controls of one window, once for the control the focus
// ends on, and never when the focus merely comes back from a menu, a dialog or another
// program. Plain, so that the rule is tested without widgets.

namespace lorvane {

// How the focus reached a field.
enum class TFokusWeg {
    // From another control of the same window (Tab, a click, a shortcut, the program).
    Innerhalb,
    // Back from a popup menu or the menu bar.
    Menue,
    // With the activation of its window.
    Fenster,
};

class TFokusAnsageRegel {
public:
    void FokusErhalten(const void* feld, TFokusWeg weg);
    // The window lost its activation: once its first focus was named, whatever comes
    // with the next activation is a return. (A window manager may take the activation
    // away for a moment before that.)
    void FensterVerlassen();
    // Once the event that moved the focus is done: the field to announce, or null.
    // Several moves within one event name only the last field.
    const void* Faellig();
    // The field due was named; the window's first focus is done.
    void Genannt();

private:
    const void* fWartend = nullptr;
    bool fBetreten = false;
    bool fVerlassen = false;
};

} // namespace lorvane
