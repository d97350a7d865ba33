// lorvane-cli build as a black box: arguments and environment in; exit status,
// output, the M4B files (checked with ffprobe) and the folders out. The encoder is
// the real ffmpeg; error paths use small stand-in scripts.

#include "cli/BuildTestHilfen.h"

using namespace std::chrono_literals;

namespace lorvane {
namespace {

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
            " -map_chapters 1 -map 0:a -af atrim=start_sample=1105,asetpts=PTS-STARTPTS -c:a aac "
            "-b:a 16k -ar 8000 -ac 1 -metadata media_type=2 "
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

// Two encoders side by side, the second fails at once: the job stops with its message;
// the first one's run ends its part whole, and no cut-off file is left.
TEST_F(Build, OneOfTwoEncodersFailingStopsTheJobWithItsMessage) {
    // Two hours and four minutes: two parts of an hour.
    Mp3Erzeugen(ein / "Lang.mp3", 7440);
    // The first run waits for the second to have failed: it passes only side by side.
    const std::string marke = test::ShellQuote((dir / "zwei-gescheitert").string());
    ffmpeg = Skript("halb", "for ergebnis; do :; done\n"
                            "case \"$ergebnis\" in *_002.m4a) touch " +
                                marke +
                                "; echo 'Teil zwei geht nicht' >&2; exit 1;; esac\n"
                                "i=0; while [ ! -e " +
                                marke +
                                " ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\n"
                                "[ -e " +
                                marke +
                                " ] || exit 3\nprintf '\\000\\000\\000\\010moov' > "
                                "\"$ergebnis\"\n");
    const TLauf lauf =
        Cli({"-y", "-g", "-j", "2", "-s", "1", "-o", aus.string(), "-l", "Lang", ein.string()});
    EXPECT_EQ(lauf.Status, 1);
    EXPECT_NE(lauf.Err.find("Die Datei \"" + (cache / "lorvane" / "_ - Lang_002.mp3").string() +
                            "\" konnte nicht konvertiert werden!\nDie M4B-Erstellung wird "
                            "abgebrochen!\nGrund: Teil zwei geht nicht"),
              std::string::npos)
        << lauf.Err;
    EXPECT_TRUE(Dateien(aus / "Lang", ".m4a").empty());
    EXPECT_EQ(Dateien(aus / "Lang", ".m4b"),
              std::vector<fs::path>{aus / "Lang" / "_ - Lang_001.m4b"});
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

} // namespace
} // namespace lorvane
