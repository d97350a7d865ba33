#include "BenchSupport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lorvane::bench {

namespace {

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Starts args[0] with the file actions, which it destroys, and this process's
// environment after the extra entries.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
            posix_spawn_file_actions_t& actions) {
    std::vector<std::string> env = extraEnv;
    for (char** entry = environ; *entry != nullptr; ++entry)
        env.emplace_back(*entry);
    std::vector<char*> argv, envp;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    for (const std::string& entry : env)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int error =
        posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(error));
    return pid;
}

int WaitStatus(pid_t pid, rusage* usage) {
    int status = 0;
    while (::wait4(pid, &status, 0, usage) < 0)
        if (errno != EINTR)
            throw std::runtime_error("wait4 failed");
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

std::string TArgs::Value() {
    if (fIndex + 1 >= fArgc) {
        throw std::runtime_error(Name() + " needs a value");
    }
    return fArgv[++fIndex];
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

TChildRun RunChild(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
                   const std::filesystem::path& errFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (!errFile.empty())
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = Spawn(args, extraEnv, actions);
    rusage usage{};
    const int exitStatus = WaitStatus(pid, &usage);
    TChildRun run;
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.CpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    run.PeakRssMiB = static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
    run.ExitStatus = exitStatus;
    if (!errFile.empty()) {
        std::ifstream in(errFile);
        run.Err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return run;
}

void MustSucceed(const TChildRun& run, const char* what) {
    if (run.ExitStatus != 0)
        throw std::runtime_error(std::string(what) + " failed (exit status " +
                                 std::to_string(run.ExitStatus) + "):\n" + run.Err);
}

std::filesystem::path ProgramInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::filesystem::path candidate = std::filesystem::path(folder) / name;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    throw std::runtime_error(name + " not found in PATH");
}

TChildOutput::TChildOutput(const std::vector<std::string>& args,
                           const std::vector<std::string>& extraEnv, TChildStream stream)
    : fName(args.at(0)) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot make a pipe: " + std::string(std::strerror(errno)));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    // dup2 clears close-on-exec on the child's copy only.
    if (stream == TChildStream::Err) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 2);
    } else {
        posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    }
    try {
        fPid = Spawn(args, extraEnv, actions);
    } catch (...) {
        ::close(ends[0]);
        ::close(ends[1]);
        throw;
    }
    ::close(ends[1]);
    fPipe = ends[0];
}

TChildOutput::~TChildOutput() {
    if (fPipe >= 0)
        ::close(fPipe);
    if (fPid > 0) {
        try {
            WaitStatus(fPid, nullptr);
        } catch (const std::exception&) {
        }
    }
}

std::size_t TChildOutput::Read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fPipe, buffer, size);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throw std::runtime_error("cannot read from " + fName + ": " + std::strerror(errno));
    }
}

void TChildOutput::Interrupt() {
    ::kill(fPid, SIGINT);
    ::close(fPipe);
    fPipe = -1;
    WaitStatus(fPid, nullptr);
    fPid = -1;
}

void TChildOutput::Finish() {
    ::close(fPipe);
    fPipe = -1;
    const int status = WaitStatus(fPid, nullptr);
    fPid = -1;
    if (status != 0)
        throw std::runtime_error(fName + " failed (exit status " + std::to_string(status) + ")");
}

std::string ChildOutput(const std::vector<std::string>& args) {
    TChildOutput child(args);
    std::string text;
    char buffer[4096];
    while (const std::size_t got = child.Read(buffer, sizeof buffer))
        text.append(buffer, got);
    child.Finish();
    return text;
}

} // namespace lorvane::bench
