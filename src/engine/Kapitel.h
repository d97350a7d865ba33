#pragma once
// The chapters of a part: one per source file it holds, placed by the samples of the
// frames actually written before it, and handed to the encoder as a metadata file.

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace lorvane {

struct TKapitel {
    std::string Titel;
    std::int64_t StartSamples = 0;
};

// The file's own title, else its name without the extension; never empty.
std::string KapitelTitel(const std::string& tagTitel, const std::filesystem::path& eingabe);

// "Autor - Album_001.meta" beside the part "Autor - Album_001.mp3"; the working folder's
// clearing takes it with the parts.
std::filesystem::path KapitelDateiName(const std::filesystem::path& teil);

// The encoder's metadata format with times in milliseconds. The first chapter starts at
// 0; the others lie behind the AAC encoder's priming, which delays the audio in the
// M4B against what was given by 1024 samples.
std::string KapitelMetadaten(const std::vector<TKapitel>& kapitel, std::int64_t gesamtSamples,
                             std::int32_t samplerate);

// Writes the text as the file, whole or not at all; false when it could not.
bool KapitelDateiSchreiben(const std::filesystem::path& datei, const std::string& text);

// How many chapters the file names; 0 when it is missing.
std::int32_t KapitelZaehlen(const std::filesystem::path& datei);

// "Kapitel je M4B-Datei: 6, 4", in the order the files were made; empty without files.
std::string
KapitelJeDateiText(const std::vector<std::pair<std::filesystem::path, std::int32_t>>& dateien);

} // namespace lorvane
