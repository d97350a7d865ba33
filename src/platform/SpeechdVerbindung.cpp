#include "platform/SpeechdVerbindung.h"

#include <cstdlib>

namespace lorvane {

TSpeechdVerbindung::~TSpeechdVerbindung() {
    Schliessen();
}

bool TSpeechdVerbindung::Oeffnen() {
    if (fVerbindung != nullptr) {
        return true;
    }
    // Orca runs, so its speech service normally does too; starting it is harmless.
    char* fehler = nullptr;
    fVerbindung =
        spd_open2("lorvane", "announcements", nullptr, SPD_MODE_SINGLE, nullptr, 1, &fehler);
    std::free(fehler);
    return fVerbindung != nullptr;
}

void TSpeechdVerbindung::Schliessen() {
    if (fVerbindung != nullptr) {
        spd_close(fVerbindung);
        fVerbindung = nullptr;
    }
}

bool TSpeechdVerbindung::Sagen(const QString& text) {
    if (fVerbindung == nullptr) {
        return false;
    }
    // Text priority waits behind Orca's own speech instead of cutting it off.
    const QByteArray utf8 = text.toUtf8();
    return spd_say(fVerbindung, SPD_TEXT, utf8.constData()) >= 0;
}

bool TSpeechdVerbindung::Abbrechen() {
    return fVerbindung != nullptr && spd_cancel(fVerbindung) == 0;
}

} // namespace lorvane
