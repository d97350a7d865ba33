// Where lorvane-cli build cuts a long book and how it joins files, measured in the
// decoded M4B files of the real encoder.

#include "cli/BuildTestHilfen.h"

namespace lorvane {
namespace {

// The samples per channel a file decodes to (mono).
std::int64_t Samples(const fs::path& datei) {
    std::string pcm;
    test::RunCommand("ffmpeg -nostdin -v error -i " + test::ShellQuote(datei.string()) +
                         " -f s16le -ac 1 -",
                     &pcm);
    return static_cast<std::int64_t>(pcm.size() / 2);
}

// One file of 124 minutes at 8 kHz: two parts of 62 minutes. No file boundary lies near
// the target, but a pause of one second lies 30 s before it: the cut falls in its
// middle; with --exact-size on the frame after the target. Either way the two parts
// hold all of the file's audio: less by at most one frame (576 samples) is the limit.
TEST_F(Build, ALongFileIsCutInThePauseNearThePartSizeAndLosesNoAudio) {
    fs::create_directories(ein);
    const fs::path datei = ein / "Lang.mp3";
    ASSERT_EQ(test::RunCommand("ffmpeg -nostdin -loglevel error -y -filter_complex "
                               "'sine=f=300:r=8000:d=3690[a];anullsrc=r=8000:cl=mono:d=1[b];"
                               "sine=f=300:r=8000:d=3749[c];[a][b][c]concat=n=3:v=0:a=1' "
                               "-c:a libmp3lame -b:a 8k -ac 1 " +
                               test::ShellQuote(datei.string())),
              0);
    const std::int64_t quelle = Samples(datei);
    const struct {
        const char* option;
        double ersterTeil;
    } faelle[] = {{"--hours=1", 3690.5}, {"--exact-size", 3720}};
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.option);
        fs::remove_all(aus);
        const TLauf lauf =
            Cli({"-y", "-s", "1", fall.option, "-o", aus.string(), "-l", "Lang", ein.string()});
        ASSERT_EQ(lauf.Status, 0) << lauf.Err;
        const std::vector<fs::path> m4b = Dateien(aus / "Lang", ".m4b");
        ASSERT_EQ(m4b.size(), 2U) << lauf.Out;
        EXPECT_NEAR(static_cast<double>(Samples(m4b[0])) / 8000, fall.ersterTeil, 0.3);
        const std::int64_t teile = Samples(m4b[0]) + Samples(m4b[1]);
        EXPECT_GE(teile, quelle - 576);
        EXPECT_LE(teile, quelle + 4096) << "no more than the encoders' own delay is added";
        ArbeitsOrdnerSauber();
    }
}

// Three LAME files of 44.1 kHz stereo with their Info frames, each one tone from start to
// end: a join adds only the sources' own encoder delay and padding (today about 28 ms),
// never the Info frame's 26 ms of silence on top.
TEST_F(Build, AJoinOf44kFilesKeepsOnlyTheEncodersOwnSilence) {
    fs::create_directories(ein);
    for (int i = 1; i <= 3; ++i) {
        ASSERT_EQ(test::RunCommand("ffmpeg -nostdin -loglevel error -y -f lavfi -i "
                                   "sine=frequency=500:sample_rate=44100:duration=3 -ac 2 "
                                   "-c:a libmp3lame -b:a 128k " +
                                   test::ShellQuote((ein / (std::to_string(i) + ".mp3")).string())),
                  0);
    }
    const TLauf lauf = Cli({"-y", "-o", aus.string(), "-l", "Ton", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    const fs::path m4b = aus / "Ton" / "_ - Ton_001.m4b";
    std::string err;
    test::RunCommand("ffmpeg -nostdin -i " + test::ShellQuote(m4b.string()) +
                         " -af silencedetect=n=-50dB:d=0.005 -f null -",
                     nullptr, &err);
    double laengste = 0;
    int luecken = 0;
    for (std::size_t stelle = err.find("silence_end: "); stelle != std::string::npos;
         stelle = err.find("silence_end: ", stelle + 1)) {
        const double ende = std::atof(err.c_str() + stelle + 13);
        const std::size_t dauer = err.find("silence_duration: ", stelle);
        // The joins lie at 3 s and 6 s; the silence of the first moments is the
        // encoder's start.
        if (ende > 1 && ende < 8 && dauer != std::string::npos) {
            laengste = std::max(laengste, std::atof(err.c_str() + dauer + 18));
            ++luecken;
        }
    }
    EXPECT_LE(luecken, 2) << err;
    EXPECT_LE(laengste, 0.055) << err;
}

} // namespace
} // namespace lorvane
