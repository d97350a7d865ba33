#include "BenchSupport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace lorvane::bench {

namespace {

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

} // namespace

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

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int error =
        posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(error));
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR)
            throw std::runtime_error("wait4 failed");
    TChildRun run;
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.CpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    run.PeakRssMiB = static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
    run.ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (!errFile.empty()) {
        std::ifstream in(errFile);
        run.Err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return run;
}

} // namespace lorvane::bench
