#include "engine/encoder/EncoderZeile.h"

#include "base/FehlerGrund.h"
#include "engine/encoder/FfmpegZeile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

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

// The encoder's closing statistics ("[aac @ 0x...] Qavg: ...", "video:0kB audio:...").
bool IstStatistik(std::string_view zeile) {
    return zeile.find("Qavg:") != std::string_view::npos || zeile.substr(0, 6) == "video:" ||
           zeile.find("muxing overhead") != std::string_view::npos;
}

bool Enthaelt(std::string_view zeile, std::string_view teil) {
    const auto klein = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    return std::search(zeile.begin(), zeile.end(), teil.begin(), teil.end(), klein) != zeile.end();
}

// The system errors whose text the encoder passes on (in English: it runs without a
// locale) and the user needs in German; others stay as the encoder wrote them.
struct TSystemFehler {
    int Code;
    std::string_view Text;
};
constexpr TSystemFehler kSystemFehler[] = {
    {ENOSPC, "No space left on device"}, {EDQUOT, "Disk quota exceeded"},
    {EACCES, "Permission denied"},       {EROFS, "Read-only file system"},
    {EIO, "Input/output error"},         {EFBIG, "File too large"},
};

int GenannterSystemFehler(std::string_view zeile) {
    for (const TSystemFehler& fehler : kSystemFehler) {
        if (zeile.find(fehler.Text) != std::string_view::npos) {
            return fehler.Code;
        }
    }
    return 0;
}

bool IstFehlerZeile(std::string_view zeile) {
    for (const std::string_view wort :
         {"error", "failed", "invalid", "could not", "cannot", "unable"}) {
        if (Enthaelt(zeile, wort)) {
            return true;
        }
    }
    return GenannterSystemFehler(zeile) != 0;
}

bool IstSchreibFehlerZeile(std::string_view zeile) {
    const int code = GenannterSystemFehler(zeile);
    return zeile.find("Error writing trailer") != std::string_view::npos ||
           zeile.find("Error closing file") != std::string_view::npos || code == ENOSPC ||
           code == EDQUOT;
}

} // namespace

void EncoderZeileAuswerten(std::string_view zeile, std::atomic<std::int32_t>& dauer,
                           std::atomic<std::int32_t>& zeit, std::atomic<std::int32_t>& letzteZeit) {
    StueckeDurchgehen(zeile, [&](std::string_view stueck) {
        FfmpegZeileAuswerten(stueck, dauer, zeit, letzteZeit);
    });
}

void TEncoderMeldung::TLetzte::Merken(std::string_view zeile) {
    Vorletzte = std::move(Letzte);
    Letzte = std::string(zeile);
}

std::string TEncoderMeldung::TLetzte::Text() const {
    const std::string& text =
        Letzte == "Conversion failed!" && !Vorletzte.empty() ? Vorletzte : Letzte;
    const int code = GenannterSystemFehler(text);
    return code != 0 ? SystemFehlerText(code) : text;
}

void TEncoderMeldung::ZeileAuswerten(std::string_view zeile) {
    StueckeDurchgehen(zeile, [this](std::string_view stueck) {
        while (!stueck.empty() && (stueck.back() == ' ' || stueck.back() == '\n')) {
            stueck.remove_suffix(1);
        }
        if (stueck.empty() || IstAuskunft(stueck) || IstStatistik(stueck)) {
            return;
        }
        fSchreibFehler = fSchreibFehler || IstSchreibFehlerZeile(stueck);
        // The summary is no reason of its own: it stays with the other lines, behind
        // the one that names the reason.
        const bool fehler = IstFehlerZeile(stueck) && stueck != "Conversion failed!";
        (fehler ? fFehler : fSonstige).Merken(stueck);
    });
}

std::string TEncoderMeldung::Text() const {
    return fFehler.Letzte.empty() ? fSonstige.Text() : fFehler.Text();
}

} // namespace lorvane
