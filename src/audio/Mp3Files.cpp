#include "audio/Mp3Files.h"

namespace lorvane {

namespace {

constexpr std::uint8_t kSingleChannel = 3;

std::int32_t ChannelsOfMode(std::uint8_t channelMode) {
    if (channelMode < kSingleChannel) {
        return 2;
    }
    return channelMode == kSingleChannel ? 1 : 0;
}

std::string FirstNonEmpty(std::string first, std::string second, std::string third) {
    if (!first.empty()) {
        return first;
    }
    return !second.empty() ? second : third;
}

} // namespace

void TMP3File::Clear() {
    TBaseAudioFile::Clear();
    fID3v2Tag.Clear();
    fID3v1Tag.Clear();
    fApeTag.Clear();
    fSecondaryTagsProcessed = false;
    // The MPEG analyser resets what it needs itself at every load.
}

std::uint32_t TMP3File::ID3v1TagSize() const {
    return fID3v1Tag.Exists() ? static_cast<std::uint32_t>(ID3v1BlockSize) : 0;
}

std::uint32_t TMP3File::ID3v2TagSize() const {
    return fID3v2Tag.Exists() ? fID3v2Tag.Size() : 0;
}

std::uint32_t TMP3File::ApeTagSize() const {
    return fApeTag.TagSize();
}

TAudioError TMP3File::ReadAudioStream(TStream& stream) {
    fFileSize = stream.Size();
    const TAudioError tagResult = fID3v2Tag.ReadFromStream(stream);
    // Without a usable ID3v2 tag the frame search starts at the first byte.
    stream.Seek(ID3v2TagSize());
    const TAudioError mpegResult = fMpegInfo.LoadFromStream(stream);
    if (mpegResult == FileErr_Unknown) {
        // The frame walk failed on its own arithmetic: the read ends here.
        fLastExceptionMessage = fMpegInfo.LastExceptionMessage();
        return FileErr_Unknown;
    }
    const TAudioError endTagResult = fApeTag.ReadFromStream(stream);
    if (endTagResult == FileErr_Unknown) {
        // The APE tag could not be read back: the read ends before the file is judged.
        fLastExceptionMessage = fApeTag.LastExceptionMessage();
        return FileErr_Unknown;
    }
    if (fApeTag.ID3v1Present()) {
        fID3v1Tag.ReadFromStructure(fApeTag.ID3v1Block());
    }
    fSecondaryTagsProcessed = true;
    fValid = mpegResult == FileErr_None;
    if (fValid) {
        TakeFormatFromMpegInfo();
    }
    TakeTagMessage();
    if (mpegResult != FileErr_None) {
        return mpegResult;
    }
    return tagResult != FileErr_None ? tagResult : endTagResult;
}

void TMP3File::TakeFormatFromMpegInfo() {
    fDuration = fMpegInfo.Dauer();
    fBitrate = static_cast<std::int32_t>(fMpegInfo.Bitrate()) * 1000;
    fSamplerate = fMpegInfo.Samplerate();
    fChannels = ChannelsOfMode(fMpegInfo.Channelmode());
}

void TMP3File::TakeTagMessage() {
    const std::string& message =
        !fID3v2Tag.LastExceptionMessage().empty()   ? fID3v2Tag.LastExceptionMessage()
        : !fID3v1Tag.LastExceptionMessage().empty() ? fID3v1Tag.LastExceptionMessage()
                                                    : fApeTag.LastExceptionMessage();
    if (!message.empty()) {
        fLastExceptionMessage = message;
    }
}

std::string TMP3File::Title() const {
    return FirstNonEmpty(fID3v2Tag.Title(), fID3v1Tag.Title(), fApeTag.GetValueByKey("Title"));
}

std::string TMP3File::Artist() const {
    return FirstNonEmpty(fID3v2Tag.Artist(), fID3v1Tag.Artist(), fApeTag.GetValueByKey("Artist"));
}

std::string TMP3File::Album() const {
    return FirstNonEmpty(fID3v2Tag.Album(), fID3v1Tag.Album(), fApeTag.GetValueByKey("Album"));
}

} // namespace lorvane
