#pragma once
// One run of the job, as both front ends drive it. The inputs are checked against the
// default working folder before anything is locked or cleared (taking the lock clears
// the folders of ended jobs below it); then the job takes its working folder and the
// controller runs the job there; at the end the controller goes first (it may still
// wait for threads and clears the working folder), then the lock.

#include "engine/BearbeitenDlgC.h"
#include "engine/JobArbeitsOrdner.h"

#include <memory>
#include <string>
#include <vector>

namespace lorvane {

class TJobLauf {
public:
    // Checks the inputs; nothing is taken yet.
    TJobLauf(IJobFrontEnd& frontEnd, TJobState& state, std::vector<TDateiZeile> zeilen);
    ~TJobLauf();
    TJobLauf(const TJobLauf&) = delete;
    TJobLauf& operator=(const TJobLauf&) = delete;

    // Why the job is refused (an input lies in the working folder); empty when it may
    // run.
    const std::string& EingabeFehler() const { return fEingabeFehler; }
    // Takes the working folder and builds the controller, unless the job is refused.
    // standardOrdnerEntfernen: the default folder is emptied and removed at the end.
    void Vorbereiten(bool standardOrdnerEntfernen,
                     TJobThreadErzeugung threads = StandardJobThreads());
    // The controller, for the front end's buttons and cancel requests; null when the
    // job is refused or released.
    TBearbeitenDlg* Controller() const { return fDlg.get(); }

    // The front end shows its window: the controller's first status.
    void Zeigen();
    // Runs the job to its end. A refused job shows its reason as an error message; a
    // cancel confirmed before the start starts nothing. OK exactly when the book was
    // made.
    TModalResult Starten();
    // The controller, then the lock. Once; also at destruction.
    void Freigeben();

private:
    IJobFrontEnd& fFrontEnd;
    TJobState& fState;
    std::vector<TDateiZeile> fZeilen;
    std::string fEingabeFehler;
    // Declared before the controller: the lock outlives it.
    std::unique_ptr<TJobArbeitsOrdner> fArbeitsOrdner;
    std::unique_ptr<TBearbeitenDlg> fDlg;
};

} // namespace lorvane
