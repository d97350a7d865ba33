#pragma once
// "lorvane-cli info FILE...": one tab-separated line of analysis values per file.

#include <ostream>
#include <string>
#include <vector>

namespace lorvane::cli {

// Writes the header line and one line per file to out. Returns 0 when every file is
// valid, 1 otherwise.
int RunInfoCommand(const std::vector<std::string>& files, std::ostream& out);

// Text for one cell: every character below U+0020 becomes a space, so that tabs and
// line breaks in tags cannot break the columns.
std::string CellText(std::string text);

} // namespace lorvane::cli
