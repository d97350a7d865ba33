#pragma once
// Large, syntactically valid MPEG-1 Layer III files for the benchmarks: an ID3v2.3 tag,
// proper frame headers, payload bytes that never form a sync, an ID3v1 tag at the end.
// Deterministic: the same request gives the same bytes. Nothing here decodes as sound.

#include <cstdint>
#include <filesystem>

namespace lorvane::bench {

enum class TBitrateMode {
    Constant, // 128 kbit/s throughout, padded like an encoder so the average stays exact
    Variable, // a Xing frame, then bitrates that change from frame to frame
};

// What was written, and what a complete frame walk must therefore find.
struct TSyntheticMp3 {
    std::int64_t FileSize = 0;
    std::int64_t FirstFrame = 0;     // offset of the first frame (the size of the ID3v2 tag)
    std::int32_t Frames = 0;         // frames written, the Xing frame included
    std::int64_t BitrateSum = 0;     // kbit/s over all frames
    std::int32_t BitrateChanges = 0; // frames whose bitrate differs from the one before,
                                     // the first frame included

    // Average bitrate in kbit/s, rounded to nearest with ties to even.
    std::int32_t AverageBitrate() const;
    // Whole seconds from the bytes behind the first frame and the average bitrate.
    std::int32_t Duration() const;
    bool Vbr() const { return BitrateChanges > 2; }
};

// Writes about targetBytes bytes to path (created or truncated) and syncs them to disk.
// Throws std::runtime_error when the file cannot be written.
TSyntheticMp3 WriteSyntheticMp3(const std::filesystem::path& path, std::int64_t targetBytes,
                                TBitrateMode mode);

} // namespace lorvane::bench
