#pragma once
// Names of the files the joiner makes in the working folder, and the title of a part.

#include <cstdint>
#include <filesystem>
#include <string>

namespace lorvane {

// The part number in decimal, padded on the left with "0" to at least three digits
// (001, 002, ... 999, 1000).
std::string TeilNummerText(std::int32_t teilNr);

// "Autor - Album_001.mp3" in the working folder.
std::filesystem::path TeilDateiName(const std::filesystem::path& arbeitsOrdner,
                                    const std::string& autor, const std::string& album,
                                    std::int32_t teilNr);

// The title tag of a part: "Titel (001)".
std::string TeilTitel(const std::string& titel, std::int32_t teilNr);

// The name of the re-encoded copy of a source in the working folder: base name +
// "_tmp" + extension; when a file of that name exists, base name + "_tmp_" + k +
// extension for the first k = 1, 2, 3, ... under which none exists.
std::filesystem::path KopieDateiName(const std::filesystem::path& arbeitsOrdner,
                                     const std::filesystem::path& quelle);

} // namespace lorvane
