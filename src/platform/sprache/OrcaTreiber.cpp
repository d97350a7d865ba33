#include "platform/sprache/OrcaTreiber.h"

#include "platform/sprache/SpeechdVerbindung.h"
#include "platform/sprache/SprachWarteschlange.h"

#include <unistd.h>

namespace lorvane {

TScreenReaderDriverOrca::TScreenReaderDriverOrca()
    : TScreenReaderDriverOrca(
          std::make_unique<TProcProzessListe>(),
          std::make_unique<TSprachWarteschlange>(std::make_unique<TSpeechdVerbindung>()),
          ::getuid()) {}

TScreenReaderDriverOrca::TScreenReaderDriverOrca(std::unique_ptr<IProzessListe> prozesse,
                                                 std::unique_ptr<ISprachVerbindung> sprache,
                                                 uid_t uid)
    : TScreenReaderDriver(QStringLiteral("Orca"), true, false), fProzesse(std::move(prozesse)),
      fSprache(std::move(sprache)), fUid(uid) {}

TScreenReaderDriverOrca::~TScreenReaderDriverOrca() {
    VerbindungSchliessen();
}

bool TScreenReaderDriverOrca::IsActive() {
    const bool laeuft = fProzesse != nullptr && ProgrammLaeuft(fProzesse->Prozesse(), fUid, "orca");
    if (!laeuft) {
        // Orca has ended; a later start may come with a new speech service.
        VerbindungSchliessen();
    }
    return laeuft;
}

bool TScreenReaderDriverOrca::VerbindungBereit() {
    if (!fOffen && fSprache != nullptr) {
        fOffen = fSprache->Oeffnen();
    }
    return fOffen;
}

void TScreenReaderDriverOrca::VerbindungSchliessen() {
    if (fOffen) {
        fSprache->Schliessen();
        fOffen = false;
    }
}

bool TScreenReaderDriverOrca::Speak(const QString& S, bool Interrupt) {
    if (S.isEmpty() || !VerbindungBereit()) {
        return false;
    }
    if ((!Interrupt || fSprache->Abbrechen()) && fSprache->Sagen(S)) {
        return true;
    }
    // A broken connection is opened afresh at the next text.
    VerbindungSchliessen();
    return false;
}

bool TScreenReaderDriverOrca::Silence() {
    return VerbindungBereit() && fSprache->Abbrechen();
}

} // namespace lorvane
