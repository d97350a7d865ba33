#pragma once
// The help menu without windows: where its documents and the updater live, which
// items are enabled, the texts of the about box and of the updater's configuration
// file, and writing that file safely.

#include "platform/aussehen/Fenster.h"

#include <QString>
#include <QUrl>

#include <array>
#include <optional>

namespace lorvane {

inline constexpr const char* HilfeDatei = "Lorvane-Hilfe.txt";
inline constexpr const char* KurztastenDatei = "Kurztasten.txt";
inline constexpr const char* AenderungenDatei = "History.txt";
inline constexpr const char* UpdaterDatei = "Brightlane";
inline constexpr const char* CfgDatei = "Lorvane.cfg";

// The maker's addresses; empty ones disable their menu items.
struct THilfeAdressen {
    QString Mail;
    QString Homepage;
    QString Spenden;
};

// The addresses the program was built with.
THilfeAdressen GebauteAdressen();

// The path of a document of the program: beside the executable, else in the
// installed data folder (share/lorvane beside bin); the first when neither has it.
QString DokumentPfad(const QString& exeOrdner, const QString& name);

// The enabled states of the eight help items, in menu order: help, shortcuts,
// changes, mail, home page, donation, update, about.
std::array<bool, 8> HilfeMenueZustand(const QString& exeOrdner, const THilfeAdressen& adressen);

// A mailto link to the maker with the program title as its subject.
QUrl MailAdresse(const QString& adresse, const QString& betreff);

// The about box's text, with the maker's contact lines from the set addresses.
QString InfoText(const THilfeAdressen& adressen);

// The six lines of the updater's configuration file, each ended by CR LF.
QString CfgText(const QString& titel, const QString& caption, const QString& exePfad,
                const TAussehen& aussehen);

// The folder for the configuration file, with a trailing slash: $XDG_RUNTIME_DIR when
// set, else the working folder; never the shared /tmp, which falls back to the
// per-user reserve folder.
QString CfgOrdner(const QString& runtimeDir, const QString& arbeitsOrdner,
                  const QString& reserveOrdner);

// Writes the text as a new file beside the target and renames it over the target, so
// that neither a link nor a read-only old file is ever written through. An error text
// when it failed.
std::optional<QString> DateiErsetzen(const QString& pfad, const QByteArray& inhalt);

// When no program could show a help document (one of the three names above): which
// document it is and where it lies.
QString DokumentNichtGeoeffnetText(const QString& name, const QString& pfad);

// The message when the configuration file could not be written.
QString AktualisierungFehlerText(const QString& pfad);

} // namespace lorvane
