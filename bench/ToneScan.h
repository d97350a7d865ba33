#pragma once
// Finds the tones in a decoded file: the stretches of a sine at lavfi's level between
// silences, where each begins and ends to the sample, and its pitch.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace lorvane::bench {

struct TTone {
    std::int64_t Begin = 0; // the first sample at half the tone's amplitude
    std::int64_t End = 0;   // behind the last one
    double Hz = 0;          // over its first half second; 0 when too short to tell
};

struct TScan {
    std::int64_t Samples = 0; // the decoded length
    std::vector<TTone> Tones; // in order
};

// Decodes the first audio stream of the file with ffmpeg, mono at the rate, and scans it
// as it comes, so that hours of audio need no room. Throws when ffmpeg fails.
TScan ScanTones(const std::filesystem::path& ffmpeg, const std::filesystem::path& file, int rate);

} // namespace lorvane::bench
