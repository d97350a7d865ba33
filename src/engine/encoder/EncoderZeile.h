#pragma once
// One line of the encoder's error output, as the worker threads' line handlers get it.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace lorvane {

// The encoder ends every progress update with a bare CR, but the line filter splits
// only at line ends (and delivers what has arrived every time slice), so one delivered
// line may hold several updates. Each CR-separated piece goes to the parser in turn,
// so the latest update counts, as it would if every update were a line of its own:
// the progress moves on within a run and the last position of a run is its final one.
void EncoderZeileAuswerten(std::string_view zeile, std::atomic<std::int32_t>& dauer,
                           std::atomic<std::int32_t>& zeit, std::atomic<std::int32_t>& letzteZeit);

// The encoder's last words of a run, for the message when the run failed: its last
// error line (a line that says "Error", "failed", names a system error and the like),
// else its last line that is neither progress nor statistics. Used in the worker thread
// only.
class TEncoderMeldung {
public:
    void Zuruecksetzen() { *this = TEncoderMeldung{}; }
    void ZeileAuswerten(std::string_view zeile);
    // The encoder's summary "Conversion failed!" names no reason: the line before it does.
    // A system error the encoder names (a full disk, a missing permission) in German.
    std::string Text() const;
    // The encoder could not write its result (a full disk, a failed trailer or close).
    // It may end with success all the same, leaving a file no player can open.
    bool SchreibFehler() const { return fSchreibFehler; }

private:
    struct TLetzte {
        std::string Letzte;
        std::string Vorletzte;
        void Merken(std::string_view zeile);
        std::string Text() const;
    };
    TLetzte fFehler;
    TLetzte fSonstige;
    bool fSchreibFehler = false;
};

} // namespace lorvane
