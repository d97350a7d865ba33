#include "engine/JobStatus.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

TEST(Scaled, RoundsHalvesToEven) {
    EXPECT_EQ(Scaled(50, 1, 3), 17);     // 16.67
    EXPECT_EQ(Scaled(17, 50, 100), 8);   // 8.5
    EXPECT_EQ(Scaled(17, 150, 100), 26); // 25.5
    EXPECT_EQ(Scaled(100, 1, 8), 12);    // 12.5
    EXPECT_EQ(Scaled(100, 3, 8), 38);    // 37.5
    EXPECT_EQ(Scaled(100, 2, 3), 67);
}

TEST(Scaled, IsZeroForValuesThatAreNotPositive) {
    EXPECT_EQ(Scaled(0, 5, 10), 0);
    EXPECT_EQ(Scaled(50, 0, 10), 0);
    EXPECT_EQ(Scaled(50, -1, 10), 0);
    EXPECT_EQ(Scaled(50, 5, 0), 0);
    EXPECT_EQ(Scaled(50, 5, -10), 0);
    EXPECT_EQ(Scaled(-50, 5, 10), 0);
}

TEST(Scaled, HoldsByteCountsBeyond32Bits) {
    EXPECT_EQ(Scaled(50, 3'000'000'000'000LL, 6'000'000'000'000LL), 25);
    EXPECT_EQ(Scaled(50, 4'999'999'999LL, 5'000'000'000LL), 50);
    EXPECT_EQ(Scaled(50, 4'900'000'000LL, 5'000'000'000LL), 49);
}

TEST(StatusTexte, TemplatesSizeTheLinesWithTheFileCount) {
    EXPECT_EQ(Status1Vorlage(1234), "Bearbeite MP3-Datei: 1.234/1.234M");
    EXPECT_EQ(Status2Vorlage(7), "Erstelle M4B-Datei: 7/7M");
}

TEST(StatusTexte, CountFromOneWithThousandsDots) {
    EXPECT_EQ(VorverarbeitungText(1, 3), "Vorverarbeitung: 2/3");
    EXPECT_EQ(BearbeiteText(1199, 1500), "Bearbeite MP3-Datei: 1.200/1.500");
    EXPECT_EQ(ErstelleText(-1, 0), "Erstelle M4B-Datei: 0/0");
    EXPECT_EQ(BearbeiteOkText(), "Bearbeite MP3-Datei: OK.");
    EXPECT_EQ(ErstelleOkText(), "Erstelle M4B-Datei: OK.");
}

TEST(StatusTexte, CaptionAndTrayHint) {
    EXPECT_EQ(FortschrittCaption(25, "Reise"), "25% - Erstelle Hörbuch \"Reise\"");
    EXPECT_EQ(FortschrittTrayHint(25, 1), "Lorvane V1.13 - 25% bearbeitet");
    EXPECT_EQ(FortschrittTrayHint(25, 2), "Lorvane V1.13 - 25% bearbeitet");
    EXPECT_EQ(FortschrittTrayHint(100, 3), "Lorvane V1.13 - 100% erstellt");
}

TJobZaehler Vorverarbeitung(std::int64_t anzahl, std::int64_t vorIndex) {
    TJobZaehler z;
    z.Mp3ThreadLaeuft = true;
    z.ConvertThreadLaeuft = true;
    z.AnzahlDateien = anzahl;
    z.VorIndex = vorIndex;
    z.VorFertig = vorIndex;
    return z;
}

TEST(StatusBerechnen, SecondOfThreeFilesReEncodedHalfway) {
    TJobZaehler z = Vorverarbeitung(3, 1);
    z.Mp3Dauer = 100;
    z.Mp3Zeit = 50;
    const TJobStatusAnzeige anzeige = StatusBerechnen(z);
    EXPECT_EQ(anzeige.Text1, "Vorverarbeitung: 2/3");
    EXPECT_EQ(anzeige.Text2, "Erstelle M4B-Datei: 0/0");
    ASSERT_TRUE(anzeige.Fortschritt.has_value());
    EXPECT_EQ(anzeige.Fortschritt->Phase, 1);
    EXPECT_EQ(anzeige.Fortschritt->Wert, 17);
    const std::int64_t wert = FortschrittWert(*anzeige.Fortschritt, z);
    EXPECT_EQ(wert, 25);
    EXPECT_EQ(FortschrittCaption(wert, "Reise").rfind("25% - Erstelle Hörbuch", 0), 0U);
}

TEST(StatusBerechnen, ThePositionCountsOnlyWhenDurationAndPositionAreKnown) {
    TJobZaehler z = Vorverarbeitung(3, 1);
    z.Mp3Dauer = 100;
    z.Mp3Zeit = -1;
    EXPECT_EQ(FortschrittWert({17, 1}, z), 17);
    z.Mp3Dauer = 0;
    z.Mp3Zeit = 50;
    EXPECT_EQ(FortschrittWert({17, 1}, z), 17);
    z.Mp3Dauer = 100;
    z.Mp3Zeit = 100;
    EXPECT_EQ(FortschrittWert({17, 1}, z), 34);
}

// Re-encoders ahead of the joiner: the files done and each running re-encoding's share
// of a file; the line names the file the joiner prepares; the phase never passes 50.
TEST(StatusBerechnen, ReencodersAheadAddTheirSharesUpToHalfTheBar) {
    const struct {
        std::int64_t vorIndex, fertig;
        std::vector<std::pair<std::int64_t, std::int64_t>> laeufe;
        std::int64_t mp3Zeit, wert;
    } faelle[] = {
        // The joiner waits for file 1; files 2 and 3 re-encode, half and a quarter done:
        // 0 + 6 + 3 (a file's share 12.5 rounds to 12).
        {0, 0, {{50, 100}, {25, 100}}, -1, 9},
        // File 3 done ahead of the joiner, file 1 half done: 12 + 6.
        {0, 1, {{50, 100}, {-1, -1}}, -1, 18},
        // All done, the silence detection's run at its end adds nothing past the half.
        {3, 4, {{-1, -1}}, 90, 50},
    };
    for (const auto& fall : faelle) {
        TJobZaehler z = Vorverarbeitung(4, fall.vorIndex);
        z.VorFertig = fall.fertig;
        z.UmkodierLaeufe = fall.laeufe;
        z.Mp3Dauer = 100;
        z.Mp3Zeit = fall.mp3Zeit;
        const TJobStatusAnzeige anzeige = StatusBerechnen(z);
        EXPECT_EQ(anzeige.Text1, "Vorverarbeitung: " + std::to_string(fall.vorIndex + 1) + "/4");
        ASSERT_TRUE(anzeige.Fortschritt.has_value());
        EXPECT_EQ(FortschrittWert(*anzeige.Fortschritt, z), fall.wert) << fall.fertig;
    }
}

TEST(StatusBerechnen, FirstFileOfThePreprocessing) {
    const TJobStatusAnzeige anzeige = StatusBerechnen(Vorverarbeitung(3, 0));
    EXPECT_EQ(anzeige.Text1, "Vorverarbeitung: 1/3");
    ASSERT_TRUE(anzeige.Fortschritt.has_value());
    EXPECT_EQ(anzeige.Fortschritt->Wert, 0);
}

TEST(StatusBerechnen, JoiningRunsFromFiftyToHundred) {
    TJobZaehler z = Vorverarbeitung(1500, 1499);
    z.KopierIndex = 1199;
    z.KopiertBytes = 300;
    z.GesamtBytes = 1000;
    // The converter's progress does not move the bar while the joiner runs.
    z.AnzahlTeile = 2;
    z.ConvertIndex = 0;
    z.ConvertDauer = 100;
    z.ConvertZeit = 90;
    const TJobStatusAnzeige anzeige = StatusBerechnen(z);
    EXPECT_EQ(anzeige.Text1, "Bearbeite MP3-Datei: 1.200/1.500");
    EXPECT_EQ(anzeige.Text2, "Erstelle M4B-Datei: 1/2");
    ASSERT_TRUE(anzeige.Fortschritt.has_value());
    EXPECT_EQ(anzeige.Fortschritt->Phase, 2);
    EXPECT_EQ(anzeige.Fortschritt->Wert, 15);
    EXPECT_EQ(FortschrittWert(*anzeige.Fortschritt, z), 65);
}

TEST(StatusBerechnen, AfterTheJoinerTheConverterMovesTheBar) {
    TJobZaehler z;
    z.ConvertThreadLaeuft = true;
    z.AnzahlDateien = 6;
    z.KopierIndex = 5;
    z.AnzahlTeile = 4;
    z.ConvertIndex = 2;
    z.ConvertDauer = 200;
    z.ConvertZeit = 100;
    const TJobStatusAnzeige anzeige = StatusBerechnen(z);
    EXPECT_EQ(anzeige.Text1, "Bearbeite MP3-Datei: OK.");
    EXPECT_EQ(anzeige.Text2, "Erstelle M4B-Datei: 3/4");
    ASSERT_TRUE(anzeige.Fortschritt.has_value());
    EXPECT_EQ(anzeige.Fortschritt->Phase, 3);
    EXPECT_EQ(anzeige.Fortschritt->Wert, 50);
    // Share 25 of a part, half of it converted: 12.5 rounds to 12.
    EXPECT_EQ(FortschrittWert(*anzeige.Fortschritt, z), 62);
}

// Two converters: the parts taken and no longer running are done, and each running part
// adds its share. The line counts the parts started.
TEST(StatusBerechnen, SeveralConvertersAddTheSharesOfTheirRunningParts) {
    const struct {
        std::int64_t index, laufend;
        std::vector<std::pair<std::int64_t, std::int64_t>> weitere;
        std::int64_t basis, wert;
    } faelle[] = {
        // Parts 1 and 2 running (first half, second a quarter done): 0 + 12 + 6.
        {1, 2, {{50, 200}}, 0, 18},
        // Part 1 done, 2 half and 3 not yet reported: 25 + 12.
        {2, 2, {{0, -1}}, 25, 37},
        // Between runs: parts 1 to 3 done, nothing running.
        {2, 0, {{-1, -1}}, 75, 75},
    };
    for (const auto& fall : faelle) {
        TJobZaehler z;
        z.ConvertThreadLaeuft = true;
        z.AnzahlTeile = 4;
        z.ConvertIndex = fall.index;
        z.ConvertDauer = 200;
        z.ConvertZeit = fall.laufend > 0 ? 100 : -1;
        z.LaufendeTeile = fall.laufend;
        z.WeitereLaeufe = fall.weitere;
        const TJobStatusAnzeige anzeige = StatusBerechnen(z);
        EXPECT_EQ(anzeige.Text2, "Erstelle M4B-Datei: " + std::to_string(fall.index + 1) + "/4");
        ASSERT_TRUE(anzeige.Fortschritt.has_value());
        EXPECT_EQ(anzeige.Fortschritt->Wert, fall.basis) << fall.index;
        EXPECT_EQ(FortschrittWert(*anzeige.Fortschritt, z), fall.wert) << fall.index;
    }
}

TEST(StatusBerechnen, NothingRunningShowsOkAndLeavesTheBar) {
    TJobZaehler z;
    z.AnzahlDateien = 3;
    const TJobStatusAnzeige anzeige = StatusBerechnen(z);
    EXPECT_EQ(anzeige.Text1, "Bearbeite MP3-Datei: OK.");
    EXPECT_EQ(anzeige.Text2, "Erstelle M4B-Datei: OK.");
    EXPECT_FALSE(anzeige.Fortschritt.has_value());
}

TEST(FortschrittWert, IsAtMostHundred) {
    TJobZaehler z;
    z.AnzahlTeile = 1;
    z.ConvertDauer = 10;
    z.ConvertZeit = 10;
    EXPECT_EQ(FortschrittWert({100, 3}, z), 100);
    EXPECT_EQ(FortschrittWert({60, 2}, z), 100);
}

TEST(FortschrittWert, EmptyListsAddNoShare) {
    TJobZaehler z;
    z.Mp3Dauer = 10;
    z.Mp3Zeit = 5;
    EXPECT_EQ(FortschrittWert({0, 1}, z), 0);
    z.ConvertDauer = 10;
    z.ConvertZeit = 5;
    EXPECT_EQ(FortschrittWert({0, 3}, z), 0);
}

} // namespace
} // namespace lorvane
