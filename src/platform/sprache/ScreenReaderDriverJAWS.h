#pragma once
// JAWS, reached through its automation object. The object and the look for the JAWS
// window sit behind IJawsZugang; on this platform neither exists, so the driver is
// never active, but its rules stay the same for any access that can reach JAWS.

#include "platform/sprache/ScreenReaderDriver.h"

#include <memory>

namespace lorvane {

// The automation object. Each call is true when the call succeeded and JAWS answered
// with its success flag.
class IJawsApi {
public:
    virtual ~IJawsApi() = default;
    virtual bool SayString(const QString& text, bool flush) = 0;
    virtual bool RunFunction(const QString& aufruf) = 0;
    virtual bool StopSpeech() = 0;
};

class IJawsZugang {
public:
    virtual ~IJawsZugang() = default;
    // A top-level window of class "JFWUI2" exists.
    virtual bool FensterDa() = 0;
    // Null when the object cannot be created.
    virtual std::unique_ptr<IJawsApi> Erzeugen() = 0;
};

// The access of this platform: no JAWS window, no object.
class TKeinJawsZugang : public IJawsZugang {
public:
    bool FensterDa() override { return false; }
    std::unique_ptr<IJawsApi> Erzeugen() override { return nullptr; }
};

class TScreenReaderDriverJAWS : public TScreenReaderDriver {
public:
    explicit TScreenReaderDriverJAWS(
        std::unique_ptr<IJawsZugang> zugang = std::make_unique<TKeinJawsZugang>());

    bool Speak(const QString& S, bool Interrupt) override;
    bool Braille(const QString& S) override;
    bool IsSpeaking() override { return false; }
    bool Silence() override;
    bool IsActive() override;

private:
    std::unique_ptr<IJawsZugang> fZugang;
    std::unique_ptr<IJawsApi> Controller;
};

// The JAWS function call that shows S on the braille display; double quotation marks
// would end its string argument, so they become apostrophes.
QString JawsBrailleAufruf(const QString& S);

} // namespace lorvane
