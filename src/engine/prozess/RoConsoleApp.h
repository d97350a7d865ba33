#pragma once
// Runs a command line as a child process in a working folder, waits for it in time
// slices with a "work" notification after every slice (the caller reads the pipes
// there), enforces an optional maximum run time and reports the outcome: a Boolean
// result, an error code with its message, and the child's exit code.
//
// The console options (visibility, new console, title, colours, sizes, position) are
// kept for a platform with consoles and have no effect here.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "engine/prozess/RoPipe.h"

namespace lorvane {

inline constexpr std::uint32_t RoInfinite = 0xFFFFFFFFU;

// The runner's own error codes carry this bit, which errno values never have.
inline constexpr std::uint32_t RoOwnErrorFlag = 0x20000000U;
inline constexpr std::uint32_t RoErrTimedOut = 0x20000001U;
inline constexpr std::uint32_t RoErrTerminated = 0x20000002U;
inline constexpr const char* RoMsgTimedOut = "Application timed out";
inline constexpr const char* RoMsgTerminated = "Application terminated";

enum TRoConsoleAppPriority : std::uint8_t { cpDefault, cpHigh, cpNormal, cpIdle, cpRealTime };

enum TRoConsoleColor : std::uint8_t {
    ccBlack,
    ccNavy,
    ccGreen,
    ccTeal,
    ccMaroon,
    ccPurple,
    ccOlive,
    ccSilver,
    ccGray,
    ccBlue,
    ccLime,
    ccAqua,
    ccRed,
    ccFuchsia,
    ccYellow,
    ccWhite,
};

struct TRoConsoleColors {
    TRoConsoleColor Foreground = ccWhite;
    TRoConsoleColor Background = ccBlack;
};

struct TRoConsoleSize {
    int Width = 0;
    int Height = 0;
};

struct TRoConsolePosition {
    int X = -1;
    int Y = -1;
};

// Zero while no child runs. Thread and process are one here, so both ids are the pid.
struct TRoProcessInfo {
    pid_t ProcessId = 0;
    pid_t ThreadId = 0;
    bool HasProcess() const { return ProcessId != 0; }
};

class TRoChildProcess;
class TRoCustomConsoleApp;
using TRoNotifyEvent = std::function<void(TRoCustomConsoleApp& sender)>;

class TRoCustomConsoleApp {
public:
    TRoCustomConsoleApp();
    virtual ~TRoCustomConsoleApp();
    TRoCustomConsoleApp(const TRoCustomConsoleApp&) = delete;
    TRoCustomConsoleApp& operator=(const TRoCustomConsoleApp&) = delete;

    // True when the child was started, the wait ended because it finished, and its
    // exit code was read. Every run first clears ExitCode, ErrorCode and ErrorMessage.
    bool Execute();
    bool Execute(const std::string& commandLine, const std::string& currentDir);
    // Ends the wait loop after the current slice; callable from any thread.
    void Terminate() { fRequestTerminate.store(true); }

    // Results of the last run; ProcessInfo may be read from any thread.
    TRoProcessInfo ProcessInfo() const;
    std::uint32_t ExitCode() const { return fExitCode; }
    // The signal that ended the child (0 after a normal end); ExitCode is then
    // 128 + the signal number.
    int ExitSignal() const { return fExitSignal; }
    std::uint32_t ErrorCode() const { return fErrorCode; }
    const std::string& ErrorMessage() const { return fErrorMessage; }
    std::uint32_t TimeToLive() const { return fTimeToLive; }
    std::uint32_t ElapsedTime() const { return fElapsedTime; }

protected:
    // Called in this order; each calls its event when one is assigned.
    virtual void DoStart();
    virtual void DoWork();
    virtual void DoComplete();

    TRoHandle StdIn() const { return fStdIn; }
    void SetStdIn(TRoHandle handle) { fStdIn = handle; }
    TRoHandle StdOut() const { return fStdOut; }
    void SetStdOut(TRoHandle handle) { fStdOut = handle; }
    TRoHandle StdErr() const { return fStdErr; }
    void SetStdErr(TRoHandle handle) { fStdErr = handle; }
    const std::string& CommandLine() const { return fCommandLine; }
    void SetCommandLine(const std::string& commandLine) { fCommandLine = commandLine; }
    const std::string& CurrentDir() const { return fCurrentDir; }
    void SetCurrentDir(const std::string& currentDir) { fCurrentDir = currentDir; }
    bool Visible() const { return fVisible; }
    void SetVisible(bool visible) { fVisible = visible; }
    std::uint32_t MaxExecTime() const { return fMaxExecTime; }
    // 0 stores 60000; RoInfinite disables the limit.
    void SetMaxExecTime(std::uint32_t milliseconds);
    std::uint32_t TimeSlice() const { return fTimeSlice; }
    // 0 stores 50; RoInfinite waits for the end without work notifications.
    void SetTimeSlice(std::uint32_t milliseconds);
    bool KillTimedOutProcess() const { return fKillTimedOutProcess; }
    void SetKillTimedOutProcess(bool kill) { fKillTimedOutProcess = kill; }
    const TRoSecurityAttributes* ProcessAttrs() const { return fProcessAttrs.get(); }
    // Keeps a copy; nullptr frees it.
    void SetProcessAttrs(const TRoSecurityAttributes* attrs);
    const TRoSecurityAttributes* ThreadAttrs() const { return fThreadAttrs.get(); }
    void SetThreadAttrs(const TRoSecurityAttributes* attrs);
    bool UseNewConsole() const { return fUseNewConsole; }
    void SetUseNewConsole(bool useNewConsole) { fUseNewConsole = useNewConsole; }
    const std::string& ConsoleTitle() const { return fConsoleTitle; }
    void SetConsoleTitle(const std::string& title) { fConsoleTitle = title; }
    TRoConsoleColors ConsoleColors() const { return fConsoleColors; }
    void SetConsoleColors(TRoConsoleColors colors) { fConsoleColors = colors; }
    TRoConsoleSize ScreenBufferSize() const { return fScreenBufferSize; }
    void SetScreenBufferSize(TRoConsoleSize size) { fScreenBufferSize = size; }
    TRoConsoleSize WindowSize() const { return fWindowSize; }
    void SetWindowSize(TRoConsoleSize size) { fWindowSize = size; }
    TRoConsolePosition WindowPosition() const { return fWindowPosition; }
    void SetWindowPosition(TRoConsolePosition position) { fWindowPosition = position; }
    // "NAME=value" entries; none: the caller's environment.
    const std::optional<std::vector<std::string>>& Environment() const { return fEnvironment; }
    void SetEnvironment(std::optional<std::vector<std::string>> environment) {
        fEnvironment = std::move(environment);
    }
    // Text is UTF-8 here either way; kept for a platform with two kinds of block.
    bool UnicodeEnvironment() const { return fUnicodeEnvironment; }
    void SetUnicodeEnvironment(bool unicode) { fUnicodeEnvironment = unicode; }
    // Applied as niceness (idle 19, normal 0, high -10) or real-time scheduling where the
    // system allows it; a refusal leaves the child at the caller's priority.
    TRoConsoleAppPriority Priority() const { return fPriority; }
    void SetPriority(TRoConsoleAppPriority priority) { fPriority = priority; }

    const TRoNotifyEvent& OnStart() const { return fOnStart; }
    void SetOnStart(TRoNotifyEvent handler) { fOnStart = std::move(handler); }
    const TRoNotifyEvent& OnWork() const { return fOnWork; }
    void SetOnWork(TRoNotifyEvent handler) { fOnWork = std::move(handler); }
    const TRoNotifyEvent& OnComplete() const { return fOnComplete; }
    void SetOnComplete(TRoNotifyEvent handler) { fOnComplete = std::move(handler); }

private:
    bool Monitor(TRoChildProcess& child);
    void RecordSystemError(int error);
    void RecordOwnError(std::uint32_t code);
    void ClearProcessInfo();

    TRoNotifyEvent fOnWork;
    TRoNotifyEvent fOnComplete;
    TRoNotifyEvent fOnStart;
    TRoHandle fStdIn = RoNoHandle;
    TRoHandle fStdOut = RoNoHandle;
    TRoHandle fStdErr = RoNoHandle;
    std::string fCommandLine;
    std::string fCurrentDir;
    std::uint32_t fExitCode = 0;
    std::uint32_t fMaxExecTime = 60000;
    std::string fErrorMessage;
    std::uint32_t fErrorCode = 0;
    bool fVisible = false;
    std::uint32_t fTimeSlice = 50;
    bool fKillTimedOutProcess = true;
    std::uint32_t fTimeToLive = 0;
    std::uint32_t fElapsedTime = 0;
    std::atomic<bool> fRequestTerminate{false};
    std::unique_ptr<TRoSecurityAttributes> fProcessAttrs;
    std::unique_ptr<TRoSecurityAttributes> fThreadAttrs;
    bool fUseNewConsole = false;
    std::string fConsoleTitle;
    TRoConsoleColors fConsoleColors;
    TRoConsoleSize fScreenBufferSize;
    TRoConsoleSize fWindowSize;
    TRoConsolePosition fWindowPosition;
    std::optional<std::vector<std::string>> fEnvironment;
    bool fUnicodeEnvironment = false;
    std::atomic<pid_t> fProcessId{0};
    TRoConsoleAppPriority fPriority = cpDefault;
    int fExitSignal = 0;
};

// The runner with every option open to its users.
class TRoConsoleApp : public TRoCustomConsoleApp {
public:
    using TRoCustomConsoleApp::CommandLine;
    using TRoCustomConsoleApp::ConsoleColors;
    using TRoCustomConsoleApp::ConsoleTitle;
    using TRoCustomConsoleApp::CurrentDir;
    using TRoCustomConsoleApp::Environment;
    using TRoCustomConsoleApp::KillTimedOutProcess;
    using TRoCustomConsoleApp::MaxExecTime;
    using TRoCustomConsoleApp::OnComplete;
    using TRoCustomConsoleApp::OnStart;
    using TRoCustomConsoleApp::OnWork;
    using TRoCustomConsoleApp::Priority;
    using TRoCustomConsoleApp::ProcessAttrs;
    using TRoCustomConsoleApp::ScreenBufferSize;
    using TRoCustomConsoleApp::SetCommandLine;
    using TRoCustomConsoleApp::SetConsoleColors;
    using TRoCustomConsoleApp::SetConsoleTitle;
    using TRoCustomConsoleApp::SetCurrentDir;
    using TRoCustomConsoleApp::SetEnvironment;
    using TRoCustomConsoleApp::SetKillTimedOutProcess;
    using TRoCustomConsoleApp::SetMaxExecTime;
    using TRoCustomConsoleApp::SetOnComplete;
    using TRoCustomConsoleApp::SetOnStart;
    using TRoCustomConsoleApp::SetOnWork;
    using TRoCustomConsoleApp::SetPriority;
    using TRoCustomConsoleApp::SetProcessAttrs;
    using TRoCustomConsoleApp::SetScreenBufferSize;
    using TRoCustomConsoleApp::SetStdErr;
    using TRoCustomConsoleApp::SetStdIn;
    using TRoCustomConsoleApp::SetStdOut;
    using TRoCustomConsoleApp::SetThreadAttrs;
    using TRoCustomConsoleApp::SetTimeSlice;
    using TRoCustomConsoleApp::SetUnicodeEnvironment;
    using TRoCustomConsoleApp::SetUseNewConsole;
    using TRoCustomConsoleApp::SetVisible;
    using TRoCustomConsoleApp::SetWindowPosition;
    using TRoCustomConsoleApp::SetWindowSize;
    using TRoCustomConsoleApp::StdErr;
    using TRoCustomConsoleApp::StdIn;
    using TRoCustomConsoleApp::StdOut;
    using TRoCustomConsoleApp::ThreadAttrs;
    using TRoCustomConsoleApp::TimeSlice;
    using TRoCustomConsoleApp::UnicodeEnvironment;
    using TRoCustomConsoleApp::UseNewConsole;
    using TRoCustomConsoleApp::Visible;
    using TRoCustomConsoleApp::WindowPosition;
    using TRoCustomConsoleApp::WindowSize;
};

} // namespace lorvane
