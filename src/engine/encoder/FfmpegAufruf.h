#pragma once
// The encoder's two command lines and what counts as a successful run of it.
// Every path goes through RoQuotePath, so any file name survives the split of the
// command line into arguments.

#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/encoder/EncoderZeile.h"
#include "engine/prozess/RoConsoleApp.h"
#include "engine/prozess/RoPipe.h"

namespace lorvane {

// Re-encodes one MP3 file to the target format; an existing copy is overwritten.
// zielBitrate in bits per second (passed on in kbit/s), samplerate in Hz.
std::string FfmpegMp3Kommandozeile(const std::filesystem::path& ffmpegDatei,
                                   const std::filesystem::path& quelle, std::int32_t zielBitrate,
                                   std::int32_t zielSamplerate, std::int32_t zielChannels,
                                   const std::filesystem::path& kopie);

// What the M4B file of a part is made as: the book's most common format (bitrate in
// bits per second, sample rate in Hz) and the part's place in the book.
struct TM4aZiel {
    std::int32_t Bitrate = 0;
    std::int32_t Samplerate = 0;
    std::int32_t Kanaele = 0;
    std::int32_t TeilNr = 0;
    std::int32_t TeilAnzahl = 0;
    // The chapters as the encoder's metadata file; none when empty.
    std::filesystem::path Kapitel;
    // A JPEG or PNG picture, carried as the cover; none when empty.
    std::filesystem::path Titelbild;
    // Samples of silence at the part's start that are dropped.
    std::int32_t Vorlauf = 0;
};

// The AAC bitrate in kbit/s: what makes the source's rate (less at low rates, where the
// encoder overshoots), never less than where the encoder starts to lose the speech band.
std::int32_t AacKbit(std::int32_t zielBitrate, std::int32_t kanaele);

// Converts one joined part; ergebnisName is the bare ".m4a" file name, written into
// the working folder of the run (the audiobook folder).
std::string FfmpegM4aKommandozeile(const std::filesystem::path& ffmpegDatei,
                                   const std::filesystem::path& teil,
                                   const std::string& ergebnisName, const TM4aZiel& ziel);

// The encoder's silence detection on a window of a source (pauses of at least 250 ms
// below -35 dBFS), with nothing written. Times in whole milliseconds, which ffmpeg reads
// without a decimal separator, whatever the locale.
std::string FfmpegStillenKommandozeile(const std::filesystem::path& ffmpegDatei,
                                       const std::filesystem::path& quelle, std::int64_t vonMs,
                                       std::int64_t dauerMs);

// The run ended normally: started, waited for to its end, no error recorded, the
// encoder itself reported success (exit code 0; a child ended by a signal has a
// non-zero code) and it said nothing of a failed write. An encoder stopped with "q"
// ends with 0 and counts as successful.
bool FfmpegLaufErfolgreich(bool ausgefuehrt, const TRoConsoleApp& app,
                           const TEncoderMeldung& meldung);

// Why a run failed, for the line below the message: the signal that killed the encoder,
// else its last words, else the system's reason why it could not run, else its exit
// code; empty when none.
std::string EncoderFehlerGrund(const TRoConsoleApp& app, const TEncoderMeldung& meldung);

// The encoder's output is read every 250 ms.
inline constexpr std::uint32_t kEncoderTimeSlice = 250;

// A runner set up for the encoder: its standard input, output and error on the given
// pipes, time slices of kEncoderTimeSlice, no time limit, never killed, hidden.
void EncoderRunnerEinrichten(TRoConsoleApp& app, const TRoPipe& ein, const TRoPipe& aus,
                             const TRoPipe& fehler);

} // namespace lorvane
