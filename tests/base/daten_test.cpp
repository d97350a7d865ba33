#include "base/DatenC.h"

#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace lorvane {
namespace {

TEST(DauerText, PadsEveryPartToTwoDigitsButNeverCutsTheHours) {
    EXPECT_EQ(DauerText(0), "00:00:00");
    EXPECT_EQ(DauerText(205), "00:03:25");
    EXPECT_EQ(DauerText(3600), "01:00:00");
    EXPECT_EQ(DauerText(100 * 3600 + 4 * 60 + 5), "100:04:05");
    EXPECT_EQ(DauerText(INT32_MAX), "596523:14:07");
}

TEST(ZahlMitPunkten, GroupsOfThreeFromTheRight) {
    EXPECT_EQ(ZahlMitPunkten(0), "0");
    EXPECT_EQ(ZahlMitPunkten(999), "999");
    EXPECT_EQ(ZahlMitPunkten(1000), "1.000");
    EXPECT_EQ(ZahlMitPunkten(1234), "1.234");
    EXPECT_EQ(ZahlMitPunkten(1234567), "1.234.567");
    EXPECT_EQ(ZahlMitPunkten(100000), "100.000");
}

TEST(ZahlMitPunkten, KeepsTheMinusInFrontAlsoForTheSmallestValues) {
    EXPECT_EQ(ZahlMitPunkten(-1), "-1");
    EXPECT_EQ(ZahlMitPunkten(-999), "-999");
    EXPECT_EQ(ZahlMitPunkten(-1000), "-1.000");
    EXPECT_EQ(ZahlMitPunkten(-1234567), "-1.234.567");
    EXPECT_EQ(ZahlMitPunkten(INT_MIN), "-2.147.483.648");
    EXPECT_EQ(ZahlMitPunkten(INT64_MIN), "-9.223.372.036.854.775.808");
    EXPECT_EQ(ZahlMitPunkten(INT64_MAX), "9.223.372.036.854.775.807");
}

TEST(GanzzahlLesen, AcceptsOnlyASignedDecimalThatFits) {
    EXPECT_EQ(GanzzahlLesen("42"), 42);
    EXPECT_EQ(GanzzahlLesen("-7"), -7);
    EXPECT_EQ(GanzzahlLesen("+7"), 7);
    EXPECT_EQ(GanzzahlLesen("007"), 7);
    EXPECT_EQ(GanzzahlLesen("2147483647"), INT32_MAX);
    EXPECT_EQ(GanzzahlLesen("-2147483648"), INT32_MIN);
    for (const char* falsch :
         {"", "+", "-", "+-1", "2147483648", "1.5", " 1", "1 ", "x", "0x10", "12a"}) {
        EXPECT_FALSE(GanzzahlLesen(falsch).has_value()) << falsch;
    }
}

TEST(ZeitInSekunden, HoursMinutesSecondsAndPlainSeconds) {
    EXPECT_EQ(ZeitInSekunden("1:02:03"), 3723);
    EXPECT_EQ(ZeitInSekunden("00:05:12"), 312);
    EXPECT_EQ(ZeitInSekunden("2:05"), 125);
    EXPECT_EQ(ZeitInSekunden("1:05"), 65);
    EXPECT_EQ(ZeitInSekunden("45"), 45);
    EXPECT_EQ(ZeitInSekunden("75"), 75);
    EXPECT_EQ(ZeitInSekunden("100:04:05"), 360245);
}

TEST(ZeitInSekunden, APartThatIsNoIntegerCountsZero) {
    EXPECT_EQ(ZeitInSekunden("x:10"), 10);
    EXPECT_EQ(ZeitInSekunden("1:x:05"), 3605);
    EXPECT_EQ(ZeitInSekunden("N/A"), 0);
    EXPECT_EQ(ZeitInSekunden(""), 0);
    EXPECT_EQ(ZeitInSekunden(":"), 0);
    EXPECT_EQ(ZeitInSekunden("::"), 0);
    // Everything after the second colon is the seconds part.
    EXPECT_EQ(ZeitInSekunden("1:2:3:4"), 3720);
    EXPECT_EQ(ZeitInSekunden("00:01:05.12"), 60);
}

TEST(ZeitInSekunden, HugeHoursStayInTheThirtyTwoBitRange) {
    EXPECT_EQ(ZeitInSekunden("2147483647:00:00"), INT32_MAX);
    EXPECT_EQ(ZeitInSekunden("-2147483648:00:00"), INT32_MIN);
    EXPECT_EQ(ZeitInSekunden("2147483647:59"), INT32_MAX);
}

TEST(WortAusText, SkipsLeadingAndRepeatedSeparators) {
    const std::string zeile = "  Duration: 00:05:12.34, start: 0.025056";
    EXPECT_EQ(WortAusText(zeile, 1, " "), "Duration:");
    EXPECT_EQ(WortAusText(zeile, 2, " "), "00:05:12.34,");
    EXPECT_EQ(WortAusText(zeile, 2, " ."), "00:05:12");
    EXPECT_EQ(WortAusText(zeile, 3, " ."), "34,");
    EXPECT_EQ(WortAusText(zeile, 6, " ."), "025056");
    EXPECT_EQ(WortAusText(zeile, 7, " ."), "");
    EXPECT_EQ(WortAusText("time=00:01:05.12 bitrate=", 2, " .="), "00:01:05");
    EXPECT_EQ(WortAusText("", 1, " "), "");
    EXPECT_EQ(WortAusText("   ", 1, " "), "");
    EXPECT_EQ(WortAusText("a", 0, " "), "");
}

TEST(UngueltigeZeichen, HoldsTheControlsAndTheNineFileNameCharacters) {
    EXPECT_EQ(UngueltigeZeichen.size(), 41u);
    for (char32_t c = 0; c < 0x20; ++c) {
        EXPECT_TRUE(IstUngueltigesZeichen(c)) << static_cast<int>(c);
    }
    for (char32_t c : U"\"*/:<>?\\|") {
        if (c != 0) {
            EXPECT_TRUE(IstUngueltigesZeichen(c)) << static_cast<int>(c);
        }
    }
    for (char32_t c : U" !.-_'ÄöüßÉ\x7f\x80\x9f\xff€") {
        if (c != 0) {
            EXPECT_FALSE(IstUngueltigesZeichen(c)) << static_cast<int>(c);
        }
    }
}

TEST(NameBereinigen, DropsAllFortyOneCharactersAndKeepsTheRestInOrder) {
    std::string alle;
    for (char c = 0; c < 0x20; ++c) {
        alle.push_back(c);
    }
    alle += "\"*/:<>?\\|";
    ASSERT_EQ(alle.size(), 41u);
    EXPECT_EQ(NameBereinigen(alle, true), "");
    EXPECT_EQ(NameBereinigen(alle, false), "_");
    EXPECT_EQ(NameBereinigen("A" + alle + "b", false), "Ab");
    EXPECT_EQ(NameBereinigen("AC/DC: Live?", false), "ACDC Live");
    EXPECT_EQ(NameBereinigen("Tab\there", false), "Tabhere");
}

TEST(NameBereinigen, KeepsUmlautsAndOtherCharactersWhole) {
    EXPECT_EQ(NameBereinigen("Märchen für Kinder – Teil 1", false), "Märchen für Kinder – Teil 1");
    EXPECT_EQ(NameBereinigen("Grüße/Straße", false), "GrüßeStraße");
    EXPECT_EQ(NameBereinigen("日本語:テスト", false), "日本語テスト");
    EXPECT_EQ(NameBereinigen(" Rand ", false), " Rand ");
}

TEST(NameBereinigen, EmptyResultBecomesUnderscoreUnlessAllowed) {
    EXPECT_EQ(NameBereinigen("", false), "_");
    EXPECT_EQ(NameBereinigen("", true), "");
    EXPECT_EQ(NameBereinigen("***", false), "_");
    EXPECT_EQ(NameBereinigen("***", true), "");
}

TEST(NameBereinigen, OnlyDotsCountAsEmptySoNoNameLeavesTheFolder) {
    for (const char* punkte : {".", "..", "...", "./.", "..\\", "/../", "\x01.\x02"}) {
        EXPECT_EQ(NameBereinigen(punkte, false), "_") << punkte;
        EXPECT_EQ(NameBereinigen(punkte, true), "") << punkte;
    }
    // Anything besides dots makes a real name.
    EXPECT_EQ(NameBereinigen(". :.", false), ". .");
    EXPECT_EQ(NameBereinigen("..a", false), "..a");
    EXPECT_EQ(NameBereinigen("a..", false), "a..");
    EXPECT_EQ(NameBereinigen("../etc", false), "..etc");
}

TEST(MetaTextBereinigen, TrimsCleansAndFallsBackToUnderscore) {
    EXPECT_EQ(MetaTextBereinigen("  Anna Berg \t"), "Anna Berg");
    EXPECT_EQ(MetaTextBereinigen("Die Reise: Teil 1"), "Die Reise Teil 1");
    EXPECT_EQ(MetaTextBereinigen("   "), "_");
    EXPECT_EQ(MetaTextBereinigen(""), "_");
    EXPECT_EQ(MetaTextBereinigen(" ? "), "_");
    // Cleaning can uncover blanks at the ends; they go as well.
    EXPECT_EQ(MetaTextBereinigen("* Titel *"), "Titel");
    EXPECT_EQ(MetaTextBereinigen(" .. "), "_");
    EXPECT_EQ(MetaTextBereinigen("| . |"), "_");
    EXPECT_EQ(MetaTextBereinigen(" Öl "), "Öl");
}

} // namespace
} // namespace lorvane
