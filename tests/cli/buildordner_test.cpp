// lorvane-cli build and its folders: the audiobook folder, the working folder, names
// the file system or the terminal do not take as they are, and the reasons it gives
// in German when a folder or an output cannot be used.

#include "cli/BuildTestHilfen.h"

using namespace std::chrono_literals;

namespace lorvane {
namespace {

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
