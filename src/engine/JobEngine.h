#pragma once
// The engine objects of one job, made and configured as the progress window's
// creation does: the analyser in the complete scan mode, the tag writer, and for each
// worker thread a console runner with its three pipes. The controller owns one per job
// and frees it only after both threads have ended.

#include "audio/Mp3Files.h"
#include "engine/prozess/RoConsoleApp.h"
#include "engine/prozess/RoPipe.h"
#include "id3v2/ID3v2Tags.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace lorvane {

// A console runner with its three pipes, set up as the engine's own.
struct TEncoderPlatz {
    TEncoderPlatz();
    TEncoderPlatz(const TEncoderPlatz&) = delete;
    TEncoderPlatz& operator=(const TEncoderPlatz&) = delete;

    TRoPipe InPipe;
    TRoPipe OutPipe;
    TRoPipe ErrPipe;
    TRoConsoleApp ConsoleApp;
};

// What one encoder thread works with.
struct TEncoderLaeufer {
    TRoConsoleApp& App;
    TRoPipe& InPipe;
    TRoPipe& OutPipe;
    TRoPipe& ErrPipe;
};

struct TJobEngine {
    // Input pipes of size 1, the other four of the default size, all inheritable; each
    // runner is set up for the encoder on its three pipes (EncoderRunnerEinrichten).
    TJobEngine();
    TJobEngine(const TJobEngine&) = delete;
    TJobEngine& operator=(const TJobEngine&) = delete;

    // Used by the joiner only.
    TMP3File Mp3File;
    TID3v2Tag Id3v2Tag;
    // Declared before the runners, which hold their handles.
    TRoPipe Mp3InPipe;
    TRoPipe Mp3OutPipe;
    TRoPipe Mp3ErrPipe;
    TRoPipe ConvertInPipe;
    TRoPipe ConvertOutPipe;
    TRoPipe ConvertErrPipe;
    TRoConsoleApp Mp3ConsoleApp;
    TRoConsoleApp ConvertConsoleApp;

    // Runners for converters beyond the first, made before the threads start.
    void ConverterAnlegen(std::int32_t anzahl);
    std::int32_t ConverterAnzahl() const;
    // Converter k's runner: the first converter's is ConvertConsoleApp with its pipes.
    TEncoderLaeufer Converter(std::int32_t k);
    // Each converter made takes the next runner.
    std::int32_t ConverterPlatzNehmen() { return fNaechsterConverter++; }

    // The runners that re-encode files ahead of the joiner, at least one; made before
    // the threads start, so that the controller can stop them at any time.
    void UmkodiererAnlegen(std::int32_t anzahl);
    std::int32_t UmkodiererAnzahl() const;
    // Re-encoder k's runner, 0 <= k < UmkodiererAnzahl().
    TEncoderLaeufer Umkodierer(std::int32_t k);
    // The runners of the joiner's side: its own (the silence detection's), then the
    // re-encoders'.
    std::vector<TEncoderLaeufer> JoinerLaeufer();

private:
    std::vector<std::unique_ptr<TEncoderPlatz>> fWeitereConverter;
    std::vector<std::unique_ptr<TEncoderPlatz>> fUmkodierer;
    std::atomic<std::int32_t> fNaechsterConverter{0};
};

} // namespace lorvane
