#include "engine/ordner/Ordner.h"

#include "base/FehlerGrund.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace lorvane {

namespace {

char KleinAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

fs::path Angehaengt(const fs::path& ordner, std::string_view rest) {
    fs::path ergebnis = MitTrenner(ordner);
    ergebnis += fs::path(rest);
    return ergebnis;
}

std::string HeimAusPasswortDatei() {
    long groesse = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string puffer(groesse > 0 ? static_cast<std::size_t>(groesse) : 16384, '\0');
    passwd eintrag{};
    passwd* gefunden = nullptr;
    if (::getpwuid_r(::geteuid(), &eintrag, puffer.data(), puffer.size(), &gefunden) != 0 ||
        gefunden == nullptr || gefunden->pw_dir == nullptr) {
        return {};
    }
    return gefunden->pw_dir;
}

std::string UmgebungLesen(const TOrdnerQuellen& quellen, const std::string& name) {
    return quellen.Umgebung ? quellen.Umgebung(name) : std::string();
}

// An XDG base folder: the variable when it holds an absolute path, else the default
// below the home folder, else empty.
fs::path XdgOrdner(const TOrdnerQuellen& quellen, const std::string& variable,
                   const std::string& heim, std::string_view standard) {
    const fs::path wert = UmgebungLesen(quellen, variable);
    if (wert.is_absolute()) {
        return wert;
    }
    if (heim.empty()) {
        return {};
    }
    return Angehaengt(heim, standard);
}

bool IstAusfuehrbareDatei(const fs::path& datei) {
    std::error_code ec;
    return fs::is_regular_file(datei, ec) && ::access(datei.c_str(), X_OK) == 0;
}

bool IstZuLeerendeDatei(const fs::directory_entry& eintrag) {
    const std::string name = eintrag.path().filename().string();
    if (name.empty() || name.front() == '.' ||
        !(MaskePasst(name, "*.m*") || MaskePasst(name, "TagTemp.t??"))) {
        return false;
    }
    // Follows links: a link to a folder is listed as a folder and stays.
    std::error_code ec;
    return !eintrag.is_directory(ec);
}

std::vector<fs::path> DateienImOrdner(const fs::path& ordner,
                                      bool (*passt)(const fs::directory_entry&)) {
    std::vector<fs::path> dateien;
    if (ordner.empty()) {
        return dateien;
    }
    std::error_code ec;
    fs::directory_iterator it(OhneTrenner(ordner), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (passt(*it)) {
            dateien.push_back(it->path());
        }
    }
    return dateien;
}

// The folder's own entry, links not followed; false with errno set when there is none.
bool OrdnerEintragLesen(const fs::path& ordner, struct stat& info) {
    if (ordner.empty()) {
        errno = ENOENT;
        return false;
    }
    return ::lstat(OhneTrenner(ordner).c_str(), &info) == 0;
}

// A link may lead anywhere, also into the user's music; another user's folder holds
// that user's files.
std::string EintragGrund(const struct stat& info) {
    if (S_ISLNK(info.st_mode)) {
        return "Der Ordner ist ein Verweis (symbolischer Link) auf einen anderen Ort";
    }
    if (!S_ISDIR(info.st_mode)) {
        return "Das ist kein Ordner";
    }
    if (info.st_uid != ::geteuid()) {
        return "Der Ordner gehört einem anderen Benutzer";
    }
    return {};
}

// Everybody may put links there under the names of the scratch files, which the
// encoder would then write through.
std::string ArbeitsEintragGrund(const struct stat& info) {
    std::string grund = EintragGrund(info);
    if (grund.empty() && (info.st_mode & S_IWOTH) != 0) {
        grund = "Jeder Benutzer darf in diesem Ordner schreiben";
    }
    return grund;
}

bool IstHoerbuchDatei(const fs::directory_entry& eintrag) {
    if (!IstHoerbuchDateiName(eintrag.path())) {
        return false;
    }
    // Not followed: a link named like a part is the user's, whatever it points to.
    std::error_code ec;
    return eintrag.symlink_status(ec).type() == fs::file_type::regular;
}

} // namespace

TOrdnerQuellen SystemOrdnerQuellen() {
    TOrdnerQuellen quellen;
    quellen.Umgebung = [](const std::string& name) {
        const char* wert = std::getenv(name.c_str());
        if (wert != nullptr && *wert != '\0') {
            return std::string(wert);
        }
        return name == "HOME" ? HeimAusPasswortDatei() : std::string();
    };
    std::error_code ec;
    const fs::path programm = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        quellen.ProgrammOrdner = programm.parent_path();
    }
    return quellen;
}

TStandardOrdner StandardOrdnerErmitteln(const TOrdnerQuellen& quellen) {
    const std::string heim = UmgebungLesen(quellen, "HOME");
    const std::string basis(ProgrammBasisName);
    TStandardOrdner ordner;
    // Without a home folder the folder part stays empty.
    ordner.AusgabeOrdner = MitTrenner(heim);
    ordner.AusgabeOrdner += basis + "-Ausgabeordner/";
    ordner.ArbeitsOrdner = MitTrenner(XdgOrdner(quellen, "XDG_CACHE_HOME", heim, ".cache"));
    ordner.ArbeitsOrdner += basis + "/";
    ordner.FfmpegDatei = FfmpegDateiSuchen(quellen.ProgrammOrdner, UmgebungLesen(quellen, "PATH"));
    const fs::path daten = XdgOrdner(quellen, "XDG_DATA_HOME", heim, ".local/share");
    if (!daten.empty()) {
        ordner.SendToLink = Angehaengt(daten, "applications/" + basis + ".desktop");
    }
    return ordner;
}

fs::path FfmpegDateiSuchen(const fs::path& programmOrdner, std::string_view suchPfad) {
    std::error_code ec;
    // Without a known program folder nothing is looked up relative to the current one.
    const fs::path neben =
        programmOrdner.empty() ? fs::path("ffmpeg") : Angehaengt(programmOrdner, "ffmpeg");
    if (!programmOrdner.empty()) {
        const fs::path encoder = Angehaengt(programmOrdner, "Encoder/ffmpeg");
        if (fs::is_regular_file(encoder, ec)) {
            return encoder;
        }
        if (fs::is_regular_file(neben, ec)) {
            return neben;
        }
    }
    while (!suchPfad.empty()) {
        const std::size_t ende = std::min(suchPfad.find(':'), suchPfad.size());
        const fs::path ordner(suchPfad.substr(0, ende));
        suchPfad.remove_prefix(std::min(ende + 1, suchPfad.size()));
        // Empty and relative entries would name the current folder; they are skipped.
        if (ordner.is_absolute() && IstAusfuehrbareDatei(ordner / "ffmpeg")) {
            return ordner / "ffmpeg";
        }
    }
    return neben;
}

fs::path MitTrenner(const fs::path& ordner) {
    std::string text = ordner.string();
    if (text.empty()) {
        return {};
    }
    while (text.size() > 1 && text.back() == '/' && text[text.size() - 2] == '/') {
        text.pop_back();
    }
    if (text.back() != '/') {
        text.push_back('/');
    }
    return text;
}

fs::path OhneTrenner(const fs::path& ordner) {
    return ordner.has_filename() ? ordner : ordner.parent_path();
}

bool GleicherOrdner(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const bool gleich = fs::equivalent(a, b, ec);
    return !ec && gleich;
}

bool LiegtIn(const fs::path& datei, const fs::path& ordner, TLage lage) {
    std::error_code ec;
    const fs::path genannt = fs::absolute(datei, ec);
    const fs::path ziel = fs::weakly_canonical(datei, ec);
    // The folder the name as given points into: ".." after a link leads elsewhere than
    // it reads. Then the folders above the plain and the real name.
    if (GleicherOrdner(genannt.parent_path(), ordner)) {
        return true;
    }
    for (const fs::path& name : {genannt.lexically_normal(), ziel}) {
        fs::path oben = name.parent_path();
        while (!oben.empty()) {
            if (GleicherOrdner(oben, ordner)) {
                return true;
            }
            if (lage == TLage::Direkt || oben == oben.parent_path()) {
                break;
            }
            oben = oben.parent_path();
        }
    }
    return false;
}

bool MaskePasst(std::string_view name, std::string_view maske) {
    std::size_t n = 0;
    std::size_t m = 0;
    std::size_t sternMaske = std::string_view::npos;
    std::size_t sternName = 0;
    while (n < name.size()) {
        if (m < maske.size() && maske[m] == '*') {
            sternMaske = m++;
            sternName = n;
        } else if (m < maske.size() &&
                   (maske[m] == '?' || KleinAscii(maske[m]) == KleinAscii(name[n]))) {
            ++m;
            ++n;
        } else if (sternMaske != std::string_view::npos) {
            // Let the last star take one more character and try again from there.
            m = sternMaske + 1;
            n = ++sternName;
        } else {
            return false;
        }
    }
    while (m < maske.size() && maske[m] == '*') {
        ++m;
    }
    return m == maske.size();
}

std::vector<fs::path> ZuLeerendeDateien(const fs::path& ordner) {
    return DateienImOrdner(ordner, IstZuLeerendeDatei);
}

bool IstHoerbuchDateiName(const fs::path& datei) {
    const std::string name = datei.filename().string();
    if (name.empty() || name.front() == '.') {
        return false;
    }
    const std::string endung = datei.extension().string();
    return MaskePasst(endung, ".m4b") || MaskePasst(endung, ".m4a") || MaskePasst(endung, ".mp3");
}

std::vector<fs::path> HoerbuchDateien(const fs::path& ordner) {
    return DateienImOrdner(ordner, IstHoerbuchDatei);
}

bool HoerbuchOrdnerDateienLoeschen(const fs::path& ordner) {
    if (!LoeschOrdnerGrund(ordner).empty()) {
        return false;
    }
    bool ergebnis = true;
    for (const fs::path& datei : HoerbuchDateien(ordner)) {
        ergebnis = DateiLoeschen(datei) && ergebnis;
    }
    return ergebnis;
}

bool DateiLoeschen(const fs::path& datei) {
    std::error_code ec;
    // Permissions of a link would change its target; a link is deleted as it is.
    if (!fs::is_symlink(fs::symlink_status(datei, ec))) {
        fs::permissions(datei, fs::perms::owner_write, fs::perm_options::add, ec);
    }
    fs::remove(datei, ec);
    return !ec;
}

bool OrdnerLeeren(const fs::path& ordner, bool entfernen) {
    return OrdnerLeeren(ordner, entfernen, DateiLoeschen);
}

std::string LoeschOrdnerGrund(const fs::path& ordner) {
    struct stat info {};
    return OrdnerEintragLesen(ordner, info) ? EintragGrund(info) : SystemFehlerText(errno);
}

std::string ArbeitsOrdnerGrund(const fs::path& ordner) {
    struct stat info {};
    return OrdnerEintragLesen(ordner, info) ? ArbeitsEintragGrund(info) : SystemFehlerText(errno);
}

bool OrdnerLeeren(const fs::path& ordner, bool entfernen, const TDateiLoeschen& loeschen) {
    struct stat info {};
    if (!OrdnerEintragLesen(ordner, info)) {
        return true;
    }
    if (!ArbeitsEintragGrund(info).empty()) {
        return false;
    }
    bool ergebnis = true;
    for (const fs::path& datei : ZuLeerendeDateien(ordner)) {
        if (!loeschen(datei)) {
            ergebnis = false;
        }
    }
    if (entfernen) {
        OrdnerEntfernenWennLeer(ordner);
    }
    return ergebnis;
}

bool OrdnerAnlegen(const fs::path& ordner) {
    return OrdnerAnlegenFehler(ordner) == 0;
}

int OrdnerAnlegenFehler(const fs::path& ordner) {
    if (ordner.empty()) {
        return ENOENT;
    }
    const fs::path pfad = OhneTrenner(ordner);
    std::error_code ec;
    fs::create_directories(pfad, ec);
    std::error_code typFehler;
    if (fs::is_directory(pfad, typFehler)) {
        return 0;
    }
    struct stat info {};
    if (::lstat(pfad.c_str(), &info) == 0) {
        return EEXIST;
    }
    return ec ? ec.value() : errno;
}

int ArbeitsOrdnerErzeugen(const fs::path& ordner) {
    if (ordner.empty()) {
        return ENOENT;
    }
    const fs::path pfad = OhneTrenner(ordner);
    std::error_code elternFehler;
    if (pfad.has_parent_path()) {
        fs::create_directories(pfad.parent_path(), elternFehler);
    }
    if (::mkdir(pfad.c_str(), 0700) == 0) {
        return 0;
    }
    const int fehler = errno;
    if (fehler == ENOENT && elternFehler) {
        return elternFehler.value();
    }
    // mkdir never follows a link in the last name: a link there gives EEXIST too.
    struct stat info {};
    if (fehler != EEXIST || ::lstat(pfad.c_str(), &info) != 0) {
        return fehler;
    }
    return S_ISDIR(info.st_mode) || S_ISLNK(info.st_mode) ? 0 : EEXIST;
}

bool ArbeitsOrdnerAnlegen(const fs::path& ordner) {
    return ArbeitsOrdnerErzeugen(ordner) == 0 && ArbeitsOrdnerGrund(ordner).empty();
}

void OrdnerEntfernenWennLeer(const fs::path& ordner) {
    // rmdir removes only an empty folder: never a file, never a link.
    if (!ordner.empty()) {
        ::rmdir(OhneTrenner(ordner).c_str());
    }
}

} // namespace lorvane
