#pragma once
// The program's default folders and the folder operations of a job: creating the
// output and working folders, and clearing the audio files out of a folder.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

// Both front ends use this name, so that they share their folders.
inline constexpr std::string_view ProgrammBasisName = "lorvane";

// Where the default folders come from; tests pass their own.
struct TOrdnerQuellen {
    // The value of an environment variable, empty when it is not set.
    std::function<std::string(const std::string& name)> Umgebung;
    // The folder of the running executable.
    std::filesystem::path ProgrammOrdner;
};

// Folder paths end with a separator, so that names can be appended as text.
struct TStandardOrdner {
    std::filesystem::path AusgabeOrdner;
    std::filesystem::path ArbeitsOrdner;
    std::filesystem::path FfmpegDatei;
    // Empty when no data folder of the user is known; nothing is written then.
    std::filesystem::path SendToLink;
};

// The process environment (HOME falls back to the password database) and the folder
// of /proc/self/exe.
TOrdnerQuellen SystemOrdnerQuellen();

// Computed once at program start.
TStandardOrdner StandardOrdnerErmitteln(const TOrdnerQuellen& quellen);

// Encoder/ffmpeg beside the program, else ffmpeg beside it when it exists, else the
// first executable ffmpeg in an absolute folder of the search path, else ffmpeg beside
// the program (which the start check then reports as missing).
std::filesystem::path FfmpegDateiSuchen(const std::filesystem::path& programmOrdner,
                                        std::string_view suchPfad);

// The path with exactly one trailing separator; an empty path stays empty.
std::filesystem::path MitTrenner(const std::filesystem::path& ordner);

// The folder without its trailing separator, as the system calls want it.
std::filesystem::path OhneTrenner(const std::filesystem::path& ordner);

// The same folder as the file system sees it, also when reached through "..", a link
// or a second mount name. False when either cannot be reached.
bool GleicherOrdner(const std::filesystem::path& a, const std::filesystem::path& b);

enum class TLage {
    // In the folder itself.
    Direkt,
    // In the folder or in any folder below it.
    DarinOderDarunter,
};
// Whether the file, by the name it is given or by what its links make of it, lies in
// the folder. Folders are compared with GleicherOrdner, so the file need not exist.
bool LiegtIn(const std::filesystem::path& datei, const std::filesystem::path& ordner, TLage lage);

// Wildcard match of a file name: "*" any run, "?" one byte; ASCII letters match
// regardless of case.
bool MaskePasst(std::string_view name, std::string_view maske);

// The entries OrdnerLeeren deletes from the program's own working folder: names
// matching "*.m*", and the tag writer's scratch files "TagTemp.t??", that are not
// hidden and not folders, directly in the folder.
std::vector<std::filesystem::path> ZuLeerendeDateien(const std::filesystem::path& ordner);

// What a job may have put into an audiobook folder, which also holds the user's own
// files: regular files (no links) whose extension is ".m4b", ".m4a" or ".mp3" in any
// letter case, not hidden, directly in the folder.
std::vector<std::filesystem::path> HoerbuchDateien(const std::filesystem::path& ordner);
bool IstHoerbuchDateiName(const std::filesystem::path& datei);

// Deletes HoerbuchDateien; false when one of them could not be deleted, or when the
// program may not delete in the folder (LoeschOrdnerGrund), which then keeps everything.
bool HoerbuchOrdnerDateienLoeschen(const std::filesystem::path& ordner);

// Why the program may not delete in the folder, in German for a "Grund:" line: it is
// missing, a link (lstat: a link in its own name is never followed), no folder, or
// another user's. Empty for a real folder of the user.
std::string LoeschOrdnerGrund(const std::filesystem::path& ordner);

// As LoeschOrdnerGrund, and every user may write into it. Empty when the program may
// work and delete in the folder.
std::string ArbeitsOrdnerGrund(const std::filesystem::path& ordner);

// Deletes one file; true when it is gone.
using TDateiLoeschen = std::function<bool(const std::filesystem::path& datei)>;

// Gives the owner write permission (the file becomes a normal one) and deletes it.
bool DateiLoeschen(const std::filesystem::path& datei);

// Deletes ZuLeerendeDateien; false when one of them could not be deleted, the others
// are deleted still. With entfernen the folder is removed afterwards when it is empty.
// A folder that ArbeitsOrdnerGrund refuses keeps everything (false); a missing one
// has nothing to delete (true).
bool OrdnerLeeren(const std::filesystem::path& ordner, bool entfernen);
bool OrdnerLeeren(const std::filesystem::path& ordner, bool entfernen,
                  const TDateiLoeschen& loeschen);

// Creates the folder with every missing parent; true when it exists afterwards.
bool OrdnerAnlegen(const std::filesystem::path& ordner);
// The same; the errno when it is no folder afterwards (EEXIST when a file holds its
// name), 0 when it is one.
int OrdnerAnlegenFehler(const std::filesystem::path& ordner);

// Creates the folder private to the user (mode 0700) with every missing parent. The
// mode of an existing folder is never changed. The errno when that failed, 0 when a
// folder or a link holds the name now (ArbeitsOrdnerGrund judges it).
int ArbeitsOrdnerErzeugen(const std::filesystem::path& ordner);

// ArbeitsOrdnerErzeugen, and ArbeitsOrdnerGrund finds nothing against the folder.
bool ArbeitsOrdnerAnlegen(const std::filesystem::path& ordner);

// Removes the folder when it is empty; every failure is ignored.
void OrdnerEntfernenWennLeer(const std::filesystem::path& ordner);

} // namespace lorvane
