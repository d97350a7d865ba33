#include <gtest/gtest.h>

#include "engine/Kapitel.h"
#include "support/TestSupport.h"

namespace lorvane {
namespace {

// The metadata the encoder gets: times in milliseconds from the samples written, later
// chapters behind the encoder's priming of 1024 samples, the format's special characters
// escaped; and what is read back from it.
TEST(Kapitel, MetadataFromTheSamplesWrittenAndBackAgain) {
    const std::vector<TKapitel> kapitel = {
        {"Erster", 0}, {"a=b;c#d\\e", 22050 * 3}, {"Zeile\nzwei", 22050 * 5 + 11025}};
    EXPECT_EQ(KapitelMetadaten(kapitel, 22050 * 7, 22050),
              ";FFMETADATA1\n"
              "[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=3046\ntitle=Erster\n"
              "[CHAPTER]\nTIMEBASE=1/1000\nSTART=3046\nEND=5546\ntitle=a\\=b\\;c\\#d\\\\e\n"
              "[CHAPTER]\nTIMEBASE=1/1000\nSTART=5546\nEND=7046\ntitle=Zeile zwei\n");
    EXPECT_EQ(KapitelMetadaten({}, 100, 44100), ";FFMETADATA1\n");
    EXPECT_EQ(KapitelMetadaten(kapitel, 100, 0), ";FFMETADATA1\n") << "no rate, no times";

    test::TempDir ordner;
    const std::filesystem::path teil = ordner / "Anna - Reise_001.mp3";
    const std::filesystem::path datei = KapitelDateiName(teil);
    EXPECT_EQ(datei, ordner / "Anna - Reise_001.meta");
    EXPECT_EQ(KapitelZaehlen(datei), 0);
    ASSERT_TRUE(KapitelDateiSchreiben(datei, KapitelMetadaten(kapitel, 22050 * 7, 22050)));
    EXPECT_EQ(KapitelZaehlen(datei), 3);
    EXPECT_FALSE(KapitelDateiSchreiben(ordner / "fehlt" / "x.meta", "x"));
}

TEST(Kapitel, TitlesAndTheSummaryForTheUser) {
    const struct {
        std::string Tag;
        std::filesystem::path Datei;
        std::string Titel;
    } faelle[] = {
        {"Der Anfang", "/m/01 Anfang.mp3", "Der Anfang"},
        {"", "/m/01 Anfang.mp3", "01 Anfang"},
        {"  ", "/m/.mp3", ".mp3"},
        {"", "/m/Kapitel 2.MP3", "Kapitel 2"},
    };
    for (const auto& fall : faelle) {
        EXPECT_EQ(KapitelTitel(fall.Tag, fall.Datei), fall.Titel) << fall.Datei;
    }
    EXPECT_EQ(KapitelJeDateiText({}), "");
    EXPECT_EQ(KapitelJeDateiText({{"/a_001.m4b", 6}, {"/a_002.m4b", 4}}),
              "Kapitel je M4B-Datei: 6, 4");
}

} // namespace
} // namespace lorvane
