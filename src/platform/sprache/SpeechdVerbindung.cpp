#include "platform/sprache/SpeechdVerbindung.h"

#include <cstdlib>

#include <sys/socket.h>

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
    if (fVerbindung == nullptr) {
        return false;
    }
    // Every connection has its own voice settings; the texts are German.
    spd_set_language(fVerbindung, "de");
    const std::lock_guard<std::mutex> sperre(fSocketMutex);
    fSocket = fVerbindung->socket;
    return true;
}

void TSpeechdVerbindung::Schliessen() {
    if (fVerbindung != nullptr) {
        {
            // No shutdown may reach the number after it is closed and handed out anew.
            const std::lock_guard<std::mutex> sperre(fSocketMutex);
            fSocket = -1;
        }
        spd_close(fVerbindung);
        fVerbindung = nullptr;
    }
}

bool TSpeechdVerbindung::Sagen(const QString& text) {
    if (fVerbindung == nullptr) {
        return false;
    }
    // Orca speaks at message priority, which would cancel a text-priority message;
    // messages of equal priority queue behind each other, so neither cuts the other off.
    const QByteArray utf8 = text.toUtf8();
    return spd_say(fVerbindung, SPD_MESSAGE, utf8.constData()) >= 0;
}

void TSpeechdVerbindung::Unterbrechen() {
    const std::lock_guard<std::mutex> sperre(fSocketMutex);
    if (fSocket >= 0) {
        ::shutdown(fSocket, SHUT_RDWR);
    }
}

bool TSpeechdVerbindung::Abbrechen() {
    return fVerbindung != nullptr && spd_cancel(fVerbindung) == 0;
}

} // namespace lorvane
