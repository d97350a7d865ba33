#include "engine/ordner/OrdnerSperre.h"

#include "engine/ordner/Ordner.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace lorvane {

int OrdnerOeffnenUndSperren(const fs::path& ordner) {
    const fs::path pfad = OhneTrenner(ordner);
    const int handle = ::open(pfad.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) {
        return -1;
    }
    if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        ::close(handle);
        return -1;
    }
    struct stat offen {};
    struct stat amPfad {};
    if (::fstat(handle, &offen) != 0 || ::stat(pfad.c_str(), &amPfad) != 0 ||
        offen.st_dev != amPfad.st_dev || offen.st_ino != amPfad.st_ino) {
        ::close(handle);
        return -1;
    }
    return handle;
}

std::unique_ptr<TOrdnerSperre> TOrdnerSperre::Versuchen(const fs::path& ordner) {
    const int handle = OrdnerOeffnenUndSperren(ordner);
    if (handle < 0) {
        return nullptr;
    }
    return std::unique_ptr<TOrdnerSperre>(new TOrdnerSperre(handle));
}

TOrdnerSperre::~TOrdnerSperre() {
    ::close(fHandle);
}

} // namespace lorvane
