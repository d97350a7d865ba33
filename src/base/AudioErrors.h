#pragma once
// Result codes of the analyser and tag classes. The values are part of the
// program's behaviour (the console front end prints them), so keep them fixed.

#include <cstdint>
#include <vector>

namespace lorvane {

using TAudioError = std::uint8_t;
using TBuffer = std::vector<std::uint8_t>;

inline constexpr TAudioError FileErr_None = 0;
inline constexpr TAudioError FileErr_Unknown = 3;
inline constexpr TAudioError FileErr_NoFile = 4;
inline constexpr TAudioError FileErr_FileCreate = 5;
inline constexpr TAudioError FileErr_FileOpenR = 6;
inline constexpr TAudioError FileErr_StreamRead = 9;
inline constexpr TAudioError FileErr_StreamWrite = 10;
inline constexpr TAudioError FileErr_BackupFailed = 11;
inline constexpr TAudioError MP3ERR_Invalid_Header = 15;
inline constexpr TAudioError Mp3ERR_Compression = 16;
inline constexpr TAudioError Mp3ERR_Unclassified = 17;
inline constexpr TAudioError MP3ERR_NoMpegFrame = 18;
inline constexpr TAudioError ApeErr_InvalidTag = 27;

} // namespace lorvane
