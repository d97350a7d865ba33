#pragma once
// The file-list commands 1 to 7 over the list and the preview player: moving a row,
// removing, clearing, selecting all and the preview. The window gives the focus;
// this class changes the rows and the player.

#include "platform/VorschauPlayer.h"
#include "ui/haupt/HauptRegeln.h"

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace lorvane {

enum class TDateiBefehl {
    NachOben = 1,
    NachUnten = 2,
    Entfernen = 3,
    Leeren = 4,
    AllesMarkieren = 5,
    PlayPause = 6,
    Stop = 7
};

class TDateiListeBefehle {
public:
    // Whether the row's file can be previewed: its drive usable and the file there.
    using TSpielbar = std::function<bool(const QTreeWidgetItem&)>;

    TDateiListeBefehle(QTreeWidget& liste, IVorschauPlayer& player, TSpielbar spielbar);

    // Runs the command inside one update bracket of the list; the player's error, if
    // any, for an error box.
    TPlayerFehler Ausfuehren(TDateiBefehl befehl);

    TDateiListeZustand Zustand() const;
    IVorschauPlayer& Player() { return fPlayer; }

private:
    void Verschieben(int richtung);
    TPlayerFehler Entfernen();
    TPlayerFehler Leeren();
    void AllesMarkieren();
    TPlayerFehler Vorschau(bool playPause);
    // Stops a player that plays or pauses; a stopped or unopened one is left alone.
    TPlayerFehler VorschauBeenden();
    bool DateiInListe(const QString& name) const;

    QTreeWidget& fListe;
    IVorschauPlayer& fPlayer;
    TSpielbar fSpielbar;
};

} // namespace lorvane
