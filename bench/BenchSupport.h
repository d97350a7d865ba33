#pragma once
// What the benchmarks share: medians, programs from PATH, and child processes run with
// their times and peak memory or read from as they write.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace lorvane::bench {

double Median(std::vector<double> values);

// The command line's options in order: Next() moves to the next argument, Name() is
// it, Value() takes the argument after it as its value.
class TArgs {
public:
    TArgs(int argc, char** argv) : fArgc(argc), fArgv(argv) {}
    bool Next() { return ++fIndex < fArgc; }
    std::string Name() const { return fArgv[fIndex]; }
    // Throws when the option has no value.
    std::string Value();

private:
    int fArgc;
    char** fArgv;
    int fIndex = 0;
};

// Wall-clock seconds since start.
double SecondsSince(std::chrono::steady_clock::time_point start);

struct TChildRun {
    int ExitStatus = -1;
    double Seconds = 0;
    // User and system time of the child and of the children it waited for.
    double CpuSeconds = 0;
    // The child's own peak resident memory.
    double PeakRssMiB = 0;
    // The error output, when it went to a file.
    std::string Err;
};

// Runs args[0] with the arguments, this process's environment after the extra entries,
// standard input from /dev/null and standard output discarded. The error output goes to
// errFile when one is given and is read back from it; otherwise it is this process's.
TChildRun RunChild(const std::vector<std::string>& args,
                   const std::vector<std::string>& extraEnv = {},
                   const std::filesystem::path& errFile = {});

// Throws with the child's error output when it did not exit with 0.
void MustSucceed(const TChildRun& run, const char* what);

// The first executable of that name in PATH; throws when there is none.
std::filesystem::path ProgramInPath(const std::string& name);

enum class TChildStream { Out, Err };

// A child whose standard output (or its error output) is read while it runs: standard
// input from /dev/null, the other output this process's error output (or discarded),
// this process's environment after the extra entries. Reading to
// the end and then Finish() reaps it; the destructor closes the pipe and reaps it otherwise.
class TChildOutput {
public:
    explicit TChildOutput(const std::vector<std::string>& args,
                          const std::vector<std::string>& extraEnv = {},
                          TChildStream stream = TChildStream::Out);
    ~TChildOutput();
    TChildOutput(const TChildOutput&) = delete;
    TChildOutput& operator=(const TChildOutput&) = delete;

    // Up to size bytes; 0 at the end of the output.
    std::size_t Read(char* buffer, std::size_t size);
    // Waits for the child and throws when it did not exit with 0.
    void Finish();
    // Sends it SIGINT and reaps it, whatever its exit status.
    void Interrupt();

private:
    std::string fName;
    int fPipe = -1;
    pid_t fPid = -1;
};

// The whole standard output of a child that must succeed.
std::string ChildOutput(const std::vector<std::string>& args);

} // namespace lorvane::bench
