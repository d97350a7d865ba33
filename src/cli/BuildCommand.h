#pragma once
// lorvane-cli build: a whole job without a display. The inputs (folders and MP3
// files) are scanned as the add dialog does, the metadata is cleaned as the main
// window does, and the job controller runs the job with the console as its front end.

#include "engine/TeilGroesse.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lorvane::cli {

inline constexpr int kBuildOk = 0;
inline constexpr int kBuildFehlgeschlagen = 1;
inline constexpr int kBuildAufruffehler = 2;

struct TBuildOptionen {
    std::optional<std::string> Autor;
    std::optional<std::string> Titel;
    std::optional<std::string> Album;
    int Stunden = StundenVorgabe;
    std::optional<std::filesystem::path> Ausgabe;
    bool KopieMp3 = false;
    // Parts end at the frame after the size, not at a nearby file boundary or pause.
    bool GenaueGroesse = false;
    // Encoders side by side; none given: the cores the process may use.
    std::optional<std::int32_t> Encoder;
    bool AllesJa = false;
    bool Rekursiv = false;
    bool Hilfe = false;
    std::vector<std::string> Eingaben;
};

// The options, or the reason why they are not usable.
std::variant<TBuildOptionen, std::string> BuildOptionenLesen(const std::vector<std::string>& args);

// The German help of the command.
const char* BuildHilfe();

// The arguments after "build"; returns the exit status.
int RunBuildCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace lorvane::cli
