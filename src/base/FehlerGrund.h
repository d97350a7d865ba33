#pragma once
// Why something failed, in words for the user: the system's error text (in German for
// the errors a job meets: a full disk, a missing permission) and the line that carries
// it below a message.

#include <filesystem>
#include <string>

namespace lorvane {

// The text for an errno value; empty for 0.
std::string SystemFehlerText(int code);

// The message with one more line "Grund: ..." when there is a reason.
std::string MitGrund(std::string meldung, const std::string& grund);

// Why the file cannot be opened for reading (missing, no permission, a folder, not a
// plain file); empty when it can.
std::string LeseFehlerGrund(const std::filesystem::path& datei);

// Why the analyser refused the file: LeseFehlerGrund, else that it holds no MPEG audio.
std::string UngueltigeMp3Grund(const std::filesystem::path& datei);

} // namespace lorvane
