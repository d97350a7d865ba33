#pragma once
// The console as the front end of a job: questions on the terminal (or answered by
// the options), messages and progress on the error output, Ctrl+C as the cancel.
//
// Progress on a terminal: the two status lines and the caption with the percentage,
// redrawn in place. Elsewhere (a log, a pipe, a screen reader following the output):
// one plain line whenever a status text changes or the percentage passes a multiple
// of 5.

#include "engine/JobFrontEnd.h"

#include <fstream>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

namespace lorvane::cli {

// Installs handlers for SIGINT, SIGTERM and SIGHUP that only note the signal, and
// restores the previous handlers when it goes. A SIGHUP that was ignored stays so.
class TSignalWache {
public:
    TSignalWache();
    ~TSignalWache();
    TSignalWache(const TSignalWache&) = delete;
    TSignalWache& operator=(const TSignalWache&) = delete;

    // The signal that came last, 0 when none came.
    static int Signal();
    // How many signals came since the handlers were installed.
    static int Anzahl();
};

// How questions are answered.
enum class TAntwortModus {
    AllesJa,   // --yes
    Terminal,  // asked on the terminal
    AllesNein, // no terminal to ask on
};

struct TKonsolenOptionen {
    TAntwortModus Antworten = TAntwortModus::AllesNein;
    bool FortschrittAmPlatz = false; // the error output is a terminal
    int Eingabe = 0;                 // where the answers come from
    // Answers come from the terminal but the error output goes elsewhere (a log): the
    // questions are asked on the terminal itself, and only recorded in the log.
    bool FragenAmTerminal = false;
};

// The options as the console suggests them: answers from the terminal when the
// standard input is one, progress in place when the error output is one.
TKonsolenOptionen KonsolenOptionenErmitteln(bool allesJa);

// Text for one line or cell: every character below U+0020 becomes a space, so that
// tabs, line breaks and terminal escapes in names and tags cannot break the columns or
// lines, nor drive the terminal.
std::string CellText(std::string text);

// "\r\n" of the message texts as the console's line break; every other control
// character (from a name) as CellText shows it.
std::string KonsolenText(const std::string& text);

class TConsoleFrontEnd : public IJobFrontEnd {
public:
    TConsoleFrontEnd(const TKonsolenOptionen& optionen, std::ostream& ausgabe);

    // Called once, from the event processing, after a signal came; in a question
    // right away. Replaced as the command moves from the scan to the job.
    void SetAbbruch(std::function<void()> abbruch) { fAbbruch = std::move(abbruch); }
    // Called from the event processing for every further signal after the cancel was
    // called: the escalation when the cancel is not enough.
    void SetSofortAbbruch(std::function<void()> abbruch) { fSofortAbbruch = std::move(abbruch); }
    // The job's progress display starts: shown from the first status change after the
    // next event processing.
    void FortschrittBeginnen();
    // Shows the last progress and ends the block in place.
    void Abschliessen();
    // One line of the command's own, below the progress.
    void Meldung(const std::string& text);

    bool FrageJaNein(const std::string& text) override;
    void FehlerZeigen(const std::string& text) override;
    void EreignisseVerarbeiten() override;

    void StatusText1Setzen(const std::string& text) override;
    void StatusText2Setzen(const std::string& text) override;
    void FortschrittPositionSetzen(int position) override;
    void CaptionSetzen(const std::string& text) override;

    // No tray on the console: the icon is never shown and the windows stay as they are.
    bool TrayIconSichtbar() const override { return false; }
    void TrayIconSichtbarSetzen(bool) override {}
    std::string TrayHint() const override { return fTrayHint; }
    void TrayHintSetzen(const std::string& text) override { fTrayHint = text; }
    void HauptfensterVerbergen() override {}
    void HauptfensterZeigen() override {}
    void AnwendungMinimieren() override {}
    void CursorSetzen(TJobCursor) override {}
    void StatusFokussieren() override {}
    void AbbruchAngenommen() override;

private:
    void AbbruchPruefen();
    void StatusGeaendert();
    void Zeichnen();
    void BlockEntfernen();
    bool AntwortLesen(bool& ja, std::ostream& frage);
    std::ostream& FrageStrom();

    TKonsolenOptionen fOptionen;
    std::ostream& fAusgabe;
    std::unique_ptr<std::ofstream> fTerminal;
    std::function<void()> fAbbruch;
    std::function<void()> fSofortAbbruch;
    bool fAbbruchGemeldet = false;
    int fGemeldeteSignale = 0;

    std::string fText1;
    std::string fText2;
    std::string fCaption;
    std::string fTrayHint;
    int fPosition = 0;
    // Progress is shown from the first status change after the event processing
    // began, so that the texts of the empty window before the start never show.
    bool fEreignisseBegonnen = false;
    bool fAnzeigeAktiv = false;
    bool fGeaendert = false;
    // In place: the block is on the screen, the cursor at the end of its last line.
    bool fBlockGezeichnet = false;
    // Plain lines: what the last line showed.
    std::string fGezeigt1;
    std::string fGezeigt2;
    int fGezeigteStufe = -1;
};

} // namespace lorvane::cli
