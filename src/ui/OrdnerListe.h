#pragma once
// The folder list of the main window: shows the model's drives or subfolders in a
// two-column list, keeps the focus on the same entry across a refresh, and walks the
// folders with Enter and Backspace.

#include "engine/auswahl/Dateien.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

class QFontMetrics;
class QTreeWidget;
class QTreeWidgetItem;

namespace lorvane {

inline const QString Lv1SpalteLaufwerk = QStringLiteral("Laufwerk");
inline const QString Lv1SpalteUnterordner = QStringLiteral("Unterordner");

QString JaNein(bool wert);

// The path shortened to fit the width: the leading folders are replaced by "..." one
// at a time, then the root; the end of the path is always kept.
QString PfadKuerzen(const QString& pfad, int breite, const QFontMetrics& metrik);

// The row that gets the focus after a listing: the row with exactly the remembered
// caption, else the first equal to it without regard to letter case, else row 0;
// -1 for no rows.
int FokusZeile(const std::vector<QString>& captions, const QString& gemerkt);

class TOrdnerListe {
public:
    struct TWechsel {
        bool verbraucht = false;
        std::optional<QString> fehler;
    };

    // Sets up the list's columns and fills it with the model's entries.
    TOrdnerListe(QTreeWidget& liste, TLaufwerksQuelle laufwerke = Laufwerksliste);

    // Enter (Return) opens the focused folder, Backspace goes one level up; both are
    // consumed. Refused steps beep. Other keys are not consumed.
    TWechsel OrdnerWechseln(int qtKey);
    std::optional<QString> PfadSetzen(const std::string& pfad);
    std::optional<QString> Aktualisieren();
    // The selected rows in list order, as folder paths with a trailing "/".
    std::vector<std::string> MarkierteOrdner() const;
    // The caption of the first column: "Laufwerk" or the current path, shortened.
    void RestoreListView();

    TDateien& Dateien() { return fDateien; }
    const TDateien& Dateien() const { return fDateien; }
    QTreeWidget& Liste() { return fListe; }

private:
    void Fuellen();
    void ZeileFokussieren(int zeile);
    TWechsel Oeffnen();
    TWechsel Zurueck();
    std::optional<QString> Fehler(const std::optional<std::string>& fehler);

    QTreeWidget& fListe;
    TDateien fDateien;
};

} // namespace lorvane
