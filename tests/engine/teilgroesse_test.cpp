#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "engine/TeilGroesse.h"

namespace lorvane {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

// The adjustment as first written: one byte at a time. Where that loop would never
// end (growing past the total, where the filling only falls), it gives the answer
// TeilGroesseAnpassen promises for that case, so that the two compare on every input.
std::int64_t SchrittweiseAnpassen(std::int64_t n, std::int64_t gesamt) {
    if (n <= 0) {
        return 1;
    }
    const std::int32_t fuellung = TeilFuellung(n, gesamt);
    if (fuellung >= 98) {
        return n;
    }
    if (fuellung > 10) {
        while (n > 1 && TeilFuellung(n, gesamt) < 97) {
            --n;
        }
        return n;
    }
    const std::int64_t start = n;
    while (TeilFuellung(n, gesamt) < 97) {
        if (gesamt <= 0 || n > gesamt || n == kMax) {
            return std::max(start, gesamt);
        }
        ++n;
    }
    return n;
}

TEST(TeilGroesse, WorkedExamples) {
    // 1,000,000 bytes in 10,000 s at one hour: 360,000 leaves a last part 78 % full.
    EXPECT_EQ(TeilFuellung(360000, 1000000), 78);
    EXPECT_EQ(TeilGroesseAnpassen(360000, 1000000), 337268);
    const std::int64_t teil = TeilBytesBerechnen(1000000, 10000, 1);
    ASSERT_EQ(teil, 337268);
    EXPECT_EQ(1000000 - 2 * teil, 325464); // parts 337,268, 337,268 and 325,464

    // 57,600,000 bytes in 14,400 s: 14,400,000 divides the total (filling 0).
    EXPECT_EQ(TeilFuellung(14400000, 57600000), 0);
    const std::int64_t gross = TeilBytesBerechnen(57600000, 14400, 1);
    ASSERT_EQ(gross, 14400001);
    EXPECT_EQ(57600000 - 3 * gross, 14399997);
}

TEST(TeilGroesse, TheNumberOfPartsCountsTheRestAsOne) {
    struct TFall {
        std::int64_t Gesamt;
        std::int64_t Teil;
        std::int32_t Anzahl;
    };
    const TFall faelle[] = {
        {1000000, 337268, 3}, // the worked example: two whole parts and the rest
        {57600000, 14400001, 4},
        {100, 50, 2},   // divides the total: no empty last part
        {100, 1000, 1}, // one part holds everything
        {0, 100, 0},    // nothing to join
        {100, 0, 1},    // no size: one part
        {kMax, 1, std::numeric_limits<std::int32_t>::max()},
    };
    for (const TFall& fall : faelle) {
        EXPECT_EQ(TeilAnzahl(fall.Gesamt, fall.Teil), fall.Anzahl)
            << fall.Gesamt << "/" << fall.Teil;
    }
}

TEST(TeilGroesse, OnePartWhenTheHoursCoverThePlayingTime) {
    EXPECT_EQ(TeilBytesBerechnen(5000, 3600, 1), 5000); // equal counts as covered
    EXPECT_EQ(TeilBytesBerechnen(5000, 36000, 10), 5000);
    EXPECT_EQ(TeilBytesBerechnen(5000, 3601, 1), 5001); // one second more: 2 parts
    // No playing time: no division, everything in one part, whatever the hours.
    EXPECT_EQ(TeilBytesBerechnen(5000, 0, 1), 5000);
    EXPECT_EQ(TeilBytesBerechnen(5000, 0, -1), 5000);
    EXPECT_EQ(TeilBytesBerechnen(5000, -20, -1), 5000);
    // Hours times 3600 does not overflow 32 bits.
    EXPECT_EQ(TeilBytesBerechnen(5000, 2000000000, 1000000), 5000);
}

TEST(TeilGroesse, FillingRoundsHalvesToEven) {
    EXPECT_EQ(TeilFuellung(200, 393), 96);  // 96.5
    EXPECT_EQ(TeilFuellung(200, 395), 98);  // 97.5
    EXPECT_EQ(TeilFuellung(200, 221), 10);  // 10.5
    EXPECT_EQ(TeilFuellung(222, 221), 100); // 99.5
    EXPECT_EQ(TeilFuellung(0, 5), 0);
    // 10.5 % is not more than 10: the search grows, to the first size with one full
    // part fewer (rounding halves up would shrink it to 112 instead).
    EXPECT_EQ(TeilGroesseAnpassen(200, 221), 222);
    // Shrinking passes 200 (96.5 %, not yet 97) and stops at 199 (97.49 %).
    EXPECT_EQ(TeilGroesseAnpassen(300, 393), 199);
}

TEST(TeilGroesse, EndsForEveryInput) {
    EXPECT_EQ(TeilGroesseAnpassen(0, 1000), 1);
    EXPECT_EQ(TeilGroesseAnpassen(-5, 1000), 1);
    EXPECT_EQ(TeilGroesseAnpassen(std::numeric_limits<std::int64_t>::min(), 1000), 1);
    // Nothing to cut: the size stays.
    EXPECT_EQ(TeilGroesseAnpassen(10, 0), 10);
    EXPECT_EQ(TeilGroesseAnpassen(100, -1000), 100);
    // A total too small for any size to be 97 % full: one part.
    EXPECT_EQ(TeilGroesseAnpassen(100, 10), 100);
    EXPECT_EQ(TeilGroesseAnpassen(5, 10), 10);
    // From 28 bytes on, one byte more than the total always is.
    EXPECT_EQ(TeilGroesseAnpassen(14, 28), 29);
    // Sizes above the total.
    EXPECT_EQ(TeilGroesseAnpassen(kMax, 5), kMax);
    EXPECT_EQ(TeilGroesseAnpassen(kMax, kMax), kMax);
    // Huge totals: 3k + 1 bytes in parts of k grow to k + 1 (rest k - 1).
    EXPECT_EQ(TeilGroesseAnpassen(kMax / 3, kMax), kMax / 3 + 1);
    EXPECT_EQ(TeilGroesseAnpassen(1, kMax), SchrittweiseAnpassen(1, kMax));
    EXPECT_EQ(TeilGroesseAnpassen(2, kMax), SchrittweiseAnpassen(2, kMax));
}

TEST(TeilGroesse, SameAsOneByteAtATimeForAllSmallInputs) {
    for (std::int64_t gesamt = -3; gesamt <= 120; ++gesamt) {
        for (std::int64_t n = -2; n <= 2 * std::max<std::int64_t>(gesamt, 0) + 30; ++n) {
            ASSERT_EQ(TeilGroesseAnpassen(n, gesamt), SchrittweiseAnpassen(n, gesamt))
                << "n " << n << ", total " << gesamt;
        }
    }
}

TEST(TeilGroesse, SameAsOneByteAtATimeForRandomInputs) {
    std::mt19937_64 zufall(20240611);
    // Totals up to 100,000 with any proposed size up to twice the total.
    std::uniform_int_distribution<int> stellen(1, 5);
    for (int fall = 0; fall < 400; ++fall) {
        std::int64_t obergrenze = 1;
        for (int i = stellen(zufall); i > 0; --i) {
            obergrenze *= 10;
        }
        const std::int64_t gesamt =
            std::uniform_int_distribution<std::int64_t>(1, obergrenze)(zufall);
        const std::int64_t n = std::uniform_int_distribution<std::int64_t>(1, 2 * gesamt)(zufall);
        ASSERT_EQ(TeilGroesseAnpassen(n, gesamt), SchrittweiseAnpassen(n, gesamt))
            << "n " << n << ", total " << gesamt;
    }
    // Huge totals with many parts, so that the one-byte search stays short, near the
    // exact multiples where both branches begin.
    for (int fall = 0; fall < 400; ++fall) {
        const std::int64_t gesamt =
            std::uniform_int_distribution<std::int64_t>(std::int64_t{1} << 40, kMax)(zufall);
        const auto wurzel = static_cast<std::int64_t>(std::sqrt(static_cast<double>(gesamt)));
        const std::int64_t teile =
            std::uniform_int_distribution<std::int64_t>(wurzel / 8, 4 * wurzel)(zufall);
        const std::int64_t abstand = std::uniform_int_distribution<std::int64_t>(-3, 3)(zufall);
        const std::int64_t n = std::max<std::int64_t>(gesamt / teile + abstand, 1);
        ASSERT_EQ(TeilGroesseAnpassen(n, gesamt), SchrittweiseAnpassen(n, gesamt))
            << "n " << n << ", total " << gesamt;
    }
}

} // namespace
} // namespace lorvane
