#pragma once
// The engine objects of one job, made and configured as the progress window's
// creation does: the analyser in the complete scan mode, the tag writer, and for each
// worker thread a console runner with its three pipes. The controller owns one per job
// and frees it only after both threads have ended.

#include "audio/Mp3Files.h"
#include "engine/prozess/RoConsoleApp.h"
#include "engine/prozess/RoPipe.h"
#include "id3v2/ID3v2Tags.h"

namespace lorvane {

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
};

} // namespace lorvane
