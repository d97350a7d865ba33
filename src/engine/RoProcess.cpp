#include "engine/RoProcess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
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

class TSpawnSetup {
public:
    TSpawnSetup() {
        posix_spawn_file_actions_init(&fActions);
        posix_spawnattr_init(&fAttributes);
    }
    ~TSpawnSetup() {
        posix_spawn_file_actions_destroy(&fActions);
        posix_spawnattr_destroy(&fAttributes);
    }
    TSpawnSetup(const TSpawnSetup&) = delete;
    TSpawnSetup& operator=(const TSpawnSetup&) = delete;

    int Prepare(const int (&fds)[3], const std::string& currentDir) {
        int rc = 0;
        if (fds[0] >= 0 || fds[1] >= 0 || fds[2] >= 0) {
            for (int target = 0; target < 3 && rc == 0; ++target) {
                rc = fds[target] >= 0
                         ? posix_spawn_file_actions_adddup2(&fActions, fds[target], target)
                         : posix_spawn_file_actions_addopen(&fActions, target, "/dev/null", O_RDWR,
                                                            0);
            }
        }
        // Nothing else of this process reaches the child, whoever opened it.
        if (rc == 0) {
            rc = posix_spawn_file_actions_addclosefrom_np(&fActions, 3);
        }
        if (rc == 0 && !currentDir.empty()) {
            rc = posix_spawn_file_actions_addchdir_np(&fActions, currentDir.c_str());
        }
        // The caller may block or ignore SIGPIPE; the child starts as a program should.
        sigset_t noSignals;
        sigemptyset(&noSignals);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        if (rc == 0) {
            rc = posix_spawnattr_setsigmask(&fAttributes, &noSignals);
        }
        if (rc == 0) {
            rc = posix_spawnattr_setsigdefault(&fAttributes, &defaults);
        }
        // A process group of its own: a Ctrl+C at the terminal goes to this program,
        // which stops the child in its own way (an encoder gets "q"), not to the child.
        if (rc == 0) {
            rc = posix_spawnattr_setpgroup(&fAttributes, 0);
        }
        if (rc == 0) {
            rc = posix_spawnattr_setflags(&fAttributes, POSIX_SPAWN_SETSIGMASK |
                                                            POSIX_SPAWN_SETSIGDEF |
                                                            POSIX_SPAWN_SETPGROUP);
        }
        return rc;
    }

    const posix_spawn_file_actions_t* Actions() const { return &fActions; }
    const posix_spawnattr_t* Attributes() const { return &fAttributes; }

private:
    posix_spawn_file_actions_t fActions;
    posix_spawnattr_t fAttributes;
};

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
    TSpawnSetup setup;
    int rc = setup.Prepare(fds, request.CurrentDir);
    if (rc != 0) {
        return rc;
    }
    std::vector<char*> argv = PointerList(request.Arguments);
    std::vector<char*> envp;
    char** environment = environ;
    if (request.Environment != nullptr && request.Environment->has_value()) {
        envp = PointerList(**request.Environment);
        environment = envp.data();
    }
    pid_t pid = 0;
    // glibc's posix_spawn reports a failed exec (or chdir) as its result, so a missing
    // program is a failed start, never a child that ends with 127.
    rc = ::posix_spawn(&pid, program.c_str(), setup.Actions(), setup.Attributes(), argv.data(),
                       environment);
    if (rc != 0) {
        return rc;
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
    if (::kill(fPid, SIGKILL) != 0) {
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
