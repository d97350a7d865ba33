#pragma once
// Scratch files of the tag writer: "TagTemp.t00" to "TagTemp.tFF" in a per-user folder.
// Each is created exclusively, so a name another process has just taken is never reused.

#include "base/Streams.h"

#include <filesystem>
#include <memory>
#include <string>

namespace lorvane {

// The folder the scratch files go to: the one set by SetTagScratchFolder, else
// DefaultTagScratchFolder().
std::filesystem::path TagScratchFolder();
// An empty path returns to the default.
void SetTagScratchFolder(const std::filesystem::path& folder);
// $XDG_CACHE_HOME (else $HOME/.cache) + "/lorvane/".
std::filesystem::path DefaultTagScratchFolder();

// "TagTemp.t" + the counter (0 to 255) as two uppercase hexadecimal digits.
std::string TagTempFileName(int counter);

inline constexpr int kScratchNameCount = 256;

// One scratch file, open for reading and writing. Closed and deleted when the object goes,
// unless Keep() was called.
class TScratchFile {
public:
    // Creates the folder when missing (mode 0700), then the first free name from 00 upwards.
    // Throws EFileStreamError when no name is free or the file cannot be created.
    TScratchFile();
    ~TScratchFile();
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;

    TFileStream& Stream() { return *fStream; }
    const std::filesystem::path& Path() const { return fPath; }
    // Leaves the file on disk when the object goes.
    void Keep() { fKeep = true; }
    // Closes and deletes the file now.
    void Delete();

private:
    std::unique_ptr<TFileStream> fStream;
    std::filesystem::path fPath;
    bool fKeep = false;
};

} // namespace lorvane
