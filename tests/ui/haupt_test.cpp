// The main window with fake services: the file-list commands and their enabling
// rule, the preview, the status line, focus, tab order, accessible names, settings
// and closing.

#include "engine/ArbeitsOrdnerSperre.h"
#include "engine/FakeJobThreads.h"
#include "engine/JobState.h"
#include "platform/Ansager.h"
#include "platform/KivBackFontDlg.h"
#include "platform/KivRegistry.h"
#include "platform/Meldungen.h"
#include "platform/TrayIcon.h"
#include "support/QtTestSupport.h"
#include "ui/BearbeitenFenster.h"
#include "ui/DateiListe.h"
#include "ui/Einstellungen.h"
#include "ui/Haupt.h"
#include "ui/HauptRegeln.h"
#include "ui/MetaDlgC.h"
#include "ui/OrdnerListe.h"
#include "ui/Statuszeile.h"
#include "ui/StundenDlgC.h"
#include "ui/VorschauPlayer.h"

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

namespace {

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

} // namespace

class HauptTest : public QObject {
    Q_OBJECT

private:
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

private Q_SLOTS:
    void init() {
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
    void cleanup() {
        fFenster.reset();
        fState.reset();
    }

    void OpeningTheOutputFolderSaysWhenNothingCouldOpenIt() {
        const QUrl ausgabe = QUrl::fromLocalFile(fOrdner.path() + "/ausgabe/");
        fFenster->Menue.MenuDateiAusgabeordner->trigger();
        QCOMPARE(fGeoeffnet, QList<QUrl>{ausgabe});
        fOeffnenGelingt = false;
        test::BoxBeantworter boxen({"OK"});
        fFenster->Menue.MenuDateiAusgabeordner->trigger();
        QCOMPARE(boxen.Texte(), QStringList{"Der Ordner \"" + fOrdner.path() +
                                            "/ausgabe/\" konnte nicht geöffnet werden!"});
    }

    void StartsAtTheFolderListWithItsFoldersMade() {
        QCOMPARE(fFenster->windowTitle(), QString("Lorvane V1.13"));
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView1);
        QVERIFY(QFileInfo(fOrdner.filePath("ausgabe")).isDir());
        QVERIFY(QFileInfo(fOrdner.filePath("arbeit")).isDir());
        QVERIFY(!fFenster->Btn1Weiter->isEnabled());
        QVERIFY(!fFenster->Btn1Lv1Zurueck->isEnabled());
        QVERIFY(fFenster->Menue.MenuAnsSchriftart->isEnabled());
        for (QAction* hilfe : fFenster->Menue.MenuHilfe) {
            QVERIFY(hilfe != nullptr);
        }
        QVERIFY(fFenster->Menue.MenuHilfe[7]->isEnabled());
    }

    void TheFontDialogsChoiceIsAppliedAndSaved() {
        const int alteHoehe = fFenster->Btn1Weiter->height();
        test::WennModalOffen<TBackFontDlg>([](TBackFontDlg& dialog) {
            dialog.LeSize->setText(QStringLiteral("24"));
            dialog.CbBold->setChecked(true);
            dialog.CoBoBackColors->setCurrentIndex(5);
            dialog.Btn1OK->click();
        });
        fFenster->Menue.MenuAnsSchriftart->trigger();
        QCOMPARE(fFenster->Aussehen().AktFont.Size, 24);
        QCOMPARE(fFenster->Aussehen().AktFont.Style, StilFett);
        QCOMPARE(fFenster->Aussehen().AktBackColor, 0xF0CAA6u);
        QVERIFY(fFenster->Btn1Weiter->height() > alteHoehe);
        QCOMPARE(EinstellungenLaden(*fRegistry).Aussehen, fFenster->Aussehen());
        // A dialog opened later shows the new font.
        int spaeter = 0;
        test::WennModalOffen<TStundenDlg>([&spaeter](TStundenDlg& dialog) {
            spaeter = dialog.OkKnopf().font().pointSize();
            dialog.reject();
        });
        fFenster->MaxStundenKlick();
        QCOMPARE(spaeter, 24);

        // Cancel leaves everything as it was.
        test::WennModalOffen<TBackFontDlg>([](TBackFontDlg& dialog) {
            dialog.LeSize->setText(QStringLiteral("9"));
            dialog.Btn2Cancel->click();
        });
        fFenster->Menue.MenuAnsSchriftart->trigger();
        QCOMPARE(fFenster->Aussehen().AktFont.Size, 24);
    }

    void UpAndDownFollowTheFocusedRow_data() {
        QTest::addColumn<int>("fokus");
        QTest::addColumn<int>("befehl");
        QTest::addColumn<bool>("obenAn");
        QTest::addColumn<bool>("untenAn");
        QTest::addColumn<QString>("danach");
        QTest::newRow("oben auf der ersten") << 0 << 1 << false << true << "a.mp3 b.mp3 c.mp3";
        QTest::newRow("unten auf der letzten") << 2 << 2 << true << false << "a.mp3 b.mp3 c.mp3";
        QTest::newRow("oben auf der zweiten") << 1 << 1 << true << true << "b.mp3 a.mp3 c.mp3";
        QTest::newRow("unten auf der zweiten") << 1 << 2 << true << true << "a.mp3 c.mp3 b.mp3";
    }
    void UpAndDownFollowTheFocusedRow() {
        QFETCH(int, fokus);
        QFETCH(int, befehl);
        QFETCH(bool, obenAn);
        QFETCH(bool, untenAn);
        QFETCH(QString, danach);
        DreiZeilen(fokus);
        fFenster->ListView2->topLevelItem(0)->setSelected(true);
        QCOMPARE(fFenster->Btn1Lv2NachOben->isEnabled(), obenAn);
        QCOMPARE(fFenster->Menue.PuLv2NachOben->isEnabled(), obenAn);
        QCOMPARE(fFenster->Btn2Lv2NachUnten->isEnabled(), untenAn);
        QCOMPARE(fFenster->Menue.PuLv2NachUnten->isEnabled(), untenAn);
        const QString gewandert = Captions(*fFenster->ListView2).at(fokus);
        fFenster->DateiBefehl(befehl);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), danach);
        // The marking moves with the file, and only that row stays selected.
        QTreeWidgetItem* aktuell = fFenster->ListView2->currentItem();
        QCOMPARE(QFileInfo(aktuell->text(0)).fileName(), gewandert);
        if ((obenAn && befehl == 1) || (untenAn && befehl == 2)) {
            QCOMPARE(fFenster->ListView2->selectedItems(), QList<QTreeWidgetItem*>{aktuell});
        }
        QCOMPARE(QApplication::focusWidget(), fFenster->ListView2);
    }

    void ARowWithoutDurationDoesNotMove() {
        DreiZeilen(1);
        auto* ohne = new QTreeWidgetItem(QStringList{Datei("x.mp3")});
        fFenster->ListView2->insertTopLevelItem(0, ohne);
        fFenster->ListView2->setCurrentItem(ohne);
        fFenster->DateiBefehl(2);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), QString("x.mp3 a.mp3 b.mp3 c.mp3"));
        fFenster->ListView2->setCurrentItem(fFenster->ListView2->topLevelItem(1));
        fFenster->DateiBefehl(1);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), QString("x.mp3 a.mp3 b.mp3 c.mp3"));
    }

    void MovedRowsKeepTheirNativePath() {
        DreiZeilen(0);
        fFenster->DateiBefehl(2);
        const std::vector<TDateiZeile> zeilen = DateiZeilen(*fFenster->ListView2);
        QCOMPARE(QString::fromStdString(zeilen.at(1).Caption), Datei("a.mp3"));
        QCOMPARE(QString::fromStdString(zeilen.at(0).Caption), Datei("b.mp3"));
    }

    void PlayPausePauseResumeAndStop() {
        DreiZeilen(1);
        QVERIFY(fFenster->Menue.PuLv2PlayPause->isEnabled());
        QVERIFY(!fFenster->Menue.PuLv2Stop->isEnabled());
        fFenster->DateiBefehl(6);
        QCOMPARE(fPlayer->Log, QStringList({"name:b.mp3", "open", "play"}));
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Spielt);
        QVERIFY(fFenster->Menue.PuLv2Stop->isEnabled());
        fFenster->DateiBefehl(6);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Pausiert);
        fFenster->DateiBefehl(6);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Spielt);
        fFenster->DateiBefehl(7);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Gestoppt);
        QVERIFY(!fFenster->Menue.PuLv2Stop->isEnabled());
        // After stop the file starts again from its beginning.
        fFenster->DateiBefehl(6);
        QCOMPARE(fPlayer->Log.mid(3), QStringList({"pause", "pause", "stop", "start", "play"}));
        // Stop on another row loads that file without playing it.
        fPlayer->Log.clear();
        fFenster->ListView2->setCurrentItem(fFenster->ListView2->topLevelItem(2));
        fFenster->DateiBefehl(7);
        QCOMPARE(fPlayer->Log, QStringList({"name:c.mp3", "open"}));
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Gestoppt);
    }

    void PreviewOfAMissingFileDoesNothing() {
        DreiZeilen(0);
        QFile::remove(Datei("a.mp3"));
        fFenster->DateiBefehl(6);
        QVERIFY(fPlayer->Log.isEmpty());
    }

    void APlayerThatIsNotOpenGivesAnErrorBox() {
        DreiZeilen(0);
        fPlayer->OeffnenGelingt = false;
        test::BoxBeantworter boxen({"OK"});
        fFenster->DateiBefehl(6);
        QTRY_COMPARE(boxen.Texte(), QStringList{QString::fromUtf8(KeinGeraetText)});
        QCOMPARE(fPlayer->Log, QStringList({"name:a.mp3", "open"}));
    }

    void RemoveStopsThePreviewOnlyForItsFile() {
        DreiZeilen(1);
        fFenster->DateiBefehl(6);
        fFenster->ListView2->clearSelection();
        fFenster->ListView2->topLevelItem(0)->setSelected(true);
        fFenster->DateiBefehl(3);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), QString("b.mp3 c.mp3"));
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Spielt);
        // The remaining focused row is selected again.
        QCOMPARE(fFenster->ListView2->selectedItems().size(), 1);

        fFenster->ListView2->clearSelection();
        fFenster->ListView2->topLevelItem(0)->setSelected(true);
        fFenster->DateiBefehl(3);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), QString("c.mp3"));
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Gestoppt);
    }

    void ClearMovesTheFocusAndDisablesWeiter() {
        DreiZeilen(0);
        fFenster->DateiBefehl(6);
        QVERIFY(fFenster->Btn1Weiter->isEnabled());
        QVERIFY(fFenster->Menue.MenuDateiWeiter->isEnabled());
        fFenster->Menue.MenuDateiLeeren->trigger();
        QCOMPARE(fFenster->ListView2->topLevelItemCount(), 0);
        QCOMPARE(QApplication::focusWidget(), fFenster->ListView1);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Gestoppt);
        QVERIFY(!fFenster->Btn1Weiter->isEnabled());
        QVERIFY(!fFenster->Menue.MenuDateiWeiter->isEnabled());
        QVERIFY(!fFenster->Btn4Lv2Leeren->isEnabled());
        QVERIFY(!fFenster->Btn3Lv2Entfernen->isEnabled());
    }

    void PopupShortcutsActOnlyWhileTheirListHasTheFocus() {
        DreiZeilen(1);
        fFenster->ListView2->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView2);
        QTest::keyClick(fFenster->ListView2, Qt::Key_Up, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), QString("b.mp3 a.mp3 c.mp3"));
        QTest::keyClick(fFenster->ListView2, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Spielt);

        // Delete in the folder list leaves the file list alone.
        fFenster->ListView2->selectAll();
        fFenster->ListView1->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView1);
        QTest::keyClick(fFenster->ListView1, Qt::Key_Delete);
        QCOMPARE(fFenster->ListView2->topLevelItemCount(), 3);
        // Ctrl+2 focuses the file list, where Delete removes the marked rows.
        QTest::keyClick(fFenster.get(), Qt::Key_2, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView2);
        QTest::keyClick(fFenster->ListView2, Qt::Key_Delete);
        QCOMPARE(fFenster->ListView2->topLevelItemCount(), 0);
    }

    void FocusIsAnnouncedOnce() {
        fAnsager.Texte.clear();
        fFenster->ListView2->setFocus();
        QTRY_VERIFY(fAnsager.Texte.contains("Dateiliste"));
        fFenster->ListView1->setFocus();
        QTRY_COMPARE(fAnsager.Texte.last(), QString("Ordnerliste"));
        // Back from a popup, from the menu bar or, after a dialog, with the window: silent
        // for either list.
        QEvent verlassen(QEvent::WindowDeactivate);
        QApplication::sendEvent(fFenster.get(), &verlassen);
        for (const Qt::FocusReason grund :
             {Qt::PopupFocusReason, Qt::MenuBarFocusReason, Qt::ActiveWindowFocusReason}) {
            for (QWidget* liste : {static_cast<QWidget*>(fFenster->ListView1),
                                   static_cast<QWidget*>(fFenster->ListView2)}) {
                QFocusEvent zurueck(QEvent::FocusIn, grund);
                QApplication::sendEvent(liste, &zurueck);
            }
        }
        // The next move inside the window is heard, and nothing came before it.
        fFenster->ListView2->setFocus();
        QTRY_COMPARE(fAnsager.Texte, QStringList({"Dateiliste", "Ordnerliste", "Dateiliste"}));
    }

    void StatusLinePanels() {
        DreiZeilen(0);
        fFenster->ListView2->topLevelItem(0)->setSelected(true);
        fFenster->ListView2->topLevelItem(2)->setSelected(true);
        fFenster->ListView2->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView2);
        fUhr.Wert = 2;
        fFenster->Timer1StatuszeileTimer();
        QCOMPARE(fFenster->Panels[1]->text(), QString("Dateien: 3/2 mark."));
        QVERIFY(fFenster->Panels[0]->text().startsWith("Laufwerke: "));
        // Even minute on the first row: "Nach unten" instead of "Nach oben".
        const QString hinweise("Entf=Entfernen; Umsch+Strg+Ab=Nach unten; Strg+W=Weiter");
        QCOMPARE(fFenster->Panels[2]->accessibleName(), hinweise);
        QCOMPARE(fFenster->Panels[2]->toolTip(), hinweise);
        // A panel too narrow for its hints shows their start, shortened with "…".
        const QString gezeigt = fFenster->Panels[2]->text();
        QVERIFY2(gezeigt == hinweise ||
                     (gezeigt.endsWith(QChar(0x2026)) && hinweise.startsWith(gezeigt.chopped(1))),
                 qPrintable(gezeigt));
        // The timer keeps the panels current on its own.
        fFenster->ListView2->clear();
        QTRY_COMPARE(fFenster->Panels[1]->text(), QString("Dateien: 0/0 mark."));
    }

    void TabOrder() {
        DreiZeilen(1);
        fFenster->ListView2->selectAll();
        QVERIFY(fFenster->OrdnerListe().PfadSetzen(
                    QFile::encodeName(fOrdner.filePath("ordner")).toStdString()) == std::nullopt);
        fFenster->OrdnerBefehl(5);
        const QList<QWidget*> erwartet = {
            fFenster->ListView1,          fFenster->Btn1Lv1Zurueck,
            fFenster->Btn2Lv1Hinzufuegen, fFenster->Btn3Lv1Aktualisieren,
            fFenster->ListView2,          fFenster->Btn1Lv2NachOben,
            fFenster->Btn2Lv2NachUnten,   fFenster->Btn3Lv2Entfernen,
            fFenster->Btn4Lv2Leeren,      fFenster->Btn1Weiter};
        fFenster->ListView1->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView1);
        QList<QWidget*> reihe{QApplication::focusWidget()};
        for (int i = 1; i < erwartet.size() + 1; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reihe << QApplication::focusWidget();
        }
        QCOMPARE(reihe, erwartet + QList<QWidget*>{fFenster->ListView1});
    }

    void EveryFocusableControlHasAnAccessibleName() {
        int gezaehlt = 0;
        for (QWidget* widget : fFenster->findChildren<QWidget*>()) {
            if ((widget->focusPolicy() & Qt::TabFocus) == 0 ||
                !widget->isVisibleTo(fFenster.get())) {
                continue;
            }
            QAccessibleInterface* schnittstelle = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(schnittstelle != nullptr);
            QVERIFY2(!schnittstelle->text(QAccessible::Name).isEmpty(),
                     qPrintable(widget->objectName()));
            ++gezaehlt;
        }
        QCOMPARE(gezaehlt, 10);
        QCOMPARE(fFenster->Btn2Lv1Hinzufuegen->toolTip(),
                 QString("Markierte Ordner nach MP3-Dateien durchsuchen und hinzufügen"));
        QCOMPARE(fFenster->Btn2Lv1Hinzufuegen->toolTipDuration(), 3000);
    }

    void FolderErrorsAreShownAndLeaveTheList() {
        const QString ordner = fOrdner.filePath("ordner");
        QVERIFY(fFenster->OrdnerListe().PfadSetzen(QFile::encodeName(ordner).toStdString()) ==
                std::nullopt);
        QCOMPARE(fFenster->ListView1->topLevelItemCount(), 1);
        QVERIFY(fFenster->Btn1Lv1Zurueck->isEnabled());
        QVERIFY(QDir(ordner).removeRecursively());
        test::BoxBeantworter boxen({"OK"});
        fFenster->OrdnerBefehl(3);
        QTRY_COMPARE(boxen.Texte().size(), 1);
        QVERIFY(boxen.Texte().first().contains("nicht vorhanden!"));
        QCOMPARE(fFenster->ListView1->topLevelItemCount(), 1);
    }

    void SwitchesAreSavedAtOnce() {
        QVERIFY(!fState->Daten.CopyMp3FileS);
        fFenster->Menue.MenuEinstCopyMp3FileS->trigger();
        QVERIFY(fState->Daten.CopyMp3FileS);
        fFenster->Menue.MenuEinstMinimierenS->trigger();
        QVERIFY(fState->Daten.MinimierenS);
        TKivRegistry gelesen(fOrdner.filePath("konfig"));
        QVERIFY(gelesen.OpenKey("Software\\Lorvane", false));
        QCOMPARE(gelesen.ReadInteger("CopyMp3File"), std::optional<std::int32_t>(1));
        QCOMPARE(gelesen.ReadInteger("Minimieren"), std::optional<std::int32_t>(1));
        QCOMPARE(gelesen.ReadInteger("MaxStunden"), std::optional<std::int32_t>(5));
    }

    void TheWindowRefusesToCloseWhileAJobRuns() {
        QSignalSpy geschlossen(fFenster.get(), &TForm1::Geschlossen);
        fState->Daten.ConvertThreadLaeuftS = true;
        QVERIFY(!fFenster->close());
        QVERIFY(fFenster->isVisible());
        fFenster->Menue.MenuDateiBeenden->trigger();
        QVERIFY(fFenster->isVisible());
        QCOMPARE(geschlossen.size(), 0);
        // Hiding (into the tray) is no close.
        fFenster->hide();
        QCOMPARE(geschlossen.size(), 0);
        fFenster->show();
        fState->Daten.ConvertThreadLaeuftS = false;
        QVERIFY(fFenster->close());
        QCOMPARE(geschlossen.size(), 1);
        TKivRegistry gelesen(fOrdner.filePath("konfig"));
        QVERIFY(gelesen.OpenKey("Software\\Lorvane", false));
        QCOMPARE(gelesen.ReadInteger("Width"), std::optional<std::int32_t>(fFenster->width()));
    }

    void AModalDialogPausesThePreviewAndTheWindowStays() {
        DreiZeilen(0);
        fFenster->DateiBefehl(6);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Spielt);
        bool zuWaehrendDialog = true;
        bool offen = false;
        test::WennModalOffen<QDialog>([&](QDialog& dialog) {
            offen = fFenster->IsDialogOpen();
            zuWaehrendDialog = fFenster->close();
            dialog.reject();
        });
        fFenster->Menue.MenuEinstMaxStunden->trigger();
        QVERIFY(offen);
        QVERIFY(!fFenster->IsDialogOpen());
        QVERIFY(!zuWaehrendDialog);
        QVERIFY(fFenster->isVisible());
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Pausiert);
    }

    void TheTrayIconGoesOnClickAndAtClosing() {
        fTray.SichtbarSetzen(true);
        QVERIFY(fTray.Klick);
        fTray.Klick();
        QVERIFY(!fTray.Sichtbar());
        fTray.SichtbarSetzen(true);
        QVERIFY(fFenster->close());
        QVERIFY(!fTray.Sichtbar());
    }

    void SettingsAreLoadedAtTheFirstShow() {
        fFenster.reset();
        const QString ordner = fOrdner.filePath("ordner");
        {
            TKivRegistry schreiben(fOrdner.filePath("konfig"));
            QVERIFY(schreiben.OpenKey("Software\\Lorvane", true));
            schreiben.WriteInteger("WindowState", 1);
            schreiben.WriteInteger("FontSize", 30);
            schreiben.WriteInteger("MaxStunden", 0);
            schreiben.WriteInteger("CopyMp3File", 7);
            schreiben.WriteString("Path", ordner);
            schreiben.CloseKey();
        }
        fFenster = std::make_unique<TForm1>(*fState, Dienste());
        QCOMPARE(fFenster->Aussehen().AktFont.Size, 12);
        fFenster->show();
        QCOMPARE(fFenster->Aussehen().AktFont.Size, 30);
        QTRY_VERIFY(fFenster->isMaximized());
        QCOMPARE(fState->Daten.MaxStunden.load(), 0);
        QVERIFY(fState->Daten.CopyMp3FileS);
        QVERIFY(!fState->Daten.MinimierenS);
        QCOMPARE(QString::fromStdString(fFenster->OrdnerListe().Dateien().Path()), ordner + "/");
        QVERIFY(fFenster->Btn1Lv1Zurueck->isEnabled());
        // The layout follows the font: every button fits its caption.
        for (QPushButton* button : fFenster->findChildren<QPushButton*>()) {
            QCOMPARE(button->font().pointSize(), button == fFenster->Btn1Weiter ? 33 : 30);
            QVERIFY2(QFontMetrics(button->font()).horizontalAdvance(button->text().remove('&')) <
                         button->width(),
                     qPrintable(button->objectName()));
            QVERIFY(button->geometry().right() < fFenster->centralWidget()->width());
        }
        QCOMPARE(fFenster->ListView1->font().pointSize(), 30);
        QCOMPARE(fFenster->ListView2->geometry().left(), 10);
    }

    void WeiterStoresCleanedTextsRunsTheJobAndAsksWithTheAlbumFirst() {
        DreiZeilen(0);
        QFile ffmpeg(fOrdner.filePath("ffmpeg"));
        QVERIFY(ffmpeg.open(QIODevice::WriteOnly));
        fState->Daten.FfmpegDatei = ffmpeg.fileName().toStdString();
        fState->Daten.Autor = "Ab/Cd: Ef?";
        QString vorher;
        test::WennModalOffen<TMetaDlg>([&](TMetaDlg& dialog) {
            vorher = dialog.Feld(0).text();
            dialog.Feld(0).setText("Ab/Cd: Ef?");
            dialog.Feld(1).setText(" ?? ? ");
            dialog.Feld(2).setText("Hörbuch ě");
            dialog.Feld(3).setText("7");
            dialog.StarteKnopf().click();
        });
        bool zuWaehrendJob = true;
        test::WennModalOffen<TBearbeitenFenster>([&](TBearbeitenFenster&) {
            zuWaehrendJob = fFenster->close();
            fWeiter = true;
        });
        test::BoxBeantworter boxen({"Nein"});
        fFenster->Btn1Weiter->click();
        QCOMPARE(vorher, QString("AbCd Ef"));
        QVERIFY(!zuWaehrendJob);
        QCOMPARE(QString::fromStdString(fState->Daten.Autor), QString("AbCd Ef"));
        QCOMPARE(QString::fromStdString(fState->Daten.Titel), QString("_"));
        QCOMPARE(QString::fromStdString(fState->Daten.Album), QString("Hörbuch ě"));
        QCOMPARE(fState->Daten.MaxStunden.load(), 7);
        QTRY_COMPARE(boxen.Texte().size(), 1);
        QCOMPARE(boxen.Texte().first(), MeldungsText(ErfolgsFrage("Hörbuch ě", "AbCd Ef", 3, 30)));
        QTRY_COMPARE(fFenster->focusWidget(), fFenster->ListView2);
        QCOMPARE(fFenster->ListView2->topLevelItemCount(), 3);
        QVERIFY(fFenster->isVisible());
        TKivRegistry gelesen(fOrdner.filePath("konfig"));
        QVERIFY(gelesen.OpenKey("Software\\Lorvane", false));
        QCOMPARE(gelesen.ReadInteger("MaxStunden"), std::optional<std::int32_t>(7));
    }

    void ALockedWorkingFolderIsLeftAlone() {
        fFenster.reset();
        const QString teil = fOrdner.filePath("arbeit/Teil.mp3");
        auto sperre = TArbeitsOrdnerSperre::Belegen(fState->Daten.ArbeitsOrdner);
        QVERIFY(sperre && !sperre->Eigener());
        QFile(teil).open(QIODevice::WriteOnly);
        QVERIFY(QFileInfo::exists(teil));
        fFenster = std::make_unique<TForm1>(*fState, Dienste());
        QVERIFY(QFileInfo::exists(teil));
        fFenster.reset();
        QVERIFY(QFileInfo::exists(teil));
        // Without the lock the folder is the program's own again.
        sperre.reset();
        fFenster = std::make_unique<TForm1>(*fState, Dienste());
        QVERIFY(!QFileInfo::exists(teil));
        fFenster.reset();
        QVERIFY(!QFileInfo::exists(fOrdner.filePath("arbeit")));
        QVERIFY(!QFileInfo::exists(fOrdner.filePath("ausgabe")));
    }

    void FolderKeysWalkAndTheButtonsFollow() {
        QTreeWidget& liste = *fFenster->ListView1;
        QCOMPARE(liste.topLevelItemCount(), 2);
        liste.setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), &liste);
        liste.setCurrentItem(liste.topLevelItem(0));
        QTest::keyClick(&liste, Qt::Key_Return);
        QCOMPARE(QString::fromStdString(fFenster->OrdnerListe().Dateien().Path()),
                 fOrdner.filePath("ordner") + "/");
        QVERIFY(fFenster->Btn1Lv1Zurueck->isEnabled());
        QVERIFY(fFenster->Menue.PuLv1Zurueck->isEnabled());
        QVERIFY(fFenster->Btn2Lv1Hinzufuegen->isEnabled());
        liste.clearSelection();
        QVERIFY(!fFenster->Btn2Lv1Hinzufuegen->isEnabled());
        QVERIFY(!fFenster->Menue.PuLv1Hinzufuegen->isEnabled());
        QTest::keyClick(&liste, Qt::Key_Backspace);
        QVERIFY(fFenster->OrdnerListe().Dateien().Path().empty());
        QVERIFY(!fFenster->Btn1Lv1Zurueck->isEnabled());
        // At the drive level Backspace only beeps.
        const int piepser = PiepZaehler();
        QTest::keyClick(&liste, Qt::Key_Backspace);
        QCOMPARE(PiepZaehler(), piepser + 1);
        QVERIFY(fFenster->OrdnerListe().Dateien().Path().empty());
    }

    void AddingReportsTheNumberAndPlayingTime() {
        QTreeWidget& liste = *fFenster->ListView1;
        liste.clearSelection();
        liste.topLevelItem(0)->setSelected(true);
        test::BoxBeantworter boxen({"Nein", "OK"});
        fFenster->Btn2Lv1Hinzufuegen->click();
        QTRY_COMPARE(boxen.Texte().size(), 2);
        QCOMPARE(boxen.Texte().last(), QString("Hinzugefügte MP3-Dateien: 0 (Dauer: 00:00:00)"));
        QCOMPARE(fFenster->ListView2->topLevelItemCount(), 0);
        QVERIFY(!fFenster->Btn1Weiter->isEnabled());
    }

    void Texts() {
        QCOMPARE(HinzugefuegtText(1234, 0),
                 QString("Hinzugefügte MP3-Dateien: 1.234 (Dauer: 00:00:00)"));
        QCOMPARE(ErfolgsFrage("Album", "Autor", 3, 3725),
                 QString("Das Hörbuch \"Album\" von \"Autor\" wurde erfolgreich erstellt!\r\n"
                         "Erstellte M4B-Dateien: 3 (Dauer: 01:02:05)\r\n"
                         "Soll der Hörbuchordner geöffnet werden?"));
        const TDateiListeSchalter leer = DateiListeSchalter({});
        QCOMPARE(leer, TDateiListeSchalter{});
        TDateiListeZustand zustand{3, 0, 2, true, false};
        const TDateiListeSchalter letzte = DateiListeSchalter(zustand);
        QVERIFY(letzte.NachOben && !letzte.NachUnten && !letzte.Entfernen && letzte.Stop &&
                letzte.Weiter);
    }
};

QTEST_MAIN(HauptTest)
#include "haupt_test.moc"
