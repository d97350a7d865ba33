#pragma once
// One frame of an ID3v2 tag: its header in the form of version 2.2, 2.3 or 2.4, its raw
// content, and the conversion between a text frame's content and a UTF-8 string.

#include "base/AudioErrors.h"
#include "base/Streams.h"
#include "id3v2/ID3v2FrameIDs.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lorvane {

// What a frame holds, judged from its ID; only text frames are interpreted here.
enum TTagContentType : std::uint8_t {
    tctInvalid = 0,
    tctUnknown = 1,
    tctPicture = 2,
    tctText = 3,
    tctComment = 4,
    tctLyrics = 5,
    tctURL = 6,
    tctUserText = 7,
    tctUserURL = 8,
    tctPopularimeter = 9,
    tctPrivate = 10,
};

// 3 characters for version 2.2, 4 otherwise, each A-Z or 0-9.
bool IsValidFrameID(std::string_view id, std::uint8_t version);
// Begins with "T", is longer than two characters and is not the user text frame.
bool IsTextFrameID(std::string_view id);

class TID3v2Frame {
public:
    // An ID that is not valid for the version becomes "XXX" or "XXXX".
    TID3v2Frame(const std::string& id, std::uint8_t version);

    // Reads the rest of the header (the ID has been read) and the content. 0, 9 when the
    // data ends early, 17 for any other failure. Never allocates more than the stream holds.
    TAudioError ReadFromStream(TStream& stream);
    // Header and content as they stand; 0, 10 on a write error, 17 otherwise.
    TAudioError WriteToStream(TStream& stream);
    // Version 2.4 only: the content with its own unsynchronisation; other versions write
    // as WriteToStream.
    TAudioError WriteUnsyncedToStream(TStream& stream);

    // The text of a text frame, without leading and trailing characters up to U+0020;
    // empty for other frames and for frames whose content cannot be interpreted.
    std::string GetText() const;
    // Replaces the content of a text frame; other frames are left alone.
    void SetText(const std::string& value);

    const std::string& IDString() const { return fIDString; }
    TFrameIDs FrameID() const { return FrameIDFromString(fIDString, fVersion); }
    TTagContentType TagContentType() const;
    std::uint8_t Version() const { return fVersion; }
    // 6 bytes for version 2.2, 10 otherwise.
    const TBuffer& Header() const { return fHeader; }
    std::uint8_t StatusFlags() const;
    std::uint8_t FormatFlags() const;
    const TBuffer& Data() const { return fData; }
    std::uint32_t DataSize() const { return static_cast<std::uint32_t>(fData.size()); }
    std::uint8_t GroupID() const { return fGroupID; }
    std::uint32_t DataLength() const { return fDataLength; }
    // False when compression, encryption or an undefined format flag is set.
    bool Parsable() const { return fParsable; }
    bool AlwaysWriteUnicode() const { return fAlwaysWriteUnicode; }
    void SetAlwaysWriteUnicode(bool value) { fAlwaysWriteUnicode = value; }
    const std::string& LastExceptionMessage() const { return fLastExceptionMessage; }

private:
    std::size_t IDLength() const { return fVersion == 2 ? 3 : 4; }
    std::uint32_t SizeField() const;
    // False when the size does not fit the version's size field.
    bool SetFrameSize(std::size_t size);
    bool Grouped() const;
    void SetFormatFlags(std::uint8_t flags);
    void SetStatusFlags(std::uint8_t flags);
    void ReadContent(TStream& stream);
    void TakeContent(TBuffer content);
    void ClearFlagsForNewText();
    void WriteFrame(TStream& stream, bool unsynchronise);

    std::uint8_t fVersion;
    std::string fIDString;
    TBuffer fHeader;
    TBuffer fData;
    std::uint8_t fGroupID = 0;
    std::uint32_t fDataLength = 0;
    bool fAlwaysWriteUnicode = false;
    bool fParsable = true;
    std::string fLastExceptionMessage;
};

// Byte-level helpers shared by the frame and tag code.

// A-Z or 0-9.
bool IsFrameIDChar(char c);
// Four bytes, most significant first.
std::uint32_t BigEndianValue(const std::uint8_t* bytes);
// Four bytes of seven bits each, most significant first. The tag header's size is read
// with whole bytes (masked = false), as the writers in the field are not always strict.
std::uint32_t SyncsafeValue(const std::uint8_t* bytes, bool masked = true);
// Values from 2^28 on do not fit; the caller checks.
void SyncsafeBytes(std::uint32_t value, std::uint8_t* out);
// Every 0xFF 0x00 pair becomes 0xFF.
TBuffer RemoveUnsynchronisation(const TBuffer& bytes);
// A 0x00 after every 0xFF that is followed by 0x00 or a byte from 0xE0 on, and after a
// final 0xFF.
TBuffer ApplyUnsynchronisation(const TBuffer& bytes);

} // namespace lorvane
