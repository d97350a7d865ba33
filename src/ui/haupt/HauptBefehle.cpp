// The main window's commands: the folder list, the file list, the menus and the
// "Weiter" flow.

#include "ui/haupt/Haupt.h"

#include "base/DatenC.h"
#include "engine/BearbeitenDlgC.h"
#include "engine/Kapitel.h"
#include "platform/TrayIcon.h"
#include "platform/aussehen/Meldungen.h"
#include "platform/sprache/Ansager.h"
#include "ui/BearbeitenFenster.h"
#include "ui/DateiListe.h"
#include "ui/HinzufuegenDlgC.h"
#include "ui/MetaDlgC.h"
#include "ui/OrdnerListe.h"
#include "ui/StundenDlgC.h"
#include "ui/haupt/DateiListeBefehle.h"
#include "ui/haupt/HauptRegeln.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

namespace lorvane {

namespace {

QString AlsText(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void TForm1::OrdnerBefehl(int nummer) {
    switch (nummer) {
    case 1:
        ListView1->setFocus(Qt::OtherFocusReason);
        OrdnerTaste(Qt::Key_Backspace);
        break;
    case 2:
        HinzufuegenKlick();
        break;
    case 3:
        ListView1->setFocus(Qt::OtherFocusReason);
        FehlerMelden(fOrdnerListe->Aktualisieren());
        break;
    case 4:
        OrdnerOeffnenKlick();
        break;
    case 5:
        OrdnerAllesMarkieren();
        break;
    default:
        break;
    }
    Lv1SchalterAktualisieren();
}

// Enter, Return and Backspace go through the folder model's navigation; what it
// consumes does not reach the list.
bool TForm1::OrdnerTaste(int taste) {
    const TOrdnerListe::TWechsel wechsel = fOrdnerListe->OrdnerWechseln(taste);
    Lv1SchalterAktualisieren();
    FehlerMelden(wechsel.fehler);
    return wechsel.verbraucht;
}

void TForm1::Lv1SchalterAktualisieren() {
    TOrdnerListeZustand zustand;
    zustand.Zeilen = ListView1->topLevelItemCount();
    zustand.Markiert = static_cast<int>(ListView1->selectedItems().size());
    QTreeWidgetItem* fokus = ListView1->currentItem();
    zustand.FokusZeile = fokus != nullptr ? ListView1->indexOfTopLevelItem(fokus) : -1;
    zustand.Laufwerksebene = fOrdnerListe->Dateien().Path().empty();
    const TOrdnerListeSchalter schalter = OrdnerListeSchalter(zustand);
    Btn1Lv1Zurueck->setEnabled(schalter.Zurueck);
    Btn2Lv1Hinzufuegen->setEnabled(schalter.Hinzufuegen);
    Menue.PuLv1Zurueck->setEnabled(schalter.Zurueck);
    Menue.PuLv1Hinzufuegen->setEnabled(schalter.Hinzufuegen);
    Menue.PuLv1OrdnerOeffnen->setEnabled(schalter.OrdnerOeffnen);
    Menue.PuLv1AllesMarkieren->setEnabled(schalter.AllesMarkieren);
}

void TForm1::HinzufuegenKlick() {
    THinzufuegenDlg dialog(this, fState, fAussehen, fOrdnerListe->MarkierteOrdner(), *ListView2);
    if (dialog.exec() == QDialog::Accepted) {
        InfoZeigen(this, HinzugefuegtText(dialog.AnzDateien(), fState.Daten.GesamtDauer));
    }
    UpdateButtonsLv2();
}

// Where no file manager is registered, nothing would happen without a word.
void TForm1::OrdnerImDateimanager(const std::string& ordner) {
    const QString pfad = QFile::decodeName(QByteArray::fromStdString(ordner));
    if (!fDienste.OrdnerOeffnen(QUrl::fromLocalFile(pfad))) {
        FehlerZeigen(this, OrdnerNichtGeoeffnetText(pfad));
    }
}

void TForm1::OrdnerOeffnenKlick() {
    QTreeWidgetItem* fokus = ListView1->currentItem();
    if (fokus == nullptr) {
        return;
    }
    const int index = ListView1->indexOfTopLevelItem(fokus);
    if (index >= 0 && index < fOrdnerListe->Dateien().Count()) {
        OrdnerImDateimanager(fOrdnerListe->Dateien().PathUndOrdner(index));
    }
}

void TForm1::OrdnerAllesMarkieren() {
    if (ListView1->topLevelItemCount() == 0) {
        return;
    }
    ListView1->setUpdatesEnabled(false);
    ListView1->selectAll();
    QTreeWidgetItem* erste = ListView1->topLevelItem(0);
    ListView1->setCurrentItem(erste, 0, QItemSelectionModel::NoUpdate);
    ListView1->scrollToItem(erste);
    ListView1->setUpdatesEnabled(true);
}

void TForm1::DateiBefehl(int nummer) {
    if (nummer < 1 || nummer > 7) {
        return;
    }
    ListView2->setFocus(Qt::OtherFocusReason);
    const auto befehl = static_cast<TDateiBefehl>(nummer);
    if (befehl == TDateiBefehl::Leeren) {
        ListView1->setFocus(Qt::OtherFocusReason);
    }
    const TPlayerFehler fehler = fBefehle->Ausfuehren(befehl);
    UpdateButtonsLv2();
    FehlerMelden(fehler);
}

void TForm1::UpdateButtonsLv2() {
    const TDateiListeSchalter schalter = DateiListeSchalter(fBefehle->Zustand());
    Btn1Lv2NachOben->setEnabled(schalter.NachOben);
    Menue.PuLv2NachOben->setEnabled(schalter.NachOben);
    Btn2Lv2NachUnten->setEnabled(schalter.NachUnten);
    Menue.PuLv2NachUnten->setEnabled(schalter.NachUnten);
    Btn3Lv2Entfernen->setEnabled(schalter.Entfernen);
    Menue.PuLv2Entfernen->setEnabled(schalter.Entfernen);
    Btn4Lv2Leeren->setEnabled(schalter.Leeren);
    Menue.PuLv2Leeren->setEnabled(schalter.Leeren);
    Menue.PuLv2AllesMarkieren->setEnabled(schalter.AllesMarkieren);
    Menue.PuLv2PlayPause->setEnabled(schalter.PlayPause);
    Menue.PuLv2Stop->setEnabled(schalter.Stop);
    Btn1Weiter->setEnabled(schalter.Weiter);
    // The main menu's items follow at once, so that their shortcuts obey the same rule.
    Menue.MenuDateiWeiter->setEnabled(schalter.Weiter);
    Menue.MenuDateiLeeren->setEnabled(schalter.Leeren);
}

// The player failed while playing: the user hears and sees why, once while its box is
// open. The box waits for the player's signal to return.
void TForm1::VorschauFehlerMelden(const QString& grund) {
    if (fVorschauFehlerOffen) {
        return;
    }
    fVorschauFehlerOffen = true;
    const QString text = VorschauFehlerText(fDienste.Player->FileName(), grund);
    fDienste.Ansager->Sprechen(MeldungsText(text));
    QTimer::singleShot(0, this, [this, text] {
        FehlerZeigen(this, text);
        fVorschauFehlerOffen = false;
    });
}

void TForm1::DateiMenueOeffnen() {
    Menue.MenuDateiWeiter->setEnabled(Btn1Weiter->isEnabled());
    Menue.MenuDateiLeeren->setEnabled(Btn4Lv2Leeren->isEnabled());
}

void TForm1::FensterMenueOeffnen() {
    Menue.MenuFensterOrdnerliste->setChecked(focusWidget() == ListView1);
    Menue.MenuFensterDateiliste->setChecked(focusWidget() == ListView2);
}

void TForm1::EinstellungenMenueOeffnen() {
    Menue.MenuEinstCopyMp3FileS->setChecked(fState.Daten.CopyMp3FileS);
    Menue.MenuEinstMinimierenS->setChecked(fState.Daten.MinimierenS);
    Menue.MenuEinstPausenSchnittS->setChecked(fState.Daten.PausenSchnittS);
}

// The variable decides, not the check mark: a shortcut or a trigger from outside may
// come before the menu has ever shown the current state.
void TForm1::SchalterUmschalten(QAction& action, std::atomic<bool>& wert) {
    wert = !wert;
    action.setChecked(wert);
    RegistryLadenSpeichern(false);
}

void TForm1::PopupZeigen(QTreeWidget& liste, QMenu& menu, const QPoint& stelle) {
    if (&liste == ListView1) {
        Lv1SchalterAktualisieren();
    } else {
        UpdateButtonsLv2();
    }
    QPoint ort = stelle;
    // From the keyboard the menu opens at the focused row (a right click has made the
    // row under the mouse the focused one already).
    if (QTreeWidgetItem* fokus = liste.currentItem(); fokus != nullptr) {
        const QRect zeile = liste.visualItemRect(fokus);
        if (!zeile.contains(ort) && liste.viewport()->rect().intersects(zeile)) {
            ort = zeile.bottomLeft();
        }
    }
    menu.exec(liste.viewport()->mapToGlobal(ort));
}

void TForm1::MaxStundenKlick() {
    TStundenDlg dialog(this, fAussehen, *fDienste.Ansager);
    dialog.PositionSetzen(fState.Daten.MaxStunden);
    if (dialog.exec() == QDialog::Accepted) {
        fState.Daten.MaxStunden = dialog.Position();
        RegistryLadenSpeichern(false);
    }
}

void TForm1::AusgabeordnerOeffnen() {
    OrdnerAnlegen(fState.Daten.AusgabeOrdner);
    OrdnerImDateimanager(fState.Daten.AusgabeOrdner.string());
}

void TForm1::WeiterKlick() {
    if (ListView2->topLevelItemCount() == 0) {
        return;
    }
    auto& daten = fState.Daten;
    {
        TMetaDlg dialog(this, fAussehen, *fDienste.Ansager, daten.MinimierenS, daten.MaxStunden);
        dialog.TexteSetzen(AlsText(NameBereinigen(daten.Autor, true)),
                           AlsText(NameBereinigen(daten.Titel, true)),
                           AlsText(NameBereinigen(daten.Album, true)));
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        daten.Autor = MetaTextBereinigen(dialog.Autor().toStdString());
        daten.Titel = MetaTextBereinigen(dialog.Titel().toStdString());
        daten.Album = MetaTextBereinigen(dialog.Album().toStdString());
        daten.MaxStunden = dialog.Stunden();
    }
    RegistryLadenSpeichern(false);

    bool erfolg = false;
    {
        TBearbeitenFenster fenster(this, fState, DateiZeilen(*ListView2), *fDienste.Tray, fAussehen,
                                   fDienste.Threads != nullptr ? *fDienste.Threads
                                                               : StandardJobThreads(),
                                   fDienste.Ansager);
        fFortschrittOffen = true;
        erfolg = fenster.exec() == QDialog::Accepted;
        fFortschrittOffen = false;
    }
    if (erfolg) {
        if (isMinimized()) {
            showNormal();
        }
        raise();
        activateWindow();
        // Set before the question, so that the focus comes back there with the window
        // and is not announced as a move of its own.
        ListView2->setFocus(Qt::OtherFocusReason);
        if (FrageJaNein(this,
                        ErfolgsFrage(daten.Album, daten.Autor, daten.TeilNr, daten.M4bDauer,
                                     KapitelJeDateiText(fState.FertigeKapitelInTeilfolge())))) {
            AusgabeordnerOeffnen();
        }
    }
    UpdateButtonsLv2();
}

} // namespace lorvane
