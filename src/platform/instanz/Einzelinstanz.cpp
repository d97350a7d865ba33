#include "platform/instanz/Einzelinstanz.h"

#include "platform/instanz/KivRegistry.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace lorvane {

namespace {

int Oeffnen(const QString& datei, int flags) {
    const QByteArray name = QFile::encodeName(datei);
    return ::open(name.constData(), flags | O_CLOEXEC | O_NOFOLLOW, 0600);
}

bool Lebt(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

pid_t GelesenePid(int fd) {
    char puffer[32] = {};
    const ssize_t n = ::pread(fd, puffer, sizeof(puffer) - 1, 0);
    if (n <= 0) {
        return 0;
    }
    pid_t pid = 0;
    for (ssize_t i = 0; i < n; ++i) {
        if (puffer[i] == '\n') {
            break;
        }
        if (puffer[i] < '0' || puffer[i] > '9' || pid > 100000000) {
            return 0;
        }
        pid = pid * 10 + (puffer[i] - '0');
    }
    return pid;
}

} // namespace

QString SperrOrdner() {
    const QString laufzeit = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return QDir::isAbsolutePath(laufzeit) ? laufzeit : StandardKonfigOrdner();
}

TProgrammSperre::TProgrammSperre(const QString& ordner, const QString& name)
    : fDatei(ordner + QLatin1Char('/') + name) {
    QDir().mkpath(ordner);
    fFd = Oeffnen(fDatei, O_RDWR | O_CREAT);
    if (fFd < 0) {
        // Without a lock file every start counts as the first, as without a mutex.
        fErste = true;
        return;
    }
    int ergebnis = 0;
    while ((ergebnis = ::flock(fFd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    fErste = ergebnis == 0;
    if (fErste) {
        // An id left by a crashed run must not count until this run's window is up.
        static_cast<void>(::ftruncate(fFd, 0));
    } else {
        ::close(fFd);
        fFd = -1;
    }
}

TProgrammSperre::~TProgrammSperre() {
    if (fFd >= 0) {
        static_cast<void>(::ftruncate(fFd, 0));
        ::close(fFd);
    }
}

bool TProgrammSperre::ProzessIdVeroeffentlichen(pid_t pid) {
    if (fFd < 0) {
        return false;
    }
    const std::string text = std::to_string(pid) + "\n";
    return ::pwrite(fFd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
}

pid_t FindProgramWindow(const QString& sperrDatei) {
    const int fd = Oeffnen(sperrDatei, O_RDONLY);
    if (fd < 0) {
        return 0;
    }
    pid_t pid = GelesenePid(fd);
    if (!Lebt(pid)) {
        pid = 0;
    } else if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
        // Nobody holds the lock: the id is left over.
        pid = 0;
    }
    ::close(fd);
    return pid;
}

pid_t AufProgrammWarten(const QString& sperrDatei, std::chrono::milliseconds hoechstens,
                        const TSchlafen& schlafen) {
    constexpr std::chrono::milliseconds kSchritt{25};
    std::chrono::milliseconds gewartet{0};
    for (;;) {
        if (const pid_t pid = FindProgramWindow(sperrDatei); pid != 0) {
            return pid;
        }
        if (gewartet >= hoechstens) {
            return 0;
        }
        schlafen(kSchritt);
        gewartet += kSchritt;
    }
}

} // namespace lorvane
