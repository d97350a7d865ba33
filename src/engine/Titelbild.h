#pragma once
// The cover every part carries: the picture of the first source file that has one
// (front cover preferred), kept in the working folder for the encoder. A picture that
// cannot be written leaves the parts without a cover, never without audio.

#include "id3v2/ID3v2Bild.h"

#include <filesystem>
#include <optional>

namespace lorvane {

// In the working folder, under a name its clearing covers ("*.m*"); the encoder tells
// JPEG from PNG by the bytes.
std::filesystem::path TitelbildDateiName(const std::filesystem::path& arbeitsOrdner);

// Writes the picture whole or not at all; without a picture an old one is removed, so
// that no earlier job's cover is taken. False when there is no cover file afterwards.
bool TitelbildSchreiben(const std::filesystem::path& datei, const std::optional<TID3v2Bild>& bild);

} // namespace lorvane
