#include <gtest/gtest.h>

#include "engine/Kapitel.h"
#include "support/TestSupport.h"

namespace lorvane {
namespace {

// The metadata the encoder gets: times in milliseconds from the samples written, each
// chapter where its file's audio begins once the part's silent start is dropped (the
// decoder's 529 samples, and the first file's recorded delay when the part begins with
// it), the format's special characters escaped; and what is read back from it.
TEST(Kapitel, MetadataFromTheSamplesWrittenAndBackAgain) {
    const std::vector<TKapitel> kapitel = {{"Erster", 0, 576, true},
                                           {"a=b;c#d\\e", 22050 * 3, 576, true},
                                           {"Zeile\nzwei", 22050 * 5 + 11025, 576, false}};
    EXPECT_EQ(TeilVorlauf(kapitel), 1105);
    EXPECT_EQ(KapitelMetadaten(kapitel, 22050 * 7, 22050),
              ";FFMETADATA1\n#vorlauf=1105\n"
              "[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=3000\ntitle=Erster\n"
              "[CHAPTER]\nTIMEBASE=1/1000\nSTART=3000\nEND=5500\ntitle=a\\=b\\;c\\#d\\\\e\n"
              "[CHAPTER]\nTIMEBASE=1/1000\nSTART=5500\nEND=6974\ntitle=Zeile zwei\n");
    // A part that begins inside a file drops only the decoder's delay; a first file
    // without a recorded delay keeps its own.
    const std::vector<TKapitel> mitte = {{"Mitte", 0, 0, true}, {"Zwei", 22050, 576, true}};
    EXPECT_EQ(TeilVorlauf(mitte), 529);
    EXPECT_EQ(KapitelMetadaten(mitte, 44100, 22050),
              ";FFMETADATA1\n#vorlauf=529\n"
              "[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=1026\ntitle=Mitte\n"
              "[CHAPTER]\nTIMEBASE=1/1000\nSTART=1026\nEND=2000\ntitle=Zwei\n");
    EXPECT_EQ(TeilVorlauf({{"Alt", 0, 576, false}}), 529);
    EXPECT_EQ(KapitelMetadaten(kapitel, 100, 0), ";FFMETADATA1\n") << "no rate, no times";

    test::TempDir ordner;
    const std::filesystem::path teil = ordner / "Anna - Reise_001.mp3";
    const std::filesystem::path datei = KapitelDateiName(teil);
    EXPECT_EQ(datei, ordner / "Anna - Reise_001.meta");
    EXPECT_EQ(KapitelZaehlen(datei), 0);
    EXPECT_EQ(KapitelVorlauf(datei), 0);
    ASSERT_TRUE(KapitelDateiSchreiben(datei, KapitelMetadaten(kapitel, 22050 * 7, 22050)));
    EXPECT_EQ(KapitelZaehlen(datei), 3);
    EXPECT_EQ(KapitelVorlauf(datei), 1105);
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
