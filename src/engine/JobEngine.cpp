#include "engine/JobEngine.h"

#include "engine/encoder/FfmpegAufruf.h"

namespace lorvane {

TJobEngine::TJobEngine()
    : Mp3InPipe(1, true), Mp3OutPipe(0, true), Mp3ErrPipe(0, true), ConvertInPipe(1, true),
      ConvertOutPipe(0, true), ConvertErrPipe(0, true) {
    Mp3File.SetMpegScanMode(MPEG_SCAN_Complete);
    EncoderRunnerEinrichten(Mp3ConsoleApp, Mp3InPipe, Mp3OutPipe, Mp3ErrPipe);
    EncoderRunnerEinrichten(ConvertConsoleApp, ConvertInPipe, ConvertOutPipe, ConvertErrPipe);
}

} // namespace lorvane
