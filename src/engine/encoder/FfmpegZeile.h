#pragma once
// Reads the encoder's error output line by line: the input's playing time from its
// "Duration:" line and the position reached from its progress lines.

#include <atomic>
#include <cstdint>
#include <string_view>

namespace lorvane {

// Updates the duration (from a "Duration:" line) and, once the duration is known
// (0 or more), the position (from a line with "size=" and "time="), in whole
// seconds. Every position read is also stored in letzteZeit before it is limited to
// the duration. Lines that match neither change nothing. The owner sets duration and
// position to -1 before each encoder run.
void FfmpegZeileAuswerten(std::string_view zeile, std::atomic<std::int32_t>& dauer,
                          std::atomic<std::int32_t>& zeit, std::atomic<std::int32_t>& letzteZeit);

} // namespace lorvane
