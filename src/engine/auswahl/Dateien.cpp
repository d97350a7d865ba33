#include "engine/auswahl/Dateien.h"

#include "engine/auswahl/NatuerlicheReihenfolge.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace lorvane {

namespace {

std::string MitSchraegstrich(std::string pfad) {
    if (!pfad.empty() && pfad.back() != '/') {
        pfad += '/';
    }
    return pfad;
}

bool IstSichtbarerOrdner(const fs::directory_entry& eintrag) {
    const std::string name = eintrag.path().filename().string();
    if (name.empty() || name.front() == '.') {
        return false;
    }
    std::error_code ec;
    return eintrag.is_directory(ec);
}

bool OrdnerBenutzbar(const std::string& pfad) {
    std::error_code ec;
    return LaufwerkVerfuegbar(pfad) && fs::is_directory(pfad, ec);
}

} // namespace

std::string OrdnerNichtVorhanden(const std::string& pfad) {
    std::string text = "Ordner \"";
    text += pfad;
    text += "\" nicht vorhanden!";
    return text;
}

std::vector<std::string> SichtbareUnterordner(const std::string& ordner) {
    std::vector<std::string> namen;
    std::error_code ec;
    fs::directory_iterator it(ordner, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (IstSichtbarerOrdner(*it)) {
            namen.push_back(it->path().filename().string());
        }
    }
    std::sort(namen.begin(), namen.end(),
              [](const std::string& a, const std::string& b) { return NatuerlichVor(a, b); });
    return namen;
}

TDateien::TDateien(TLaufwerksQuelle laufwerke) : fLaufwerksQuelle(std::move(laufwerke)) {
    Restore();
}

std::optional<std::string> TDateien::SetPath(const std::string& pfad) {
    if (!pfad.empty() && !OrdnerBenutzbar(pfad)) {
        return OrdnerNichtVorhanden(pfad);
    }
    const std::string alt = fPath;
    fPath = MitSchraegstrich(pfad);
    if (auto fehler = Restore()) {
        fPath = alt;
        return fehler;
    }
    return std::nullopt;
}

std::optional<std::string> TDateien::Restore() {
    std::vector<TDateienRec> liste;
    if (fPath.empty()) {
        fLaufwerke = fLaufwerksQuelle ? fLaufwerksQuelle() : std::vector<TLaufwerk>{};
        for (const TLaufwerk& laufwerk : fLaufwerke) {
            liste.push_back(TDateienRec{laufwerk.Pfad, true});
        }
    } else {
        if (!OrdnerBenutzbar(fPath)) {
            return OrdnerNichtVorhanden(fPath);
        }
        for (std::string& name : SichtbareUnterordner(fPath)) {
            const bool unterordner = HatUnterordner(fPath + name);
            liste.push_back(TDateienRec{std::move(name), unterordner});
        }
    }
    fListe = std::move(liste);
    return std::nullopt;
}

TDateienRec TDateien::Liste(int i) const {
    return Gueltig(i) ? fListe[static_cast<std::size_t>(i)] : TDateienRec{};
}

std::string TDateien::PathUndOrdner(int i) const {
    if (!Gueltig(i)) {
        return {};
    }
    return MitSchraegstrich(fPath + fListe[static_cast<std::size_t>(i)].Name);
}

std::string TDateien::Anzeigename(int i) const {
    if (!Gueltig(i)) {
        return {};
    }
    const auto index = static_cast<std::size_t>(i);
    if (fPath.empty() && index < fLaufwerke.size()) {
        return LaufwerkAnzeigename(fLaufwerke[index]);
    }
    return fListe[index].Name;
}

bool TDateien::IstLaufwerksWurzel(const std::string& pfad) const {
    // Asked anew: a stick may have been mounted since the drives were listed.
    return fLaufwerksQuelle && lorvane::IstLaufwerksWurzel(pfad, fLaufwerksQuelle());
}

bool TDateien::HatUnterordner(const std::string& ordner) {
    if (!OrdnerBenutzbar(ordner)) {
        return false;
    }
    std::error_code ec;
    fs::directory_iterator it(MitSchraegstrich(ordner), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (IstSichtbarerOrdner(*it)) {
            return true;
        }
    }
    return false;
}

} // namespace lorvane
