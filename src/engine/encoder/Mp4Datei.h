#pragma once
// Whether the encoder's result is a whole MP4 file. An encoder that meets a full disk
// while writing its index may still end with success and leave a file that no player
// can open.

#include <filesystem>

namespace lorvane {

// The top-level boxes fill the file exactly (none cut off, nothing behind the last) and
// one of them is the index ("moov"). False for a file that cannot be read.
bool Mp4Vollstaendig(const std::filesystem::path& datei);

} // namespace lorvane
