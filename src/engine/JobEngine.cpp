#include "engine/JobEngine.h"

#include "engine/encoder/FfmpegAufruf.h"

namespace lorvane {

TJobEngine::TJobEngine()
    : Mp3InPipe(1, true), Mp3OutPipe(0, true), Mp3ErrPipe(0, true), ConvertInPipe(1, true),
      ConvertOutPipe(0, true), ConvertErrPipe(0, true) {
    Mp3File.SetMpegScanMode(MPEG_SCAN_Complete);
    EncoderRunnerEinrichten(Mp3ConsoleApp, Mp3InPipe, Mp3OutPipe, Mp3ErrPipe);
    EncoderRunnerEinrichten(ConvertConsoleApp, ConvertInPipe, ConvertOutPipe, ConvertErrPipe);
    UmkodiererAnlegen(1);
}

TEncoderPlatz::TEncoderPlatz() : InPipe(1, true), OutPipe(0, true), ErrPipe(0, true) {
    EncoderRunnerEinrichten(ConsoleApp, InPipe, OutPipe, ErrPipe);
}

void TJobEngine::ConverterAnlegen(std::int32_t anzahl) {
    while (ConverterAnzahl() < anzahl) {
        fWeitereConverter.push_back(std::make_unique<TEncoderPlatz>());
    }
}

std::int32_t TJobEngine::ConverterAnzahl() const {
    return 1 + static_cast<std::int32_t>(fWeitereConverter.size());
}

TEncoderLaeufer TJobEngine::Converter(std::int32_t k) {
    if (k <= 0 || k > static_cast<std::int32_t>(fWeitereConverter.size())) {
        return {ConvertConsoleApp, ConvertInPipe, ConvertOutPipe, ConvertErrPipe};
    }
    TEncoderPlatz& platz = *fWeitereConverter[static_cast<std::size_t>(k - 1)];
    return {platz.ConsoleApp, platz.InPipe, platz.OutPipe, platz.ErrPipe};
}

void TJobEngine::UmkodiererAnlegen(std::int32_t anzahl) {
    while (UmkodiererAnzahl() < anzahl) {
        fUmkodierer.push_back(std::make_unique<TEncoderPlatz>());
    }
}

std::int32_t TJobEngine::UmkodiererAnzahl() const {
    return static_cast<std::int32_t>(fUmkodierer.size());
}

TEncoderLaeufer TJobEngine::Umkodierer(std::int32_t k) {
    TEncoderPlatz& platz = *fUmkodierer.at(static_cast<std::size_t>(k));
    return {platz.ConsoleApp, platz.InPipe, platz.OutPipe, platz.ErrPipe};
}

std::vector<TEncoderLaeufer> TJobEngine::JoinerLaeufer() {
    std::vector<TEncoderLaeufer> laeufer{{Mp3ConsoleApp, Mp3InPipe, Mp3OutPipe, Mp3ErrPipe}};
    for (std::int32_t k = 0; k < UmkodiererAnzahl(); ++k) {
        laeufer.push_back(Umkodierer(k));
    }
    return laeufer;
}

} // namespace lorvane
