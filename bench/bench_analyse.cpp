// Throughput and memory of the MP3 file analysis on large files.
//
// For each generated file: the speed of a plain read() from the page cache, the speed of
// the complete analysis (TMP3File, MPEG_SCAN_Complete), their ratio, and the peak resident
// memory of `lorvane-cli info FILE` run as a child process. Medians over several runs.
//
// bench_analyse [--dir DIR] [--cli PATH] [--runs N] [--size-mb N] [--gigabyte|--no-gigabyte]
//               [--keep]

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "BenchSupport.h"
#include "SyntheticMp3.h"
#include "audio/Mp3Files.h"

namespace {

using namespace lorvane;
using namespace lorvane::bench;
namespace fs = std::filesystem;

constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kTargetRatio = 0.5;
constexpr double kTargetRssMiB = 32.0;
constexpr std::int64_t kGigabyteCase = 1100LL * 1000 * 1000;

struct TOptions {
    fs::path Dir = LORVANE_BENCH_DATA_DIR;
    fs::path Cli = LORVANE_CLI_PATH;
    int Runs = 5;
    std::int64_t SizeBytes = 400LL * 1000 * 1000;
    std::optional<bool> Gigabyte; // unset: when the disk has room
    bool Keep = false;
};

struct TCase {
    std::string Name;
    std::int64_t Bytes;
    TBitrateMode Mode;
};

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return SecondsSince(start);
}

// Reads the whole file with read() and a 1 MiB buffer; returns the bytes read.
std::int64_t PlainRead(const fs::path& path) {
    const int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0)
        throw std::runtime_error("cannot open " + path.string());
    std::vector<char> buffer(1 << 20);
    std::int64_t total = 0;
    for (;;) {
        const ssize_t done = ::read(handle, buffer.data(), buffer.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            break;
        total += done;
    }
    ::close(handle);
    return total;
}

// Runs `cli info FILE` with its output discarded; the peak memory is the child's alone.
TChildRun RunCliInfo(const fs::path& cli, const fs::path& file) {
    return RunChild({cli.string(), "info", file.string()});
}

// Compares the analysis with what the generator wrote; returns the differences.
std::vector<std::string> Differences(const TMP3File& file, const TSyntheticMp3& expected) {
    std::vector<std::string> found;
    auto check = [&found](const char* what, std::int64_t got, std::int64_t want) {
        if (got != want)
            found.push_back(std::string(what) + " " + std::to_string(got) + " (expected " +
                            std::to_string(want) + ")");
    };
    check("valid", file.Valid() ? 1 : 0, 1);
    check("first frame", file.MpegInfo().FirstHeaderPosition(), expected.FirstFrame);
    check("frames", file.MpegInfo().Frames(), expected.Frames);
    check("bitrate", file.Bitrate(), expected.AverageBitrate() * 1000LL);
    check("duration", file.Duration(), expected.Duration());
    check("vbr", file.MpegInfo().Vbr() ? 1 : 0, expected.Vbr() ? 1 : 0);
    check("id3v1 size", file.ID3v1TagSize(), 128);
    return found;
}

void PrintTarget(const char* what, double value, const char* unit, const char* target, bool met) {
    std::printf("  %-18s %.2f%s (target %s: %s)\n", what, value, unit, target,
                met ? "met" : "missed");
}

// Measures one case; returns false when the analysis disagrees with the generated file.
bool RunCase(const TOptions& options, const TCase& c) {
    const fs::path path = options.Dir / ("bench-" + c.Name + ".mp3");
    TSyntheticMp3 expected;
    const double generated = Seconds([&] { expected = WriteSyntheticMp3(path, c.Bytes, c.Mode); });
    std::printf("%s: %lld bytes, %d frames, average %d kbit/s, %d s, written in %.2f s\n",
                c.Name.c_str(), static_cast<long long>(expected.FileSize), expected.Frames,
                expected.AverageBitrate(), expected.Duration(), generated);

    const double mib = static_cast<double>(expected.FileSize) / kMiB;
    PlainRead(path); // into the page cache
    std::vector<double> plain, analysis, rss;
    std::vector<std::string> differences;
    for (int run = 0; run < options.Runs; ++run) {
        plain.push_back(mib / Seconds([&] { PlainRead(path); }));
        TMP3File file;
        file.SetMpegScanMode(MPEG_SCAN_Complete);
        analysis.push_back(mib / Seconds([&] { file.ReadFromFile(path); }));
        if (run == 0)
            differences = Differences(file, expected);
    }
    int cliStatus = 0;
    for (int run = 0; run < options.Runs; ++run) {
        const TChildRun child = RunCliInfo(options.Cli, path);
        rss.push_back(child.PeakRssMiB);
        cliStatus = std::max(cliStatus, child.ExitStatus);
    }
    if (!options.Keep)
        fs::remove(path);

    const double plainRate = Median(plain), analysisRate = Median(analysis);
    const double ratio = analysisRate / plainRate, peak = Median(rss);
    std::printf("  %-18s %.0f MiB/s (best run %.0f)\n", "plain read", plainRate,
                *std::max_element(plain.begin(), plain.end()));
    std::printf("  %-18s %.0f MiB/s (best run %.0f)\n", "analysis", analysisRate,
                *std::max_element(analysis.begin(), analysis.end()));
    PrintTarget("ratio", ratio, "", "at least 0.50", ratio >= kTargetRatio);
    PrintTarget("peak RSS", peak, " MiB", "under 32 MiB", peak < kTargetRssMiB);
    if (cliStatus != 0)
        differences.push_back("lorvane-cli info exit status " + std::to_string(cliStatus));
    for (const std::string& difference : differences)
        std::printf("  MISMATCH %s\n", difference.c_str());
    return differences.empty();
}

// The memory the console front end needs for a file of a few frames.
void PrintBaseline(const TOptions& options) {
    const fs::path path = options.Dir / "bench-small.mp3";
    WriteSyntheticMp3(path, 100 * 1000, TBitrateMode::Constant);
    std::vector<double> rss;
    for (int run = 0; run < options.Runs; ++run)
        rss.push_back(RunCliInfo(options.Cli, path).PeakRssMiB);
    fs::remove(path);
    std::printf("baseline: lorvane-cli info on a 100 kB file, peak RSS %.2f MiB\n", Median(rss));
}

bool GigabyteFits(const TOptions& options) {
    const std::int64_t needed = kGigabyteCase + (1LL << 30); // and a margin for everyone else
    return static_cast<std::int64_t>(fs::space(options.Dir).available) > needed;
}

[[noreturn]] void Usage() {
    std::fprintf(stderr, "usage: bench_analyse [--dir DIR] [--cli PATH] [--runs N] "
                         "[--size-mb N] [--gigabyte|--no-gigabyte] [--keep]\n");
    std::exit(2);
}

TOptions ParseOptions(int argc, char** argv) {
    TOptions options;
    for (TArgs args(argc, argv); args.Next();) {
        const std::string arg = args.Name();
        if (arg == "--dir")
            options.Dir = args.Value();
        else if (arg == "--cli")
            options.Cli = args.Value();
        else if (arg == "--runs")
            options.Runs = std::max(1, std::atoi(args.Value().c_str()));
        else if (arg == "--size-mb")
            options.SizeBytes = std::max(1LL, std::atoll(args.Value().c_str())) * 1000 * 1000;
        else if (arg == "--gigabyte")
            options.Gigabyte = true;
        else if (arg == "--no-gigabyte")
            options.Gigabyte = false;
        else if (arg == "--keep")
            options.Keep = true;
        else
            Usage();
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const TOptions options = ParseOptions(argc, argv);
        fs::create_directories(options.Dir);
        std::printf("bench_analyse: %s build%s, %d runs per figure, medians; files in %s\n",
                    LORVANE_BUILD_TYPE, LORVANE_BENCH_SANITIZED ? " with sanitizers" : "",
                    options.Runs, options.Dir.c_str());
        const long long mb = options.SizeBytes / 1000 / 1000;
        std::vector<TCase> cases = {
            {"cbr-" + std::to_string(mb) + "MB", options.SizeBytes, TBitrateMode::Constant},
            {"vbr-" + std::to_string(mb) + "MB", options.SizeBytes, TBitrateMode::Variable},
        };
        if (options.Gigabyte.value_or(GigabyteFits(options)))
            cases.push_back({"vbr-1GB", kGigabyteCase, TBitrateMode::Variable});
        else
            std::printf("vbr-1GB: skipped (%s)\n",
                        options.Gigabyte ? "--no-gigabyte" : "not enough free disk space");

        PrintBaseline(options);
        bool agree = true;
        for (const TCase& c : cases)
            agree = RunCase(options, c) && agree;
        return agree ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_analyse: %s\n", error.what());
        return 1;
    }
}
