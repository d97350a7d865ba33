// The console's column arithmetic: how wide a text is on a terminal and where a line
// is cut so that no character is split.

#include "cli/BuildTestHilfen.h"
#include "cli/Spaltenbreite.h"

namespace lorvane {
namespace {

TEST(Spaltenbreite, WideCharactersTakeTwoColumnsAndMarksNone) {
    EXPECT_EQ(TextSpalten("Kapitel 1"), 9);
    EXPECT_EQ(TextSpalten("Hörbuch \"Meer\""), 14);
    EXPECT_EQ(TextSpalten("漢字かな"), 8);
    EXPECT_EQ(TextSpalten("한국어"), 6);
    EXPECT_EQ(TextSpalten("ＡＢ"), 4);
    EXPECT_EQ(TextSpalten("\U0001F3A7"), 2);
    EXPECT_EQ(TextSpalten("e\u0301"), 1);
    // Broken sequences: one replacement character per byte.
    EXPECT_EQ(TextSpalten("a\xff"), 2);
    EXPECT_EQ(TextSpalten("\xe6\xbc"), 2);
}

TEST(Spaltenbreite, LinesAreCutByColumnsNeverInsideACharacter) {
    EXPECT_EQ(AufSpaltenGekuerzt("50% - 漢字かな", 10), "50% - 漢字");
    EXPECT_EQ(AufSpaltenGekuerzt("50% - 漢字かな", 11), "50% - 漢字");
    EXPECT_EQ(AufSpaltenGekuerzt("50% - 漢字かな", 12), "50% - 漢字か");
    EXPECT_EQ(AufSpaltenGekuerzt("ae\u0301b", 2), "ae\u0301");
    EXPECT_EQ(AufSpaltenGekuerzt("Hörbuch", 3), "Hör");
    EXPECT_EQ(AufSpaltenGekuerzt("kurz", 79), "kurz");
    EXPECT_EQ(AufSpaltenGekuerzt("漢", 1), "");
}

} // namespace
} // namespace lorvane
