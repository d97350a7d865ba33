// A whole job against the encoder alone: builds one audiobook from about an hour of
// generated MP3 audio with `lorvane-cli build` (one format, so nothing is re-encoded,
// and one part), and converts the same audio with one plain ffmpeg command (the concat
// protocol to ".m4a"). Prints both times, their ratio and the peak resident memory of
// lorvane-cli itself; the encoder's processes are not counted (the command reports its
// own getrusage(RUSAGE_SELF) when LORVANE_REPORT_PEAK_RSS is set).
//
// Medians over several runs, the two commands taking turns in going first.
//
// bench_job [--dir DIR] [--cli PATH] [--ffmpeg PATH] [--minutes N] [--files N]
//           [--runs N] [--keep]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace {

using namespace lorvane::bench;
namespace fs = std::filesystem;

constexpr double kTargetRatio = 1.10;
constexpr double kTargetRssMiB = 50.0;

struct TOptions {
    fs::path Dir = fs::path(LORVANE_BENCH_DATA_DIR) / "job";
    fs::path Cli = LORVANE_CLI_PATH;
    fs::path Ffmpeg;
    int Minutes = 60;
    int Files = 6;
    int Runs = 3;
    bool Keep = false;
};

// Speech-like input at a usual audiobook format: 64 kbit/s, 22050 Hz, mono. A tone
// that changes pitch, so that the encoder has something to do.
std::vector<fs::path> MakeInput(const TOptions& options) {
    const fs::path folder = options.Dir / "input";
    fs::create_directories(folder);
    std::vector<fs::path> files;
    const int seconds = options.Minutes * 60 / options.Files;
    for (int i = 0; i < options.Files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Kapitel %02d.mp3", i + 1);
        const fs::path file = folder / name;
        files.push_back(file);
        if (fs::exists(file))
            continue;
        const std::string source =
            "sine=frequency=" + std::to_string(220 + 40 * i) +
            ":beep_factor=3:sample_rate=22050:duration=" + std::to_string(seconds);
        MustSucceed(RunChild({options.Ffmpeg.string(), "-nostdin", "-loglevel", "error", "-y", "-f",
                              "lavfi", "-i", source, "-ac", "1", "-c:a", "libmp3lame", "-b:a",
                              "64k", file.string()},
                             {}, options.Dir / "make.err"),
                    "making the input");
    }
    return files;
}

// The "Spitzenspeicher: N KiB" line of the command, in MiB.
double PeakRssMiB(const std::string& err) {
    const std::string marker = "Spitzenspeicher: ";
    const std::size_t at = err.rfind(marker);
    if (at == std::string::npos)
        throw std::runtime_error("lorvane-cli reported no peak memory:\n" + err);
    return std::atof(err.c_str() + at + marker.size()) / 1024.0;
}

TOptions ParseOptions(int argc, char** argv) {
    TOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--dir")
            options.Dir = value();
        else if (arg == "--cli")
            options.Cli = value();
        else if (arg == "--ffmpeg")
            options.Ffmpeg = value();
        else if (arg == "--minutes")
            options.Minutes = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--files")
            options.Files = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--runs")
            options.Runs = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--keep")
            options.Keep = true;
        else
            throw std::runtime_error("unknown option " + arg);
    }
    if (options.Ffmpeg.empty())
        options.Ffmpeg = ProgramInPath("ffmpeg");
    options.Dir = fs::absolute(options.Dir);
    return options;
}

int Bench(const TOptions& options) {
    fs::create_directories(options.Dir);
    std::printf("lorvane-cli %s, ffmpeg %s\n", options.Cli.c_str(), options.Ffmpeg.c_str());
    const std::vector<fs::path> files = MakeInput(options);
    std::printf("input: %d files, %d minutes, 64 kbit/s, 22050 Hz, mono\n", options.Files,
                options.Minutes);

    const fs::path home = options.Dir / "home";
    const fs::path cache = options.Dir / "cache";
    const fs::path out = options.Dir / "out";
    fs::create_directories(home);
    fs::create_directories(cache);
    std::string concat = "concat:";
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0)
            concat += '|';
        concat += files[i].string();
    }

    std::vector<double> cliTimes, plainTimes, cliCpu, plainCpu, peaks;
    auto runCli = [&] {
        fs::remove_all(out);
        const TChildRun cli =
            RunChild({options.Cli.string(), "build", "--yes", "--hours", "10", "--output",
                      out.string(), "--author", "Bench", "--title", "Bench", "--album", "Bench",
                      (options.Dir / "input").string()},
                     {"HOME=" + home.string(), "XDG_CACHE_HOME=" + cache.string(),
                      "LORVANE_FFMPEG=" + options.Ffmpeg.string(), "LORVANE_REPORT_PEAK_RSS=1"},
                     options.Dir / "cli.err");
        MustSucceed(cli, "lorvane-cli build");
        if (!fs::exists(out / "Bench" / "Bench - Bench_001.m4b"))
            throw std::runtime_error("lorvane-cli made no M4B file:\n" + cli.Err);
        cliTimes.push_back(cli.Seconds);
        cliCpu.push_back(cli.CpuSeconds);
        peaks.push_back(PeakRssMiB(cli.Err));
        return cli;
    };
    auto runPlain = [&] {
        const TChildRun plain = RunChild({options.Ffmpeg.string(), "-nostdin", "-loglevel", "error",
                                          "-y", "-i", concat, (options.Dir / "plain.m4a").string()},
                                         {}, options.Dir / "plain.err");
        MustSucceed(plain, "plain ffmpeg");
        plainTimes.push_back(plain.Seconds);
        plainCpu.push_back(plain.CpuSeconds);
        return plain;
    };
    for (int run = 0; run < options.Runs; ++run) {
        // Alternating the order, so that a change in the machine's load hits both alike.
        TChildRun cli, plain;
        if (run % 2 == 0) {
            cli = runCli();
            plain = runPlain();
        } else {
            plain = runPlain();
            cli = runCli();
        }
        std::printf("run %d: lorvane-cli %.2f s (cpu %.2f s), plain ffmpeg %.2f s (cpu %.2f s)\n",
                    run + 1, cli.Seconds, cli.CpuSeconds, plain.Seconds, plain.CpuSeconds);
    }
    const double cliTime = Median(cliTimes), plainTime = Median(plainTimes);
    const double ratio = cliTime / plainTime, peak = Median(peaks);
    std::printf("  %-24s %.2f s (cpu %.2f s, encoder included)\n", "lorvane-cli build", cliTime,
                Median(cliCpu));
    std::printf("  %-24s %.2f s (cpu %.2f s)\n", "plain ffmpeg (concat)", plainTime,
                Median(plainCpu));
    std::printf("  %-24s %.3f (target at most %.2f: %s)\n", "ratio", ratio, kTargetRatio,
                ratio <= kTargetRatio ? "met" : "missed");
    std::printf("  %-24s %.3f\n", "cpu ratio", Median(cliCpu) / Median(plainCpu));
    std::printf("  %-24s %.2f MiB (target under %.0f MiB: %s)\n", "peak RSS of lorvane-cli", peak,
                kTargetRssMiB, peak < kTargetRssMiB ? "met" : "missed");
    if (!options.Keep)
        fs::remove_all(options.Dir);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Bench(ParseOptions(argc, argv));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_job: %s\n", error.what());
        return 1;
    }
}
