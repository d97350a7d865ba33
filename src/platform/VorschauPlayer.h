#pragma once
// The hidden preview player of the main window: one file at a time, played without
// waiting for its end. Operations report their failure as a text for an error box,
// so that the window's state stays as it was; a failure that comes later, while the
// file is being played, is reported through FehlerGemeldet.

#include <QString>

#include <functional>
#include <optional>

namespace lorvane {

enum class TPlayerModus { NichtBereit, Gestoppt, Spielt, Nimmt, Sucht, Pausiert, Offen };

// Operating a player that has not been opened.
inline constexpr const char* KeinGeraetText = "Kein MCI-Gerät geöffnet";

using TPlayerFehler = std::optional<QString>;

class IVorschauPlayer {
public:
    virtual ~IVorschauPlayer() = default;

    virtual QString FileName() const = 0;
    // Takes effect with the next Oeffnen; the file played so far is closed then.
    virtual void FileNameSetzen(const QString& name) = 0;
    virtual TPlayerFehler Oeffnen() = 0;
    virtual TPlayerFehler Abspielen() = 0;
    // Pauses a playing player and resumes a paused one.
    virtual TPlayerFehler Pause() = 0;
    virtual TPlayerFehler Stop() = 0;
    virtual TPlayerFehler ZumAnfang() = 0;
    virtual TPlayerModus Modus() const = 0;

    // Called when playing fails after the operation has returned (a file that cannot
    // be decoded, no sound output), with the reason in German.
    std::function<void(const QString&)> FehlerGemeldet;
};

} // namespace lorvane
