// Pictures of ID3v2 tags: APIC of versions 2.3 and 2.4 and PIC of 2.2, descriptions in
// each encoding, and frames that must give no picture.

#include "id3v2/ID3v2Bild.h"
#include "id3v2/ID3v2Tags.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kJpegDaten = {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3};
const Bytes kPngDaten = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 9};

Bytes Verbunden(std::initializer_list<Bytes> teile) {
    Bytes alle;
    for (const Bytes& teil : teile) {
        alle.insert(alle.end(), teil.begin(), teil.end());
    }
    return alle;
}

// A frame read as the tag reads it: size and flags of version 2.3 (2.2 for PIC), then
// the content.
TID3v2Frame Frame(const std::string& id, std::uint8_t formatFlags, const Bytes& inhalt) {
    const auto n = static_cast<std::uint32_t>(inhalt.size());
    const std::uint8_t version = id.size() == 3 ? 2 : 3;
    Bytes rest = version == 2 ? Bytes{std::uint8_t(n >> 16), std::uint8_t(n >> 8), std::uint8_t(n)}
                              : Bytes{std::uint8_t(n >> 24),
                                      std::uint8_t(n >> 16),
                                      std::uint8_t(n >> 8),
                                      std::uint8_t(n),
                                      0,
                                      formatFlags};
    rest.insert(rest.end(), inhalt.begin(), inhalt.end());
    TID3v2Frame frame(id, version);
    TMemoryStream stream(rest);
    EXPECT_EQ(frame.ReadFromStream(stream), FileErr_None) << id;
    return frame;
}

TEST(ID3v2Bild, PicturesOfEveryVersionAndEncodingAndWhatGivesNone) {
    const struct {
        const char* fall;
        TID3v2Frame frame;
        int typ; // -1: no picture
        bool png;
        Bytes daten;
    } faelle[] = {
        {"APIC, Latin-1",
         Frame("APIC", 0,
               Verbunden({{0},
                          {'i', 'm', 'a', 'g', 'e', '/', 'j', 'p', 'e', 'g', 0},
                          {3},
                          {'C', 0},
                          kJpegDaten})),
         3, false, kJpegDaten},
        {"APIC, UTF-16 with a zero byte in the text",
         Frame("APIC", 0, Verbunden({{1}, {0}, {0}, {0xFF, 0xFE, 'C', 0, 0, 0}, kPngDaten})), 0,
         true, kPngDaten},
        {"APIC, wrong MIME type", Frame("APIC", 0, Verbunden({{3}, {'x', 0}, {4}, {0}, kPngDaten})),
         4, true, kPngDaten},
        {"PIC of version 2.2",
         Frame("PIC", 0, Verbunden({{0}, {'J', 'P', 'G'}, {3}, {0}, kJpegDaten})), 3, false,
         kJpegDaten},
        {"no JPEG or PNG",
         Frame("APIC", 0, Verbunden({{0}, {0}, {3}, {0}, {'G', 'I', 'F', '8'}})),
         -1,
         false,
         {}},
        {"description without end", Frame("APIC", 0, Bytes{0, 0, 3, 'C', 'C'}), -1, false, {}},
        {"cut off after the MIME type", Frame("APIC", 0, Bytes{0, 'x', 0}), -1, false, {}},
        {"compressed",
         Frame("APIC", 0x80, Verbunden({{0, 0, 0, 0}, {0}, {0}, {3}, {0}, kJpegDaten})),
         -1,
         false,
         {}},
        {"a text frame", Frame("TIT2", 0, Bytes{0, 'T'}), -1, false, {}},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.fall);
        const std::optional<TID3v2Bild> bild = BildAusFrame(fall.frame);
        ASSERT_EQ(bild.has_value(), fall.typ >= 0);
        if (bild) {
            EXPECT_EQ(bild->BildTyp, fall.typ);
            EXPECT_EQ(bild->Png, fall.png);
            EXPECT_EQ(bild->Daten, fall.daten);
        }
    }
}

TEST(ID3v2Bild, TheFrontCoverWinsElseTheFirstPicture) {
    const auto bildFrame = [](std::uint8_t typ, std::uint8_t kennung) {
        return Verbunden({{0, 0, typ, 0}, kJpegDaten, {kennung}});
    };
    for (const auto& [typen, erwartet] :
         std::vector<std::pair<Bytes, int>>{{{0, 3, 3}, 1}, {{5, 6}, 0}, {{}, -1}}) {
        TID3v2Tag tag;
        TMemoryStream inhalt;
        for (std::size_t i = 0; i < typen.size(); ++i) {
            const Bytes frame = bildFrame(typen[i], static_cast<std::uint8_t>(i));
            Bytes kopf = {'A', 'P', 'I', 'C', 0, 0, 0, static_cast<std::uint8_t>(frame.size()),
                          0,   0};
            inhalt.WriteBuffer(kopf.data(), kopf.size());
            inhalt.WriteBuffer(frame.data(), frame.size());
        }
        const auto groesse = static_cast<std::uint8_t>(inhalt.Size());
        Bytes ganz = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, groesse};
        ganz.insert(ganz.end(), inhalt.Bytes().begin(), inhalt.Bytes().end());
        TMemoryStream stream(ganz);
        ASSERT_EQ(tag.ReadFromStream(stream), FileErr_None);
        const std::optional<TID3v2Bild> bild = TitelBild(tag);
        ASSERT_EQ(bild.has_value(), erwartet >= 0);
        if (bild) {
            EXPECT_EQ(bild->Daten.back(), erwartet);
        }
    }
}

} // namespace
} // namespace lorvane
