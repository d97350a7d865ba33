#pragma once
// One running program per user: the first start holds an exclusive lock on a file
// named after the program ("Lorvane V1.13") and, once its main window exists, writes
// its process id into that file. A later start finds the lock taken and the id of a
// living process in the file: that is "the program's window was found".

#include <QString>

#include <chrono>
#include <functional>
#include <sys/types.h>

namespace lorvane {

inline const QString ProgrammSperrName = QStringLiteral("Lorvane V1.13");

// $XDG_RUNTIME_DIR, else the configuration folder.
QString SperrOrdner();

class TProgrammSperre {
public:
    // Tries to take the lock on <ordner>/<name>; Erste() tells whether it was taken.
    TProgrammSperre(const QString& ordner, const QString& name);
    ~TProgrammSperre();
    TProgrammSperre(const TProgrammSperre&) = delete;
    TProgrammSperre& operator=(const TProgrammSperre&) = delete;

    bool Erste() const { return fErste; }
    const QString& Datei() const { return fDatei; }
    // The first instance's window is up: later starts may hand over now.
    bool ProzessIdVeroeffentlichen(pid_t pid);

private:
    QString fDatei;
    int fFd = -1;
    bool fErste = false;
};

// The process id of the running first instance: the file names a living process and
// someone holds the lock on it; 0 when not.
pid_t FindProgramWindow(const QString& sperrDatei);

// FindProgramWindow, asked again until it finds the program or the time is up, so that
// a start during the first instance's own start does not lose its folders.
using TSchlafen = std::function<void(std::chrono::milliseconds)>;
pid_t AufProgrammWarten(const QString& sperrDatei, std::chrono::milliseconds hoechstens,
                        const TSchlafen& schlafen);

} // namespace lorvane
