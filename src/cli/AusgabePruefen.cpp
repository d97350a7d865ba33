#include "cli/AusgabePruefen.h"

#include "base/FehlerGrund.h"

#include <cerrno>

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
        err << ": " << SystemFehlerText(code);
    }
    err << '\n';
    err.flush();
    return false;
}

} // namespace lorvane::cli
