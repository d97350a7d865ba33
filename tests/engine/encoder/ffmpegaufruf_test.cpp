#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/encoder/FfmpegAufruf.h"
#include "engine/prozess/RoCommandLine.h"
#include "engine/prozess/RoConsoleApp.h"
#include "engine/prozess/RoPipe.h"
#include "engine/prozess/RoPipeFilters.h"
#include "engine/prozess/RoProcess.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace lorvane {
namespace {

// A path quoted for the command line. Lines are appended piece by piece in this file:
// for "..." + std::string&& GCC 12 reports a false -Wrestrict at -O3.
std::string Quoted(const fs::path& path) {
    std::string quoted(1, '"');
    quoted += RoQuotePath(path);
    quoted += '"';
    return quoted;
}

// One encoder run set up as the engine does it: one-byte input pipe, output and
// error read and flushed every 250 ms, no time limit, never killed.
class EncoderRun : public ::testing::Test {
protected:
    EncoderRun() {
        EncoderRunnerEinrichten(fApp, fIn, fOut, fErr);
        fErrFilter.SetOnLineEnd(
            [this](TRoAnsiSBCSPipeFilter&, const std::string& line) { fErrLines.push_back(line); });
        fApp.SetOnWork([this](TRoCustomConsoleApp&) {
            fOutFilter.ReadPipe();
            fOutFilter.Flush();
            fErrFilter.ReadPipe();
            fErrFilter.Flush();
            if (fOnWork) {
                fOnWork();
            }
        });
        fApp.SetOnComplete([this](TRoCustomConsoleApp&) {
            fOutFilter.Flush();
            fErrFilter.Flush();
        });
    }

    void SetUp() override {
        fFfmpeg = RoResolveProgram("ffmpeg");
        if (fFfmpeg.empty()) {
            GTEST_SKIP() << "ffmpeg is not installed";
        }
    }

    bool Succeeded(const std::string& commandLine, const fs::path& folder) {
        const bool ran = fApp.Execute(commandLine, folder.string());
        return FfmpegLaufErfolgreich(ran, fApp, TEncoderMeldung{});
    }

    bool ErrLineStartsWith(const std::string& word) const {
        for (const std::string& line : fErrLines) {
            if (line.find_first_not_of(' ') != std::string::npos &&
                line.compare(line.find_first_not_of(' '), word.size(), word) == 0) {
                return true;
            }
        }
        return false;
    }

    // A short sine tone as MP3, made by the encoder itself.
    fs::path MakeMp3(const fs::path& path, int seconds) {
        std::string line = Quoted(fFfmpeg);
        line += " -y -f lavfi -i sine=frequency=440:duration=";
        line += std::to_string(seconds);
        line += " -ar 44100 -ac 1 -ab 64k ";
        line += Quoted(path);
        EXPECT_TRUE(Succeeded(line, fTemp.Path())) << fApp.ErrorMessage();
        return path;
    }

    test::TempDir fTemp;
    std::string fFfmpeg;
    std::vector<std::string> fErrLines;
    std::function<void()> fOnWork;
    TRoPipe fIn{1, true};
    TRoPipe fOut{true};
    TRoPipe fErr{true};
    TRoAnsiSBCSPipeFilter fOutFilter{&fOut, false};
    TRoAnsiSBCSPipeFilter fErrFilter{&fErr, false};
    TRoConsoleApp fApp;
};

TEST_F(EncoderRun, ReencodesAndConvertsFilesWithAwkwardNames) {
    const fs::path sources = fTemp / "Quelle \"1\" \\ \xC3\xA4";
    const fs::path work = fTemp / "-arbeit";
    const fs::path book = fTemp / "Ausgabe" / "-H\xC3\xB6rbuch 'x' \\";
    fs::create_directories(sources);
    fs::create_directories(work);
    fs::create_directories(book);
    const fs::path source = MakeMp3(sources / "-Kapitel \"eins\"\\.mp3", 2);
    ASSERT_TRUE(fs::exists(source));

    fErrLines.clear();
    const fs::path copy = work / "-Kapitel \"eins\"\\_tmp.mp3";
    ASSERT_TRUE(Succeeded(FfmpegMp3Kommandozeile(fFfmpeg, source, 32000, 22050, 2, copy), work))
        << fApp.ErrorMessage() << " exit " << fApp.ExitCode();
    EXPECT_GT(fs::file_size(copy), 0U);
    EXPECT_TRUE(ErrLineStartsWith("Duration:"));
    EXPECT_TRUE(std::any_of(fErrLines.begin(), fErrLines.end(), [](const std::string& line) {
        return line.find("size=") != std::string::npos && line.find("time=") != std::string::npos;
    }));

    const std::string result = "-Anna - \"Reise\"_001.m4a";
    ASSERT_TRUE(Succeeded(
        FfmpegM4aKommandozeile(fFfmpeg, copy, result, TM4aZiel{32000, 22050, 2, 1, 2, {}, {}, 0}),
        book))
        << fApp.ErrorMessage() << " exit " << fApp.ExitCode();
    EXPECT_GT(fs::file_size(book / result), 0U); // written into the working folder
}

TEST_F(EncoderRun, QStopsTheEncoderWhichThenEndsNormally) {
    bool sent = false;
    fOnWork = [&] {
        if (!sent && ErrLineStartsWith("Duration:")) {
            fIn.WriteData("q", 1);
            sent = true;
        }
    };
    // Real-time reading of a 60 s tone: only the "q" ends this run early.
    const fs::path output = fTemp / "stopped.mp3";
    std::string line = Quoted(fFfmpeg);
    line += " -y -re -f lavfi -i sine=duration=60 ";
    line += Quoted(output);
    ASSERT_TRUE(Succeeded(line, fTemp.Path()))
        << fApp.ErrorMessage() << " exit " << fApp.ExitCode();
    EXPECT_TRUE(sent);
    EXPECT_LT(fApp.ElapsedTime(), 30000U);
    EXPECT_TRUE(fs::exists(output));
}

// Stand-in encoders for the failures a real one rarely shows.
class StandInEncoder : public EncoderRun {
protected:
    void SetUp() override {}
    std::string Script(const std::string& body) {
        const fs::path path = fTemp / "ffmpeg";
        test::WriteShellScript(path, body);
        return FfmpegM4aKommandozeile(path, fTemp / "teil.mp3", "teil.m4a", TM4aZiel{});
    }
};

TEST_F(StandInEncoder, NonZeroExitCodeIsAFailedRun) {
    const std::string line = Script("echo '  Duration: 00:00:01.00, start: 0' >&2; exit 1");
    const bool ran = fApp.Execute(line, fTemp.Path().string());
    EXPECT_TRUE(ran); // the runner saw it to its end and recorded no error ...
    EXPECT_EQ(fApp.ErrorCode(), 0U);
    EXPECT_EQ(fApp.ExitCode(), 1U);
    EXPECT_FALSE(FfmpegLaufErfolgreich(ran, fApp, TEncoderMeldung{})); // ... but the encoder failed
    EXPECT_TRUE(ErrLineStartsWith("Duration:"));
}

TEST_F(StandInEncoder, EncoderEndedByASignalIsAFailedRun) {
    const bool ran = fApp.Execute(Script("kill -TERM $$"), fTemp.Path().string());
    EXPECT_TRUE(ran);
    EXPECT_EQ(fApp.ExitSignal(), SIGTERM);
    EXPECT_FALSE(FfmpegLaufErfolgreich(ran, fApp, TEncoderMeldung{}));
}

TEST_F(StandInEncoder, ArgumentsArriveAsTheEncoderExpectsThem) {
    const std::string line = Script("for a in \"$@\"; do echo \"[$a]\"; done");
    std::vector<std::string> lines;
    fOutFilter.SetOnLineEnd(
        [&](TRoAnsiSBCSPipeFilter&, const std::string& text) { lines.push_back(text); });
    ASSERT_TRUE(
        FfmpegLaufErfolgreich(fApp.Execute(line, fTemp.Path().string()), fApp, TEncoderMeldung{}));
    std::string input(1, '[');
    input += (fTemp / "teil.mp3").string();
    input += ']';
    ASSERT_GE(lines.size(), 4U);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"[-y]", "[-i]", input}));
    EXPECT_EQ(lines.back(), "[./teil.m4a]");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[M4B ]"), lines.end());
}

TEST_F(StandInEncoder, MissingEncoderIsAFailedStart) {
    const std::string line =
        FfmpegM4aKommandozeile(fTemp / "Encoder" / "ffmpeg", "/x.mp3", "x.m4a", TM4aZiel{});
    const bool ran = fApp.Execute(line, fTemp.Path().string());
    EXPECT_FALSE(ran);
    EXPECT_EQ(fApp.ErrorCode(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_FALSE(FfmpegLaufErfolgreich(ran, fApp, TEncoderMeldung{}));
}

} // namespace
} // namespace lorvane
