#pragma once
// The last step of a command that writes to standard output: a failed write must not
// end with exit status 0.

#include <ostream>

namespace lorvane::cli {

// Flushes out and tells whether everything written to it arrived. When not, writes
// "lorvane-cli: Die Ausgabe konnte nicht geschrieben werden: TEXT" to err and returns
// false; the caller then ends with exit status 1. TEXT is the system's reason in
// German, left out when there is none. Call it right after the last write: when the stream
// failed earlier, errno is still the reason only while nothing else has touched it.
bool AusgabePruefen(std::ostream& out, std::ostream& err);

} // namespace lorvane::cli
