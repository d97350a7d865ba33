#include "engine/prozess/RoProcess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lorvane {

namespace {

std::mutex gAbandonedMutex;
std::vector<pid_t> gAbandoned;

int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    return fd >= 0 ? static_cast<int>(fd) : -1;
#else
    (void)pid;
    return -1;
#endif
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Descriptors below 3 are moved up first: the dups onto 0, 1 and 2 would otherwise
// overwrite a source before it is used.
class TRaisedDescriptors {
public:
    explicit TRaisedDescriptors(int (&fds)[3]) {
        for (int& fd : fds) {
            if (fd >= 0 && fd < 3) {
                const int raised = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
                if (raised >= 0) {
                    fRaised.push_back(raised);
                    fd = raised;
                }
            }
        }
    }
    ~TRaisedDescriptors() {
        for (const int fd : fRaised) {
            ::close(fd);
        }
    }
    TRaisedDescriptors(const TRaisedDescriptors&) = delete;
    TRaisedDescriptors& operator=(const TRaisedDescriptors&) = delete;

private:
    std::vector<int> fRaised;
};

// Everything the child needs, made ready before the fork: in the child of a
// multithreaded process only async-signal-safe calls are allowed, so no allocation.
struct TChildPlan {
    const char* Program = nullptr;
    char* const* Argv = nullptr;
    char* const* Envp = nullptr;
    const char* CurrentDir = nullptr; // nullptr: the caller's
    int Fds[3] = {-1, -1, -1};
    bool SetStandardFds = false;
    int ErrorFd = -1;
    pid_t ParentPid = 0;
    int FdLimit = 0;
};

[[noreturn]] void ReportAndExit(int errorFd, int error) {
    while (::write(errorFd, &error, sizeof error) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

void CloseInheritedDescriptors(int keep, int limit) {
#ifdef SYS_close_range
    constexpr unsigned int kLast = ~0U;
    const unsigned int kept = static_cast<unsigned int>(keep);
    if ((keep == 3 || ::syscall(SYS_close_range, 3U, kept - 1, 0U) == 0) &&
        ::syscall(SYS_close_range, kept + 1, kLast, 0U) == 0) {
        return;
    }
#endif
    for (int fd = 3; fd < limit; ++fd) {
        if (fd != keep) {
            ::close(fd);
        }
    }
}

bool ResetToDefault(int signal, const struct sigaction& current) {
    // The caller's way of handling these is its own; the child starts as a program should.
    if (signal == SIGPIPE || signal == SIGINT || signal == SIGTERM || signal == SIGHUP) {
        return true;
    }
    // A caught signal would run the caller's handler in the child between the unblock
    // and the exec. Ignored ones stay ignored, as across any exec.
    return (current.sa_flags & SA_SIGINFO) != 0 ||
           (current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN);
}

void ResetSignals() {
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction current {};
        // SIGKILL and SIGSTOP cannot be changed; the C library refuses its own signals.
        if (signal == SIGKILL || signal == SIGSTOP || ::sigaction(signal, nullptr, &current) != 0) {
            continue;
        }
        if (ResetToDefault(signal, current)) {
            ::sigaction(signal, &byDefault, nullptr);
        }
    }
    sigset_t noSignals;
    sigemptyset(&noSignals);
    ::sigprocmask(SIG_SETMASK, &noSignals, nullptr);
}

[[noreturn]] void RunChild(const TChildPlan& plan) {
    const int errorFd = plan.ErrorFd;
    // An encoder must never outlive this program, however it ends.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) {
        ReportAndExit(errorFd, errno);
    }
    // The parent died before the request took effect: no signal will come.
    if (::getppid() != plan.ParentPid) {
        ::_exit(127);
    }
    // A process group of its own: a Ctrl+C at the terminal goes to this program,
    // which stops the child in its own way (an encoder gets "q"), not to the child.
    if (::setpgid(0, 0) != 0) {
        ReportAndExit(errorFd, errno);
    }
    if (plan.SetStandardFds) {
        for (int target = 0; target < 3; ++target) {
            int source = plan.Fds[target];
            const bool opened = source < 0;
            if (opened) {
                source = ::open("/dev/null", O_RDWR);
                if (source < 0) {
                    ReportAndExit(errorFd, errno);
                }
            }
            if (source == target) {
                // dup2 onto itself would keep a close-on-exec flag.
                if (::fcntl(target, F_SETFD, 0) != 0) {
                    ReportAndExit(errorFd, errno);
                }
                continue;
            }
            if (::dup2(source, target) < 0) {
                ReportAndExit(errorFd, errno);
            }
            if (opened) {
                ::close(source);
            }
        }
    }
    // Nothing else of this process reaches the child, whoever opened it.
    CloseInheritedDescriptors(errorFd, plan.FdLimit);
    if (plan.CurrentDir != nullptr && ::chdir(plan.CurrentDir) != 0) {
        ReportAndExit(errorFd, errno);
    }
    ResetSignals();
    ::execve(plan.Program, plan.Argv, plan.Envp);
    ReportAndExit(errorFd, errno);
}

// The child reports a failed start through this pipe; its end closes at the exec.
class TErrorPipe {
public:
    TErrorPipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            fError = errno;
            return;
        }
        fRead = fds[0];
        fWrite = fds[1];
        // Both above 2, so that the child's descriptors 0 to 2 cannot overwrite them.
        for (int* fd : {&fRead, &fWrite}) {
            if (*fd < 3) {
                const int raised = ::fcntl(*fd, F_DUPFD_CLOEXEC, 3);
                if (raised < 0) {
                    fError = errno;
                    return;
                }
                ::close(*fd);
                *fd = raised;
            }
        }
    }
    ~TErrorPipe() {
        CloseWrite();
        if (fRead >= 0) {
            ::close(fRead);
        }
    }
    TErrorPipe(const TErrorPipe&) = delete;
    TErrorPipe& operator=(const TErrorPipe&) = delete;

    int Error() const { return fError; }
    int WriteFd() const { return fWrite; }
    void CloseWrite() {
        if (fWrite >= 0) {
            ::close(fWrite);
            fWrite = -1;
        }
    }
    // The child's errno, or 0 once the exec has closed the pipe.
    int ChildError() const {
        int error = 0;
        ssize_t got;
        do {
            got = ::read(fRead, &error, sizeof error);
        } while (got < 0 && errno == EINTR);
        return got == static_cast<ssize_t>(sizeof error) ? error : 0;
    }

private:
    int fRead = -1;
    int fWrite = -1;
    int fError = 0;
};

int DescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
        limit.rlim_cur > (1U << 20)) {
        return 1 << 20;
    }
    return static_cast<int>(limit.rlim_cur);
}

std::vector<char*> PointerList(const std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (const std::string& text : texts) {
        pointers.push_back(const_cast<char*>(text.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

void ApplyScheduling(pid_t pid, const TRoSpawnRequest& request) {
    if (request.RealTime) {
        sched_param param{};
        param.sched_priority = sched_get_priority_min(SCHED_FIFO);
        if (sched_setscheduler(pid, SCHED_FIFO, &param) == 0) {
            return;
        }
    }
    if (request.Niceness) {
        (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(pid), *request.Niceness);
    }
}

} // namespace

std::string RoResolveProgram(const std::string& program) {
    namespace fs = std::filesystem;
    if (program.find('/') != std::string::npos) {
        std::error_code ec;
        const fs::path full = fs::absolute(program, ec);
        return ec ? program : full.string();
    }
    if (program.empty()) {
        return {};
    }
    const char* pathVariable = std::getenv("PATH");
    const std::string searchPath =
        pathVariable != nullptr ? pathVariable : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = searchPath.find(':', start);
        const std::string folder =
            searchPath.substr(start, end == std::string::npos ? end : end - start);
        // An empty entry stands for the current folder.
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + program;
        if (IsExecutableFile(candidate)) {
            std::error_code ec;
            const fs::path full = fs::absolute(candidate, ec);
            return ec ? candidate : full.string();
        }
        if (end == std::string::npos) {
            return {};
        }
        start = end + 1;
    }
}

void RoReapAbandonedChildren() {
    std::lock_guard<std::mutex> lock(gAbandonedMutex);
    std::erase_if(gAbandoned, [](pid_t pid) {
        int status = 0;
        pid_t result;
        do {
            result = ::waitpid(pid, &status, WNOHANG);
        } while (result < 0 && errno == EINTR);
        return result != 0;
    });
}

TRoChildProcess::~TRoChildProcess() {
    Abandon();
}

void TRoChildProcess::Reset() {
    if (fPidFd >= 0) {
        ::close(fPidFd);
        fPidFd = -1;
    }
    fPid = 0;
    fEnded = false;
    fStatus = 0;
}

int TRoChildProcess::Spawn(const TRoSpawnRequest& request) {
    RoReapAbandonedChildren();
    Abandon();
    if (request.Arguments.empty()) {
        return ENOENT;
    }
    const std::string program = RoResolveProgram(request.Arguments.front());
    if (program.empty()) {
        return ENOENT;
    }
    int fds[3] = {request.StdIn, request.StdOut, request.StdErr};
    TRaisedDescriptors raised(fds);
    TErrorPipe errorPipe;
    if (errorPipe.Error() != 0) {
        return errorPipe.Error();
    }
    std::vector<char*> argv = PointerList(request.Arguments);
    std::vector<char*> envp;
    char** environment = environ;
    if (request.Environment != nullptr && request.Environment->has_value()) {
        envp = PointerList(**request.Environment);
        environment = envp.data();
    }
    TChildPlan plan;
    plan.Program = program.c_str();
    plan.Argv = argv.data();
    plan.Envp = environment;
    plan.CurrentDir = request.CurrentDir.empty() ? nullptr : request.CurrentDir.c_str();
    plan.SetStandardFds = fds[0] >= 0 || fds[1] >= 0 || fds[2] >= 0;
    std::copy(std::begin(fds), std::end(fds), std::begin(plan.Fds));
    plan.ErrorFd = errorPipe.WriteFd();
    plan.ParentPid = ::getpid();
    plan.FdLimit = DescriptorLimit();

    // posix_spawn cannot ask for the parent-death signal, hence fork. All signals are
    // blocked across it, so that no handler of this program runs in the child before
    // the child has reset them.
    sigset_t allSignals;
    sigfillset(&allSignals);
    sigset_t oldMask;
    pthread_sigmask(SIG_SETMASK, &allSignals, &oldMask);
    const pid_t pid = ::fork();
    if (pid == 0) {
        RunChild(plan);
    }
    const int forkError = errno;
    pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    if (pid < 0) {
        return forkError;
    }
    errorPipe.CloseWrite();
    // A failed exec (or chdir) is a failed start, never a child that ends with 127.
    if (const int error = errorPipe.ChildError(); error != 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return error;
    }
    fPid = pid;
    fPidFd = OpenPidFd(pid);
    ApplyScheduling(pid, request);
    return 0;
}

bool TRoChildProcess::TryReap(int& error) {
    error = 0;
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(fPid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
        error = errno;
        return false;
    }
    if (result == 0) {
        return false;
    }
    fEnded = true;
    fStatus = status;
    if (fPidFd >= 0) {
        ::close(fPidFd);
        fPidFd = -1;
    }
    return true;
}

TRoWaitResult TRoChildProcess::Wait(std::uint32_t timeoutMs, int& error) {
    error = 0;
    if (fEnded) {
        return TRoWaitResult::Ended;
    }
    if (fPid == 0) {
        error = ECHILD;
        return TRoWaitResult::Failed;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    for (;;) {
        if (TryReap(error)) {
            return TRoWaitResult::Ended;
        }
        if (error != 0) {
            return TRoWaitResult::Failed;
        }
        int remaining = -1;
        if (timeoutMs != RoWaitForever) {
            const auto elapsed =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
            if (elapsed >= static_cast<long long>(timeoutMs)) {
                return TRoWaitResult::TimedOut;
            }
            remaining = static_cast<int>(
                std::min<long long>(static_cast<long long>(timeoutMs) - elapsed, 1 << 30));
        }
        if (fPidFd >= 0) {
            pollfd ready{fPidFd, POLLIN, 0};
            if (::poll(&ready, 1, remaining) < 0 && errno != EINTR) {
                error = errno;
                return TRoWaitResult::Failed;
            }
        } else {
            const int step = remaining < 0 ? 5 : std::min(remaining, 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(step));
        }
    }
}

bool TRoChildProcess::Kill(int& error) {
    error = 0;
    if (fPid == 0 || fEnded) {
        return true;
    }
    // The whole group: the child leads a group of its own, and what it started itself
    // must not outlive it. A group already gone leaves the child itself to be killed.
    if (::kill(-fPid, SIGKILL) != 0 && ::kill(fPid, SIGKILL) != 0) {
        error = errno;
        return false;
    }
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(fPid, &status, 0);
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
        error = errno;
        return false;
    }
    fEnded = true;
    fStatus = status;
    return true;
}

void TRoChildProcess::Abandon() {
    if (fPid != 0 && !fEnded) {
        std::lock_guard<std::mutex> lock(gAbandonedMutex);
        gAbandoned.push_back(fPid);
    }
    Reset();
}

std::uint32_t TRoChildProcess::ExitCode() const {
    if (!fEnded) {
        return 0;
    }
    if (WIFEXITED(fStatus)) {
        return static_cast<std::uint32_t>(WEXITSTATUS(fStatus));
    }
    if (WIFSIGNALED(fStatus)) {
        return 128U + static_cast<std::uint32_t>(WTERMSIG(fStatus));
    }
    return 0;
}

int TRoChildProcess::ExitSignal() const {
    return fEnded && WIFSIGNALED(fStatus) ? WTERMSIG(fStatus) : 0;
}

} // namespace lorvane
