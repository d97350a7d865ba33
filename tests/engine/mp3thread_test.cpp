#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ThreadTestSupport.h"
#include "audio/Mp3Files.h"
#include "audio/Mp3TestFiles.h"
#include "engine/TeilGroesse.h"
#include "engine/TeilNamen.h"
#include "engine/ThreadMeldungen.h"
#include "id3v2/ID3v2Tags.h"

namespace fs = std::filesystem;

namespace lorvane {
namespace {

using test::Bytes;
using test::TTestJob;

std::string Meldung(const fs::path& datei, const std::string& grund) {
    return "Die Datei \"" + datei.string() +
           "\" konnte nicht bearbeitet werden!\r\nDie MP3-Bearbeitung wird "
           "abgebrochen!\r\nGrund: " +
           grund;
}

Bytes Ausschnitt(const Bytes& bytes, std::int64_t start, std::int64_t laenge) {
    return Bytes(bytes.begin() + start, bytes.begin() + start + laenge);
}

// The tag and the audio behind it of one part.
struct TTeilInhalt {
    std::string Artist, Title, Album, Genre, Track;
    Bytes Audio;
};

TTeilInhalt TeilLesen(const fs::path& teil) {
    TFileStream stream(teil, TFileMode::OpenRead);
    TID3v2Tag tag;
    EXPECT_EQ(tag.ReadFromStream(stream), FileErr_None) << teil;
    EXPECT_TRUE(tag.Exists()) << teil;
    const Bytes alles = test::ReadFileBytes(teil);
    return {tag.Artist(),
            tag.Title(),
            tag.Album(),
            tag.GetText(IDv2_GENRE),
            tag.GetText(IDv2_TRACK),
            Bytes(alles.begin() + tag.Size(), alles.end())};
}

TEST(Mp3ThreadNamen, PartNamesAndTitlesCarryTheNumberPaddedToThreeDigits) {
    EXPECT_EQ(TeilNummerText(1), "001");
    EXPECT_EQ(TeilNummerText(2), "002");
    EXPECT_EQ(TeilNummerText(999), "999");
    EXPECT_EQ(TeilNummerText(1000), "1000");
    EXPECT_EQ(TeilDateiName("/arbeit/", "Anna", "Reise", 2),
              fs::path("/arbeit/Anna - Reise_002.mp3"));
    EXPECT_EQ(TeilDateiName("/arbeit/", "Anna", "Reise", 1000),
              fs::path("/arbeit/Anna - Reise_1000.mp3"));
    EXPECT_EQ(TeilTitel("Reise", 2), "Reise (002)");
}

TEST(Mp3ThreadNamen, ReencodedCopyTakesTheFirstFreeName) {
    test::TempDir dir;
    const fs::path arbeit = MitTrenner(dir.Path());
    const fs::path quelle = "/musik/Buch/Kapitel.mp3";
    EXPECT_EQ(KopieDateiName(arbeit, quelle), dir / "Kapitel_tmp.mp3");
    test::WriteFileBytes(dir / "Kapitel_tmp.mp3", {1});
    EXPECT_EQ(KopieDateiName(arbeit, quelle), dir / "Kapitel_tmp_1.mp3");
    // A dangling link occupies its name too.
    fs::create_symlink(dir / "nirgends", dir / "Kapitel_tmp_1.mp3");
    EXPECT_EQ(KopieDateiName(arbeit, quelle), dir / "Kapitel_tmp_2.mp3");
    // The encoder picks the format by the extension: a copy is always ".mp3".
    for (const auto& [quelleName, kopieName] :
         std::vector<std::pair<std::string, std::string>>{{"Teil.MP3", "Teil_tmp.mp3"},
                                                          {"Band.bit", "Band_tmp.mp3"},
                                                          {"ohne", "ohne_tmp.mp3"},
                                                          {"a.b.mp2", "a.b_tmp.mp3"}}) {
        EXPECT_EQ(KopieDateiName(arbeit, "/musik/" + quelleName), dir / kopieName) << quelleName;
    }
}

TEST(Mp3ThreadNamen, ALongNameIsShortenedAtACharacterBoundaryToFitTheSuffix) {
    const fs::path arbeit = "/arbeit/";
    // 125 two-byte characters: 250 bytes, one more than fits beside "_tmp.mp3".
    std::string basis;
    for (int i = 0; i < 125; ++i) {
        basis += "\xC3\xBC";
    }
    const std::string name = KopieDateiName(arbeit, "/musik/" + basis + ".mp3").filename();
    EXPECT_LE(name.size(), 255u);
    EXPECT_EQ(name, basis.substr(0, 246) + "_tmp.mp3");
    EXPECT_EQ(KopieDateiName(arbeit, "/musik/Kurz.mp3").filename(), "Kurz_tmp.mp3");
    // Parts too: "Autor - Album" gives way, the number and the extension stay.
    const std::string teil = TeilDateiName(arbeit, basis, "Meer", 12).filename();
    EXPECT_EQ(teil, basis.substr(0, 246) + "_012.mp3");
    EXPECT_EQ(TeilDateiName(arbeit, "Anna", basis, 1000).filename().string(),
              "Anna - " + basis.substr(0, 238) + "_1000.mp3");
}

TEST(Mp3ThreadNamen, MessagesAreTheProgramsOwn) {
    EXPECT_EQ(Mp3BearbeitungFehler("MP3-Audioformat"),
              "Die Datei \"MP3-Audioformat\" konnte nicht bearbeitet werden!\r\n"
              "Die MP3-Bearbeitung wird abgebrochen!");
    EXPECT_EQ(TeilErstellungFehler("/a/Anna - Reise_001.mp3"),
              "Die Datei \"/a/Anna - Reise_001.mp3\" konnte nicht erstellt werden!\r\n"
              "Die M4B-Erstellung wird abgebrochen!");
}

// Three files in one format: an ID3v2 tag in front of the first, ID3v1 behind the
// second, APE and ID3v1 behind the third.
class Mp3ThreadDateien : public ::testing::Test {
protected:
    void Anlegen(int frames) { Anlegen({frames, frames, frames}); }
    void Anlegen(const std::array<int, 3>& frames) {
        fs::create_directories(job.Dir / "quelle");
        for (int i = 0; i < 3; ++i) {
            audio[i] = test::SynthetischeFrames(frames[static_cast<std::size_t>(i)],
                                                static_cast<std::uint8_t>(30 * i));
        }
        const Bytes id3v2 = test::ID3v2Tag({{"TIT2", "Alt"}, {"TPE1", "Jemand"}}, -1, 100);
        vorne = static_cast<std::int64_t>(id3v2.size());
        inhalt[0] = test::Concat({id3v2, audio[0]});
        inhalt[1] = test::Concat({audio[1], test::ID3v1Block({"Alt", "Jemand"})});
        inhalt[2] = test::Concat({audio[2], test::ApeTagBytes({test::ApeItem("Title", "Alt")}),
                                  test::ID3v1Block({"Alt"})});
        for (int i = 0; i < 3; ++i) {
            quellen[i] = job.Dir / "quelle" / ("Kapitel " + std::to_string(i + 1) + ".mp3");
            test::WriteFileBytes(quellen[i], inhalt[i]);
        }
        // Deliberately wrong row durations: the analysis corrects them.
        job.Vorbereiten({{quellen[0].string(), "00:01:00"},
                         {quellen[1].string(), "00:01:00"},
                         {quellen[2].string(), "00:01:00"}});
    }

    // A stand-in for the re-encoding call: copies the source (the third word) to the
    // copy (the last word) and exits with the given code.
    void KopierEncoder(int exitCode) {
        const fs::path skript = job.Dir / "kopierer.sh";
        test::WriteShellScript(skript, "for letztes; do :; done\ncp \"$3\" \"$letztes\"\nexit " +
                                           std::to_string(exitCode));
        job.State.Daten.FfmpegDatei = skript;
    }

    TTestJob job;
    Bytes audio[3];
    Bytes inhalt[3];
    fs::path quellen[3];
    std::int64_t vorne = 0;
};

// 1440 s each: 4320 s at one hour per part make two parts, the boundary inside the
// second file.
class Mp3ThreadLang : public Mp3ThreadDateien {
protected:
    void SetUp() override { Anlegen(20000); }
};

// 36 s each.
class Mp3ThreadKurz : public Mp3ThreadDateien {
protected:
    void SetUp() override { Anlegen(500); }
};

TEST_F(Mp3ThreadLang, JoinsTheAudioBytesIntoTaggedPartsWithoutReencoding) {
    // Any re-encoding would fail: there is no encoder.
    job.State.Daten.FfmpegDatei = job.Dir / "kein-ffmpeg";
    job.JoinerStarten();
    EXPECT_TRUE(job.State.Daten.Mp3ThreadLaeuftS);
    ASSERT_TRUE(job.BisBeideEnden());
    ASSERT_TRUE(job.Mp3Meldungen.empty()) << job.Mp3Meldungen.front();

    const TJobState& state = job.State;
    EXPECT_EQ(state.Daten.ZielBitrate, 8000);
    EXPECT_EQ(state.Daten.ZielSamplerate, 8000);
    EXPECT_EQ(state.Daten.ZielChannels, 1);
    EXPECT_EQ(state.Daten.GesamtDauer, 3 * 1440);
    const TMp3Liste& liste = state.Mp3.Mp3Liste;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(liste[i].Filename, quellen[i]) << "not re-encoded";
        EXPECT_EQ(liste[i].Dauer, 1440);
        EXPECT_EQ(liste[i].Start, i == 0 ? vorne : 0);
        EXPECT_EQ(liste[i].Length, static_cast<std::int64_t>(audio[i].size()));
        EXPECT_TRUE(test::ReadFileBytes(quellen[i]) == inhalt[i]) << "sources stay untouched";
    }
    const std::int64_t gesamt = 3 * static_cast<std::int64_t>(audio[0].size());
    EXPECT_EQ(state.Mp3.GesamtBytes, gesamt);
    EXPECT_EQ(state.Mp3.KopiertBytes, gesamt);
    EXPECT_EQ(state.Mp3.KopierIndex, 2);

    const std::int64_t teilBytes = TeilBytesBerechnen(gesamt, 4320, 1);
    const std::int64_t laenge = static_cast<std::int64_t>(audio[0].size());
    ASSERT_GT(teilBytes, laenge);
    ASSERT_LT(teilBytes, 2 * laenge) << "the boundary lies inside the second file";

    // The first part ends with the whole frame the byte target falls into.
    const std::int64_t imZweiten = teilBytes - laenge;
    ASSERT_NE(imZweiten % test::kSynthFrameBytes, 0) << "the target lies inside a frame";
    const std::int64_t grenze =
        laenge + (imZweiten / test::kSynthFrameBytes + 1) * test::kSynthFrameBytes;
    const std::vector<fs::path> teile = state.Convert.ConvertListe.Copy();
    ASSERT_EQ(teile.size(), 2U);
    EXPECT_EQ(state.Daten.TeilNr, 2);
    EXPECT_EQ(state.Convert.TeileErwartet, 2) << "known before the first part was made";
    Bytes zusammen;
    for (std::size_t k = 0; k < teile.size(); ++k) {
        const std::string nummer = k == 0 ? "001" : "002";
        EXPECT_EQ(teile[k], job.Arbeit() / ("Anna - Reise_" + nummer + ".mp3"));
        const TTeilInhalt teil = TeilLesen(teile[k]);
        EXPECT_EQ(teil.Artist, "Anna");
        EXPECT_EQ(teil.Title, "Tagebuch (" + nummer + ")");
        EXPECT_EQ(teil.Album, "Reise");
        EXPECT_EQ(teil.Genre, "Hörbuch");
        EXPECT_EQ(teil.Track, std::to_string(k + 1));
        EXPECT_EQ(static_cast<std::int64_t>(teil.Audio.size()), k == 0 ? grenze : gesamt - grenze);
        zusammen.insert(zusammen.end(), teil.Audio.begin(), teil.Audio.end());
    }
    // The audio bytes in order and nothing else: no tag of a source.
    EXPECT_TRUE(zusammen == test::Concat({audio[0], audio[1], audio[2]}));
    // The second part begins right after its tag with the rest of the second file, at a
    // frame header.
    const TTeilInhalt zweiter = TeilLesen(teile[1]);
    EXPECT_TRUE(Ausschnitt(zweiter.Audio, 0, 2 * laenge - grenze) ==
                Ausschnitt(audio[1], grenze - laenge, 2 * laenge - grenze));
    ASSERT_GE(zweiter.Audio.size(), 2U);
    EXPECT_EQ(zweiter.Audio[0], 0xFF);
    EXPECT_EQ(zweiter.Audio[1], 0xE3);
}

// 34, 14 and 24 minutes: the target of two parts of 36 minutes lies 2 minutes behind
// the end of the first file, within a tenth of the part size.
class Mp3ThreadGrenze : public Mp3ThreadDateien {
protected:
    void SetUp() override { Anlegen({28333, 11667, 20000}); }
};

TEST_F(Mp3ThreadGrenze, ThePartEndsWithTheFileNearItsSizeUnlessTheExactSizeIsWanted) {
    job.State.Daten.FfmpegDatei = job.Dir / "kein-ffmpeg";
    const std::int64_t erste = static_cast<std::int64_t>(audio[0].size());
    const std::int64_t gesamt =
        erste + static_cast<std::int64_t>(audio[1].size() + audio[2].size());
    const std::int64_t teilBytes = TeilBytesBerechnen(gesamt, 4320, 1);
    ASSERT_GT(teilBytes - erste, 0);
    ASSERT_LT(teilBytes - erste, teilBytes / 10);
    const std::int64_t frameDanach =
        (teilBytes + test::kSynthFrameBytes - 1) / test::kSynthFrameBytes * test::kSynthFrameBytes;
    for (const bool pausenSchnitt : {true, false}) {
        SCOPED_TRACE(pausenSchnitt);
        job.State.Daten.PausenSchnittS = pausenSchnitt;
        job.Vorbereiten({{quellen[0].string(), "00:34:00"},
                         {quellen[1].string(), "00:14:00"},
                         {quellen[2].string(), "00:24:00"}});
        job.JoinerStarten();
        ASSERT_TRUE(job.BisBeideEnden());
        ASSERT_TRUE(job.Mp3Meldungen.empty()) << job.Mp3Meldungen.front();
        const std::vector<fs::path> teile = job.State.Convert.ConvertListe.Copy();
        ASSERT_EQ(teile.size(), 2U);
        EXPECT_EQ(job.State.Convert.TeileErwartet, 2);
        EXPECT_EQ(static_cast<std::int64_t>(TeilLesen(teile[0]).Audio.size()),
                  pausenSchnitt ? erste : frameDanach);
        EXPECT_EQ(static_cast<std::int64_t>(TeilLesen(teile[1]).Audio.size()),
                  gesamt - (pausenSchnitt ? erste : frameDanach));
    }
}

// Three hours in parts of one: with one encoder at most two finished parts wait, so the
// joiner holds before the third until the converter takes one.
TEST(Mp3ThreadWarteschlange, AtMostOneFinishedPartMoreThanEncodersWaits) {
    TTestJob job;
    fs::create_directories(job.Dir / "quelle");
    std::vector<TDateiZeile> zeilen;
    for (int i = 0; i < 3; ++i) {
        const fs::path datei = job.Dir / "quelle" / (std::to_string(i) + ".mp3");
        test::WriteFileBytes(datei, test::SynthetischeFrames(50000, static_cast<std::uint8_t>(i)));
        zeilen.push_back({datei.string(), "01:00:00"});
    }
    job.Vorbereiten(zeilen);
    job.State.Daten.PausenSchnittS = false;
    job.State.Daten.FfmpegDatei = test::StandInEncoder(job.Dir.Path(), 0, true, job.Dir / "log");
    job.JoinerStarten();
    ASSERT_TRUE(job.WartenBis([&] { return job.State.Convert.ConvertListe.Count() == 2; }));
    const auto spaeter = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    job.WartenBis([&] { return std::chrono::steady_clock::now() > spaeter; });
    EXPECT_EQ(job.State.Convert.ConvertListe.Count(), 2);
    EXPECT_TRUE(job.State.Daten.Mp3ThreadLaeuftS);
    job.ConverterStarten();
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_TRUE(job.Mp3Meldungen.empty());
    EXPECT_EQ(job.State.Convert.FertigeTeile, 3);
}

// Also when the second file begins with the encoder's "Info" frame: that frame is its
// description, silence to a player, and is left out of the joined audio.
TEST_F(Mp3ThreadKurz, OnePartWhenTheHoursCoverThePlayingTime) {
    Bytes infoFrame = test::SynthetischeFrames(1, 99);
    const std::uint8_t kennung[] = {'I', 'n', 'f', 'o', 0, 0, 0, 1, 0, 0, 1, 0xF4};
    std::copy(std::begin(kennung), std::end(kennung), infoFrame.begin() + 13);
    test::WriteFileBytes(quellen[1], test::Concat({infoFrame, inhalt[1]}));
    job.JoinerStarten();
    ASSERT_TRUE(job.BisBeideEnden());
    ASSERT_TRUE(job.Mp3Meldungen.empty()) << job.Mp3Meldungen.front();
    EXPECT_EQ(job.State.Mp3.Mp3Liste[1].Start, static_cast<std::int64_t>(test::kSynthFrameBytes));
    const std::vector<fs::path> teile = job.State.Convert.ConvertListe.Copy();
    ASSERT_EQ(teile.size(), 1U);
    EXPECT_EQ(job.State.Convert.TeileErwartet, 1);
    EXPECT_TRUE(TeilLesen(teile[0]).Audio == test::Concat({audio[0], audio[1], audio[2]}));
}

TEST_F(Mp3ThreadKurz, APartThatCannotBeCreatedEndsTheThread) {
    // A folder in the way of the first part.
    fs::create_directories(job.Arbeit() / "Anna - Reise_001.mp3");
    job.FehlerUebernehmen = false;
    job.JoinerStarten();
    ASSERT_TRUE(job.BisBeideEnden()) << "ends without waiting for the controller";
    EXPECT_TRUE(job.State.Convert.PauseS);
    const std::vector<std::string> meldungen = job.State.Convert.Mp3FehlerListe.Copy();
    ASSERT_EQ(meldungen.size(), 1U);
    EXPECT_EQ(meldungen[0], TeilErstellungFehler(job.Arbeit() / "Anna - Reise_001.mp3") +
                                "\r\nGrund: Das ist ein Ordner, keine Datei");
    EXPECT_TRUE(job.State.Convert.ConvertListe.Empty());
}

TEST_F(Mp3ThreadKurz, AFileThatIsNoMp3EndsTheAnalysisAtOnce) {
    test::WriteFileBytes(quellen[1], test::BytesOf("kein MPEG, nur Text"));
    job.FehlerUebernehmen = false;
    job.JoinerStarten();
    ASSERT_TRUE(job.BisBeideEnden()) << "ends without waiting for the controller";
    EXPECT_TRUE(job.State.Convert.PauseS);
    EXPECT_EQ(
        job.State.Convert.Mp3FehlerListe.Copy(),
        std::vector<std::string>{Meldung(quellen[1], "Keine gültigen MP3-Audiodaten gefunden")});
    EXPECT_EQ(job.State.Mp3.VorIndex, 0) << "phase 1 moves no index";
}

TEST_F(Mp3ThreadKurz, AFailedReencodingHoldsUntilTheControllerStopsTheJob) {
    // The third file in another format; the encoder is missing.
    test::WriteFileBytes(quellen[2], test::MpegFrames(50));
    job.State.Daten.FfmpegDatei = job.Dir / "kein-ffmpeg";
    job.FehlerUebernehmen = false;
    job.JoinerStarten();
    ASSERT_TRUE(job.WartenBis([&] { return !job.State.Convert.Mp3FehlerListe.Empty(); }));
    EXPECT_TRUE(job.State.Convert.PauseS);
    // Holding: a little later it still runs and has left exactly one message.
    job.WartenBis([] { return false; }, std::chrono::seconds(0));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    job.Queue.ProcessPending();
    EXPECT_TRUE(job.State.Daten.Mp3ThreadLaeuftS);
    EXPECT_EQ(
        job.State.Convert.Mp3FehlerListe.Copy(),
        std::vector<std::string>{Meldung(quellen[2], "Die Datei oder der Ordner existiert nicht")});
    EXPECT_EQ(job.State.Mp3.VorIndex, 2);

    job.State.Convert.AbbruchS = true;
    job.State.Convert.PauseS = false;
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_EQ(job.State.Convert.Mp3FehlerListe.Count(), 1);
    EXPECT_TRUE(job.State.Convert.ConvertListe.Empty());
    EXPECT_EQ(job.State.Mp3.KopierIndex, -1);
}

TEST_F(Mp3ThreadKurz, AReencodingThatExitsWithAnErrorHasFailed) {
    // The third file in another format; the stand-in leaves a copy an analyser accepts.
    test::WriteFileBytes(quellen[2], test::MpegFrames(50));
    KopierEncoder(1);
    job.JoinerStarten();
    ASSERT_TRUE(job.BisBeideEnden());
    EXPECT_EQ(job.Mp3Meldungen, std::vector<std::string>{Meldung(
                                    quellen[2], "Der Encoder endete mit dem Rückgabewert 1")});
    EXPECT_EQ(job.State.Mp3.Mp3Liste[2].Filename, quellen[2]);
    EXPECT_TRUE(job.State.Convert.ConvertListe.Empty());
}

// The message names the user's file, never the scratch copy, and the encoder's reason.
TEST_F(Mp3ThreadKurz, AFailedReencodingNamesTheInputAndTheReason) {
    test::WriteFileBytes(quellen[2], test::MpegFrames(50));
    const struct {
        std::string Skript;
        std::string Grund;
    } faelle[] = {
        {"for letztes; do :; done\necho Textmüll > \"$letztes\"",
         "Die umkodierte Kopie ist keine gültige MP3-Datei"},
        {"echo 'Kapitel 3.mp3: Invalid data found when processing input' >&2\nexit 1",
         "Kapitel 3.mp3: Invalid data found when processing input"},
    };
    for (const auto& fall : faelle) {
        test::WriteShellScript(job.Dir / "encoder.sh", fall.Skript);
        job.State.Daten.FfmpegDatei = job.Dir / "encoder.sh";
        job.Mp3Meldungen.clear();
        job.Vorbereiten(
            {{quellen[0].string(), "1"}, {quellen[1].string(), "1"}, {quellen[2].string(), "1"}});
        job.JoinerStarten();
        ASSERT_TRUE(job.BisBeideEnden());
        EXPECT_EQ(job.Mp3Meldungen, std::vector<std::string>{Meldung(quellen[2], fall.Grund)});
    }
}

TEST_F(Mp3ThreadKurz, AReencodedCopyReplacesTheSourceInTheList) {
    test::WriteFileBytes(quellen[2], test::MpegFrames(50));
    KopierEncoder(0);
    job.JoinerStarten();
    ASSERT_TRUE(job.BisBeideEnden());
    ASSERT_TRUE(job.Mp3Meldungen.empty()) << job.Mp3Meldungen.front();
    const TMp3ListeRec& kopie = job.State.Mp3.Mp3Liste[2];
    EXPECT_EQ(kopie.Filename, job.Arbeit() / "Kapitel 3_tmp.mp3");
    // The entry takes the copy's values (here those of the plain copy).
    EXPECT_EQ(kopie.Bitrate, 128000);
    EXPECT_EQ(kopie.Samplerate, 44100);
    EXPECT_EQ(kopie.Channels, 2);
    EXPECT_EQ(job.State.Convert.ConvertListe.Count(), 1);
}

TEST(Mp3ThreadEncoder, ReencodesOnlyFilesInAnotherFormatOrLayer) {
    LORVANE_REQUIRE_FFMPEG();
    TTestJob job;
    const fs::path quelle = job.Dir / "quelle";
    fs::create_directories(quelle);
    test::SinusDatei(quelle / "Eins.mp3", 2, 22050, 32);
    test::SinusDatei(quelle / "Kapitel.mp3", 2, 22050, 48);     // another bitrate
    test::SinusDatei(quelle / "Zwei.mp3", 2, 22050, 32, "mp2"); // Layer II, same format
    test::SinusDatei(quelle / "Drei.mp3", 2, 22050, 32);
    job.Vorbereiten({{(quelle / "Eins.mp3").string(), "00:00:02"},
                     {(quelle / "Kapitel.mp3").string(), "00:00:02"},
                     {(quelle / "Zwei.mp3").string(), "00:00:02"},
                     {(quelle / "Drei.mp3").string(), "00:00:02"}});
    // The first copy name is taken.
    test::WriteFileBytes(job.Arbeit() / "Kapitel_tmp.mp3", {0});

    job.JoinerStarten();
    ASSERT_TRUE(job.BisBeideEnden());
    ASSERT_TRUE(job.Mp3Meldungen.empty()) << job.Mp3Meldungen.front();
    EXPECT_EQ(job.State.Daten.ZielBitrate, 32000);
    EXPECT_EQ(job.State.Daten.ZielSamplerate, 22050);
    EXPECT_EQ(job.State.Daten.ZielChannels, 1);

    const TMp3Liste& liste = job.State.Mp3.Mp3Liste;
    ASSERT_EQ(liste.size(), 4U);
    EXPECT_EQ(liste[0].Filename, quelle / "Eins.mp3");
    EXPECT_EQ(liste[1].Filename, job.Arbeit() / "Kapitel_tmp_1.mp3");
    EXPECT_EQ(liste[2].Filename, job.Arbeit() / "Zwei_tmp.mp3");
    EXPECT_EQ(liste[3].Filename, quelle / "Drei.mp3");
    Bytes erwartet;
    for (const TMp3ListeRec& eintrag : liste) {
        TMP3File analyse;
        analyse.SetMpegScanMode(MPEG_SCAN_Complete);
        ASSERT_EQ(analyse.ReadFromFile(eintrag.Filename), FileErr_None) << eintrag.Filename;
        EXPECT_EQ(analyse.MpegInfo().Layer(), 3) << eintrag.Filename;
        EXPECT_EQ(analyse.Bitrate(), 32000) << eintrag.Filename;
        EXPECT_EQ(eintrag.Bitrate, 32000);
        EXPECT_EQ(eintrag.Samplerate, 22050);
        EXPECT_EQ(eintrag.Channels, 1);
        const Bytes datei = test::ReadFileBytes(eintrag.Filename);
        ASSERT_GT(eintrag.Length, 0);
        const Bytes stueck = Ausschnitt(datei, eintrag.Start, eintrag.Length);
        erwartet.insert(erwartet.end(), stueck.begin(), stueck.end());
    }
    // Eight seconds fit into one part.
    const std::vector<fs::path> teile = job.State.Convert.ConvertListe.Copy();
    ASSERT_EQ(teile.size(), 1U);
    EXPECT_TRUE(TeilLesen(teile[0]).Audio == erwartet);
}

} // namespace
} // namespace lorvane
