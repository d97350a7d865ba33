#include "engine/auswahl/NatuerlicheReihenfolge.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lorvane {
namespace {

std::vector<std::string> Sortiert(std::vector<std::string> namen) {
    std::sort(namen.begin(), namen.end(), NatuerlichVor);
    return namen;
}

TEST(NatuerlicheReihenfolge, NumbersByValue) {
    EXPECT_EQ(Sortiert({"Kapitel 10.mp3", "Kapitel 2.mp3", "Kapitel 1.mp3", "Kapitel 11.mp3"}),
              (std::vector<std::string>{"Kapitel 1.mp3", "Kapitel 2.mp3", "Kapitel 10.mp3",
                                        "Kapitel 11.mp3"}));
    EXPECT_LT(NatuerlichVergleichen("CD2 Track9", "CD2 Track10"), 0);
    EXPECT_LT(NatuerlichVergleichen("CD2 Track99", "CD10 Track1"), 0);
}

TEST(NatuerlicheReihenfolge, LeadingZerosKeepTheValue) {
    EXPECT_LT(NatuerlichVergleichen("007", "10"), 0);
    EXPECT_LT(NatuerlichVergleichen("Teil 02", "Teil 3"), 0);
    // Equal values: the bytes decide, so the order stays total.
    EXPECT_LT(NatuerlichVergleichen("Teil 01", "Teil 1"), 0);
    EXPECT_GT(NatuerlichVergleichen("Teil 1", "Teil 01"), 0);
}

TEST(NatuerlicheReihenfolge, NumbersLongerThanAnyInteger) {
    EXPECT_LT(NatuerlichVergleichen("x99999999999999999999999", "x100000000000000000000000"), 0);
    EXPECT_GT(NatuerlichVergleichen("x100000000000000000000001", "x100000000000000000000000"), 0);
}

TEST(NatuerlicheReihenfolge, LettersWithoutCaseOrAccent) {
    EXPECT_EQ(Sortiert({"beta", "Alpha", "Gamma", "alpha2"}),
              (std::vector<std::string>{"Alpha", "alpha2", "beta", "Gamma"}));
    EXPECT_EQ(Sortiert({"Zebra", "Über", "Apfel", "Ähre", "Birne"}),
              (std::vector<std::string>{"Ähre", "Apfel", "Birne", "Über", "Zebra"}));
    EXPECT_LT(NatuerlichVergleichen("Strasse", "Straße 2"), 0);
}

TEST(NatuerlicheReihenfolge, IsZeroOnlyForIdenticalNames) {
    EXPECT_EQ(NatuerlichVergleichen("Kapitel 1.mp3", "Kapitel 1.mp3"), 0);
    EXPECT_NE(NatuerlichVergleichen("kapitel 1.mp3", "Kapitel 1.mp3"), 0);
    EXPECT_NE(NatuerlichVergleichen("Äpfel", "Apfel"), 0);
    EXPECT_EQ(NatuerlichVergleichen("", ""), 0);
}

TEST(NatuerlicheReihenfolge, IsAntisymmetric) {
    const std::vector<std::string> namen = {"a", "A",    "a1",    "a01", "a10", "ä",
                                            "b", "1",    "01",    "",    "-x",  "x y",
                                            "Ω", "\xff", "a 1 b", "a1b", "ß",   "ss"};
    for (const std::string& a : namen) {
        for (const std::string& b : namen) {
            const int ab = NatuerlichVergleichen(a, b);
            const int ba = NatuerlichVergleichen(b, a);
            EXPECT_EQ(ab<0, ba> 0) << a << " / " << b;
            EXPECT_EQ(ab == 0, a == b) << a << " / " << b;
        }
    }
}

TEST(NatuerlicheReihenfolge, ShorterPrefixFirst) {
    EXPECT_LT(NatuerlichVergleichen("Kapitel", "Kapitel 1"), 0);
    EXPECT_LT(NatuerlichVergleichen("", "a"), 0);
}

} // namespace
} // namespace lorvane
