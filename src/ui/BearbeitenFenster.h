#pragma once
// The progress window: the desktop front end of the job controller. It shows the two
// status lines, the bar, the caption and the tray hint the controller computes, and
// offers minimise (button, Ctrl+M) and cancel (button, Esc, and every other request
// to close). The job runs 5 ms after the window is shown; the window closes only when
// both worker threads have ended, with Accepted exactly when the job made the book.
//
// The job works in a working folder of its own (TJobLauf): the default one, locked for
// the time of the job, or a unique folder below it when another job holds it. An input
// that lies in the working folder (or below it) is refused before anything is locked
// or cleared.

#include "engine/JobAnsage.h"
#include "engine/JobFrontEnd.h"
#include "engine/JobLauf.h"
#include "engine/JobState.h"
#include "platform/TrayIcon.h"
#include "platform/aussehen/Fenster.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;

namespace lorvane {

class TTitelZeile;
class IAnsager;

class TBearbeitenFenster : public QDialog, public IJobFrontEnd {
    Q_OBJECT

public:
    TBearbeitenFenster(QWidget* owner, TJobState& state, std::vector<TDateiZeile> zeilen,
                       ITrayIcon& tray, const TAussehen& aussehen,
                       TJobThreadErzeugung threads = StandardJobThreads(),
                       IAnsager* ansager = nullptr);
    ~TBearbeitenFenster() override;

    // The job has ended and the window may close.
    bool JobBeendet() const { return fJobBeendet; }

    // Every request to close while the job runs is the cancel button.
    void reject() override;

    bool FrageJaNein(const std::string& text) override;
    void FehlerZeigen(const std::string& text) override;
    void EreignisseVerarbeiten() override;
    void StatusText1Setzen(const std::string& text) override;
    void StatusText2Setzen(const std::string& text) override;
    void FortschrittPositionSetzen(int position) override;
    void CaptionSetzen(const std::string& text) override;
    bool TrayIconSichtbar() const override;
    void TrayIconSichtbarSetzen(bool sichtbar) override;
    std::string TrayHint() const override;
    void TrayHintSetzen(const std::string& text) override;
    void HauptfensterVerbergen() override;
    void HauptfensterZeigen() override;
    void AnwendungMinimieren() override;
    void CursorSetzen(TJobCursor cursor) override;
    void StatusFokussieren() override;
    void AbbruchAngenommen() override;
    void JobGestartet() override;

    QLabel* StaticText1 = nullptr;
    QLabel* StaticText2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* Btn1Minimieren = nullptr;
    QPushButton* Btn2Abbrechen = nullptr;
    QAction* MenuMinimieren = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* objekt, QEvent* event) override;

private:
    void CaptionZuweisen();
    void SchriftartZuweisen();
    void SchalterEinrichten();
    void Timer1StartTimer();
    void Btn1MinimierenClick();
    void Btn2AbbrechenClick();
    void FensterWiederherstellen();
    void HauptfensterSichern();
    QWidget* Hauptfenster() const;

    TJobState& fState;
    ITrayIcon& fTray;
    TTitelZeile* fTitel;
    TAussehen fAussehen;
    // Start, parts, cancel and end for the screen reader; silent without an announcer.
    TJobAnsage fAnsage;
    // The input check, working folder and controller of this window's job.
    std::unique_ptr<TJobLauf> fLauf;
    QString fVorlage1;
    QString fVorlage2;
    bool fEingerichtet = false;
    bool fJobGestartet = false;
    bool fJobBeendet = false;
    bool fSanduhr = false;
};

} // namespace lorvane
