// The chapters and the cover lorvane-cli build writes, read back from the M4B made by
// the real encoder.

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

// How long a file is silent at its start, in seconds.
double StilleAmAnfang(const fs::path& datei) {
    std::string err;
    test::RunCommand("ffmpeg -nostdin -i " + test::ShellQuote(datei.string()) +
                         " -af silencedetect=n=-35dB:d=0.002 -f null -",
                     nullptr, &err);
    const std::size_t start = err.find("silence_start: ");
    if (start == std::string::npos || std::atof(err.c_str() + start + 15) > 0.001) {
        return 0;
    }
    const std::size_t ende = err.find("silence_end: ", start);
    return ende == std::string::npos ? -1 : std::atof(err.c_str() + ende + 13);
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
    // The first chapter at 0, and so its audio: the part's silent start (the decoder's
    // and the encoder's delay) is dropped.
    EXPECT_EQ(gelesen[0].first, 0.0);
    EXPECT_LE(StilleAmAnfang(m4b), 0.030);
    for (std::size_t i = 1; i < std::size(dateien); ++i) {
        EXPECT_NEAR(gelesen[i].first, TonBeginn(m4b, dateien[i].Frequenz), 0.030) << i;
    }
}

// The first source with a picture gives every part its cover, the front cover before
// another picture of that file; a file whose picture is neither JPEG nor PNG gives none
// and fails nothing.
TEST_F(Build, TheFirstSourcePictureIsEveryPartsCover) {
    const fs::path vorne = dir / "vorne.png";
    const fs::path hinten = dir / "hinten.jpg";
    const fs::path gif = dir / "bild.gif";
    for (const auto& [bild, farbe] : {std::pair{vorne, "red"}, {hinten, "blue"}, {gif, "green"}}) {
        ASSERT_EQ(test::RunCommand(
                      "ffmpeg -nostdin -loglevel error -y -f lavfi -i color=" + std::string(farbe) +
                      ":s=32x32 -frames:v 1 " + test::ShellQuote(bild.string())),
                  0);
    }
    const auto mitBildern = [&](const fs::path& datei,
                                const std::vector<std::pair<fs::path, const char*>>& bilder) {
        std::string befehl = "ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=duration=2";
        for (const auto& [bild, art] : bilder) {
            befehl += " -i " + test::ShellQuote(bild.string());
        }
        befehl += " -map 0:a";
        for (std::size_t i = 0; i < bilder.size(); ++i) {
            befehl += " -map " + std::to_string(i + 1) + ":v -metadata:s:v:" + std::to_string(i) +
                      " comment=" + test::ShellQuote(bilder[i].second);
        }
        befehl += " -c:v copy -c:a libmp3lame -b:a 32k -ar 22050 -ac 1 -id3v2_version 3 " +
                  test::ShellQuote(datei.string());
        ASSERT_EQ(test::RunCommand(befehl), 0) << befehl;
    };
    fs::create_directories(ein);
    mitBildern(ein / "1.mp3", {{gif, "Cover (front)"}});
    mitBildern(ein / "2.mp3", {{hinten, "Cover (back)"}, {vorne, "Cover (front)"}});
    mitBildern(ein / "3.mp3", {});
    const TLauf lauf = Cli({"-y", "-s", "1", "-o", aus.string(), "-l", "Bild", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    const fs::path m4b = aus / "Bild" / "_ - Bild_001.m4b";
    std::string strom;
    test::RunCommand("ffprobe -v error -select_streams v -show_entries "
                     "stream=codec_name:stream_disposition=attached_pic -of csv=p=0 " +
                         test::ShellQuote(m4b.string()),
                     &strom);
    EXPECT_EQ(strom, "png,1\n");
    const fs::path titelbild = dir / "titelbild.png";
    ASSERT_EQ(test::RunCommand("ffmpeg -nostdin -loglevel error -y -i " +
                               test::ShellQuote(m4b.string()) + " -map 0:v -c copy -f image2 " +
                               test::ShellQuote(titelbild.string())),
              0);
    EXPECT_EQ(test::ReadFileBytes(titelbild), test::ReadFileBytes(vorne));
    EXPECT_NEAR(Dauer(m4b), 6.0, 0.3);
    ArbeitsOrdnerSauber();
}

} // namespace
} // namespace lorvane
