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
    // Where its first frame lies in the part, in samples per channel.
    std::int64_t StartSamples = 0;
    // The silence the file's encoder put before its audio, when the chapter begins with
    // the file (0 when it begins inside it); known when the file records it.
    std::int32_t Verzoegerung = 0;
    bool VerzoegerungBekannt = true;
};

// Decoded MP3 audio lags its frames by the decoder's own delay.
inline constexpr std::int32_t kMp3DecoderVerzoegerung = 529;
// LAME's delay, taken for a file that does not record its own.
inline constexpr std::int32_t kUeblicheEncoderVerzoegerung = 576;

// The samples the encoder drops at the start of a part, which are silence: the
// decoder's delay, and the first file's recorded delay when the part begins with it.
std::int32_t TeilVorlauf(const std::vector<TKapitel>& kapitel);

// The file's own title, else its name without the extension; never empty.
std::string KapitelTitel(const std::string& tagTitel, const std::filesystem::path& eingabe);

// "Autor - Album_001.meta" beside the part "Autor - Album_001.mp3"; the working folder's
// clearing takes it with the parts.
std::filesystem::path KapitelDateiName(const std::filesystem::path& teil);

// The encoder's metadata format with times in milliseconds, for the part's audio less
// its TeilVorlauf: the first chapter at 0, each other one where its file's audio
// begins (behind the decoder's and the file's encoder delay). The TeilVorlauf itself is
// kept in a comment line for KapitelVorlauf.
std::string KapitelMetadaten(const std::vector<TKapitel>& kapitel, std::int64_t gesamtSamples,
                             std::int32_t samplerate);
// The TeilVorlauf recorded in a metadata file; 0 without one.
std::int32_t KapitelVorlauf(const std::filesystem::path& datei);

// Writes the text as the file, whole or not at all; false when it could not.
bool KapitelDateiSchreiben(const std::filesystem::path& datei, const std::string& text);

// How many chapters the file names; 0 when it is missing.
std::int32_t KapitelZaehlen(const std::filesystem::path& datei);

// "Kapitel je M4B-Datei: 6, 4", in the order the files were made; empty without files.
std::string
KapitelJeDateiText(const std::vector<std::pair<std::filesystem::path, std::int32_t>>& dateien);

} // namespace lorvane
