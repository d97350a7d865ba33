#include "SyntheticMp3.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace lorvane::bench {

namespace {

constexpr int kSamplerate = 44100;
constexpr int kBitrateIndex128 = 9;
constexpr std::array<int, 15> kLayer3Bitrates = {0,   32,  40,  48,  56,  64,  80, 96,
                                                 112, 128, 160, 192, 224, 256, 320};
constexpr std::size_t kId3v2Size = 1024;
constexpr std::size_t kId3v1Size = 128;
constexpr std::size_t kXingOffset = 36; // MPEG-1, not single channel
constexpr std::size_t kPoolSize = 1 << 20;

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path) {
    throw std::runtime_error(what + " " + path.string() + ": " + std::strerror(errno));
}

// Buffered writes to a new file through one descriptor.
class TFileWriter {
public:
    explicit TFileWriter(const std::filesystem::path& path) : fPath(path) {
        fHandle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fHandle < 0)
            Fail("cannot create", path);
        fBuffer.reserve(kBufferSize);
    }
    ~TFileWriter() { ::close(fHandle); }
    TFileWriter(const TFileWriter&) = delete;
    TFileWriter& operator=(const TFileWriter&) = delete;

    void Append(const std::uint8_t* bytes, std::size_t count) {
        if (fBuffer.size() + count > kBufferSize)
            Flush();
        fBuffer.insert(fBuffer.end(), bytes, bytes + count);
        fWritten += static_cast<std::int64_t>(count);
    }
    void Append(const std::vector<std::uint8_t>& bytes) { Append(bytes.data(), bytes.size()); }

    void Flush() {
        const std::uint8_t* at = fBuffer.data();
        std::size_t left = fBuffer.size();
        while (left > 0) {
            const ssize_t done = ::write(fHandle, at, left);
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0)
                Fail("cannot write", fPath);
            at += done;
            left -= static_cast<std::size_t>(done);
        }
        fBuffer.clear();
    }

    // Overwrites bytes already flushed.
    void Patch(std::int64_t offset, const std::uint8_t* bytes, std::size_t count) {
        if (::pwrite(fHandle, bytes, count, offset) != static_cast<ssize_t>(count))
            Fail("cannot write", fPath);
    }

    void Sync() {
        Flush();
        if (::fsync(fHandle) != 0)
            Fail("cannot sync", fPath);
    }

    std::int64_t Written() const { return fWritten; }

private:
    static constexpr std::size_t kBufferSize = 4 << 20;
    std::filesystem::path fPath;
    int fHandle = -1;
    std::vector<std::uint8_t> fBuffer;
    std::int64_t fWritten = 0;
};

// xorshift64: fast, and the same sequence everywhere.
class TRandom {
public:
    std::uint64_t Next() {
        fState ^= fState << 13;
        fState ^= fState >> 7;
        fState ^= fState << 17;
        return fState;
    }

private:
    std::uint64_t fState = 0x9E3779B97F4A7C15ULL;
};

// Payload bytes without 0xFF, so that no sync can appear inside or between frames.
std::vector<std::uint8_t> MakePayloadPool(TRandom& random) {
    std::vector<std::uint8_t> pool(kPoolSize + 2048);
    for (std::uint8_t& byte : pool) {
        byte = static_cast<std::uint8_t>(random.Next() >> 56);
        if (byte == 0xFF)
            byte = 0xFE;
    }
    return pool;
}

std::vector<std::uint8_t> Id3v2Tag() {
    std::vector<std::uint8_t> tag(kId3v2Size, 0);
    const std::uint8_t header[] = {'I', 'D', '3', 3, 0, 0, 0, 0, 0x07, 0x76}; // body 1014
    std::copy(std::begin(header), std::end(header), tag.begin());
    const std::string title = "Lorvane benchmark";
    const std::uint8_t frameHeader[] = {
        'T', 'I', 'T', '2', 0, 0, 0, static_cast<std::uint8_t>(title.size() + 1), 0, 0};
    auto at = std::copy(std::begin(frameHeader), std::end(frameHeader), tag.begin() + 10);
    *at++ = 0; // Latin-1
    std::copy(title.begin(), title.end(), at);
    return tag;
}

std::vector<std::uint8_t> Id3v1Tag() {
    std::vector<std::uint8_t> tag(kId3v1Size, 0);
    const std::string title = "Lorvane benchmark";
    std::copy_n("TAG", 3, tag.begin());
    std::copy(title.begin(), title.end(), tag.begin() + 3);
    tag[127] = 101; // genre "Speech"
    return tag;
}

// Pads frames the way encoders do, so that the bitrate is exact on average.
class TPadding {
public:
    bool Next(int bitrate) {
        fRest += 144000 * bitrate % kSamplerate;
        if (fRest < kSamplerate)
            return false;
        fRest -= kSamplerate;
        return true;
    }

private:
    int fRest = 0;
};

int FrameLength(int bitrate, bool padding) {
    return 144000 * bitrate / kSamplerate + (padding ? 1 : 0);
}

void WriteHeader(std::uint8_t* frame, int bitrateIndex, bool padding) {
    frame[0] = 0xFF;
    frame[1] = 0xFB; // MPEG-1, Layer III, no CRC
    frame[2] = static_cast<std::uint8_t>(bitrateIndex << 4 | (padding ? 2 : 0)); // 44100 Hz
    frame[3] = 0x44; // joint stereo, original
}

// The next bitrate of the variable stream: a random walk between 64 and 224 kbit/s.
int NextVariableIndex(int index, TRandom& random) {
    const int step = static_cast<int>(random.Next() % 3) - 1;
    return std::clamp(index + step, 5, 12);
}

void Count(TSyntheticMp3& result, int bitrate, int& previous) {
    ++result.Frames;
    result.BitrateSum += bitrate;
    if (bitrate != previous)
        ++result.BitrateChanges;
    previous = bitrate;
}

} // namespace

std::int32_t TSyntheticMp3::AverageBitrate() const {
    if (Frames == 0)
        return 0;
    std::int64_t quotient = BitrateSum / Frames;
    const std::int64_t twiceRest = 2 * (BitrateSum % Frames);
    if (twiceRest > Frames || (twiceRest == Frames && quotient % 2 == 1))
        ++quotient;
    return static_cast<std::int32_t>(quotient);
}

std::int32_t TSyntheticMp3::Duration() const {
    const std::int64_t bitrate = AverageBitrate();
    if (bitrate == 0)
        return 0;
    return static_cast<std::int32_t>((FileSize - FirstFrame) * 8 / (bitrate * 1000));
}

TSyntheticMp3 WriteSyntheticMp3(const std::filesystem::path& path, std::int64_t targetBytes,
                                TBitrateMode mode) {
    TRandom random;
    const std::vector<std::uint8_t> pool = MakePayloadPool(random);
    TFileWriter writer(path);
    TSyntheticMp3 result;
    int previous = 0;

    writer.Append(Id3v2Tag());
    result.FirstFrame = writer.Written();

    std::vector<std::uint8_t> frame(2048);
    if (mode == TBitrateMode::Variable) {
        const int length = FrameLength(128, false);
        std::fill(frame.begin(), frame.begin() + length, 0);
        WriteHeader(frame.data(), kBitrateIndex128, false);
        std::copy_n("Xing\0\0\0\x01", 8, frame.begin() + kXingOffset);
        writer.Append(frame.data(), static_cast<std::size_t>(length));
        Count(result, 128, previous);
    }

    TPadding padding;
    int index = kBitrateIndex128;
    const auto limit = targetBytes - static_cast<std::int64_t>(kId3v1Size);
    for (std::size_t n = 0;; ++n) {
        if (mode == TBitrateMode::Variable)
            index = NextVariableIndex(index, random);
        const int bitrate = kLayer3Bitrates[static_cast<std::size_t>(index)];
        const bool padded = padding.Next(bitrate);
        const int length = FrameLength(bitrate, padded);
        if (writer.Written() + length > limit)
            break;
        WriteHeader(frame.data(), index, padded);
        const std::size_t from = n * 997 % kPoolSize;
        std::copy_n(pool.begin() + static_cast<std::ptrdiff_t>(from), length - 4,
                    frame.begin() + 4);
        writer.Append(frame.data(), static_cast<std::size_t>(length));
        Count(result, bitrate, previous);
    }

    writer.Append(Id3v1Tag());
    writer.Flush();
    if (mode == TBitrateMode::Variable) {
        const auto frames = static_cast<std::uint32_t>(result.Frames - 1); // the Xing frame not
        const std::uint8_t count[] = {
            static_cast<std::uint8_t>(frames >> 24), static_cast<std::uint8_t>(frames >> 16),
            static_cast<std::uint8_t>(frames >> 8), static_cast<std::uint8_t>(frames)};
        writer.Patch(result.FirstFrame + kXingOffset + 8, count, sizeof count);
    }
    writer.Sync();
    result.FileSize = writer.Written();
    return result;
}

} // namespace lorvane::bench
