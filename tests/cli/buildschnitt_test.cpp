// Where lorvane-cli build cuts a long book, with the real encoder's silence detection.

#include "cli/BuildTestHilfen.h"

namespace lorvane {
namespace {

// One file of 124 minutes: two parts of 62 minutes. No file boundary lies near the
// target, but a pause of one second lies 30 s before it: the cut falls in its middle.
TEST_F(Build, ALongFileIsCutInThePauseNearThePartSize) {
    fs::create_directories(ein);
    const fs::path datei = ein / "Lang.mp3";
    ASSERT_EQ(test::RunCommand("ffmpeg -nostdin -loglevel error -y -filter_complex "
                               "'sine=f=300:r=8000:d=3690[a];anullsrc=r=8000:cl=mono:d=1[b];"
                               "sine=f=300:r=8000:d=3749[c];[a][b][c]concat=n=3:v=0:a=1' "
                               "-c:a libmp3lame -b:a 8k -ac 1 " +
                               test::ShellQuote(datei.string())),
              0);
    const TLauf lauf = Cli({"-y", "-s", "1", "-o", aus.string(), "-l", "Lang", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    const std::vector<fs::path> m4b = Dateien(aus / "Lang", ".m4b");
    ASSERT_EQ(m4b.size(), 2U) << lauf.Out;
    EXPECT_NEAR(Dauer(m4b[0]), 3690.5, 0.3);
    EXPECT_NEAR(Dauer(m4b[0]) + Dauer(m4b[1]), 7440, 0.5);
    ArbeitsOrdnerSauber();
}

} // namespace
} // namespace lorvane
