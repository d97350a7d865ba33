#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
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

using Lines = std::vector<std::string>;

std::string Quoted(const fs::path& path) {
    return "\"" + RoQuotePath(path) + "\"";
}

bool ProcessExists(pid_t pid) {
    return ::kill(pid, 0) == 0;
}

// A runner wired as the engine wires it: a one-byte input pipe, output and error
// pipes with line filters, read and flushed in every work notification.
class Runner : public ::testing::Test {
protected:
    Runner() {
        EncoderRunnerEinrichten(fApp, fIn, fOut, fErr);
        fApp.SetTimeSlice(20); // short slices keep these tests quick
        fOutFilter.SetOnLineEnd(
            [this](TRoAnsiSBCSPipeFilter&, const std::string& line) { fOutLines.push_back(line); });
        fErrFilter.SetOnLineEnd(
            [this](TRoAnsiSBCSPipeFilter&, const std::string& line) { fErrLines.push_back(line); });
        fApp.SetOnStart([this](TRoCustomConsoleApp&) { fEvents.push_back("start"); });
        fApp.SetOnWork([this](TRoCustomConsoleApp&) {
            fEvents.push_back("work");
            ++fWorkCalls;
            ReadAndFlush();
            if (fOnEveryWork) {
                fOnEveryWork();
            }
        });
        fApp.SetOnComplete([this](TRoCustomConsoleApp&) {
            fEvents.push_back("complete");
            fOutFilter.Flush();
            fErrFilter.Flush();
        });
    }

    void ReadAndFlush() {
        fOutFilter.ReadPipe();
        fOutFilter.Flush();
        fErrFilter.ReadPipe();
        fErrFilter.Flush();
    }

    // A /bin/sh script in the temporary folder, run through its path.
    std::string Script(const std::string& body, const std::string& name = "child.sh") {
        const fs::path path = fTemp / name;
        test::WriteShellScript(path, body);
        return Quoted(path);
    }

    bool Run(const std::string& commandLine, const std::string& dir = "") {
        return fApp.Execute(commandLine, dir);
    }

    test::TempDir fTemp;
    Lines fOutLines;
    Lines fErrLines;
    Lines fEvents;
    int fWorkCalls = 0;
    std::function<void()> fOnEveryWork;
    TRoPipe fIn{1, true};
    TRoPipe fOut{true};
    TRoPipe fErr{true};
    TRoAnsiSBCSPipeFilter fOutFilter{&fOut, false};
    TRoAnsiSBCSPipeFilter fErrFilter{&fErr, false};
    TRoConsoleApp fApp;
};

TEST(RoConsoleAppDefaults, NewRunnerHasTheDocumentedSettings) {
    TRoConsoleApp app;
    EXPECT_EQ(app.MaxExecTime(), 60000U);
    EXPECT_EQ(app.TimeSlice(), 50U);
    EXPECT_TRUE(app.KillTimedOutProcess());
    EXPECT_FALSE(app.Visible());
    EXPECT_FALSE(app.UseNewConsole());
    EXPECT_EQ(app.ConsoleColors().Foreground, ccWhite);
    EXPECT_EQ(app.ConsoleColors().Background, ccBlack);
    EXPECT_EQ(static_cast<int>(ccWhite), 15);
    EXPECT_EQ(app.WindowPosition().X, -1);
    EXPECT_EQ(app.WindowPosition().Y, -1);
    EXPECT_EQ(app.WindowSize().Width, 0);
    EXPECT_EQ(app.ScreenBufferSize().Height, 0);
    EXPECT_EQ(app.Priority(), cpDefault);
    EXPECT_EQ(app.StdIn(), RoNoHandle);
    EXPECT_TRUE(app.CommandLine().empty());
    EXPECT_FALSE(app.Environment().has_value());
    EXPECT_EQ(app.ExitCode(), 0U);
    EXPECT_EQ(app.ErrorCode(), 0U);
    EXPECT_FALSE(app.ProcessInfo().HasProcess());
    EXPECT_EQ(app.ProcessAttrs(), nullptr);

    app.SetMaxExecTime(0);
    app.SetTimeSlice(0);
    EXPECT_EQ(app.MaxExecTime(), 60000U);
    EXPECT_EQ(app.TimeSlice(), 50U);

    TRoSecurityAttributes attributes{true};
    app.SetProcessAttrs(&attributes);
    attributes.InheritHandle = false;
    ASSERT_NE(app.ProcessAttrs(), nullptr);
    EXPECT_NE(app.ProcessAttrs(), &attributes); // a copy of its own
    EXPECT_TRUE(app.ProcessAttrs()->InheritHandle);
    app.SetProcessAttrs(nullptr);
    EXPECT_EQ(app.ProcessAttrs(), nullptr);
}

TEST_F(Runner, CompleteLineThenRestAtTheFlush) {
    fApp.SetTimeSlice(250);
    ASSERT_TRUE(Run(Script("printf 'abc\\r\\ndef'")));
    EXPECT_EQ(fOutLines, (Lines{"abc", "def"}));
    EXPECT_EQ(fApp.ErrorCode(), 0U);
    EXPECT_TRUE(fApp.ErrorMessage().empty());
    EXPECT_EQ(fEvents.front(), "start");
    EXPECT_EQ(fEvents.back(), "complete");
}

TEST_F(Runner, ErrorOutputHasItsOwnLines) {
    ASSERT_TRUE(Run(Script("echo out; echo err >&2; printf 'p1\\rp2\\r' >&2")));
    EXPECT_EQ(fOutLines, (Lines{"out"}));
    EXPECT_EQ(fErrLines, (Lines{"err", "p1\rp2\r"}));
}

// The child writes the first half of a line, waits for a byte on its input, then
// writes the rest; the test sends the byte once the first half has been read.
TEST_F(Runner, LineSplitAcrossReadsArrivesInTwoPiecesWhenFlushedBetween) {
    bool sent = false;
    fOnEveryWork = [&] {
        if (!sent && !fOutLines.empty()) {
            fIn.WriteData("x", 1);
            sent = true;
        }
    };
    ASSERT_TRUE(Run(Script("printf 'ab'; head -c 1 >/dev/null; printf 'c\\n'")));
    EXPECT_EQ(fOutLines, (Lines{"ab", "c"}));
}

TEST_F(Runner, LineSplitAcrossReadsArrivesWholeWithoutFlush) {
    std::string seen;
    fOutFilter.SetOnText([&](TRoAnsiSBCSPipeFilter&, const std::string& text) { seen += text; });
    fApp.SetOnWork([&](TRoCustomConsoleApp&) {
        fOutFilter.ReadPipe(); // read only
        if (seen == "ab") {
            fIn.WriteData("x", 1);
            seen += "|";
        }
    });
    ASSERT_TRUE(Run(Script("printf 'ab'; head -c 1 >/dev/null; printf 'c\\r\\nd'")));
    EXPECT_EQ(fOutLines, (Lines{"abc", "d"})); // "d" from the flush in the complete notification
    EXPECT_EQ(seen, "ab|c\r\nd");
}

TEST_F(Runner, WorkAfterEverySliceAndOnceAfterTheEnd) {
    bool outputCompleteAtThisCall = false;
    fOnEveryWork = [&] {
        if (fWorkCalls == 3) {
            fIn.WriteData("q", 1);
        }
        outputCompleteAtThisCall = !fOutLines.empty() && fOutLines.back() == "got q";
    };
    ASSERT_TRUE(Run(Script("c=$(head -c 1); echo \"got $c\"")));
    EXPECT_GE(fWorkCalls, 4);
    EXPECT_TRUE(outputCompleteAtThisCall); // the last call came after the child's end
    // Every wait but the last lasted a whole slice.
    EXPECT_LE(static_cast<std::uint32_t>(fWorkCalls - 1), fApp.ElapsedTime() / fApp.TimeSlice());
    EXPECT_EQ(fEvents.back(), "complete");
    EXPECT_EQ(std::count(fEvents.begin(), fEvents.end(), "complete"), 1);
    EXPECT_EQ(fApp.TimeToLive(), 0U);
}

TEST_F(Runner, InfiniteSliceGivesNoWorkNotifications) {
    fApp.SetTimeSlice(RoInfinite);
    ASSERT_TRUE(Run(Script("sleep 0.1; echo fine")));
    EXPECT_EQ(fWorkCalls, 0);
    EXPECT_EQ(fEvents, (Lines{"start", "complete"}));
    fOutFilter.ReadPipe();
    fOutFilter.Flush();
    EXPECT_EQ(fOutLines, (Lines{"fine"}));
}

TEST_F(Runner, NoTimeLimitKeepsTimeToLive) {
    std::vector<std::uint32_t> seen;
    fOnEveryWork = [&] {
        seen.push_back(fApp.TimeToLive());
        if (fWorkCalls == 3) {
            fIn.WriteData("q", 1);
        }
    };
    ASSERT_TRUE(Run(Script("head -c 1 >/dev/null")));
    ASSERT_FALSE(seen.empty());
    for (const std::uint32_t value : seen) {
        EXPECT_EQ(value, RoInfinite);
    }
    EXPECT_EQ(fApp.TimeToLive(), 0U);
}

TEST_F(Runner, TimeOutLeavesTheChildRunningWhenNotToBeKilled) {
    fApp.SetMaxExecTime(200);
    pid_t pid = 0;
    fApp.SetOnStart([&](TRoCustomConsoleApp& app) { pid = app.ProcessInfo().ProcessId; });
    std::vector<std::uint32_t> timeToLive;
    fOnEveryWork = [&] { timeToLive.push_back(fApp.TimeToLive()); };
    EXPECT_FALSE(Run(Script("exec sleep 10")));
    EXPECT_EQ(fApp.ErrorCode(), RoErrTimedOut);
    EXPECT_EQ(fApp.ErrorMessage(), "Application timed out");
    EXPECT_EQ(fApp.TimeToLive(), 0U);
    EXPECT_FALSE(fApp.ProcessInfo().HasProcess());
    ASSERT_GE(timeToLive.size(), 2U);
    EXPECT_LT(timeToLive.front(), 200U);
    EXPECT_EQ(timeToLive.back(), 0U);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(ProcessExists(pid));
    ::kill(pid, SIGKILL);
}

TEST_F(Runner, TimeOutKillsTheChildByDefault) {
    TRoConsoleApp app;
    app.SetMaxExecTime(100);
    pid_t pid = 0;
    app.SetOnStart([&](TRoCustomConsoleApp& sender) { pid = sender.ProcessInfo().ProcessId; });
    EXPECT_FALSE(app.Execute(Script("exec sleep 10"), ""));
    EXPECT_EQ(app.ErrorCode(), RoErrTimedOut);
    ASSERT_GT(pid, 0);
    EXPECT_FALSE(ProcessExists(pid)); // killed and reaped
    EXPECT_EQ(app.ExitCode(), 0U);
}

TEST_F(Runner, TerminateEndsTheWaitAfterTheSlice) {
    fApp.SetKillTimedOutProcess(true);
    pid_t pid = 0;
    fApp.SetOnStart([&](TRoCustomConsoleApp& app) { pid = app.ProcessInfo().ProcessId; });
    fOnEveryWork = [&] {
        if (fWorkCalls == 2) {
            fApp.Terminate();
        }
    };
    EXPECT_FALSE(Run(Script("exec sleep 10")));
    EXPECT_EQ(fWorkCalls, 2);
    EXPECT_EQ(fApp.ErrorCode(), RoErrTerminated);
    EXPECT_EQ(fApp.ErrorMessage(), "Application terminated");
    EXPECT_EQ(fEvents.back(), "complete");
    EXPECT_FALSE(ProcessExists(pid));
}

TEST_F(Runner, TerminateFromAnotherThreadAsSoonAsTheProcessExists) {
    fApp.SetKillTimedOutProcess(true);
    std::thread controller([this] {
        while (!fApp.ProcessInfo().HasProcess()) {
            std::this_thread::yield();
        }
        fApp.Terminate();
    });
    EXPECT_FALSE(Run(Script("exec sleep 10")));
    controller.join();
    EXPECT_EQ(fApp.ErrorCode(), RoErrTerminated);
}

TEST_F(Runner, MissingProgramIsAFailedStart) {
    const std::string expected = std::strerror(ENOENT);
    EXPECT_FALSE(Run("\"/no/such/folder/encoder\" -i x"));
    EXPECT_EQ(fApp.ErrorCode(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_EQ(fApp.ErrorMessage(), expected);
    EXPECT_TRUE(fEvents.empty()); // no start, no work, no complete
    EXPECT_FALSE(fApp.ProcessInfo().HasProcess());

    EXPECT_FALSE(Run("lorvane-no-such-program-on-the-path"));
    EXPECT_EQ(fApp.ErrorCode(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_FALSE(Run(Quoted(fTemp / "missing")));
    EXPECT_EQ(fApp.ErrorCode(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_FALSE(Run(""));
    EXPECT_EQ(fApp.ErrorCode(), static_cast<std::uint32_t>(ENOENT));

    // A file that is not executable, and a working folder that does not exist.
    std::ofstream(fTemp / "plain.txt") << "text";
    EXPECT_FALSE(Run(Quoted(fTemp / "plain.txt")));
    EXPECT_EQ(fApp.ErrorCode(), static_cast<std::uint32_t>(EACCES));
    EXPECT_FALSE(Run("/bin/true", (fTemp / "no folder").string()));
    EXPECT_EQ(fApp.ErrorCode(), static_cast<std::uint32_t>(ENOENT));

    // The next run starts clean.
    EXPECT_TRUE(Run("/bin/true"));
    EXPECT_EQ(fApp.ErrorCode(), 0U);
    EXPECT_TRUE(fApp.ErrorMessage().empty());
}

TEST_F(Runner, ExitCodesIncludingSignals) {
    ASSERT_TRUE(Run(Script("exit 3")));
    EXPECT_EQ(fApp.ExitCode(), 3U);
    EXPECT_EQ(fApp.ExitSignal(), 0);
    ASSERT_TRUE(Run(Script("kill -TERM $$")));
    EXPECT_EQ(fApp.ExitCode(), 128U + SIGTERM);
    EXPECT_EQ(fApp.ExitSignal(), SIGTERM);
    ASSERT_TRUE(Run(Script("kill -KILL $$")));
    EXPECT_EQ(fApp.ExitCode(), 128U + SIGKILL);
    ASSERT_TRUE(Run("/bin/true"));
    EXPECT_EQ(fApp.ExitCode(), 0U);
    EXPECT_EQ(fApp.ExitSignal(), 0);
    EXPECT_EQ(fApp.ErrorCode(), 0U);
}

TEST_F(Runner, WorkingFolderIsCurrentDir) {
    const fs::path folder = fTemp / "Ordner \"mit\" Leer\\zeichen -x";
    fs::create_directory(folder);
    ASSERT_TRUE(Run("/bin/pwd -P", folder.string()));
    EXPECT_EQ(fOutLines, (Lines{fs::canonical(folder).string()}));

    fOutLines.clear();
    ASSERT_TRUE(Run("/bin/pwd -P", ""));
    EXPECT_EQ(fOutLines, (Lines{fs::current_path().string()}));
}

TEST_F(Runner, RelativeProgramIsFoundFromTheCallersFolder) {
    EXPECT_EQ(RoResolveProgram("dir/prog"), (fs::current_path() / "dir/prog").string());
    const std::string sh = RoResolveProgram("sh");
    ASSERT_FALSE(sh.empty());
    EXPECT_TRUE(fs::path(sh).is_absolute());
    EXPECT_TRUE(RoResolveProgram("lorvane-no-such-program-on-the-path").empty());
}

TEST_F(Runner, QFromTheControllerThreadStopsAReadingChild) {
    std::thread controller([this] {
        while (!fApp.ProcessInfo().HasProcess()) {
            std::this_thread::yield();
        }
        fIn.WriteData("q", 1);
    });
    const bool ran = Run(Script("c=$(head -c 1); echo \"got $c\""));
    controller.join();
    ASSERT_TRUE(ran);
    EXPECT_EQ(fOutLines, (Lines{"got q"}));
}

TEST_F(Runner, QToAChildThatHasEndedNeitherCrashesNorHangs) {
    ASSERT_TRUE(Run("/bin/true"));
    EXPECT_EQ(fIn.WriteData("q", 1), 1U); // the pipe still has its reader: this process

    // An input pipe whose reading end is gone in this process as well: the write
    // fails with EPIPE and the program goes on.
    TRoPipe in(1, true);
    fApp.SetStdIn(in.ReadHandle());
    ASSERT_TRUE(Run("/bin/true"));
    in.CloseReadHandle();
    EXPECT_THROW(in.WriteData("q", 1), EInOutError);
    fApp.SetStdIn(fIn.ReadHandle());
    ASSERT_TRUE(Run("/bin/true")); // still alive and working
}

TEST_F(Runner, LargeOutputIsReadInTheWorkNotifications) {
    TMemoryStream data;
    fApp.SetTimeSlice(10);
    fApp.SetOnWork([&](TRoCustomConsoleApp&) { fOut.CopyToStream(data); });
    fApp.SetOnComplete([&](TRoCustomConsoleApp&) { fOut.CopyToStream(data); });
    ASSERT_TRUE(Run("/usr/bin/head -c 3000000 /dev/zero"));
    EXPECT_EQ(data.Size(), 3000000);
    EXPECT_EQ(std::count(data.Bytes().begin(), data.Bytes().end(), 0), 3000000);
}

TEST_F(Runner, ManyLinesOnBothOutputs) {
    fApp.SetTimeSlice(10);
    ASSERT_TRUE(Run(Script("seq 1 100000; seq 1 50000 >&2")));
    // A line split between two reads comes apart at the flush between them; joined,
    // the lines give the text without its line ends.
    EXPECT_GE(fOutLines.size(), 100000U);
    EXPECT_GE(fErrLines.size(), 50000U);
    std::string joined;
    for (const std::string& line : fOutLines) {
        joined += line;
    }
    std::string expected;
    for (int i = 1; i <= 100000; ++i) {
        expected += std::to_string(i);
    }
    EXPECT_EQ(joined, expected);
}

TEST_F(Runner, OnlyTheStandardDescriptorsReachTheChild) {
    // Opened without close-on-exec, as code elsewhere in the program might.
    const int stray = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(stray, 3);
    const bool ran = Run("/bin/ls -1 /proc/self/fd");
    ::close(stray);
    ASSERT_TRUE(ran);
    EXPECT_EQ(fOutLines, (Lines{"0", "1", "2", "3"})); // 3: the folder ls is reading
}

TEST_F(Runner, ChildStartsWithDefaultSignalsWhateverTheCallerIgnores) {
    const auto old = std::signal(SIGPIPE, SIG_IGN);
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGTERM);
    sigset_t oldMask;
    pthread_sigmask(SIG_BLOCK, &block, &oldMask);
    const bool ran = Run("/bin/grep -E \"^Sig(Ign|Blk)\" /proc/self/status");
    pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    std::signal(SIGPIPE, old);
    ASSERT_TRUE(ran);
    ASSERT_EQ(fOutLines.size(), 2U);
    for (const std::string& line : fOutLines) {
        const unsigned long long mask = std::stoull(line.substr(line.find(':') + 1), nullptr, 16);
        EXPECT_EQ(mask & (1ULL << (SIGPIPE - 1)), 0U) << line;
        EXPECT_EQ(mask & (1ULL << (SIGTERM - 1)), 0U) << line;
    }
}

TEST_F(Runner, EnvironmentOfItsOwnOrTheCallers) {
    ::setenv("LORVANE_RUNNER_TEST", "vom Aufrufer", 1);
    ASSERT_TRUE(Run(Script("echo \"$LORVANE_RUNNER_TEST\"")));
    EXPECT_EQ(fOutLines, (Lines{"vom Aufrufer"}));
    fOutLines.clear();
    fApp.SetEnvironment(std::vector<std::string>{"ONLY=this"});
    ASSERT_TRUE(Run("/usr/bin/env"));
    EXPECT_EQ(fOutLines, (Lines{"ONLY=this"}));
    ::unsetenv("LORVANE_RUNNER_TEST");
}

TEST_F(Runner, NastyFileNamesReachTheChildIntact) {
    std::vector<std::string> names = {"-dash",  "sp ace", "q\"uote",
                                      "back\\", "\\\\\"", "\xC3\xA4\t\r\n"};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(1, 255);
    for (int n = 0; n < 10; ++n) {
        std::string name;
        for (int i = 0; i < 12; ++i) {
            const char c = static_cast<char>(byte(random));
            name.push_back(c == '/' ? '\\' : c);
        }
        names.push_back(name);
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string content = "inhalt " + std::to_string(i);
        std::ofstream(fTemp / names[i], std::ios::binary) << content << "\n";
        fOutLines.clear();
        // Absolute, and relative to the working folder.
        ASSERT_TRUE(Run("/bin/cat " + Quoted(fTemp / names[i])));
        ASSERT_EQ(fOutLines, (Lines{content})) << "name " << i;
        fOutLines.clear();
        ASSERT_TRUE(Run("/bin/cat " + Quoted(names[i]), fTemp.Path().string()));
        ASSERT_EQ(fOutLines, (Lines{content})) << "name " << i;
        EXPECT_EQ(fApp.ExitCode(), 0U);
    }
}

TEST_F(Runner, AThrowingNotificationLeavesNoProcessInfoBehind) {
    fApp.SetOnStart([](TRoCustomConsoleApp&) { throw std::runtime_error("handler failed"); });
    EXPECT_THROW(Run(Script("exec sleep 0.2")), std::runtime_error);
    EXPECT_FALSE(fApp.ProcessInfo().HasProcess());
}

} // namespace
} // namespace lorvane
