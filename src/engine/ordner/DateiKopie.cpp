#include "engine/ordner/DateiKopie.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lorvane {

namespace {

// Closes the descriptor when it goes out of scope, unless it was closed by hand.
struct TDeskriptor {
    int Fd = -1;
    ~TDeskriptor() {
        if (Fd >= 0) {
            ::close(Fd);
        }
    }
    // The errno of the close, which may be the first to report a full disk.
    int Schliessen() {
        const int ergebnis = ::close(Fd);
        Fd = -1;
        return ergebnis == 0 ? 0 : errno;
    }
};

int AllesSchreiben(int fd, const char* daten, std::size_t anzahl) {
    while (anzahl > 0) {
        const ssize_t geschrieben = ::write(fd, daten, anzahl);
        if (geschrieben < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        daten += geschrieben;
        anzahl -= static_cast<std::size_t>(geschrieben);
    }
    return 0;
}

int Uebertragen(int von, int nach) {
    std::vector<char> puffer(1 << 16);
    for (;;) {
        const ssize_t gelesen = ::read(von, puffer.data(), puffer.size());
        if (gelesen < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (gelesen == 0) {
            return 0;
        }
        if (const int fehler =
                AllesSchreiben(nach, puffer.data(), static_cast<std::size_t>(gelesen));
            fehler != 0) {
            return fehler;
        }
    }
}

} // namespace

int DateiVollstaendigKopieren(const std::filesystem::path& quelle,
                              const std::filesystem::path& ziel) {
    TDeskriptor von{::open(quelle.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat info {};
    if (von.Fd < 0 || ::fstat(von.Fd, &info) != 0) {
        return errno;
    }
    // Hidden, so that nobody takes the unfinished copy for a file of the audiobook.
    std::string name(1, '.');
    name.append(ziel.filename().string()).append(".XXXXXX");
    std::string vorlage = (ziel.parent_path() / name).string();
    TDeskriptor nach{::mkostemp(vorlage.data(), O_CLOEXEC)};
    if (nach.Fd < 0) {
        return errno;
    }
    int fehler = Uebertragen(von.Fd, nach.Fd);
    if (fehler == 0 && ::fchmod(nach.Fd, info.st_mode & 0777) != 0) {
        fehler = errno;
    }
    if (const int beimSchliessen = nach.Schliessen(); fehler == 0) {
        fehler = beimSchliessen;
    }
    if (fehler == 0 && ::rename(vorlage.c_str(), ziel.c_str()) != 0) {
        fehler = errno;
    }
    if (fehler != 0) {
        ::unlink(vorlage.c_str());
    }
    return fehler;
}

} // namespace lorvane
