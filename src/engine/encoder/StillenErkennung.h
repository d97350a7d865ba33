#pragma once
// What the encoder's silence detection reports: the pauses of a window of a file, in
// seconds from the window's start. Read with from_chars, since the desktop program
// runs with the user's locale and ffmpeg writes a decimal point.

#include <string>
#include <vector>

namespace lorvane {

struct TStille {
    double Beginn = 0;
    double Ende = 0;
};

// The silencedetect lines ("silence_start: X", "silence_end: Y | ...") in their order; a
// start without an end lasts to fensterEnde, where the window's audio ended.
std::vector<TStille> StillenLesen(const std::vector<std::string>& zeilen, double fensterEnde);

} // namespace lorvane
