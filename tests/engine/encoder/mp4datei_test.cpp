#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/encoder/Mp4Datei.h"
#include "support/TestSupport.h"

namespace lorvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

void GrossEndian(Bytes& ziel, std::size_t stelle, std::uint64_t wert, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        ziel[stelle + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(wert >> (8 * (bytes - 1 - i)));
    }
}

// A box of that type with nutzdaten bytes behind its header; the size field says groesse
// when given, else the truth.
Bytes Box(const std::string& typ, std::size_t nutzdaten, std::int64_t groesse = -1) {
    Bytes box(8 + nutzdaten, 0x55);
    GrossEndian(box, 0, groesse >= 0 ? static_cast<std::uint64_t>(groesse) : 8 + nutzdaten, 4);
    std::copy(typ.begin(), typ.end(), box.begin() + 4);
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
    Bytes box(16 + nutzdaten, 0x66);
    GrossEndian(box, 0, 1, 4);
    std::copy(typ.begin(), typ.end(), box.begin() + 4);
    GrossEndian(box, 8, 16 + nutzdaten, 8);
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
