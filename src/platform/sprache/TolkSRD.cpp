#include "platform/sprache/TolkSRD.h"

#include "platform/sprache/OrcaTreiber.h"
#include "platform/sprache/ScreenReaderDriverJAWS.h"
#include "platform/sprache/ScreenReaderDriverNVDA.h"

namespace lorvane {

TTreiberListe StandardTreiber() {
    TTreiberListe liste;
    liste.push_back(std::make_unique<TScreenReaderDriverJAWS>());
    liste.push_back(std::make_unique<TScreenReaderDriverNVDA>());
    liste.push_back(std::make_unique<TScreenReaderDriverOrca>());
    return liste;
}

TTolkSRD::TTolkSRD(std::function<TTreiberListe()> treiberFabrik)
    : fTreiberFabrik(std::move(treiberFabrik)) {}

TTolkSRD::~TTolkSRD() {
    Unload();
}

// There is no COM on this platform; the drivers' access objects bring whatever
// initialisation their screen reader needs.
void TTolkSRD::Load() {
    if (FIsLoaded) {
        return;
    }
    if (fTreiberFabrik) {
        try {
            List = fTreiberFabrik();
        } catch (...) {
            List.clear();
        }
    }
    CurrentSRD = nullptr;
    FIsLoaded = true;
}

void TTolkSRD::Unload() {
    if (!FIsLoaded) {
        return;
    }
    CurrentSRD = nullptr;
    List.clear();
    FIsLoaded = false;
}

void TTolkSRD::DetectScreenReader(QString& name) {
    name.clear();
    if (!FIsLoaded) {
        return;
    }
    try {
        CurrentSRD = nullptr;
        for (const auto& treiber : List) {
            if (treiber != nullptr && treiber->IsActive()) {
                CurrentSRD = treiber.get();
                break;
            }
        }
        // Asked once: each question may read the process list.
        if (CurrentSRD != nullptr) {
            name = CurrentSRD->Name();
        }
    } catch (...) {
        CurrentSRD = nullptr;
        name.clear();
    }
}

TScreenReaderDriver* TTolkSRD::Erkannt() {
    QString name;
    DetectScreenReader(name);
    return name.isEmpty() ? nullptr : CurrentSRD;
}

bool TTolkSRD::Output(const QString& S, bool Interrupt) {
    if (S.isEmpty()) {
        return false;
    }
    TScreenReaderDriver* treiber = Erkannt();
    return treiber != nullptr && treiber->Output(S, Interrupt);
}

bool TTolkSRD::Speak(const QString& S, bool Interrupt) {
    if (S.isEmpty()) {
        return false;
    }
    TScreenReaderDriver* treiber = Erkannt();
    return treiber != nullptr && treiber->Speak(S, Interrupt);
}

bool TTolkSRD::Braille(const QString& S) {
    if (S.isEmpty()) {
        return false;
    }
    TScreenReaderDriver* treiber = Erkannt();
    return treiber != nullptr && treiber->Braille(S);
}

bool TTolkSRD::IsSpeaking() {
    TScreenReaderDriver* treiber = Erkannt();
    return treiber != nullptr && treiber->IsSpeaking();
}

bool TTolkSRD::Silence() {
    TScreenReaderDriver* treiber = Erkannt();
    return treiber != nullptr && treiber->Silence();
}

bool TTolkSRD::HasSpeech() {
    TScreenReaderDriver* treiber = Erkannt();
    return treiber != nullptr && treiber->HasSpeech();
}

bool TTolkSRD::HasBraille() {
    TScreenReaderDriver* treiber = Erkannt();
    return treiber != nullptr && treiber->HasBraille();
}

} // namespace lorvane
