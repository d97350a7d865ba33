#pragma once
// The three panels of the main window's status line: how many entries each list
// holds and how many are marked, and the shortcut keys that help at this moment. The
// hints rotate with the minute of the clock. Plain functions, so that the main window
// only gathers the inputs and writes the panels that changed.

#include <QKeySequence>
#include <QString>
#include <QStringList>

#include <array>

class QFontMetrics;

namespace lorvane {

// The German name of a key as the hints quote it ("Rück", "Entf", "BildAuf", "F5").
// Qt's own names are English.
QString TastenName(int qtKey);
// A menu item's shortcut as its text: "Umsch+", "Strg+", "Alt+" in this order, then
// the key's name ("Umsch+Strg+Auf"). Only the first chord counts; empty when none.
QString KuerzelText(const QKeySequence& kuerzel);

enum class TStatusFokus { Ordnerliste, Dateiliste, Andere };

struct TStatusEingaben {
    bool Laufwerksebene = true; // the folder model's path is empty
    int OrdnerZeilen = 0;
    int OrdnerMarkiert = 0;
    bool OrdnerFokusZeile = false;
    int DateiZeilen = 0;
    int DateiMarkiert = 0;
    bool DateiFokusZeile = false;
    // Enabled states after the file list's enabling rule has run.
    bool NachObenAn = false;
    bool NachUntenAn = false;
    bool PlayPauseAn = false;
    bool StopAn = false;
    TStatusFokus Fokus = TStatusFokus::Andere;
};

// The shortcuts of the main window's menu items the hints name. The defaults are
// those the main window gives its items.
struct TStatusKuerzel {
    QKeySequence Hinzufuegen{Qt::CTRL | Qt::Key_H};
    QKeySequence Zurueck{Qt::Key_Backspace};
    QKeySequence Weiter{Qt::CTRL | Qt::Key_W};
    QKeySequence OrdnerOeffnen{Qt::CTRL | Qt::Key_F};
    QKeySequence Dateiliste{Qt::CTRL | Qt::Key_2};
    QKeySequence Ausgabeordner{Qt::CTRL | Qt::Key_O};
    QKeySequence Aktualisieren{Qt::Key_F5};
    QKeySequence Entfernen{Qt::Key_Delete};
    QKeySequence PlayPause{Qt::CTRL | Qt::Key_P};
    QKeySequence Stop{Qt::CTRL | Qt::Key_S};
    QKeySequence NachOben{Qt::SHIFT | Qt::CTRL | Qt::Key_Up};
    QKeySequence NachUnten{Qt::SHIFT | Qt::CTRL | Qt::Key_Down};
    QKeySequence Ordnerliste{Qt::CTRL | Qt::Key_1};
    QKeySequence DateilisteLeeren{Qt::CTRL | Qt::Key_L};
};

// Panel 0 (folder list), panel 1 (file list) and panel 2 (key hints) for the minute
// of the current time of day (0 to 59).
std::array<QString, 3> StatuszeileTexte(const TStatusEingaben& eingaben,
                                        const TStatusKuerzel& kuerzel, int minute);

// Every text panel 2 can show with these shortcuts, each once.
QStringList MoeglicheHinweise(const TStatusKuerzel& kuerzel);

// The hints in lines no wider than `breite`, broken only after a "; " (whose blank
// the break takes); a single hint wider than that keeps a line of its own.
QStringList HinweisZeilen(const QString& text, const QFontMetrics& metrik, int breite);
// What a panel with room for `zeilen` lines shows of a text: the hints wrapped, and
// the last line shortened with "…" when the text does not fit.
QString PanelText(const QString& text, const QFontMetrics& metrik, int breite, int zeilen);

// The clock the hints rotate with; tests set the minute.
class IUhr {
public:
    virtual ~IUhr() = default;
    virtual int Minute() const = 0;
};

class TSystemUhr : public IUhr {
public:
    int Minute() const override;
};

} // namespace lorvane
