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

// The encoder's last words of a run: the last line of its error output that is not a
// progress update, for the message when the run failed. Used in the worker thread only.
class TEncoderMeldung {
public:
    void Zuruecksetzen() {
        fLetzte.clear();
        fVorletzte.clear();
    }
    void ZeileAuswerten(std::string_view zeile);
    // The encoder's summary "Conversion failed!" names no reason: the line before it does.
    std::string Text() const;

private:
    std::string fLetzte;
    std::string fVorletzte;
};

} // namespace lorvane
