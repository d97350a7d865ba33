#include "id3v2/ID3v2Tags.h"

#include "base/GuardedCall.h"
#include "id3v2/ScratchFiles.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace lorvane {

namespace {

constexpr std::size_t kHeaderSize = 10;
constexpr std::uint32_t kFooterSize = 10;
constexpr std::uint32_t kClusterSize = 2048;
constexpr std::size_t kCopyChunk = 64 * 1024;
// A stored tag is overwritten in place only when its padding lies within these bounds.
constexpr std::uint32_t kMinInPlaceSlack = 30;
constexpr std::uint32_t kMaxInPlaceSlack = 512000;
constexpr std::uint32_t kMaxTagSize = (1u << 28) + kHeaderSize - 1;
constexpr std::int64_t kID3v1Size = 128;

// Reads up to count bytes in chunks, so that memory grows only with the bytes that are
// really there; throws EReadError when the stream ends first.
TBuffer ReadDeclaredBytes(TStream& stream, std::uint32_t count) {
    TBuffer bytes;
    while (bytes.size() < count) {
        const std::size_t want = std::min<std::size_t>(kCopyChunk, count - bytes.size());
        const std::size_t start = bytes.size();
        bytes.resize(start + want);
        const std::size_t got = stream.Read(bytes.data() + start, want);
        bytes.resize(start + got);
        if (got < want) {
            throw EReadError("The tag runs past the end of the stream");
        }
    }
    return bytes;
}

bool OnlyFrameIDChars(const std::uint8_t* bytes, std::size_t count) {
    return std::all_of(bytes, bytes + count,
                       [](std::uint8_t c) { return IsFrameIDChar(static_cast<char>(c)); });
}

void WriteZeros(TStream& stream, std::uint32_t count) {
    const TBuffer zeros(std::min<std::size_t>(count, kCopyChunk), 0);
    std::uint32_t left = count;
    while (left > 0) {
        const std::size_t n = std::min<std::size_t>(left, zeros.size());
        stream.WriteBuffer(zeros.data(), n);
        left -= static_cast<std::uint32_t>(n);
    }
}

bool EndsWithID3v1(TStream& stream, std::int64_t audioSize) {
    if (audioSize < kID3v1Size) {
        return false;
    }
    stream.Seek(stream.Size() - kID3v1Size);
    char mark[3] = {};
    stream.ReadBuffer(mark, sizeof mark);
    return std::memcmp(mark, "TAG", 3) == 0;
}

void CopyExactly(TStream& target, TStream& source, std::int64_t count) {
    if (target.CopyFrom(source, count) != count) {
        throw EReadError("Copy came out short");
    }
}

} // namespace

TID3v2Tag::TID3v2Tag() = default;

void TID3v2Tag::Clear() {
    fFrames.clear();
    fVersion = {3, 0};
    fTagSize = 0;
    fDataSize = 0;
    fPaddingSize = 0;
    fExists = false;
    fUsePadding = true;
    fFlgUnsynch = false;
    fFlgCompression = false;
    fFlgExtended = false;
    fFlgExperimental = false;
    fFlgFooterPresent = false;
    fFlgUnknown = false;
    fUseClusteredPadding = true;
    fLastExceptionMessage.clear();
}

// ---------------------------------------------------------------------------------------
// Reading

TAudioError TID3v2Tag::ReadTagHeader(TStream& stream) {
    return GuardedRead(fLastExceptionMessage, [&] {
        stream.Seek(0);
        std::array<std::uint8_t, kHeaderSize> header{};
        if (stream.Read(header.data(), header.size()) != header.size()) {
            fLastExceptionMessage = "Stream read error";
            return FileErr_StreamRead;
        }
        if (std::memcmp(header.data(), "ID3", 3) != 0) {
            return FileErr_None;
        }
        const std::uint8_t major = header[3];
        if (major < 2 || major > 4) {
            return MP3ERR_Invalid_Header;
        }
        fTagSize = SyncsafeValue(header.data() + 6, false) + kHeaderSize;
        fExists = true;
        fVersion = {major, header[4]};
        ReadFlags(header[5]);
        if (fFlgCompression) {
            return Mp3ERR_Compression;
        }
        if (fFlgExtended) {
            SkipExtendedHeader(stream);
        }
        return FileErr_None;
    });
}

void TID3v2Tag::ReadFlags(std::uint8_t flags) {
    fFlgUnsynch = (flags & 0x80) != 0;
    switch (fVersion.Major) {
    case 2:
        fFlgCompression = (flags & 0x40) != 0;
        fFlgUnknown = (flags & 0x3F) != 0;
        break;
    case 3:
        fFlgExtended = (flags & 0x40) != 0;
        fFlgExperimental = (flags & 0x20) != 0;
        fFlgUnknown = (flags & 0x1F) != 0;
        break;
    default:
        fFlgExtended = (flags & 0x40) != 0;
        fFlgExperimental = (flags & 0x20) != 0;
        fFlgFooterPresent = (flags & 0x10) != 0;
        fFlgUnknown = (flags & 0x0F) != 0;
        if (fFlgFooterPresent) {
            fTagSize += kFooterSize;
        }
        break;
    }
}

void TID3v2Tag::SkipExtendedHeader(TStream& stream) {
    std::uint8_t size[4] = {};
    stream.ReadBuffer(size, sizeof size);
    const std::int64_t behindSizeField = stream.Position();
    if (fVersion.Major == 3) {
        // Counts the bytes after the size field.
        stream.Seek(behindSizeField + BigEndianValue(size));
    } else {
        // Counts the whole extended header, the size field included.
        const std::uint32_t count = SyncsafeValue(size, false);
        stream.Seek(behindSizeField + std::max<std::uint32_t>(count, 4) - 4);
    }
}

TBuffer TID3v2Tag::ReadTagBody(TStream& stream) const {
    // The copy runs to the declared end, a version 2.4 footer included: its "3DI" is no
    // frame ID, so it reads as padding.
    const std::int64_t bodyEnd = fTagSize;
    const std::int64_t start = stream.Position();
    if (start >= bodyEnd) {
        return {};
    }
    TBuffer body = ReadDeclaredBytes(stream, static_cast<std::uint32_t>(bodyEnd - start));
    // Version 2.4 unsynchronises frame by frame; the frames undo it themselves.
    if (fFlgUnsynch && fVersion.Major < 4) {
        body = RemoveUnsynchronisation(body);
    }
    return body;
}

TAudioError TID3v2Tag::ReadFromStream(TStream& stream) {
    Clear();
    const TAudioError result = ReadTagHeader(stream);
    if (result != FileErr_None || !fExists) {
        return result;
    }
    TBuffer body;
    try {
        body = ReadTagBody(stream);
    } catch (const std::exception& error) {
        fLastExceptionMessage = error.what();
        return Mp3ERR_Unclassified;
    }
    return ReadFrames(std::move(body));
}

TAudioError TID3v2Tag::ReadFrames(TBuffer body) {
    fUsePadding = false;
    const std::size_t idLength = fVersion.Major == 2 ? 3 : 4;
    TMemoryStream source(std::move(body));
    return GuardedRead(fLastExceptionMessage, [&] {
        while (source.Position() < source.Size()) {
            const std::int64_t idStart = source.Position();
            std::uint8_t id[4] = {};
            const std::size_t got = source.Read(id, idLength);
            if (!OnlyFrameIDChars(id, got)) {
                // Zero bytes or anything else that cannot start a frame: padding.
                fPaddingSize = static_cast<std::uint32_t>(source.Size() - idStart);
                fUsePadding = true;
                break;
            }
            if (got < idLength) {
                throw EReadError("Frame ID cut off at the end of the tag");
            }
            TID3v2Frame frame(std::string(reinterpret_cast<const char*>(id), idLength),
                              fVersion.Major);
            frame.SetAlwaysWriteUnicode(fAlwaysWriteUnicode);
            const TAudioError result = frame.ReadFromStream(source);
            if (result != FileErr_None) {
                fLastExceptionMessage = frame.LastExceptionMessage();
                return result;
            }
            fFrames.push_back(std::move(frame));
        }
        return FileErr_None;
    });
}

std::uint32_t TID3v2Tag::GetTagSize(TStream& stream) {
    TID3v2Tag probe;
    probe.ReadTagHeader(stream);
    return probe.Exists() ? probe.Size() : 0;
}

// ---------------------------------------------------------------------------------------
// Texts

std::string TID3v2Tag::GetText(TFrameIDs id) const {
    const std::string idString = FrameIDString(id, fVersion.Major);
    if (idString.empty()) {
        return {};
    }
    for (const TID3v2Frame& frame : fFrames) {
        if (frame.IDString() == idString) {
            return frame.GetText();
        }
    }
    return {};
}

void TID3v2Tag::SetText(TFrameIDs id, const std::string& value) {
    const std::string idString = FrameIDString(id, fVersion.Major);
    if (!IsTextFrameID(idString)) {
        return;
    }
    const auto found = std::find_if(fFrames.begin(), fFrames.end(),
                                    [&](const TID3v2Frame& f) { return f.IDString() == idString; });
    if (found != fFrames.end()) {
        if (value.empty()) {
            fFrames.erase(found);
        } else {
            found->SetText(value);
        }
        return;
    }
    if (value.empty()) {
        return;
    }
    TID3v2Frame frame(idString, fVersion.Major);
    frame.SetAlwaysWriteUnicode(fAlwaysWriteUnicode);
    frame.SetText(value);
    fFrames.push_back(std::move(frame));
}

// ---------------------------------------------------------------------------------------
// Writing

std::uint32_t TID3v2Tag::ClusterPadding(std::uint64_t total) const {
    const std::uint64_t cluster = kClusterSize;
    return static_cast<std::uint32_t>(cluster * (total / cluster + 1) - total);
}

void TID3v2Tag::WriteHeaderAndFrames(TStream& out) {
    const std::uint8_t header[kHeaderSize] = {
        'I', 'D', '3', fVersion.Major, fVersion.Minor, std::uint8_t(fFlgUnsynch ? 0x80 : 0x00), 0,
        0,   0,   0};
    out.WriteBuffer(header, sizeof header);
    auto check = [](const TID3v2Frame& frame, TAudioError result) {
        if (result != FileErr_None) {
            throw EWriteError(frame.LastExceptionMessage());
        }
    };
    if (fFlgUnsynch && fVersion.Major < 4) {
        TMemoryStream frames;
        for (TID3v2Frame& frame : fFrames) {
            check(frame, frame.WriteToStream(frames));
        }
        const TBuffer bytes = ApplyUnsynchronisation(frames.Bytes());
        out.WriteBuffer(bytes.data(), bytes.size());
        return;
    }
    for (TID3v2Frame& frame : fFrames) {
        check(frame, fFlgUnsynch ? frame.WriteUnsyncedToStream(out) : frame.WriteToStream(out));
    }
}

void TID3v2Tag::RememberWriteError(const std::exception& error) {
    fLastExceptionMessage = error.what();
    const auto* streamError = dynamic_cast<const EStreamError*>(&error);
    fLastErrorCode = streamError != nullptr ? streamError->Code() : 0;
}

TAudioError TID3v2Tag::WriteToStream(TStream& stream) {
    fLastExceptionMessage.clear();
    fLastErrorCode = 0;
    if (fFrames.empty()) {
        SetTitle(" ");
    }
    std::unique_ptr<TScratchFile> tagFile;
    try {
        tagFile = std::make_unique<TScratchFile>();
    } catch (const std::exception& error) {
        RememberWriteError(error);
        return FileErr_FileCreate;
    }
    // The scratch file is closed and deleted whatever the outcome.
    return WriteThroughScratch(stream, tagFile->Stream());
}

TAudioError TID3v2Tag::WriteThroughScratch(TStream& stream, TStream& tagFile) {
    std::uint32_t tagBytes = 0;
    try {
        WriteHeaderAndFrames(tagFile);
        if (tagFile.Size() > kMaxTagSize) {
            throw EWriteError("The tag is too large");
        }
        tagBytes = static_cast<std::uint32_t>(tagFile.Size());
    } catch (const std::exception& error) {
        RememberWriteError(error);
        return FileErr_StreamWrite;
    }

    const std::uint32_t oldSize = GetTagSize(stream);
    const bool inPlace = fUsePadding && std::uint64_t{tagBytes} + kMinInPlaceSlack < oldSize &&
                         oldSize <= std::uint64_t{tagBytes} + kMaxInPlaceSlack;

    // Rewrite: the audio behind the old tag goes to scratch file 2 first.
    std::unique_ptr<TScratchFile> audioFile;
    std::int64_t audioSize = 0;
    std::int64_t v1Size = 0;
    if (!inPlace) {
        try {
            audioFile = std::make_unique<TScratchFile>();
            audioSize = std::max<std::int64_t>(stream.Size() - oldSize, 0);
            stream.Seek(oldSize);
            CopyExactly(audioFile->Stream(), stream, audioSize);
            v1Size = EndsWithID3v1(stream, audioSize) ? kID3v1Size : 0;
        } catch (const std::exception& error) {
            if (audioFile) {
                audioFile->Keep();
            }
            RememberWriteError(error);
            return FileErr_BackupFailed;
        }
    }

    fDataSize = tagBytes;
    if (!fUsePadding) {
        fPaddingSize = 0;
        fTagSize = tagBytes;
    } else if (inPlace) {
        fPaddingSize = oldSize - tagBytes;
        fTagSize = oldSize;
    } else {
        fPaddingSize = ClusterPadding(std::uint64_t(tagBytes) + std::uint64_t(audioSize) +
                                      std::uint64_t(v1Size));
        fTagSize = tagBytes + fPaddingSize;
    }
    if (fTagSize > kMaxTagSize) {
        fLastExceptionMessage = "The tag is too large";
        return FileErr_StreamWrite;
    }

    try {
        std::uint8_t size[4];
        SyncsafeBytes(fTagSize - kHeaderSize, size);
        tagFile.Seek(6);
        tagFile.WriteBuffer(size, sizeof size);
        tagFile.Seek(0);
        stream.Seek(0);
        CopyExactly(stream, tagFile, tagBytes);
        WriteZeros(stream, fPaddingSize);
    } catch (const std::exception& error) {
        if (audioFile) {
            audioFile->Keep();
        }
        RememberWriteError(error);
        return FileErr_StreamWrite;
    }

    if (audioFile) {
        try {
            audioFile->Stream().Seek(0);
            CopyExactly(stream, audioFile->Stream(), audioSize);
            stream.SetSize(stream.Position());
            audioFile->Delete();
        } catch (const std::exception& error) {
            audioFile->Keep();
            RememberWriteError(error);
            return FileErr_FileOpenR;
        }
    }
    return FileErr_None;
}

} // namespace lorvane
