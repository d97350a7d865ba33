#include "engine/Schnitte.h"

#include "audio/MpegFrameWalk.h"
#include "base/Streams.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <exception>
#include <utility>

namespace lorvane {

namespace {

// The file boundary nearest to ziel within the tolerance and after the last cut: the
// index of the entry that begins there.
std::optional<std::size_t> NaechsteGrenze(const std::vector<std::int64_t>& anfaenge,
                                          std::int64_t ziel, std::int64_t toleranz,
                                          std::int64_t letzter) {
    std::optional<std::size_t> beste;
    const auto abstand = [&](std::size_t i) { return std::llabs(anfaenge[i] - ziel); };
    const auto mitte = std::lower_bound(anfaenge.begin() + 1, anfaenge.end(), ziel);
    const auto i = static_cast<std::size_t>(mitte - anfaenge.begin());
    for (const std::size_t kandidat : {i - 1, i}) {
        if (kandidat < 1 || kandidat >= anfaenge.size() || anfaenge[kandidat] <= letzter ||
            abstand(kandidat) > toleranz) {
            continue;
        }
        if (!beste || abstand(kandidat) < abstand(*beste)) {
            beste = kandidat;
        }
    }
    return beste;
}

constexpr std::size_t kWalkPuffer = 1 << 16;

// The cut for a target inside an entry, as a byte position in the entry's file. One walk
// from the entry's start to the target gives the samples before it and the frame after
// it, and keeps the frames of the last window's length, from where the walk to the
// pause starts: a file of hours is not walked again for each question.
std::int64_t PausenSchnitt(const TSchnittQuelle& quelle, std::int64_t zielByte,
                           const TStillenSuche& suche) {
    TFileStream stream(quelle.Datei, TFileMode::OpenRead);
    const std::int64_t ende = quelle.Start + quelle.Length;
    const std::int64_t rueckblick = kPausenFensterMs * std::max(quelle.Samplerate, 0) / 1000;
    std::int64_t samples = 0;
    // Frame starts with the samples before them; the first lies a window before the end.
    std::deque<std::pair<std::int64_t, std::int64_t>> fenster;
    const std::int64_t stop =
        WalkFrames(stream, quelle.Start, ende, kWalkPuffer,
                   [&](std::int64_t position, const TMpegHeader& frame) {
                       if (position >= zielByte) {
                           return false;
                       }
                       fenster.emplace_back(position, samples);
                       samples += SamplesInFrame(frame);
                       while (fenster.size() > 1 && fenster[1].second <= samples - rueckblick) {
                           fenster.pop_front();
                       }
                       return true;
                   });
    // As FrameStartAtOrAfter: damaged data before the target is cut where it is.
    const std::int64_t frameDanach = stop >= zielByte ? std::min(stop, ende) : zielByte;
    if (quelle.Samplerate <= 0 || fenster.empty()) {
        return frameDanach;
    }
    const std::int64_t zielMs = samples * 1000 / quelle.Samplerate;
    const std::int64_t vonMs = std::max<std::int64_t>(0, zielMs - kPausenFensterMs);
    const std::vector<TStille> stillen =
        suche(quelle.Datei, vonMs, zielMs + kPausenFensterMs - vonMs);
    const std::optional<double> mitte =
        PausenMitte(stillen, static_cast<double>(zielMs - vonMs) / 1000);
    if (!mitte) {
        return frameDanach;
    }
    const double sekunden = static_cast<double>(vonMs) / 1000 + *mitte;
    const std::int64_t pause = std::llround(sekunden * quelle.Samplerate);
    const auto [von, davor] = fenster.front().second <= pause
                                  ? fenster.front()
                                  : std::pair<std::int64_t, std::int64_t>{quelle.Start, 0};
    return FrameStartAtSample(stream, von, ende, pause - davor, kWalkPuffer);
}

} // namespace

std::vector<TSchnittZiel> SchnittZiele(const std::vector<std::int64_t>& laengen,
                                       std::int64_t teilBytes, std::int32_t teile) {
    std::vector<TSchnittZiel> ziele;
    if (laengen.empty() || teilBytes <= 0) {
        return ziele;
    }
    // Where each entry begins; the last value is the end of the audio.
    std::vector<std::int64_t> anfaenge{0};
    for (const std::int64_t laenge : laengen) {
        anfaenge.push_back(anfaenge.back() + laenge);
    }
    const std::int64_t gesamt = anfaenge.back();
    anfaenge.pop_back();
    const std::int64_t toleranz = teilBytes / kDateigrenzeToleranzTeiler;
    std::int64_t letzter = 0;
    for (std::int32_t k = 1; k < teile; ++k) {
        const std::int64_t ziel = teilBytes * k;
        if (ziel >= gesamt) {
            break;
        }
        TSchnittZiel schnitt;
        if (const auto grenze = NaechsteGrenze(anfaenge, ziel, toleranz, letzter)) {
            schnitt = {anfaenge[*grenze], static_cast<std::int32_t>(*grenze), true};
        } else {
            const auto danach = std::upper_bound(anfaenge.begin(), anfaenge.end(), ziel);
            schnitt = {ziel, static_cast<std::int32_t>(danach - anfaenge.begin() - 1), false};
        }
        if (schnitt.Position <= letzter) {
            continue;
        }
        letzter = schnitt.Position;
        ziele.push_back(schnitt);
    }
    return ziele;
}

std::optional<double> PausenMitte(const std::vector<TStille>& stillen, double ziel) {
    std::optional<TStille> beste;
    const auto laenge = [](const TStille& s) { return s.Ende - s.Beginn; };
    const auto abstand = [ziel](const TStille& s) {
        return std::abs((s.Beginn + s.Ende) / 2 - ziel);
    };
    for (const TStille& stille : stillen) {
        if (stille.Beginn < kEinschwingSekunden || laenge(stille) <= 0) {
            continue;
        }
        if (!beste || laenge(stille) > laenge(*beste) ||
            (laenge(stille) == laenge(*beste) && abstand(stille) < abstand(*beste))) {
            beste = stille;
        }
    }
    if (!beste) {
        return std::nullopt;
    }
    return (beste->Beginn + beste->Ende) / 2;
}

std::vector<std::int64_t> SchnittPositionen(const std::vector<TSchnittZiel>& ziele,
                                            const std::vector<TSchnittQuelle>& quellen,
                                            const TStillenSuche& suche) {
    std::vector<std::int64_t> anfaenge{0};
    for (const TSchnittQuelle& quelle : quellen) {
        anfaenge.push_back(anfaenge.back() + quelle.Length);
    }
    const std::int64_t gesamt = anfaenge.back();
    std::vector<std::int64_t> schnitte;
    for (const TSchnittZiel& ziel : ziele) {
        const auto index = static_cast<std::size_t>(ziel.Index);
        if (index >= quellen.size()) {
            continue;
        }
        std::int64_t position = ziel.Position;
        if (!ziel.Dateigrenze) {
            const TSchnittQuelle& quelle = quellen[index];
            try {
                const std::int64_t imEintrag =
                    PausenSchnitt(quelle, quelle.Start + (ziel.Position - anfaenge[index]), suche);
                position = anfaenge[index] + (imEintrag - quelle.Start);
            } catch (const std::exception&) {
                // An unreadable file fails in the joining, with its message; the plan
                // keeps the target.
            }
        }
        if (position <= (schnitte.empty() ? 0 : schnitte.back()) || position >= gesamt) {
            continue;
        }
        schnitte.push_back(position);
    }
    return schnitte;
}

} // namespace lorvane
