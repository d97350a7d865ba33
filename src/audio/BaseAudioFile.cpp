#include "audio/BaseAudioFile.h"

#include <exception>
#include <new>

namespace lorvane {

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
    if (!std::filesystem::exists(fileName, error)) {
        return FileErr_NoFile;
    }
    try {
        TFileStream stream(fileName, TFileMode::OpenRead);
        return AnalyseStream(stream);
    } catch (const EFileStreamError& openError) {
        fLastExceptionMessage = openError.what();
        fValid = false;
        return FileErr_FileOpenR;
    } catch (const std::exception& otherError) {
        fLastExceptionMessage = otherError.what();
        fValid = false;
        return FileErr_Unknown;
    }
}

TAudioError TBaseAudioFile::ReadFromStream(TStream& stream) {
    Clear();
    return AnalyseStream(stream);
}

TAudioError TBaseAudioFile::AnalyseStream(TStream& stream) {
    try {
        fFileSize = stream.Size();
        return ReadAudioStream(stream);
    } catch (const EFileStreamError& streamError) {
        fLastExceptionMessage = streamError.what();
        fValid = false;
        return FileErr_FileOpenR;
    } catch (const std::exception& otherError) {
        fLastExceptionMessage = otherError.what();
        fValid = false;
        return FileErr_Unknown;
    }
}

} // namespace lorvane
