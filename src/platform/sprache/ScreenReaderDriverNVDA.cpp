#include "platform/sprache/ScreenReaderDriverNVDA.h"

namespace lorvane {

TScreenReaderDriverNVDA::TScreenReaderDriverNVDA(std::unique_ptr<INvdaZugang> zugang)
    : TScreenReaderDriver(QStringLiteral("NVDA"), true, true), fZugang(std::move(zugang)) {
    if (fZugang == nullptr) {
        fZugang = std::make_unique<TKeinNvdaZugang>();
    }
    fEinsprung = fZugang->Laden();
}

bool TScreenReaderDriverNVDA::IsActive() {
    return fEinsprung.testIfRunning && fZugang->FensterDa() && fEinsprung.testIfRunning() == 0;
}

bool TScreenReaderDriverNVDA::Speak(const QString& S, bool Interrupt) {
    if (Interrupt && !Silence()) {
        return false;
    }
    if (S.isEmpty() || !fEinsprung.speakText) {
        return false;
    }
    return fEinsprung.speakText(S) == 0;
}

bool TScreenReaderDriverNVDA::Braille(const QString& S) {
    if (S.isEmpty() || !fEinsprung.brailleMessage) {
        return false;
    }
    return fEinsprung.brailleMessage(S) == 0;
}

bool TScreenReaderDriverNVDA::Silence() {
    return fEinsprung.cancelSpeech && fEinsprung.cancelSpeech() == 0;
}

} // namespace lorvane
