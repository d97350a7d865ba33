#include "engine/JobLauf.h"

#include <utility>

namespace lorvane {

TJobLauf::TJobLauf(IJobFrontEnd& frontEnd, TJobState& state, std::vector<TDateiZeile> zeilen)
    : fFrontEnd(frontEnd), fState(state), fZeilen(std::move(zeilen)),
      fEingabeFehler(EingabeImArbeitsOrdner(fZeilen, state.Daten.ArbeitsOrdner)) {}

TJobLauf::~TJobLauf() {
    Freigeben();
}

void TJobLauf::Vorbereiten(bool standardOrdnerEntfernen, TJobThreadErzeugung threads) {
    if (!fEingabeFehler.empty() || fArbeitsOrdner) {
        return;
    }
    fArbeitsOrdner = std::make_unique<TJobArbeitsOrdner>(fState, standardOrdnerEntfernen);
    fDlg = std::make_unique<TBearbeitenDlg>(fFrontEnd, fState, fZeilen, std::move(threads));
    // The controller keeps its own list of the files.
    fZeilen = {};
}

void TJobLauf::Zeigen() {
    if (fDlg) {
        fDlg->FormShow();
    }
}

TModalResult TJobLauf::Starten() {
    if (!fEingabeFehler.empty()) {
        fFrontEnd.FehlerZeigen(fEingabeFehler);
        return TModalResult::Cancel;
    }
    if (!fDlg || fState.Convert.AbbruchS) {
        return TModalResult::Cancel;
    }
    return fDlg->Timer1StartTimer();
}

void TJobLauf::Freigeben() {
    fDlg.reset();
    fArbeitsOrdner.reset();
}

} // namespace lorvane
