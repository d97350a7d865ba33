#include "engine/prozess/RoConsoleApp.h"

#include <cassert>
#include <cerrno>
#include <chrono>
#include <system_error>

#include "engine/prozess/RoCommandLine.h"
#include "engine/prozess/RoProcess.h"

namespace lorvane {

namespace {

constexpr std::uint32_t kDefaultMaxExecTime = 60000;
constexpr std::uint32_t kDefaultTimeSlice = 50;

void ApplyPriority(TRoConsoleAppPriority priority, TRoSpawnRequest& request) {
    switch (priority) {
    case cpDefault:
        break;
    case cpHigh:
        request.Niceness = -10;
        break;
    case cpNormal:
        request.Niceness = 0;
        break;
    case cpIdle:
        request.Niceness = 19;
        break;
    case cpRealTime:
        request.RealTime = true;
        request.Niceness = -10;
        break;
    }
}

std::uint32_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    // Kept below the infinite value so that a long run never reads as "no limit".
    constexpr long long kLargest = RoInfinite - 1;
    return static_cast<std::uint32_t>(elapsed < 0 ? 0 : (elapsed > kLargest ? kLargest : elapsed));
}

} // namespace

TRoCustomConsoleApp::TRoCustomConsoleApp() = default;

TRoCustomConsoleApp::~TRoCustomConsoleApp() = default;

void TRoCustomConsoleApp::SetMaxExecTime(std::uint32_t milliseconds) {
    fMaxExecTime = milliseconds == 0 ? kDefaultMaxExecTime : milliseconds;
}

void TRoCustomConsoleApp::SetTimeSlice(std::uint32_t milliseconds) {
    fTimeSlice = milliseconds == 0 ? kDefaultTimeSlice : milliseconds;
}

void TRoCustomConsoleApp::SetProcessAttrs(const TRoSecurityAttributes* attrs) {
    fProcessAttrs = attrs != nullptr ? std::make_unique<TRoSecurityAttributes>(*attrs) : nullptr;
}

void TRoCustomConsoleApp::SetThreadAttrs(const TRoSecurityAttributes* attrs) {
    fThreadAttrs = attrs != nullptr ? std::make_unique<TRoSecurityAttributes>(*attrs) : nullptr;
}

TRoProcessInfo TRoCustomConsoleApp::ProcessInfo() const {
    const pid_t pid = fProcessId.load();
    return TRoProcessInfo{pid, pid};
}

void TRoCustomConsoleApp::ClearProcessInfo() {
    fProcessId.store(0);
}

void TRoCustomConsoleApp::DoStart() {
    if (fOnStart) {
        fOnStart(*this);
    }
}

void TRoCustomConsoleApp::DoWork() {
    if (fOnWork) {
        fOnWork(*this);
    }
}

void TRoCustomConsoleApp::DoComplete() {
    if (fOnComplete) {
        fOnComplete(*this);
    }
}

void TRoCustomConsoleApp::RecordSystemError(int error) {
    fErrorCode = static_cast<std::uint32_t>(error);
    fErrorMessage = std::system_category().message(error);
}

void TRoCustomConsoleApp::RecordOwnError(std::uint32_t code) {
    assert((code & RoOwnErrorFlag) != 0 && "the runner's own codes carry bit 29");
    fErrorCode = code;
    fErrorMessage = code == RoErrTimedOut ? RoMsgTimedOut : RoMsgTerminated;
}

bool TRoCustomConsoleApp::Execute(const std::string& commandLine, const std::string& currentDir) {
    fCommandLine = commandLine;
    fCurrentDir = currentDir;
    return Execute();
}

bool TRoCustomConsoleApp::Execute() {
    fExitCode = 0;
    fExitSignal = 0;
    fErrorCode = 0;
    fErrorMessage.clear();
    ClearProcessInfo();
    // Cleared before the start rather than when the wait begins, so that a request
    // made from another thread as soon as the process exists is not lost.
    fRequestTerminate.store(false);

    TRoSpawnRequest request;
    request.Arguments = RoSplitCommandLine(fCommandLine);
    request.CurrentDir = fCurrentDir;
    request.StdIn = fStdIn;
    request.StdOut = fStdOut;
    request.StdErr = fStdErr;
    request.Environment = &fEnvironment;
    ApplyPriority(fPriority, request);

    // Declared after the child, so that the process information is zero before the
    // child object lets go of its process, also when a notification throws.
    struct TProcessInfoReset {
        TRoCustomConsoleApp& App;
        ~TProcessInfoReset() { App.ClearProcessInfo(); }
    };
    TRoChildProcess child;
    const TProcessInfoReset reset{*this};
    const int error = child.Spawn(request);
    if (error != 0) {
        RecordSystemError(error);
        return false;
    }
    fProcessId.store(child.Pid());
    DoStart();

    bool result = Monitor(child);
    if (result) {
        if (child.Ended()) {
            fExitCode = child.ExitCode();
            fExitSignal = child.ExitSignal();
        } else {
            RecordSystemError(ECHILD);
            result = false;
        }
    }
    return result;
}

bool TRoCustomConsoleApp::Monitor(TRoChildProcess& child) {
    const auto start = std::chrono::steady_clock::now();
    fTimeToLive = fMaxExecTime;
    fElapsedTime = 0;
    bool result = true;

    TRoWaitResult wait;
    do {
        int error = 0;
        wait = child.Wait(fTimeSlice, error);
        fElapsedTime = MillisecondsSince(start);
        if (fMaxExecTime != RoInfinite) {
            fTimeToLive = fElapsedTime >= fMaxExecTime ? 0 : fMaxExecTime - fElapsedTime;
        }
        if (wait == TRoWaitResult::Failed) {
            RecordSystemError(error);
            result = false;
        } else if (fTimeSlice != RoInfinite) {
            DoWork();
        }
    } while (wait == TRoWaitResult::TimedOut && fTimeToLive > 0 && !fRequestTerminate.load());
    fTimeToLive = 0;

    const bool terminated = fRequestTerminate.load();
    if (wait == TRoWaitResult::TimedOut || terminated) {
        RecordOwnError(terminated ? RoErrTerminated : RoErrTimedOut);
        DoComplete();
        result = false;
        if (fKillTimedOutProcess) {
            int error = 0;
            (void)child.Kill(error);
        }
    } else {
        DoComplete();
    }
    return result;
}

} // namespace lorvane
