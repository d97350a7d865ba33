#pragma once
// Keeps two jobs out of each other's working folder. A job holds an exclusive lock
// (flock) on the folder it works in; when another job holds the default working
// folder, this one gets a unique folder of its own below it. The kernel drops the
// lock with the process, so a job that crashed blocks nobody; the unique folder it
// left behind is removed by the next job that holds the default folder.

#include <filesystem>
#include <memory>

namespace lorvane {

// Name prefix of the unique folders below the default working folder.
inline constexpr const char* EigenerArbeitsOrdnerPrefix = "Auftrag-";

class TArbeitsOrdnerSperre {
public:
    // Creates the folder when missing (mode 0700) and locks it, or a unique folder
    // below it when it is locked already. Nothing when neither could be created, or
    // when the folder is not one the program may work in (ArbeitsOrdnerGrund).
    static std::unique_ptr<TArbeitsOrdnerSperre> Belegen(const std::filesystem::path& ordner);

    // A unique folder is emptied of its files and removed; the lock is released.
    ~TArbeitsOrdnerSperre();
    TArbeitsOrdnerSperre(const TArbeitsOrdnerSperre&) = delete;
    TArbeitsOrdnerSperre& operator=(const TArbeitsOrdnerSperre&) = delete;

    // The folder the job works in, with a trailing separator.
    const std::filesystem::path& Ordner() const { return fOrdner; }
    // True for a unique folder below the default one.
    bool Eigener() const { return fEigener; }

private:
    TArbeitsOrdnerSperre(std::filesystem::path ordner, int handle, bool eigener);

    std::filesystem::path fOrdner;
    int fHandle;
    bool fEigener;
};

// Whether another process holds the lock on the folder now.
bool ArbeitsOrdnerGesperrt(const std::filesystem::path& ordner);

} // namespace lorvane
