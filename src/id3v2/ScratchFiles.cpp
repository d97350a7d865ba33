#include "id3v2/ScratchFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace lorvane {

namespace {

std::mutex gFolderMutex;
fs::path gFolder; // empty: the default

fs::path HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    const passwd* entry = ::getpwuid(::getuid());
    if (entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

// Creates every missing folder of the path with mode 0700, so that a fresh cache folder is
// private to the user.
void CreatePrivateFolders(const fs::path& folder) {
    fs::path partial;
    for (const fs::path& part : folder) {
        partial /= part;
        if (part.empty() || part == "/") {
            continue;
        }
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            throw EFileStreamError("Cannot create folder \"" + partial.string() +
                                   "\": " + std::strerror(errno));
        }
    }
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        throw EFileStreamError("Not a folder: \"" + folder.string() + "\"");
    }
}

bool NameIsTaken(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

} // namespace

fs::path DefaultTagScratchFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    // Only an absolute XDG_CACHE_HOME counts; a relative one is to be ignored.
    const fs::path base =
        cache != nullptr && cache[0] == '/' ? fs::path(cache) : HomeFolder() / ".cache";
    return base / "lorvane" / "";
}

fs::path TagScratchFolder() {
    std::lock_guard<std::mutex> lock(gFolderMutex);
    return gFolder.empty() ? DefaultTagScratchFolder() : gFolder;
}

void SetTagScratchFolder(const fs::path& folder) {
    std::lock_guard<std::mutex> lock(gFolderMutex);
    gFolder = folder;
}

std::string TagTempFileName(int counter) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name = "TagTemp.t";
    name.push_back(kHex[(counter >> 4) & 0xF]);
    name.push_back(kHex[counter & 0xF]);
    return name;
}

TScratchFile::TScratchFile() {
    const fs::path folder = TagScratchFolder();
    CreatePrivateFolders(folder);
    for (int counter = 0; counter < kScratchNameCount; ++counter) {
        const fs::path candidate = folder / TagTempFileName(counter);
        if (NameIsTaken(candidate)) {
            continue;
        }
        try {
            fStream = std::make_unique<TFileStream>(candidate, TFileMode::CreateExclusive);
            fPath = candidate;
            return;
        } catch (const EFileStreamError&) {
            // Taken by someone else since the look: try the next name. Any other failure
            // would repeat for every name.
            if (!NameIsTaken(candidate)) {
                throw;
            }
        }
    }
    throw EFileStreamError("No free scratch file name in \"" + folder.string() + "\"");
}

TScratchFile::~TScratchFile() {
    if (fKeep) {
        fStream.reset();
        return;
    }
    Delete();
}

void TScratchFile::Delete() {
    fStream.reset();
    if (!fPath.empty()) {
        std::error_code ec;
        fs::remove(fPath, ec);
        fPath.clear();
    }
}

} // namespace lorvane
