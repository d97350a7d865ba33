// lorvane-cli build under signals: Ctrl+C, a second signal, a hang-up, a command
// killed outright, and two jobs for one audiobook folder. Stand-in encoders that
// ignore requests show that no encoder outlives the command.

#include "cli/BuildTestHilfen.h"

extern char** environ;

using namespace std::chrono_literals;

namespace lorvane {
namespace {

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

// Two encoders side by side, converting two parts or re-encoding two files in another
// format: a cancel while both run ends both (they ignore "q" and are killed after the
// grace period) and leaves no part, whole or cut. The exact size spares the stand-in
// the pause search.
TEST_F(BuildSignale, ACancelEndsBothEncodersRunningSideBySide) {
    const struct {
        const char* Name;
        std::vector<int> Sekunden;
        // Files in another format, at 16 kbit/s and 11025 Hz.
        std::vector<bool> Anders;
    } faelle[] = {
        // Two hours and four minutes: two parts of an hour.
        {"Teile", {7440}, {false}},
        {"Umkodierung", {5, 5, 5, 5, 5}, {false, true, false, true, false}},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        const fs::path quelle = dir / fall.Name;
        for (std::size_t i = 0; i < fall.Sekunden.size(); ++i) {
            Mp3Erzeugen(quelle / (std::to_string(i + 1) + ".mp3"), fall.Sekunden[i], {},
                        fall.Anders[i] ? 16 : 8, fall.Anders[i] ? 11025 : 8000);
        }
        const fs::path kennungen = dir / (std::string(fall.Name) + ".kennungen");
        ffmpeg =
            Skript("encoder", "trap '' INT\necho $$ >> " + test::ShellQuote(kennungen.string()) +
                                  "\nwhile :; do sleep 0.05; done");
        const pid_t pid =
            ::lorvane::Starten({LORVANE_CLI_PATH, "build", "-y", "-g", "-j", "2", "-s", "1", "-o",
                                aus.string(), "-l", fall.Name, quelle.string()},
                               {"HOME=" + home.string(), "XDG_CACHE_HOME=" + cache.string(),
                                "LORVANE_FFMPEG=" + ffmpeg},
                               err);
        ASSERT_GT(pid, 0);
        std::vector<std::string> encoder;
        const auto frist = std::chrono::steady_clock::now() + 60s;
        while (encoder.size() < 2 && std::chrono::steady_clock::now() < frist) {
            std::this_thread::sleep_for(20ms);
            std::error_code ec;
            if (fs::exists(kennungen, ec)) {
                const auto bytes = test::ReadFileBytes(kennungen);
                std::istringstream text(std::string(bytes.begin(), bytes.end()));
                encoder.clear();
                for (std::string zeile; std::getline(text, zeile);) {
                    encoder.push_back(zeile);
                }
            }
        }
        ASSERT_EQ(encoder.size(), 2U) << "the two encoders never ran together\n" << Meldungen();
        ASSERT_EQ(::kill(pid, SIGINT), 0);
        const int status = AufEndeWarten(pid, 60s);
        ASSERT_NE(status, -1) << Meldungen();
        ASSERT_TRUE(WIFEXITED(status)) << Meldungen();
        EXPECT_EQ(WEXITSTATUS(status), 130);
        for (const std::string& zeile : encoder) {
            const auto prozess = static_cast<pid_t>(std::atoi(zeile.c_str()));
            const auto ende = std::chrono::steady_clock::now() + 10s;
            while (!ProzessBeendet(prozess) && std::chrono::steady_clock::now() < ende) {
                std::this_thread::sleep_for(20ms);
            }
            EXPECT_TRUE(ProzessBeendet(prozess)) << prozess << " outlived the command";
        }
        EXPECT_TRUE(Dateien(aus / fall.Name, ".m4a").empty());
        EXPECT_TRUE(Dateien(aus / fall.Name, ".m4b").empty());
        ArbeitsOrdnerSauber();
    }
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

} // namespace
} // namespace lorvane
