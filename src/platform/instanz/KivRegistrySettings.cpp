#include "platform/instanz/KivRegistrySettings.h"

#include "platform/instanz/KivParameter.h"
#include "platform/instanz/KivRegistry.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lorvane {

namespace {

// An exclusive lock on a file beside the key's file: QSettings replaces the key's file
// on every save, so a lock on that file itself would not hold, and ".lock" is the
// name of QSettings' own lock file.
class TKeySperre {
public:
    explicit TKeySperre(const QString& keyDatei) {
        if (keyDatei.isEmpty()) {
            return;
        }
        QDir().mkpath(QFileInfo(keyDatei).absolutePath());
        const QByteArray name = QFile::encodeName(keyDatei + QStringLiteral(".sperre"));
        fFd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fFd >= 0) {
            while (::flock(fFd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~TKeySperre() {
        if (fFd >= 0) {
            ::close(fFd);
        }
    }
    TKeySperre(const TKeySperre&) = delete;
    TKeySperre& operator=(const TKeySperre&) = delete;

private:
    int fFd = -1;
};

} // namespace

TRegistrySettings TRegistrySettings::SetData(const QString& aParameters, const QString& aSetFocus,
                                             const QString& aClose) {
    Parameters = aParameters;
    SetFocus = aSetFocus;
    Close = aClose;
    return *this;
}

TRegistrySettings TRegistrySettings::rsParameters(const QString& aParameters) {
    TRegistrySettings ergebnis;
    ergebnis.Parameters = aParameters.isEmpty() ? GetParameters(QString()) : aParameters;
    return ergebnis;
}

TRegistrySettings TRegistrySettings::rsSetFocus(const QString& aSetFocus) {
    TRegistrySettings ergebnis;
    ergebnis.SetFocus = aSetFocus.isEmpty() ? QStringLiteral("1") : aSetFocus;
    return ergebnis;
}

TRegistrySettings TRegistrySettings::rsClose(const QString& aClose) {
    TRegistrySettings ergebnis;
    ergebnis.Close = aClose.isEmpty() ? QStringLiteral("1") : aClose;
    return ergebnis;
}

QString HandoffKey(const QString& keyName) {
    return keyName.startsWith(QLatin1Char('\\')) ? keyName.mid(1) : keyName;
}

bool WriteRegistrySettings(TKivRegistry& registry, const QString& keyName,
                           const TRegistrySettings& settings) {
    if (settings.Leer()) {
        return true;
    }
    const QString key = HandoffKey(keyName);
    const TKeySperre sperre(registry.KeyDatei(key));
    if (!registry.OpenKey(key, true)) {
        return false;
    }
    if (!settings.Parameters.isEmpty()) {
        // A list not yet taken by the watcher is kept, the new one goes after it.
        QString liste = registry.ReadString(ProgramParametersName);
        if (!liste.isEmpty()) {
            liste += QLatin1Char('|');
        }
        liste += settings.Parameters;
        registry.WriteString(ProgramParametersName, liste);
    }
    if (!settings.SetFocus.isEmpty()) {
        registry.WriteString(ProgramSetFocusName, settings.SetFocus);
    }
    if (!settings.Close.isEmpty()) {
        registry.WriteString(ProgramCloseName, settings.Close);
    }
    registry.CloseKey();
    return true;
}

bool ReadRegistrySettings(TKivRegistry& registry, const QString& keyName,
                          TRegistrySettings& settings) {
    settings = TRegistrySettings{};
    const QString key = HandoffKey(keyName);
    const QString datei = registry.KeyDatei(key);
    if (datei.isEmpty() || !QFileInfo::exists(datei)) {
        return false;
    }
    const TKeySperre sperre(datei);
    if (!registry.OpenKey(key, false)) {
        return false;
    }
    bool gefunden = false;
    for (auto [name, feld] : {std::pair{&ProgramParametersName, &settings.Parameters},
                              std::pair{&ProgramSetFocusName, &settings.SetFocus},
                              std::pair{&ProgramCloseName, &settings.Close}}) {
        if (registry.ValueExists(*name)) {
            *feld = registry.ReadString(*name);
            registry.DeleteValue(*name);
            gefunden = true;
        }
    }
    const bool leer = registry.GetValueNames().isEmpty();
    registry.CloseKey();
    if (leer) {
        registry.DeleteKey(key);
    }
    return gefunden;
}

TRegistrySettings BefehlWaehlen(const TRegistrySettings& gelesen) {
    TRegistrySettings befehl;
    if (!gelesen.Parameters.isEmpty()) {
        befehl.Parameters = gelesen.Parameters;
    } else if (!gelesen.SetFocus.isEmpty()) {
        befehl.SetFocus = gelesen.SetFocus;
    } else if (!gelesen.Close.isEmpty()) {
        befehl.Close = gelesen.Close;
    }
    return befehl;
}

} // namespace lorvane
