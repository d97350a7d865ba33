#include "engine/ordner/ArbeitsOrdnerSperre.h"

#include "engine/ordner/Ordner.h"
#include "engine/ordner/OrdnerSperre.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace lorvane {

namespace {

constexpr int kVersuche = 100;

// Deletes the files directly in the folder (never below it), then the folder when
// it is empty.
void EigenenOrdnerEntfernen(const fs::path& ordner) {
    std::error_code ec;
    std::vector<fs::path> dateien;
    fs::directory_iterator it(OhneTrenner(ordner), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typFehler;
        if (!it->is_directory(typFehler) || it->is_symlink(typFehler)) {
            dateien.push_back(it->path());
        }
    }
    for (const fs::path& datei : dateien) {
        DateiLoeschen(datei);
    }
    OrdnerEntfernenWennLeer(ordner);
}

// Unique folders of jobs that have ended: nobody holds their lock.
void VerwaisteOrdnerEntfernen(const fs::path& ordner) {
    std::error_code ec;
    std::vector<fs::path> verwaist;
    fs::directory_iterator it(OhneTrenner(ordner), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(EigenerArbeitsOrdnerPrefix, 0) == 0 &&
            LoeschOrdnerGrund(it->path()).empty()) {
            verwaist.push_back(it->path());
        }
    }
    for (const fs::path& unterordner : verwaist) {
        const int handle = OrdnerOeffnenUndSperren(unterordner);
        if (handle >= 0) {
            EigenenOrdnerEntfernen(unterordner);
            ::close(handle);
        }
    }
}

} // namespace

std::unique_ptr<TArbeitsOrdnerSperre> TArbeitsOrdnerSperre::Belegen(const fs::path& ordner) {
    const fs::path standard = MitTrenner(ordner);
    for (int versuch = 0; versuch < kVersuche; ++versuch) {
        if (!ArbeitsOrdnerAnlegen(standard)) {
            return nullptr;
        }
        int handle = OrdnerOeffnenUndSperren(standard);
        if (handle >= 0) {
            VerwaisteOrdnerEntfernen(standard);
            return std::unique_ptr<TArbeitsOrdnerSperre>(
                new TArbeitsOrdnerSperre(standard, handle, false));
        }
        std::string muster = standard.string() + EigenerArbeitsOrdnerPrefix + "XXXXXX";
        if (::mkdtemp(muster.data()) == nullptr) {
            // The default folder went away meanwhile: start again.
            continue;
        }
        const fs::path eigener = MitTrenner(muster);
        handle = OrdnerOeffnenUndSperren(eigener);
        if (handle >= 0) {
            return std::unique_ptr<TArbeitsOrdnerSperre>(
                new TArbeitsOrdnerSperre(eigener, handle, true));
        }
    }
    return nullptr;
}

TArbeitsOrdnerSperre::TArbeitsOrdnerSperre(fs::path ordner, int handle, bool eigener)
    : fOrdner(std::move(ordner)), fHandle(handle), fEigener(eigener) {}

TArbeitsOrdnerSperre::~TArbeitsOrdnerSperre() {
    if (fEigener) {
        EigenenOrdnerEntfernen(fOrdner);
    }
    ::close(fHandle);
}

bool ArbeitsOrdnerGesperrt(const fs::path& ordner) {
    const int handle = ::open(OhneTrenner(ordner).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) {
        return false;
    }
    // flock locks belong to the open file description: a second open in this process
    // conflicts with a lock held through another one.
    const bool gesperrt = ::flock(handle, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(handle);
    return gesperrt;
}

} // namespace lorvane
