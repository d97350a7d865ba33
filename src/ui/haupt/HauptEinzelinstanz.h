#pragma once
// The main window's side of the hand-over from a second start.

#include "platform/instanz/KivRegistrySettings.h"

namespace lorvane {

class TForm1;

// Runs one command of the watcher in the user-interface thread; nothing when the
// window is gone. The parameters go before the bring-to-front and the close request.
void RegistryBefehlAusfuehren(TForm1* fenster, const TRegistrySettings& befehl);

} // namespace lorvane
