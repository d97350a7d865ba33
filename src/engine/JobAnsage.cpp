#include "engine/JobAnsage.h"

#include <algorithm>

namespace lorvane {

TJobAnsage::TJobAnsage(std::string album, std::function<void(const std::string&)> sprechen)
    : fAlbum(std::move(album)), fSprechen(std::move(sprechen)) {}

void TJobAnsage::Gestartet() {
    if (fGestartet) {
        return;
    }
    fGestartet = true;
    fSprechen("Erstelle Hörbuch \"" + fAlbum + "\"");
}

void TJobAnsage::Stand(std::int32_t fertigeTeile, std::int32_t teileErwartet) {
    // After a cancel the parts still finishing are no news.
    if (!fGestartet || fAbgebrochen || fBeendet || fertigeTeile <= fGenannteTeile) {
        return;
    }
    fGenannteTeile = fertigeTeile;
    // The expected count is an estimate; it never reads below what is done.
    const std::int32_t gesamt = std::max(teileErwartet, fertigeTeile);
    fSprechen("Teil " + std::to_string(fertigeTeile) + " von " + std::to_string(gesamt) +
              " fertig");
}

void TJobAnsage::Abbruch() {
    if (!fGestartet || fAbgebrochen || fBeendet) {
        return;
    }
    fAbgebrochen = true;
    fSprechen("Erstellung wird abgebrochen");
}

void TJobAnsage::Ende(std::int32_t fertigeTeile, std::int32_t teileErwartet, bool erfolg) {
    // A job stopped by its start checks never started; its message box said why.
    if (!fGestartet || fBeendet) {
        return;
    }
    Stand(fertigeTeile, teileErwartet);
    fBeendet = true;
    if (erfolg) {
        fSprechen("Hörbuch \"" + fAlbum + "\" fertig");
    } else if (fAbgebrochen) {
        fSprechen("Erstellung abgebrochen");
    } else {
        fSprechen("Erstellung wegen eines Fehlers beendet");
    }
}

} // namespace lorvane
