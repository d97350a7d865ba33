#include "engine/EncoderZeile.h"

#include "engine/FfmpegZeile.h"

namespace lorvane {

namespace {

// Every non-empty CR-separated piece of a delivered line, in order.
template <typename TStueck>
void StueckeDurchgehen(std::string_view zeile, TStueck stueckAuswerten) {
    while (!zeile.empty()) {
        const std::size_t ende = zeile.find('\r');
        const std::string_view stueck = zeile.substr(0, ende);
        if (!stueck.empty()) {
            stueckAuswerten(stueck);
        }
        if (ende == std::string_view::npos) {
            break;
        }
        zeile.remove_prefix(ende + 1);
    }
}

// Progress updates and the encoder's report of its input, output and set-up (indented
// lines, headings, the banner) say nothing about a failure.
bool IstAuskunft(std::string_view zeile) {
    if (zeile.find("time=") != std::string_view::npos &&
        zeile.find("size=") != std::string_view::npos) {
        return true;
    }
    if (zeile.front() == ' ' || zeile.front() == '\t') {
        return true;
    }
    for (const std::string_view anfang :
         {"Input #", "Output #", "Stream mapping:", "Press [q]", "ffmpeg version"}) {
        if (zeile.substr(0, anfang.size()) == anfang) {
            return true;
        }
    }
    return false;
}

} // namespace

void EncoderZeileAuswerten(std::string_view zeile, std::atomic<std::int32_t>& dauer,
                           std::atomic<std::int32_t>& zeit, std::atomic<std::int32_t>& letzteZeit) {
    StueckeDurchgehen(zeile, [&](std::string_view stueck) {
        FfmpegZeileAuswerten(stueck, dauer, zeit, letzteZeit);
    });
}

void TEncoderMeldung::ZeileAuswerten(std::string_view zeile) {
    StueckeDurchgehen(zeile, [this](std::string_view stueck) {
        while (!stueck.empty() && (stueck.back() == ' ' || stueck.back() == '\n')) {
            stueck.remove_suffix(1);
        }
        if (!stueck.empty() && !IstAuskunft(stueck)) {
            fVorletzte = std::move(fLetzte);
            fLetzte = std::string(stueck);
        }
    });
}

std::string TEncoderMeldung::Text() const {
    if (fLetzte == "Conversion failed!" && !fVorletzte.empty()) {
        return fVorletzte;
    }
    return fLetzte;
}

} // namespace lorvane
