// libFuzzer target: the MP3 file analyser, the ID3v2 reader and the MPEG frame search on
// arbitrary bytes. Besides what the sanitizers find, it traps when a result breaks a rule
// that holds for every input (positions inside the data, the first frame independent of
// the scan mode, texts in UTF-8).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/Mp3Files.h"
#include "audio/MpegFrames.h"
#include "base/Streams.h"
#include "base/TextCodec.h"
#include "id3v2/ID3v2Tags.h"

namespace {

using namespace lorvane;

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

void RequireUtf8(const std::string& text) {
    Require(EncodeUtf8(DecodeUtf8(text)) == text);
}

bool KnownSamplerate(std::int32_t hz) {
    for (std::int32_t known : {44100, 48000, 32000, 22050, 24000, 16000, 11025, 12000, 8000})
        if (hz == known)
            return true;
    return false;
}

// The search accepts a frame only where its header and a first byte behind it lie in the data.
void RequireFramePosition(const TMpegInfo& info, std::int64_t start, std::int64_t size) {
    if (!info.Valid()) {
        Require(info.FirstHeaderPosition() == -1);
        return;
    }
    Require(info.FirstHeaderPosition() >= start);
    Require(info.FirstHeaderPosition() + 4 < size);
    Require(info.Layer() >= 1 && info.Layer() <= 3);
    Require(info.Version() >= 1 && info.Version() <= 3);
    Require(KnownSamplerate(info.Samplerate()));
    Require(info.Filesize() == size);
}

void FuzzMp3File(const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream(bytes);
    TMP3File file;
    file.SetMpegScanMode(MPEG_SCAN_Complete);
    file.ReadFromStream(stream);

    const auto size = static_cast<std::int64_t>(bytes.size());
    const TMpegInfo& info = file.MpegInfo();
    Require(file.ID3v1TagSize() == 0 || file.ID3v1TagSize() == 128);
    if (file.Valid()) {
        Require(info.Valid());
        // The frame search starts behind the ID3v2 tag, so audio never begins inside it.
        RequireFramePosition(info, file.ID3v2TagSize(), size);
        Require(file.Channels() == 1 || file.Channels() == 2);
        Require(file.Samplerate() == info.Samplerate());
        Require(file.Bitrate() == info.Bitrate() * 1000);
        Require(file.Duration() >= 0);
        Require(file.FileSize() == size);
    }
    RequireUtf8(file.Title());
    RequireUtf8(file.Artist());
    RequireUtf8(file.Album());
}

void FuzzID3v2Tag(const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream(bytes);
    TID3v2Tag tag;
    tag.ReadFromStream(stream);
    for (TFrameIDs id : {IDv2_TITEL, IDv2_ARTIST, IDv2_ALBUM})
        RequireUtf8(tag.GetText(id));
}

// The first frame does not depend on the scan mode; one object serves all three modes, as
// the analyser is reused for many streams.
void FuzzMpegInfo(const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream(bytes);
    const auto size = static_cast<std::int64_t>(bytes.size());
    TMpegInfo info;
    bool firstValid = false;
    std::int64_t firstPosition = 0;
    for (TMpegScanMode mode : {MPEG_SCAN_Fast, MPEG_SCAN_Smart, MPEG_SCAN_Complete}) {
        info.SetMpegScanMode(mode);
        stream.Seek(0);
        const TAudioError result = info.LoadFromStream(stream);
        Require(result == FileErr_None || result == MP3ERR_NoMpegFrame ||
                result == FileErr_Unknown);
        Require((result == MP3ERR_NoMpegFrame) == !info.Valid());
        Require(info.MpegScanMode() == mode);
        RequireFramePosition(info, 0, size);
        if (mode == MPEG_SCAN_Fast) {
            firstValid = info.Valid();
            firstPosition = info.FirstHeaderPosition();
        } else {
            Require(info.Valid() == firstValid);
            Require(info.FirstHeaderPosition() == firstPosition);
        }
        if (mode == MPEG_SCAN_Complete && result == FileErr_None)
            Require(info.Frames() >= 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    FuzzMp3File(bytes);
    FuzzID3v2Tag(bytes);
    FuzzMpegInfo(bytes);
    return 0;
}
