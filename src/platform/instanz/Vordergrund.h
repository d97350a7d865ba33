#pragma once
// Bringing the program's windows to the front for a second start.

class QWidget;

namespace lorvane {

// Restores a minimised window, shows, raises and activates it; true when it is the
// active window afterwards (window managers may grant that later).
bool ForceForegroundWindow(QWidget& fenster);

// ForceForegroundWindow on the visible windows owned by the owner, in creation order,
// each followed by its own, so that the innermost dialog ends on top.
void BringFormsToFront(QWidget& owner);

} // namespace lorvane
