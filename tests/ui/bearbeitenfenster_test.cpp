// The progress window over the job controller, with stand-in threads (and once with
// the real encoder): results, messages, cancel by every way of closing, Enter, the
// tray, the texts, the layout at two font sizes and the job's working folder.

#include "ui/BearbeitenFenster.h"

#include "BearbeitenTestHilfen.h"
#include "DialogTestHilfen.h"

#include "audio/Mp3TestFiles.h"
#include "engine/FakeJobThreads.h"
#include "engine/JobStatus.h"
#include "engine/ThreadTestSupport.h"
#include "engine/ordner/ArbeitsOrdnerSperre.h"
#include "engine/ordner/Ordner.h"
#include "platform/aussehen/Meldungen.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"
#include "ui/BearbeitenLayout.h"

#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <functional>
#include <optional>

namespace fs = std::filesystem;
using namespace lorvane;

using test::Ausfuehren;
using test::FakeTray;
using test::TFensterJob;
using test::WartenAuf;

class BearbeitenFensterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void LayoutFollowsTheMeasures() {
        TBearbeitenMasse masse;
        masse.StaticText1 = QSize(200, 30);
        masse.StaticText2 = QSize(180, 30);
        masse.ButtonBreite = 100;
        masse.ButtonHoehe = 40;
        const TBearbeitenLayout l = BearbeitenLayoutBerechnen(masse);
        QCOMPARE(l.StaticText1, QRect(10, 20, 200, 30));
        QCOMPARE(l.StaticText2, QRect(220, 20, 180, 30));
        QCOMPARE(l.ProgressBar1, QRect(10, 70, 390, 80));
        QCOMPARE(l.Btn1Minimieren, QRect(70, 170, 100, 40));
        QCOMPARE(l.Btn2Abbrechen, QRect(240, 230, 100, 40));
        QCOMPARE(l.Client, QSize(410, 290));
    }

    // The templates first; while the second file is re-encoded halfway, 25 %; then
    // the joining; the job ends with Accepted.
    void ASuccessfulJobShowsItsProgressAndIsAccepted() {
        TFensterJob job;
        std::atomic<bool> gesehen25{false};
        std::atomic<bool> gesehenBearbeite{false};
        job.Threads(
            [&job, &gesehen25, &gesehenBearbeite] {
                auto& mp3 = job.state.Mp3;
                mp3.Mp3Dauer = 100;
                mp3.Mp3Zeit = 50;
                mp3.VorIndex = 1;
                mp3.VorFertig = 1;
                WartenAuf(job.state, gesehen25);
                mp3.GesamtBytes = 1000;
                mp3.KopiertBytes = 500;
                mp3.KopierIndex = 1;
                WartenAuf(job.state, gesehenBearbeite);
                for (int i = 0; i < 3; ++i) {
                    job.state.Convert.ConvertListe.Add(job.Standard() / std::to_string(i));
                }
                job.state.Daten.TeilNr = 3;
            },
            [&job] { NormalerConverter(job.state); });
        FakeTray tray;
        TBearbeitenFenster fenster(nullptr, job.state, job.zeilen, tray, TAussehen{}, job.threads);
        QCOMPARE(fenster.StaticText1->text(), QString("Bearbeite MP3-Datei: 3/3M"));
        QCOMPARE(fenster.StaticText2->text(), QString("Erstelle M4B-Datei: 3/3M"));
        QCOMPARE(fenster.windowTitle(), QString("0% - Erstelle Hörbuch \"Meer\""));
        QCOMPARE(tray.Hint(), QString("Lorvane V1.13 - 0% bearbeitet"));
        QCOMPARE(fenster.Btn1Minimieren->text(), QString("&Minimieren"));
        QCOMPARE(fenster.Btn1Minimieren->toolTip(),
                 QString("Minimiert die Anwendung in die Symbolablage"));
        QCOMPARE(fenster.Btn1Minimieren->accessibleDescription(),
                 fenster.Btn1Minimieren->toolTip());
        QCOMPARE(fenster.Btn2Abbrechen->text(), QString("&Abbrechen"));
        QCOMPARE(fenster.MenuMinimieren->shortcut(), QKeySequence("Ctrl+M"));
        // No close box and no system menu: closing is the cancel button's.
        QVERIFY(!fenster.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!fenster.windowFlags().testFlag(Qt::WindowSystemMenuHint));
        for (QLabel* zeile : {fenster.StaticText1, fenster.StaticText2}) {
            QVERIFY(zeile->focusPolicy() & Qt::TabFocus);
            QCOMPARE(zeile->alignment(), Qt::AlignCenter);
            QVERIFY(zeile->frameShape() == QFrame::Box);
        }

        QStringList texte1, titel, hints;
        QList<int> positionen;
        bool namenStimmen = true;
        bool fokusAufStatus = false;
        const int ergebnis = Ausfuehren(fenster, [&] {
            const QString text1 = fenster.StaticText1->text();
            if (!texte1.contains(text1)) {
                texte1 << text1;
            }
            if (!titel.contains(fenster.windowTitle())) {
                titel << fenster.windowTitle();
            }
            if (!hints.contains(tray.Hint())) {
                hints << tray.Hint();
            }
            positionen << fenster.ProgressBar1->value();
            namenStimmen = namenStimmen && fenster.StaticText1->accessibleName() == text1 &&
                           fenster.StaticText2->accessibleName() == fenster.StaticText2->text();
            fokusAufStatus = fokusAufStatus || fenster.focusWidget() == fenster.StaticText1;
            gesehen25 = gesehen25 || fenster.windowTitle() == "25% - Erstelle Hörbuch \"Meer\"";
            gesehenBearbeite = gesehenBearbeite || text1 == "Bearbeite MP3-Datei: 2/3";
        });
        QCOMPARE(ergebnis, int(QDialog::Accepted));
        QVERIFY2(gesehen25, qPrintable(titel.join(" | ")));
        QVERIFY(texte1.contains("Vorverarbeitung: 2/3"));
        QVERIFY2(gesehenBearbeite, qPrintable(texte1.join(" | ")));
        QVERIFY(positionen.contains(25));
        QVERIFY2(hints.contains("Lorvane V1.13 - 25% bearbeitet"), qPrintable(hints.join(" | ")));
        QVERIFY(namenStimmen);
        QVERIFY(fokusAufStatus);
        QCOMPARE(job.erzeugt.load(), 2);
        QVERIFY(!job.Laeuft());
    }

    void AThreadsErrorIsShownAndTheJobRejected() {
        TFensterJob job;
        job.Threads(
            [&job] {
                job.state.Mp3FehlerMelden("Die Datei \"/x/2.mp3\" ist fehlerhaft!");
                Warten(job.state);
            },
            [&job] { NormalerConverter(job.state); });
        FakeTray tray;
        TBearbeitenFenster fenster(nullptr, job.state, job.zeilen, tray, TAussehen{}, job.threads);
        test::BoxBeantworter antworten({"OK"});
        QCOMPARE(Ausfuehren(fenster, [] {}), int(QDialog::Rejected));
        QCOMPARE(antworten.Texte(), QStringList{"Die Datei \"/x/2.mp3\" ist fehlerhaft!"});
        QVERIFY(!job.Laeuft());
    }

    // Esc and the window manager's close both ask; Nein goes on, Ja stops, and the
    // window stays until both threads have ended.
    void EveryCloseRequestIsTheCancelButton() {
        TFensterJob job;
        std::atomic<int> runden{0};
        std::atomic<bool> joinerZuEnde{false};
        job.Threads(
            [&] {
                // Limited, so that a window that lets the job run on fails the test.
                const auto grenze = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                while (Warten(job.state) && std::chrono::steady_clock::now() < grenze) {
                    ++runden;
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                joinerZuEnde = true;
            },
            [&job] { NormalerConverter(job.state); });
        FakeTray tray;
        TBearbeitenFenster fenster(nullptr, job.state, job.zeilen, tray, TAussehen{}, job.threads);
        test::BoxBeantworter antworten({"Nein", "Ja"});
        int schritt = 0;
        int rundenNachNein = 0;
        bool abbruchNachNein = true, pauseNachNein = true;
        bool abbruchNachJa = false, sichtbarNachJa = false, joinerNachJa = true;
        const int ergebnis = Ausfuehren(fenster, [&] {
            if (schritt == 0 && job.state.Daten.Mp3ThreadLaeuftS && runden > 0) {
                QTest::keyClick(&fenster, Qt::Key_Escape);
                abbruchNachNein = job.state.Convert.AbbruchS;
                pauseNachNein = job.state.Convert.PauseS;
                rundenNachNein = runden;
                schritt = 1;
            } else if (schritt == 1 && runden > rundenNachNein + 5) {
                fenster.close();
                abbruchNachJa = job.state.Convert.AbbruchS;
                sichtbarNachJa = fenster.isVisible();
                joinerNachJa = joinerZuEnde;
                // Confirmed once: a second Esc asks nothing.
                QTest::keyClick(&fenster, Qt::Key_Escape);
                schritt = 2;
            }
        });
        QCOMPARE(ergebnis, int(QDialog::Rejected));
        QCOMPARE(schritt, 2);
        QVERIFY(!abbruchNachNein);
        QVERIFY(!pauseNachNein);
        QVERIFY(abbruchNachJa);
        QVERIFY(sichtbarNachJa);
        QVERIFY(!joinerNachJa);
        QVERIFY(joinerZuEnde);
        QVERIFY(!job.Laeuft());
        const QString frage = AbrechenFrageText();
        QCOMPARE(antworten.Texte(), (QStringList{frage, frage}));
        QCOMPARE(fenster.Btn2Abbrechen->text(), QString("Wird beendet"));
        QVERIFY(!fenster.Btn2Abbrechen->isEnabled());
        QVERIFY(!fenster.Btn1Minimieren->isEnabled());
    }

    void EnterPressesNoButton() {
        TFensterJob job;
        job.HaltenderJoiner();
        FakeTray tray;
        TBearbeitenFenster fenster(nullptr, job.state, job.zeilen, tray, TAussehen{}, job.threads);
        for (QPushButton* button : {fenster.Btn1Minimieren, fenster.Btn2Abbrechen}) {
            QVERIFY(!button->autoDefault());
            QVERIFY(!button->isDefault());
        }
        test::BoxBeantworter antworten({"Ja"});
        bool abbruch = true;
        const int ergebnis = Ausfuehren(fenster, [&] {
            if (job.weiter || !job.state.Daten.Mp3ThreadLaeuftS) {
                return;
            }
            for (QWidget* ziel :
                 std::initializer_list<QWidget*>{fenster.Btn2Abbrechen, fenster.Btn1Minimieren,
                                                 fenster.StaticText1, &fenster}) {
                ziel->setFocus();
                QTest::keyClick(ziel, Qt::Key_Return);
                QTest::keyClick(ziel, Qt::Key_Enter);
            }
            abbruch = job.state.Convert.AbbruchS;
            job.weiter = true;
        });
        QCOMPARE(ergebnis, int(QDialog::Accepted));
        QVERIFY(!abbruch);
        QVERIFY(antworten.Texte().isEmpty());
        QVERIFY(!tray.Sichtbar());
        QVERIFY(!tray.Log.contains("verbergen"));
    }

    void MinimisingHidesTheMainWindowUntilTheEnd_data() {
        QTest::addColumn<QString>("weg");
        QTest::newRow("Strg+M") << "Strg+M";
        QTest::newRow("Knopf") << "Knopf";
        QTest::newRow("MinimierenS") << "MinimierenS";
    }
    void MinimisingHidesTheMainWindowUntilTheEnd() {
        QFETCH(QString, weg);
        QSignalSpy letztesFenster(qApp, &QGuiApplication::lastWindowClosed);
        TFensterJob job;
        job.HaltenderJoiner();
        job.state.Daten.MinimierenS = weg == "MinimierenS";
        QMainWindow haupt;
        haupt.showMaximized();
        FakeTray tray(&haupt);
        auto fenster = std::make_unique<TBearbeitenFenster>(&haupt, job.state, job.zeilen, tray,
                                                            TAussehen{}, job.threads);
        int schritt = 0;
        bool versteckt = false, minimiert = false, offen = false, zurueck = false;
        QString hint;
        const int ergebnis = Ausfuehren(*fenster, [&] {
            if (!job.state.Daten.Mp3ThreadLaeuftS) {
                return;
            }
            if (schritt == 0) {
                if (weg == "Strg+M") {
                    QTest::keyClick(fenster.get(), Qt::Key_M, Qt::ControlModifier);
                } else if (weg == "Knopf") {
                    fenster->Btn1Minimieren->click();
                }
                versteckt = tray.Sichtbar() && !haupt.isVisible();
                minimiert = fenster->isMinimized();
                offen = fenster->isVisible();
                hint = tray.Hint();
                // A click on the icon brings both windows back.
                tray.Klicken();
                zurueck = haupt.isVisible() && !fenster->isMinimized();
                fenster->Btn1Minimieren->click();
                schritt = 1;
            } else if (schritt == 1) {
                // Hidden again: the job's end must bring it back.
                job.weiter = true;
                schritt = 2;
            }
        });
        QCOMPARE(ergebnis, int(QDialog::Accepted));
        QVERIFY(versteckt);
        QVERIFY(minimiert);
        QVERIFY(offen);
        QVERIFY2(hint.startsWith("Lorvane V1.13 - "), qPrintable(hint));
        QVERIFY(zurueck);
        QCOMPARE(tray.Log.mid(0, 3), (QStringList{"minimieren", "an", "verbergen"}));
        QVERIFY(!tray.Sichtbar());
        QVERIFY(haupt.isVisible());
        QVERIFY(haupt.isMaximized());
        QVERIFY(!fenster->isMinimized());
        fenster.reset();
        QCoreApplication::processEvents();
        QCOMPARE(letztesFenster.count(), 0);
    }

    // The icon could not be shown, but the main window went: a message and the end
    // of the job bring it back all the same (closing the last visible window would
    // end the program), and no box is left behind a minimised window.
    void WithoutATrayIconTheMainWindowStillComesBack_data() {
        QTest::addColumn<bool>("fehler");
        QTest::newRow("Fehler") << true;
        QTest::newRow("Ende") << false;
    }
    void WithoutATrayIconTheMainWindowStillComesBack() {
        QFETCH(bool, fehler);
        QSignalSpy letztesFenster(qApp, &QGuiApplication::lastWindowClosed);
        TFensterJob job;
        job.Threads(
            [&job, fehler] {
                WartenAuf(job.state, job.weiter);
                if (fehler) {
                    job.state.Mp3FehlerMelden("Kaputt!");
                    Warten(job.state);
                } else {
                    NormalerJoiner(job.state, std::chrono::milliseconds(0));
                }
            },
            [&job] { NormalerConverter(job.state); });
        job.state.Daten.MinimierenS = true;
        QMainWindow haupt;
        haupt.show();
        FakeTray tray(&haupt, false);
        auto fenster = std::make_unique<TBearbeitenFenster>(&haupt, job.state, job.zeilen, tray,
                                                            TAussehen{}, job.threads);
        bool verstecktVorher = false, hauptBeiBox = false, fensterBeiBox = false;
        test::BoxBeantworter antworten({"OK"});
        const int ergebnis = Ausfuehren(*fenster, [&] {
            if (job.state.Daten.Mp3ThreadLaeuftS && !job.weiter) {
                verstecktVorher = !haupt.isVisible() && fenster->isMinimized();
                job.weiter = true;
            }
            if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr) {
                hauptBeiBox = haupt.isVisible();
                fensterBeiBox = !fenster->isMinimized();
            }
        });
        QCOMPARE(ergebnis, int(fehler ? QDialog::Rejected : QDialog::Accepted));
        QVERIFY(verstecktVorher);
        QCOMPARE(antworten.Texte().size(), fehler ? 1 : 0);
        QCOMPARE(hauptBeiBox, fehler);
        QCOMPARE(fensterBeiBox, fehler);
        QVERIFY(haupt.isVisible());
        fenster.reset();
        QCoreApplication::processEvents();
        QCOMPARE(letztesFenster.count(), 0);
    }

    void ButtonsFitTheirCaptions_data() {
        QTest::addColumn<int>("groesse");
        QTest::newRow("12") << 12;
        QTest::newRow("30") << 30;
    }
    void ButtonsFitTheirCaptions() {
        QFETCH(int, groesse);
        TFensterJob job;
        job.HaltenderJoiner();
        TAussehen aussehen;
        aussehen.AktFont.Size = groesse;
        FakeTray tray;
        TBearbeitenFenster fenster(nullptr, job.state, job.zeilen, tray, aussehen, job.threads);
        test::BoxBeantworter antworten({"Ja"});
        QStringList fehler;
        const auto pruefen = [&](const QString& wann) {
            const QFont font = SchriftAus(aussehen.AktFont);
            for (QPushButton* button : {fenster.Btn1Minimieren, fenster.Btn2Abbrechen}) {
                const QFontMetrics masse(button->font());
                if (masse.horizontalAdvance(StripAmpersands(button->text())) >= button->width() ||
                    button->width() != fenster.Btn2Abbrechen->width() ||
                    button->height() != masse.height() + 12 ||
                    !fenster.rect().contains(button->geometry())) {
                    fehler << wann + ": " + button->text();
                }
            }
            for (QLabel* zeile : {fenster.StaticText1, fenster.StaticText2}) {
                if (zeile->width() <=
                        QFontMetrics(font).horizontalAdvance("Erstelle M4B-Datei: 3/3M") ||
                    !fenster.rect().contains(zeile->geometry())) {
                    fehler << wann + ": " + zeile->text();
                }
            }
            if (!fenster.rect().contains(fenster.ProgressBar1->geometry())) {
                fehler << wann + ": Fortschritt";
            }
        };
        int schritt = 0;
        QCOMPARE(Ausfuehren(fenster,
                            [&] {
                                if (schritt == 0 && job.state.Daten.Mp3ThreadLaeuftS) {
                                    schritt = 1;
                                    pruefen("Start");
                                    fenster.Btn2Abbrechen->click();
                                    pruefen("Wird beendet");
                                }
                            }),
                 int(QDialog::Rejected));
        QCOMPARE(schritt, 1);
        QCOMPARE(fenster.Btn2Abbrechen->text(), QString("Wird beendet"));
        QVERIFY2(fehler.isEmpty(), qPrintable(fehler.join(" | ")));
    }

    // The job locks the default working folder, or works in a unique folder below it
    // while another job holds it; either way the state names the default folder again
    // afterwards and the lock is gone.
    void TheJobHoldsItsWorkingFolder_data() {
        QTest::addColumn<bool>("belegt");
        QTest::newRow("frei") << false;
        QTest::newRow("von einem anderen Auftrag belegt") << true;
    }
    void TheJobHoldsItsWorkingFolder() {
        QFETCH(bool, belegt);
        TFensterJob job;
        std::unique_ptr<TArbeitsOrdnerSperre> anderer;
        if (belegt) {
            anderer = TArbeitsOrdnerSperre::Belegen(job.Standard());
            QVERIFY(anderer != nullptr);
        }
        fs::path ordnerImJob;
        bool gesperrt = false;
        job.Threads(
            [&] {
                ordnerImJob = job.state.Daten.ArbeitsOrdner;
                gesperrt = ArbeitsOrdnerGesperrt(ordnerImJob);
                NormalerJoiner(job.state, std::chrono::milliseconds(0));
            },
            [&job] { NormalerConverter(job.state); });
        FakeTray tray;
        {
            TBearbeitenFenster fenster(nullptr, job.state, job.zeilen, tray, TAussehen{},
                                       job.threads);
            QCOMPARE(Ausfuehren(fenster, [] {}), int(QDialog::Accepted));
        }
        QVERIFY(gesperrt);
        const fs::path erwartet =
            belegt ? ordnerImJob : job.Standard(); // unique when the default is held
        QCOMPARE(QString::fromStdString(ordnerImJob.string()),
                 QString::fromStdString(erwartet.string()));
        QCOMPARE(QString::fromStdString(job.state.Daten.ArbeitsOrdner.string()),
                 QString::fromStdString(job.Standard().string()));
        if (belegt) {
            QVERIFY(ordnerImJob.string().rfind(
                        (job.Standard() / EigenerArbeitsOrdnerPrefix).string(), 0) == 0);
            QVERIFY(!fs::exists(ordnerImJob));
        } else {
            QVERIFY(!ArbeitsOrdnerGesperrt(job.Standard()));
        }
    }

    // An input in the working folder, or in another job's folder below it, is refused
    // before the lock (which clears ended jobs' folders) and before any thread.
    void AnInputInTheWorkingFolderIsRefused_data() {
        QTest::addColumn<QString>("unterordner");
        QTest::newRow("im Arbeitsordner") << "";
        QTest::newRow("im Ordner eines beendeten Auftrags") << "Auftrag-alt";
    }
    void AnInputInTheWorkingFolderIsRefused() {
        QFETCH(QString, unterordner);
        TFensterJob job;
        const fs::path datei = job.Standard() / unterordner.toStdString() / "1.mp3";
        fs::create_directories(datei.parent_path());
        test::WriteFileBytes(datei, {1, 2, 3});
        job.zeilen = {{datei.string(), "10"}};
        FakeTray tray;
        test::BoxBeantworter antworten({"OK"});
        {
            TBearbeitenFenster fenster(nullptr, job.state, job.zeilen, tray, TAussehen{},
                                       job.threads);
            QCOMPARE(Ausfuehren(fenster, [] {}), int(QDialog::Rejected));
        }
        QCOMPARE(antworten.Texte(),
                 QStringList{MeldungsText(EingabeImOrdnerText(datei, job.Standard()))});
        QCOMPARE(job.erzeugt.load(), 0);
        QCOMPARE(test::ReadFileBytes(datei), (std::vector<std::uint8_t>{1, 2, 3}));
    }

    // The whole way with the real encoder: two small MP3 files give the M4B file.
    void TwoFilesBecomeAnAudiobook() {
        const fs::path ffmpeg = test::EchtesFfmpeg();
        if (ffmpeg.empty()) {
            QSKIP("ffmpeg is not installed; the end-to-end window test needs it");
        }
        TFensterJob job;
        job.state.Daten.FfmpegDatei = ffmpeg;
        job.state.Daten.MaxStunden = 1;
        const fs::path ein = job.dir / "ein";
        fs::create_directories(ein);
        job.zeilen.clear();
        for (const std::string name : {"1.mp3", "2.mp3"}) {
            test::WriteFileBytes(ein / name,
                                 test::Concat({test::ID3v2Tag({{"TIT2", name}, {"TPE1", "Anna"}}),
                                               test::MpegFrames(200)}));
            job.zeilen.push_back({(ein / name).string(), "00:00:05"});
        }
        FakeTray tray;
        test::BoxBeantworter antworten({"OK"});
        test::TAufnahmeAnsager ansager;
        int ergebnis = 0;
        {
            TBearbeitenFenster fenster(nullptr, job.state, job.zeilen, tray, TAussehen{},
                                       StandardJobThreads(), &ansager);
            ergebnis = Ausfuehren(fenster, [] {});
        }
        QVERIFY2(antworten.Texte().isEmpty(), qPrintable(antworten.Texte().join(" | ")));
        QCOMPARE(ergebnis, int(QDialog::Accepted));
        // The real joiner and converter count the part the screen reader names.
        QCOMPARE(ansager.Texte, (QStringList{"Erstelle Hörbuch \"Meer\"", "Teil 1 von 1 fertig",
                                             "Hörbuch \"Meer\" fertig"}));
        const fs::path hoerbuch = job.dir / "aus" / "Meer";
        int m4b = 0;
        for (const auto& eintrag : fs::directory_iterator(hoerbuch)) {
            m4b += eintrag.path().extension() == ".m4b" && fs::file_size(eintrag.path()) > 0;
        }
        QCOMPARE(m4b, 1);
        QVERIFY(fs::exists(hoerbuch / "Anna - Meer_001.m4b"));
        QVERIFY(fs::exists(ein / "1.mp3") && fs::exists(ein / "2.mp3"));
    }

private:
    static QString AbrechenFrageText() { return QString::fromUtf8(AbbrechenFrage); }
};

QTEST_MAIN(BearbeitenFensterTest)
#include "bearbeitenfenster_test.moc"
