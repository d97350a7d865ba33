#include "platform/sprache/FokusAnsage.h"

namespace lorvane {

void TFokusAnsageRegel::FokusErhalten(const void* feld, TFokusWeg weg) {
    switch (weg) {
    case TFokusWeg::Innerhalb:
        fWartend = feld;
        break;
    case TFokusWeg::Fenster:
        // Only the first activation brings the window's focus anew: a new dialog's
        // first field.
        if (!fVerlassen) {
            fWartend = feld;
        }
        break;
    case TFokusWeg::Menue:
        break;
    }
}

void TFokusAnsageRegel::FensterVerlassen() {
    if (fBetreten) {
        fVerlassen = true;
    }
    fWartend = nullptr;
}

const void* TFokusAnsageRegel::Faellig() {
    const void* feld = fWartend;
    fWartend = nullptr;
    return feld;
}

void TFokusAnsageRegel::Genannt() {
    fBetreten = true;
}

} // namespace lorvane
