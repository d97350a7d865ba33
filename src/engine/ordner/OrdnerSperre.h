#pragma once
// An exclusive lock (flock) on a folder itself, so that no lock file is left in it.
// The kernel drops the lock with the process: a job that crashed blocks nobody.

#include <filesystem>
#include <memory>

namespace lorvane {

// The folder opened and locked without waiting, or -1. A folder removed or replaced
// between opening and locking is not taken: the handle must still name the folder at
// that path.
int OrdnerOeffnenUndSperren(const std::filesystem::path& ordner);

class TOrdnerSperre {
public:
    // Nothing when the folder is missing or another open file holds its lock.
    static std::unique_ptr<TOrdnerSperre> Versuchen(const std::filesystem::path& ordner);
    ~TOrdnerSperre();
    TOrdnerSperre(const TOrdnerSperre&) = delete;
    TOrdnerSperre& operator=(const TOrdnerSperre&) = delete;

private:
    explicit TOrdnerSperre(int handle) : fHandle(handle) {}
    int fHandle;
};

} // namespace lorvane
