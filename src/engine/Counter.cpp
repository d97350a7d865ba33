#include "engine/Counter.h"

#include "base/DatenC.h"

#include <algorithm>
#include <optional>

namespace lorvane {

void TCounter::Clear() {
    FList.clear();
}

bool TCounter::Add(std::string_view ABitSampleString) {
    const auto gleich = std::find_if(FList.begin(), FList.end(), [&](const TCounterRec& rec) {
        return rec.BitSampleString == ABitSampleString;
    });
    if (gleich != FList.end()) {
        ++gleich->Count;
        return true;
    }
    const std::optional<std::int32_t> bitrate =
        GanzzahlLesen(WortAusText(ABitSampleString, 1, " "));
    const std::optional<std::int32_t> samplerate =
        GanzzahlLesen(WortAusText(ABitSampleString, 2, " "));
    const std::optional<std::int32_t> channels =
        GanzzahlLesen(WortAusText(ABitSampleString, 3, " "));
    if (!bitrate || !samplerate || !channels) {
        return false;
    }
    TCounterRec rec;
    rec.BitSampleString = std::string(ABitSampleString);
    rec.Bitrate = *bitrate;
    rec.Samplerate = *samplerate;
    rec.Channels = *channels;
    rec.Count = 1;
    FList.push_back(std::move(rec));
    return true;
}

void TCounter::GetBestBitSample(TCounterRec& ergebnis) const {
    ergebnis = TCounterRec();
    for (const TCounterRec& rec : FList) {
        if (rec.Count > ergebnis.Count) {
            ergebnis = rec;
        }
    }
    // Always against the current result, so a later entry has to reach the values of
    // the one chosen before it, not of the first winner.
    for (const TCounterRec& rec : FList) {
        if (rec.Count == ergebnis.Count && rec.Bitrate >= ergebnis.Bitrate &&
            rec.Samplerate >= ergebnis.Samplerate && rec.Channels >= ergebnis.Channels) {
            ergebnis = rec;
        }
    }
}

} // namespace lorvane
