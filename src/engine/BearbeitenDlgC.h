#pragma once
// The job controller: the logic of the progress window, which runs one job from the
// file list to the M4B files. It resets the job state, owns the engine objects of the
// job, checks and prepares the folders, starts the joiner and the converter, waits
// for them while the front end stays responsive, shows their progress, carries out a
// cancel and shows the first error a thread reports.
//
// Everything here runs in the user-interface thread. The front end is the window (or
// the console); the threads' termination handlers run when the controller processes
// its event queue, right after the front end's own events, in its waiting loops. The
// status update runs from the same loops every 250 ms, so a front end needs no timer.

#include "engine/JobEngine.h"
#include "engine/JobFrontEnd.h"
#include "engine/JobState.h"
#include "engine/JobStatus.h"
#include "engine/encoder/EncoderAnbindung.h"
#include "engine/ordner/OrdnerSperre.h"
#include "engine/threads/EventQueue.h"
#include "engine/threads/WorkerThread.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lorvane {

enum class TModalResult { None, OK, Cancel };

// Makes one worker thread of a job, suspended; its constructor sets its running flag.
using TJobThreadErzeuger = std::function<std::unique_ptr<TWorkerThread>(
    TEventQueue& controllerQueue, TJobState& state, TJobEngine& engine)>;

struct TJobThreadErzeugung {
    TJobThreadErzeuger Mp3Thread;
    TJobThreadErzeuger ConvertThread;
};

// The joiner and the converter of the engine.
TJobThreadErzeugung StandardJobThreads();

// The error texts of the start checks and the questions of the controller.
std::string OrdnerNichtAngelegtText(const std::filesystem::path& ordner);
std::string AnwendungFehltText(const std::filesystem::path& datei);
std::string OrdnerNichtGeleertFrage(const std::filesystem::path& ordner,
                                    const std::string& grund = {});
std::string FremderArbeitsOrdnerText(const std::filesystem::path& ordner);
std::string HoerbuchIstArbeitsOrdnerText(const std::filesystem::path& ordner);
std::string HoerbuchOrdnerLeerenFrage(const std::filesystem::path& ordner);
std::string HoerbuchOrdnerBelegtText(const std::filesystem::path& ordner);
inline constexpr const char* AbbrechenFrage = "Soll die Erstellung wirklich abgebrochen werden?";

class TBearbeitenDlg {
public:
    // Builds the job's list from the file-list rows, then runs the window's creation:
    // per-job values reset, engine objects made, audiobook and working folder created.
    TBearbeitenDlg(IJobFrontEnd& frontEnd, TJobState& state, const std::vector<TDateiZeile>& zeilen,
                   TJobThreadErzeugung threads = StandardJobThreads());
    // FormDestroy; should threads still run (an exception left the job), they are
    // stopped and waited for first.
    ~TBearbeitenDlg();
    TBearbeitenDlg(const TBearbeitenDlg&) = delete;
    TBearbeitenDlg& operator=(const TBearbeitenDlg&) = delete;

    // The window is shown: one status update at once, which starts the status timer.
    void FormShow();
    // Runs the whole job, once; returns when both threads have ended.
    TModalResult Timer1StartTimer();
    // The status update; runs every 250 ms while the job runs and no cancel is set.
    void Timer2StaticTextTimer();
    // Bar, caption and tray hint for the value of a phase (1: preparing, 2: joining,
    // 3: converting after the joiner).
    void FortschrittSetzen(std::int64_t wert, int phase);
    // Asks, when the folder holds files a job makes (".m4b", ".m4a", ".mp3"), whether
    // to empty it of them; false when emptying failed, or without asking when the
    // program may not delete there (a link). The user's other files stay.
    bool HoerbuchOrdnerLeeren(const std::filesystem::path& ordner);

    // Minimise into the tray (button, Ctrl+M, and at the start with MinimierenS).
    void Btn1MinimierenClick();
    // The cancel button and Esc: holds the threads while it asks.
    void Btn2AbbrechenClick();
    // A cancel the user confirmed elsewhere (Ctrl+C in the console): what the answer
    // Ja does, without the question.
    void AbbruchBestaetigt();
    // After a cancel: running encoders that do not react to "q" are killed, so that
    // the threads end.
    void EncoderBeenden();

    TModalResult ModalResult() const { return fModalResult; }
    TEventQueue& EventQueue() { return fQueue; }
    // Null after the job's end has freed it.
    TJobEngine* Engine() { return fEngine.get(); }

private:
    void FormCreate();
    void CaptionZuweisen();
    void FormDestroy();
    bool StartPruefungen();
    // The first refusal of the folder checks, with its reason; empty when both folders
    // may be used. Takes the audiobook folder's lock.
    std::string OrdnerFehler();
    std::string EingabeInJobOrdnerFehler() const;
    // Whether an input lies directly in the folder (also through a link).
    bool EingabeImOrdner(const std::filesystem::path& ordner) const;
    bool OrdnerLeerenMitFrage();
    bool ThreadsStarten();
    std::unique_ptr<TWorkerThread> NeuerThread(const TJobThreadErzeuger& erzeuger);
    void ThreadAusnahmeMelden(TWorkerThread& thread, bool joiner);
    void AufThreadsWarten(bool fehlerPruefen);
    void Ereignisse();
    void FehlerlisteUebernehmen();
    void TrayVerlassen();
    void AbbruchAusfuehren();
    void EncoderFristPruefen();
    TJobZaehler ZaehlerLesen() const;

    IJobFrontEnd& fFrontEnd;
    TJobState& fState;
    TJobThreadErzeugung fThreads;
    TEventQueue fQueue;
    std::unique_ptr<TJobEngine> fEngine;
    // The converters still running; the last one to end clears ConvertThreadLaeuftS.
    std::atomic<std::int32_t> fConverterLaufend{0};
    // Held from the start checks to the end: two jobs never share an audiobook folder.
    std::unique_ptr<TOrdnerSperre> fHoerbuchSperre;
    TModalResult fModalResult = TModalResult::None;
    bool fJobGelaufen = false;
    bool fZerstoert = false;
    // When the encoders were asked to stop; one that has not ended after the grace
    // period is killed, with what it started.
    std::optional<std::chrono::steady_clock::time_point> fStoppZeit;
    bool fEncoderBeendet = false;

    // The status timer and what is shown, so that only changes reach the front end.
    bool fStatusTimerAktiv = false;
    std::chrono::steady_clock::time_point fNaechsterStatus;
    std::string fText1;
    std::string fText2;
    std::string fCaption;
    int fPosition = -1;
    // The phase of the bar's position.
    int fPhase = 0;
};

} // namespace lorvane
