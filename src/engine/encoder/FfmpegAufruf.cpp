#include "engine/encoder/FfmpegAufruf.h"

#include "base/FehlerGrund.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/prozess/RoCommandLine.h"

namespace lorvane {

namespace {

const char* const kMp3Format = "\"%s\" -y -i \"%s\" -ab %dk -ar %d -ac %d -acodec mp3 \"%s\"";
// Only the audio (a picture in the part's tag would be taken for a video stream), AAC
// in the book's own format, and what audiobook players read: the media type audiobook,
// the brand "M4B ", the part of how many, and the index in front for streaming.
const char* const kM4aFormat =
    "\"%s\" -y -i \"%s\"%s%s -map 0:a%s%s -c:a aac -b:a %dk -ar %d -ac %d -metadata media_type=2 "
    "-metadata track=%d/%d -brand \"M4B \" -movflags +faststart \"%s\"";
const char* const kStillenFormat = "\"%s\" -nostdin -hide_banner -ss %lldms -t %lldms -i \"%s\" "
                                   "-af silencedetect=noise=-35dB:d=0.25 -f null -";
// The chapters and the cover come from inputs of their own, the tags still from the part.
// Output options follow the last input: before an input they would be its own.
const char* const kEingabeFormat = " -i \"%s\"";
const char* const kKapitelMapping = " -map_chapters 1";
// Sample-exact, and the rest keeps its times from 0.
const char* const kVorlaufFormat = " -af atrim=start_sample=%d,asetpts=PTS-STARTPTS";
// The picture as it is, marked as the cover, not as a video.
const char* const kTitelbildFormat = " -map %d:v -c:v copy -disposition:v:0 attached_pic";

// Below 16 kbit/s per channel ffmpeg's own AAC encoder cuts the top of the telephone
// band: white noise at 22.05 kHz lost 3 dB between 3.0 and 3.4 kHz at 12 kbit/s and
// 0.5 dB at 16 kbit/s, against the input.
constexpr std::int32_t kAacMindestKbitJeKanal = 16;
// Up to this rate per channel the encoder overshoots what it is asked for: mono speech
// asked for 24 and 32 kbit/s came out at 30.9 and 41.1; at 64 kbit/s and above it stays
// within a few percent. There it is asked for three quarters of the source's rate.
constexpr std::int32_t kAacUeberschussBisKbitJeKanal = 40;

template <typename... Args> std::string Format(const char* format, Args... args) {
    const int length = std::snprintf(nullptr, 0, format, args...);
    if (length <= 0) {
        return {};
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), format, args...);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

} // namespace

std::string FfmpegMp3Kommandozeile(const std::filesystem::path& ffmpegDatei,
                                   const std::filesystem::path& quelle, std::int32_t zielBitrate,
                                   std::int32_t zielSamplerate, std::int32_t zielChannels,
                                   const std::filesystem::path& kopie) {
    const std::string encoder = RoQuotePath(ffmpegDatei);
    const std::string source = RoQuotePath(quelle);
    const std::string copy = RoQuotePath(kopie);
    return Format(kMp3Format, encoder.c_str(), source.c_str(), static_cast<int>(zielBitrate / 1000),
                  static_cast<int>(zielSamplerate), static_cast<int>(zielChannels), copy.c_str());
}

std::int32_t AacKbit(std::int32_t zielBitrate, std::int32_t kanaele) {
    const std::int32_t kanalZahl = std::max(kanaele, 1);
    std::int32_t kbit = zielBitrate / 1000;
    if (kbit / kanalZahl <= kAacUeberschussBisKbitJeKanal) {
        kbit = kbit * 3 / 4;
    }
    return std::max(kbit, kAacMindestKbitJeKanal * kanalZahl);
}

std::string FfmpegM4aKommandozeile(const std::filesystem::path& ffmpegDatei,
                                   const std::filesystem::path& teil,
                                   const std::string& ergebnisName, const TM4aZiel& ziel) {
    const std::string encoder = RoQuotePath(ffmpegDatei);
    const std::string part = RoQuotePath(teil);
    const std::string result = RoQuotePath(ergebnisName);
    std::string eingaben;
    int naechsteEingabe = 1;
    for (const std::filesystem::path* eingabe : {&ziel.Kapitel, &ziel.Titelbild}) {
        if (!eingabe->empty()) {
            eingaben += Format(kEingabeFormat, RoQuotePath(*eingabe).c_str());
        }
    }
    const char* kapitel = "";
    if (!ziel.Kapitel.empty()) {
        kapitel = kKapitelMapping;
        ++naechsteEingabe;
    }
    const std::string titelbild =
        ziel.Titelbild.empty() ? std::string() : Format(kTitelbildFormat, naechsteEingabe);
    const std::string vorlauf =
        ziel.Vorlauf > 0 ? Format(kVorlaufFormat, static_cast<int>(ziel.Vorlauf)) : std::string();
    return Format(kM4aFormat, encoder.c_str(), part.c_str(), eingaben.c_str(), kapitel,
                  titelbild.c_str(), vorlauf.c_str(),
                  static_cast<int>(AacKbit(ziel.Bitrate, ziel.Kanaele)),
                  static_cast<int>(ziel.Samplerate), static_cast<int>(ziel.Kanaele),
                  static_cast<int>(ziel.TeilNr), static_cast<int>(ziel.TeilAnzahl), result.c_str());
}

std::string FfmpegStillenKommandozeile(const std::filesystem::path& ffmpegDatei,
                                       const std::filesystem::path& quelle, std::int64_t vonMs,
                                       std::int64_t dauerMs) {
    const std::string encoder = RoQuotePath(ffmpegDatei);
    const std::string source = RoQuotePath(quelle);
    return Format(kStillenFormat, encoder.c_str(), static_cast<long long>(vonMs),
                  static_cast<long long>(dauerMs), source.c_str());
}

bool FfmpegLaufErfolgreich(bool ausgefuehrt, const TRoConsoleApp& app,
                           const TEncoderMeldung& meldung) {
    return ausgefuehrt && app.ErrorCode() == 0 && app.ExitCode() == 0 && !meldung.SchreibFehler();
}

std::string EncoderFehlerGrund(const TRoConsoleApp& app, const TEncoderMeldung& meldung) {
    // Whatever it said last, a killed encoder stopped because of the signal.
    if (app.ExitSignal() != 0 && app.ErrorCode() == 0) {
        return "Der Encoder wurde durch Signal " + std::to_string(app.ExitSignal()) + " beendet";
    }
    std::string grund = meldung.Text();
    if (!grund.empty()) {
        return grund;
    }
    if (app.ErrorCode() != 0) {
        return (app.ErrorCode() & RoOwnErrorFlag) != 0
                   ? app.ErrorMessage()
                   : SystemFehlerText(static_cast<int>(app.ErrorCode()));
    }
    if (app.ExitCode() != 0) {
        return "Der Encoder endete mit dem Rückgabewert " + std::to_string(app.ExitCode());
    }
    return {};
}

void EncoderRunnerEinrichten(TRoConsoleApp& app, const TRoPipe& ein, const TRoPipe& aus,
                             const TRoPipe& fehler) {
    app.SetStdIn(ein.ReadHandle());
    app.SetStdOut(aus.WriteHandle());
    app.SetStdErr(fehler.WriteHandle());
    app.SetTimeSlice(kEncoderTimeSlice);
    app.SetKillTimedOutProcess(false);
    app.SetMaxExecTime(RoInfinite);
    app.SetVisible(false);
}

} // namespace lorvane
