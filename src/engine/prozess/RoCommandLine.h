#pragma once
// Command lines as one string, split into arguments by the rules Windows programs
// use, so that the same format strings serve both platforms:
// - space and tab separate arguments outside double quotes;
// - a double quote starts or ends a quoted group (and makes an argument, even an
//   empty one);
// - 2n backslashes before a double quote give n backslashes and the quote toggles
//   the group; 2n+1 backslashes before it give n backslashes and a literal quote;
// - backslashes anywhere else are literal.
// The same rules apply to the first argument (the program), so that one quoting
// function serves every path on the line.

#include <filesystem>
#include <string>
#include <vector>

namespace lorvane {

// The arguments of a command line; the first one names the program.
std::vector<std::string> RoSplitCommandLine(const std::string& commandLine);

// The text to put between the double quotes of a format such as "\"%s\"" so that the
// split returns the path unchanged. A relative path gets "./" in front, so that a
// name beginning with a dash (or looking like "proto:name") is never taken for an
// option by the program; the path still names the same file.
std::string RoQuotePath(const std::filesystem::path& path);

} // namespace lorvane
