#pragma once
// One frame around the control that has the keyboard focus, in whichever window, so
// that a user with low vision sees at once where the keys go. The style draws it in
// the window's text colour, outside the control, on the window's background.

namespace lorvane {

// Sets the frame up for the running application; a second call does nothing.
void FokusRahmenEinrichten();

} // namespace lorvane
