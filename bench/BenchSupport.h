#pragma once
// What both benchmarks need: medians, and a child process run with its times and peak
// memory.

#include <filesystem>
#include <string>
#include <vector>

namespace lorvane::bench {

double Median(std::vector<double> values);

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

} // namespace lorvane::bench
