#include "cli/JobBericht.h"

#include "base/DatenC.h"
#include "cli/ConsoleFrontEnd.h"
#include "engine/auswahl/NatuerlicheReihenfolge.h"
#include "engine/ordner/Ordner.h"

#include <algorithm>
#include <ostream>

namespace fs = std::filesystem;

namespace lorvane::cli {

namespace {

std::string ErfolgsText(const TJobState& state) {
    return "Das Hörbuch \"" + state.Daten.Album + "\" von \"" + state.Daten.Autor +
           "\" wurde erfolgreich erstellt!\r\nErstellte M4B-Dateien: " +
           std::to_string(state.Daten.TeilNr.load()) +
           " (Dauer: " + DauerText(state.Daten.M4bDauer) + ")";
}

bool Vorhanden(const fs::path& datei) {
    std::error_code ec;
    return fs::is_regular_file(datei, ec);
}

void FremdeNennen(std::ostream& out, const TJobState& state) {
    const std::vector<fs::path> fremde = FremdeHoerbuchDateien(state);
    if (fremde.empty()) {
        return;
    }
    out << "Nicht von diesem Auftrag, schon vorher im Hörbuchordner: " << fremde.size() << "\n";
    for (const fs::path& datei : fremde) {
        out << "  " << CellText(datei.filename().string()) << "\n";
    }
}

} // namespace

std::vector<fs::path> FremdeHoerbuchDateien(const TJobState& state) {
    const std::vector<fs::path> fertige = state.Convert.FertigeDateien.Copy();
    std::vector<fs::path> fremde = HoerbuchDateien(state.Convert.HoerbuchOrdner);
    std::erase_if(fremde, [&fertige](const fs::path& datei) {
        return std::find(fertige.begin(), fertige.end(), datei) != fertige.end();
    });
    std::sort(fremde.begin(), fremde.end(), [](const fs::path& a, const fs::path& b) {
        return NatuerlichVor(a.filename().string(), b.filename().string());
    });
    return fremde;
}

std::vector<fs::path> FertigeM4bDateien(const TJobState& state) {
    std::vector<fs::path> m4b;
    for (const auto& [datei, kapitel] : state.FertigeKapitelInTeilfolge()) {
        m4b.push_back(datei);
    }
    return m4b;
}

bool ErfolgBerichten(std::ostream& out, const TJobState& state) {
    out << KonsolenText(ErfolgsText(state)) << "\n"
        << "Hörbuchordner: " << CellText(state.Convert.HoerbuchOrdner.string()) << "\n";
    bool alleDa = true;
    for (const auto& [datei, kapitel] : state.FertigeKapitelInTeilfolge()) {
        const bool da = Vorhanden(datei);
        alleDa = alleDa && da;
        out << (da ? "  " : "  FEHLT: ") << CellText(datei.filename().string()) << " (" << kapitel
            << " Kapitel)\n";
    }
    FremdeNennen(out, state);
    return alleDa;
}

std::string AbbruchBericht(const TJobState& state) {
    std::size_t vorhanden = 0;
    std::string liste;
    for (const fs::path& datei : FertigeM4bDateien(state)) {
        if (Vorhanden(datei)) {
            ++vorhanden;
            liste += "\r\n  " + datei.filename().string();
        }
    }
    if (vorhanden == 0) {
        return "Es ist keine vollständige M4B-Datei entstanden.";
    }
    return "Vollständige M4B-Dateien im Hörbuchordner \"" + state.Convert.HoerbuchOrdner.string() +
           "\": " + std::to_string(vorhanden) + liste;
}

} // namespace lorvane::cli
