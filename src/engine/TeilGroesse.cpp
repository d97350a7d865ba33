#include "engine/TeilGroesse.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lorvane {

namespace {

constexpr std::int32_t kGenugVoll = 98;
constexpr std::int32_t kVoll = 97;
constexpr std::int32_t kFastLeer = 10;
constexpr std::int64_t kGroessteZahl = std::numeric_limits<std::int64_t>::max();

// Every size from the proposed one down to a size with one full part more has the
// same number of full parts; there the rest, and so the filling, only grows as the
// size falls (all steps of the computation are monotonic). So the first size from
// the top that is full enough is found by bisection, and a range without one is
// skipped as a whole.
std::int64_t Schrumpfen(std::int64_t n, std::int64_t gesamt) {
    for (;;) {
        if (n <= 1 || TeilFuellung(n, gesamt) >= kVoll) {
            return n;
        }
        // n >= 2, so the quotient stays below the largest value and + 1 is safe.
        const std::int64_t volleTeile = gesamt / n;
        const std::int64_t unten = gesamt / (volleTeile + 1) + 1;
        if (TeilFuellung(unten, gesamt) < kVoll) {
            if (unten <= 1) {
                return 1;
            }
            n = unten - 1;
            continue;
        }
        // unten is full enough, n is not: the largest full enough size lies between.
        std::int64_t gut = unten;
        std::int64_t schlecht = n;
        while (schlecht - gut > 1) {
            const std::int64_t mitte = gut + (schlecht - gut) / 2;
            if (TeilFuellung(mitte, gesamt) >= kVoll) {
                gut = mitte;
            } else {
                schlecht = mitte;
            }
        }
        return gut;
    }
}

// Growing from n, the filling falls within a range of sizes with the same number of
// full parts; the best chance is the first size of the next range (one full part
// fewer). Above the total there is one part, whose filling only falls from then on.
std::int64_t Wachsen(std::int64_t n, std::int64_t gesamt) {
    const std::int64_t alleInEinem = std::max(n, gesamt);
    for (;;) {
        if (TeilFuellung(n, gesamt) >= kVoll) {
            return n;
        }
        if (gesamt <= 0 || n > gesamt) {
            return alleInEinem;
        }
        const std::int64_t bisGroesse = gesamt / (gesamt / n);
        if (bisGroesse == kGroessteZahl) {
            return alleInEinem;
        }
        n = bisGroesse + 1;
    }
}

} // namespace

bool StundenImBereich(std::int64_t stunden) {
    return stunden >= StundenMinimum && stunden <= StundenMaximum;
}

std::int32_t StundenBegrenzen(std::int64_t stunden) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(stunden, StundenMinimum, StundenMaximum));
}

std::int32_t TeilFuellung(std::int64_t n, std::int64_t gesamt) {
    if (n <= 0) {
        return 0;
    }
    const std::int64_t rest = gesamt % n;
    if (rest == 0) {
        return 0;
    }
    const long double prozent =
        100.0L * static_cast<long double>(rest) / static_cast<long double>(n);
    // The default rounding mode rounds halves to even.
    return static_cast<std::int32_t>(std::nearbyint(prozent));
}

std::int64_t TeilGroesseAnpassen(std::int64_t n, std::int64_t gesamt) {
    if (n <= 0) {
        return 1;
    }
    const std::int32_t fuellung = TeilFuellung(n, gesamt);
    if (fuellung >= kGenugVoll) {
        return n;
    }
    if (fuellung > kFastLeer) {
        return Schrumpfen(n, gesamt);
    }
    return Wachsen(n, gesamt);
}

std::int64_t TeilBytesBerechnen(std::int64_t gesamtBytes, std::int32_t gesamtDauer,
                                std::int32_t maxStunden) {
    const std::int64_t sekunden = std::int64_t{maxStunden} * 3600;
    if (sekunden >= gesamtDauer || gesamtDauer <= 0) {
        return gesamtBytes;
    }
    const long double anteil = static_cast<long double>(gesamtBytes) /
                               static_cast<long double>(gesamtDauer) *
                               static_cast<long double>(sekunden);
    const long double gerundet = std::nearbyint(anteil);
    // The share is below the total, so it fits; the limits only guard the conversion.
    constexpr long double kGrenze = 9223372036854775807.0L;
    const std::int64_t n = gerundet >= kGrenze    ? kGroessteZahl
                           : gerundet <= -kGrenze ? -kGroessteZahl
                                                  : static_cast<std::int64_t>(gerundet);
    return TeilGroesseAnpassen(n, gesamtBytes);
}

std::int32_t TeilAnzahl(std::int64_t gesamt, std::int64_t n) {
    if (gesamt <= 0) {
        return 0;
    }
    if (n <= 0) {
        return 1;
    }
    const std::int64_t anzahl = gesamt / n + (gesamt % n != 0 ? 1 : 0);
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(anzahl, std::numeric_limits<std::int32_t>::max()));
}

} // namespace lorvane
