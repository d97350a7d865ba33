#pragma once
// The connection to Speech Dispatcher through libspeechd. Its calls wait for the
// service's answer; Unterbrechen, from another thread, ends that wait.

#include "platform/sprache/SprachVerbindung.h"

#include <libspeechd.h>

#include <mutex>

namespace lorvane {

class TSpeechdVerbindung : public ISprachVerbindung {
public:
    TSpeechdVerbindung() = default;
    ~TSpeechdVerbindung() override;
    TSpeechdVerbindung(const TSpeechdVerbindung&) = delete;
    TSpeechdVerbindung& operator=(const TSpeechdVerbindung&) = delete;

    bool Oeffnen() override;
    void Schliessen() override;
    bool Sagen(const QString& text) override;
    bool Abbrechen() override;
    void Unterbrechen() override;

private:
    SPDConnection* fVerbindung = nullptr;
    // The connection's socket while it is open, for Unterbrechen.
    std::mutex fSocketMutex;
    int fSocket = -1;
};

} // namespace lorvane
