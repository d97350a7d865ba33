#pragma once
// A copy that is either whole under its final name or not there at all: written under a
// hidden temporary name beside the target and renamed when complete.

#include <filesystem>

namespace lorvane {

// Copies quelle to ziel, replacing a file (or a link, never its target) of that name.
// Returns 0, or the errno of the step that failed; the partial copy is deleted then.
int DateiVollstaendigKopieren(const std::filesystem::path& quelle,
                              const std::filesystem::path& ziel);

} // namespace lorvane
