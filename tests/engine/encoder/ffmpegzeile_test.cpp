#include "engine/encoder/FfmpegZeile.h"

#include <gtest/gtest.h>
#include <string>

namespace lorvane {
namespace {

const char* const kDauerZeile = "  Duration: 00:05:12.34, start: 0.025056, bitrate: 128 kb/s";
const char* const kFortschritt =
    "size=    2048kB time=00:01:05.12 bitrate= 257.6kbits/s speed=32.1x";

class FfmpegZeile : public ::testing::Test {
protected:
    void Auswerten(const std::string& zeile) { FfmpegZeileAuswerten(zeile, dauer, zeit, letzte); }
    std::atomic<std::int32_t> dauer{-1};
    std::atomic<std::int32_t> zeit{-1};
    std::atomic<std::int32_t> letzte{0};
};

TEST_F(FfmpegZeile, TheDurationLineSetsTheDuration) {
    Auswerten(kDauerZeile);
    EXPECT_EQ(dauer, 312);
    EXPECT_EQ(zeit, -1);
    EXPECT_EQ(letzte, 0);
}

TEST_F(FfmpegZeile, AProgressLineSetsPositionAndLastTime) {
    dauer = 312;
    Auswerten(kFortschritt);
    EXPECT_EQ(zeit, 65);
    EXPECT_EQ(letzte, 65);
    EXPECT_EQ(dauer, 312);
}

TEST_F(FfmpegZeile, WithoutAKnownDurationAProgressLineChangesNothing) {
    Auswerten(kFortschritt);
    EXPECT_EQ(dauer, -1);
    EXPECT_EQ(zeit, -1);
    EXPECT_EQ(letzte, 0);
}

TEST_F(FfmpegZeile, APositionBeyondTheDurationIsLimitedButLastTimeKeepsIt) {
    dauer = 312;
    Auswerten("size=    4096kB time=00:05:13.00 bitrate= 128.0kbits/s speed=30x");
    EXPECT_EQ(letzte, 313);
    EXPECT_EQ(zeit, 312);
}

TEST_F(FfmpegZeile, AnUnknownDurationIsZeroAndLimitsEveryPositionToZero) {
    Auswerten("  Duration: N/A, start: 0.000000, bitrate: N/A");
    EXPECT_EQ(dauer, 0);
    Auswerten(kFortschritt);
    EXPECT_EQ(zeit, 0);
    EXPECT_EQ(letzte, 65);
}

TEST_F(FfmpegZeile, SeveralUpdatesInOneLineCountAtTheFirstTime) {
    dauer = 312;
    Auswerten(std::string(kFortschritt) +
              "\rsize=    4096kB time=00:02:10.00 bitrate= 257.6kbits/s speed=32x");
    EXPECT_EQ(zeit, 65);
    EXPECT_EQ(letzte, 65);
}

TEST_F(FfmpegZeile, TimeWithoutSizeIsIgnored) {
    dauer = 312;
    Auswerten("frame=  100 fps=0.0 q=-1.0 time=00:01:05.12 bitrate=N/A");
    EXPECT_EQ(zeit, -1);
    EXPECT_EQ(letzte, 0);
}

TEST_F(FfmpegZeile, ADurationLineCanAlsoCarryAPosition) {
    Auswerten("Duration: 00:01:40.00, size= 10kB time=00:00:20.00 bitrate=1");
    EXPECT_EQ(dauer, 100);
    EXPECT_EQ(zeit, 20);
    EXPECT_EQ(letzte, 20);
}

TEST_F(FfmpegZeile, OnlyAnExactFirstWordDuration) {
    Auswerten("Input #0, mp3, from 'a.mp3': Duration: 00:05:12.34");
    EXPECT_EQ(dauer, -1);
    Auswerten("  duration: 00:05:12.34, start: 0.0");
    EXPECT_EQ(dauer, -1);
    Auswerten("\tDuration: 00:05:12.34, start: 0.0");
    EXPECT_EQ(dauer, -1);
}

TEST_F(FfmpegZeile, UnrelatedLinesAndAnUnknownTimeText) {
    dauer = 312;
    Auswerten("Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s");
    Auswerten("");
    EXPECT_EQ(zeit, -1);
    Auswerten("size=N/A time=N/A bitrate=N/A speed=N/A");
    EXPECT_EQ(zeit, 0);
    EXPECT_EQ(letzte, 0);
}

TEST_F(FfmpegZeile, ShortTimeTexts) {
    dauer = 10000;
    Auswerten("size= 1kB time=1:05 bitrate=1");
    EXPECT_EQ(zeit, 65);
    Auswerten("size= 1kB time=75 bitrate=1");
    EXPECT_EQ(zeit, 75);
    Auswerten("size= 1kB time=1:x:05 bitrate=1");
    EXPECT_EQ(zeit, 3605);
}

} // namespace
} // namespace lorvane
