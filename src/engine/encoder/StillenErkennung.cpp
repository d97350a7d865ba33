#include "engine/encoder/StillenErkennung.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace lorvane {

namespace {

// The number after the key in the line, when the line has the key.
std::optional<double> WertNach(std::string_view zeile, std::string_view schluessel) {
    const std::size_t stelle = zeile.find(schluessel);
    if (stelle == std::string_view::npos) {
        return std::nullopt;
    }
    const char* anfang = zeile.data() + stelle + schluessel.size();
    const char* ende = zeile.data() + zeile.size();
    while (anfang < ende && *anfang == ' ') {
        ++anfang;
    }
    double wert = 0;
    const auto [rest, fehler] = std::from_chars(anfang, ende, wert);
    if (fehler != std::errc() || rest == anfang) {
        return std::nullopt;
    }
    return wert;
}

} // namespace

std::vector<TStille> StillenLesen(const std::vector<std::string>& zeilen, double fensterEnde) {
    std::vector<TStille> stillen;
    // A plain flag and value: GCC 12 at -O3 takes an optional's value for uninitialised.
    bool offen = false;
    double beginn = 0;
    for (const std::string& zeile : zeilen) {
        if (const std::optional<double> start = WertNach(zeile, "silence_start:")) {
            beginn = *start < 0 ? 0 : *start;
            offen = true;
        } else if (const std::optional<double> ende = WertNach(zeile, "silence_end:")) {
            if (offen) {
                stillen.push_back({beginn, *ende});
                offen = false;
            }
        }
    }
    if (offen && fensterEnde > beginn) {
        stillen.push_back({beginn, fensterEnde});
    }
    return stillen;
}

} // namespace lorvane
