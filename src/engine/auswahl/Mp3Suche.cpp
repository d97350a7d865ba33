#include "engine/auswahl/Mp3Suche.h"

#include "base/FehlerGrund.h"

#include "base/DatenC.h"
#include "base/TextCodec.h"
#include "engine/auswahl/Laufwerke.h"
#include "engine/auswahl/NatuerlicheReihenfolge.h"
#include "engine/ordner/Ordner.h"

#include <algorithm>
#include <exception>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;

namespace lorvane {

namespace {

void NatuerlichSortieren(std::vector<std::string>& namen) {
    std::sort(namen.begin(), namen.end(),
              [](const std::string& a, const std::string& b) { return NatuerlichVor(a, b); });
}

// Every entry of the folder for which the test holds, by name.
template <typename TTest>
std::vector<std::string> NamenImOrdner(const fs::path& ordner, TTest passt) {
    std::vector<std::string> namen;
    if (ordner.empty()) {
        return namen;
    }
    std::error_code ec;
    fs::directory_iterator it(OhneTrenner(ordner), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (passt(*it, name)) {
            namen.push_back(std::move(name));
        }
    }
    NatuerlichSortieren(namen);
    return namen;
}

} // namespace

std::string FehlerhafteDateiFrage(const fs::path& datei, const std::string& grund) {
    std::string frage = "Folgende MP3-Datei ist fehlerhaft und wird nicht hinzugefügt:\r\n\"" +
                        datei.string() + "\"";
    if (!grund.empty()) {
        frage += "\r\nGrund: " + grund;
    }
    return frage + "\r\nSoll trotzdem weiter hinzugefügt werden?";
}

std::vector<std::string> Mp3DateienImOrdner(const fs::path& ordner) {
    return NamenImOrdner(ordner, [](const fs::directory_entry& eintrag, const std::string& name) {
        if (name.empty() || name.front() == '.' || !MaskePasst(name, "*.mp3")) {
            return false;
        }
        // Only plain files (also through a link): a FIFO or a device would block the
        // scan or never end.
        std::error_code ec;
        return eintrag.is_regular_file(ec);
    });
}

std::vector<std::string> UnterordnerImOrdner(const fs::path& ordner) {
    return NamenImOrdner(ordner, [](const fs::directory_entry& eintrag, const std::string&) {
        std::error_code ec;
        return eintrag.is_directory(ec);
    });
}

TMp3Suche::TMp3Suche(IFrontEnd& frontEnd, TJobState& state,
                     const std::vector<TDateiZeile>& vorhandeneZeilen)
    : fFrontEnd(frontEnd), fState(state) {
    fState.HinzufuegenGeoeffnet(vorhandeneZeilen.empty());
    fState.HinzufuegenScanGestartet(vorhandeneZeilen.empty());
    fMp3File.SetMpegScanMode(MPEG_SCAN_Complete);
    for (const TDateiZeile& zeile : vorhandeneZeilen) {
        fBekannt.insert(PfadSchluessel(zeile.Caption));
    }
}

std::int32_t TMp3Suche::AnzDateien() const {
    return fCancelS ? 0 : static_cast<std::int32_t>(fListe.size());
}

void TMp3Suche::DurchsucheOrdner(const fs::path& ordner) {
    const std::string pfad = MitTrenner(ordner).string();
    for (const std::string& name : Mp3DateienImOrdner(ordner)) {
        if (!WeiterSuchen()) {
            return;
        }
        KandidatPruefen(pfad + name);
    }
}

void TMp3Suche::DurchsucheOrdnerRekursiv(const fs::path& ordner) {
    if (!fRekursion.MountsGelesen) {
        fRekursion.PseudoGeraete = PseudoGeraete(MountinfoDesProzesses());
        fRekursion.MountsGelesen = true;
    }
    DurchsucheRekursiv(ordner, fRekursion);
}

void TMp3Suche::DurchsucheRekursiv(const fs::path& ordner, TRekursion& rekursion) {
    // /proc and /sys hold endless or huge trees of kernel files (and links back up);
    // a search of a drive's root must not walk into them.
    if (AufPseudoDateisystem(ordner.string(), rekursion.PseudoGeraete)) {
        return;
    }
    // A link back to a folder above would otherwise be searched without end.
    struct stat info {};
    if (::stat(OhneTrenner(ordner).c_str(), &info) == 0 &&
        !rekursion.Besucht
             .emplace(static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino))
             .second) {
        return;
    }
    DurchsucheOrdner(ordner);
    if (fCancelS) {
        return;
    }
    const std::string pfad = MitTrenner(ordner).string();
    for (const std::string& name : UnterordnerImOrdner(ordner)) {
        if (!WeiterSuchen()) {
            return;
        }
        DurchsucheRekursiv(pfad + name + "/", rekursion);
    }
}

void TMp3Suche::DateiHinzufuegen(const fs::path& datei) {
    if (WeiterSuchen()) {
        KandidatPruefen(datei.string());
    }
}

bool TMp3Suche::WeiterSuchen() {
    fFrontEnd.EreignisseVerarbeiten();
    std::this_thread::yield();
    return !fCancelS;
}

std::string TMp3Suche::PfadSchluessel(const std::string& voll) {
    return fs::path(voll).lexically_normal().string();
}

void TMp3Suche::KandidatPruefen(const std::string& voll) {
    if (!fBekannt.insert(PfadSchluessel(voll)).second) {
        return;
    }
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(voll), ec)) {
        // A FIFO, device or socket is no MP3 file; reading it could wait for ever.
        FrageFehlerhafteDatei(voll);
        return;
    }
    try {
        fMp3File.ReadFromFile(voll);
        if (!fMp3File.Valid() || !fMp3File.MpegInfo().Valid()) {
            FrageFehlerhafteDatei(voll);
            return;
        }
        MetadatenUebernehmen();
        const std::int32_t dauer = fMp3File.Duration() > 0 ? fMp3File.Duration() : 1;
        fListe.push_back(TDateiZeile{voll, DauerText(dauer)});
        fState.Daten.GesamtDauer += dauer;
    } catch (const std::exception&) {
        FrageFehlerhafteDatei(voll);
    }
}

void TMp3Suche::MetadatenUebernehmen() {
    if (!fState.Daten.Titel.empty()) {
        return;
    }
    std::string titel = TrimControlUtf8(fMp3File.Title());
    if (titel.empty()) {
        return;
    }
    fState.Daten.Autor = TrimControlUtf8(fMp3File.Artist());
    fState.Daten.Titel = std::move(titel);
    fState.Daten.Album = TrimControlUtf8(fMp3File.Album());
}

void TMp3Suche::FrageFehlerhafteDatei(const std::string& voll) {
    fCancelS = !fFrontEnd.FrageJaNein(FehlerhafteDateiFrage(voll, UngueltigeMp3Grund(voll)));
}

} // namespace lorvane
