#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Mp4Datei.h"
#include "support/TestSupport.h"

namespace lorvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Box(const std::string& typ, std::size_t nutzdaten, std::uint32_t groesse = 0) {
    const std::uint32_t feld = groesse != 0 ? groesse : static_cast<std::uint32_t>(nutzdaten + 8);
    // Byte by byte: GCC 12 at -O3 warns falsely about inserting a range here.
    Bytes box;
    box.reserve(8 + nutzdaten);
    for (int schiebung = 24; schiebung >= 0; schiebung -= 8) {
        box.push_back(static_cast<std::uint8_t>(feld >> schiebung));
    }
    for (const char zeichen : typ) {
        box.push_back(static_cast<std::uint8_t>(zeichen));
    }
    box.insert(box.end(), nutzdaten, 0x55);
    return box;
}

Bytes Verkettet(std::initializer_list<Bytes> teile) {
    Bytes alles;
    for (const Bytes& teil : teile) {
        alles.insert(alles.end(), teil.begin(), teil.end());
    }
    return alles;
}

// A box with a 64-bit size: size field 1, then the size after the type.
Bytes GrosseBox(const std::string& typ, std::size_t nutzdaten) {
    Bytes box = Box(typ, 0, 1);
    const std::uint64_t groesse = nutzdaten + 16;
    for (int schiebung = 56; schiebung >= 0; schiebung -= 8) {
        box.push_back(static_cast<std::uint8_t>(groesse >> schiebung));
    }
    box.insert(box.end(), nutzdaten, 0x66);
    return box;
}

TEST(Mp4Datei, OnlyBoxesThatFillTheFileWithAnIndexAreWhole) {
    const Bytes ftyp = Box("ftyp", 16);
    const Bytes moov = Box("moov", 40);
    const Bytes mdat = Box("mdat", 300);
    Bytes abgeschnitten = Verkettet({ftyp, moov, mdat});
    abgeschnitten.pop_back();
    const struct {
        const char* Fall;
        Bytes Inhalt;
        bool Ganz;
    } faelle[] = {
        {"index behind the media", Verkettet({ftyp, mdat, moov}), true},
        {"index in front", Verkettet({ftyp, moov, mdat}), true},
        {"64-bit media box", Verkettet({ftyp, moov, GrosseBox("mdat", 100)}), true},
        {"last box to the end", Verkettet({ftyp, moov, Box("mdat", 50, 0x0)}), true},
        {"no index (trailer never written)", Verkettet({ftyp, mdat}), false},
        {"last box cut off", abgeschnitten, false},
        {"bytes behind the last box", Verkettet({ftyp, moov, Bytes{1, 2, 3}}), false},
        {"size smaller than a header", Verkettet({ftyp, moov, Box("free", 0, 4)}), false},
        {"media box claims more than there is", Verkettet({ftyp, moov, Box("mdat", 10, 1000)}),
         false},
        {"empty file", Bytes{}, false},
    };
    test::TempDir ordner;
    for (const auto& fall : faelle) {
        const std::filesystem::path datei = ordner / "teil.m4a";
        test::WriteFileBytes(datei, fall.Inhalt);
        EXPECT_EQ(Mp4Vollstaendig(datei), fall.Ganz) << fall.Fall;
    }
    EXPECT_FALSE(Mp4Vollstaendig(ordner / "fehlt.m4a"));
    EXPECT_FALSE(Mp4Vollstaendig(ordner.Path())) << "a folder";
}

} // namespace
} // namespace lorvane
