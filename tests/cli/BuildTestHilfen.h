#pragma once
// What the tests of lorvane-cli build share: the command run as a black box with a
// home and cache of its own, ffprobe's view of a file and generated MP3 files.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace lorvane {

struct TLauf {
    int Status = -1;
    std::string Out;
    std::string Err;
};

using TTags = std::map<std::string, std::string>;

// ffprobe's view of a file: "duration", "sample_rate", "channels" and "TAG:..." keys.
inline TTags Probe(const fs::path& datei) {
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

inline double Dauer(const fs::path& datei) {
    const TTags werte = Probe(datei);
    const auto it = werte.find("duration");
    return it == werte.end() ? -1 : std::atof(it->second.c_str());
}

// A mono sine tone as MP3 at a low rate, so that long audio is made quickly.
inline void Mp3Erzeugen(const fs::path& datei, int sekunden, const TTags& tags = {}, int kbit = 8,
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

inline std::vector<fs::path> Dateien(const fs::path& ordner, const std::string& endung) {
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

} // namespace lorvane
