#include "engine/EncoderZeile.h"

#include "engine/FfmpegZeile.h"

namespace lorvane {

void EncoderZeileAuswerten(std::string_view zeile, std::atomic<std::int32_t>& dauer,
                           std::atomic<std::int32_t>& zeit, std::atomic<std::int32_t>& letzteZeit) {
    while (!zeile.empty()) {
        const std::size_t ende = zeile.find('\r');
        const std::string_view stueck = zeile.substr(0, ende);
        if (!stueck.empty()) {
            FfmpegZeileAuswerten(stueck, dauer, zeit, letzteZeit);
        }
        if (ende == std::string_view::npos) {
            break;
        }
        zeile.remove_prefix(ende + 1);
    }
}

} // namespace lorvane
