#pragma once
// A connection to the speech service that Orca speaks through. Behind an interface so
// that tests hear what would have been said.

#include <QString>

namespace lorvane {

class ISprachVerbindung {
public:
    virtual ~ISprachVerbindung() = default;
    virtual bool Oeffnen() = 0;
    virtual void Schliessen() = 0;
    // Queued behind what is being said (Orca's own announcement of the focus).
    virtual bool Sagen(const QString& text) = 0;
    virtual bool Abbrechen() = 0;
    // Called from another thread: makes a call that hangs on the service return.
    virtual void Unterbrechen() {}
};

} // namespace lorvane
