#pragma once
// NVDA, reached through the entry points of its controller client library. Loading the
// library and the look for the NVDA window sit behind INvdaZugang; on this platform
// the library is never there, so the driver is never active.

#include "platform/sprache/ScreenReaderDriver.h"

#include <functional>
#include <memory>

namespace lorvane {

// The four entry points; each is empty when the library or its export is missing.
// They return a status code, 0 meaning success.
struct TNvdaEinsprung {
    std::function<int(const QString&)> speakText;
    std::function<int(const QString&)> brailleMessage;
    std::function<int()> cancelSpeech;
    std::function<int()> testIfRunning;
};

class INvdaZugang {
public:
    virtual ~INvdaZugang() = default;
    // Loads "nvdaControllerClient32.dll" once; freed with the access.
    virtual TNvdaEinsprung Laden() = 0;
    // A top-level window of class "wxWindowClassNR" titled "NVDA" exists.
    virtual bool FensterDa() = 0;
};

class TKeinNvdaZugang : public INvdaZugang {
public:
    TNvdaEinsprung Laden() override { return {}; }
    bool FensterDa() override { return false; }
};

class TScreenReaderDriverNVDA : public TScreenReaderDriver {
public:
    explicit TScreenReaderDriverNVDA(
        std::unique_ptr<INvdaZugang> zugang = std::make_unique<TKeinNvdaZugang>());

    bool Speak(const QString& S, bool Interrupt) override;
    bool Braille(const QString& S) override;
    bool IsSpeaking() override { return false; }
    bool Silence() override;
    bool IsActive() override;

private:
    std::unique_ptr<INvdaZugang> fZugang;
    TNvdaEinsprung fEinsprung;
};

} // namespace lorvane
