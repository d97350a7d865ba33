#pragma once
// The program's main window: the folder list and the file list with their buttons,
// the main menu, one popup menu per list and the status line. "Weiter" leads through
// the metadata dialog into the progress window. The window owns the program-wide
// objects: the folder model, the font and colour, the tray icon and the preview player.

#include "engine/JobState.h"
#include "engine/auswahl/Dateien.h"
#include "platform/aussehen/Fenster.h"
#include "ui/haupt/HauptMenue.h"
#include "ui/haupt/HilfeRegeln.h"

#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QStatusBar;
class QTreeWidget;

namespace lorvane {

class IAnsager;
class ITrayIcon;
class IUhr;
class IVorschauPlayer;
class TDateiListeBefehle;
class TKivRegistry;
class TOrdnerListe;
struct TJobThreadErzeugung;
struct THauptMasse;

// The services the window uses; null means the real one, so that tests inject fakes.
struct THauptDienste {
    ITrayIcon* Tray = nullptr;
    IVorschauPlayer* Player = nullptr;
    IAnsager* Ansager = nullptr;
    IUhr* Uhr = nullptr;
    TKivRegistry* Registry = nullptr;
    // The job's worker threads; null means the engine's joiner and converter.
    const TJobThreadErzeugung* Threads = nullptr;
    // The drive level of the folder list; empty means this machine's drives.
    TLaufwerksQuelle Laufwerke;
    // Opens a folder in the file manager; false when nothing could open it. Empty
    // means the desktop's handler.
    std::function<bool(const QUrl&)> OrdnerOeffnen;
    // Opens a help document, a web page or a mail link. Empty means the desktop's handler.
    std::function<bool(const QUrl&)> DokumentOeffnen;
    // Starts the updater detached (program, arguments, working folder). Empty means a
    // real process.
    std::function<bool(const QString&, const QStringList&, const QString&)> ProgrammStarten;
    // The running executable's path; empty means this process's.
    QString ProgrammPfad;
    // The maker's addresses; none means those the program was built with.
    std::optional<THilfeAdressen> Adressen;
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    TForm1(TJobState& state, THauptDienste dienste = {});
    ~TForm1() override;

    // The folder-list commands: 1 back, 2 add, 3 refresh, 4 open folder, 5 select all.
    void OrdnerBefehl(int nummer);
    // The file-list commands: 1 up, 2 down, 3 remove, 4 clear, 5 select all,
    // 6 play/pause, 7 stop.
    void DateiBefehl(int nummer);
    void UpdateButtonsLv2();
    // "Weiter": metadata dialog, progress window, success question.
    void WeiterKlick();
    void AusgabeordnerOeffnen();
    void MaxStundenKlick();
    // "&Schrifteinstellungen...": on OK the new font and colour are applied and saved.
    void SchriftDialogZeigen();
    // One run of the status line's timer.
    void Timer1StatuszeileTimer();
    // Loads (true) or saves (false) the settings.
    void RegistryLadenSpeichern(bool laden);

    // A modal dialog of the application is open.
    bool IsDialogOpen() const;
    // True once the window has accepted its close.
    bool IsClosing() const { return fIsClosing; }
    // The progress window is open or a worker thread runs.
    bool JobLaeuft() const;
    // The hand-over of a second start (the WM_COPYDATA payload); 0 means taken.
    int ProgramParameters(const QString& liste);
    // WM_PROGRAM_SETFOCUS and WM_PROGRAM_CLOSE.
    void ProgramSetFocus();
    void ProgramClose();
    // Selects the handed-over folders and starts adding them.
    void Timer2SendToTimer();
    const QStringList& Parameters() const { return FParameters; }
    bool SendToWartet() const { return Timer2SendTo.isActive(); }
    // A hand-over arrived while a dialog was open; it is added when the window is back.
    bool SendToAufgeschoben() const { return fSendToAufgeschoben; }
    const TAussehen& Aussehen() const { return fAussehen; }
    TOrdnerListe& OrdnerListe() { return *fOrdnerListe; }

    QTreeWidget* ListView1 = nullptr;
    QTreeWidget* ListView2 = nullptr;
    QPushButton* Btn1Lv1Zurueck = nullptr;
    QPushButton* Btn2Lv1Hinzufuegen = nullptr;
    QPushButton* Btn3Lv1Aktualisieren = nullptr;
    QPushButton* Btn1Lv2NachOben = nullptr;
    QPushButton* Btn2Lv2NachUnten = nullptr;
    QPushButton* Btn3Lv2Entfernen = nullptr;
    QPushButton* Btn4Lv2Leeren = nullptr;
    QPushButton* Btn1Weiter = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 3> Panels{};
    THauptMenue Menue;

Q_SIGNALS:
    // The window has accepted a close request; the program ends.
    void Geschlossen();

protected:
    void showEvent(QShowEvent* ereignis) override;
    void moveEvent(QMoveEvent* ereignis) override;
    void closeEvent(QCloseEvent* ereignis) override;
    void changeEvent(QEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void ControlsErzeugen();
    void CaptionZuweisen();
    void SetTabOrder();
    void VerbindungenHerstellen();
    void FormShow();
    void SchriftartZuweisen();
    void SchalterEinrichten();
    void MindestGroesseSetzen(const THauptMasse& masse);
    void FensterEinrichten();
    void EinstellungenAnwenden();
    void Lv1SchalterAktualisieren();
    bool OrdnerTaste(int taste);
    void HinzufuegenKlick();
    void OrdnerOeffnenKlick();
    void OrdnerImDateimanager(const std::string& ordner);
    void OrdnerAllesMarkieren();
    void DateiMenueOeffnen();
    void FensterMenueOeffnen();
    void EinstellungenMenueOeffnen();
    void HilfeVerbinden();
    void HilfeMenueOeffnen();
    void HilfeDokumentZeigen(const char* name);
    void AktualisierungKlick();
    void SchalterUmschalten(QAction& action, std::atomic<bool>& wert);
    void PopupZeigen(QTreeWidget& liste, QMenu& menu, const QPoint& stelle);
    void VorschauPausieren();
    void VorschauFehlerMelden(const QString& grund);
    void FehlerMelden(const std::optional<QString>& fehler);
    // Starts adding the handed-over folders when this window is the active one and no
    // dialog is open; otherwise they wait for the window's return.
    void SendToStarten();
    QRect Arbeitsbereich() const;

    TJobState& fState;
    THauptDienste fDienste;
    std::unique_ptr<ITrayIcon> fEigenerTray;
    std::unique_ptr<IVorschauPlayer> fEigenerPlayer;
    std::unique_ptr<IAnsager> fEigenerAnsager;
    std::unique_ptr<IUhr> fEigeneUhr;
    std::unique_ptr<TKivRegistry> fEigeneRegistry;
    std::unique_ptr<TOrdnerListe> fOrdnerListe;
    std::unique_ptr<TDateiListeBefehle> fBefehle;
    TAussehen fAussehen;
    QTimer fStatusTimer;
    QStringList FParameters;
    QTimer Timer2SendTo;
    bool fSendToAufgeschoben = false;
    bool fIsClosing = false;
    // Owned by the window, deleted before its members go.
    QObject* fModalWaechter = nullptr;
    QObject* fListenAnsagen = nullptr;
    bool fRunFirstS = true;
    bool fFortschrittOffen = false;
    bool fVorschauFehlerOffen = false;
};

} // namespace lorvane
