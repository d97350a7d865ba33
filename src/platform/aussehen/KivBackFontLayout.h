#pragma once
// What the font and colour dialog decides without widgets: its texts, the rules of
// its size field and font list, the screen-reader texts and the layout arithmetic.

#include "platform/aussehen/KivColors.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace lorvane {

inline constexpr int BackFontMinGroesse = 5;
inline constexpr int BackFontMaxGroesse = 35;

// Every text of the dialog, so that a caller can translate it.
struct TBackFontDlgTexts {
    QString WindowCaption;
    QString FontColumnCaption;
    QString FontSizeCaption; // %d-%d: minimum and maximum
    QString BoldCaption;
    QString FontColorCaption;
    QString BackColorCaption;
    QString PreviewText;
    QString OkCaption;
    QString CancelCaption;
    QString InsertCaption;
    QString CopyCaption;
    QString SelectAllCaption;
    QString BackgroundSuffix;
    QString EqualColorsQuestion;
    QString TolkFontName;
    QString TolkFontColor;
    QString TolkFontSize;
    QString TolkBackColor;
    TBackFontDlgColorNames ColorNames;
};

TBackFontDlgTexts StandardBackFontTexte();
// The caller's texts with every empty one, colour names included, set to its default.
TBackFontDlgTexts BackFontTexteErgaenzen(TBackFontDlgTexts texte);

// The accessible name of a field from its label: without "&" and the closing colon.
QString NameAusLabel(const QString& label);

// Fills "%d" and "%s" in order with the given values.
QString TextFormatieren(const QString& muster, const QStringList& werte);

// "O&K" is enabled while the size field holds an integer within 5..35.
bool GroesseOkErlaubt(const QString& text);
// The size taken when the field is left: its number held to the range, or the
// minimum when it is not a number.
int GroesseBeimVerlassen(const QString& text);
// One step of the up/down control from the field's number when valid, else from the
// position; held to the range.
int GroesseSchritt(const QString& text, int position, int richtung);

// The row of the font list to select for the stored name: the name itself when it is
// installed (ignoring case), else the family the system really shows for it.
struct TFontZeile {
    int Zeile = -1;
    // The row is only what the system substitutes for a name that is not installed.
    bool Ersatz = false;
};
TFontZeile FontZeileFinden(const QStringList& familien, const QString& gespeichert,
                           const QString& tatsaechlich);
// The rows of the list: the current one marked with "*".
QStringList FontZeilen(const QStringList& familien, int aktuell);
// The family of a row, without its mark.
QString OhneMarke(const QString& zeile);

// The measured sizes the layout starts from.
struct TBackFontMasse {
    int ButtonBreite = 0;
    int ButtonHoehe = 0;
    int ListBreite = 0;    // the longest row or the column title, plus "MM"
    int GroesseHoehe = 0;  // the size field
    int GroesseBreite = 0; // "MM"
    QSize Label;           // label of the size field
    int AufAbBreite = 0;
    int BoldBreite = 0; // its caption plus "MM"
    int BoldHoehe = 0;
    int ComboBreite = 0; // the widest colour name in its drop-down list
    QSize FarbLabel;     // the wider of the two colour lists' labels
    int ComboHoehe = 0;
    int TestHoehe = 0; // the preview
    // The room the client area may take (none when empty), and the narrowest the font
    // list may get: its column title whole.
    QSize Platz;
    int ListMindest = 0;
};

// Where the room is short, the font list gets narrower (its names shortened, the whole
// name still read), "Fett" moves below the size field, and the space below the preview
// and the list's height shrink, in that order.
struct TBackFontLayout {
    QRect Liste, Label, Groesse, AufAb, Bold, FarbenLabel, Farben, HinterFarbenLabel, HinterFarben,
        Test, Ok, Abbrechen;
    QSize Client;
};

TBackFontLayout BackFontLayout(const TBackFontMasse& m);

} // namespace lorvane
