#include "base/FehlerGrund.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lorvane {

namespace {

struct TFehlerText {
    int Code;
    const char* Text;
};

// The system's own texts are English here; these are the ones a job can meet.
constexpr TFehlerText kTexte[] = {
    {ENOSPC, "Auf dem Datenträger ist kein Speicherplatz mehr frei"},
    {EDQUOT, "Das Speicherkontingent auf dem Datenträger ist erschöpft"},
    {EACCES, "Keine Berechtigung"},
    {EPERM, "Der Vorgang ist nicht erlaubt"},
    {EROFS, "Der Datenträger ist schreibgeschützt"},
    {ENOENT, "Die Datei oder der Ordner existiert nicht"},
    {ENOTDIR, "Ein Teil des Pfads ist kein Ordner"},
    {EISDIR, "Das ist ein Ordner, keine Datei"},
    {EIO, "Ein- oder Ausgabefehler des Datenträgers"},
    {ENAMETOOLONG, "Der Name ist für das Dateisystem zu lang"},
    {EEXIST, "Eine Datei dieses Namens ist schon vorhanden"},
    {EFBIG, "Die Datei ist zu groß"},
    {EMFILE, "Zu viele offene Dateien"},
    {ENFILE, "Zu viele offene Dateien im System"},
    {ELOOP, "Zu viele Verweise im Pfad"},
    {EINVAL, "Keine gewöhnliche Datei"},
};

} // namespace

std::string SystemFehlerText(int code) {
    if (code == 0) {
        return {};
    }
    for (const TFehlerText& eintrag : kTexte) {
        if (eintrag.Code == code) {
            return eintrag.Text;
        }
    }
    return std::strerror(code);
}

std::string MitGrund(std::string meldung, const std::string& grund) {
    if (!grund.empty()) {
        meldung += "\r\nGrund: ";
        meldung += grund;
    }
    return meldung;
}

std::string LeseFehlerGrund(const std::filesystem::path& datei) {
    // Without blocking: a FIFO would wait for a writer.
    const int handle = ::open(datei.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (handle < 0) {
        return SystemFehlerText(errno);
    }
    struct stat info {};
    const bool gewoehnlich = ::fstat(handle, &info) == 0 && S_ISREG(info.st_mode);
    const bool ordner = !gewoehnlich && S_ISDIR(info.st_mode);
    ::close(handle);
    if (gewoehnlich) {
        return {};
    }
    return SystemFehlerText(ordner ? EISDIR : EINVAL);
}

std::string UngueltigeMp3Grund(const std::filesystem::path& datei) {
    std::string grund = LeseFehlerGrund(datei);
    return grund.empty() ? "Keine gültigen MP3-Audiodaten gefunden" : grund;
}

} // namespace lorvane
