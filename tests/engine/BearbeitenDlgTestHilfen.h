#pragma once
// What the controller's tests share: a front end that records what the controller
// shows and answers from a list, and a job of three files with stand-in threads.

#include "engine/BearbeitenDlgC.h"
#include "engine/JobImOrdner.h"
#include "engine/ordner/Ordner.h"
#include "support/TestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lorvane {

// Records what the controller shows, answers questions from a list (Ja when it runs
// out) and runs a hook at every event processing, as a window's buttons would.
class FakeJobFrontEnd : public IJobFrontEnd {
public:
    explicit FakeJobFrontEnd(TJobState& state) : fState(state) {}

    bool FrageJaNein(const std::string& text) override {
        Log.push_back("Frage: " + text);
        PauseWaehrendFrage.push_back(fState.Convert.PauseS);
        bool antwort = true;
        if (!Antworten.empty()) {
            antwort = Antworten.front();
            Antworten.erase(Antworten.begin());
        }
        return antwort;
    }
    void FehlerZeigen(const std::string& text) override {
        Log.push_back("Fehler: " + text);
        TrayBeiFehler.push_back(fTray);
    }
    void EreignisseVerarbeiten() override {
        ++Ereignisse;
        if (BeiEreignis) {
            BeiEreignis(Ereignisse);
        }
    }
    void StatusText1Setzen(const std::string& text) override { Texte1.push_back(text); }
    void StatusText2Setzen(const std::string& text) override { Texte2.push_back(text); }
    void FortschrittPositionSetzen(int position) override { Positionen.push_back(position); }
    void CaptionSetzen(const std::string& text) override { Captions.push_back(text); }
    bool TrayIconSichtbar() const override { return fTray; }
    void TrayIconSichtbarSetzen(bool sichtbar) override {
        fTray = sichtbar;
        Log.push_back(sichtbar ? "Tray an" : "Tray aus");
    }
    std::string TrayHint() const override { return fHint; }
    void TrayHintSetzen(const std::string& text) override {
        fHint = text;
        Hints.push_back(text);
    }
    void HauptfensterVerbergen() override { Log.push_back("Verbergen"); }
    void HauptfensterZeigen() override { Log.push_back("Zeigen"); }
    void AnwendungMinimieren() override { Log.push_back("Minimieren"); }
    void CursorSetzen(TJobCursor cursor) override {
        Log.push_back(cursor == TJobCursor::Sanduhr ? "Sanduhr" : "Normal");
    }
    void StatusFokussieren() override {}
    void AbbruchAngenommen() override { Log.push_back("Wird beendet"); }

    std::size_t Zaehle(const std::string& anfang) const {
        std::size_t n = 0;
        for (const std::string& eintrag : Log) {
            n += eintrag.rfind(anfang, 0) == 0 ? 1 : 0;
        }
        return n;
    }

    std::vector<std::string> Log;
    std::vector<bool> Antworten;
    std::vector<bool> PauseWaehrendFrage;
    std::vector<bool> TrayBeiFehler;
    std::vector<std::string> Texte1;
    std::vector<std::string> Texte2;
    std::vector<int> Positionen;
    std::vector<std::string> Captions;
    std::vector<std::string> Hints;
    int Ereignisse = 0;
    std::function<void(int)> BeiEreignis;

private:
    TJobState& fState;
    bool fTray = false;
    std::string fHint;
};

class BearbeitenDlg : public ::testing::Test, protected test::TJobImOrdner {
protected:
    BearbeitenDlg() : frontEnd(state) {}

    TModalResult Ausfuehren() {
        TBearbeitenDlg dialog(frontEnd, state, zeilen, threads);
        dialog.FormShow();
        beiDialog(dialog);
        return dialog.Timer1StartTimer();
    }

    std::filesystem::path Hoerbuch() const { return MitTrenner(dir / "aus" / "Meer"); }

    FakeJobFrontEnd frontEnd;
    std::function<void(TBearbeitenDlg&)> beiDialog = [](TBearbeitenDlg&) {};
};

} // namespace lorvane
