#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ThreadTestSupport.h"
#include "audio/Mp3TestFiles.h"
#include "engine/ThreadMeldungen.h"
#include "engine/encoder/FfmpegAufruf.h"

namespace fs = std::filesystem;

namespace lorvane {
namespace {

using test::Bytes;
using test::TTestJob;

std::string Konvertierungsmeldung(const fs::path& teil) {
    return "Die Datei \"" + teil.string() +
           "\" konnte nicht konvertiert werden!\r\nDie M4B-Erstellung wird abgebrochen!";
}

// A converter job with the stand-in encoder; the test plays the joiner: it queues the
// parts and clears the joiner's running flag.
class ConvertThreadStandIn : public ::testing::Test {
protected:
    void SetUp() override {
        job.Vorbereiten();
        log = job.Dir / "encoder.log";
    }

    void EncoderNutzen(int exitCode, bool schreibtErgebnis = true) {
        job.State.Daten.FfmpegDatei =
            test::StandInEncoder(job.Dir.Path(), exitCode, schreibtErgebnis, log);
    }

    // A part in the working folder, as the joiner leaves it.
    fs::path Teil(int nummer) {
        const fs::path teil = job.Arbeit() / ("Anna - Reise_00" + std::to_string(nummer) + ".mp3");
        test::WriteFileBytes(teil, test::BytesOf("Teil " + std::to_string(nummer)));
        return teil;
    }

    fs::path ImHoerbuch(int nummer, const std::string& endung) {
        return job.Hoerbuch() / ("Anna - Reise_00" + std::to_string(nummer) + endung);
    }

    TTestJob job;
    fs::path log;
};

TEST_F(ConvertThreadStandIn, ConvertsInQueueOrderAndEndsOnlyAfterTheJoiner) {
    EncoderNutzen(0);
    job.State.Daten.Mp3ThreadLaeuftS = true;
    job.ConverterStarten();
    EXPECT_TRUE(job.State.Daten.ConvertThreadLaeuftS);
    job.State.Convert.ConvertListe.Add(Teil(1));
    ASSERT_TRUE(job.WartenBis([&] { return job.State.Convert.ConvertIndex == 0; }));
    job.State.Convert.ConvertListe.Add(Teil(2));
    job.State.Convert.ConvertListe.Add(Teil(3));
    ASSERT_TRUE(job.WartenBis([&] { return fs::exists(ImHoerbuch(3, ".m4b")); }));

    // All queued parts are done, but the joiner still runs: the converter waits.
    const auto spaeter = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    job.WartenBis([&] { return std::chrono::steady_clock::now() > spaeter; });
    EXPECT_TRUE(job.State.Daten.ConvertThreadLaeuftS);

    job.State.Daten.Mp3ThreadLaeuftS = false;
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_TRUE(job.ConvertMeldungen.empty());
    const std::vector<std::string> reihenfolge = test::Zeilen(log);
    ASSERT_EQ(reihenfolge.size(), 3U);
    for (int nummer = 1; nummer <= 3; ++nummer) {
        const std::string teil =
            (job.Arbeit() / ("Anna - Reise_00" + std::to_string(nummer) + ".mp3")).string();
        EXPECT_EQ(reihenfolge[nummer - 1], teil);
        EXPECT_FALSE(fs::exists(teil)) << "the part is deleted";
        EXPECT_FALSE(fs::exists(ImHoerbuch(nummer, ".m4a")));
        EXPECT_FALSE(fs::exists(ImHoerbuch(nummer, ".mp3"))) << "no copy without the option";
        EXPECT_EQ(test::ReadFileBytes(ImHoerbuch(nummer, ".m4b")),
                  test::AlsMp4(test::BytesOf("Teil " + std::to_string(nummer))));
    }
    EXPECT_EQ(job.State.Convert.ConvertIndex, 2);
    // Every run adds the last position the encoder reported: 5 s each.
    EXPECT_EQ(job.State.Daten.M4bDauer, 15);
}

// Two converters on four queued parts: both encoders run at once, each part is taken by
// one of them, with its own track number, and every part is finished.
TEST_F(ConvertThreadStandIn, TwoConvertersTakeEachPartOnceSideBySide) {
    job.State.Daten.FfmpegDatei = job.Dir / "encoder";
    test::WriteShellScript(job.State.Daten.FfmpegDatei,
                           "for a; do case \"$a\" in track=*) t=\"$a\";; esac; done\n"
                           "echo \"start $t\" >> " +
                               test::ShellQuote(log.string()) + "\nsleep 0.3\n" +
                               test::kMp4Schreiben + "echo \"ende $t\" >> " +
                               test::ShellQuote(log.string()) + "\n");
    job.State.Convert.TeileErwartet = 4;
    for (int nummer = 1; nummer <= 4; ++nummer) {
        job.State.Convert.ConvertListe.Add(Teil(nummer));
    }
    job.ConverterStarten(2);
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_TRUE(job.ConvertMeldungen.empty());
    EXPECT_EQ(job.State.Convert.FertigeTeile, 4);
    EXPECT_EQ(job.State.Convert.LaufendeTeile, 0);
    const std::vector<std::string> zeilen = test::Zeilen(log);
    ASSERT_EQ(zeilen.size(), 8U);
    EXPECT_EQ(zeilen[0].rfind("start", 0), 0U);
    EXPECT_EQ(zeilen[1].rfind("start", 0), 0U) << "the second began before the first ended";
    for (int nummer = 1; nummer <= 4; ++nummer) {
        const std::string track = "track=" + std::to_string(nummer) + "/4";
        EXPECT_EQ(std::count(zeilen.begin(), zeilen.end(), "start " + track), 1) << track;
        EXPECT_EQ(test::ReadFileBytes(ImHoerbuch(nummer, ".m4b")),
                  test::AlsMp4(test::BytesOf("Teil " + std::to_string(nummer))));
    }
}

TEST_F(ConvertThreadStandIn, EndsAtOnceWhenTheJoinerEndedWithoutParts) {
    EncoderNutzen(0);
    job.ConverterStarten();
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_FALSE(fs::exists(log)) << "the encoder never ran";
    EXPECT_EQ(job.State.Convert.ConvertIndex, -1);
}

TEST_F(ConvertThreadStandIn, ReplacesAReadOnlyFinalFileAndCopiesTheParts) {
    EncoderNutzen(0);
    job.State.Daten.CopyMp3FileS = true;
    test::WriteFileBytes(ImHoerbuch(1, ".m4b"), test::BytesOf("alt"));
    fs::permissions(ImHoerbuch(1, ".m4b"), fs::perms::owner_read | fs::perms::group_read);
    job.State.Convert.ConvertListe.Add(Teil(1));
    job.State.Convert.ConvertListe.Add(Teil(2));
    job.ConverterStarten();
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_TRUE(job.ConvertMeldungen.empty());
    for (int nummer = 1; nummer <= 2; ++nummer) {
        const Bytes inhalt = test::BytesOf("Teil " + std::to_string(nummer));
        EXPECT_EQ(test::ReadFileBytes(ImHoerbuch(nummer, ".m4b")), test::AlsMp4(inhalt));
        EXPECT_EQ(test::ReadFileBytes(ImHoerbuch(nummer, ".mp3")), inhalt);
        EXPECT_FALSE(fs::exists(job.Arbeit() / ImHoerbuch(nummer, ".mp3").filename()));
    }
    // What this job finished, in order: the copy before its ".m4b".
    const std::vector<fs::path> fertig = {ImHoerbuch(1, ".mp3"), ImHoerbuch(1, ".m4b"),
                                          ImHoerbuch(2, ".mp3"), ImHoerbuch(2, ".m4b")};
    EXPECT_EQ(job.State.Convert.FertigeDateien.Copy(), fertig);
    EXPECT_EQ(job.State.Convert.FertigeTeile, 2) << "the copies are no parts";
}

TEST_F(ConvertThreadStandIn, ACopyReplacesALinkInsteadOfWritingThroughIt) {
    EncoderNutzen(0);
    job.State.Daten.CopyMp3FileS = true;
    const fs::path fremd = job.Arbeit() / "fremd.mp3"; // any file outside the audiobook folder
    test::WriteFileBytes(fremd, test::BytesOf("fremd"));
    fs::create_symlink(fremd, ImHoerbuch(1, ".mp3"));
    job.State.Convert.ConvertListe.Add(Teil(1));
    job.ConverterStarten();
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_TRUE(job.ConvertMeldungen.empty());
    EXPECT_FALSE(fs::is_symlink(ImHoerbuch(1, ".mp3")));
    EXPECT_EQ(test::ReadFileBytes(ImHoerbuch(1, ".mp3")), test::BytesOf("Teil 1"));
    EXPECT_EQ(test::ReadFileBytes(fremd), test::BytesOf("fremd"));
}

// The message says why: the signal that killed the encoder, else its error line (a
// system error in German, statistics skipped), else its exit code. An encoder that ends
// with success but leaves no whole MP4 file (a full disk while writing the index) has
// failed too.
TEST_F(ConvertThreadStandIn, AFailingEncoderLeavesNoResultBehindAndSaysWhy) {
    const std::string kVollerDatentraeger = "Auf dem Datenträger ist kein Speicherplatz mehr frei";
    // Writes its result (whole, or cut off before the index), says something, ends.
    const std::string kGanz = test::kMp4Schreiben;
    const std::string kAbgeschnitten =
        "for ergebnis; do :; done\nhead -c 20 \"$3\" > \"$ergebnis\"\n";
    const struct {
        std::string Schreiben;
        std::string Ausgabe;
        std::string Ende;
        std::string Grund;
    } faelle[] = {
        {kGanz, "", "exit 1", "Der Encoder endete mit dem Rückgabewert 1"},
        {kGanz, "[ipod @ 0x1] Error writing trailer: No space left on device\nConversion failed!",
         "exit 1", kVollerDatentraeger},
        {kAbgeschnitten,
         "Error writing trailer of x.m4a: No space left on device\nError closing file x.m4a: "
         "No space left on device\n[aac @ 0x2] Qavg: 24381.924",
         "exit 0", kVollerDatentraeger},
        {kAbgeschnitten, "", "exit 0", "Die vom Encoder geschriebene Datei ist unvollständig"},
        {kGanz, "[mp3 @ 0x3] Estimating duration from bitrate, this may be inaccurate",
         "kill -9 $$", "Der Encoder wurde durch Signal 9 beendet"},
    };
    for (const auto& fall : faelle) {
        TTestJob neu;
        neu.Vorbereiten();
        const fs::path teil = neu.Arbeit() / "Anna - Reise_001.mp3";
        test::WriteFileBytes(teil, test::BytesOf("Teil, lang genug zum Abschneiden"));
        test::WriteShellScript(neu.Dir / "encoder.sh", "printf '%s\n' \"$3\" >> " +
                                                           test::ShellQuote(log.string()) + "\n" +
                                                           fall.Schreiben + "printf '" +
                                                           fall.Ausgabe + "\\n' >&2\n" + fall.Ende);
        neu.State.Daten.FfmpegDatei = neu.Dir / "encoder.sh";
        neu.State.Convert.ConvertListe.Add(teil);
        neu.State.Convert.ConvertListe.Add(neu.Arbeit() / "Anna - Reise_002.mp3");
        neu.ConverterStarten();
        ASSERT_TRUE(neu.BisBeideEnden());
        EXPECT_EQ(neu.ConvertMeldungen, std::vector<std::string>{Konvertierungsmeldung(teil) +
                                                                 "\r\nGrund: " + fall.Grund});
        EXPECT_FALSE(fs::exists(neu.Hoerbuch() / "Anna - Reise_001.m4a"));
        EXPECT_FALSE(fs::exists(neu.Hoerbuch() / "Anna - Reise_001.m4b"));
        EXPECT_TRUE(fs::exists(teil)) << "the part stays";
        EXPECT_TRUE(neu.State.Convert.FertigeDateien.Empty());
        EXPECT_EQ(neu.State.Convert.FertigeTeile, 0);
    }
    EXPECT_EQ(test::Zeilen(log).size(), std::size(faelle)) << "nothing more after the error";
}

TEST_F(ConvertThreadStandIn, AMissingEncoderIsAFailedRun) {
    job.State.Daten.FfmpegDatei = job.Dir / "kein-ffmpeg";
    const fs::path teil = Teil(1);
    job.State.Convert.ConvertListe.Add(teil);
    job.ConverterStarten();
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_EQ(job.ConvertMeldungen,
              std::vector<std::string>{Konvertierungsmeldung(teil) +
                                       "\r\nGrund: Die Datei oder der Ordner existiert nicht"});
}

TEST_F(ConvertThreadStandIn, AMissingResultIsAFailedConversion) {
    EncoderNutzen(0, false);
    const fs::path teil = Teil(1);
    job.State.Convert.ConvertListe.Add(teil);
    // Left by an earlier job; it is not taken for the result of this run.
    test::WriteFileBytes(ImHoerbuch(1, ".m4a"), test::AlsMp4(test::BytesOf("alt")));
    job.FehlerUebernehmen = false;
    job.ConverterStarten();
    ASSERT_TRUE(job.WartenBis([&] { return !job.State.Convert.ConvertFehlerListe.Empty(); }));
    EXPECT_TRUE(job.State.Convert.PauseS);
    EXPECT_EQ(job.State.Convert.ConvertFehlerListe.Copy(),
              std::vector<std::string>{Konvertierungsmeldung(teil) +
                                       "\r\nGrund: Die Datei oder der Ordner existiert nicht"});
    // Holds until the controller stops the job.
    EXPECT_TRUE(job.State.Daten.ConvertThreadLaeuftS);
    job.State.Convert.AbbruchS = true;
    job.State.Convert.PauseS = false;
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_EQ(job.State.Convert.ConvertFehlerListe.Count(), 1);
    EXPECT_FALSE(fs::exists(ImHoerbuch(1, ".m4b")));
}

// A whole result that cannot get its final name, or whose copy fails, stays and is named:
// the user is never told that nothing was made when a file is there.
TEST_F(ConvertThreadStandIn, AWholeResultThatCannotBeFinishedIsNamed) {
    for (const bool kopieren : {false, true}) {
        TTestJob neu;
        neu.Vorbereiten();
        neu.State.Daten.FfmpegDatei = test::StandInEncoder(neu.Dir.Path(), 0, true, log);
        neu.State.Daten.CopyMp3FileS = kopieren;
        const fs::path teil = neu.Arbeit() / "Anna - Reise_001.mp3";
        test::WriteFileBytes(teil, test::BytesOf("Teil 1"));
        // A folder in the way of the final name or of the copy's (with something in it,
        // so that it stays).
        const char* imWeg = kopieren ? "Anna - Reise_001.mp3" : "Anna - Reise_001.m4b";
        fs::create_directories(neu.Hoerbuch() / imWeg / "Inhalt");
        neu.State.Convert.ConvertListe.Add(teil);
        neu.ConverterStarten();
        ASSERT_TRUE(neu.BisBeideEnden());
        const fs::path m4a = neu.Hoerbuch() / "Anna - Reise_001.m4a";
        ASSERT_EQ(neu.ConvertMeldungen.size(), 1U);
        EXPECT_NE(neu.ConvertMeldungen[0].find("Die vollständig umgewandelte Datei bleibt als \"" +
                                               m4a.string() + "\" erhalten."),
                  std::string::npos)
            << neu.ConvertMeldungen[0];
        EXPECT_EQ(test::ReadFileBytes(m4a), test::AlsMp4(test::BytesOf("Teil 1")));
        for (const auto& eintrag : fs::directory_iterator(neu.Hoerbuch())) {
            EXPECT_NE(eintrag.path().filename().string().front(), '.') << "a partial copy";
        }
    }
}

// An error of the joiner stops the job, but the encoder was not stopped: the part it
// converts to its end stays.
TEST_F(ConvertThreadStandIn, ARunThatEndsAfterAnErrorElsewhereKeepsItsPart) {
    const fs::path weiter = job.Dir / "weiter";
    test::WriteShellScript(job.Dir / "encoder.sh",
                           "while [ ! -e " + test::ShellQuote(weiter.string()) +
                               " ]; do sleep 0.01; done\n" + test::kMp4Schreiben);
    job.State.Daten.FfmpegDatei = job.Dir / "encoder.sh";
    job.State.Convert.ConvertListe.Add(Teil(1));
    job.ConverterStarten();
    ASSERT_TRUE(
        job.WartenBis([&] { return job.Engine.ConvertConsoleApp.ProcessInfo().HasProcess(); }));
    job.State.Convert.AbbruchS = true;
    test::WriteFileBytes(weiter, {});
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_EQ(test::ReadFileBytes(ImHoerbuch(1, ".m4b")), test::AlsMp4(test::BytesOf("Teil 1")));
    EXPECT_EQ(job.State.Convert.FertigeDateien.Copy(),
              std::vector<fs::path>{ImHoerbuch(1, ".m4b")});
}

TEST(ConvertThreadMeldungen, AreTheProgramsOwn) {
    EXPECT_EQ(Mp3KopierFehler("/a/Teil.mp3"),
              "Die zusammengefügte MP3-Datei \"/a/Teil.mp3\" konnte nicht in den Ausgabeordner "
              "kopiert werden!\r\nDie M4B-Erstellung wird abgebrochen!");
    EXPECT_EQ(KonvertierungFehler("/a/Teil.mp3"), Konvertierungsmeldung("/a/Teil.mp3"));
}

TEST(JobEngine, IsConfiguredAsTheProgressWindowDoes) {
    TJobEngine engine;
    EXPECT_EQ(engine.Mp3File.MpegScanMode(), MPEG_SCAN_Complete);
    const struct {
        const TRoConsoleApp& App;
        const TRoPipe& Ein;
        const TRoPipe& Aus;
        const TRoPipe& Fehler;
    } runner[] = {
        {engine.Mp3ConsoleApp, engine.Mp3InPipe, engine.Mp3OutPipe, engine.Mp3ErrPipe},
        {engine.ConvertConsoleApp, engine.ConvertInPipe, engine.ConvertOutPipe,
         engine.ConvertErrPipe},
    };
    for (const auto& r : runner) {
        EXPECT_EQ(r.App.StdIn(), r.Ein.ReadHandle());
        EXPECT_EQ(r.App.StdOut(), r.Aus.WriteHandle());
        EXPECT_EQ(r.App.StdErr(), r.Fehler.WriteHandle());
        EXPECT_EQ(r.App.TimeSlice(), 250U);
        EXPECT_FALSE(r.App.KillTimedOutProcess());
        EXPECT_EQ(r.App.MaxExecTime(), RoInfinite);
        EXPECT_FALSE(r.App.Visible());
        EXPECT_TRUE(r.Ein.Inheritable());
    }
    EXPECT_NE(engine.Mp3InPipe.ReadHandle(), engine.ConvertInPipe.ReadHandle());
}

// The real encoder: a part of an hour (seconds of work for it), stopped with "q" as the
// controller's cancel does it. The encoder ends its run normally (exit code 0) with a
// result of minutes, which must not pass for the part: it is deleted.
TEST(ConvertThreadEncoder, ACancelStopsTheEncoderAndDeletesTheShortenedResult) {
    LORVANE_REQUIRE_FFMPEG();
    TTestJob job;
    job.Vorbereiten();
    const fs::path teil = job.Arbeit() / "Anna - Reise_001.mp3";
    test::WriteFileBytes(teil, test::SynthetischeFrames(3600 * 1000 / 72, 0));
    job.State.Convert.ConvertListe.Add(teil);
    job.ConverterStarten();
    // Once the encoder has reported the duration it is at work.
    ASSERT_TRUE(job.WartenBis([&] { return job.State.Convert.ConvertDauer >= 0; }));
    EXPECT_EQ(job.State.Convert.ConvertDauer, 3600);
    job.State.Convert.PauseS = true;
    job.State.Convert.AbbruchS = true;
    job.State.Convert.PauseS = false;
    ASSERT_TRUE(job.Engine.ConvertConsoleApp.ProcessInfo().HasProcess());
    job.State.Convert.ConvertEncoderGestopptS = true;
    job.Engine.ConvertInPipe.WriteData("q", 1);
    ASSERT_TRUE(job.BisBeideEnden());

    EXPECT_TRUE(job.ConvertMeldungen.empty());
    EXPECT_EQ(job.Engine.ConvertConsoleApp.ExitCode(), 0U);
    EXPECT_EQ(job.Engine.ConvertConsoleApp.ErrorCode(), 0U);
    EXPECT_FALSE(fs::exists(job.Hoerbuch() / "Anna - Reise_001.m4b"));
    EXPECT_FALSE(fs::exists(job.Hoerbuch() / "Anna - Reise_001.m4a"));
    EXPECT_TRUE(job.State.Convert.FertigeDateien.Empty());
    EXPECT_LT(job.State.Daten.M4bDauer, 3600) << "stopped early";
}

// Both threads with the real encoder, as the controller runs them.
TEST(ConvertThreadEncoder, JoinerAndConverterMakeTheAudiobook) {
    LORVANE_REQUIRE_FFMPEG();
    TTestJob job;
    fs::create_directories(job.Dir / "quelle");
    const fs::path eins = job.Dir / "quelle" / "Eins.mp3";
    const fs::path zwei = job.Dir / "quelle" / "Zwei.mp3";
    test::SinusDatei(eins, 3, 22050, 32);
    test::SinusDatei(zwei, 3, 22050, 32);
    job.Vorbereiten({{eins.string(), "00:00:03"}, {zwei.string(), "00:00:03"}});
    job.JoinerStarten();
    job.ConverterStarten();
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_TRUE(job.Mp3Meldungen.empty());
    EXPECT_TRUE(job.ConvertMeldungen.empty());
    EXPECT_EQ(job.State.Daten.TeilNr, 1);
    const fs::path fertig = job.Hoerbuch() / "Anna - Reise_001.m4b";
    ASSERT_TRUE(fs::exists(fertig));
    std::string ausgabe;
    ASSERT_EQ(test::RunCommand("ffprobe -v error -select_streams a -show_entries stream=codec_name "
                               "-of csv=p=0 " +
                                   test::ShellQuote(fertig.string()),
                               &ausgabe),
              0);
    EXPECT_EQ(ausgabe, "aac\n");
    EXPECT_FALSE(fs::exists(job.Arbeit() / "Anna - Reise_001.mp3"));
    EXPECT_GE(job.State.Daten.M4bDauer, 5);
    EXPECT_LE(job.State.Daten.M4bDauer, 6);
}

} // namespace
} // namespace lorvane
