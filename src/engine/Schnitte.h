#pragma once
// Where the parts are cut when the listener's cut is wanted: at the end of a source file
// near the part size, else in a pause near it, else at the frame after it. The targets
// stay k times the part size, so a moved cut does not move the next one, and the number
// of parts and the last part's share stay what the sizing made them.

#include "engine/encoder/StillenErkennung.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace lorvane {

// A file boundary counts within a tenth of the part size of the target.
inline constexpr std::int64_t kDateigrenzeToleranzTeiler = 10;
// The pause is looked for this far on either side of the target.
inline constexpr std::int64_t kPausenFensterMs = 60000;
// After a seek the decoder's first moments sound as silence; a pause beginning there
// is not taken.
inline constexpr double kEinschwingSekunden = 0.5;

struct TSchnittZiel {
    // The cut in the joined audio's bytes: where the new part begins.
    std::int64_t Position = 0;
    // The list entry the new part begins in.
    std::int32_t Index = 0;
    // At the start of that entry; else a pause is looked for around Position.
    bool Dateigrenze = false;
};

// laengen: the entries' audio bytes in list order. One target for each part after the
// first, in order, each after the one before and before the end.
std::vector<TSchnittZiel> SchnittZiele(const std::vector<std::int64_t>& laengen,
                                       std::int64_t teilBytes, std::int32_t teile);

// The middle of the longest pause (the one nearest to ziel among equals), in seconds as
// the pauses are given; nothing when there is none after the decoder's first moments.
std::optional<double> PausenMitte(const std::vector<TStille>& stillen, double ziel);

// Where an entry's audio lies, for the pause search.
struct TSchnittQuelle {
    std::filesystem::path Datei;
    std::int64_t Start = 0;
    std::int64_t Length = 0;
    std::int32_t Samplerate = 0;
};

// The encoder's silence detection on [vonMs, vonMs + dauerMs) of a file: the pauses it
// found, from vonMs on; none when it could not run.
using TStillenSuche = std::function<std::vector<TStille>(const std::filesystem::path& datei,
                                                         std::int64_t vonMs, std::int64_t dauerMs)>;

// The cuts in the joined audio's bytes, each at a frame start and each after the one
// before: a file boundary as it is; otherwise the frame at the middle of the longest
// pause within the window around the target, else the frame after the target. quellen
// in list order, one for each entry.
std::vector<std::int64_t> SchnittPositionen(const std::vector<TSchnittZiel>& ziele,
                                            const std::vector<TSchnittQuelle>& quellen,
                                            const TStillenSuche& suche);

} // namespace lorvane
