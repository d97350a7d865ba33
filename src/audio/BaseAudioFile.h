#pragma once
// Common base of the audio-file analysers: the values every analyser reports, and
// the reading frame around the format-specific analysis of a stream.

#include "base/AudioErrors.h"
#include "base/Streams.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace lorvane {

class TBaseAudioFile {
public:
    TBaseAudioFile() = default;
    virtual ~TBaseAudioFile() = default;
    TBaseAudioFile(const TBaseAudioFile&) = delete;
    TBaseAudioFile& operator=(const TBaseAudioFile&) = delete;

    virtual std::int64_t FileSize() const { return fFileSize; }
    // Playing time in whole seconds.
    virtual std::int32_t Duration() const { return fDuration; }
    // Bits per second.
    virtual std::int32_t Bitrate() const { return fBitrate; }
    virtual std::int32_t Samplerate() const { return fSamplerate; }
    virtual std::int32_t Channels() const { return fChannels; }
    virtual bool Valid() const { return fValid; }
    const std::filesystem::path& Filename() const { return fFileName; }
    const std::string& LastExceptionMessage() const { return fLastExceptionMessage; }

    virtual std::string Title() const = 0;
    virtual std::string Artist() const = 0;
    virtual std::string Album() const = 0;

    virtual void Clear();
    // Analyses a file. 4: it does not exist; 6: it cannot be opened; 3: another
    // error while reading; otherwise the code of the analysis.
    virtual TAudioError ReadFromFile(const std::filesystem::path& fileName);
    // The same analysis on a stream that is already open (for example in memory).
    TAudioError ReadFromStream(TStream& stream);

protected:
    // The format-specific analysis; may throw, the callers above map the errors.
    virtual TAudioError ReadAudioStream(TStream& stream);

    std::int64_t fFileSize = 0;
    std::int32_t fDuration = 0;
    std::int32_t fBitrate = 0;
    std::int32_t fSamplerate = 0;
    std::int32_t fChannels = 0;
    bool fValid = false;
    std::filesystem::path fFileName;
    std::string fLastExceptionMessage;

private:
    TAudioError AnalyseStream(TStream& stream);
};

} // namespace lorvane
