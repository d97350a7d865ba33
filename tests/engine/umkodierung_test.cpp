// Files in another format are re-encoded side by side ahead of the joiner, which still
// joins in list order and names the first failing file in list order.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ThreadTestSupport.h"
#include "audio/Mp3TestFiles.h"
#include "base/FehlerGrund.h"
#include "engine/ThreadMeldungen.h"

namespace fs = std::filesystem;

namespace lorvane {
namespace {

using test::Bytes;
using test::TTestJob;

// Five files: the first, third and fifth set the target format, the second and fourth
// are in another one. Two re-encoders. The stand-in encoder copies the source (the
// third word) to the copy (the last word). Its run of the second file waits until the
// run of the fourth has ended, so a case passes only with both running side by side.
class Umkodierung : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(job.Dir / "quelle");
        std::vector<TDateiZeile> zeilen;
        for (int i = 0; i < 5; ++i) {
            quellen.push_back(job.Dir / "quelle" / ("Kapitel " + std::to_string(i + 1) + ".mp3"));
            audio.push_back(i % 2 == 1
                                ? test::MpegFrames(40 + i)
                                : test::SynthetischeFrames(300, static_cast<std::uint8_t>(i)));
            test::WriteFileBytes(quellen.back(), audio.back());
            zeilen.push_back({quellen.back().string(), "00:00:20"});
        }
        job.Vorbereiten(zeilen);
        job.State.Daten.Encoder = 2;
    }

    // zweites and viertes: the shell lines that end the run of that file.
    void Encoder(const std::string& zweites, const std::string& viertes) {
        const std::string marke = test::ShellQuote((job.Dir / "viertes-fertig").string());
        test::WriteShellScript(job.Dir / "encoder.sh",
                               "for kopie; do :; done\n"
                               "case \"$3\" in\n"
                               "*'Kapitel 2.mp3')\n"
                               "  i=0; while [ ! -e " +
                                   marke +
                                   " ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\n"
                                   "  [ -e " +
                                   marke + " ] || exit 3\n  " + zweites +
                                   ";;\n"
                                   "*'Kapitel 4.mp3') (" +
                                   viertes + "); s=$?; touch " + marke +
                                   "; exit $s;;\n"
                                   "esac\n");
        job.State.Daten.FfmpegDatei = job.Dir / "encoder.sh";
    }

    TTestJob job;
    std::vector<fs::path> quellen;
    std::vector<Bytes> audio;
};

TEST_F(Umkodierung, TwoFilesAtOnceAndTheFirstFailureInListOrderIsNamed) {
    const std::string kopieren = "cp \"$3\" \"$kopie\"";
    const std::string scheitern = "echo 'kaputt' >&2; exit 1";
    const struct {
        std::string Zweites, Viertes;
        // The file named by the one message; none when the job succeeds.
        int Fehler;
    } faelle[] = {
        {kopieren, kopieren, 0},
        // The fourth fails first, yet the second one's failure is the one reported.
        {scheitern, scheitern, 2},
        {kopieren, scheitern, 4},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Fehler);
        fs::remove(job.Dir / "viertes-fertig");
        job.Mp3Meldungen.clear();
        job.Vorbereiten({{quellen[0].string(), "1"},
                         {quellen[1].string(), "1"},
                         {quellen[2].string(), "1"},
                         {quellen[3].string(), "1"},
                         {quellen[4].string(), "1"}});
        Encoder(fall.Zweites, fall.Viertes);
        // No converter: the one part stays in the queue.
        job.JoinerStarten();
        ASSERT_TRUE(job.BisBeideEnden());
        if (fall.Fehler != 0) {
            EXPECT_EQ(job.Mp3Meldungen,
                      std::vector<std::string>{MitGrund(
                          Mp3BearbeitungFehler(quellen[fall.Fehler - 1].string()), "kaputt")});
            continue;
        }
        ASSERT_TRUE(job.Mp3Meldungen.empty()) << job.Mp3Meldungen.front();
        EXPECT_EQ(job.State.Mp3.VorFertig, 5);
        const TMp3Liste& liste = job.State.Mp3.Mp3Liste;
        EXPECT_EQ(liste[1].Filename, job.Arbeit() / "Kapitel 2_tmp.mp3");
        EXPECT_EQ(liste[3].Filename, job.Arbeit() / "Kapitel 4_tmp.mp3");
        EXPECT_EQ(liste[2].Filename, quellen[2]);
        // The copies are joined where their sources stand in the list.
        const std::vector<fs::path> teile = job.State.Convert.ConvertListe.Copy();
        ASSERT_EQ(teile.size(), 1U);
        const Bytes erwartet = test::Concat({audio[0], audio[1], audio[2], audio[3], audio[4]});
        const Bytes teil = test::ReadFileBytes(teile[0]);
        ASSERT_GE(teil.size(), erwartet.size());
        EXPECT_TRUE(std::equal(erwartet.begin(), erwartet.end(), teil.end() - erwartet.size()));
    }
}

// Two sources of one name from different folders, re-encoded at once: each gets a copy
// of its own.
TEST_F(Umkodierung, SourcesOfOneNameGetCopiesOfTheirOwn) {
    const fs::path andere = job.Dir / "andere" / "Kapitel 2.mp3";
    fs::create_directories(andere.parent_path());
    test::WriteFileBytes(andere, test::MpegFrames(60));
    job.Vorbereiten({{quellen[0].string(), "1"},
                     {quellen[1].string(), "1"},
                     {quellen[2].string(), "1"},
                     {andere.string(), "1"},
                     {quellen[4].string(), "1"}});
    test::WriteShellScript(job.Dir / "encoder.sh",
                           "for kopie; do :; done\nsleep 0.2\ncp \"$3\" \"$kopie\"");
    job.State.Daten.FfmpegDatei = job.Dir / "encoder.sh";
    job.JoinerStarten();
    ASSERT_TRUE(job.WartenBis([&] { return job.State.Mp3.VorIndex >= 4; }));
    const TMp3Liste& liste = job.State.Mp3.Mp3Liste;
    EXPECT_EQ(liste[1].Filename, job.Arbeit() / "Kapitel 2_tmp.mp3");
    EXPECT_EQ(liste[3].Filename, job.Arbeit() / "Kapitel 2_tmp_1.mp3");
    EXPECT_EQ(test::ReadFileBytes(liste[3].Filename), test::MpegFrames(60));
    EXPECT_EQ(test::ReadFileBytes(liste[1].Filename), audio[1]);
}

} // namespace
} // namespace lorvane
