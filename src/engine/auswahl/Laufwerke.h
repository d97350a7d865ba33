#pragma once
// The drive level of the folder browser. Linux has no drive letters: the "drives" are
// the user's home folder and the mount points of real file systems, read from the
// kernel's mount table. The table is only text, so building the list never touches a
// mounted file system, and a dead network server cannot hang the browser.

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

struct TLaufwerk {
    std::string Pfad; // without a trailing "/", except the root "/"
    std::string Typ;  // one of the type names below
    bool operator==(const TLaufwerk&) const = default;
};

inline constexpr std::string_view TypWechseldatentraeger = "Wechseldatentraeger";
inline constexpr std::string_view TypFestplatte = "Festplatte";
inline constexpr std::string_view TypNetzlaufwerk = "Netzlaufwerk";
inline constexpr std::string_view TypCdDvd = "CD/DVD";
inline constexpr std::string_view TypRamDisk = "RAM-Disk";
inline constexpr std::string_view TypLaufwerk = "Laufwerk";

// One line of /proc/self/mountinfo.
struct TMountEintrag {
    std::uint32_t Major = 0;
    std::uint32_t Minor = 0;
    std::string Pfad; // mount point, escapes decoded
    std::string Dateisystem;
    std::string Quelle;
    bool operator==(const TMountEintrag&) const = default;
};

// Lines that do not have the documented fields are skipped.
std::vector<TMountEintrag> MountinfoLesen(std::string_view mountinfo);
// The kernel writes space, tab, newline and backslash in paths as "\ooo" octal escapes.
std::string MountPfadEntschluesseln(std::string_view text);

// Kernel interfaces and other file systems without files of the user (proc, sysfs,
// devtmpfs, cgroup, ...): never listed, never searched.
bool IstPseudoDateisystem(std::string_view dateisystem);
bool IstNetzDateisystem(std::string_view dateisystem);

// Whether the block device named by a mount source (such as "/dev/sdb1") is removable.
using TWechselTest = std::function<bool(const std::string& quelle)>;
bool IstWechselGeraet(const std::string& quelle);

// The type name of one mount.
std::string LaufwerksTyp(const TMountEintrag& eintrag, const TWechselTest& wechsel);

// The drive level from the text of a mount table: the home folder first (with the type
// of the file system it lies on), then the mount points of real file systems in
// natural order, each once. Kernel and runtime mounts below /proc, /sys, /dev and the
// RAM disks below /run are left out.
std::vector<TLaufwerk> LaufwerkeAusMountinfo(std::string_view mountinfo, const std::string& home,
                                             const TWechselTest& wechsel);
// The drive level of this machine. Local mount points that are not folders (files
// bound into a container) are left out; network mounts are not looked at.
std::vector<TLaufwerk> Laufwerksliste();
std::string MountinfoDesProzesses();

// "/media/stick [Wechseldatentraeger]".
std::string LaufwerkAnzeigename(const TLaufwerk& laufwerk);

// The text functions of drive letters: "c:\x" gives "C:\" and "C:"; anything else "".
// The root trims blanks first, the letter does not.
std::string LaufwerkWurzel(std::string_view text);
std::string LaufwerkBuchstabe(std::string_view text);

// False for an empty or blank text and for a path on a drive letter (which names no
// folder here); true for any other path.
bool LaufwerkVerfuegbar(std::string_view pfad);

// Whether the path (with or without trailing "/") is one of the listed drives.
bool IstLaufwerksWurzel(const std::string& pfad, const std::vector<TLaufwerk>& laufwerke);
bool IstLaufwerksWurzel(const std::string& pfad);

// The path without trailing separators; "/" stays "/".
std::string OhneSchraegstrich(std::string_view pfad);

// The device numbers (st_dev) of the pseudo file systems of a mount table; a recursive
// search stays out of them. devtmpfs, for one, looks like tmpfs to statfs.
std::set<std::uint64_t> PseudoGeraete(std::string_view mountinfo);
// Whether the folder lies on a pseudo file system, by its statfs type or its device.
bool AufPseudoDateisystem(const std::string& ordner, const std::set<std::uint64_t>& geraete);

} // namespace lorvane
