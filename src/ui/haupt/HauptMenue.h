#pragma once
// The main window's menu bar and the popup menus of its two lists, with their
// captions and shortcuts. A popup's shortcuts act while its list has the focus.

#include <QKeySequence>

#include <array>

class QAction;
class QMainWindow;
class QMenu;
class QTreeWidget;

namespace lorvane {

struct THauptMenue {
    QMenu* Datei = nullptr;
    QMenu* Fenster = nullptr;
    QMenu* Ansicht = nullptr;
    QMenu* Einstellungen = nullptr;
    QMenu* Hilfe = nullptr;

    QAction* MenuDateiAusgabeordner = nullptr;
    QAction* MenuDateiLeeren = nullptr;
    QAction* MenuDateiWeiter = nullptr;
    QAction* MenuDateiBeenden = nullptr;
    QAction* MenuFensterOrdnerliste = nullptr;
    QAction* MenuFensterDateiliste = nullptr;
    QAction* MenuAnsSchriftart = nullptr;
    QAction* MenuEinstCopyMp3FileS = nullptr;
    QAction* MenuEinstMinimierenS = nullptr;
    QAction* MenuEinstPausenSchnittS = nullptr;
    QAction* MenuEinstMaxStunden = nullptr;
    std::array<QAction*, 8> MenuHilfe{};

    QMenu* PopupMenuLv1 = nullptr;
    QAction* PuLv1Hinzufuegen = nullptr;
    QAction* PuLv1Zurueck = nullptr;
    QAction* PuLv1AllesMarkieren = nullptr;
    QAction* PuLv1Aktualisieren = nullptr;
    QAction* PuLv1OrdnerOeffnen = nullptr;

    QMenu* PopupMenuLv2 = nullptr;
    QAction* PuLv2NachOben = nullptr;
    QAction* PuLv2NachUnten = nullptr;
    QAction* PuLv2Entfernen = nullptr;
    QAction* PuLv2AllesMarkieren = nullptr;
    QAction* PuLv2Leeren = nullptr;
    QAction* PuLv2PlayPause = nullptr;
    QAction* PuLv2Stop = nullptr;
};

// Builds the menus into the window's menu bar and the popups onto the lists. The
// help items start disabled; the window enables them by what it finds.
THauptMenue HauptMenueErzeugen(QMainWindow& fenster, QTreeWidget& ordnerListe,
                               QTreeWidget& dateiListe);

// The command number of a popup item or button (its tag), or 0.
int BefehlsNummer(const QObject& sender);
void BefehlsNummerSetzen(QObject& objekt, int nummer);

} // namespace lorvane
