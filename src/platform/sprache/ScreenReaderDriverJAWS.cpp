#include "platform/sprache/ScreenReaderDriverJAWS.h"

namespace lorvane {

QString JawsBrailleAufruf(const QString& S) {
    QString text = S;
    text.replace(QLatin1Char('"'), QLatin1Char('\''));
    return QStringLiteral("BrailleString(\"%1\")").arg(text);
}

TScreenReaderDriverJAWS::TScreenReaderDriverJAWS(std::unique_ptr<IJawsZugang> zugang)
    : TScreenReaderDriver(QStringLiteral("JAWS"), true, true), fZugang(std::move(zugang)) {
    if (fZugang == nullptr) {
        fZugang = std::make_unique<TKeinJawsZugang>();
    }
    Controller = fZugang->Erzeugen();
}

bool TScreenReaderDriverJAWS::IsActive() {
    if (!fZugang->FensterDa()) {
        // JAWS has ended: the object would only answer with errors.
        Controller.reset();
        return false;
    }
    if (Controller == nullptr) {
        Controller = fZugang->Erzeugen();
    }
    return Controller != nullptr;
}

bool TScreenReaderDriverJAWS::Speak(const QString& S, bool Interrupt) {
    if (S.isEmpty() || Controller == nullptr) {
        return false;
    }
    return Controller->SayString(S, Interrupt);
}

bool TScreenReaderDriverJAWS::Braille(const QString& S) {
    if (S.isEmpty() || Controller == nullptr) {
        return false;
    }
    return Controller->RunFunction(JawsBrailleAufruf(S));
}

bool TScreenReaderDriverJAWS::Silence() {
    return Controller != nullptr && Controller->StopSpeech();
}

} // namespace lorvane
