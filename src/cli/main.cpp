// lorvane-cli: the console front end. Dispatches to one command per verb.

#include "cli/BuildCommand.h"
#include "cli/InfoCommand.h"

#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kUsageError = 2;

constexpr const char* kUsage =
    "Aufruf: lorvane-cli info DATEI...\n"
    "        lorvane-cli build [OPTIONEN] EINGABE...\n"
    "        lorvane-cli --help\n"
    "\n"
    "  info DATEI...  analysiert MP3-Dateien: eine Kopfzeile, dann je Datei eine\n"
    "                 Zeile mit tabulatorgetrennten Werten\n"
    "  build EINGABE... erstellt ein Hörbuch (M4B-Dateien) aus Ordnern und\n"
    "                 MP3-Dateien; Optionen: lorvane-cli build --help\n"
    "  --help         zeigt diese Hilfe\n"
    "\n"
    "Exit-Status: 0 alle Dateien gültig, 1 mindestens eine ungültig, 2 Aufruffehler\n"
    "Exit-Status von build: 0 Hörbuch erstellt, 1 fehlgeschlagen oder abgebrochen,\n"
    "                 2 Aufruffehler, 130 mit Strg+C abgebrochen (129 SIGHUP,\n"
    "                 143 SIGTERM)\n";

int UsageError(const std::string& reason) {
    if (!reason.empty()) {
        std::cerr << "lorvane-cli: " << reason << "\n\n";
    }
    std::cerr << kUsage;
    return kUsageError;
}

int Dispatch(const std::vector<std::string>& args) {
    if (args.empty()) {
        return UsageError("kein Befehl angegeben");
    }
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "build") {
        return lorvane::cli::RunBuildCommand(rest, std::cout, std::cerr);
    }
    if (command == "info") {
        if (rest.empty()) {
            return UsageError("info braucht mindestens eine Datei");
        }
        return lorvane::cli::RunInfoCommand(rest, std::cout);
    }
    return UsageError("unbekannter Befehl \"" + command + "\"");
}

} // namespace

int main(int argc, char** argv) {
    // A closed output (a pager that quit, "| head") must not kill a job halfway and
    // leave its files behind: writes there just fail. Encoders start with the
    // default again.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return Dispatch(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "lorvane-cli: " << error.what() << '\n';
        return 1;
    }
}
