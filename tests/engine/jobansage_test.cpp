// What the screen reader hears of a job: the start, each finished part once, a cancel
// and the end, from the events and polls the progress window passes on.

#include <gtest/gtest.h>

#include "engine/JobAnsage.h"

#include <string>
#include <vector>

namespace lorvane {
namespace {

enum class TArt { Start, Stand, Abbruch, Ende, Misserfolg };

struct TSchritt {
    TArt Art;
    std::int32_t Fertig = 0;
    std::int32_t Erwartet = 0;
};

struct TFall {
    const char* Name;
    std::vector<TSchritt> Schritte;
    std::vector<std::string> Gehoert;
};

const std::string kStart = "Erstelle Hörbuch \"Meer\"";

TEST(JobAnsage, SpeaksEachEventOnceAndNeverPerPoll) {
    const std::vector<TFall> faelle = {
        {"a whole job; two parts finished between polls are one text",
         {{TArt::Start},
          {TArt::Stand, 0, 0},
          {TArt::Stand, 1, 3},
          {TArt::Stand, 1, 3},
          {TArt::Stand, 3, 3},
          {TArt::Ende, 3, 3}},
         {kStart, "Teil 1 von 3 fertig", "Teil 3 von 3 fertig", "Hörbuch \"Meer\" fertig"}},
        {"the last part, seen only at the end, comes before the end",
         {{TArt::Start}, {TArt::Stand, 1, 2}, {TArt::Ende, 2, 2}},
         {kStart, "Teil 1 von 2 fertig", "Teil 2 von 2 fertig", "Hörbuch \"Meer\" fertig"}},
        {"a cancel, once; parts finishing after it are no news",
         {{TArt::Start},
          {TArt::Stand, 1, 4},
          {TArt::Abbruch},
          {TArt::Abbruch},
          {TArt::Stand, 2, 4},
          {TArt::Misserfolg, 2, 4}},
         {kStart, "Teil 1 von 4 fertig", "Erstellung wird abgebrochen", "Erstellung abgebrochen"}},
        {"an error ends the job",
         {{TArt::Start}, {TArt::Misserfolg, 0, 0}},
         {kStart, "Erstellung wegen eines Fehlers beendet"}},
        {"a job stopped by its start checks says nothing",
         {{TArt::Abbruch}, {TArt::Stand, 1, 1}, {TArt::Misserfolg, 0, 0}},
         {}},
        {"the count never reads below what is done",
         {{TArt::Start}, {TArt::Stand, 2, 1}},
         {kStart, "Teil 2 von 2 fertig"}},
        {"start and end are said once",
         {{TArt::Start},
          {TArt::Start},
          {TArt::Ende, 0, 1},
          {TArt::Ende, 0, 1},
          {TArt::Stand, 1, 1}},
         {kStart, "Hörbuch \"Meer\" fertig"}},
    };
    for (const TFall& fall : faelle) {
        std::vector<std::string> gehoert;
        TJobAnsage ansage("Meer", [&gehoert](const std::string& text) { gehoert.push_back(text); });
        for (const TSchritt& schritt : fall.Schritte) {
            switch (schritt.Art) {
            case TArt::Start:
                ansage.Gestartet();
                break;
            case TArt::Stand:
                ansage.Stand(schritt.Fertig, schritt.Erwartet);
                break;
            case TArt::Abbruch:
                ansage.Abbruch();
                break;
            case TArt::Ende:
            case TArt::Misserfolg:
                ansage.Ende(schritt.Fertig, schritt.Erwartet, schritt.Art == TArt::Ende);
                break;
            }
        }
        EXPECT_EQ(gehoert, fall.Gehoert) << fall.Name;
    }
}

} // namespace
} // namespace lorvane
