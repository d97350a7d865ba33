// A whole job against the encoder alone: builds an audiobook of one, two and four parts
// from that many hours of generated MP3 audio with `lorvane-cli build` (one format, so
// nothing is re-encoded; parts of an hour, converted side by side), and converts the
// same audio with one plain ffmpeg command (the concat protocol to ".m4a"). Prints both
// times, their ratio and the peak resident memory of lorvane-cli itself; the encoder's
// processes are not counted (the command reports its own getrusage(RUSAGE_SELF) when
// LORVANE_REPORT_PEAK_RSS is set).
//
// Then a book with four files in another format than the rest: the time until the
// preprocessing is over (the analysis and the re-encodings), with one encoder as before (one
// re-encoding at a time) against the encoders of all cores the command may use.
//
// Medians over several runs, the two commands taking turns in going first.
//
// bench_job [--dir DIR] [--cli PATH] [--ffmpeg PATH] [--minutes N] [--files N]
//           [--parts 1,2,4 ("": none)] [--reencode-minutes N (0: none)] [--runs N] [--keep]

#include <algorithm>
#include <chrono>
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

constexpr double kTargetRatio = 1.02;
// Two parts on two cores: two encoders side by side, barely more than half the time.
constexpr double kTargetRatioTwoParts = 0.55;
constexpr double kTargetRssMiB = 50.0;
// Four re-encodings on two cores: two at a time.
constexpr double kTargetRatioReencode = 0.6;

struct TOptions {
    fs::path Dir = fs::path(LORVANE_BENCH_DATA_DIR) / "job";
    fs::path Cli = LORVANE_CLI_PATH;
    fs::path Ffmpeg;
    int Minutes = 60; // per part
    int Files = 6;    // per part
    std::vector<int> Parts = {1, 2, 4};
    int ReencodeMinutes = 20; // per file in another format
    int Runs = 3;
    bool Keep = false;
};

// The format of a generated file: kbit/s, Hz, channels.
struct TFormat {
    int Kbit = 64;
    int Rate = 22050;
    int Channels = 1;
};

// A tone that changes pitch, so that the encoder has something to do.
void MakeFile(const TOptions& options, const fs::path& file, int index, int seconds,
              const TFormat& format) {
    if (fs::exists(file))
        return;
    const std::string source = "sine=frequency=" + std::to_string(220 + 40 * index) +
                               ":beep_factor=3:sample_rate=" + std::to_string(format.Rate) +
                               ":duration=" + std::to_string(seconds);
    MustSucceed(RunChild({options.Ffmpeg.string(), "-nostdin", "-loglevel", "error", "-y", "-f",
                          "lavfi", "-i", source, "-ac", std::to_string(format.Channels), "-c:a",
                          "libmp3lame", "-b:a", std::to_string(format.Kbit) + "k", file.string()},
                         {}, options.Dir / "make.err"),
                "making the input");
}

fs::path ChapterName(const fs::path& folder, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "Kapitel %02d.mp3", index + 1);
    return folder / name;
}

// Speech-like input at a usual audiobook format: 64 kbit/s, 22050 Hz, mono.
std::vector<fs::path> MakeInput(const TOptions& options, int parts) {
    const fs::path folder = options.Dir / ("input-" + std::to_string(parts));
    fs::create_directories(folder);
    std::vector<fs::path> files;
    for (int i = 0; i < options.Files * parts; ++i) {
        files.push_back(ChapterName(folder, i));
        MakeFile(options, files.back(), i, options.Minutes * 60 / options.Files, {});
    }
    return files;
}

std::vector<std::string> CliEnvironment(const TOptions& options) {
    return {"HOME=" + (options.Dir / "home").string(),
            "XDG_CACHE_HOME=" + (options.Dir / "cache").string(),
            "LORVANE_FFMPEG=" + options.Ffmpeg.string()};
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
    for (TArgs args(argc, argv); args.Next();) {
        const std::string arg = args.Name();
        if (arg == "--dir")
            options.Dir = args.Value();
        else if (arg == "--cli")
            options.Cli = args.Value();
        else if (arg == "--ffmpeg")
            options.Ffmpeg = args.Value();
        else if (arg == "--minutes")
            options.Minutes = std::max(1, std::atoi(args.Value().c_str()));
        else if (arg == "--files")
            options.Files = std::max(1, std::atoi(args.Value().c_str()));
        else if (arg == "--parts") {
            options.Parts.clear();
            std::string list = args.Value();
            for (std::size_t at = 0; at < list.size();) {
                const std::size_t comma = std::min(list.find(',', at), list.size());
                options.Parts.push_back(
                    std::max(1, std::atoi(list.substr(at, comma - at).c_str())));
                at = comma + 1;
            }
        } else if (arg == "--reencode-minutes")
            options.ReencodeMinutes = std::max(0, std::atoi(args.Value().c_str()));
        else if (arg == "--runs")
            options.Runs = std::max(1, std::atoi(args.Value().c_str()));
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

// The job of `parts` parts against the plain encoder; the ratio of their median times.
double BenchParts(const TOptions& options, int parts) {
    const std::vector<fs::path> files = MakeInput(options, parts);
    std::printf("\n%d part(s): %zu files, %d minutes, 64 kbit/s, 22050 Hz, mono\n", parts,
                files.size(), options.Minutes * parts);

    const fs::path out = options.Dir / "out";
    std::string concat = "concat:";
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0)
            concat += '|';
        concat += files[i].string();
    }

    std::vector<double> cliTimes, plainTimes, cliCpu, plainCpu, peaks;
    auto runCli = [&] {
        fs::remove_all(out);
        const TChildRun cli = RunChild(
            {options.Cli.string(), "build", "--yes", "--exact-size", "--hours",
             parts == 1 ? std::string("10") : std::to_string(std::max(1, options.Minutes / 60)),
             "--output", out.string(), "--author", "Bench", "--title", "Bench", "--album", "Bench",
             files.front().parent_path().string()},
            [&] {
                std::vector<std::string> env = CliEnvironment(options);
                env.push_back("LORVANE_REPORT_PEAK_RSS=1");
                return env;
            }(),
            options.Dir / "cli.err");
        MustSucceed(cli, "lorvane-cli build");
        std::size_t made = 0;
        for (const auto& entry : fs::directory_iterator(out / "Bench")) {
            made += entry.path().extension() == ".m4b" ? 1 : 0;
        }
        if (made != static_cast<std::size_t>(parts))
            throw std::runtime_error("lorvane-cli made " + std::to_string(made) +
                                     " M4B files, not " + std::to_string(parts) + ":\n" + cli.Err);
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
    const double target = parts == 1 ? kTargetRatio : parts == 2 ? kTargetRatioTwoParts : 0;
    if (target > 0) {
        std::printf("  %-24s %.3f (target at most %.2f: %s)\n", "ratio", ratio, target,
                    ratio <= target ? "met" : "missed");
    } else {
        std::printf("  %-24s %.3f\n", "ratio", ratio);
    }
    std::printf("  %-24s %.3f\n", "cpu ratio", Median(cliCpu) / Median(plainCpu));
    std::printf("  %-24s %.2f MiB (target under %.0f MiB: %s)\n", "peak RSS of lorvane-cli", peak,
                kTargetRssMiB, peak < kTargetRssMiB ? "met" : "missed");
    return ratio;
}

// A progress line ("N% | first line | second line") of a later phase than the
// preprocessing: the joining, or with a book joined faster than a status update the
// conversion.
bool PreprocessingOver(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            return false;
        const std::string line = text.substr(at, end - at);
        if (line.find("% | ") != std::string::npos &&
            line.find("Vorverarbeitung") == std::string::npos)
            return true;
        at = end + 1;
    }
    return false;
}

// Seconds from the start of the command until its preprocessing is over; the command is
// interrupted then. jobs 0: the command's default.
double PreprocessingSeconds(const TOptions& options, const fs::path& folder, int jobs) {
    fs::remove_all(options.Dir / "out");
    std::vector<std::string> args = {options.Cli.string(), "build", "--yes", "--exact-size"};
    if (jobs > 0) {
        args.insert(args.end(), {"--jobs", std::to_string(jobs)});
    }
    args.insert(args.end(),
                {"--output", (options.Dir / "out").string(), "--album", "Bench", folder.string()});
    const auto start = std::chrono::steady_clock::now();
    // The progress lines go to the error output.
    TChildOutput cli(args, CliEnvironment(options), TChildStream::Err);
    std::string text;
    char buffer[4096];
    while (const std::size_t got = cli.Read(buffer, sizeof buffer)) {
        text.append(buffer, got);
        if (PreprocessingOver(text)) {
            const double seconds = SecondsSince(start);
            cli.Interrupt();
            return seconds;
        }
    }
    cli.Finish();
    throw std::runtime_error("lorvane-cli never got past the preprocessing:\n" + text);
}

// Five files of a minute in the book's format, four in another one (128 kbit/s, 44100 Hz,
// stereo) between them: one encoder against the default.
double BenchReencode(const TOptions& options) {
    const fs::path folder = options.Dir / "input-reencode";
    fs::create_directories(folder);
    for (int i = 0; i < 9; ++i) {
        const bool other = i % 2 == 1;
        MakeFile(options, ChapterName(folder, i), i, other ? options.ReencodeMinutes * 60 : 60,
                 other ? TFormat{128, 44100, 2} : TFormat{});
    }
    std::printf("\nre-encoding: 4 files of %d minutes at 128 kbit/s, 44100 Hz, stereo among 5 "
                "at 64 kbit/s, 22050 Hz, mono\n",
                options.ReencodeMinutes);
    std::vector<double> one, all;
    for (int run = 0; run < options.Runs; ++run) {
        const bool oneFirst = run % 2 == 0;
        const double first = PreprocessingSeconds(options, folder, oneFirst ? 1 : 0);
        const double second = PreprocessingSeconds(options, folder, oneFirst ? 0 : 1);
        one.push_back(oneFirst ? first : second);
        all.push_back(oneFirst ? second : first);
        std::printf("run %d: one encoder %.2f s, all cores %.2f s\n", run + 1, one.back(),
                    all.back());
    }
    const double ratio = Median(all) / Median(one);
    std::printf("  %-24s %.2f s\n", "one encoder (as before)", Median(one));
    std::printf("  %-24s %.2f s\n", "all cores", Median(all));
    std::printf("  %-24s %.3f (target at most %.2f: %s)\n", "ratio", ratio, kTargetRatioReencode,
                ratio <= kTargetRatioReencode ? "met" : "missed");
    return ratio;
}

int Bench(const TOptions& options) {
    fs::create_directories(options.Dir);
    fs::create_directories(options.Dir / "home");
    fs::create_directories(options.Dir / "cache");
    std::printf("lorvane-cli %s, ffmpeg %s\n", options.Cli.c_str(), options.Ffmpeg.c_str());
    std::vector<std::pair<int, double>> ratios;
    for (const int parts : options.Parts) {
        ratios.emplace_back(parts, BenchParts(options, parts));
    }
    const double reencode = options.ReencodeMinutes > 0 ? BenchReencode(options) : 0;
    if (!ratios.empty()) {
        std::printf("\nratios against one plain ffmpeg run:");
        for (const auto& [parts, ratio] : ratios) {
            std::printf(" %d part(s) %.3f;", parts, ratio);
        }
        std::printf("\n");
    }
    if (reencode > 0) {
        std::printf("re-encoding with all cores against one encoder: %.3f\n", reencode);
    }
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
