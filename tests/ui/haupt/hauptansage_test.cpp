// The main window and the screen reader: when a field names itself, the lists named
// only for moves inside the window, the on/off items as check boxes with their state,
// and a preview that fails while it plays.

#include "engine/JobState.h"
#include "platform/VorschauPlayer.h"
#include "platform/aussehen/Fenster.h"
#include "platform/aussehen/Meldungen.h"
#include "platform/instanz/KivRegistry.h"
#include "platform/sprache/FokusAnsage.h"
#include "support/QtTestSupport.h"
#include "ui/DateiListe.h"
#include "ui/DialogTestHilfen.h"
#include "ui/StilleDienste.h"
#include "ui/StundenDlgC.h"
#include "ui/StundenFeld.h"
#include "ui/haupt/Haupt.h"
#include "ui/haupt/HauptRegeln.h"
#include "ui/haupt/Statuszeile.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

using namespace lorvane;

namespace {

using test::TFesteUhr;
using test::TStillerPlayer;

// Rejects the hours dialog once it has named its field; after 10 s in any case.
void StundenDlgSchliessenWennGenannt(const QStringList& texte) {
    auto* pruefer = new QTimer;
    pruefer->setInterval(5);
    const auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    QObject::connect(pruefer, &QTimer::timeout, [pruefer, &texte, ende] {
        auto* dialog = qobject_cast<TStundenDlg*>(QApplication::activeModalWidget());
        if (dialog != nullptr &&
            (texte.contains(StundenAnsage()) || std::chrono::steady_clock::now() > ende)) {
            pruefer->stop();
            pruefer->deleteLater();
            dialog->reject();
        }
    });
    pruefer->start();
}

} // namespace

class HauptAnsageTest : public QObject {
    Q_OBJECT

    QTemporaryDir fOrdner;
    std::unique_ptr<TJobState> fState;
    std::unique_ptr<TKivRegistry> fRegistry;
    test::StillerTray fTray;
    TStillerPlayer fPlayer;
    test::TAufnahmeAnsager fAnsager;
    TFesteUhr fUhr;
    std::unique_ptr<TForm1> fFenster;

    // The window's first focus is named once: the folder list.
    void FensterZeigen() {
        fFenster.reset();
        fAnsager.Texte.clear();
        THauptDienste dienste = test::HauptDienste(fTray, fPlayer, fAnsager, fUhr, fRegistry.get());
        fFenster = std::make_unique<TForm1>(*fState, dienste);
        fFenster->show();
        fFenster->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fFenster.get()));
        QTRY_COMPARE(fAnsager.Texte, QStringList{"Ordnerliste"});
    }

    // The focus moved from the folder list to the file list, both heard, the record
    // emptied.
    void FokusAufDateiliste() {
        fAnsager.Texte.clear();
        if (!fFenster->ListView1->hasFocus()) {
            fFenster->ListView1->setFocus(Qt::OtherFocusReason);
            QTRY_VERIFY(fAnsager.Texte.contains("Ordnerliste"));
        }
        fFenster->ListView2->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(fAnsager.Texte.contains("Dateiliste"));
        fAnsager.Texte.clear();
    }

private Q_SLOTS:
    void init() {
        QVERIFY(fOrdner.isValid());
        QDir(fOrdner.filePath("konfig")).removeRecursively();
        TStandardOrdner ordner;
        ordner.AusgabeOrdner = (fOrdner.path() + "/ausgabe/").toStdString();
        ordner.ArbeitsOrdner = (fOrdner.path() + "/arbeit/").toStdString();
        fState = std::make_unique<TJobState>(ordner);
        fRegistry = std::make_unique<TKivRegistry>(fOrdner.filePath("konfig"));
        fAnsager.Texte.clear();
        FensterZeigen();
    }
    void cleanup() {
        fFenster.reset();
        fState.reset();
    }

    void TheRuleNamesOnlyMovesInsideTheWindow() {
        const int a = 0;
        const int b = 0;
        // 'I' a move inside the window, 'M' back from a menu, 'F' with the window's
        // activation, 'V' the window left; '?' what is due now (nullptr: nothing), named
        // when it is a field; '!' the same, but it could not be named.
        struct TSchritt {
            char Art;
            const void* Feld;
        };
        struct TFall {
            const char* Name;
            std::vector<TSchritt> Schritte;
        };
        const std::vector<TFall> faelle = {
            {"a move is named once", {{'I', &a}, {'?', &a}, {'?', nullptr}}},
            {"moves within one event: the last", {{'I', &a}, {'I', &b}, {'?', &b}}},
            {"back from a menu: silent", {{'M', &a}, {'?', nullptr}}},
            {"a menu closing does not drop a move", {{'I', &a}, {'M', &b}, {'?', &a}}},
            {"a new window's first focus", {{'F', &a}, {'?', &a}}},
            {"back with the window: silent",
             {{'F', &a},
              {'?', &a},
              {'V', nullptr},
              {'F', &a},
              {'?', nullptr},
              {'F', &b},
              {'?', nullptr}}},
            {"leaving drops a pending move", {{'I', &a}, {'V', nullptr}, {'?', nullptr}}},
            {"left before the first focus was named: named when it comes",
             {{'F', &a}, {'V', nullptr}, {'F', &a}, {'?', &a}}},
            {"a first focus that could not be named stays open",
             {{'F', &a}, {'!', &a}, {'V', nullptr}, {'F', &a}, {'?', &a}}},
            {"moves after a return are named",
             {{'I', &a}, {'?', &a}, {'V', nullptr}, {'F', &a}, {'I', &b}, {'?', &b}}},
        };
        for (const TFall& fall : faelle) {
            TFokusAnsageRegel regel;
            for (const TSchritt& schritt : fall.Schritte) {
                switch (schritt.Art) {
                case 'I':
                    regel.FokusErhalten(schritt.Feld, TFokusWeg::Innerhalb);
                    break;
                case 'M':
                    regel.FokusErhalten(schritt.Feld, TFokusWeg::Menue);
                    break;
                case 'F':
                    regel.FokusErhalten(schritt.Feld, TFokusWeg::Fenster);
                    break;
                case 'V':
                    regel.FensterVerlassen();
                    break;
                default:
                    QVERIFY2(regel.Faellig() == schritt.Feld, fall.Name);
                    if (schritt.Art == '?' && schritt.Feld != nullptr) {
                        regel.Genannt();
                    }
                }
            }
        }
    }

    // What the user did, then a move to the other list as a marker: what was heard
    // before the marker is all the action said.
    void TheListsAreNamedOnlyForMovesInsideTheWindow() {
        struct TFall {
            const char* Name;
            std::function<void()> Aktion;
            QStringList Gehoert;
        };
        const std::vector<TFall> faelle = {
            {"Strg+L in the file list: the folder list, once",
             [this] { QTest::keyClick(fFenster.get(), Qt::Key_L, Qt::ControlModifier); },
             {"Ordnerliste"}},
            {"a menu closed with Esc: nothing",
             [this] {
                 QMenu& menue = *fFenster->Menue.Datei;
                 menue.popup(fFenster->mapToGlobal(QPoint(20, 20)));
                 QTRY_VERIFY(menue.isVisible());
                 QTest::keyClick(&menue, Qt::Key_Escape);
                 QTRY_VERIFY(!menue.isVisible());
             },
             {}},
            {"a menu item that opens a dialog: the dialog's field only",
             [this] {
                 // The menu bar gives the focus back before the item acts.
                 QFocusEvent zurueck(QEvent::FocusIn, Qt::MenuBarFocusReason);
                 QApplication::sendEvent(fFenster->ListView2, &zurueck);
                 StundenDlgSchliessenWennGenannt(fAnsager.Texte);
                 fFenster->Menue.MenuEinstMaxStunden->trigger();
             },
             {StundenAnsage()}},
        };
        for (const TFall& fall : faelle) {
            QTreeWidget& liste = *fFenster->ListView2;
            liste.clear();
            liste.addTopLevelItem(DateiZeileErzeugen({"/x/a.mp3", "00:01:00"}));
            fFenster->UpdateButtonsLv2();
            FokusAufDateiliste();
            fall.Aktion();
            // The offscreen platform activates even a popup menu; the window comes back.
            fFenster->activateWindow();
            QTRY_VERIFY(fFenster->isActiveWindow());
            // What the action said is said once its events are done.
            QCoreApplication::processEvents();
            QTreeWidget* andere =
                fFenster->ListView1->hasFocus() ? fFenster->ListView2 : fFenster->ListView1;
            andere->setFocus(Qt::OtherFocusReason);
            const QString gehoert = QString::fromUtf8(fall.Name) + ": ";
            QTRY_VERIFY2(fAnsager.Texte.size() == fall.Gehoert.size() + 1,
                         qPrintable(gehoert + fAnsager.Texte.join(" | ")));
            QVERIFY2(fAnsager.Texte.mid(0, fall.Gehoert.size()) == fall.Gehoert,
                     qPrintable(gehoert + fAnsager.Texte.join(" | ")));
        }
    }

    void TheSwitchesAreCheckBoxesWithTheirState() {
        QAccessibleInterface* menue =
            QAccessible::queryAccessibleInterface(fFenster->Menue.Einstellungen);
        QVERIFY(menue != nullptr);
        const std::array<QAction*, 3> schalter = {fFenster->Menue.MenuEinstCopyMp3FileS,
                                                  fFenster->Menue.MenuEinstMinimierenS,
                                                  fFenster->Menue.MenuEinstPausenSchnittS};
        const std::array<std::atomic<bool>*, 3> werte = {
            &fState->Daten.CopyMp3FileS, &fState->Daten.MinimierenS, &fState->Daten.PausenSchnittS};
        // The cut at pauses is the one switch that starts on.
        const std::array<bool, 3> anfangs = {false, false, true};
        for (std::size_t i = 0; i < schalter.size(); ++i) {
            QAccessibleInterface* eintrag = menue->child(static_cast<int>(i));
            QVERIFY(eintrag != nullptr);
            QCOMPARE(eintrag->object(), schalter[i]);
            QCOMPARE(eintrag->parent()->object(), fFenster->Menue.Einstellungen);
            QCOMPARE(eintrag->role(), QAccessible::CheckBox);
            QCOMPARE(eintrag->text(QAccessible::Name), StripAmpersands(schalter[i]->text()));
            QVERIFY(eintrag->state().checkable);
            QCOMPARE(bool(eintrag->state().checked), anfangs[i]);
            // Toggled the way the screen reader does it: the setting follows.
            QVERIFY(eintrag->actionInterface() != nullptr);
            eintrag->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QCOMPARE(bool(*werte[i]), !anfangs[i]);
            QCOMPARE(bool(eintrag->state().checked), !anfangs[i]);
        }
        QCOMPARE(menue->child(3)->role(), QAccessible::MenuItem);

        // A state loaded at the start shows before the menu was ever opened.
        FensterZeigen();
        for (QAction* eintrag :
             {fFenster->Menue.MenuEinstCopyMp3FileS, fFenster->Menue.MenuEinstMinimierenS}) {
            QVERIFY(QAccessible::queryAccessibleInterface(eintrag)->state().checked);
        }
    }

    void APreviewThatFailsWhilePlayingIsShownAndSpoken() {
        fAnsager.Texte.clear();
        const QString text = MeldungsText(VorschauFehlerText("/x/a.mp3", "Tonausgabe fehlt"));
        test::BoxBeantworter boxen({"OK"});
        fPlayer.FileNameSetzen("/x/a.mp3");
        QVERIFY(fPlayer.FehlerGemeldet);
        // The player may report one failure several times: one box, one text.
        fPlayer.FehlerGemeldet("Tonausgabe fehlt");
        fPlayer.FehlerGemeldet("Tonausgabe fehlt");
        QTRY_COMPARE(boxen.Texte(), QStringList{text});
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(fAnsager.Texte, QStringList{text});
        // A later failure is shown again.
        fPlayer.FehlerGemeldet("Tonausgabe fehlt");
        QTRY_COMPARE(boxen.Texte().size(), 2);
        fFenster.reset();
        QVERIFY(!fPlayer.FehlerGemeldet);
    }
};

QTEST_MAIN(HauptAnsageTest)
#include "hauptansage_test.moc"
