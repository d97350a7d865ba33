#pragma once
// The genre names of the ID3v1 table with the Winamp extensions, and the genre text
// written into an ID3v2 content-type frame.

#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

inline constexpr int kGenreCount = 148;

// Index 0 "Blues" to 147 "Synthpop". Built on first use; safe to read from any thread.
const std::vector<std::string>& GenreList();

// Index of a genre name, compared without regard to ASCII case; -1 when it is not listed.
int GenreIndex(std::string_view name);

// "(" + index + ")" + value for a listed genre, for example "(101)speech"; any other value
// unchanged.
std::string GenreToText(const std::string& value);

} // namespace lorvane
