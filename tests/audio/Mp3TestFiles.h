#pragma once
// Builders for the byte images of small MP3 files: MPEG frames, ID3v2, APEv2 and
// ID3v1 tags. Shared by the analyser tests and the console tests.

#include "base/Streams.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace lorvane::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

inline Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline void PutLE32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

inline void PutBE32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

// Frames with the given header bytes 1-3 (byte 0 is the sync 0xFF) and length, the
// bodies zero-filled so that they hold no false sync.
inline Bytes RawFrames(int count, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3,
                       std::size_t length) {
    Bytes out;
    for (int i = 0; i < count; ++i) {
        Bytes frame(length, 0);
        frame[0] = 0xFF;
        frame[1] = b1;
        frame[2] = b2;
        frame[3] = b3;
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

// MPEG-1 Layer III frames at 44100 Hz, no CRC, no padding. Bitrate indexes:
// 1 = 32, 5 = 64, 9 = 128, 14 = 320 kbit/s. Channel modes 0-3 (1 = joint stereo).
inline constexpr int kBitrateIndex128 = 9;
inline int KbitsOfIndex(int index) {
    static const int table[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    return table[index];
}
inline std::size_t FrameLength(int kbits) {
    return static_cast<std::size_t>(144000 * kbits / 44100);
}
inline Bytes MpegFrames(int count, int bitrateIndex = kBitrateIndex128, int channelMode = 1) {
    return RawFrames(count, 0xFB, static_cast<std::uint8_t>(bitrateIndex << 4),
                     static_cast<std::uint8_t>(channelMode << 6),
                     FrameLength(KbitsOfIndex(bitrateIndex)));
}

// The 128-byte ID3v1 block; each text is copied raw and padded with NULs.
struct ID3v1Fields {
    std::string title{};
    std::string artist{};
    std::string album{};
    std::string year{};
    std::string comment{};
    std::uint8_t genre = 0;
};
inline Bytes ID3v1Block(const ID3v1Fields& fields) {
    Bytes out = BytesOf("TAG");
    auto put = [&out](const std::string& text, std::size_t width) {
        Bytes field(width, 0);
        std::memcpy(field.data(), text.data(), std::min(width, text.size()));
        out.insert(out.end(), field.begin(), field.end());
    };
    put(fields.title, 30);
    put(fields.artist, 30);
    put(fields.album, 30);
    put(fields.year, 4);
    put(fields.comment, 30);
    out.push_back(fields.genre);
    return out;
}

// One APE item: value size, flags, key, NUL, value.
inline Bytes ApeItem(const std::string& key, const std::string& value, std::uint32_t flags = 0) {
    Bytes out;
    PutLE32(out, static_cast<std::uint32_t>(value.size()));
    PutLE32(out, flags);
    out.insert(out.end(), key.begin(), key.end());
    out.push_back(0);
    out.insert(out.end(), value.begin(), value.end());
    return out;
}

inline Bytes ApeHeaderBytes(std::uint32_t size, std::uint32_t count, std::uint32_t flags) {
    Bytes out = BytesOf("APETAGEX");
    PutLE32(out, 2000);
    PutLE32(out, size);
    PutLE32(out, count);
    PutLE32(out, flags);
    out.resize(32, 0);
    return out;
}

struct ApeOptions {
    bool writeHeader = true;        // the 32 header bytes before the items
    bool headerFlag = true;         // bit 31 in the footer
    std::int64_t sizeOverride = -1; // a Size other than items + 32
    std::int64_t countOverride = -1;
};

// An APEv2 tag (optional header, items, footer). Size counts items and footer.
inline Bytes ApeTagBytes(const std::vector<Bytes>& items, const ApeOptions& options = {}) {
    Bytes body;
    for (const Bytes& item : items) {
        body.insert(body.end(), item.begin(), item.end());
    }
    const auto size = options.sizeOverride >= 0 ? static_cast<std::uint32_t>(options.sizeOverride)
                                                : static_cast<std::uint32_t>(body.size() + 32);
    const auto count = options.countOverride >= 0
                           ? static_cast<std::uint32_t>(options.countOverride)
                           : static_cast<std::uint32_t>(items.size());
    const std::uint32_t hasHeader = options.headerFlag ? 1u << 31 : 0;
    Bytes out;
    if (options.writeHeader) {
        out = ApeHeaderBytes(size, count, hasHeader | 1u << 29);
    }
    out.insert(out.end(), body.begin(), body.end());
    const Bytes footer = ApeHeaderBytes(size, count, hasHeader);
    out.insert(out.end(), footer.begin(), footer.end());
    return out;
}

// An ID3v2.3 tag with ISO-8859-1 text frames; declaredSize overrides the size
// written in the header (bytes after the 10-byte header).
inline Bytes ID3v2Tag(const std::vector<std::pair<std::string, std::string>>& frames,
                      std::int64_t declaredSize = -1, std::size_t padding = 0) {
    Bytes body;
    for (const auto& [id, text] : frames) {
        body.insert(body.end(), id.begin(), id.end());
        PutBE32(body, static_cast<std::uint32_t>(text.size() + 1));
        body.push_back(0); // flags
        body.push_back(0);
        body.push_back(0); // encoding ISO-8859-1
        body.insert(body.end(), text.begin(), text.end());
    }
    body.resize(body.size() + padding, 0);
    const auto size = static_cast<std::uint32_t>(declaredSize >= 0 ? declaredSize : body.size());
    Bytes out = {'I', 'D', '3', 3, 0, 0};
    for (int shift = 21; shift >= 0; shift -= 7) {
        out.push_back(static_cast<std::uint8_t>((size >> shift) & 0x7F));
    }
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// A stream with an unreadable range of bytes, like a disk with a bad sector: a read
// stops in front of it.
class FailingStream : public TMemoryStream {
public:
    FailingStream(test::Bytes bytes, std::int64_t badBegin, std::int64_t badEnd)
        : TMemoryStream(std::move(bytes)), fBadBegin(badBegin), fBadEnd(badEnd) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        const std::int64_t start = Position();
        if (start >= fBadBegin && start < fBadEnd) {
            return 0;
        }
        const std::int64_t end = start + static_cast<std::int64_t>(count);
        if (start < fBadBegin && end > fBadBegin) {
            count = static_cast<std::size_t>(fBadBegin - start);
        }
        return TMemoryStream::Read(buffer, count);
    }

private:
    std::int64_t fBadBegin;
    std::int64_t fBadEnd;
};

} // namespace lorvane::test
