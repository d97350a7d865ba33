#include "cli/ConsoleFrontEnd.h"

#include "cli/Spaltenbreite.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace lorvane::cli {

namespace {

volatile std::sig_atomic_t gSignal = 0;
// Lock-free, so safe in the handler; a count, so that a second signal is seen.
std::atomic<int> gSignalAnzahl{0};
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction gAltInt {};
struct sigaction gAltTerm {};
struct sigaction gAltHup {};

extern "C" void SignalNotieren(int signal) {
    gSignal = signal;
    gSignalAnzahl.fetch_add(1, std::memory_order_relaxed);
}

// Back to the start of the three lines in place, and everything below cleared.
constexpr const char* kBlockLoeschen = "\r\033[2A\033[J";

int Spalten() {
    winsize groesse{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &groesse) == 0 && groesse.ws_col > 0) {
        return groesse.ws_col;
    }
    return 80;
}

std::string Klein(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string Getrimmt(const std::string& text) {
    const std::size_t anfang = text.find_first_not_of(" \t\r\n");
    if (anfang == std::string::npos) {
        return {};
    }
    const std::size_t ende = text.find_last_not_of(" \t\r\n");
    return text.substr(anfang, ende - anfang + 1);
}

} // namespace

TSignalWache::TSignalWache() {
    gSignal = 0;
    gSignalAnzahl.store(0);
    struct sigaction aktion {};
    aktion.sa_handler = SignalNotieren;
    sigemptyset(&aktion.sa_mask);
    // No SA_RESTART: a read waiting for an answer returns at once.
    aktion.sa_flags = 0;
    ::sigaction(SIGINT, &aktion, &gAltInt);
    ::sigaction(SIGTERM, &aktion, &gAltTerm);
    // A hang-up (the terminal went) is a cancel too, so that no encoder is left
    // writing; but a program started with the hang-up ignored (nohup) keeps going.
    ::sigaction(SIGHUP, &aktion, &gAltHup);
    if (gAltHup.sa_handler == SIG_IGN) {
        ::sigaction(SIGHUP, &gAltHup, nullptr);
    }
}

TSignalWache::~TSignalWache() {
    ::sigaction(SIGINT, &gAltInt, nullptr);
    ::sigaction(SIGTERM, &gAltTerm, nullptr);
    ::sigaction(SIGHUP, &gAltHup, nullptr);
}

int TSignalWache::Signal() {
    return gSignal;
}

int TSignalWache::Anzahl() {
    return gSignalAnzahl.load(std::memory_order_relaxed);
}

TKonsolenOptionen KonsolenOptionenErmitteln(bool allesJa) {
    TKonsolenOptionen optionen;
    if (allesJa) {
        optionen.Antworten = TAntwortModus::AllesJa;
    } else if (::isatty(STDIN_FILENO) == 1) {
        optionen.Antworten = TAntwortModus::Terminal;
    }
    const char* terminal = std::getenv("TERM");
    optionen.FortschrittAmPlatz = ::isatty(STDERR_FILENO) == 1 &&
                                  !(terminal != nullptr && std::strcmp(terminal, "dumb") == 0);
    optionen.Eingabe = STDIN_FILENO;
    optionen.FragenAmTerminal =
        optionen.Antworten == TAntwortModus::Terminal && ::isatty(STDERR_FILENO) != 1;
    return optionen;
}

std::string CellText(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return text;
}

std::string KonsolenText(const std::string& text) {
    std::string ergebnis;
    ergebnis.reserve(text.size());
    std::size_t anfang = 0;
    for (;;) {
        const std::size_t umbruch = text.find("\r\n", anfang);
        ergebnis += CellText(text.substr(anfang, umbruch - anfang));
        if (umbruch == std::string::npos) {
            return ergebnis;
        }
        ergebnis += '\n';
        anfang = umbruch + 2;
    }
}

TConsoleFrontEnd::TConsoleFrontEnd(const TKonsolenOptionen& optionen, std::ostream& ausgabe)
    : fOptionen(optionen), fAusgabe(ausgabe) {}

void TConsoleFrontEnd::AbbruchPruefen() {
    if (TSignalWache::Signal() == 0) {
        return;
    }
    const int anzahl = TSignalWache::Anzahl();
    if (!fAbbruchGemeldet) {
        fAbbruchGemeldet = true;
        fGemeldeteSignale = anzahl;
        if (fAbbruch) {
            fAbbruch();
        }
        return;
    }
    // Another signal after the cancel was taken: the user will not wait any longer.
    if (anzahl != fGemeldeteSignale) {
        fGemeldeteSignale = anzahl;
        if (fSofortAbbruch) {
            fSofortAbbruch();
        }
    }
}

bool TConsoleFrontEnd::FrageJaNein(const std::string& text) {
    Meldung(text);
    if (TSignalWache::Signal() != 0) {
        AbbruchPruefen();
        return false;
    }
    switch (fOptionen.Antworten) {
    case TAntwortModus::AllesJa:
        fAusgabe << "Antwort: Ja (--yes)\n" << std::flush;
        return true;
    case TAntwortModus::AllesNein:
        fAusgabe << "Antwort: Nein (keine Eingabe möglich)\n" << std::flush;
        return false;
    case TAntwortModus::Terminal:
        break;
    }
    std::ostream& frage = FrageStrom();
    // Asked on the terminal, the question is only recorded in the log.
    const bool amTerminal = &frage != &fAusgabe;
    if (amTerminal) {
        frage << KonsolenText(text) << "\n";
    }
    frage << "[j/n] " << std::flush;
    bool ja = false;
    const bool beantwortet = AntwortLesen(ja, frage);
    if (!beantwortet) {
        frage << "\n" << std::flush;
    }
    // The log keeps what was decided, unless the typed answer stands in it already.
    if (amTerminal || !beantwortet) {
        fAusgabe << "Antwort: " << (ja ? "Ja" : "Nein") << "\n" << std::flush;
    }
    if (!beantwortet) {
        AbbruchPruefen();
    }
    return ja;
}

std::ostream& TConsoleFrontEnd::FrageStrom() {
    if (!fOptionen.FragenAmTerminal) {
        return fAusgabe;
    }
    if (!fTerminal) {
        fTerminal = std::make_unique<std::ofstream>("/dev/tty");
    }
    // No terminal to write to after all: the question stays in the log.
    return fTerminal->is_open() ? static_cast<std::ostream&>(*fTerminal) : fAusgabe;
}

bool TConsoleFrontEnd::AntwortLesen(bool& ja, std::ostream& frage) {
    std::string zeile;
    for (;;) {
        if (TSignalWache::Signal() != 0) {
            return false;
        }
        pollfd abfrage{};
        abfrage.fd = fOptionen.Eingabe;
        abfrage.events = POLLIN;
        // Short waits, so that a signal that went to another thread is seen too.
        const int bereit = ::poll(&abfrage, 1, 100);
        if (bereit < 0 && errno == EINTR) {
            continue;
        }
        if (bereit < 0) {
            return false;
        }
        if (bereit == 0) {
            continue;
        }
        char zeichen = 0;
        const ssize_t gelesen = ::read(fOptionen.Eingabe, &zeichen, 1);
        if (gelesen < 0 && errno == EINTR) {
            continue;
        }
        if (gelesen <= 0) {
            return false;
        }
        if (zeichen != '\n') {
            zeile += zeichen;
            continue;
        }
        const std::string antwort = Klein(Getrimmt(zeile));
        zeile.clear();
        if (antwort == "j" || antwort == "ja") {
            ja = true;
            return true;
        }
        if (antwort == "n" || antwort == "nein") {
            ja = false;
            return true;
        }
        frage << "Bitte j (Ja) oder n (Nein) eingeben: " << std::flush;
    }
}

void TConsoleFrontEnd::FehlerZeigen(const std::string& text) {
    Meldung(text);
}

void TConsoleFrontEnd::Meldung(const std::string& text) {
    BlockEntfernen();
    fAusgabe << KonsolenText(text) << "\n" << std::flush;
}

void TConsoleFrontEnd::AbbruchAngenommen() {
    Meldung("Wird beendet (ein zweites Strg+C beendet laufende Encoder sofort)");
}

void TConsoleFrontEnd::EreignisseVerarbeiten() {
    AbbruchPruefen();
    fEreignisseBegonnen = true;
    if (fAnzeigeAktiv && fGeaendert) {
        Zeichnen();
    }
}

void TConsoleFrontEnd::StatusText1Setzen(const std::string& text) {
    fText1 = text;
    StatusGeaendert();
}

void TConsoleFrontEnd::StatusText2Setzen(const std::string& text) {
    fText2 = text;
    StatusGeaendert();
}

void TConsoleFrontEnd::FortschrittPositionSetzen(int position) {
    fPosition = position;
    StatusGeaendert();
}

void TConsoleFrontEnd::CaptionSetzen(const std::string& text) {
    fCaption = text;
    StatusGeaendert();
}

void TConsoleFrontEnd::StatusGeaendert() {
    fGeaendert = true;
    if (fEreignisseBegonnen) {
        fAnzeigeAktiv = true;
    }
}

void TConsoleFrontEnd::Zeichnen() {
    fGeaendert = false;
    if (fOptionen.FortschrittAmPlatz) {
        BlockEntfernen();
        fGeaendert = false;
        // One column spare: a line that fills the last column wraps on some terminals.
        const int breite = Spalten() - 1;
        fAusgabe << AufSpaltenGekuerzt(CellText(fText1), breite) << "\n"
                 << AufSpaltenGekuerzt(CellText(fText2), breite) << "\n"
                 << AufSpaltenGekuerzt(CellText(fCaption), breite) << std::flush;
        fBlockGezeichnet = true;
        return;
    }
    const int stufe = fPosition / 5;
    if (fText1 == fGezeigt1 && fText2 == fGezeigt2 && stufe == fGezeigteStufe) {
        return;
    }
    fGezeigt1 = fText1;
    fGezeigt2 = fText2;
    fGezeigteStufe = stufe;
    fAusgabe << fPosition << "% | " << CellText(fText1) << " | " << CellText(fText2) << "\n"
             << std::flush;
}

void TConsoleFrontEnd::BlockEntfernen() {
    if (fBlockGezeichnet) {
        fAusgabe << kBlockLoeschen;
        fBlockGezeichnet = false;
        // Drawn again at the next event processing.
        fGeaendert = true;
    }
}

void TConsoleFrontEnd::FortschrittBeginnen() {
    fEreignisseBegonnen = false;
    fAnzeigeAktiv = false;
    fGeaendert = false;
}

void TConsoleFrontEnd::Abschliessen() {
    if (fAnzeigeAktiv && fGeaendert) {
        Zeichnen();
    }
    if (fBlockGezeichnet) {
        fAusgabe << "\n" << std::flush;
        fBlockGezeichnet = false;
    }
}

} // namespace lorvane::cli
