// The main window's handlers of the hand-over: a parameter list, the bring-to-front
// and the close request, and the Send-To timer that selects the folders.

#include "ui/haupt/HauptEinzelinstanz.h"

#include "engine/auswahl/Laufwerke.h"
#include "platform/TrayIcon.h"
#include "platform/aussehen/Meldungen.h"
#include "platform/instanz/KivParameter.h"
#include "platform/instanz/Vordergrund.h"
#include "ui/OrdnerListe.h"
#include "ui/haupt/Haupt.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>

namespace lorvane {

namespace {

std::string NativerText(const QString& pfad) {
    return QFile::encodeName(pfad).toStdString();
}

// The existing, reachable folders among the parameters, fully expanded, with "/".
std::vector<std::string> OrdnerSammeln(const QStringList& parameter) {
    std::vector<std::string> ordner;
    for (const QString& eintrag : parameter) {
        const std::string pfad = NativerText(eintrag);
        std::error_code ec;
        if (!LaufwerkVerfuegbar(pfad) || !std::filesystem::is_directory(pfad, ec)) {
            continue;
        }
        // Expanded, not resolved: a folder reached through a link keeps its path.
        const std::filesystem::path voll = std::filesystem::absolute(pfad, ec).lexically_normal();
        if (ec) {
            continue;
        }
        std::string text = voll.string();
        if (text.empty() || text.back() != '/') {
            text += '/';
        }
        ordner.push_back(std::move(text));
    }
    return ordner;
}

std::string ElternOrdner(const std::string& ordner) {
    const std::string ohne = OhneSchraegstrich(ordner);
    return ohne.substr(0, ohne.rfind('/') + 1);
}

} // namespace

void RegistryBefehlAusfuehren(TForm1* fenster, const TRegistrySettings& befehl) {
    // A command still queued when the window closed is dropped: it would show the
    // closed window again.
    if (fenster == nullptr || fenster->IsClosing()) {
        return;
    }
    if (!befehl.Parameters.isEmpty()) {
        static_cast<void>(SendParameters(
            [fenster](const QString& liste) { return fenster->ProgramParameters(liste); },
            befehl.Parameters));
    } else if (!befehl.SetFocus.isEmpty()) {
        fenster->ProgramSetFocus();
    } else if (!befehl.Close.isEmpty()) {
        fenster->ProgramClose();
    }
}

int TForm1::ProgramParameters(const QString& liste) {
    ProgramSetFocus();
    FParameters = SplitParameters(liste);
    fSendToAufgeschoben = !FParameters.isEmpty();
    SendToStarten();
    return 0;
}

void TForm1::SendToStarten() {
    // Window managers grant activation later: "no other window of ours is active"
    // stands for "the main window is active".
    const QWidget* aktiv = QApplication::activeWindow();
    if (fSendToAufgeschoben && (aktiv == nullptr || aktiv == this) && !IsDialogOpen()) {
        fSendToAufgeschoben = false;
        Timer2SendTo.start();
    }
}

// The dialog that held a hand-over back has closed: it is taken now, as if it had just
// arrived.
void TForm1::changeEvent(QEvent* ereignis) {
    QMainWindow::changeEvent(ereignis);
    if (ereignis->type() == QEvent::ActivationChange && isActiveWindow()) {
        SendToStarten();
    }
}

void TForm1::ProgramSetFocus() {
    if (fDienste.Tray->Sichtbar()) {
        fDienste.Tray->HauptfensterZeigen();
        fDienste.Tray->SichtbarSetzen(false);
        QMetaObject::invokeMethod(this, &TForm1::ProgramSetFocus, Qt::QueuedConnection);
        return;
    }
    ForceForegroundWindow(*this);
    BringFormsToFront(*this);
}

void TForm1::ProgramClose() {
    // Closing under a running job or an open dialog would free what they still use.
    if (JobLaeuft() || IsDialogOpen()) {
        return;
    }
    Menue.MenuDateiBeenden->trigger();
}

void TForm1::Timer2SendToTimer() {
    Timer2SendTo.stop();
    if (FParameters.isEmpty()) {
        return;
    }
    if (IsDialogOpen()) {
        // A dialog opened in the meantime; the folders wait for its end.
        fSendToAufgeschoben = true;
        return;
    }
    const std::vector<std::string> ordner = OrdnerSammeln(FParameters);
    const auto istWurzel = [this](const std::string& pfad) {
        return OhneSchraegstrich(pfad) == "/" || fOrdnerListe->Dateien().IstLaufwerksWurzel(pfad);
    };
    if (!ordner.empty() && !istWurzel(ordner.front())) {
        ListView1->setUpdatesEnabled(false);
        const std::string eltern = ElternOrdner(ordner.front());
        if (fOrdnerListe->Dateien().Path() != eltern) {
            FehlerMelden(fOrdnerListe->PfadSetzen(eltern));
        }
        ListView1->clearSelection();
        QTreeWidgetItem* erste = nullptr;
        const TDateien& dateien = fOrdnerListe->Dateien();
        for (const std::string& gesucht : ordner) {
            for (int i = 0; i < dateien.Count() && i < ListView1->topLevelItemCount(); ++i) {
                if (dateien.PathUndOrdner(i) == gesucht) {
                    ListView1->topLevelItem(i)->setSelected(true);
                    if (erste == nullptr) {
                        erste = ListView1->topLevelItem(i);
                    }
                    break;
                }
            }
        }
        if (erste != nullptr) {
            ListView1->setCurrentItem(erste, 0, QItemSelectionModel::NoUpdate);
            ListView1->scrollToItem(erste);
        }
        ListView1->setUpdatesEnabled(true);
        Lv1SchalterAktualisieren();
        UpdateButtonsLv2();
        if (erste != nullptr && Btn2Lv1Hinzufuegen->isEnabled()) {
            const TAntwort antwort =
                Btn4Lv2Leeren->isEnabled()
                    ? FrageJaNeinAbbrechen(
                          this, QStringLiteral("Soll die vorhandene Dateiliste geleert werden?\r\n"
                                               "Ja=Dateiliste leeren; Nein=Neue Dateien anhängen"))
                    : TAntwort::Nein;
            if (antwort == TAntwort::Ja) {
                Btn4Lv2Leeren->click();
            }
            if (antwort != TAntwort::Abbrechen) {
                Btn2Lv1Hinzufuegen->click();
            }
        }
    }
    Btn1Lv1Zurueck->setEnabled(!fOrdnerListe->Dateien().Path().empty());
}

} // namespace lorvane
