#pragma once
// The child process behind the console runner, on POSIX: fork and exec with the
// given descriptors as 0, 1 and 2 (descriptors 3 and up are closed in the child), the
// working folder, a process group of its own, SIGPIPE, SIGINT, SIGTERM and SIGHUP at
// their defaults and an empty signal mask; a wait with a time-out on a pidfd (or by
// polling waitpid where the system has none); killing. Errors are errno values; a
// failed exec or chdir in the child is the result of the start.
//
// The child gets SIGKILL when its parent goes, so that no encoder outlives this
// program, also one killed outright. On Linux that parent is the starting thread:
// a child is killed when the thread that started it ends. Every start here is waited
// for by its thread; a child that is left running (Abandon, or the object destroyed
// while it runs) lasts at most as long as the thread that started it, and is reaped
// later, so it never stays a zombie for long.

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace lorvane {

struct TRoSpawnRequest {
    std::vector<std::string> Arguments; // the first names the program
    std::string CurrentDir;             // empty: the caller's
    // Given to the child as 0, 1, 2; when all are -1 the child shares the caller's,
    // otherwise a missing one is the null device.
    int StdIn = -1;
    int StdOut = -1;
    int StdErr = -1;
    // "NAME=value" entries; none: the caller's environment.
    const std::optional<std::vector<std::string>>* Environment = nullptr;
    // Scheduling wishes applied after the start; refusals are ignored.
    std::optional<int> Niceness;
    bool RealTime = false;
};

enum class TRoWaitResult { Ended, TimedOut, Failed };

inline constexpr std::uint32_t RoWaitForever = 0xFFFFFFFFU;

class TRoChildProcess {
public:
    TRoChildProcess() = default;
    // A child still running is left to run (see Abandon).
    ~TRoChildProcess();
    TRoChildProcess(const TRoChildProcess&) = delete;
    TRoChildProcess& operator=(const TRoChildProcess&) = delete;

    // 0 when the child runs, else the errno value (ENOENT for a missing program).
    int Spawn(const TRoSpawnRequest& request);
    // Waits up to timeoutMs (RoWaitForever: no limit) for the child's end.
    TRoWaitResult Wait(std::uint32_t timeoutMs, int& error);
    // SIGKILL and reap; false with errno when that failed.
    bool Kill(int& error);
    // Leaves a running child to run, at most until the starting thread ends; it is
    // reaped after its end.
    void Abandon();

    pid_t Pid() const { return fPid; }
    bool Ended() const { return fEnded; }
    // Exit status of a normal end; 128 + the signal number for a child ended by a
    // signal, as shells report it.
    std::uint32_t ExitCode() const;
    // The signal that ended the child, 0 after a normal end.
    int ExitSignal() const;

private:
    void Reset();
    bool TryReap(int& error);

    pid_t fPid = 0;
    int fPidFd = -1;
    bool fEnded = false;
    int fStatus = 0;
};

// The full path of the program a command names: a name with a slash is taken
// relative to the caller's working folder, one without is looked up in PATH.
// Empty when a name without slash is not found.
std::string RoResolveProgram(const std::string& program);

// Reaps children that were left running and have ended since. Called by every start.
void RoReapAbandonedChildren();

} // namespace lorvane
