#pragma once
// The connection to Speech Dispatcher through libspeechd.

#include "platform/SprachVerbindung.h"

#include <libspeechd.h>

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

private:
    SPDConnection* fVerbindung = nullptr;
};

} // namespace lorvane
