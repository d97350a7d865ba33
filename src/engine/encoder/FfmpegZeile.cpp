#include "engine/encoder/FfmpegZeile.h"

#include "base/DatenC.h"

namespace lorvane {

void FfmpegZeileAuswerten(std::string_view zeile, std::atomic<std::int32_t>& dauer,
                          std::atomic<std::int32_t>& zeit, std::atomic<std::int32_t>& letzteZeit) {
    // Only the thread running the encoder writes the pair, so read and write need no
    // further ordering.
    std::int32_t gesamt = dauer;
    if (WortAusText(zeile, 1, " ") == "Duration:") {
        // The full stop cuts off the fraction of a second and the comma after it.
        gesamt = ZeitInSekunden(WortAusText(zeile, 2, " ."));
        dauer = gesamt;
    }
    if (gesamt < 0) {
        return;
    }
    const std::size_t zeitStelle = zeile.find("time=");
    if (zeitStelle == std::string_view::npos || zeile.find("size=") == std::string_view::npos) {
        return;
    }
    // The first word is "time" itself. Several updates in one line: the first counts.
    const std::int32_t position = ZeitInSekunden(WortAusText(zeile.substr(zeitStelle), 2, " .="));
    letzteZeit = position;
    zeit = position > gesamt ? gesamt : position;
}

} // namespace lorvane
