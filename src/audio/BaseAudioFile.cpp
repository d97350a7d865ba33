#include "audio/BaseAudioFile.h"

#include <exception>
#include <string>

namespace lorvane {

namespace {

// Runs a step of the analysis; what it throws becomes a result code, keeps its message
// and leaves the file invalid.
template <typename Step> TAudioError Guarded(std::string& message, bool& valid, Step&& step) {
    try {
        return step();
    } catch (const EFileStreamError& openError) {
        message = openError.what();
        valid = false;
        return FileErr_FileOpenR;
    } catch (const std::exception& otherError) {
        message = otherError.what();
        valid = false;
        return FileErr_Unknown;
    }
}

} // namespace

void TBaseAudioFile::Clear() {
    fFileSize = 0;
    fDuration = 0;
    fBitrate = 0;
    fSamplerate = 0;
    fChannels = 0;
    fValid = false;
    fFileName.clear();
    fLastExceptionMessage.clear();
}

TAudioError TBaseAudioFile::ReadAudioStream(TStream& /*stream*/) {
    return FileErr_None;
}

TAudioError TBaseAudioFile::ReadFromFile(const std::filesystem::path& fileName) {
    Clear();
    fFileName = fileName;
    std::error_code error;
    // A folder is no file, as for the usual file-exists test.
    if (!std::filesystem::exists(fileName, error) ||
        std::filesystem::is_directory(fileName, error)) {
        return FileErr_NoFile;
    }
    return Guarded(fLastExceptionMessage, fValid, [&] {
        TFileStream stream(fileName, TFileMode::OpenRead);
        return AnalyseStream(stream);
    });
}

TAudioError TBaseAudioFile::ReadFromStream(TStream& stream) {
    Clear();
    return AnalyseStream(stream);
}

TAudioError TBaseAudioFile::AnalyseStream(TStream& stream) {
    return Guarded(fLastExceptionMessage, fValid, [&] {
        fFileSize = stream.Size();
        return ReadAudioStream(stream);
    });
}

} // namespace lorvane
