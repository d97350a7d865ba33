#pragma once
// Names of the files the joiner makes in the working folder, and the title of a part.

#include <cstdint>
#include <filesystem>
#include <string>

namespace lorvane {

// The part number in decimal, padded on the left with "0" to at least three digits
// (001, 002, ... 999, 1000).
std::string TeilNummerText(std::int32_t teilNr);

// "Autor - Album_001.mp3" in the working folder; "Autor - Album" is shortened (at a
// character boundary) when the name would pass 255 bytes.
std::filesystem::path TeilDateiName(const std::filesystem::path& arbeitsOrdner,
                                    const std::string& autor, const std::string& album,
                                    std::int32_t teilNr);

// The title tag of a part: "Titel (001)".
std::string TeilTitel(const std::string& titel, std::int32_t teilNr);

// The name of the re-encoded copy of a source in the working folder: base name +
// "_tmp.mp3"; when a file of that name exists, base name + "_tmp_" + k + ".mp3" for
// the first k = 1, 2, 3, ... under which none exists. The base name is shortened to
// keep the name within 255 bytes.
std::filesystem::path KopieDateiName(const std::filesystem::path& arbeitsOrdner,
                                     const std::filesystem::path& quelle);

} // namespace lorvane
