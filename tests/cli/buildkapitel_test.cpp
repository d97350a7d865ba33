// The chapters lorvane-cli build writes, measured in the decoded M4B with the real
// encoder.

#include "cli/BuildTestHilfen.h"

namespace lorvane {
namespace {

// Where the tone of a frequency begins in a decoded file, in seconds; -1 when never.
double TonBeginn(const fs::path& datei, int frequenz) {
    std::string err;
    test::RunCommand("ffmpeg -nostdin -i " + test::ShellQuote(datei.string()) +
                         " -af bandpass=f=" + std::to_string(frequenz) +
                         ":width_type=q:w=20,silencedetect=n=-35dB:d=0.05 -f null -",
                     nullptr, &err);
    const std::size_t stelle = err.find("silence_end: ");
    return stelle == std::string::npos ? -1 : std::atof(err.c_str() + stelle + 13);
}

// A book of tone chapters (LAME files with their Info frames, one tone per file): one
// chapter per file, named by its title or else its file name, each starting where its
// tone does in the decoded M4B, without drift towards the end.
TEST_F(Build, EachFileIsAChapterWhereItsAudioBegins) {
    const struct {
        int Frequenz;
        double Sekunden;
        const char* Titel;
    } dateien[] = {{300, 3.3, "Erster"}, {700, 2.7, ""}, {1300, 4.1, "Dritter = #1; \\ Teil"}};
    for (std::size_t i = 0; i < std::size(dateien); ++i) {
        std::string befehl = "ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=" +
                             std::to_string(dateien[i].Frequenz) +
                             ":sample_rate=22050:duration=" + std::to_string(dateien[i].Sekunden) +
                             " -ac 1 -c:a libmp3lame -b:a 32k";
        if (*dateien[i].Titel != 0) {
            befehl += " -metadata " + test::ShellQuote(std::string("title=") + dateien[i].Titel);
        }
        fs::create_directories(ein);
        // Piecewise: GCC 12 reports a false -Wrestrict at -O3 for " " + a temporary.
        std::string name = "Kap ";
        name += std::to_string(i + 1);
        name += ".mp3";
        befehl += ' ';
        befehl += test::ShellQuote((ein / name).string());
        ASSERT_EQ(test::RunCommand(befehl), 0) << befehl;
    }
    const TLauf lauf = Cli({"-y", "-o", aus.string(), "-l", "Ton", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_NE(lauf.Out.find("_ - Ton_001.m4b (3 Kapitel)\n"), std::string::npos) << lauf.Out;
    const fs::path m4b = aus / "Ton" / "_ - Ton_001.m4b";
    std::string kapitel;
    ASSERT_EQ(
        test::RunCommand("ffprobe -v error -show_entries chapter=start_time:chapter_tags=title "
                         "-of default=noprint_wrappers=1 " +
                             test::ShellQuote(m4b.string()),
                         &kapitel),
        0);
    std::istringstream zeilen(kapitel);
    std::vector<std::pair<double, std::string>> gelesen;
    for (std::string zeile; std::getline(zeilen, zeile);) {
        if (zeile.rfind("start_time=", 0) == 0) {
            gelesen.emplace_back(std::atof(zeile.c_str() + 11), "");
        } else if (zeile.rfind("TAG:title=", 0) == 0 && !gelesen.empty()) {
            gelesen.back().second = zeile.substr(10);
        }
    }
    ASSERT_EQ(gelesen.size(), 3U) << kapitel;
    EXPECT_EQ(gelesen[0].second, "Erster");
    EXPECT_EQ(gelesen[1].second, "Kap 2");
    EXPECT_EQ(gelesen[2].second, "Dritter = #1; \\ Teil");
    EXPECT_EQ(gelesen[0].first, 0.0);
    for (std::size_t i = 1; i < std::size(dateien); ++i) {
        EXPECT_NEAR(gelesen[i].first, TonBeginn(m4b, dateien[i].Frequenz), 0.030) << i;
    }
}

} // namespace
} // namespace lorvane
