#pragma once
// The messages the two worker threads leave for the controller.

#include <filesystem>
#include <string>

namespace lorvane {

// The joiner's message for a file it could not process; "MP3-Audioformat" stands
// where a file name would when no target format could be chosen.
std::string Mp3BearbeitungFehler(const std::string& datei);
inline constexpr const char* kMp3AudioformatName = "MP3-Audioformat";

// A part could not be created, or its tag not written.
std::string TeilErstellungFehler(const std::filesystem::path& teil);

// The converter: the encoder run failed.
std::string KonvertierungFehler(const std::filesystem::path& teil);
// The MP3 part could not be copied into the audiobook folder.
std::string Mp3KopierFehler(const std::filesystem::path& teil);
// The ".m4a" result could not be renamed to ".m4b".
std::string UmbenennungFehler(const std::filesystem::path& ergebnis);
// Below a failed rename: the converted file is whole and stays under its first name.
std::string VollstaendigUnterAltemNamen(const std::filesystem::path& ergebnis);

// A worker thread ended through an unexpected error; grund is its text.
std::string ThreadAbbruchFehler(const std::string& grund);

} // namespace lorvane
