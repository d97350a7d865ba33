// lorvane-cli build as a black box: arguments and environment in; exit status,
// output, the M4B files (checked with ffprobe) and the folders out. The encoder is
// the real ffmpeg; error paths use small stand-in scripts.

#include "engine/Spaltenbreite.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace lorvane {
namespace {

struct TLauf {
    int Status = -1;
    std::string Out;
    std::string Err;
};

using TTags = std::map<std::string, std::string>;

// ffprobe's view of a file: "duration", "sample_rate", "channels" and "TAG:..." keys.
TTags Probe(const fs::path& datei) {
    std::string out;
    const int status = test::RunCommand(
        "ffprobe -v error -show_entries format=duration:format_tags:stream=sample_rate,channels "
        "-of default=noprint_wrappers=1 " +
            test::ShellQuote(datei.string()),
        &out);
    EXPECT_EQ(status, 0) << datei;
    TTags werte;
    std::istringstream zeilen(out);
    std::string zeile;
    while (std::getline(zeilen, zeile)) {
        const std::size_t gleich = zeile.find('=');
        if (gleich != std::string::npos) {
            std::string name = zeile.substr(0, gleich);
            for (char& c : name) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            werte[name] = zeile.substr(gleich + 1);
        }
    }
    return werte;
}

double Dauer(const fs::path& datei) {
    const TTags werte = Probe(datei);
    const auto it = werte.find("duration");
    return it == werte.end() ? -1 : std::atof(it->second.c_str());
}

// A mono sine tone as MP3 at a low rate, so that long audio is made quickly.
void Mp3Erzeugen(const fs::path& datei, int sekunden, const TTags& tags = {}, int kbit = 8,
                 int rate = 8000) {
    fs::create_directories(datei.parent_path());
    std::string befehl = "ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:"
                         "sample_rate=" +
                         std::to_string(rate) + ":duration=" + std::to_string(sekunden) +
                         " -ac 1 -c:a libmp3lame -b:a " + std::to_string(kbit) +
                         "k -id3v2_version 3";
    for (const auto& [name, wert] : tags) {
        befehl += " -metadata " + test::ShellQuote(name + "=" + wert);
    }
    befehl += " " + test::ShellQuote(datei.string());
    ASSERT_EQ(test::RunCommand(befehl), 0) << befehl;
}

std::vector<fs::path> Dateien(const fs::path& ordner, const std::string& endung) {
    std::vector<fs::path> dateien;
    std::error_code ec;
    for (fs::directory_iterator it(ordner, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        if (it->path().extension() == endung) {
            dateien.push_back(it->path());
        }
    }
    std::sort(dateien.begin(), dateien.end());
    return dateien;
}

class Build : public ::testing::Test {
protected:
    Build() {
        fs::create_directories(home);
        fs::create_directories(cache);
    }

    std::string Umgebung(const std::string& encoder) const {
        return "env HOME=" + test::ShellQuote(home.string()) +
               " XDG_CACHE_HOME=" + test::ShellQuote(cache.string()) +
               " LORVANE_FFMPEG=" + test::ShellQuote(encoder) + " ";
    }

    TLauf Cli(const std::vector<std::string>& args) const {
        std::string befehl =
            vorsatz + Umgebung(ffmpeg) + test::ShellQuote(LORVANE_CLI_PATH) + " build";
        for (const std::string& arg : args) {
            // Two appends: for " " + std::string&& GCC 12 reports a false -Wrestrict at -O3.
            befehl += ' ';
            befehl += test::ShellQuote(arg);
        }
        TLauf lauf;
        lauf.Status = test::RunCommand(befehl, &lauf.Out, &lauf.Err);
        return lauf;
    }

    // A stand-in encoder: a shell script with the given body.
    std::string Skript(const std::string& name, const std::string& body) const {
        const fs::path pfad = dir / name;
        test::WriteShellScript(pfad, body);
        return pfad.string();
    }

    // The working folder holds nothing of a job: no file, no folder of a second job.
    void ArbeitsOrdnerSauber() const {
        const fs::path arbeit = cache / "lorvane";
        std::error_code ec;
        for (fs::recursive_directory_iterator it(arbeit, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            ADD_FAILURE() << "left in the working folder: " << it->path();
        }
    }

    // Three chapters at 8 kbit/s, 8000 Hz, mono; the middle one at 16 kbit/s and
    // 11025 Hz, so that it is re-encoded. Names out of order, so that natural order matters.
    std::vector<fs::path> KapitelMitFormatmix() {
        const std::vector<fs::path> dateien = {ein / "Kapitel 1.mp3", ein / "Kapitel 2.mp3",
                                               ein / "Kapitel 10.mp3"};
        Mp3Erzeugen(dateien[0], 12, {{"title", "Eins"}, {"artist", "Erika"}, {"album", "Meer"}});
        Mp3Erzeugen(dateien[1], 9, {{"title", "Zwei"}}, 16, 11025);
        Mp3Erzeugen(dateien[2], 7, {{"title", "Zehn"}});
        return dateien;
    }

    test::TempDir dir;
    fs::path home = dir / "home";
    fs::path cache = dir / "cache";
    fs::path aus = dir / "aus";
    fs::path ein = dir / "ein";
    std::string ffmpeg = "/usr/bin/ffmpeg";
    // Put before the command, such as a time limit.
    std::string vorsatz;
};

TEST_F(Build, HelpExplainsTheCommandInGerman) {
    const TLauf lauf = Cli({"--help"});
    EXPECT_EQ(lauf.Status, 0);
    for (const char* teil : {"Aufruf: lorvane-cli build", "--author", "--title", "--album",
                             "--hours", "--output", "--copy-mp3", "--recursive", "--yes", "--",
                             "Strg+C", "zweites Strg+C beendet laufende Encoder sofort", "130",
                             "129", "LORVANE_FFMPEG", "XDG_CACHE_HOME"}) {
        EXPECT_NE(lauf.Out.find(teil), std::string::npos) << teil;
    }
}

TEST_F(Build, UsageErrorsEndWithTwo) {
    Mp3Erzeugen(ein / "a.mp3", 1);
    const std::string datei = (ein / "a.mp3").string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> faelle = {
        {{}, "keine Eingabe"},
        {{"--gibtsnicht", datei}, "unbekannte Option \"--gibtsnicht\""},
        {{"-x", datei}, "unbekannte Option \"-x\""},
        {{"-s", "0", datei}, "1 bis 10"},
        {{"--hours=11", datei}, "1 bis 10"},
        {{"-s", "zwei", datei}, "1 bis 10"},
        {{datei, "--author"}, "braucht einen Wert"},
        {{"--yes=ja", datei}, "hat keinen Wert"},
        {{(dir / "fehlt").string()}, "nicht vorhanden"},
        {{"--", "-y"}, "nicht vorhanden"},
    };
    for (const auto& [args, text] : faelle) {
        const TLauf lauf = Cli(args);
        EXPECT_EQ(lauf.Status, 2) << lauf.Err;
        EXPECT_NE(lauf.Err.find(text), std::string::npos) << lauf.Err;
    }
    EXPECT_FALSE(fs::exists(aus));
}

TEST_F(Build, MakesAnAudiobookAndReEncodesTheOddFile) {
    const std::vector<fs::path> kapitel = KapitelMitFormatmix();
    std::vector<std::vector<std::uint8_t>> vorher;
    double eingabeDauer = 0;
    for (const fs::path& datei : kapitel) {
        vorher.push_back(test::ReadFileBytes(datei));
        eingabeDauer += Dauer(datei);
    }
    // The real encoder, with its command lines written down.
    const fs::path protokoll = dir / "aufrufe";
    ffmpeg =
        Skript("protokoll", "printf '%s\\n' \"$*\" >> " + test::ShellQuote(protokoll.string()) +
                                "\nexec /usr/bin/ffmpeg \"$@\"");
    const TLauf lauf = Cli(
        {"--yes", "-o", aus.string(), "-a", " Anna ", "-t", "Reise", "-l", "Meer", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    const std::vector<std::uint8_t> aufrufe = test::ReadFileBytes(protokoll);
    const std::string zeilen(aufrufe.begin(), aufrufe.end());
    // One re-encoding of the odd file to the shared format, then one conversion.
    EXPECT_EQ(
        zeilen,
        "-y -i " + kapitel[1].string() + " -ab 8k -ar 8000 -ac 1 -acodec mp3 " +
            (cache / "lorvane" / "Kapitel 2_tmp.mp3").string() + "\n-y -i " +
            (cache / "lorvane" / "Anna - Meer_001.mp3").string() + " -i " +
            (cache / "lorvane" / "Anna - Meer_001.meta").string() +
            " -map_chapters 1 -map 0:a -c:a aac -b:a 16k -ar 8000 -ac 1 -metadata media_type=2 "
            "-metadata track=1/1 -brand M4B  -movflags +faststart ./Anna - "
            "Meer_001.m4a\n");
    EXPECT_NE(lauf.Out.find("Das Hörbuch \"Meer\" von \"Anna\" wurde erfolgreich erstellt!\n"
                            "Erstellte M4B-Dateien: 1 (Dauer: 00:00:"),
              std::string::npos)
        << lauf.Out;
    const fs::path hoerbuch = aus / "Meer";
    EXPECT_NE(lauf.Out.find("Hörbuchordner: " + hoerbuch.string() + "/"), std::string::npos);

    const fs::path m4b = hoerbuch / "Anna - Meer_001.m4b";
    ASSERT_TRUE(fs::exists(m4b)) << lauf.Err;
    EXPECT_EQ(Dateien(hoerbuch, ".m4b").size(), 1U);
    EXPECT_TRUE(Dateien(hoerbuch, ".mp3").empty());
    EXPECT_TRUE(Dateien(hoerbuch, ".m4a").empty());
    const TTags tags = Probe(m4b);
    EXPECT_EQ(tags.at("tag:artist"), "Anna");
    EXPECT_EQ(tags.at("tag:album"), "Meer");
    EXPECT_EQ(tags.at("tag:title"), "Reise (001)");
    EXPECT_EQ(tags.at("tag:track"), "1/1");
    EXPECT_EQ(tags.at("tag:genre"), "Hörbuch");
    // What audiobook players read: the media type audiobook, the brand, the index in front.
    EXPECT_EQ(tags.at("tag:media_type"), "2");
    EXPECT_EQ(tags.at("tag:major_brand").substr(0, 3), "M4B");
    const auto bytes = test::ReadFileBytes(m4b);
    const std::string inhalt(bytes.begin(), bytes.end());
    EXPECT_LT(inhalt.find("moov"), inhalt.find("mdat"));
    // The target format is the one two of the three files share.
    EXPECT_EQ(tags.at("sample_rate"), "8000");
    EXPECT_EQ(tags.at("channels"), "1");
    EXPECT_NEAR(std::atof(tags.at("duration").c_str()), eingabeDauer, 1.0);

    for (std::size_t i = 0; i < kapitel.size(); ++i) {
        EXPECT_EQ(test::ReadFileBytes(kapitel[i]), vorher[i]) << kapitel[i];
    }
    ArbeitsOrdnerSauber();
    // Progress as plain lines, since the error output is a file; the last one says
    // that all is done.
    const std::size_t letzte = lauf.Err.rfind("% | ");
    ASSERT_NE(letzte, std::string::npos) << lauf.Err;
    const std::size_t anfang = lauf.Err.rfind('\n', letzte);
    EXPECT_EQ(lauf.Err.substr(anfang == std::string::npos ? 0 : anfang + 1, 6), "100% |")
        << lauf.Err;
    EXPECT_EQ(lauf.Err.find("\033["), std::string::npos);
}

TEST_F(Build, InputsInTheAudiobookFolderAreNeverDeleted) {
    const fs::path buch = aus / "Buch";
    Mp3Erzeugen(buch / "a1.mp3", 2);
    Mp3Erzeugen(buch / "a2.mp3", 2);
    const auto vorher = test::ReadFileBytes(buch / "a1.mp3");
    // Also when the folder is named in a roundabout way.
    for (const fs::path& eingabe : {buch, buch / ".." / "Buch"}) {
        const TLauf lauf = Cli({"-y", "-o", aus.string(), "-l", "Buch", eingabe.string()});
        EXPECT_EQ(lauf.Status, 1) << lauf.Err;
        EXPECT_NE(lauf.Err.find("\" liegt im Ordner \"" + buch.string() +
                                "/\"!\nDie Konvertierung wird abgebrochen!"),
                  std::string::npos)
            << lauf.Err;
        EXPECT_EQ(lauf.Err.find("geleert werden?"), std::string::npos) << lauf.Err;
        EXPECT_EQ(test::ReadFileBytes(buch / "a1.mp3"), vorher);
        EXPECT_TRUE(fs::exists(buch / "a2.mp3"));
        EXPECT_TRUE(lauf.Out.empty());
    }
    ArbeitsOrdnerSauber();
}

TEST_F(Build, AnEncoderNamedWithoutPathIsLookedUpInPath) {
    Mp3Erzeugen(ein / "1.mp3", 2);
    const fs::path bin = dir / "bin";
    fs::create_directories(bin);
    const fs::path protokoll = dir / "aufrufe";
    test::WriteShellScript(bin / "meinffmpeg", "echo x >> " + test::ShellQuote(protokoll.string()) +
                                                   "\nexec /usr/bin/ffmpeg \"$@\"");
    const char* pfad = std::getenv("PATH");
    const std::string befehl =
        "env HOME=" + test::ShellQuote(home.string()) +
        " XDG_CACHE_HOME=" + test::ShellQuote(cache.string()) + " LORVANE_FFMPEG=meinffmpeg PATH=" +
        test::ShellQuote(bin.string() + ":" + (pfad != nullptr ? pfad : "/usr/bin:/bin")) + " " +
        test::ShellQuote(LORVANE_CLI_PATH) + " build -y -o " + test::ShellQuote(aus.string()) +
        " -l Meer " + test::ShellQuote(ein.string());
    std::string err;
    ASSERT_EQ(test::RunCommand(befehl, nullptr, &err), 0) << err;
    EXPECT_TRUE(fs::exists(aus / "Meer" / "_ - Meer_001.m4b"));
    EXPECT_EQ(test::ReadFileBytes(protokoll).size(), 2U);
}

TEST_F(Build, FifosAreSkippedInFoldersAndRefusedByName) {
    Mp3Erzeugen(ein / "1.mp3", 2);
    const fs::path fifo = ein / "2.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Opening a FIFO would wait for a writer for ever.
    vorsatz = "timeout -s KILL 120 ";
    TLauf lauf = Cli({"-y", "-o", aus.string(), "-l", "Meer", ein.string()});
    EXPECT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_EQ(lauf.Err.find("fehlerhaft"), std::string::npos) << lauf.Err;
    EXPECT_TRUE(fs::exists(aus / "Meer" / "_ - Meer_001.m4b"));

    lauf = Cli({"-o", aus.string(), "-l", "Fifo", (ein / "1.mp3").string(), fifo.string()});
    EXPECT_EQ(lauf.Status, 1) << lauf.Err;
    EXPECT_NE(lauf.Err.find("Folgende MP3-Datei ist fehlerhaft und wird nicht hinzugefügt:\n\"" +
                            fifo.string() +
                            "\"\nGrund: Keine gewöhnliche Datei\nSoll trotzdem weiter "
                            "hinzugefügt werden?\nAntwort: Nein"),
              std::string::npos)
        << lauf.Err;
}

TEST_F(Build, AClosedErrorOutputDoesNotKillTheJob) {
    Mp3Erzeugen(ein / "1.mp3", 2);
    // The question about the old file is written at once; the slow encoder makes sure
    // that head has gone before the job writes again.
    fs::create_directories(aus / "Meer");
    test::WriteFileBytes(aus / "Meer" / "alt.m4b", {1});
    ffmpeg = Skript("langsam", "sleep 0.5\nexec /usr/bin/ffmpeg \"$@\"");
    const fs::path status = dir / "status";
    std::string befehl = "( " + Umgebung(ffmpeg) + test::ShellQuote(LORVANE_CLI_PATH) +
                         " build -y -o " + test::ShellQuote(aus.string()) + " -l Meer " +
                         test::ShellQuote(ein.string()) + "; echo $? > " +
                         test::ShellQuote(status.string()) +
                         " ) 2>&1 >/dev/null | head -c 1 > /dev/null";
    ASSERT_EQ(test::RunCommand(befehl), 0);
    const auto text = test::ReadFileBytes(status);
    EXPECT_EQ(std::string(text.begin(), text.end()), "0\n");
    EXPECT_TRUE(fs::exists(aus / "Meer" / "_ - Meer_001.m4b"));
    ArbeitsOrdnerSauber();
}

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

TEST_F(Build, MetadataComesFromTheFirstTaggedFileInNaturalOrder) {
    Mp3Erzeugen(ein / "Kapitel 10.mp3", 3, {{"title", "Zehn"}, {"artist", "X"}, {"album", "Y"}});
    Mp3Erzeugen(ein / "Kapitel 2.mp3", 3,
                {{"title", "Zwei"}, {"artist", "Erika: M?"}, {"album", " Die/Reise "}});
    Mp3Erzeugen(ein / "Kapitel 1.mp3", 3);
    const TLauf lauf = Cli({"-y", "-o" + aus.string(), ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    const fs::path m4b = aus / "DieReise" / "Erika M - DieReise_001.m4b";
    ASSERT_TRUE(fs::exists(m4b)) << lauf.Err;
    EXPECT_EQ(Probe(m4b).at("tag:title"), "Zwei (001)");
}

TEST_F(Build, FilesNamedDirectlyKeepTheirOrder) {
    Mp3Erzeugen(ein / "a.mp3", 2, {{"title", "A"}});
    Mp3Erzeugen(ein / "b.mp3", 2, {{"title", "B"}});
    const TLauf lauf = Cli({"-yo", aus.string(), "-lX", (ein / "b.mp3").string(),
                            (ein / "a.mp3").string(), (ein / "b.mp3").string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    const std::vector<fs::path> m4b = Dateien(aus / "X", ".m4b");
    ASSERT_EQ(m4b.size(), 1U);
    EXPECT_EQ(Probe(m4b[0]).at("tag:title"), "B (001)");
    // The second b.mp3 is the same file and is taken once.
    EXPECT_NEAR(Dauer(m4b[0]), Dauer(ein / "a.mp3") + Dauer(ein / "b.mp3"), 1.0);
}

TEST_F(Build, SubfoldersOnlyWithRecursive) {
    Mp3Erzeugen(ein / "oben.mp3", 2);
    Mp3Erzeugen(ein / "Teil 2" / "unten.mp3", 2, {{"title", "Unten"}});
    TLauf lauf = Cli({"-y", "-o", aus.string(), "-l", "A", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    // No tag names a title: the folder does.
    EXPECT_EQ(Probe(aus / "A" / "_ - A_001.m4b").at("tag:title"), "ein (001)");
    lauf = Cli({"-y", "-r", "-o", aus.string(), "-l", "B", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_EQ(Probe(aus / "B" / "_ - B_001.m4b").at("tag:title"), "Unten (001)");
}

TEST_F(Build, CopyOptionLeavesThePartsBesideTheM4bFiles) {
    Mp3Erzeugen(ein / "1.mp3", 4);
    const TLauf lauf = Cli({"--yes", "--copy-mp3", "--output", aus.string(), "--author=Anna",
                            "--album", "Meer", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_TRUE(fs::exists(aus / "Meer" / "Anna - Meer_001.m4b"));
    EXPECT_TRUE(fs::exists(aus / "Meer" / "Anna - Meer_001.mp3"));
    ArbeitsOrdnerSauber();
}

TEST_F(Build, ManyPartsWithTitlesAndTracksInOrder) {
    // 75 minutes, one hour per part: two parts. The stand-in converts with a low AAC
    // bitrate so that the test stays quick; everything else is the real encoder.
    for (int i = 1; i <= 3; ++i) {
        Mp3Erzeugen(ein / ("Teil " + std::to_string(i) + ".mp3"), 25 * 60);
    }
    ffmpeg = Skript(
        "schnell", "last=\"\"; for a in \"$@\"; do last=$a; done\n"
                   "case $last in *.m4a)\n"
                   "  n=$#; i=0\n"
                   "  for a in \"$@\"; do i=$((i+1)); [ $i -lt $n ] && set -- \"$@\" \"$a\"; done\n"
                   "  shift $n\n"
                   "  exec /usr/bin/ffmpeg \"$@\" -b:a 8k -aac_coder fast \"$last\";;\n"
                   "esac\n"
                   "exec /usr/bin/ffmpeg \"$@\"");
    const TLauf lauf = Cli({"-y", "-s", "1", "-o", aus.string(), "-a", "Anna", "-t", "Reise", "-l",
                            "Meer", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_NE(lauf.Out.find("Erstellte M4B-Dateien: 2 (Dauer: 01:1"), std::string::npos)
        << lauf.Out;
    const std::vector<fs::path> teile = Dateien(aus / "Meer", ".m4b");
    ASSERT_EQ(teile.size(), 2U);
    double summe = 0;
    for (std::size_t i = 0; i < teile.size(); ++i) {
        const std::string nummer = "00" + std::to_string(i + 1);
        EXPECT_EQ(teile[i].filename(), "Anna - Meer_" + nummer + ".m4b");
        const TTags tags = Probe(teile[i]);
        EXPECT_EQ(tags.at("tag:title"), "Reise (" + nummer + ")");
        EXPECT_EQ(tags.at("tag:track"), std::to_string(i + 1) + "/2");
        EXPECT_EQ(tags.at("tag:genre"), "Hörbuch");
        const double dauer = std::atof(tags.at("duration").c_str());
        // Parts of about equal length, the last at least 97 % of the others.
        EXPECT_NEAR(dauer, 75 * 60 / 2.0, 60.0);
        summe += dauer;
    }
    double eingabe = 0;
    for (int i = 1; i <= 3; ++i) {
        eingabe += Dauer(ein / ("Teil " + std::to_string(i) + ".mp3"));
    }
    EXPECT_NEAR(summe, eingabe, 1.0 * static_cast<double>(teile.size()));
    ArbeitsOrdnerSauber();
}

TEST_F(Build, ANonEmptyAudiobookFolderIsKeptWithoutATerminal) {
    Mp3Erzeugen(ein / "1.mp3", 2);
    fs::create_directories(aus / "Meer");
    test::WriteFileBytes(aus / "Meer" / "alt.m4b", {1, 2, 3});
    TLauf lauf = Cli({"-o", aus.string(), "-l", "Meer", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_NE(lauf.Err.find("Soll der Hörbuchordner \"" + (aus / "Meer").string() +
                            "/\" geleert werden?\nAntwort: Nein"),
              std::string::npos)
        << lauf.Err;
    EXPECT_TRUE(fs::exists(aus / "Meer" / "alt.m4b"));
    EXPECT_TRUE(fs::exists(aus / "Meer" / "_ - Meer_001.m4b"));

    lauf = Cli({"--yes", "-o", aus.string(), "-l", "Meer", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_NE(lauf.Err.find("geleert werden?\nAntwort: Ja"), std::string::npos) << lauf.Err;
    EXPECT_FALSE(fs::exists(aus / "Meer" / "alt.m4b"));
    EXPECT_TRUE(fs::exists(aus / "Meer" / "_ - Meer_001.m4b"));
}

TEST_F(Build, AFaultyFileIsSkippedOnlyWhenAnsweredJa) {
    Mp3Erzeugen(ein / "1.mp3", 2);
    test::WriteFileBytes(ein / "2.mp3", std::vector<std::uint8_t>(3000, 'x'));
    const std::string frage = "Folgende MP3-Datei ist fehlerhaft und wird nicht hinzugefügt:\n\"" +
                              (ein / "2.mp3").string() +
                              "\"\nGrund: Keine gültigen MP3-Audiodaten gefunden\nSoll "
                              "trotzdem weiter hinzugefügt werden?";
    TLauf lauf = Cli({"-o", aus.string(), "-l", "Meer", ein.string()});
    EXPECT_EQ(lauf.Status, 1);
    EXPECT_NE(lauf.Err.find(frage + "\nAntwort: Nein"), std::string::npos) << lauf.Err;
    EXPECT_FALSE(fs::exists(aus / "Meer"));

    lauf = Cli({"-y", "-o", aus.string(), "-l", "Meer", ein.string()});
    EXPECT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_NE(lauf.Err.find(frage), std::string::npos);
}

TEST_F(Build, AFolderWithoutMp3FilesFails) {
    fs::create_directories(ein);
    const TLauf lauf = Cli({"-y", "-o", aus.string(), ein.string()});
    EXPECT_EQ(lauf.Status, 1);
    EXPECT_NE(lauf.Err.find("keine MP3-Dateien gefunden"), std::string::npos);
    EXPECT_FALSE(fs::exists(aus));
}

TEST_F(Build, AMissingEncoderIsReported) {
    Mp3Erzeugen(ein / "1.mp3", 2);
    ffmpeg = (dir / "Encoder" / "ffmpeg").string();
    const TLauf lauf = Cli({"-y", "-o", aus.string(), "-l", "Meer", ein.string()});
    EXPECT_EQ(lauf.Status, 1);
    EXPECT_NE(lauf.Err.find("Die Anwendung \"" + ffmpeg +
                            "\" existiert nicht!\nDie Konvertierung wird abgebrochen!"),
              std::string::npos)
        << lauf.Err;
    EXPECT_TRUE(lauf.Out.empty());
    EXPECT_FALSE(fs::exists(aus / "Meer"));
    ArbeitsOrdnerSauber();
}

TEST_F(Build, AFailingEncoderStopsTheConversion) {
    Mp3Erzeugen(ein / "1.mp3", 2);
    ffmpeg = Skript("kaputt", "echo 'Unknown encoder' >&2\nexit 1");
    const TLauf lauf = Cli({"-y", "-o", aus.string(), "-a", "Anna", "-l", "Meer", ein.string()});
    EXPECT_EQ(lauf.Status, 1);
    EXPECT_NE(lauf.Err.find("Die Datei \"" + (cache / "lorvane" / "Anna - Meer_001.mp3").string() +
                            "\" konnte nicht konvertiert werden!\nDie M4B-Erstellung wird "
                            "abgebrochen!"),
              std::string::npos)
        << lauf.Err;
    EXPECT_TRUE(Dateien(aus / "Meer", ".m4b").empty());
    ArbeitsOrdnerSauber();
}

TEST_F(Build, AFailingEncoderStopsTheReEncoding) {
    const std::vector<fs::path> kapitel = KapitelMitFormatmix();
    ffmpeg = Skript("kaputt", "exit 1");
    const TLauf lauf = Cli({"-y", "-o", aus.string(), "-l", "Meer", ein.string()});
    EXPECT_EQ(lauf.Status, 1);
    EXPECT_NE(lauf.Err.find("Die Datei \"" + kapitel[1].string() +
                            "\" konnte nicht bearbeitet werden!\nDie MP3-Bearbeitung wird "
                            "abgebrochen!"),
              std::string::npos)
        << lauf.Err;
    ArbeitsOrdnerSauber();
}

TEST_F(Build, APartThatCannotBeCreatedIsReported) {
    Mp3Erzeugen(ein / "1.mp3", 2);
    // A folder under the part's name: the part file cannot be made.
    const fs::path teil = cache / "lorvane" / "Anna - Meer_001.mp3";
    fs::create_directories(teil);
    const TLauf lauf = Cli({"-y", "-o", aus.string(), "-a", "Anna", "-l", "Meer", ein.string()});
    EXPECT_EQ(lauf.Status, 1);
    EXPECT_NE(lauf.Err.find("Die Datei \"" + teil.string() +
                            "\" konnte nicht erstellt werden!\nDie M4B-Erstellung wird "
                            "abgebrochen!"),
              std::string::npos)
        << lauf.Err;
    fs::remove(teil);
    ArbeitsOrdnerSauber();
}

TEST_F(Build, NamesFullOfSpacesQuotesUmlautsAndDashes) {
    const fs::path ordner = ein / "-- \"Ä\" 'ö' $x";
    const fs::path datei = ordner / "-1 \"ü\" 'ß'.mp3";
    Mp3Erzeugen(datei, 3);
    Mp3Erzeugen(ordner / "-2 \\ $(echo).mp3", 2, {}, 16);
    const auto vorher = test::ReadFileBytes(datei);
    const fs::path ausgabe = dir / "-aus gabe";
    const TLauf lauf = Cli({"-y", "-o", ausgabe.string(), "-a", "-Jürgen \"J\" O'Neil", "-t",
                            "-Titel", "-l", "-Märchen 'A'", "--", ordner.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    const fs::path m4b = ausgabe / "-Märchen 'A'" / "-Jürgen J O'Neil - -Märchen 'A'_001.m4b";
    ASSERT_TRUE(fs::exists(m4b)) << lauf.Err;
    const TTags tags = Probe(m4b);
    EXPECT_EQ(tags.at("tag:artist"), "-Jürgen J O'Neil");
    EXPECT_EQ(tags.at("tag:title"), "-Titel (001)");
    EXPECT_EQ(test::ReadFileBytes(datei), vorher);
    ArbeitsOrdnerSauber();
}

TEST_F(Build, ASecondJobWorksInAFolderOfItsOwn) {
    Mp3Erzeugen(ein / "1.mp3", 2);
    const fs::path arbeit = cache / "lorvane";
    fs::create_directories(arbeit);
    // flock(1) holds the default working folder, as a running job would.
    std::string befehl = "flock -o " + test::ShellQuote(arbeit.string()) + " " + Umgebung(ffmpeg) +
                         test::ShellQuote(LORVANE_CLI_PATH) + " build -y -o " +
                         test::ShellQuote(aus.string()) + " -l Meer " +
                         test::ShellQuote(ein.string());
    std::string err;
    ASSERT_EQ(test::RunCommand(befehl, nullptr, &err), 0) << err;
    EXPECT_TRUE(fs::exists(aus / "Meer" / "_ - Meer_001.m4b"));
    // Its own folder went with it; the default one was never cleared or removed.
    std::error_code ec;
    std::vector<fs::path> rest;
    for (fs::directory_iterator it(arbeit, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        rest.push_back(it->path());
    }
    EXPECT_TRUE(rest.empty());
    EXPECT_TRUE(fs::is_directory(arbeit));
}

// Starts the command in the background with its output in files; returns its id.
pid_t Starten(const std::vector<std::string>& args, const std::vector<std::string>& umgebung,
              const fs::path& err) {
    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    posix_spawn_file_actions_addopen(&aktionen, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&aktionen, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&aktionen, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<std::string> alle = umgebung;
    for (char** e = environ; *e != nullptr; ++e) {
        alle.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (const std::string& eintrag : alle) {
        envp.push_back(const_cast<char*>(eintrag.c_str()));
    }
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int fehler =
        posix_spawn(&pid, args[0].c_str(), &aktionen, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&aktionen);
    return fehler == 0 ? pid : -1;
}

TEST_F(Build, CtrlCDuringAConversionStopsTheEncoderAndEndsWith130) {
    const fs::path datei = ein / "lang.mp3";
    Mp3Erzeugen(datei, 120);
    const auto vorher = test::ReadFileBytes(datei);
    // Converts in real time: two minutes unless it is stopped.
    ffmpeg = Skript("langsam", "exec /usr/bin/ffmpeg -re \"$@\"");
    const fs::path err = dir / "err";
    const pid_t pid = Starten(
        {LORVANE_CLI_PATH, "build", "-y", "-o", aus.string(), "-a", "Anna", "-l", "Meer",
         ein.string()},
        {"HOME=" + home.string(), "XDG_CACHE_HOME=" + cache.string(), "LORVANE_FFMPEG=" + ffmpeg},
        err);
    ASSERT_GT(pid, 0);
    const fs::path m4a = aus / "Meer" / "Anna - Meer_001.m4a";
    const auto frist = std::chrono::steady_clock::now() + 60s;
    while (!fs::exists(m4a) && std::chrono::steady_clock::now() < frist) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(fs::exists(m4a)) << "the conversion never started";
    // Let the encoder get going.
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(::kill(pid, SIGINT), 0);
    // The conversion alone would take two minutes: ending within one shows that the
    // encoder was stopped.
    const auto gesendet = std::chrono::steady_clock::now();
    int status = 0;
    pid_t fertig = 0;
    while ((fertig = ::waitpid(pid, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < gesendet + 60s) {
        std::this_thread::sleep_for(20ms);
    }
    if (fertig == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        FAIL() << "the command did not end after Ctrl+C";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    const std::vector<std::uint8_t> text = test::ReadFileBytes(err);
    const std::string meldungen(text.begin(), text.end());
    EXPECT_NE(meldungen.find("Wird beendet (ein zweites Strg+C beendet laufende Encoder sofort)"),
              std::string::npos)
        << meldungen;
    // The part of minutes that the encoder wrote on its "q" is no audiobook part.
    EXPECT_TRUE(Dateien(aus / "Meer", ".m4b").empty());
    EXPECT_FALSE(fs::exists(m4a));
    EXPECT_NE(meldungen.find("Es ist keine vollständige M4B-Datei entstanden."), std::string::npos)
        << meldungen;
    EXPECT_EQ(test::ReadFileBytes(datei), vorher);
    ArbeitsOrdnerSauber();
}

// Waits for the command to end; kills it after the time limit. Its wait status, or
// -1 when it had to be killed.
int AufEndeWarten(pid_t pid, std::chrono::seconds frist) {
    const auto ende = std::chrono::steady_clock::now() + frist;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= ende) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(20ms);
    }
    return status;
}

// Waits until the file holds a line; its text without the line break.
std::string ZeileAbwarten(const fs::path& datei, const std::string& teil = "") {
    const auto frist = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < frist) {
        std::error_code ec;
        if (fs::exists(datei, ec)) {
            const auto bytes = test::ReadFileBytes(datei);
            const std::string text(bytes.begin(), bytes.end());
            if (!text.empty() && text.back() == '\n' && text.find(teil) != std::string::npos) {
                return text.substr(0, text.size() - 1);
            }
        }
        std::this_thread::sleep_for(20ms);
    }
    return {};
}

class BuildSignale : public Build {
protected:
    // A stand-in encoder that writes its process id and then runs the body.
    void EncoderMitKennung(const std::string& body) {
        ffmpeg = Skript("encoder", "echo $$ > " + test::ShellQuote(kennung.string()) + "\n" + body);
    }

    pid_t Starten() {
        Mp3Erzeugen(ein / "1.mp3", 2);
        return ::lorvane::Starten(
            {LORVANE_CLI_PATH, "build", "-y", "-o", aus.string(), "-l", "Meer", ein.string()},
            {"HOME=" + home.string(), "XDG_CACHE_HOME=" + cache.string(),
             "LORVANE_FFMPEG=" + ffmpeg},
            err);
    }

    // The encoder's process id once it runs.
    pid_t EncoderAbwarten() {
        return static_cast<pid_t>(std::atoi(ZeileAbwarten(kennung).c_str()));
    }

    std::string Meldungen() const {
        const auto text = test::ReadFileBytes(err);
        return {text.begin(), text.end()};
    }

    // The encoder is gone: ended and reaped, not left running.
    static void EncoderBeendet(pid_t encoder) {
        EXPECT_EQ(::kill(encoder, 0), -1) << "the encoder was left running";
        if (::kill(encoder, 0) == 0) {
            ::kill(encoder, SIGKILL);
        }
    }

    fs::path kennung = dir / "kennung";
    fs::path err = dir / "err";
};

TEST_F(BuildSignale, ASecondSignalKillsAnEncoderThatIgnoresQ) {
    // Reads no "q" and ignores the polite signals.
    EncoderMitKennung("trap '' INT TERM HUP\nwhile :; do sleep 0.05; done");
    const pid_t pid = Starten();
    ASSERT_GT(pid, 0);
    const pid_t encoder = EncoderAbwarten();
    ASSERT_GT(encoder, 0) << Meldungen();
    ASSERT_EQ(::kill(pid, SIGINT), 0);
    ASSERT_FALSE(ZeileAbwarten(err, "Wird beendet").empty()) << Meldungen();
    // The cancel alone cannot end this encoder.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), 0);
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    const int status = AufEndeWarten(pid, 60s);
    ASSERT_NE(status, -1) << "the command did not end after the second signal\n" << Meldungen();
    ASSERT_TRUE(WIFEXITED(status)) << Meldungen();
    EXPECT_EQ(WEXITSTATUS(status), 143);
    EncoderBeendet(encoder);
    EXPECT_TRUE(Dateien(aus / "Meer", ".m4b").empty());
    ArbeitsOrdnerSauber();
}

TEST_F(BuildSignale, AHangUpCancelsLikeCtrlCAndEndsWith129) {
    // Ends when it reads the "q".
    EncoderMitKennung("trap '' INT TERM HUP\nhead -c 1 > /dev/null");
    const pid_t pid = Starten();
    ASSERT_GT(pid, 0);
    const pid_t encoder = EncoderAbwarten();
    ASSERT_GT(encoder, 0) << Meldungen();
    ASSERT_EQ(::kill(pid, SIGHUP), 0);
    const int status = AufEndeWarten(pid, 60s);
    ASSERT_NE(status, -1) << Meldungen();
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself, without cleanup";
    EXPECT_EQ(WEXITSTATUS(status), 129);
    EXPECT_NE(Meldungen().find("Wird beendet"), std::string::npos) << Meldungen();
    EncoderBeendet(encoder);
    ArbeitsOrdnerSauber();
}

// Ended and gone, or a zombie that only waits for its new parent to reap it.
bool ProzessBeendet(pid_t pid) {
    if (::kill(pid, 0) != 0 && errno == ESRCH) {
        return true;
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(stat, text);
    const std::size_t name = text.rfind(')');
    return !stat || (name != std::string::npos && text.compare(name, 3, ") Z") == 0);
}

TEST_F(BuildSignale, ACommandKilledOutrightTakesItsEncoderWithIt) {
    EncoderMitKennung("exec sleep 60");
    const pid_t pid = Starten();
    ASSERT_GT(pid, 0);
    const pid_t encoder = EncoderAbwarten();
    ASSERT_GT(encoder, 0) << Meldungen();
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    const auto frist = std::chrono::steady_clock::now() + 10s;
    while (!ProzessBeendet(encoder) && std::chrono::steady_clock::now() < frist) {
        std::this_thread::sleep_for(20ms);
    }
    const bool beendet = ProzessBeendet(encoder);
    if (!beendet) {
        ::kill(encoder, SIGKILL);
    }
    EXPECT_TRUE(beendet) << "the encoder outlived the command";
}

// One signal ends the job even when the encoder reads no "q" and ignores the polite
// signals: after a grace period its whole process group is killed, what it started too.
TEST_F(BuildSignale, OneSignalEndsAnEncoderThatIgnoresEverythingAndItsChildren) {
    const fs::path kindKennung = dir / "kind";
    EncoderMitKennung("trap '' INT TERM HUP\nsleep 600 &\necho $! > " +
                      test::ShellQuote(kindKennung.string()) + "\nwhile :; do sleep 0.05; done");
    const pid_t pid = Starten();
    ASSERT_GT(pid, 0);
    const pid_t encoder = EncoderAbwarten();
    ASSERT_GT(encoder, 0) << Meldungen();
    const auto kind = static_cast<pid_t>(std::atoi(ZeileAbwarten(kindKennung).c_str()));
    ASSERT_GT(kind, 0);
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    const int status = AufEndeWarten(pid, 60s);
    ASSERT_NE(status, -1) << "one signal did not end the command\n" << Meldungen();
    ASSERT_TRUE(WIFEXITED(status)) << Meldungen();
    EXPECT_EQ(WEXITSTATUS(status), 143);
    for (const pid_t prozess : {encoder, kind}) {
        const auto frist = std::chrono::steady_clock::now() + 10s;
        while (!ProzessBeendet(prozess) && std::chrono::steady_clock::now() < frist) {
            std::this_thread::sleep_for(20ms);
        }
        EXPECT_TRUE(ProzessBeendet(prozess)) << prozess << " outlived the command";
        if (!ProzessBeendet(prozess)) {
            ::kill(prozess, SIGKILL);
        }
    }
    ArbeitsOrdnerSauber();
}

// Two jobs for one audiobook folder: the second touches nothing and says why; the
// first finishes as if alone.
TEST_F(BuildSignale, ASecondJobForTheSameAudiobookFolderStopsAtItsStart) {
    const std::string echt = ffmpeg;
    const fs::path weiter = dir / "weiter";
    EncoderMitKennung("while [ ! -e " + test::ShellQuote(weiter.string()) +
                      " ]; do sleep 0.02; done\nexec /usr/bin/ffmpeg \"$@\"");
    const pid_t erster = Starten();
    ASSERT_GT(erster, 0);
    ASSERT_GT(EncoderAbwarten(), 0) << Meldungen();
    const fs::path m4a = aus / "Meer" / "_ - Meer_001.m4a";

    ffmpeg = echt;
    Mp3Erzeugen(dir / "zwei" / "2.mp3", 1);
    const TLauf zweiter = Cli({"-y", "-o", aus.string(), "-l", "Meer", (dir / "zwei").string()});
    EXPECT_EQ(zweiter.Status, 1) << zweiter.Err;
    EXPECT_NE(zweiter.Err.find("Der Hörbuchordner \"" + (aus / "Meer").string() +
                               "/\" wird gerade von einem anderen Auftrag benutzt!\nDie "
                               "Konvertierung wird abgebrochen!"),
              std::string::npos)
        << zweiter.Err;
    EXPECT_TRUE(fs::is_directory(aus / "Meer"));

    test::WriteFileBytes(weiter, {});
    const int status = AufEndeWarten(erster, 60s);
    ASSERT_TRUE(WIFEXITED(status)) << Meldungen();
    EXPECT_EQ(WEXITSTATUS(status), 0) << Meldungen();
    EXPECT_EQ(Dateien(aus / "Meer", ".m4b"),
              std::vector<fs::path>{aus / "Meer" / "_ - Meer_001.m4b"});
    EXPECT_FALSE(fs::exists(m4a));
    ArbeitsOrdnerSauber();
}

// The user's files beside old parts: the old parts are named without a terminal and
// deleted with --yes; everything else stays.
TEST_F(Build, TheAudiobookFolderLosesOnlyOldPartsAndNamesThem) {
    Mp3Erzeugen(ein / "1.mp3", 2, {{"title", "T"}, {"artist", "A"}, {"album", "Meer"}});
    const fs::path hoerbuch = aus / "Meer";
    fs::create_directories(hoerbuch);
    const std::vector<std::string> eigene = {"Notizen.md", "Film.mkv", "Vortrag.mp4",
                                             "Notizen.mit.Bild.txt"};
    for (const std::string& name : eigene) {
        test::WriteFileBytes(hoerbuch / name, {9});
    }
    test::WriteFileBytes(hoerbuch / "A - Meer_003.m4b", {3});
    test::WriteFileBytes(hoerbuch / "A - Meer_002.M4A", {2});

    TLauf lauf = Cli({"-o", aus.string(), ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_NE(lauf.Out.find("Hörbuchordner: " + hoerbuch.string() +
                            "/\n  A - Meer_001.m4b (1 Kapitel)\n"
                            "Nicht von diesem Auftrag, schon vorher im Hörbuchordner: 2\n"
                            "  A - Meer_002.M4A\n  A - Meer_003.m4b\n"),
              std::string::npos)
        << lauf.Out;

    lauf = Cli({"--yes", "-o", aus.string(), ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_EQ(lauf.Out.find("Nicht von diesem Auftrag"), std::string::npos) << lauf.Out;
    EXPECT_FALSE(fs::exists(hoerbuch / "A - Meer_003.m4b"));
    EXPECT_FALSE(fs::exists(hoerbuch / "A - Meer_002.M4A"));
    for (const std::string& name : eigene) {
        EXPECT_EQ(test::ReadFileBytes(hoerbuch / name), (std::vector<std::uint8_t>{9})) << name;
    }
}

// The working folder is cleared by jobs: an input there stops the command before
// anything is deleted, also in a folder of another job below it.
TEST_F(Build, AnInputInTheWorkingFolderIsRefusedAndKept) {
    const fs::path arbeit = cache / "lorvane";
    for (const fs::path& datei : {arbeit / "buch.mp3", arbeit / "Auftrag-x" / "buch.mp3"}) {
        Mp3Erzeugen(datei, 1);
        const auto vorher = test::ReadFileBytes(datei);
        const TLauf lauf = Cli({"-y", "-o", aus.string(), datei.string()});
        EXPECT_EQ(lauf.Status, 1) << lauf.Err;
        EXPECT_NE(lauf.Err.find("\" liegt im Ordner \""), std::string::npos) << lauf.Err;
        EXPECT_EQ(test::ReadFileBytes(datei), vorher) << datei;
        EXPECT_FALSE(fs::exists(aus));
    }
}

// Leftovers of an earlier run, scratch files of the tag writer among them, go with
// the next job.
TEST_F(Build, LeftoversInTheWorkingFolderGoWithTheNextJob) {
    const fs::path arbeit = cache / "lorvane";
    fs::create_directories(arbeit);
    for (const char* name : {"TagTemp.t00", "TagTemp.t1F", "_ - alt_001.mp3"}) {
        test::WriteFileBytes(arbeit / name, {1});
    }
    Mp3Erzeugen(ein / "1.mp3", 1);
    const TLauf lauf = Cli({"-y", "-o", aus.string(), "-l", "Meer", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    ArbeitsOrdnerSauber();
}

// Untagged books must not all land in "_": title and album follow the folder.
TEST_F(Build, WithoutTagsTitleAndAlbumComeFromTheFolder) {
    const fs::path ordner = ein / "Die Reise: Teil 1";
    Mp3Erzeugen(ordner / "1.mp3", 1);
    const TLauf lauf = Cli({"-y", "-o", aus.string(), ordner.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_NE(lauf.Err.find("Kein Tag nennt Titel und Album: Es gilt der Ordnername \"Die Reise "
                            "Teil 1\"."),
              std::string::npos)
        << lauf.Err;
    const fs::path m4b = aus / "Die Reise Teil 1" / "_ - Die Reise Teil 1_001.m4b";
    ASSERT_TRUE(fs::exists(m4b)) << lauf.Out;
    EXPECT_EQ(Probe(m4b).at("tag:title"), "Die Reise Teil 1 (001)");
    // An option or a tag keeps its say.
    const TLauf mitAlbum =
        Cli({"-y", "-o", aus.string(), "-l", "Meer", (ordner / "1.mp3").string()});
    ASSERT_EQ(mitAlbum.Status, 0) << mitAlbum.Err;
    EXPECT_NE(mitAlbum.Err.find("Kein Tag nennt Titel: Es gilt der Ordnername"), std::string::npos)
        << mitAlbum.Err;
    EXPECT_TRUE(fs::exists(aus / "Meer" / "_ - Meer_001.m4b"));
}

// An MP3 without the usual extension in a minority format is re-encoded to a copy that
// ends in ".mp3"; names too long for one file name are shortened, number kept.
TEST_F(Build, OddExtensionsAndOverlongNamesStillMakeTheBook) {
    Mp3Erzeugen(ein / "1.mp3", 2);
    Mp3Erzeugen(ein / "x.mp3", 2, {}, 16, 11025);
    fs::rename(ein / "x.mp3", ein / "2.bit");
    const std::string autor(200, 'a');
    const std::string album(100, 'b');
    const TLauf lauf = Cli({"-y", "-o", aus.string(), "-a", autor, "-l", album,
                            (ein / "1.mp3").string(), (ein / "2.bit").string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    const std::vector<fs::path> m4b = Dateien(aus / album, ".m4b");
    ASSERT_EQ(m4b.size(), 1U) << lauf.Out;
    const std::string name = m4b[0].filename().string();
    EXPECT_EQ(name.size(), 255U);
    EXPECT_EQ(name.substr(name.size() - 8), "_001.m4b");
    EXPECT_NEAR(Dauer(m4b[0]), 4.0, 0.5);
    ArbeitsOrdnerSauber();
}

// Where the tone of a frequency begins in a decoded file, in seconds; -1 when never.
double TonBeginn(const fs::path& datei, int frequenz) {
    std::string err;
    test::RunCommand("ffmpeg -nostdin -i " + test::ShellQuote(datei.string()) +
                         " -af bandpass=f=" + std::to_string(frequenz) +
                         ":width_type=q:w=20,silencedetect=n=-35dB:d=0.05 -f null -",
                     nullptr, &err);
    const std::size_t stelle = err.find("silence_end: ");
    return stelle == std::string::npos ? -1 : std::atof(err.c_str() + stelle + 13);
}

// A book of tone chapters (LAME files with their Info frames, one tone per file): one
// chapter per file, named by its title or else its file name, each starting where its
// tone does in the decoded M4B, without drift towards the end.
TEST_F(Build, EachFileIsAChapterWhereItsAudioBegins) {
    const struct {
        int Frequenz;
        double Sekunden;
        const char* Titel;
    } dateien[] = {{300, 3.3, "Erster"}, {700, 2.7, ""}, {1300, 4.1, "Dritter = #1; \\ Teil"}};
    for (std::size_t i = 0; i < std::size(dateien); ++i) {
        std::string befehl = "ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=" +
                             std::to_string(dateien[i].Frequenz) +
                             ":sample_rate=22050:duration=" + std::to_string(dateien[i].Sekunden) +
                             " -ac 1 -c:a libmp3lame -b:a 32k";
        if (*dateien[i].Titel != 0) {
            befehl += " -metadata " + test::ShellQuote(std::string("title=") + dateien[i].Titel);
        }
        fs::create_directories(ein);
        befehl +=
            " " + test::ShellQuote((ein / ("Kap " + std::to_string(i + 1) + ".mp3")).string());
        ASSERT_EQ(test::RunCommand(befehl), 0) << befehl;
    }
    const TLauf lauf = Cli({"-y", "-o", aus.string(), "-l", "Ton", ein.string()});
    ASSERT_EQ(lauf.Status, 0) << lauf.Err;
    EXPECT_NE(lauf.Out.find("_ - Ton_001.m4b (3 Kapitel)\n"), std::string::npos) << lauf.Out;
    const fs::path m4b = aus / "Ton" / "_ - Ton_001.m4b";
    std::string kapitel;
    ASSERT_EQ(
        test::RunCommand("ffprobe -v error -show_entries chapter=start_time:chapter_tags=title "
                         "-of default=noprint_wrappers=1 " +
                             test::ShellQuote(m4b.string()),
                         &kapitel),
        0);
    std::istringstream zeilen(kapitel);
    std::vector<std::pair<double, std::string>> gelesen;
    for (std::string zeile; std::getline(zeilen, zeile);) {
        if (zeile.rfind("start_time=", 0) == 0) {
            gelesen.emplace_back(std::atof(zeile.c_str() + 11), "");
        } else if (zeile.rfind("TAG:title=", 0) == 0 && !gelesen.empty()) {
            gelesen.back().second = zeile.substr(10);
        }
    }
    ASSERT_EQ(gelesen.size(), 3U) << kapitel;
    EXPECT_EQ(gelesen[0].second, "Erster");
    EXPECT_EQ(gelesen[1].second, "Kap 2");
    EXPECT_EQ(gelesen[2].second, "Dritter = #1; \\ Teil");
    EXPECT_EQ(gelesen[0].first, 0.0);
    for (std::size_t i = 1; i < std::size(dateien); ++i) {
        EXPECT_NEAR(gelesen[i].first, TonBeginn(m4b, dateien[i].Frequenz), 0.030) << i;
    }
}

// A stand-in encoder whose disk is full while it writes its index: it says so, leaves a
// cut-off file and still ends with success, as the real one does. No part is made, and
// the message says which file and why.
TEST_F(Build, AFullDiskIsNamedAsTheReason) {
    Mp3Erzeugen(ein / "1.mp3", 1);
    ffmpeg = Skript("voll", "for e; do :; done\nhead -c 100 \"$3\" > \"$e\"\n"
                            "printf 'Error writing trailer of %s: No space left on device\\n' "
                            "\"$e\" >&2\nprintf 'Error closing file %s: No space left on "
                            "device\\n' \"$e\" >&2\nexit 0");
    const TLauf lauf = Cli({"-y", "-o", aus.string(), "-l", "Meer", ein.string()});
    EXPECT_EQ(lauf.Status, 1);
    EXPECT_NE(lauf.Err.find("konnte nicht konvertiert werden!\nDie M4B-Erstellung wird "
                            "abgebrochen!\nGrund: Auf dem Datenträger ist kein Speicherplatz "
                            "mehr frei\nEs ist keine vollständige M4B-Datei entstanden."),
              std::string::npos)
        << lauf.Err;
    EXPECT_TRUE(Dateien(aus / "Meer", ".m4b").empty());
    EXPECT_TRUE(Dateien(aus / "Meer", ".m4a").empty());
    ArbeitsOrdnerSauber();
}

// The final lines are the result: an output that cannot take them is a failure.
TEST_F(Build, AnOutputThatCannotBeWrittenFails) {
    Mp3Erzeugen(ein / "1.mp3", 1);
    vorsatz = "exec >/dev/full; ";
    const TLauf lauf = Cli({"-y", "-o", aus.string(), "-l", "Meer", ein.string()});
    EXPECT_EQ(lauf.Status, 1) << lauf.Err;
    EXPECT_NE(lauf.Err.find("Die Ausgabe konnte nicht geschrieben werden"), std::string::npos)
        << lauf.Err;
}

// Folders that cannot be used and an output that cannot be written say why, in German;
// a working folder that is a link (here to the user's music) is neither emptied nor
// made private, also not a folder of an ended job where it leads.
TEST_F(Build, FolderAndOutputErrorsNameTheirReasonInGerman) {
    Mp3Erzeugen(ein / "1.mp3", 1);
    const fs::path musik = home / "Musik";
    const std::vector<fs::path> lieder = {musik / "Lied.mp3", musik / "Liste.m3u",
                                          musik / "Auftrag-alt" / "Hoerspiel.mp3"};
    for (const fs::path& lied : lieder) {
        fs::create_directories(lied.parent_path());
        test::WriteFileBytes(lied, {7});
    }
    const fs::perms modus = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;
    fs::permissions(musik, modus);
    const fs::path datei = dir / "datei";
    test::WriteFileBytes(datei, {1});
    const fs::path nurLesen = dir / "nurlesen";
    fs::create_directories(nurLesen);
    fs::permissions(nurLesen, fs::perms::owner_read | fs::perms::owner_exec);
    const std::string langesAlbum(300, 'x');
    const std::string abbruch = "!\nDie Konvertierung wird abgebrochen!";
    struct TFall {
        const char* Name;
        bool ArbeitsOrdnerAlsVerweis;
        std::string Vorsatz;
        std::vector<std::string> Args;
        std::string Meldung;
    };
    const std::vector<TFall> faelle = {
        {"working folder is a link",
         true,
         "",
         {"-y", "-o", aus.string(), "-l", "Meer", ein.string()},
         "Der Arbeitsordner \"" + (cache / "lorvane").string() +
             "/\" wird nicht benutzt, weil das Programm nur in einem eigenen Ordner Dateien "
             "löscht" +
             abbruch +
             "\nGrund: Der Ordner ist ein Verweis (symbolischer Link) auf einen "
             "anderen Ort\n"},
        {"album too long",
         false,
         "",
         {"-y", "-o", aus.string(), "-l", langesAlbum, ein.string()},
         "Der Ordner \"" + (aus / langesAlbum).string() + "/\" konnte nicht angelegt werden" +
             abbruch + "\nGrund: Der Name ist für das Dateisystem zu lang\n"},
        {"output folder is a file",
         false,
         "",
         {"-y", "-o", datei.string(), "-l", "Meer", ein.string()},
         "Der Ordner \"" + (datei / "Meer").string() + "/\" konnte nicht angelegt werden" +
             abbruch + "\nGrund: Ein Teil des Pfads ist kein Ordner\n"},
        {"read-only output folder",
         false,
         "",
         {"-y", "-o", nurLesen.string(), "-l", "Meer", ein.string()},
         "Der Ordner \"" + (nurLesen / "Meer").string() + "/\" konnte nicht angelegt werden" +
             abbruch + "\nGrund: Keine Berechtigung\n"},
        {"audiobook folder is the working folder",
         false,
         "",
         {"-y", "-o", cache.string(), "-l", "lorvane", ein.string()},
         "Der Hörbuchordner \"" + (cache / "lorvane").string() +
             "/\" darf nicht der Arbeitsordner sein" + abbruch + "\n"},
        {"full output",
         false,
         "exec >/dev/full; ",
         {"-y", "-o", aus.string(), "-l", "Meer", ein.string()},
         "lorvane-cli: Die Ausgabe konnte nicht geschrieben werden: Auf dem Datenträger ist kein "
         "Speicherplatz mehr frei\n"},
    };
    for (const TFall& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        // Root writes into read-only folders.
        if (fall.Args[2] == nurLesen.string() && ::geteuid() == 0) {
            continue;
        }
        if (fall.ArbeitsOrdnerAlsVerweis) {
            fs::create_directory_symlink(musik, cache / "lorvane");
        }
        vorsatz = fall.Vorsatz;
        const TLauf lauf = Cli(fall.Args);
        EXPECT_EQ(lauf.Status, 1) << lauf.Err;
        EXPECT_NE(lauf.Err.find(fall.Meldung), std::string::npos) << lauf.Err;
        EXPECT_EQ(lauf.Err.find("anderen Auftrag"), std::string::npos) << lauf.Err;
        if (fall.ArbeitsOrdnerAlsVerweis) {
            EXPECT_TRUE(fs::is_symlink(cache / "lorvane"));
            fs::remove(cache / "lorvane");
        }
    }
    for (const fs::path& lied : lieder) {
        EXPECT_EQ(test::ReadFileBytes(lied), (std::vector<std::uint8_t>{7})) << lied;
    }
    EXPECT_EQ(fs::status(musik).permissions(), modus);
    ArbeitsOrdnerSauber();
}

// Escape sequences and line breaks in file names reach neither the terminal nor a
// screen reader: every message and result line shows them as spaces.
TEST_F(Build, ControlCharactersInNamesNeverReachTheTerminal) {
    const std::string boese = "\x1b]0;Falsch\x07\x1b[2J\n\t";
    const std::string sichtbar = " ]0;Falsch  [2J  ";
    Mp3Erzeugen(ein / "1.mp3", 1);
    test::WriteFileBytes(ein / (boese + "kaputt.mp3"), std::vector<std::uint8_t>(64, 0));
    const fs::path ausgabe = dir / ("aus" + boese);
    fs::create_directories(ausgabe / "Meer");
    test::WriteFileBytes(ausgabe / "Meer" / (boese + "alt.m4b"), {1});
    struct TFall {
        const char* Name;
        std::vector<std::string> Args;
        int Status;
        std::string Err;
        std::string Out;
    };
    const std::vector<TFall> faelle = {
        {"missing input",
         {(ein / (boese + "fehlt.mp3")).string()},
         2,
         "Eingabe \"" + (ein / (sichtbar + "fehlt.mp3")).string() + "\" nicht vorhanden!\n",
         ""},
        {"faulty file and the audiobook folder",
         {"-y", "-o", aus.string(), "-l", "Meer", ein.string()},
         0,
         "Folgende MP3-Datei ist fehlerhaft und wird nicht hinzugefügt:\n\"" +
             (ein / (sichtbar + "kaputt.mp3")).string() + "\"\n",
         "Hörbuchordner: " + (aus / "Meer").string() + "/\n"},
        {"output folder and an old part",
         {"-o", ausgabe.string(), "-l", "Meer", (ein / "1.mp3").string()},
         0,
         "Soll der Hörbuchordner \"" + (dir / ("aus" + sichtbar) / "Meer").string() +
             "/\" geleert werden?\n",
         "Hörbuchordner: " + (dir / ("aus" + sichtbar) / "Meer").string() +
             "/\n  _ - Meer_001.m4b (1 Kapitel)\nNicht von diesem Auftrag, schon vorher im "
             "Hörbuchordner: 1\n "
             " " +
             sichtbar + "alt.m4b\n"},
    };
    for (const TFall& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        const TLauf lauf = Cli(fall.Args);
        EXPECT_EQ(lauf.Status, fall.Status) << lauf.Err;
        EXPECT_NE(lauf.Err.find(fall.Err), std::string::npos) << lauf.Err;
        EXPECT_NE(lauf.Out.find(fall.Out), std::string::npos) << lauf.Out;
        for (const std::string* text : {&lauf.Err, &lauf.Out}) {
            const auto steuer = std::find_if(text->begin(), text->end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x20 && c != '\n';
            });
            EXPECT_EQ(steuer, text->end()) << *text;
        }
    }
}

// With the error output in a log, the question goes to the terminal and waits there.
TEST_F(Build, QuestionsGoToTheTerminalWhenTheErrorOutputIsALog) {
    Mp3Erzeugen(ein / "1.mp3", 1);
    fs::create_directories(aus / "Meer");
    test::WriteFileBytes(aus / "Meer" / "alt.m4b", {1});
    const fs::path log = dir / "log";
    const std::string befehl = Umgebung(ffmpeg) + test::ShellQuote(LORVANE_CLI_PATH) +
                               " build -o " + test::ShellQuote(aus.string()) + " -l Meer " +
                               test::ShellQuote(ein.string()) + " 2>" +
                               test::ShellQuote(log.string());
    std::string bildschirm;
    const int status = test::RunCommand(
        "printf 'j\\n' | script -qec " + test::ShellQuote(befehl) + " /dev/null", &bildschirm);
    ASSERT_EQ(status, 0) << bildschirm;
    EXPECT_NE(bildschirm.find("Soll der Hörbuchordner"), std::string::npos) << bildschirm;
    EXPECT_NE(bildschirm.find("[j/n]"), std::string::npos) << bildschirm;
    const auto text = test::ReadFileBytes(log);
    const std::string protokoll(text.begin(), text.end());
    EXPECT_NE(protokoll.find("geleert werden?\nAntwort: Ja"), std::string::npos) << protokoll;
    EXPECT_FALSE(fs::exists(aus / "Meer" / "alt.m4b"));
}

} // namespace
} // namespace lorvane
