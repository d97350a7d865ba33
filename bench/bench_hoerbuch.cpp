// A long book end to end: 40 MP3 files of 15 minutes (mono, 22050 Hz, 32 kbit/s, LAME
// with its Info frame), each half a second of silence and then a tone of its own
// frequency, built with `lorvane-cli build -y -s 5` into parts of about five hours. The
// parts are decoded again and the tones found in them:
// - chapter error: each chapter's start against where its file's audio begins in the
//   parts, which is the tone's onset less the silence found before it in the source;
// - lost and added audio: the decoded length of all parts against the sources, and at
//   each join the tone of the files there against their tone in the source;
// - size: the bytes of the M4B files against those of the MP3 files.
// The input stays under the build folder and is reused; the job gets a folder of its own,
// removed afterwards unless --keep is given.
//
// bench_hoerbuch [--dir DIR] [--cli PATH] [--ffmpeg PATH] [--files N] [--minutes N]
//                [--hours N] [--keep] [--list]

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <map>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "ToneScan.h"

namespace {

using namespace lorvane::bench;
namespace fs = std::filesystem;

constexpr int kRate = 22050;
constexpr int kLeadSamples = kRate / 2;
constexpr int kBaseHz = 200;
constexpr int kStepHz = 90;
constexpr double kGoalChapterMs = 30.0;
constexpr double kGoalRatio = 1.10;
constexpr double kMiB = 1024.0 * 1024.0;

struct TOptions {
    fs::path Dir = fs::path(LORVANE_BENCH_DATA_DIR) / "hoerbuch";
    fs::path Cli = LORVANE_CLI_PATH;
    fs::path Ffmpeg;
    fs::path Ffprobe;
    int Files = 40;
    int Minutes = 15;
    int Hours = 5;
    bool Keep = false;
    bool List = false; // every chapter and every tone length
};

struct TSource {
    fs::path File;
    std::string Name;
    int Hz = 0;
};

double Ms(double samples) {
    return samples * 1000.0 / kRate;
}

std::string Clock(double seconds) {
    const auto ms = static_cast<long long>(std::llround(seconds * 1000.0));
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return text;
}

struct TProbe {
    double Seconds = 0;
    std::vector<std::pair<double, std::string>> Chapters; // start in seconds, title
};

TProbe Probe(const TOptions& options, const fs::path& file) {
    std::istringstream lines(ChildOutput({options.Ffprobe.string(), "-v", "error", "-show_entries",
                                          "format=duration:chapter=start_time:chapter_tags=title",
                                          "-of", "default=noprint_wrappers=1", file.string()}));
    TProbe probe;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("duration=", 0) == 0)
            probe.Seconds = std::atof(line.c_str() + 9);
        else if (line.rfind("start_time=", 0) == 0)
            probe.Chapters.emplace_back(std::atof(line.c_str() + 11), "");
        else if (line.rfind("TAG:title=", 0) == 0 && !probe.Chapters.empty())
            probe.Chapters.back().second = line.substr(10);
    }
    return probe;
}

std::vector<TSource> Sources(const TOptions& options) {
    std::vector<TSource> sources;
    for (int i = 0; i < options.Files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Kapitel %02d", i + 1);
        sources.push_back(
            {options.Dir / "input" / (std::string(name) + ".mp3"), name, kBaseHz + kStepHz * i});
    }
    return sources;
}

// Half a second of digital silence, then the tone up to the file's length. Written under
// another name first, so that an interrupted run leaves no short file to be reused.
void MakeSource(const TOptions& options, const TSource& source) {
    char tone[96];
    std::snprintf(tone, sizeof tone, "sine=frequency=%d:sample_rate=%d:duration=%.1f", source.Hz,
                  kRate, options.Minutes * 60.0 - 0.5);
    std::string lead = "anullsrc=channel_layout=mono:sample_rate=";
    lead += std::to_string(kRate);
    std::string graph = "[0:a]atrim=end_sample=";
    graph += std::to_string(kLeadSamples);
    graph += "[lead];[lead][1:a]concat=n=2:v=0:a=1";
    fs::path temporary = source.File;
    temporary += ".tmp";
    const TChildRun run = RunChild({options.Ffmpeg.string(),
                                    "-nostdin",
                                    "-loglevel",
                                    "error",
                                    "-y",
                                    "-f",
                                    "lavfi",
                                    "-i",
                                    lead,
                                    "-f",
                                    "lavfi",
                                    "-i",
                                    tone,
                                    "-filter_complex",
                                    graph,
                                    "-ac",
                                    "1",
                                    "-c:a",
                                    "libmp3lame",
                                    "-b:a",
                                    "32k",
                                    "-f",
                                    "mp3",
                                    temporary.string()},
                                   {}, temporary.string() + ".err");
    fs::remove(temporary.string() + ".err");
    MustSucceed(run, "making the input");
    fs::rename(temporary, source.File);
}

// The missing files, two encoders at a time.
void MakeInput(const TOptions& options, const std::vector<TSource>& sources) {
    fs::create_directories(options.Dir / "input");
    std::vector<const TSource*> missing;
    for (const TSource& source : sources)
        if (!fs::exists(source.File))
            missing.push_back(&source);
    if (missing.empty()) {
        std::printf("input: reused\n");
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    std::atomic<std::size_t> next{0};
    std::size_t done = 0;
    std::mutex lock;
    std::exception_ptr failure;
    auto work = [&] {
        for (std::size_t i = next++; i < missing.size(); i = next++) {
            try {
                MakeSource(options, *missing[i]);
            } catch (...) {
                const std::lock_guard guard(lock);
                failure = std::current_exception();
                next = missing.size();
                return;
            }
            const std::lock_guard guard(lock);
            std::printf("  made %zu/%zu: %s (%d Hz) after %.0f s\n", ++done, missing.size(),
                        missing[i]->File.filename().c_str(), missing[i]->Hz, SecondsSince(start));
            std::fflush(stdout);
        }
    };
    std::thread second(work);
    work();
    second.join();
    if (failure)
        std::rethrow_exception(failure);
    std::printf("input: made %zu files in %.1f s\n", missing.size(), SecondsSince(start));
}

// The file a tone belongs to by its pitch; -1 for none.
int FileOfTone(const TTone& tone, int files) {
    const long k = std::lround((tone.Hz - kBaseHz) / kStepHz);
    if (k < 0 || k >= files || std::abs(tone.Hz - (kBaseHz + kStepHz * k)) > kStepHz / 3.0)
        return -1;
    return static_cast<int>(k);
}

struct TPart {
    fs::path File;
    TProbe Probe;
    TScan Scan;
};

// What was measured, before anything is compared.
struct TBook {
    std::vector<TSource> Sources;
    std::vector<TTone> SourceTones;
    std::int64_t SourceSamples = 0;
    double SourceSeconds = 0; // by ffprobe
    double SourceBytes = 0;
    std::vector<TPart> Parts;
    std::int64_t PartSamples = 0;
    double PartSeconds = 0;
    double PartBytes = 0;
    // For each file the tones of its pitch: the part and where in it.
    std::vector<std::vector<std::pair<std::size_t, TTone>>> Pieces;
    int UnknownTones = 0;

    double ToneIn(std::size_t file, std::size_t part) const {
        std::int64_t samples = 0;
        for (const auto& [p, tone] : Pieces[file])
            if (p == part)
                samples += tone.End - tone.Begin;
        return static_cast<double>(samples);
    }
    double SourceTone(std::size_t file) const {
        return static_cast<double>(SourceTones[file].End - SourceTones[file].Begin);
    }
};

std::vector<fs::path> M4bFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".m4b")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TBook Analyse(const TOptions& options, const std::vector<TSource>& sources,
              const std::vector<fs::path>& m4bFiles) {
    TBook book;
    book.Sources = sources;
    book.Pieces.resize(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const TScan scan = ScanTones(options.Ffmpeg, sources[i].File, kRate);
        if (scan.Tones.size() != 1 ||
            FileOfTone(scan.Tones[0], options.Files) != static_cast<int>(i))
            throw std::runtime_error("no single tone of the right pitch found in " +
                                     sources[i].File.string());
        book.SourceTones.push_back(scan.Tones[0]);
        book.SourceSamples += scan.Samples;
        book.SourceSeconds += Probe(options, sources[i].File).Seconds;
        book.SourceBytes += static_cast<double>(fs::file_size(sources[i].File));
    }
    for (const fs::path& file : m4bFiles) {
        const std::size_t p = book.Parts.size();
        book.Parts.push_back({file, Probe(options, file), ScanTones(options.Ffmpeg, file, kRate)});
        const TPart& part = book.Parts.back();
        book.PartSamples += part.Scan.Samples;
        book.PartSeconds += part.Probe.Seconds;
        book.PartBytes += static_cast<double>(fs::file_size(file));
        for (const TTone& tone : part.Scan.Tones) {
            const int k = FileOfTone(tone, options.Files);
            if (k < 0)
                ++book.UnknownTones;
            else
                book.Pieces[static_cast<std::size_t>(k)].emplace_back(p, tone);
        }
    }
    return book;
}

enum class TKind {
    Measured,
    Continued, // the rest of a file begun in the part before, at the part's start
    NoTone,    // the file's tone is not in this part: it was cut within the lead silence
};

struct TChapter {
    std::size_t File = 0;
    double Start = 0; // in seconds
    TKind Kind = TKind::NoTone;
    double ErrorMs = 0;
};

struct TErrors {
    double Max = 0;
    double Sum = 0;
    int Count = 0;
    void Add(double ms) {
        Max = std::max(Max, std::abs(ms));
        Sum += std::abs(ms);
        ++Count;
    }
    double Mean() const { return Count > 0 ? Sum / Count : 0; }
};

// Each part's chapters with the error of those whose file's tone begins in the part:
// the chapter's start less where the file's audio begins, the tone's onset less the
// silence before it in the source. Positive when the chapter comes late.
std::vector<std::vector<TChapter>> Chapters(const TBook& book) {
    std::map<std::string, std::size_t> fileByName;
    for (std::size_t k = 0; k < book.Sources.size(); ++k)
        fileByName[book.Sources[k].Name] = k;
    std::vector<bool> seen(book.Sources.size(), false);
    std::vector<std::vector<TChapter>> chapters(book.Parts.size());
    for (std::size_t p = 0; p < book.Parts.size(); ++p) {
        for (const auto& [start, title] : book.Parts[p].Probe.Chapters) {
            const auto found = fileByName.find(title);
            if (found == fileByName.end())
                throw std::runtime_error("a chapter of no source: " + title);
            TChapter chapter{found->second, start, TKind::NoTone, 0};
            const auto& pieces = book.Pieces[chapter.File];
            const auto here = std::find_if(pieces.begin(), pieces.end(),
                                           [&](const auto& piece) { return piece.first == p; });
            if (seen[chapter.File]) {
                chapter.Kind = TKind::Continued;
            } else if (here != pieces.end()) {
                const auto audio = here->second.Begin - book.SourceTones[chapter.File].Begin;
                chapter.Kind = TKind::Measured;
                chapter.ErrorMs = Ms(start * kRate - static_cast<double>(audio));
            }
            seen[chapter.File] = true;
            chapters[p].push_back(chapter);
        }
    }
    return chapters;
}

std::string Cell(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string ChapterCell(const TBook& book, const TChapter* chapter) {
    if (chapter == nullptr)
        return "-";
    std::string text = book.Sources[chapter->File].Name;
    text += Cell(" %+.1f ms", chapter->ErrorMs);
    return text;
}

std::string KindCell(const TChapter& chapter) {
    if (chapter.Kind == TKind::Measured)
        return Cell("%+.1f ms", chapter.ErrorMs);
    return chapter.Kind == TKind::Continued ? "continued" : "no tone in the part";
}

struct TChapterFigures {
    TErrors All;
    TErrors Inner; // without the chapters at a part's very start
    int Unmeasured = 0;
};

TChapterFigures PrintChapters(const TBook& book, const std::vector<std::vector<TChapter>>& chapters,
                              bool list) {
    TChapterFigures figures;
    std::size_t count = 0;
    std::printf("%-5s %-24s %-13s %-10s %-20s %-20s %-9s %s\n", "part", "chapters", "length",
                "size", "first chapter", "last chapter", "max|err|", "mean|err|");
    for (std::size_t p = 0; p < chapters.size(); ++p) {
        TErrors errors;
        int continued = 0, noTone = 0;
        const TChapter *first = nullptr, *last = nullptr;
        for (const TChapter& chapter : chapters[p]) {
            if (list)
                std::printf("  part %zu %-12s %12.3f s %s\n", p + 1,
                            book.Sources[chapter.File].Name.c_str(), chapter.Start,
                            KindCell(chapter).c_str());
            continued += chapter.Kind == TKind::Continued ? 1 : 0;
            noTone += chapter.Kind == TKind::NoTone ? 1 : 0;
            if (chapter.Kind != TKind::Measured)
                continue;
            errors.Add(chapter.ErrorMs);
            figures.All.Add(chapter.ErrorMs);
            if (chapter.Start > 0)
                figures.Inner.Add(chapter.ErrorMs);
            first = first != nullptr ? first : &chapter;
            last = &chapter;
        }
        count += chapters[p].size();
        figures.Unmeasured += noTone;
        std::string cell = std::to_string(chapters[p].size());
        if (continued > 0 || noTone > 0) {
            cell += " (";
            cell += std::to_string(continued);
            cell += " cont., ";
            cell += std::to_string(noTone);
            cell += " no tone)";
        }
        const TPart& part = book.Parts[p];
        std::printf("%-5zu %-24s %-13s %-10s %-20s %-20s %-9s %s\n", p + 1, cell.c_str(),
                    Clock(static_cast<double>(part.Scan.Samples) / kRate).c_str(),
                    Cell("%.1f MiB", static_cast<double>(fs::file_size(part.File)) / kMiB).c_str(),
                    ChapterCell(book, first).c_str(), ChapterCell(book, last).c_str(),
                    Cell("%.1f ms", errors.Max).c_str(), Cell("%.1f ms", errors.Mean()).c_str());
    }
    std::printf("%-5s %-24zu %-13s %-10s %-41s %-9s %s (%d measured)\n", "all", count,
                Clock(static_cast<double>(book.PartSamples) / kRate).c_str(),
                Cell("%.1f MiB", book.PartBytes / kMiB).c_str(), "",
                Cell("%.1f ms", figures.All.Max).c_str(),
                Cell("%.1f ms", figures.All.Mean()).c_str(), figures.All.Count);
    std::printf("without the chapters at 0 s: max|err| %.1f ms, mean|err| %.1f ms (%d)\n\n",
                figures.Inner.Max, figures.Inner.Mean(), figures.Inner.Count);
    return figures;
}

// Lost and added audio: over all, and at each join the tone of the files there against
// their tone in the source, with the silence on either side of the cut.
void PrintLengths(const TBook& book, const std::vector<std::vector<TChapter>>& chapters,
                  bool list) {
    std::printf("length: parts %.3f s decoded (ffprobe %.3f s), sources %.3f s decoded "
                "(ffprobe %.3f s)\n",
                static_cast<double>(book.PartSamples) / kRate, book.PartSeconds,
                static_cast<double>(book.SourceSamples) / kRate, book.SourceSeconds);
    const double added = Ms(static_cast<double>(book.PartSamples - book.SourceSamples));
    std::printf("  parts - sources: %+.1f ms decoded (%+.1f ms per source file), %+.1f ms by "
                "ffprobe\n",
                added, added / static_cast<double>(book.Sources.size()),
                (book.PartSeconds - book.SourceSeconds) * 1000.0);
    std::vector<bool> atJoin(book.Sources.size(), false);
    for (std::size_t p = 0; p + 1 < book.Parts.size(); ++p) {
        if (chapters[p].empty() || chapters[p + 1].empty())
            continue;
        const TPart &a = book.Parts[p], &b = book.Parts[p + 1];
        const std::size_t before = chapters[p].back().File, after = chapters[p + 1].front().File;
        std::printf("join %zu|%zu: ", p + 1, p + 2);
        if (before == after) {
            const double next = chapters[p + 1].size() > 1
                                    ? chapters[p + 1][1].Start
                                    : static_cast<double>(b.Scan.Samples) / kRate;
            std::printf("%s split, its chapter lasting %.3f s in part %zu and %.3f s in part %zu\n",
                        book.Sources[before].Name.c_str(),
                        std::max(0.0, static_cast<double>(a.Scan.Samples) / kRate -
                                          chapters[p].back().Start),
                        p + 1, next, p + 2);
        } else {
            std::printf("between %s and %s\n", book.Sources[before].Name.c_str(),
                        book.Sources[after].Name.c_str());
        }
        for (const std::size_t k :
             before == after ? std::vector{before} : std::vector{before, after}) {
            atJoin[k] = true;
            const double inA = book.ToneIn(k, p), inB = book.ToneIn(k, p + 1);
            std::printf("  tone of %s: %.3f s in part %zu + %.3f s in part %zu against %.3f s in "
                        "the source: %+.1f ms\n",
                        book.Sources[k].Name.c_str(), inA / kRate, p + 1, inB / kRate, p + 2,
                        book.SourceTone(k) / kRate, Ms(inA + inB - book.SourceTone(k)));
        }
        const std::int64_t tail =
            a.Scan.Tones.empty() ? a.Scan.Samples : a.Scan.Samples - a.Scan.Tones.back().End;
        const std::int64_t head = b.Scan.Tones.empty() ? b.Scan.Samples : b.Scan.Tones[0].Begin;
        std::printf("  silence at the cut: %.1f ms after the last tone of part %zu, %.1f ms before "
                    "the first tone of part %zu (lead in a source: %.1f ms)\n",
                    Ms(static_cast<double>(tail)), p + 1, Ms(static_cast<double>(head)), p + 2,
                    Ms(static_cast<double>(book.SourceTones[after].Begin)));
    }
    double maxTone = 0;
    std::size_t worst = 0;
    int inner = 0, broken = 0;
    for (std::size_t k = 0; k < book.Sources.size(); ++k) {
        if (atJoin[k])
            continue;
        ++inner;
        broken += book.Pieces[k].size() != 1 ? 1 : 0;
        std::int64_t tone = 0;
        for (const auto& piece : book.Pieces[k])
            tone += piece.second.End - piece.second.Begin;
        const double difference = Ms(static_cast<double>(tone) - book.SourceTone(k));
        if (list)
            std::printf("  tone of %s: %+.1f ms against the source\n", book.Sources[k].Name.c_str(),
                        difference);
        if (std::abs(difference) > maxTone) {
            maxTone = std::abs(difference);
            worst = k;
        }
    }
    std::printf("tones away from the joins: %d files, max |length difference| %.1f ms (%s), %d "
                "not in one piece, %d tones of no file\n",
                inner, maxTone, inner > 0 ? book.Sources[worst].Name.c_str() : "-", broken,
                book.UnknownTones);
}

int Bench(const TOptions& options) {
    std::printf("lorvane-cli %s, ffmpeg %s\n", options.Cli.c_str(), options.Ffmpeg.c_str());
    std::printf("input: %d files of %d min (%.1f h), mono %d Hz, 32 kbit/s, in %s\n", options.Files,
                options.Minutes, options.Files * options.Minutes / 60.0, kRate,
                (options.Dir / "input").c_str());
    std::fflush(stdout);
    const std::vector<TSource> sources = Sources(options);
    MakeInput(options, sources);

    const fs::path work = options.Dir / "run";
    const fs::path out = work / "out";
    fs::remove_all(work);
    fs::create_directories(work / "home");
    fs::create_directories(work / "cache");
    std::printf("job: lorvane-cli build -y -s %d ...\n", options.Hours);
    std::fflush(stdout);
    const TChildRun job =
        RunChild({options.Cli.string(), "build", "-y", "-s", std::to_string(options.Hours), "-o",
                  out.string(), (options.Dir / "input").string()},
                 {"HOME=" + (work / "home").string(), "XDG_CACHE_HOME=" + (work / "cache").string(),
                  "LORVANE_FFMPEG=" + options.Ffmpeg.string()},
                 work / "cli.err");
    MustSucceed(job, "lorvane-cli build");
    const std::vector<fs::path> m4bFiles = M4bFiles(out);
    if (m4bFiles.empty())
        throw std::runtime_error("lorvane-cli made no M4B file:\n" + job.Err);
    std::printf("job: %.1f s (cpu %.1f s with the encoder), %zu M4B files\n", job.Seconds,
                job.CpuSeconds, m4bFiles.size());
    std::printf("decoding the sources and the parts ...\n");
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const TBook book = Analyse(options, sources, m4bFiles);
    std::printf("analysis: %.1f s\n\n", SecondsSince(start));

    const std::vector<std::vector<TChapter>> chapters = Chapters(book);
    const TChapterFigures figures = PrintChapters(book, chapters, options.List);
    PrintLengths(book, chapters, options.List);
    const double ratio = book.PartBytes / book.SourceBytes;
    std::printf("size: %.1f MiB of M4B / %.1f MiB of MP3 = %.3f\n", book.PartBytes / kMiB,
                book.SourceBytes / kMiB, ratio);

    // A chapter whose tone is not in its part cannot count as placed well.
    std::string note = Cell(" (%.1f ms past the chapters at 0 s)", figures.Inner.Max);
    if (figures.Unmeasured > 0) {
        note += ", ";
        note += std::to_string(figures.Unmeasured);
        note += figures.Unmeasured == 1 ? " chapter" : " chapters";
        note += " without the file's tone in the part";
    }
    const bool chaptersMet = figures.All.Max <= kGoalChapterMs && figures.Unmeasured == 0;
    std::printf("verdict: chapter error max %.1f ms%s (goal <= %.0f ms: %s), size ratio %.3f "
                "(goal <= %.1f: %s)\n",
                figures.All.Max, note.c_str(), kGoalChapterMs, chaptersMet ? "met" : "missed",
                ratio, kGoalRatio, ratio <= kGoalRatio ? "met" : "missed");
    if (!options.Keep)
        fs::remove_all(work);
    return 0;
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
        else if (arg == "--files")
            // The highest tone, 3710 Hz, stays well below the MP3 encoder's lowpass.
            options.Files = std::clamp(std::atoi(args.Value().c_str()), 1, 40);
        else if (arg == "--minutes")
            options.Minutes = std::max(1, std::atoi(args.Value().c_str()));
        else if (arg == "--hours")
            options.Hours = std::clamp(std::atoi(args.Value().c_str()), 1, 10);
        else if (arg == "--keep")
            options.Keep = true;
        else if (arg == "--list")
            options.List = true;
        else
            throw std::runtime_error("unknown option " + arg);
    }
    if (options.Ffmpeg.empty())
        options.Ffmpeg = ProgramInPath("ffmpeg");
    // ffprobe beside the chosen ffmpeg, else from PATH.
    options.Ffprobe = options.Ffmpeg.parent_path() / "ffprobe";
    if (!fs::exists(options.Ffprobe))
        options.Ffprobe = ProgramInPath("ffprobe");
    // A book of another shape gets a folder of its own, so that neither is reused wrongly.
    options.Dir = fs::absolute(options.Dir) /
                  (std::to_string(options.Files) + "x" + std::to_string(options.Minutes) + "min");
    return options;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Bench(ParseOptions(argc, argv));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_hoerbuch: %s\n", error.what());
        return 1;
    }
}
