#include "ui/haupt/DateiListeBefehle.h"

#include <QTreeWidget>

namespace lorvane {

namespace {

// Closes the list's update bracket however the command ends.
class TUpdateKlammer {
public:
    explicit TUpdateKlammer(QWidget& widget) : fWidget(widget) { fWidget.setUpdatesEnabled(false); }
    ~TUpdateKlammer() { fWidget.setUpdatesEnabled(true); }
    TUpdateKlammer(const TUpdateKlammer&) = delete;
    TUpdateKlammer& operator=(const TUpdateKlammer&) = delete;

private:
    QWidget& fWidget;
};

bool HatDauer(const QTreeWidgetItem& item) {
    return item.columnCount() >= 2;
}

void NurDieseZeile(QTreeWidget& liste, QTreeWidgetItem* item) {
    liste.setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    liste.clearSelection();
    item->setSelected(true);
    liste.scrollToItem(item);
}

} // namespace

TDateiListeBefehle::TDateiListeBefehle(QTreeWidget& liste, IVorschauPlayer& player,
                                       TSpielbar spielbar)
    : fListe(liste), fPlayer(player), fSpielbar(std::move(spielbar)) {}

TPlayerFehler TDateiListeBefehle::Ausfuehren(TDateiBefehl befehl) {
    TUpdateKlammer klammer(fListe);
    switch (befehl) {
    case TDateiBefehl::NachOben:
        Verschieben(-1);
        break;
    case TDateiBefehl::NachUnten:
        Verschieben(1);
        break;
    case TDateiBefehl::Entfernen:
        return Entfernen();
    case TDateiBefehl::Leeren:
        return Leeren();
    case TDateiBefehl::AllesMarkieren:
        AllesMarkieren();
        break;
    case TDateiBefehl::PlayPause:
        return Vorschau(true);
    case TDateiBefehl::Stop:
        return Vorschau(false);
    }
    return std::nullopt;
}

TDateiListeZustand TDateiListeBefehle::Zustand() const {
    TDateiListeZustand zustand;
    zustand.Zeilen = fListe.topLevelItemCount();
    zustand.Markiert = static_cast<int>(fListe.selectedItems().size());
    QTreeWidgetItem* fokus = fListe.currentItem();
    zustand.FokusZeile = fokus != nullptr ? fListe.indexOfTopLevelItem(fokus) : -1;
    zustand.PlayerHatDatei = !fPlayer.FileName().isEmpty();
    zustand.PlayerGestoppt = fPlayer.Modus() == TPlayerModus::Gestoppt;
    return zustand;
}

void TDateiListeBefehle::Verschieben(int richtung) {
    QTreeWidgetItem* fokus = fListe.currentItem();
    if (fokus == nullptr) {
        return;
    }
    const int i = fListe.indexOfTopLevelItem(fokus);
    const int j = i + richtung;
    const int zeilen = fListe.topLevelItemCount();
    if (i < 0 || j < 0 || i >= zeilen || j >= zeilen || !HatDauer(*fokus) ||
        !HatDauer(*fListe.topLevelItem(j))) {
        return;
    }
    // The row moves whole, so that its native path goes with its caption.
    QTreeWidgetItem* item = fListe.takeTopLevelItem(i);
    fListe.insertTopLevelItem(j, item);
    NurDieseZeile(fListe, item);
}

TPlayerFehler TDateiListeBefehle::Entfernen() {
    const QList<QTreeWidgetItem*> markiert = fListe.selectedItems();
    for (QTreeWidgetItem* item : markiert) {
        delete item;
    }
    if (QTreeWidgetItem* fokus = fListe.currentItem(); fokus != nullptr) {
        fokus->setSelected(true);
        fListe.scrollToItem(fokus);
    }
    if (!fPlayer.FileName().isEmpty() && !DateiInListe(fPlayer.FileName())) {
        return VorschauBeenden();
    }
    return std::nullopt;
}

TPlayerFehler TDateiListeBefehle::Leeren() {
    fListe.clear();
    if (!fPlayer.FileName().isEmpty()) {
        return VorschauBeenden();
    }
    return std::nullopt;
}

void TDateiListeBefehle::AllesMarkieren() {
    if (fListe.topLevelItemCount() == 0) {
        return;
    }
    fListe.selectAll();
    QTreeWidgetItem* erste = fListe.topLevelItem(0);
    fListe.setCurrentItem(erste, 0, QItemSelectionModel::NoUpdate);
    fListe.scrollToItem(erste);
}

TPlayerFehler TDateiListeBefehle::Vorschau(bool playPause) {
    QTreeWidgetItem* fokus = fListe.currentItem();
    if (fokus == nullptr || fListe.indexOfTopLevelItem(fokus) < 0 || !fSpielbar(*fokus)) {
        return std::nullopt;
    }
    const QString datei = fokus->text(0);
    if (fPlayer.FileName() != datei) {
        fPlayer.FileNameSetzen(datei);
        if (TPlayerFehler fehler = fPlayer.Oeffnen()) {
            return fehler;
        }
    } else if (fPlayer.Modus() == TPlayerModus::Gestoppt) {
        if (TPlayerFehler fehler = fPlayer.ZumAnfang()) {
            return fehler;
        }
    }
    const TPlayerModus modus = fPlayer.Modus();
    if (playPause) {
        return modus == TPlayerModus::Spielt || modus == TPlayerModus::Pausiert
                   ? fPlayer.Pause()
                   : fPlayer.Abspielen();
    }
    return modus != TPlayerModus::Gestoppt ? fPlayer.Stop() : std::nullopt;
}

TPlayerFehler TDateiListeBefehle::VorschauBeenden() {
    const TPlayerModus modus = fPlayer.Modus();
    if (modus == TPlayerModus::Gestoppt || modus == TPlayerModus::NichtBereit) {
        return std::nullopt;
    }
    return fPlayer.Stop();
}

bool TDateiListeBefehle::DateiInListe(const QString& name) const {
    for (int i = 0; i < fListe.topLevelItemCount(); ++i) {
        if (fListe.topLevelItem(i)->text(0).compare(name, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace lorvane
