// One job run as both front ends drive it: what is taken when, what Starten does in
// each case, and that the end gives the working folder back.

#include "engine/BearbeitenDlgTestHilfen.h"
#include "engine/JobLauf.h"
#include "engine/ordner/ArbeitsOrdnerSperre.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace lorvane {
namespace {

using JobLauf = BearbeitenDlg;

TEST_F(JobLauf, EachCaseTakesAndStartsOnlyWhatItMay) {
    const struct {
        const char* fall;
        bool eingabeImArbeitsOrdner;
        bool abbruchVorDemStart;
        bool standardOrdnerEntfernen;
        TModalResult ergebnis;
        int threads;
    } faelle[] = {
        {"a job that runs and keeps the default folder", false, false, false, TModalResult::OK, 2},
        {"a job that runs and removes the default folder", false, false, true, TModalResult::OK, 2},
        {"a cancel confirmed before the start", false, true, true, TModalResult::Cancel, 0},
        {"an input in the working folder", true, false, true, TModalResult::Cancel, 0},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.fall);
        const fs::path standard = MitTrenner(dir / fall.fall);
        state.Daten.ArbeitsOrdner = standard;
        fs::create_directories(standard);
        erzeugt = 0;
        frontEnd.Log.clear();
        const fs::path eingabe = fall.eingabeImArbeitsOrdner ? standard / "1.mp3" : "/x/1.mp3";
        TJobLauf lauf(frontEnd, state, {{eingabe.string(), "00:01:00"}});
        EXPECT_EQ(lauf.EingabeFehler().empty(), !fall.eingabeImArbeitsOrdner);

        lauf.Vorbereiten(fall.standardOrdnerEntfernen, threads);
        // A refused job takes nothing: no lock, no controller.
        EXPECT_EQ(ArbeitsOrdnerGesperrt(standard), !fall.eingabeImArbeitsOrdner);
        EXPECT_EQ(lauf.Controller() != nullptr, !fall.eingabeImArbeitsOrdner);
        lauf.Zeigen();
        if (fall.abbruchVorDemStart) {
            state.Convert.AbbruchS = true;
        }
        EXPECT_EQ(lauf.Starten(), fall.ergebnis);
        EXPECT_EQ(erzeugt, fall.threads);
        if (fall.eingabeImArbeitsOrdner) {
            EXPECT_EQ(frontEnd.Log, std::vector<std::string>{
                                        "Fehler: " + EingabeImOrdnerText(eingabe, standard)});
        }

        lauf.Freigeben();
        EXPECT_EQ(lauf.Controller(), nullptr);
        EXPECT_FALSE(ArbeitsOrdnerGesperrt(standard));
        EXPECT_EQ(state.Daten.ArbeitsOrdner, standard);
        EXPECT_EQ(fs::exists(standard),
                  fall.eingabeImArbeitsOrdner || !fall.standardOrdnerEntfernen);
        state.Convert.AbbruchS = false;
    }
}

} // namespace
} // namespace lorvane
