#pragma once
// The order in which a file manager shows names: letters without regard to case or
// accent, runs of digits by their value ("Kapitel 2" before "Kapitel 10"). Names
// that are equal under these rules are ordered by their bytes, so the order is total
// and the same on every run.

#include <string_view>

namespace lorvane {

// Negative when a comes first, 0 only for identical names, positive otherwise.
int NatuerlichVergleichen(std::string_view a, std::string_view b);

inline bool NatuerlichVor(std::string_view a, std::string_view b) {
    return NatuerlichVergleichen(a, b) < 0;
}

} // namespace lorvane
