#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "engine/encoder/EncoderZeile.h"

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

// What the message gives as the reason, and which lines mean the result was not written.
// A damaged input frame is an error the encoder goes past: the run still counts.
TEST(EncoderMeldung, PrefersErrorLinesAndKnowsWhenTheResultWasNotWritten) {
    const struct {
        std::vector<std::string_view> Zeilen;
        std::string Text;
        bool SchreibFehler;
    } faelle[] = {
        {{"[mp3 @ 0x1] Estimating duration from bitrate, this may be inaccurate"},
         "[mp3 @ 0x1] Estimating duration from bitrate, this may be inaccurate",
         false},
        {{"[mp3float @ 0x1] Error while decoding stream #0:0: Invalid data found",
          "size=  12kB time=00:00:03.00 bitrate=  27.3kbits/s",
          "video:0kB audio:120kB subtitle:0kB other streams:0kB muxing overhead: 0.4%",
          "[aac @ 0x2] Qavg: 24381.924"},
         "[mp3float @ 0x1] Error while decoding stream #0:0: Invalid data found",
         false},
        {{"Error writing trailer of a.m4a: No space left on device", "[aac @ 0x2] Qavg: 1.0"},
         "Auf dem Datenträger ist kein Speicherplatz mehr frei",
         true},
        {{"Error closing file a.m4a: Input/output error"},
         "Ein- oder Ausgabefehler des Datenträgers",
         true},
        {{"a.m4a: Permission denied", "Conversion failed!"}, "Keine Berechtigung", false},
        {{"Unknown encoder 'x'", "Conversion failed!"}, "Unknown encoder 'x'", false},
    };
    for (const auto& fall : faelle) {
        TEncoderMeldung meldung;
        for (const std::string_view zeile : fall.Zeilen) {
            meldung.ZeileAuswerten(zeile);
        }
        EXPECT_EQ(meldung.Text(), fall.Text) << fall.Zeilen.front();
        EXPECT_EQ(meldung.SchreibFehler(), fall.SchreibFehler) << fall.Zeilen.front();
        meldung.Zuruecksetzen();
        EXPECT_TRUE(meldung.Text().empty());
        EXPECT_FALSE(meldung.SchreibFehler());
    }
}

} // namespace
} // namespace lorvane
