#pragma once
// What the main window's tests share: the window with fake services (player, speech,
// clock, tray, registry and stand-in job threads) over a folder of its own, made anew
// for every test.

#include "engine/FakeJobThreads.h"
#include "engine/JobState.h"
#include "engine/ordner/ArbeitsOrdnerSperre.h"
#include "platform/TrayIcon.h"
#include "platform/VorschauPlayer.h"
#include "platform/aussehen/KivBackFontDlg.h"
#include "platform/aussehen/Meldungen.h"
#include "platform/instanz/KivRegistry.h"
#include "platform/sprache/Ansager.h"
#include "support/QtTestSupport.h"
#include "ui/BearbeitenFenster.h"
#include "ui/DateiListe.h"
#include "ui/Einstellungen.h"
#include "ui/MetaDlgC.h"
#include "ui/OrdnerListe.h"
#include "ui/StundenDlgC.h"
#include "ui/haupt/Haupt.h"
#include "ui/haupt/HauptRegeln.h"
#include "ui/haupt/Statuszeile.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace lorvane;

// Keeps the modes an MCI player goes through; every call is logged.
class TFakePlayer : public IVorschauPlayer {
public:
    QString FileName() const override { return fName; }
    void FileNameSetzen(const QString& name) override {
        fName = name;
        Log << "name:" + QFileInfo(name).fileName();
    }
    TPlayerFehler Oeffnen() override {
        Log << "open";
        fOffen = OeffnenGelingt;
        fModus = fOffen ? TPlayerModus::Gestoppt : TPlayerModus::NichtBereit;
        return std::nullopt;
    }
    TPlayerFehler Abspielen() override { return Schritt("play", TPlayerModus::Spielt); }
    TPlayerFehler Pause() override {
        return Schritt("pause", fModus == TPlayerModus::Spielt ? TPlayerModus::Pausiert
                                                               : TPlayerModus::Spielt);
    }
    TPlayerFehler Stop() override { return Schritt("stop", TPlayerModus::Gestoppt); }
    TPlayerFehler ZumAnfang() override { return Schritt("start", fModus); }
    TPlayerModus Modus() const override { return fModus; }

    QStringList Log;
    bool OeffnenGelingt = true;

private:
    TPlayerFehler Schritt(const QString& name, TPlayerModus danach) {
        if (!fOffen) {
            return QString::fromUtf8(KeinGeraetText);
        }
        Log << name;
        fModus = danach;
        return std::nullopt;
    }
    QString fName;
    bool fOffen = false;
    TPlayerModus fModus = TPlayerModus::NichtBereit;
};

class TFakeAnsager : public IAnsager {
public:
    void Sprechen(const QString& text) override { Texte << text; }
    QStringList Texte;
};

class TFakeUhr : public IUhr {
public:
    int Minute() const override { return Wert; }
    int Wert = 1;
};

QStringList Captions(const QTreeWidget& liste) {
    QStringList captions;
    for (int i = 0; i < liste.topLevelItemCount(); ++i) {
        captions << QFileInfo(liste.topLevelItem(i)->text(0)).fileName();
    }
    return captions;
}

class THauptTestBasis {
protected:
    QTemporaryDir fOrdner;
    std::unique_ptr<TJobState> fState;
    std::unique_ptr<TKivRegistry> fRegistry;
    TFakePlayer* fPlayer = nullptr;
    std::unique_ptr<TFakePlayer> fPlayerBesitz;
    QList<QUrl> fGeoeffnet;
    bool fOeffnenGelingt = true;
    test::StillerTray fTray;
    TFakeAnsager fAnsager;
    TFakeUhr fUhr;
    std::unique_ptr<TForm1> fFenster;
    TJobThreadErzeugung fThreads;
    std::atomic<bool> fWeiter{false};

    QString Datei(const QString& name) const { return fOrdner.filePath("mp3/" + name); }

    // Rows a.mp3, b.mp3, c.mp3 (files that exist), focus on the given row.
    void DreiZeilen(int fokus) {
        QTreeWidget& liste = *fFenster->ListView2;
        liste.clear();
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
            liste.addTopLevelItem(DateiZeileErzeugen(
                {QFile::encodeName(Datei(QString::fromLatin1(name))).toStdString(), "00:01:00"}));
        }
        liste.setCurrentItem(liste.topLevelItem(fokus));
        fFenster->UpdateButtonsLv2();
    }

    // The fakes, the test's registry and threads, and two drives of the test's folder.
    THauptDienste Dienste() {
        THauptDienste dienste;
        dienste.Tray = &fTray;
        dienste.Player = fPlayer;
        dienste.Ansager = &fAnsager;
        dienste.Uhr = &fUhr;
        dienste.Registry = fRegistry.get();
        // The joiner holds until the test lets it go, then queues one part per row.
        fWeiter = false;
        fThreads.Mp3Thread = [this](TEventQueue& queue, TJobState& s, TJobEngine&) {
            return std::unique_ptr<TWorkerThread>(
                new FakeThread(queue, s.Daten.Mp3ThreadLaeuftS, [this] {
                    while (!fWeiter && !fState->Convert.AbbruchS) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    }
                    NormalerJoiner(*fState, std::chrono::milliseconds(0));
                }));
        };
        fThreads.ConvertThread = [this](TEventQueue& queue, TJobState& s, TJobEngine&) {
            return std::unique_ptr<TWorkerThread>(new FakeThread(
                queue, s.Daten.ConvertThreadLaeuftS, [this] { NormalerConverter(*fState); }));
        };
        dienste.Threads = &fThreads;
        dienste.OrdnerOeffnen = [this](const QUrl& url) {
            fGeoeffnet << url;
            return fOeffnenGelingt;
        };
        dienste.Laufwerke = [this] {
            return std::vector<TLaufwerk>{{fOrdner.filePath("ordner").toStdString(), "Festplatte"},
                                          {fOrdner.filePath("mp3").toStdString(), "Festplatte"}};
        };
        return dienste;
    }

    // The window of a fresh user: no settings, no folders of the program.
    void Aufbauen() {
        QVERIFY(fOrdner.isValid());
        // Every test starts from a fresh user: no settings, no folders of the program.
        for (const char* alt : {"konfig", "ausgabe", "arbeit", "ordner"}) {
            QDir(fOrdner.filePath(QString::fromLatin1(alt))).removeRecursively();
        }
        QDir(fOrdner.path()).mkpath("mp3");
        QDir(fOrdner.path()).mkpath("ordner/unter");
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
            QFile datei(Datei(QString::fromLatin1(name)));
            QVERIFY(datei.open(QIODevice::WriteOnly));
        }
        TStandardOrdner ordner;
        ordner.AusgabeOrdner = (fOrdner.path() + "/ausgabe/").toStdString();
        ordner.ArbeitsOrdner = (fOrdner.path() + "/arbeit/").toStdString();
        fState = std::make_unique<TJobState>(ordner);
        fRegistry = std::make_unique<TKivRegistry>(fOrdner.filePath("konfig"));
        fPlayerBesitz = std::make_unique<TFakePlayer>();
        fPlayer = fPlayerBesitz.get();
        fAnsager.Texte.clear();
        fGeoeffnet.clear();
        fOeffnenGelingt = true;
        const THauptDienste dienste = Dienste();
        fFenster = std::make_unique<TForm1>(*fState, dienste);
        fFenster->show();
        QVERIFY(QTest::qWaitForWindowExposed(fFenster.get()));
        fFenster->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fFenster.get()));
    }
    void Abbauen() {
        fFenster.reset();
        fState.reset();
    }
};
