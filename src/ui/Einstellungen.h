#pragma once
// The user settings of the program: one registry key with named values, loaded once at
// the main window's first show and saved after every change and at closing. Only the
// values are read and written here; the main window applies them.

#include "engine/JobState.h"
#include "engine/TeilGroesse.h"
#include "platform/aussehen/Fenster.h"
#include "platform/instanz/KivRegistry.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QtCore/qnamespace.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace lorvane {

inline const QString EinstellungenKey = QStringLiteral("Software\\Lorvane");

// The value names, in the order they are loaded.
namespace wert {
inline const QString WindowState = QStringLiteral("WindowState");
inline const QString Height = QStringLiteral("Height");
inline const QString Width = QStringLiteral("Width");
inline const QString CopyMp3File = QStringLiteral("CopyMp3File");
inline const QString Minimieren = QStringLiteral("Minimieren");
inline const QString PausenSchnitt = QStringLiteral("PausenSchnitt");
inline const QString Encoder = QStringLiteral("Encoder");
inline const QString MaxStunden = QStringLiteral("MaxStunden");
inline const QString Path = QStringLiteral("Path");
inline const QString FontName = QStringLiteral("FontName");
inline const QString FontSize = QStringLiteral("FontSize");
inline const QString FontColor = QStringLiteral("FontColor");
inline const QString FontCharSet = QStringLiteral("FontCharSet");
inline const QString FontStyle = QStringLiteral("FontStyle");
inline const QString BackColor = QStringLiteral("BackColor");
inline const QString HintColor = QStringLiteral("HintColor");
} // namespace wert

// Window states as stored.
inline constexpr int ZustandNormal = 0;
inline constexpr int ZustandMinimiert = 1;
inline constexpr int ZustandMaximiert = 2;

// The older form of the background colour indexes this table (0x00BBGGRR).
inline constexpr std::array<std::uint32_t, 19> HintFarben = {
    0x000000u, 0xFFFFFFu, 0x00FFFFu, 0xFF0000u, 0x800000u, 0xF0CAA6u, 0x808000u,
    0x008000u, 0xC0DCC0u, 0x00FF00u, 0x008080u, 0x808080u, 0x808080u, 0xC0C0C0u,
    0x0000FFu, 0x800080u, 0xFF00FFu, 0xC0C0C0u, 0x000080u};
// White for an index outside the table.
std::uint32_t HintFarbe(std::int32_t index);

// Font sizes outside this range are taken for a damaged value.
inline constexpr int KleinsteSchrift = 5;
inline constexpr int GroessteSchrift = 35;

struct TGeladeneEinstellungen {
    // Missing = the window keeps its state and size. The state is 0 or 2 after the
    // check; sizes are only given when greater than 100.
    std::optional<int> WindowState;
    std::optional<int> Height, Width;
    bool CopyMp3File = false, Minimieren = false;
    // On unless switched off: parts end at a file boundary or pause near their size.
    bool PausenSchnitt = true;
    // The encoders side by side, 1 to kMaxEncoder; missing (or no number): the cores
    // the program may use. Only read: the user writes it into the file.
    std::int32_t Encoder = StandardEncoder();
    // Unchanged as stored; the dialogs limit what they offer.
    std::int32_t MaxStunden = StundenVorgabe;
    // Native bytes, not yet checked for existence; empty = drive level.
    std::string Path;
    TAussehen Aussehen;
};

// Opens the key (creating it when missing); every value that is missing or fails its
// check keeps its default. A key that cannot be opened gives all defaults.
TGeladeneEinstellungen EinstellungenLaden(TKivRegistry& registry);

struct TEinstellungenZumSpeichern {
    int WindowState = ZustandNormal;
    int Height = 0;
    int Width = 0;
    std::int32_t MaxStunden = StundenVorgabe;
    bool CopyMp3File = false;
    bool Minimieren = false;
    bool PausenSchnitt = true;
    // With its trailing "/", empty at the drive level.
    std::string Path;
    TAussehen Aussehen;
};

// Writes every value (never "HintColor"); nothing when the key cannot be opened.
void EinstellungenSpeichern(TKivRegistry& registry, const TEinstellungenZumSpeichern& werte);

// The stored form of a window state: minimised wins over maximised.
int ZustandsWert(Qt::WindowStates zustand);

// A stored window size fitted to the work area: reduced to it when larger, then raised
// to the minimum (itself reduced to the work area).
QSize FenstergroesseBegrenzen(QSize gewuenscht, QSize minimum, QRect arbeitsbereich);

} // namespace lorvane
