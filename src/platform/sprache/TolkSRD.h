#pragma once
// The front to the screen readers: finds, at every call anew, the one that runs now
// (JAWS before NVDA before Orca) and hands it the text. A screen reader started or
// quit while the program runs is noticed at the next announcement.

#include "platform/sprache/Ansager.h"
#include "platform/sprache/ScreenReaderDriver.h"

#include <functional>
#include <memory>
#include <vector>

namespace lorvane {

using TTreiberListe = std::vector<std::unique_ptr<TScreenReaderDriver>>;

// The drivers of this platform: JAWS, NVDA (both never active here) and Orca.
TTreiberListe StandardTreiber();

class TTolkSRD : public IAnsager {
public:
    // Nothing loaded until Load; the factory makes the drivers, in the order of
    // precedence.
    explicit TTolkSRD(std::function<TTreiberListe()> treiberFabrik = StandardTreiber);
    ~TTolkSRD() override;
    TTolkSRD(const TTolkSRD&) = delete;
    TTolkSRD& operator=(const TTolkSRD&) = delete;

    void Load();
    void Unload();
    bool IsLoaded() const { return FIsLoaded; }

    // The name of the screen reader running now, or empty.
    void DetectScreenReader(QString& name);

    bool Output(const QString& S, bool Interrupt);
    bool Speak(const QString& S, bool Interrupt);
    bool Braille(const QString& S);
    bool IsSpeaking();
    bool Silence();
    bool Stop() { return Silence(); }
    bool HasSpeech();
    bool HasBraille();

    // The windows' announcements; the focused control's own announcement by the
    // screen reader is not cut off.
    void Sprechen(const QString& text) override { Output(text, false); }

private:
    TScreenReaderDriver* Erkannt();

    std::function<TTreiberListe()> fTreiberFabrik;
    bool FIsLoaded = false;
    TTreiberListe List;
    TScreenReaderDriver* CurrentSRD = nullptr;
};

} // namespace lorvane
