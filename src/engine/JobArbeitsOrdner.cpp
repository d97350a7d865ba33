#include "engine/JobArbeitsOrdner.h"

#include "engine/ordner/Ordner.h"

namespace fs = std::filesystem;

namespace lorvane {

std::string EingabeImOrdnerText(const fs::path& datei, const fs::path& ordner) {
    return "Die Datei \"" + datei.string() + "\" liegt im Ordner \"" + ordner.string() +
           "\"!\r\nDie Konvertierung wird abgebrochen!";
}

std::string EingabeImArbeitsOrdner(const std::vector<TDateiZeile>& zeilen,
                                   const fs::path& arbeitsOrdner) {
    for (const TDateiZeile& zeile : zeilen) {
        if (LiegtIn(zeile.Caption, arbeitsOrdner, TLage::DarinOderDarunter)) {
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
