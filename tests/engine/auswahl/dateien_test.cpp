#include "engine/auswahl/Dateien.h"

#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace lorvane {
namespace {

class Dateien : public ::testing::Test {
protected:
    void Ordner(const std::string& name) const { fs::create_directories(dir / name); }
    std::string Pfad(const std::string& name = "") const {
        std::string pfad = dir.Path().string() + "/";
        if (!name.empty()) {
            pfad += name + "/";
        }
        return pfad;
    }
    TDateien Modell() const {
        const std::string wurzel = dir.Path().string();
        return TDateien([wurzel] {
            return std::vector<TLaufwerk>{{wurzel, "Festplatte"}, {"/", "Festplatte"}};
        });
    }
    static std::vector<TDateienRec> Eintraege(const TDateien& dateien) {
        std::vector<TDateienRec> eintraege;
        for (int i = 0; i < dateien.Count(); ++i) {
            eintraege.push_back(dateien.Liste(i));
        }
        return eintraege;
    }

    test::TempDir dir;
};

TEST_F(Dateien, ListsVisibleSubfoldersInNaturalOrder) {
    for (const char* name :
         {"b", "A", "c", "CD 10", "CD 2", ".versteckt", "c/x", "CD 2/.y", "b/.z", "b/z"}) {
        Ordner(name);
    }
    test::WriteFileBytes(dir / "datei.mp3", {});
    test::WriteFileBytes(dir / "CD 10" / "datei", {});
    fs::create_directory_symlink(dir / "b", dir / "verweis");
    TDateien dateien = Modell();
    ASSERT_EQ(dateien.SetPath(dir.Path().string()), std::nullopt);
    EXPECT_EQ(dateien.Path(), Pfad());
    EXPECT_EQ(Eintraege(dateien), (std::vector<TDateienRec>{{"A", false},
                                                            {"b", true},
                                                            {"c", true},
                                                            {"CD 2", false},
                                                            {"CD 10", false},
                                                            {"verweis", true}}));
    EXPECT_EQ(dateien.PathUndOrdner(1), Pfad("b"));
    EXPECT_EQ(dateien.Anzeigename(1), "b");
    EXPECT_EQ(dateien.PathUndOrdner(6), "");
    EXPECT_EQ(dateien.Liste(-1), TDateienRec{});
}

TEST_F(Dateien, HiddenSubfoldersDoNotCount) {
    Ordner("nur/.versteckt");
    Ordner("mit/sichtbar");
    test::WriteFileBytes(dir / "ohne" / "datei", {});
    EXPECT_FALSE(TDateien::HatUnterordner(Pfad("nur")));
    EXPECT_TRUE(TDateien::HatUnterordner(Pfad("mit")));
    EXPECT_TRUE(TDateien::HatUnterordner(dir.Path().string() + "/mit"));
    EXPECT_FALSE(TDateien::HatUnterordner(Pfad("ohne")));
    EXPECT_FALSE(TDateien::HatUnterordner(Pfad("fehlt")));
    EXPECT_FALSE(TDateien::HatUnterordner(""));
    EXPECT_FALSE(TDateien::HatUnterordner((dir / "ohne" / "datei").string()));
}

TEST_F(Dateien, DriveLevel) {
    TDateien dateien = Modell();
    EXPECT_TRUE(dateien.Laufwerksebene());
    EXPECT_EQ(dateien.Path(), "");
    ASSERT_EQ(dateien.Count(), 2);
    EXPECT_EQ(dateien.Liste(0), (TDateienRec{dir.Path().string(), true}));
    EXPECT_EQ(dateien.PathUndOrdner(0), Pfad());
    EXPECT_EQ(dateien.PathUndOrdner(1), "/");
    EXPECT_EQ(dateien.Anzeigename(0), dir.Path().string() + " [Festplatte]");
    EXPECT_TRUE(dateien.IstLaufwerksWurzel(Pfad()));
    EXPECT_TRUE(dateien.IstLaufwerksWurzel("/"));
    EXPECT_FALSE(dateien.IstLaufwerksWurzel(Pfad("a")));
}

TEST_F(Dateien, ErrorsLeaveTheModelAsItWas) {
    Ordner("da/unter");
    TDateien dateien = Modell();
    ASSERT_EQ(dateien.SetPath(Pfad("da")), std::nullopt);
    const std::string fehlt = Pfad("fehlt");
    EXPECT_EQ(dateien.SetPath(fehlt), "Ordner \"" + fehlt + "\" nicht vorhanden!");
    EXPECT_EQ(dateien.SetPath("C:\\Hörbücher"), "Ordner \"C:\\Hörbücher\" nicht vorhanden!");
    EXPECT_EQ(dateien.SetPath("   "), "Ordner \"   \" nicht vorhanden!");
    test::WriteFileBytes(dir / "datei", {});
    EXPECT_TRUE(dateien.SetPath(Pfad() + "datei").has_value());
    EXPECT_EQ(dateien.Path(), Pfad("da"));
    EXPECT_EQ(Eintraege(dateien), (std::vector<TDateienRec>{{"unter", false}}));
    // The folder vanishes: the refresh names it with its trailing separator.
    fs::remove_all(dir / "da");
    EXPECT_EQ(dateien.Restore(), "Ordner \"" + Pfad("da") + "\" nicht vorhanden!");
    EXPECT_EQ(dateien.Path(), Pfad("da"));
    EXPECT_EQ(dateien.Count(), 1);
    // Back to the drive level always works.
    EXPECT_EQ(dateien.SetPath(""), std::nullopt);
    EXPECT_EQ(dateien.Count(), 2);
}

TEST_F(Dateien, RestoreSeesChanges) {
    Ordner("a");
    TDateien dateien = Modell();
    ASSERT_EQ(dateien.SetPath(Pfad()), std::nullopt);
    EXPECT_EQ(Eintraege(dateien), (std::vector<TDateienRec>{{"a", false}}));
    Ordner("a/neu");
    fs::rename(dir / "a", dir / "B");
    ASSERT_EQ(dateien.Restore(), std::nullopt);
    EXPECT_EQ(Eintraege(dateien), (std::vector<TDateienRec>{{"B", true}}));
}

TEST_F(Dateien, NamesThatAreNotUtf8StayAsBytes) {
    const std::string name = "Ho\xF6rbuch"; // Latin-1, not UTF-8
    Ordner(name);
    TDateien dateien = Modell();
    ASSERT_EQ(dateien.SetPath(Pfad()), std::nullopt);
    ASSERT_EQ(dateien.Count(), 1);
    EXPECT_EQ(dateien.Liste(0).Name, name);
    EXPECT_TRUE(fs::is_directory(dateien.PathUndOrdner(0)));
}

} // namespace
} // namespace lorvane
