#include "engine/Counter.h"

#include <gtest/gtest.h>
#include <string>

namespace lorvane {
namespace {

TCounterRec Bester(const TCounter& counter) {
    TCounterRec rec;
    rec.BitSampleString = "nicht geleert";
    rec.Count = 99;
    counter.GetBestBitSample(rec);
    return rec;
}

void Hinzufuegen(TCounter& counter, const std::string& key, int mal) {
    for (int i = 0; i < mal; ++i) {
        EXPECT_TRUE(counter.Add(key));
    }
}

TEST(TCounter, TheMostFrequentCombinationWins) {
    TCounter counter;
    Hinzufuegen(counter, "64000 22050 1", 1);
    Hinzufuegen(counter, "128000 44100 2", 3);
    Hinzufuegen(counter, "64000 22050 1", 1);
    const TCounterRec rec = Bester(counter);
    EXPECT_EQ(rec.BitSampleString, "128000 44100 2");
    EXPECT_EQ(rec.Bitrate, 128000);
    EXPECT_EQ(rec.Samplerate, 44100);
    EXPECT_EQ(rec.Channels, 2);
    EXPECT_EQ(rec.Count, 3);
    ASSERT_EQ(counter.List().size(), 2u);
    EXPECT_EQ(counter.List()[0].BitSampleString, "64000 22050 1");
    EXPECT_EQ(counter.List()[0].Count, 2);
}

TEST(TCounter, ATieGoesToALaterEntryOnlyWhenItReachesTheCurrentWinner) {
    TCounter hoeherBitrate;
    Hinzufuegen(hoeherBitrate, "128000 44100 2", 1);
    Hinzufuegen(hoeherBitrate, "192000 44100 2", 1);
    Hinzufuegen(hoeherBitrate, "128000 48000 2", 1);
    TCounterRec rec = Bester(hoeherBitrate);
    EXPECT_EQ(rec.Bitrate, 192000);
    EXPECT_EQ(rec.Samplerate, 44100);
    EXPECT_EQ(rec.Channels, 2);

    TCounter hoehereRate;
    Hinzufuegen(hoehereRate, "128000 44100 2", 1);
    Hinzufuegen(hoehereRate, "128000 48000 2", 1);
    Hinzufuegen(hoehereRate, "192000 44100 2", 1);
    rec = Bester(hoehereRate);
    EXPECT_EQ(rec.Bitrate, 128000);
    EXPECT_EQ(rec.Samplerate, 48000);
    EXPECT_EQ(rec.Channels, 2);
    EXPECT_EQ(rec.Count, 1);
}

TEST(TCounter, ALowerCombinationWithTheSameCountDoesNotReplaceTheFirst) {
    TCounter counter;
    Hinzufuegen(counter, "128000 44100 2", 2);
    Hinzufuegen(counter, "64000 44100 2", 2);
    Hinzufuegen(counter, "128000 44100 1", 2);
    EXPECT_EQ(Bester(counter).BitSampleString, "128000 44100 2");
    // Equal in every value counts as reaching it.
    Hinzufuegen(counter, "128000 44100 2", 1);
    Hinzufuegen(counter, "128000 44100 1", 1);
    EXPECT_EQ(Bester(counter).BitSampleString, "128000 44100 2");
}

TEST(TCounter, AnEmptyCounterGivesAnAllZeroResult) {
    TCounter counter;
    TCounterRec rec = Bester(counter);
    EXPECT_EQ(rec.BitSampleString, "");
    EXPECT_EQ(rec.Bitrate, 0);
    EXPECT_EQ(rec.Samplerate, 0);
    EXPECT_EQ(rec.Channels, 0);
    EXPECT_EQ(rec.Count, 0);
    Hinzufuegen(counter, "128000 44100 2", 1);
    counter.Clear();
    EXPECT_EQ(Bester(counter).Count, 0);
}

TEST(TCounter, AZeroValueIsCountedLikeAnyOtherAndCanWin) {
    TCounter counter;
    Hinzufuegen(counter, "0 44100 2", 2);
    Hinzufuegen(counter, "128000 44100 2", 1);
    const TCounterRec rec = Bester(counter);
    EXPECT_EQ(rec.Bitrate, 0);
    EXPECT_EQ(rec.Count, 2);
}

TEST(TCounter, KeysAreComparedExactlyButWordsMaySitBetweenAnySpaces) {
    TCounter counter;
    Hinzufuegen(counter, "128000 44100 2", 1);
    Hinzufuegen(counter, "  128000  44100 2 ", 1);
    ASSERT_EQ(counter.List().size(), 2u);
    EXPECT_EQ(counter.List()[1].BitSampleString, "  128000  44100 2 ");
    EXPECT_EQ(counter.List()[1].Samplerate, 44100);
    EXPECT_EQ(counter.List()[1].Channels, 2);
    // Both spellings count 1, so the second, equal in every value, wins the tie.
    EXPECT_EQ(Bester(counter).BitSampleString, "  128000  44100 2 ");
}

TEST(TCounter, AKeyWithAWordThatIsNoIntegerIsRefused) {
    TCounter counter;
    EXPECT_FALSE(counter.Add("128000 44100"));
    EXPECT_FALSE(counter.Add("128000 x 2"));
    EXPECT_FALSE(counter.Add(""));
    EXPECT_TRUE(counter.List().empty());
    // Only the first three words are read.
    EXPECT_TRUE(counter.Add("128000 44100 2 x"));
    EXPECT_EQ(counter.List().size(), 1u);
}

} // namespace
} // namespace lorvane
