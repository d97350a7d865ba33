#include "engine/auswahl/Laufwerke.h"

#include "engine/auswahl/NatuerlicheReihenfolge.h"
#include "engine/ordner/Ordner.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>

namespace fs = std::filesystem;

namespace lorvane {

namespace {

constexpr std::string_view PseudoTypen[] = {
    "proc",      "sysfs",       "devtmpfs",    "devpts",   "cgroup",     "cgroup2", "securityfs",
    "debugfs",   "tracefs",     "pstore",      "bpf",      "configfs",   "fusectl", "mqueue",
    "hugetlbfs", "binfmt_misc", "autofs",      "efivarfs", "rpc_pipefs", "nsfs",    "selinuxfs",
    "smackfs",   "nfsd",        "fuse.portal", "devfs",    "usbfs"};

constexpr std::string_view NetzTypen[] = {
    "nfs",  "nfs4", "cifs",  "smb3",      "smbfs",  "sshfs", "ncpfs", "9p",      "afs",
    "ceph", "coda", "davfs", "glusterfs", "lustre", "gfs2",  "ocfs2", "orangefs"};

// statfs types of the kernel interfaces (from the kernel's magic numbers).
constexpr std::uint64_t PseudoMagie[] = {
    0x9fa0,     0x62656572, 0x1cd1,     0x27e0eb,   0x63677270, 0x64626720, 0x74726163,
    0x73636673, 0xcafe4a11, 0x6165676c, 0x62656570, 0x65735543, 0x42494e4d, 0x19800202,
    0xde5e81e4, 0x6e736673, 0xf97cff8c, 0x43415d53, 0x0187,     0x958458f6, 0x67596969};

template <std::size_t N> bool Enthalten(const std::string_view (&liste)[N], std::string_view wert) {
    return std::find(std::begin(liste), std::end(liste), wert) != std::end(liste);
}

bool BeginntMit(std::string_view text, std::string_view anfang) {
    return text.substr(0, anfang.size()) == anfang;
}

// The mount table's path itself or one below it, read as text: mount points need not
// be reachable, so the file system is not asked.
bool MountPfadUnter(std::string_view pfad, std::string_view ordner) {
    return pfad == ordner ||
           (BeginntMit(pfad, ordner) && pfad.size() > ordner.size() && pfad[ordner.size()] == '/');
}

std::vector<std::string_view> Felder(std::string_view zeile) {
    std::vector<std::string_view> felder;
    std::size_t i = 0;
    while (i < zeile.size()) {
        while (i < zeile.size() && (zeile[i] == ' ' || zeile[i] == '\t')) {
            ++i;
        }
        const std::size_t anfang = i;
        while (i < zeile.size() && zeile[i] != ' ' && zeile[i] != '\t') {
            ++i;
        }
        if (i > anfang) {
            felder.push_back(zeile.substr(anfang, i - anfang));
        }
    }
    return felder;
}

bool ZahlLesen(std::string_view text, std::uint32_t& zahl) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    zahl = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        zahl = zahl * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return true;
}

bool GeraetLesen(std::string_view text, TMountEintrag& eintrag) {
    const std::size_t doppelpunkt = text.find(':');
    return doppelpunkt != std::string_view::npos &&
           ZahlLesen(text.substr(0, doppelpunkt), eintrag.Major) &&
           ZahlLesen(text.substr(doppelpunkt + 1), eintrag.Minor);
}

bool NichtAnzeigen(const TMountEintrag& eintrag) {
    if (IstPseudoDateisystem(eintrag.Dateisystem)) {
        return true;
    }
    for (std::string_view system : {"/proc", "/sys", "/dev"}) {
        if (MountPfadUnter(eintrag.Pfad, system)) {
            return true;
        }
    }
    // /run, /run/lock, /run/user/1000: the system's RAM disks, not the user's media
    // (which udisks mounts below /run/media on some systems).
    return (eintrag.Dateisystem == "tmpfs" || eintrag.Dateisystem == "ramfs") &&
           MountPfadUnter(eintrag.Pfad, "/run") && !MountPfadUnter(eintrag.Pfad, "/run/media");
}

std::string ErsteZeile(const fs::path& datei) {
    std::ifstream ein(datei);
    std::string zeile;
    std::getline(ein, zeile);
    return zeile;
}

} // namespace

std::string MountPfadEntschluesseln(std::string_view text) {
    std::string ergebnis;
    ergebnis.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto oktal = [&](std::size_t k) { return text[k] >= '0' && text[k] <= '7'; };
        if (text[i] == '\\' && i + 3 < text.size() && oktal(i + 1) && oktal(i + 2) &&
            oktal(i + 3)) {
            const int wert =
                (text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0');
            if (wert <= 0xFF) {
                ergebnis += static_cast<char>(wert);
                i += 3;
                continue;
            }
        }
        ergebnis += text[i];
    }
    return ergebnis;
}

std::vector<TMountEintrag> MountinfoLesen(std::string_view mountinfo) {
    std::vector<TMountEintrag> eintraege;
    while (!mountinfo.empty()) {
        const std::size_t ende = mountinfo.find('\n');
        const std::string_view zeile = mountinfo.substr(0, ende);
        mountinfo =
            ende == std::string_view::npos ? std::string_view() : mountinfo.substr(ende + 1);
        // id parent major:minor root mountpoint options [optional...] - fstype source super
        const std::vector<std::string_view> felder = Felder(zeile);
        const auto trenner = std::find(felder.begin(), felder.end(), "-");
        const auto vorne = std::distance(felder.begin(), trenner);
        if (trenner == felder.end() || vorne < 6 || std::distance(trenner, felder.end()) < 3) {
            continue;
        }
        TMountEintrag eintrag;
        if (!GeraetLesen(felder[2], eintrag)) {
            continue;
        }
        eintrag.Pfad = MountPfadEntschluesseln(felder[4]);
        eintrag.Dateisystem = std::string(*(trenner + 1));
        eintrag.Quelle = MountPfadEntschluesseln(*(trenner + 2));
        if (eintrag.Pfad.empty() || eintrag.Pfad.front() != '/') {
            continue;
        }
        eintraege.push_back(std::move(eintrag));
    }
    return eintraege;
}

bool IstPseudoDateisystem(std::string_view dateisystem) {
    return Enthalten(PseudoTypen, dateisystem);
}

bool IstNetzDateisystem(std::string_view dateisystem) {
    if (Enthalten(NetzTypen, dateisystem)) {
        return true;
    }
    // FUSE file systems other than those on a local block device (fuseblk) are
    // mostly remote (sshfs, rclone, gvfs); treated as such, they are never touched.
    return dateisystem == "fuse" ||
           (BeginntMit(dateisystem, "fuse.") && !IstPseudoDateisystem(dateisystem));
}

bool IstWechselGeraet(const std::string& quelle) {
    if (!BeginntMit(quelle, "/dev/")) {
        return false;
    }
    std::error_code ec;
    // /dev/disk/by-label/x and /dev/mapper/x are links to the kernel's name.
    const fs::path geraet = fs::canonical(quelle, ec);
    if (ec) {
        return false;
    }
    const fs::path block = fs::path("/sys/class/block") / geraet.filename();
    // A partition inherits the flag of its disk, one level up.
    const fs::path datei =
        fs::exists(block / "partition", ec) ? block / ".." / "removable" : block / "removable";
    return ErsteZeile(datei) == "1";
}

std::string LaufwerksTyp(const TMountEintrag& eintrag, const TWechselTest& wechsel) {
    const std::string_view system = eintrag.Dateisystem;
    if (IstNetzDateisystem(system)) {
        return std::string(TypNetzlaufwerk);
    }
    if (system == "iso9660" || system == "udf") {
        return std::string(TypCdDvd);
    }
    if (system == "tmpfs" || system == "ramfs") {
        return std::string(TypRamDisk);
    }
    if (BeginntMit(eintrag.Quelle, "/dev/")) {
        return std::string(wechsel && wechsel(eintrag.Quelle) ? TypWechseldatentraeger
                                                              : TypFestplatte);
    }
    return std::string(TypLaufwerk);
}

std::vector<TLaufwerk> LaufwerkeAusMountinfo(std::string_view mountinfo, const std::string& home,
                                             const TWechselTest& wechsel) {
    const std::vector<TMountEintrag> eintraege = MountinfoLesen(mountinfo);
    // A later mount over the same point hides the earlier one.
    std::vector<const TMountEintrag*> sichtbar;
    for (const TMountEintrag& eintrag : eintraege) {
        auto gleich = std::find_if(sichtbar.begin(), sichtbar.end(),
                                   [&](const TMountEintrag* e) { return e->Pfad == eintrag.Pfad; });
        if (gleich != sichtbar.end()) {
            *gleich = &eintrag;
        } else {
            sichtbar.push_back(&eintrag);
        }
    }
    std::vector<TLaufwerk> laufwerke;
    const std::string heim = home.empty() ? std::string() : OhneSchraegstrich(home);
    if (!heim.empty()) {
        // The home folder has the type of the deepest mount it lies on.
        const TMountEintrag* traeger = nullptr;
        for (const TMountEintrag* eintrag : sichtbar) {
            if ((eintrag->Pfad == "/" || MountPfadUnter(heim, eintrag->Pfad)) &&
                (traeger == nullptr || eintrag->Pfad.size() >= traeger->Pfad.size())) {
                traeger = eintrag;
            }
        }
        laufwerke.push_back(TLaufwerk{heim, traeger != nullptr ? LaufwerksTyp(*traeger, wechsel)
                                                               : std::string(TypLaufwerk)});
    }
    std::vector<TLaufwerk> mounts;
    for (const TMountEintrag* eintrag : sichtbar) {
        if (!NichtAnzeigen(*eintrag) && eintrag->Pfad != heim) {
            mounts.push_back(TLaufwerk{eintrag->Pfad, LaufwerksTyp(*eintrag, wechsel)});
        }
    }
    std::sort(mounts.begin(), mounts.end(),
              [](const TLaufwerk& a, const TLaufwerk& b) { return NatuerlichVor(a.Pfad, b.Pfad); });
    laufwerke.insert(laufwerke.end(), mounts.begin(), mounts.end());
    return laufwerke;
}

std::string MountinfoDesProzesses() {
    std::ifstream ein("/proc/self/mountinfo");
    std::ostringstream text;
    text << ein.rdbuf();
    return text.str();
}

std::vector<TLaufwerk> Laufwerksliste() {
    const std::string home = SystemOrdnerQuellen().Umgebung("HOME");
    std::vector<TLaufwerk> laufwerke =
        LaufwerkeAusMountinfo(MountinfoDesProzesses(), home, IstWechselGeraet);
    std::erase_if(laufwerke, [](const TLaufwerk& laufwerk) {
        if (laufwerk.Typ == TypNetzlaufwerk) {
            return false;
        }
        std::error_code ec;
        return !fs::is_directory(laufwerk.Pfad, ec);
    });
    return laufwerke;
}

std::string LaufwerkAnzeigename(const TLaufwerk& laufwerk) {
    std::string name = laufwerk.Pfad;
    name += " [";
    name += laufwerk.Typ;
    name += "]";
    return name;
}

std::string LaufwerkBuchstabe(std::string_view text) {
    if (text.size() < 2 || text[1] != ':') {
        return {};
    }
    std::string buchstabe(text.substr(0, 2));
    if (buchstabe[0] >= 'a' && buchstabe[0] <= 'z') {
        buchstabe[0] = static_cast<char>(buchstabe[0] - 'a' + 'A');
    }
    return buchstabe;
}

std::string LaufwerkWurzel(std::string_view text) {
    const auto leer = [](char c) { return c == ' '; };
    while (!text.empty() && leer(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && leer(text.back())) {
        text.remove_suffix(1);
    }
    std::string wurzel = LaufwerkBuchstabe(text);
    if (!wurzel.empty()) {
        wurzel += '\\';
    }
    return wurzel;
}

bool LaufwerkVerfuegbar(std::string_view pfad) {
    if (pfad.find_first_not_of(" \t") == std::string_view::npos) {
        return false;
    }
    // A drive letter names no root here; its drive type is "no root directory".
    return LaufwerkWurzel(pfad).empty();
}

std::string OhneSchraegstrich(std::string_view pfad) {
    while (pfad.size() > 1 && pfad.back() == '/') {
        pfad.remove_suffix(1);
    }
    return std::string(pfad);
}

bool IstLaufwerksWurzel(const std::string& pfad, const std::vector<TLaufwerk>& laufwerke) {
    if (pfad.empty()) {
        return false;
    }
    const std::string ohne = OhneSchraegstrich(pfad);
    return std::any_of(laufwerke.begin(), laufwerke.end(),
                       [&](const TLaufwerk& laufwerk) { return laufwerk.Pfad == ohne; });
}

bool IstLaufwerksWurzel(const std::string& pfad) {
    return IstLaufwerksWurzel(pfad, Laufwerksliste());
}

std::set<std::uint64_t> PseudoGeraete(std::string_view mountinfo) {
    std::set<std::uint64_t> geraete;
    for (const TMountEintrag& eintrag : MountinfoLesen(mountinfo)) {
        if (IstPseudoDateisystem(eintrag.Dateisystem)) {
            geraete.insert(static_cast<std::uint64_t>(makedev(eintrag.Major, eintrag.Minor)));
        }
    }
    return geraete;
}

bool AufPseudoDateisystem(const std::string& ordner, const std::set<std::uint64_t>& geraete) {
    const std::string pfad = OhneTrenner(ordner).string();
    struct statfs system {};
    if (::statfs(pfad.c_str(), &system) == 0 &&
        std::find(std::begin(PseudoMagie), std::end(PseudoMagie),
                  static_cast<std::uint64_t>(system.f_type)) != std::end(PseudoMagie)) {
        return true;
    }
    struct stat info {};
    return ::stat(pfad.c_str(), &info) == 0 &&
           geraete.count(static_cast<std::uint64_t>(info.st_dev)) != 0;
}

} // namespace lorvane
