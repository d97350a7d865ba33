#include "engine/JobArbeitsOrdner.h"

#include "engine/BearbeitenDlgC.h"
#include "engine/Ordner.h"

namespace fs = std::filesystem;

namespace lorvane {

bool LiegtUnter(const fs::path& datei, const fs::path& ordner) {
    std::error_code ec;
    const fs::path basis = fs::weakly_canonical(ordner, ec);
    if (ec || basis.empty()) {
        return false;
    }
    for (const fs::path& name :
         {fs::absolute(datei, ec).lexically_normal(), fs::weakly_canonical(datei, ec)}) {
        const fs::path relativ = name.lexically_relative(basis);
        if (!relativ.empty() && *relativ.begin() != "..") {
            return true;
        }
    }
    return false;
}

std::string EingabeImArbeitsOrdner(const std::vector<TDateiZeile>& zeilen,
                                   const fs::path& arbeitsOrdner) {
    for (const TDateiZeile& zeile : zeilen) {
        if (LiegtUnter(zeile.Caption, arbeitsOrdner)) {
            return EingabeImOrdnerText(zeile.Caption, arbeitsOrdner);
        }
    }
    return {};
}

TJobArbeitsOrdner::TJobArbeitsOrdner(TJobState& state, bool standardOrdnerEntfernen)
    : fState(state), fStandardOrdner(state.Daten.ArbeitsOrdner),
      fStandardOrdnerEntfernen(standardOrdnerEntfernen),
      fSperre(TArbeitsOrdnerSperre::Belegen(state.Daten.ArbeitsOrdner)) {
    if (fSperre) {
        fState.Daten.ArbeitsOrdner = fSperre->Ordner();
    }
}

TJobArbeitsOrdner::~TJobArbeitsOrdner() {
    Freigeben();
}

void TJobArbeitsOrdner::Freigeben() {
    if (fFreigegeben) {
        return;
    }
    fFreigegeben = true;
    if (fSperre && !fSperre->Eigener() && fStandardOrdnerEntfernen) {
        OrdnerLeeren(fState.Daten.ArbeitsOrdner, true);
    }
    fSperre.reset();
    fState.Daten.ArbeitsOrdner = fStandardOrdner;
}

} // namespace lorvane
