#pragma once
// The ID3v2 tag at the start of an MP3 stream: reading versions 2.2 to 2.4 and writing
// the tag of a joined part in front of its audio.

#include "base/AudioErrors.h"
#include "base/Streams.h"
#include "id3v2/ID3GenreList.h"
#include "id3v2/ID3v2FrameIDs.h"
#include "id3v2/ID3v2Frames.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lorvane {

struct TID3Version {
    std::uint8_t Major;
    std::uint8_t Minor;
};

class TID3v2Tag {
public:
    TID3v2Tag();

    // Version 2.3, no frames, sizes 0, no flags, UsePadding on.
    void Clear();
    // Clears, then reads the tag at offset 0. 0 also when there is none; 9 for a header
    // shorter than 10 bytes or a frame running past the data; 15 for an unknown major
    // version; 16 for a compressed version 2.2 tag; 17 for a body shorter than declared.
    TAudioError ReadFromStream(TStream& stream);
    // Reads the 10-byte header (and skips an extended header); leaves the stream at the
    // start of the frames.
    TAudioError ReadTagHeader(TStream& stream);
    // Places the tag at the start of the stream and the audio behind the old tag behind it.
    // 5 or 11 when scratch file 1 or 2 cannot be made (11 also for a failed backup of the
    // audio), 10 for a write error, 6 when putting the audio back failed.
    TAudioError WriteToStream(TStream& stream);
    // Total size of an ID3v2 tag at offset 0 of the stream; 0 when there is none.
    static std::uint32_t GetTagSize(TStream& stream);

    std::string GetText(TFrameIDs id) const;
    // Text frames only: a non-empty value replaces the first such frame's text or appends
    // a new frame; an empty value removes the first such frame.
    void SetText(TFrameIDs id, const std::string& value);

    std::string Title() const { return GetText(IDv2_TITEL); }
    void SetTitle(const std::string& value) { SetText(IDv2_TITEL, value); }
    std::string Artist() const { return GetText(IDv2_ARTIST); }
    void SetArtist(const std::string& value) { SetText(IDv2_ARTIST, value); }
    std::string Album() const { return GetText(IDv2_ALBUM); }
    void SetAlbum(const std::string& value) { SetText(IDv2_ALBUM, value); }
    void SetTrack(const std::string& value) { SetText(IDv2_TRACK, value); }
    void SetGenre(const std::string& value) { SetText(IDv2_GENRE, GenreToText(value)); }

    const std::vector<TID3v2Frame>& Frames() const { return fFrames; }
    bool Exists() const { return fExists; }
    // Header, body and footer.
    std::uint32_t Size() const { return fTagSize; }
    TID3Version Version() const { return fVersion; }
    bool FlgUnsynch() const { return fFlgUnsynch; }
    bool FlgCompression() const { return fFlgCompression; }
    bool FlgExtended() const { return fFlgExtended; }
    bool FlgExperimental() const { return fFlgExperimental; }
    bool FlgFooterPresent() const { return fFlgFooterPresent; }
    bool FlgUnknown() const { return fFlgUnknown; }
    std::uint32_t PaddingSize() const { return fPaddingSize; }
    // Header and frames of the last write, without padding.
    std::uint32_t DataSize() const { return fDataSize; }
    bool UsePadding() const { return fUsePadding; }
    void SetUsePadding(bool value) { fUsePadding = value; }
    bool UseClusteredPadding() const { return fUseClusteredPadding; }
    void SetUseClusteredPadding(bool value) { fUseClusteredPadding = value; }
    bool AlwaysWriteUnicode() const { return fAlwaysWriteUnicode; }
    void SetAlwaysWriteUnicode(bool value) { fAlwaysWriteUnicode = value; }
    const std::string& LastExceptionMessage() const { return fLastExceptionMessage; }
    // The errno value behind the last failed write, 0 when there was none.
    int LastErrorCode() const { return fLastErrorCode; }

    // Zero bytes that bring total to the next multiple of the cluster size strictly above
    // it: 1 to 2048. The tag has no file of its own, so the cluster is always 2048 bytes.
    std::uint32_t ClusterPadding(std::uint64_t total) const;

private:
    void ReadFlags(std::uint8_t flags);
    void SkipExtendedHeader(TStream& stream);
    TBuffer ReadTagBody(TStream& stream) const;
    TAudioError ReadFrames(TBuffer body);
    void WriteHeaderAndFrames(TStream& out);
    TAudioError WriteThroughScratch(TStream& stream, TStream& tagFile);
    void RememberWriteError(const std::exception& error);

    std::vector<TID3v2Frame> fFrames;
    bool fExists = false;
    TID3Version fVersion{3, 0};
    bool fFlgUnsynch = false;
    bool fFlgCompression = false;
    bool fFlgExtended = false;
    bool fFlgExperimental = false;
    bool fFlgFooterPresent = false;
    bool fFlgUnknown = false;
    std::uint32_t fPaddingSize = 0;
    std::uint32_t fTagSize = 0;
    std::uint32_t fDataSize = 0;
    bool fUsePadding = false;
    bool fUseClusteredPadding = true;
    std::string fLastExceptionMessage;
    int fLastErrorCode = 0;
    bool fAlwaysWriteUnicode = false;
};

std::string FrameIDString(TFrameIDs id, std::uint8_t majorVersion);

} // namespace lorvane
