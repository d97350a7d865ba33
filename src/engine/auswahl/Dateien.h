#pragma once
// The model behind the folder list: either the drives (the drive level, empty path) or
// the visible subfolders of one folder, each with whether it has visible subfolders of
// its own. Names are kept as the file system spells them (bytes, not always UTF-8).

#include "engine/auswahl/Laufwerke.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lorvane {

struct TDateienRec {
    std::string Name;          // folder name, or the drive's path at the drive level
    bool UnterordnerS = false; // at least one visible subfolder; always true for a drive
    bool operator==(const TDateienRec&) const = default;
};

// Where the drive level comes from; tests pass their own drives.
using TLaufwerksQuelle = std::function<std::vector<TLaufwerk>()>;

// "Ordner \"<pfad>\" nicht vorhanden!"
std::string OrdnerNichtVorhanden(const std::string& pfad);

class TDateien {
public:
    // Starts at the drive level, listed at once.
    explicit TDateien(TLaufwerksQuelle laufwerke = Laufwerksliste);

    // Empty for the drive level, else a folder that exists; it is listed at once. On an
    // error the text for the user is returned and nothing changes.
    std::optional<std::string> SetPath(const std::string& pfad);
    // Lists the current folder (or the drives) again.
    std::optional<std::string> Restore();

    // The current folder with a trailing "/"; empty at the drive level.
    const std::string& Path() const { return fPath; }
    bool Laufwerksebene() const { return fPath.empty(); }
    int Count() const { return static_cast<int>(fListe.size()); }
    // A copy of entry i; an empty entry when i is out of range.
    TDateienRec Liste(int i) const;
    // Path + the entry's name + "/": at the drive level the drive's root.
    std::string PathUndOrdner(int i) const;
    // The row caption: the name, or "path [type]" at the drive level.
    std::string Anzeigename(int i) const;
    // Whether the path is one of the drives of the drive source.
    bool IstLaufwerksWurzel(const std::string& pfad) const;

    // The folder has a visible (not hidden) subfolder; links to folders count. The
    // listing stops at the first one. False for an empty path and on every error.
    static bool HatUnterordner(const std::string& ordner);

private:
    bool Gueltig(int i) const { return i >= 0 && i < Count(); }

    TLaufwerksQuelle fLaufwerksQuelle;
    std::string fPath;
    std::vector<TDateienRec> fListe;
    std::vector<TLaufwerk> fLaufwerke;
};

// The visible subfolders of a folder in natural order; empty when it cannot be listed.
std::vector<std::string> SichtbareUnterordner(const std::string& ordner);

} // namespace lorvane
