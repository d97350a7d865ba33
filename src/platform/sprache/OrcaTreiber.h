#pragma once
// Orca, the screen reader of this platform. It is active while an Orca process of
// this user runs; the texts go to Speech Dispatcher, which Orca speaks through, on a
// connection of their own (German, queued with Orca's speech). Orca offers no braille
// message to other programs.

#include "platform/sprache/ProzessListe.h"
#include "platform/sprache/ScreenReaderDriver.h"
#include "platform/sprache/SprachVerbindung.h"

#include <memory>

namespace lorvane {

class TScreenReaderDriverOrca : public TScreenReaderDriver {
public:
    // Without arguments: /proc, libspeechd and the user of this process.
    TScreenReaderDriverOrca();
    TScreenReaderDriverOrca(std::unique_ptr<IProzessListe> prozesse,
                            std::unique_ptr<ISprachVerbindung> sprache, uid_t uid);
    ~TScreenReaderDriverOrca() override;

    bool Speak(const QString& S, bool Interrupt) override;
    bool Braille(const QString&) override { return false; }
    bool IsSpeaking() override { return false; }
    bool Silence() override;
    bool IsActive() override;

private:
    // The connection is opened at the first text, not at start: most users of the
    // program never have Orca running.
    bool VerbindungBereit();
    void VerbindungSchliessen();

    std::unique_ptr<IProzessListe> fProzesse;
    std::unique_ptr<ISprachVerbindung> fSprache;
    uid_t fUid;
    bool fOffen = false;
};

} // namespace lorvane
