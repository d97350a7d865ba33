#pragma once
// The logic of the add dialog: finds the MP3 files of folders, checks each with the
// analyser and collects the good ones as file-list rows (full path, playing time).
// The first file with a title tag proposes author, title and album.
//
// Files of a folder, and the subfolders of a recursive search, are taken in the order
// a file manager shows them (NatuerlicheReihenfolge), since the order of a directory
// listing is arbitrary here and the list order becomes the chapter order.

#include "audio/Mp3Files.h"
#include "engine/FrontEnd.h"
#include "engine/JobState.h"

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace lorvane {

// Asked for a file the analyser rejects, with the reason when there is one; Ja goes on,
// Nein cancels the whole scan.
std::string FehlerhafteDateiFrage(const std::filesystem::path& datei, const std::string& grund);

// The names of the MP3 files directly in a folder: "*.mp3" (ASCII case-insensitive),
// not hidden, not folders; in natural order. Empty when the folder cannot be listed.
std::vector<std::string> Mp3DateienImOrdner(const std::filesystem::path& ordner);
// The names of the subfolders (hidden ones too), in natural order.
std::vector<std::string> UnterordnerImOrdner(const std::filesystem::path& ordner);

class TMp3Suche {
public:
    // The add dialog opens: the total duration starts again, and on an empty file
    // list the metadata and the target format are forgotten. vorhandeneZeilen are the
    // file list's rows; their files are not added again.
    TMp3Suche(IFrontEnd& frontEnd, TJobState& state,
              const std::vector<TDateiZeile>& vorhandeneZeilen);

    // The MP3 files of one folder.
    void DurchsucheOrdner(const std::filesystem::path& ordner);
    // The folder, then each of its subfolders, depth first; each folder once in the
    // whole scan, and never into kernel file systems such as /proc or /sys.
    void DurchsucheOrdnerRekursiv(const std::filesystem::path& ordner);
    // One file named by the user, checked like a file found in a folder.
    void DateiHinzufuegen(const std::filesystem::path& datei);

    // Ends the scan at its next entry (the cancel button).
    void Abbrechen() { fCancelS = true; }
    bool CancelS() const { return fCancelS; }
    // The collected rows, in order; AnzDateien is 0 after a cancel.
    const std::vector<TDateiZeile>& Liste() const { return fListe; }
    std::int32_t AnzDateien() const;

private:
    struct TRekursion {
        // Folders already searched in this scan, by device and inode: a link to a
        // folder above, or into another selected folder, finds no file twice.
        std::set<std::pair<std::uint64_t, std::uint64_t>> Besucht;
        std::set<std::uint64_t> PseudoGeraete;
        bool MountsGelesen = false;
    };
    void DurchsucheRekursiv(const std::filesystem::path& ordner, TRekursion& rekursion);
    // Events, then the cancel check; false when the scan is to end.
    bool WeiterSuchen();
    void KandidatPruefen(const std::string& voll);
    void MetadatenUebernehmen();
    void FrageFehlerhafteDatei(const std::string& voll);
    static std::string PfadSchluessel(const std::string& voll);

    IFrontEnd& fFrontEnd;
    TJobState& fState;
    TMP3File fMp3File;
    std::vector<TDateiZeile> fListe;
    std::unordered_set<std::string> fBekannt;
    TRekursion fRekursion;
    bool fCancelS = false;
};

} // namespace lorvane
