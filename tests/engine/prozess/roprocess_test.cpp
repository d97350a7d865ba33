// The start of a child process itself; the runner's view of it (exit codes,
// environment, working folder, descriptors 3 and up, the signal mask) is tested
// with the runner.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "engine/prozess/RoProcess.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace lorvane {
namespace {

std::size_t OpenDescriptorCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

// Reads until every writer has closed the pipe.
std::string ReadToEnd(int fd) {
    std::string text;
    char buffer[512];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

struct Pipe {
    int Read = -1;
    int Write = -1;
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) == 0) {
            Read = fds[0];
            Write = fds[1];
        }
    }
    ~Pipe() {
        CloseWrite();
        if (Read >= 0) {
            ::close(Read);
        }
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void CloseWrite() {
        if (Write >= 0) {
            ::close(Write);
            Write = -1;
        }
    }
};

// Orphans of this process's children become its own, so that their end can be
// waited for and its cause seen.
class Subreaper {
public:
    Subreaper() { fSet = ::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0; }
    ~Subreaper() {
        if (fSet) {
            ::prctl(PR_SET_CHILD_SUBREAPER, 0);
        }
    }
    Subreaper(const Subreaper&) = delete;
    Subreaper& operator=(const Subreaper&) = delete;
    bool Set() const { return fSet; }

private:
    bool fSet = false;
};

// The wait status once the process has ended and was reaped here, or nothing when it
// is still running at the deadline.
std::optional<int> ReapWithin(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        // Before an orphan has come to this process, waitpid fails with ECHILD.
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return status;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(10ms);
    }
}

void KillAndReap(pid_t pid) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

TRoSpawnRequest Sleeper() {
    TRoSpawnRequest request;
    request.Arguments = {"sleep", "60"};
    return request;
}

// The child started from a process that is then killed outright.
pid_t StartFromAHelperThatIsKilled() {
    Pipe report;
    const pid_t helper = ::fork();
    if (helper == 0) {
        TRoChildProcess child;
        const pid_t pid = child.Spawn(Sleeper()) == 0 ? child.Pid() : -1;
        if (::write(report.Write, &pid, sizeof pid) != static_cast<ssize_t>(sizeof pid)) {
            ::_exit(2);
        }
        for (;;) {
            ::pause();
        }
    }
    if (helper < 0) {
        ADD_FAILURE() << "fork: " << std::strerror(errno);
        return -1;
    }
    report.CloseWrite();
    pid_t pid = -1;
    if (::read(report.Read, &pid, sizeof pid) != static_cast<ssize_t>(sizeof pid)) {
        pid = -1;
    }
    // Running before its parent goes.
    if (pid > 0) {
        EXPECT_EQ(::kill(pid, 0), 0);
    }
    ::kill(helper, SIGKILL);
    ::waitpid(helper, nullptr, 0);
    return pid;
}

// The child left running by a thread that then ends.
pid_t StartFromAThreadThatEnds() {
    pid_t pid = -1;
    std::thread starter([&pid] {
        TRoChildProcess child;
        if (child.Spawn(Sleeper()) == 0) {
            pid = child.Pid();
        }
        child.Abandon();
    });
    starter.join();
    return pid;
}

TEST(RoChildProcess, ChildIsKilledWhenWhatStartedItIsGone) {
    const Subreaper subreaper;
    ASSERT_TRUE(subreaper.Set());
    struct Case {
        const char* Name;
        pid_t (*Start)();
    };
    const Case cases[] = {
        {"the process killed with SIGKILL", StartFromAHelperThatIsKilled},
        {"the starting thread ended", StartFromAThreadThatEnds},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const pid_t pid = c.Start();
        ASSERT_GT(pid, 0);
        const std::optional<int> status = ReapWithin(pid, 5s);
        if (!status) {
            KillAndReap(pid);
            ADD_FAILURE() << "the child outlived its parent";
            continue;
        }
        ASSERT_TRUE(WIFSIGNALED(*status));
        EXPECT_EQ(WTERMSIG(*status), SIGKILL);
    }
}

TEST(RoChildProcess, FailuresInTheChildAreTheResultOfTheStart) {
    const test::TempDir temp;
    test::WriteShellScript(temp / "script", "exit 0");
    std::ofstream(temp / "no-interpreter") << "#!/no/such/interpreter\n";
    fs::permissions(temp / "no-interpreter", fs::perms::owner_all);
    std::ofstream(temp / "garbage") << "neither a program nor a script\n";
    fs::permissions(temp / "garbage", fs::perms::owner_all);
    fs::create_directory(temp / "folder");
    fs::create_symlink("loop", temp / "loop");

    struct Case {
        const char* Name;
        std::string Program;
        std::string Dir;
        int Expected;
    };
    const std::vector<Case> cases = {
        {"interpreter missing", (temp / "no-interpreter").string(), "", ENOENT},
        {"unknown format", (temp / "garbage").string(), "", ENOEXEC},
        {"a folder", (temp / "folder").string(), "", EACCES},
        {"working folder is a file", (temp / "script").string(), (temp / "script").string(),
         ENOTDIR},
        {"working folder a link to itself", (temp / "script").string(), (temp / "loop").string(),
         ELOOP},
        {"all well", (temp / "script").string(), (temp / "folder").string(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::size_t descriptors = OpenDescriptorCount();
        TRoChildProcess child;
        TRoSpawnRequest request;
        request.Arguments = {c.Program};
        request.CurrentDir = c.Dir;
        ASSERT_EQ(child.Spawn(request), c.Expected) << std::strerror(c.Expected);
        if (c.Expected != 0) {
            EXPECT_EQ(OpenDescriptorCount(), descriptors);
            EXPECT_EQ(child.Pid(), 0);
            // The child that failed was reaped in the start.
            const pid_t reaped = ::waitpid(-1, nullptr, WNOHANG);
            const int waitError = errno;
            EXPECT_EQ(reaped, -1);
            EXPECT_EQ(waitError, ECHILD);
        } else {
            int error = 0;
            ASSERT_EQ(child.Wait(RoWaitForever, error), TRoWaitResult::Ended);
            EXPECT_EQ(child.ExitCode(), 0U);
            EXPECT_EQ(OpenDescriptorCount(), descriptors); // the pidfd goes with the reap
        }
    }
}

TEST(RoChildProcess, RunsInAProcessGroupOfItsOwn) {
    TRoChildProcess child;
    ASSERT_EQ(child.Spawn(Sleeper()), 0);
    EXPECT_EQ(::getpgid(child.Pid()), child.Pid());
    EXPECT_NE(::getpgid(child.Pid()), ::getpgrp());
    int error = 0;
    EXPECT_TRUE(child.Kill(error)) << std::strerror(error);
    EXPECT_EQ(child.ExitSignal(), SIGKILL);
}

// A caller that ignores the terminal's signals (nohup, a shell's background job)
// does not pass that on; what else it ignores, the child ignores too, as after exec.
TEST(RoChildProcess, TerminalSignalsAtTheirDefaultOtherIgnoredOnesKept) {
    struct Case {
        int Signal;
        bool IgnoredInTheChild;
    };
    const Case cases[] = {
        {SIGINT, false}, {SIGTERM, false}, {SIGHUP, false}, {SIGPIPE, false}, {SIGUSR1, true},
    };
    std::vector<struct sigaction> old(std::size(cases));
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        ::sigaction(cases[i].Signal, &ignore, &old[i]);
    }
    Pipe out;
    TRoChildProcess child;
    TRoSpawnRequest request;
    request.Arguments = {"grep", "^SigIgn:", "/proc/self/status"};
    request.StdOut = out.Write;
    const int started = child.Spawn(request);
    out.CloseWrite();
    const std::string text = started == 0 ? ReadToEnd(out.Read) : "";
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        ::sigaction(cases[i].Signal, &old[i], nullptr);
    }
    ASSERT_EQ(started, 0);
    int error = 0;
    ASSERT_EQ(child.Wait(RoWaitForever, error), TRoWaitResult::Ended);
    ASSERT_EQ(text.rfind("SigIgn:", 0), 0U) << text;
    const unsigned long long ignored = std::stoull(text.substr(7), nullptr, 16);
    for (const Case& c : cases) {
        EXPECT_EQ((ignored >> (c.Signal - 1)) & 1U, c.IgnoredInTheChild ? 1U : 0U)
            << strsignal(c.Signal);
    }
}

TEST(RoChildProcess, DescriptorsAreMappedWhateverTheirNumbers) {
    // Only the output given: the others read and write the null device.
    {
        Pipe out;
        TRoChildProcess child;
        TRoSpawnRequest request;
        request.Arguments = {"readlink", "/proc/self/fd/0", "/proc/self/fd/2"};
        request.StdOut = out.Write;
        ASSERT_EQ(child.Spawn(request), 0);
        out.CloseWrite();
        EXPECT_EQ(ReadToEnd(out.Read), "/dev/null\n/dev/null\n");
        int error = 0;
        ASSERT_EQ(child.Wait(RoWaitForever, error), TRoWaitResult::Ended);
    }
    // This process's 1 and 2 given crosswise: each must arrive where it was meant to,
    // not both on one. No test output may happen while 1 and 2 are redirected.
    Pipe one;
    Pipe two;
    const int savedOne = ::dup(1);
    const int savedTwo = ::dup(2);
    ASSERT_GE(savedOne, 0);
    ASSERT_GE(savedTwo, 0);
    ::dup2(one.Write, 1);
    ::dup2(two.Write, 2);
    TRoChildProcess child;
    TRoSpawnRequest request;
    request.Arguments = {"/bin/sh", "-c", "echo out; echo err >&2"};
    request.StdOut = 2;
    request.StdErr = 1;
    const int started = child.Spawn(request);
    ::dup2(savedOne, 1);
    ::dup2(savedTwo, 2);
    ::close(savedOne);
    ::close(savedTwo);
    one.CloseWrite();
    two.CloseWrite();
    ASSERT_EQ(started, 0);
    int error = 0;
    ASSERT_EQ(child.Wait(RoWaitForever, error), TRoWaitResult::Ended);
    EXPECT_EQ(ReadToEnd(two.Read), "out\n");
    EXPECT_EQ(ReadToEnd(one.Read), "err\n");
}

} // namespace
} // namespace lorvane
