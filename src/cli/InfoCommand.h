#pragma once
// "lorvane-cli info FILE...": one tab-separated line of analysis values per file.

#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace lorvane::cli {

struct TInfoAufruf {
    bool Hilfe = false;
    std::vector<std::string> Dateien;
};

// The arguments after "info", or the reason why they are not usable. Options may stand
// anywhere before "--"; after it every argument is a file, and a lone "-" always is.
std::variant<TInfoAufruf, std::string> InfoArgumenteLesen(const std::vector<std::string>& args);

// The German help of the command.
const char* InfoHilfe();

// Writes the header line and one line per file to out. Returns 0 when every file is
// valid, 1 otherwise. Stops at the first failed write (the caller reports it).
int RunInfoCommand(const std::vector<std::string>& files, std::ostream& out);

} // namespace lorvane::cli
