#include "cli/AusgabePruefen.h"

#include <cerrno>
#include <system_error>

namespace lorvane::cli {

bool AusgabePruefen(std::ostream& out, std::ostream& err) {
    int code = errno;
    if (!out.bad()) {
        errno = 0;
        out.flush();
        code = errno;
        if (!out.bad()) {
            return true;
        }
    }
    err << "lorvane-cli: Die Ausgabe konnte nicht geschrieben werden";
    if (code != 0) {
        err << ": " << std::generic_category().message(code);
    }
    err << '\n';
    err.flush();
    return false;
}

} // namespace lorvane::cli
