#pragma once
// What the screen reader says of a job, whose window may be hidden in the tray all the
// while: the start, every finished M4B file, a confirmed cancel and the end. The window
// tells it what happened and polls the counters; it speaks only when something is new,
// never per percent, and when several parts finished between two polls only the last.

#include <cstdint>
#include <functional>
#include <string>

namespace lorvane {

class TJobAnsage {
public:
    TJobAnsage(std::string album, std::function<void(const std::string&)> sprechen);

    // The worker threads have started.
    void Gestartet();
    // The counters of the moment: M4B files finished and parts expected (0 while the
    // joiner does not know yet).
    void Stand(std::int32_t fertigeTeile, std::int32_t teileErwartet);
    // The user confirmed the cancel.
    void Abbruch();
    // Both threads have ended; erfolg: the audiobook was made. Parts finished since the
    // last poll are named first.
    void Ende(std::int32_t fertigeTeile, std::int32_t teileErwartet, bool erfolg);

private:
    std::string fAlbum;
    std::function<void(const std::string&)> fSprechen;
    bool fGestartet = false;
    bool fAbgebrochen = false;
    bool fBeendet = false;
    std::int32_t fGenannteTeile = 0;
};

} // namespace lorvane
