#include "platform/sprache/ProzessListe.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace lorvane {

namespace {

bool NurZiffern(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string DateiLesen(const std::filesystem::path& pfad) {
    std::ifstream datei(pfad, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(datei), std::istreambuf_iterator<char>());
}

std::vector<std::string> ArgumenteTeilen(const std::string& roh) {
    std::vector<std::string> argumente;
    std::string::size_type anfang = 0;
    while (anfang < roh.size()) {
        auto ende = roh.find('\0', anfang);
        if (ende == std::string::npos) {
            ende = roh.size();
        }
        argumente.push_back(roh.substr(anfang, ende - anfang));
        anfang = ende + 1;
    }
    return argumente;
}

std::string Dateiname(const std::string& pfad) {
    const auto strich = pfad.find_last_of('/');
    return strich == std::string::npos ? pfad : pfad.substr(strich + 1);
}

} // namespace

TProcProzessListe::TProcProzessListe(std::filesystem::path wurzel) : fWurzel(std::move(wurzel)) {}

std::vector<TProzess> TProcProzessListe::Prozesse() {
    std::vector<TProzess> prozesse;
    std::error_code ec;
    std::filesystem::directory_iterator eintraege(fWurzel, ec);
    if (ec) {
        return prozesse;
    }
    for (const auto& eintrag : eintraege) {
        const std::filesystem::path ordner = eintrag.path();
        if (!NurZiffern(ordner.filename().string())) {
            continue;
        }
        struct stat info {};
        if (::stat(ordner.c_str(), &info) != 0) {
            continue;
        }
        TProzess prozess;
        prozess.Uid = info.st_uid;
        prozess.Name = DateiLesen(ordner / "comm");
        while (!prozess.Name.empty() && prozess.Name.back() == '\n') {
            prozess.Name.pop_back();
        }
        prozess.Argumente = ArgumenteTeilen(DateiLesen(ordner / "cmdline"));
        prozesse.push_back(std::move(prozess));
    }
    return prozesse;
}

bool ProgrammLaeuft(const std::vector<TProzess>& prozesse, uid_t uid, const std::string& programm) {
    return std::any_of(prozesse.begin(), prozesse.end(), [&](const TProzess& p) {
        if (p.Uid != uid) {
            return false;
        }
        if (p.Name == programm) {
            return true;
        }
        if (p.Argumente.empty()) {
            return false;
        }
        // "python3 /usr/bin/orca": the script is the second word, but only behind an
        // interpreter; "vim orca" is no screen reader.
        const std::string erstes = Dateiname(p.Argumente[0]);
        return erstes == programm || (erstes.rfind("python", 0) == 0 && p.Argumente.size() > 1 &&
                                      Dateiname(p.Argumente[1]) == programm);
    });
}

} // namespace lorvane
