#include "engine/Titelbild.h"

#include <fstream>

namespace fs = std::filesystem;

namespace lorvane {

fs::path TitelbildDateiName(const fs::path& arbeitsOrdner) {
    return arbeitsOrdner / "Titelbild.mbild";
}

bool TitelbildSchreiben(const fs::path& datei, const std::optional<TID3v2Bild>& bild) {
    std::error_code ec;
    fs::remove(datei, ec);
    if (!bild) {
        return false;
    }
    {
        std::ofstream aus(datei, std::ios::binary | std::ios::trunc);
        aus.write(reinterpret_cast<const char*>(bild->Daten.data()),
                  static_cast<std::streamsize>(bild->Daten.size()));
        aus.close();
        if (aus) {
            return true;
        }
    }
    // A cut-off picture would fail the encoder: the parts go without one.
    fs::remove(datei, ec);
    return false;
}

} // namespace lorvane
