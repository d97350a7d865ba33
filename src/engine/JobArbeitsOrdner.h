#pragma once
// The working folder of one job, as both front ends take it: the inputs are checked
// against the default folder before anything is locked or cleared, then the job locks
// that folder (or a unique one below it) and works there until it ends.

#include "engine/JobState.h"
#include "engine/ordner/ArbeitsOrdnerSperre.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace lorvane {

// The refusal of a job whose input lies in a folder the job clears.
std::string EingabeImOrdnerText(const std::filesystem::path& datei,
                                const std::filesystem::path& ordner);

// The working folder and the folders of other jobs below it are cleared by jobs (also
// when a lock is taken): an input there would be lost. The refusal text for the first
// such row, empty when there is none.
std::string EingabeImArbeitsOrdner(const std::vector<TDateiZeile>& zeilen,
                                   const std::filesystem::path& arbeitsOrdner);

// Holds the lock from creation to Freigeben (or destruction). While held, the state's
// ArbeitsOrdner is the locked folder; afterwards it names the default folder again, so
// that the next job of the same program starts from there.
class TJobArbeitsOrdner {
public:
    // Without a lock (no folder could be made, or the default one is not the
    // program's own) the state keeps the default folder, and the controller's start
    // check names it and the reason.
    TJobArbeitsOrdner(TJobState& state, bool standardOrdnerEntfernen);
    ~TJobArbeitsOrdner();
    TJobArbeitsOrdner(const TJobArbeitsOrdner&) = delete;
    TJobArbeitsOrdner& operator=(const TJobArbeitsOrdner&) = delete;

    bool Belegt() const { return fSperre != nullptr; }
    // A unique folder below the default one.
    bool Eigener() const { return fSperre && fSperre->Eigener(); }
    // The unique folder is removed; the default one is emptied and removed when asked
    // for at creation; the lock goes. Once only.
    void Freigeben();

private:
    TJobState& fState;
    std::filesystem::path fStandardOrdner;
    bool fStandardOrdnerEntfernen;
    std::unique_ptr<TArbeitsOrdnerSperre> fSperre;
    bool fFreigegeben = false;
};

} // namespace lorvane
