#pragma once
// Services of the main window that stay still in tests: a player that never plays and a
// clock that always says minute 1.

#include "platform/VorschauPlayer.h"
#include "ui/haupt/Haupt.h"
#include "ui/haupt/Statuszeile.h"

namespace lorvane::test {

class TStillerPlayer : public IVorschauPlayer {
public:
    explicit TStillerPlayer(TPlayerModus modus = TPlayerModus::Gestoppt) : fModus(modus) {}
    QString FileName() const override { return fName; }
    void FileNameSetzen(const QString& name) override { fName = name; }
    TPlayerFehler Oeffnen() override { return std::nullopt; }
    TPlayerFehler Abspielen() override { return std::nullopt; }
    TPlayerFehler Pause() override { return std::nullopt; }
    TPlayerFehler Stop() override { return std::nullopt; }
    TPlayerFehler ZumAnfang() override { return std::nullopt; }
    TPlayerModus Modus() const override { return fModus; }

private:
    QString fName;
    TPlayerModus fModus;
};

class TFesteUhr : public IUhr {
public:
    int Minute() const override { return 1; }
};

// The main window's services with the given stand-ins and no drives.
inline THauptDienste HauptDienste(ITrayIcon& tray, IVorschauPlayer& player, IAnsager& ansager,
                                  IUhr& uhr, TKivRegistry* registry) {
    THauptDienste dienste;
    dienste.Tray = &tray;
    dienste.Player = &player;
    dienste.Ansager = &ansager;
    dienste.Uhr = &uhr;
    dienste.Registry = registry;
    dienste.Laufwerke = [] { return std::vector<TLaufwerk>{}; };
    return dienste;
}

} // namespace lorvane::test
