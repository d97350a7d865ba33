// Where the parts are cut: targets at file boundaries or for a pause search, the pause
// the encoder's report gives, and the cut that lands on a frame start.

#include "engine/Schnitte.h"
#include "engine/ThreadTestSupport.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace lorvane {
namespace {

TEST(SchnittZiele, FileBoundariesWithinATenthElseAPauseSearchAndNoDrift) {
    const struct {
        const char* fall;
        std::vector<std::int64_t> laengen;
        std::int64_t teil;
        std::int32_t teile;
        std::vector<TSchnittZiel> erwartet;
    } faelle[] = {
        {"one part", {500, 500}, 1000, 1, {}},
        {"a boundary within a tenth", {95, 105}, 100, 2, {{95, 1, true}}},
        {"the nearer of two boundaries", {92, 11, 97}, 100, 2, {{103, 2, true}}},
        {"a boundary just outside", {89, 111}, 100, 2, {{100, 1, false}}},
        {"inside one long file", {300}, 100, 3, {{100, 0, false}, {200, 0, false}}},
        // The second target is still 2 x 100, not 100 after the moved first cut.
        {"no drift", {108, 100, 92}, 100, 3, {{108, 1, true}, {208, 2, true}}},
        {"a target at the end", {150}, 100, 3, {{100, 0, false}}},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.fall);
        const std::vector<TSchnittZiel> ziele = SchnittZiele(fall.laengen, fall.teil, fall.teile);
        ASSERT_EQ(ziele.size(), fall.erwartet.size());
        for (std::size_t i = 0; i < ziele.size(); ++i) {
            EXPECT_EQ(ziele[i].Position, fall.erwartet[i].Position) << i;
            EXPECT_EQ(ziele[i].Index, fall.erwartet[i].Index) << i;
            EXPECT_EQ(ziele[i].Dateigrenze, fall.erwartet[i].Dateigrenze) << i;
        }
    }
}

TEST(Pausen, TheLongestPauseAfterTheDecodersFirstMomentsAndItsMiddle) {
    const std::vector<std::string> zeilen = {
        "[silencedetect @ 0x1] silence_start: 0",
        "[silencedetect @ 0x1] silence_end: 0.28 | silence_duration: 0.28",
        "size=N/A time=00:00:10.00 bitrate=N/A speed=N/A [silencedetect @ 0x1] "
        "silence_start: 20.5",
        "[silencedetect @ 0x1] silence_end: 21.25 | silence_duration: 0.75",
        "[silencedetect @ 0x1] silence_start: 70",
        "[silencedetect @ 0x1] silence_end: 70.75 | silence_duration: 0.75",
        "[silencedetect @ 0x1] silence_start: 119.5",
    };
    const std::vector<TStille> stillen = StillenLesen(zeilen, 120);
    ASSERT_EQ(stillen.size(), 4U);
    EXPECT_EQ(stillen[1].Beginn, 20.5);
    EXPECT_EQ(stillen[1].Ende, 21.25);
    EXPECT_EQ(stillen[3].Ende, 120) << "an open pause lasts to the window's end";
    // Two pauses of 0.75 s: the one nearer to the target wins; the one at the start is
    // the decoder's, however long.
    EXPECT_EQ(PausenMitte(stillen, 60), std::optional<double>(70.375));
    EXPECT_EQ(PausenMitte(stillen, 30), std::optional<double>(20.875));
    EXPECT_EQ(PausenMitte({{0, 5}}, 60), std::nullopt);
    EXPECT_EQ(PausenMitte({}, 60), std::nullopt);
}

// 100 synthetic frames of 72 ms in one file: a target inside it becomes the frame at the
// middle of the pause found, else the frame after the target.
TEST(SchnittPositionen, ThePausesFrameElseTheFrameAfterTheTarget) {
    test::TempDir dir;
    const fs::path datei = dir / "eins.mp3";
    test::WriteFileBytes(datei, test::SynthetischeFrames(100, 1));
    const auto frame = static_cast<std::int64_t>(test::kSynthFrameBytes);
    const std::vector<TSchnittQuelle> quellen = {{datei, 0, 100 * frame, 8000},
                                                 {datei, 0, 100 * frame, 8000}};
    const struct {
        const char* fall;
        std::vector<TStille> stillen;
        std::int64_t erwartet;
    } faelle[] = {
        // The target at 40.5 frames = 2916 ms; the window starts at 0.
        {"a pause from 1.44 s to 2.16 s: its middle 1.8 s is frame 25", {{1.44, 2.16}}, 25 * frame},
        {"no pause", {}, 41 * frame},
        {"only the decoder's first moments", {{0, 1}}, 41 * frame},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.fall);
        std::vector<std::pair<std::int64_t, std::int64_t>> fenster;
        const TStillenSuche suche = [&](const fs::path& gesucht, std::int64_t vonMs,
                                        std::int64_t dauerMs) {
            EXPECT_EQ(gesucht, datei);
            fenster.emplace_back(vonMs, dauerMs);
            return fall.stillen;
        };
        const std::vector<std::int64_t> schnitte = SchnittPositionen(
            {{40 * frame + 36, 0, false}, {100 * frame, 1, true}}, quellen, suche);
        EXPECT_EQ(schnitte, (std::vector<std::int64_t>{fall.erwartet, 100 * frame}));
        // The frames up to the one holding the target: 41 of 576 samples at 8000 Hz.
        EXPECT_EQ(fenster, (std::vector<std::pair<std::int64_t, std::int64_t>>{{0, 62952}}));
    }
}

} // namespace
} // namespace lorvane
