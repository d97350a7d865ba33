#include <atomic>
#include <cstdint>

#include <gtest/gtest.h>

#include "engine/EncoderZeile.h"

namespace lorvane {
namespace {

struct TWerte {
    std::atomic<std::int32_t> Dauer{-1};
    std::atomic<std::int32_t> Zeit{-1};
    std::atomic<std::int32_t> Letzte{0};
    void Auswerten(std::string_view zeile) { EncoderZeileAuswerten(zeile, Dauer, Zeit, Letzte); }
};

TEST(EncoderZeile, TheLatestOfSeveralProgressUpdatesCounts) {
    TWerte w;
    w.Auswerten("  Duration: 00:00:06.00, start: 0.000000, bitrate: 32 kb/s");
    EXPECT_EQ(w.Dauer, 6);
    // What one time slice delivers at the end of a short run: the first report and the
    // final one.
    w.Auswerten("size=       0kB time=00:00:00.00 bitrate=N/A speed=N/A    \r"
                "size=      25kB time=00:00:06.01 bitrate=  33.6kbits/s speed= 112x    ");
    EXPECT_EQ(w.Letzte, 6);
    EXPECT_EQ(w.Zeit, 6);
    // A piece cut off by the time slice carries no position; the one before it counts.
    w.Auswerten("size=      10kB time=00:00:03.00 bitrate=  27.3kbits/s    \rsize=   12");
    EXPECT_EQ(w.Letzte, 3);
}

TEST(EncoderZeile, LinesWithoutCarriageReturnsAreParsedAsTheyAre) {
    TWerte w;
    w.Auswerten("size=      10kB time=00:00:03.00 bitrate=  27.3kbits/s");
    EXPECT_EQ(w.Zeit, -1) << "no position before the duration is known";
    w.Auswerten("  Duration: 01:00:00.00, start: 0.000000, bitrate: 8 kb/s\r");
    EXPECT_EQ(w.Dauer, 3600);
    w.Auswerten("\r\r");
    w.Auswerten("");
    EXPECT_EQ(w.Dauer, 3600);
    EXPECT_EQ(w.Zeit, -1);
}

} // namespace
} // namespace lorvane
