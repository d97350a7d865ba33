#pragma once
// The layouts of the metadata and hours dialogs as arithmetic on measured sizes, so
// that they can be checked without showing a window. All values are pixels; the
// label of a field stands left of it at a spacing of 5, centred vertically.

#include <QRect>
#include <QSize>

#include <array>

namespace lorvane {

inline constexpr int LabelAbstand = 5;

// The up/down buttons beside the hours field grow with the font: half the field's
// height, never narrower than 16.
int AufAbBreiteFuer(int editHoehe);

// The label's place left of its field.
QRect LabelLinksVon(const QRect& feld, const QSize& label);

// What the metadata dialog's layout is computed from.
struct TMetaMasse {
    QSize Owner{0, 0};           // the owner's outer size
    QSize Rahmen{0, 0};          // what the window's frame adds to its client area
    std::array<QSize, 4> Labels; // author, title, album, hours
    int EditHoehe = 0;
    int StundenBreite = 0; // caption width of "MM"
    int AufAbBreite = 0;
    int ButtonBreite = 0; // the common width W
    int ButtonHoehe = 0;
    // The room the client area may take (none when empty), and the hours label's size
    // when it wraps onto two lines, which it does when one line leaves no room.
    QSize Platz;
    QSize StundenLabelUmbrochen;
};

struct TMetaLayout {
    std::array<QRect, 4> Labels; // author, title, album, hours
    std::array<QRect, 4> Felder;
    QRect AufAb;
    QRect Starte;
    QRect Abbrechen;
    QSize Client;
    bool StundenUmbruch = false;
};

TMetaLayout MetaLayout(const TMetaMasse& masse);

struct TStundenMasse {
    QSize Label{0, 0};
    int EditHoehe = 0;
    int StundenBreite = 0; // caption width of "MM"
    int AufAbBreite = 0;
    int ButtonBreite = 0;
    int ButtonHoehe = 0;
    QSize Platz; // as in TMetaMasse
    QSize LabelUmbrochen;
};

struct TStundenLayout {
    QRect Label;
    QRect Feld;
    QRect AufAb;
    QRect Ok;
    QRect Abbrechen;
    QSize Client;
    bool LabelUmbruch = false;
};

TStundenLayout StundenLayout(const TStundenMasse& masse);

} // namespace lorvane
