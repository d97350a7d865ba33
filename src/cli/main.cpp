// lorvane-cli: the console front end. Dispatches to one command per verb.

#include "cli/AusgabePruefen.h"
#include "cli/BuildCommand.h"
#include "cli/InfoCommand.h"

#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

namespace {

constexpr int kUsageError = 2;
constexpr int kOutputFailed = 1;

// From the project version in CMakeLists.txt.
constexpr const char* kVersion = "lorvane-cli " LORVANE_VERSION "\n";

constexpr const char* kUsage =
    "Aufruf: lorvane-cli info DATEI...\n"
    "        lorvane-cli build [OPTIONEN] EINGABE...\n"
    "        lorvane-cli --help\n"
    "        lorvane-cli --version\n"
    "\n"
    "  info DATEI...  analysiert MP3-Dateien: eine Kopfzeile, dann je Datei eine\n"
    "                 Zeile mit tabulatorgetrennten Werten; Optionen:\n"
    "                 lorvane-cli info --help\n"
    "  build EINGABE... erstellt ein Hörbuch (M4B-Dateien) aus Ordnern und\n"
    "                 MP3-Dateien; Optionen: lorvane-cli build --help\n"
    "  --help         zeigt diese Hilfe\n"
    "  --version      zeigt die Version\n"
    "\n"
    "Exit-Status: 0 alle Dateien gültig, 1 mindestens eine ungültig oder die\n"
    "                 Ausgabe nicht schreibbar, 2 Aufruffehler\n"
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

// The status of a command that wrote to standard output, or 1 when that failed.
int Checked(int status) {
    return lorvane::cli::AusgabePruefen(std::cout, std::cerr) ? status : kOutputFailed;
}

int Dispatch(const std::vector<std::string>& args) {
    if (args.empty()) {
        return UsageError("kein Befehl angegeben");
    }
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return Checked(0);
    }
    if (command == "--version") {
        std::cout << kVersion;
        return Checked(0);
    }
    if (command == "build") {
        return lorvane::cli::RunBuildCommand(rest, std::cout, std::cerr);
    }
    if (command == "info") {
        const auto parsed = lorvane::cli::InfoArgumenteLesen(rest);
        if (const std::string* reason = std::get_if<std::string>(&parsed)) {
            return UsageError(*reason);
        }
        const auto& call = std::get<lorvane::cli::TInfoAufruf>(parsed);
        if (call.Hilfe) {
            std::cout << lorvane::cli::InfoHilfe();
            return Checked(0);
        }
        return Checked(lorvane::cli::RunInfoCommand(call.Dateien, std::cout));
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
