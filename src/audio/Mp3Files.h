#pragma once
// Analysis of one MP3 file at a time: the ID3v2 tag at the start, the first MPEG
// frame behind it, the APEv2 and ID3v1 tags at the end, and the texts they carry.

#include "audio/ApeTag.h"
#include "audio/BaseAudioFile.h"
#include "audio/ID3v1Tag.h"
#include "audio/MpegFrames.h"
#include "id3v2/ID3v2Tags.h"

#include <cstdint>
#include <string>

namespace lorvane {

// Which tags a read looks at; the program always reads all of them.
enum TTagScanMode : std::uint8_t {
    id3_read_complete = 0,
    id3_read_smart = 1,
    id3_read_v2_only = 2,
};

class TMP3File : public TBaseAudioFile {
public:
    TMP3File() = default;

    void Clear() override;

    const TMpegInfo& MpegInfo() const { return fMpegInfo; }
    const TID3v2Tag& ID3v2Tag() const { return fID3v2Tag; }
    const TID3v1Tag& ID3v1Tag() const { return fID3v1Tag; }
    const TApeTag& ApeTag() const { return fApeTag; }

    // The audio of a valid file lies from MpegInfo().FirstHeaderPosition() up to
    // FileSize() - ApeTagSize() - ID3v1TagSize() (exclusive).
    std::uint32_t ID3v1TagSize() const;
    std::uint32_t ID3v2TagSize() const;
    std::uint32_t ApeTagSize() const;

    TMpegScanMode MpegScanMode() const { return fMpegInfo.MpegScanMode(); }
    void SetMpegScanMode(TMpegScanMode mode) { fMpegInfo.SetMpegScanMode(mode); }
    TTagScanMode TagScanMode() const { return fTagScanMode; }
    // The end tags of the current file were read.
    bool SecondaryTagsProcessed() const { return fSecondaryTagsProcessed; }

    // The ID3v2 text, else the ID3v1 field, else the APE item of the same name.
    std::string Title() const override;
    std::string Artist() const override;
    std::string Album() const override;

protected:
    TAudioError ReadAudioStream(TStream& stream) override;

private:
    void TakeFormatFromMpegInfo();
    void TakeTagMessage();

    TID3v1Tag fID3v1Tag;
    TID3v2Tag fID3v2Tag;
    TApeTag fApeTag;
    TMpegInfo fMpegInfo;
    TTagScanMode fTagScanMode = id3_read_complete;
    bool fSecondaryTagsProcessed = false;
};

} // namespace lorvane
