#include "engine/JobEngine.h"

namespace lorvane {

namespace {

void RunnerEinrichten(TRoConsoleApp& app, const TRoPipe& ein, const TRoPipe& aus,
                      const TRoPipe& fehler) {
    app.SetStdIn(ein.ReadHandle());
    app.SetStdOut(aus.WriteHandle());
    app.SetStdErr(fehler.WriteHandle());
    app.SetTimeSlice(kEncoderTimeSlice);
    app.SetKillTimedOutProcess(false);
    app.SetMaxExecTime(RoInfinite);
    app.SetVisible(false);
}

} // namespace

TJobEngine::TJobEngine()
    : Mp3InPipe(1, true), Mp3OutPipe(0, true), Mp3ErrPipe(0, true), ConvertInPipe(1, true),
      ConvertOutPipe(0, true), ConvertErrPipe(0, true) {
    Mp3File.SetMpegScanMode(MPEG_SCAN_Complete);
    RunnerEinrichten(Mp3ConsoleApp, Mp3InPipe, Mp3OutPipe, Mp3ErrPipe);
    RunnerEinrichten(ConvertConsoleApp, ConvertInPipe, ConvertOutPipe, ConvertErrPipe);
}

} // namespace lorvane
