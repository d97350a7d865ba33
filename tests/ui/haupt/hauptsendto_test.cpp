// The main window's side of a second start: handed-over folders are selected and
// added, the question before adding to a full list, drive roots and files ignored, a
// hand-over under an open dialog taken when it closes, the close request dropped under
// an open dialog, and the tray restored on a bring-to-front.

#include "engine/JobState.h"
#include "platform/instanz/KivRegistry.h"
#include "platform/sprache/Ansager.h"
#include "support/QtTestSupport.h"
#include "ui/DateiListe.h"
#include "ui/HinzufuegenDlgC.h"
#include "ui/OrdnerListe.h"
#include "ui/haupt/Haupt.h"
#include "ui/haupt/HauptEinzelinstanz.h"

#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace lorvane;

namespace {

// Counts the add dialogs shown and closes each at once.
class TDialogZaehler : public QObject {
public:
    TDialogZaehler() { qApp->installEventFilter(this); }
    ~TDialogZaehler() override { qApp->removeEventFilter(this); }
    int Anzahl = 0;

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override {
        if (ereignis->type() == QEvent::Show) {
            if (auto* dialog = qobject_cast<THinzufuegenDlg*>(objekt); dialog != nullptr) {
                ++Anzahl;
                QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(objekt, ereignis);
    }
};

QStringList Markiert(const QTreeWidget& liste) {
    QStringList namen;
    for (const QTreeWidgetItem* zeile : liste.selectedItems()) {
        namen << QFileInfo(zeile->text(0)).fileName();
    }
    namen.sort();
    return namen;
}

} // namespace

class HauptSendToTest : public QObject {
    Q_OBJECT

    QTemporaryDir fOrdner;
    std::unique_ptr<TJobState> fState;
    std::unique_ptr<TKivRegistry> fRegistry;
    test::StillerTray fTray;
    // Silent, so that an Orca of another program on the machine cannot make it speak.
    TStummerAnsager fAnsager;
    std::unique_ptr<TForm1> fFenster;

    QString Pfad(const QString& name) const { return fOrdner.filePath("wurzel/" + name); }

private Q_SLOTS:
    void init() {
        QDir(fOrdner.path()).removeRecursively();
        for (const char* name : {"eltern/a", "eltern/b|c", "eltern/d"}) {
            QVERIFY(QDir(fOrdner.path()).mkpath("wurzel/" + QString::fromUtf8(name)));
        }
        test::DateiSchreiben(Pfad("eltern/datei.mp3"), "x");
        TStandardOrdner ordner;
        ordner.AusgabeOrdner = (fOrdner.path() + "/ausgabe/").toStdString();
        ordner.ArbeitsOrdner = (fOrdner.path() + "/arbeit/").toStdString();
        fState = std::make_unique<TJobState>(ordner);
        fRegistry = std::make_unique<TKivRegistry>(fOrdner.filePath("konfig"));
        THauptDienste dienste;
        dienste.Tray = &fTray;
        dienste.Ansager = &fAnsager;
        dienste.Registry = fRegistry.get();
        dienste.Laufwerke = [this] {
            return std::vector<TLaufwerk>{{Pfad("").chopped(1).toStdString(), "Festplatte"}};
        };
        fFenster = std::make_unique<TForm1>(*fState, dienste);
        fFenster->show();
        QVERIFY(QTest::qWaitForWindowExposed(fFenster.get()));
    }
    void cleanup() {
        fFenster.reset();
        fState.reset();
    }

    void TwoSiblingsAreSelectedAndAddedAtOnce() {
        TDialogZaehler dialoge;
        QCOMPARE(fFenster->ProgramParameters(Pfad("eltern/a") + "|" + Pfad("eltern/b%7Cc")), 0);
        QCOMPARE(fFenster->Parameters(), QStringList({Pfad("eltern/a"), Pfad("eltern/b|c")}));
        QTRY_COMPARE(dialoge.Anzahl, 1);
        QCOMPARE(QString::fromStdString(fFenster->OrdnerListe().Dateien().Path()), Pfad("eltern/"));
        QCOMPARE(Markiert(*fFenster->ListView1), QStringList({"a", "b|c"}));
        QVERIFY(fFenster->Btn1Lv1Zurueck->isEnabled());
    }

    void AFullListAsksFirstAndAbbrechenAddsNothing() {
        fFenster->ListView2->addTopLevelItem(
            DateiZeileErzeugen({Pfad("eltern/datei.mp3").toStdString(), "00:00:01"}));
        fFenster->UpdateButtonsLv2();
        TDialogZaehler dialoge;
        test::BoxBeantworter boxen({"Abbrechen"});
        fFenster->ProgramParameters(Pfad("eltern/d"));
        QTRY_COMPARE(boxen.Texte().size(), 1);
        QCOMPARE(boxen.Texte().front(),
                 QString("Soll die vorhandene Dateiliste geleert werden?\n"
                         "Ja=Dateiliste leeren; Nein=Neue Dateien anhängen"));
        QTRY_VERIFY(!fFenster->SendToWartet() && QApplication::activeModalWidget() == nullptr);
        QCOMPARE(dialoge.Anzahl, 0);
        QCOMPARE(fFenster->ListView2->topLevelItemCount(), 1);
        QCOMPARE(Markiert(*fFenster->ListView1), QStringList({"d"}));
    }

    void JaEmptiesTheListNeinKeepsIt_data() {
        QTest::addColumn<QString>("antwort");
        QTest::addColumn<int>("zeilen");
        QTest::newRow("Ja") << "Ja" << 0;
        QTest::newRow("Nein") << "Nein" << 1;
    }
    void JaEmptiesTheListNeinKeepsIt() {
        QFETCH(QString, antwort);
        fFenster->ListView2->addTopLevelItem(
            DateiZeileErzeugen({Pfad("eltern/datei.mp3").toStdString(), "00:00:01"}));
        fFenster->UpdateButtonsLv2();
        TDialogZaehler dialoge;
        test::BoxBeantworter boxen({antwort});
        fFenster->ProgramParameters(Pfad("eltern/d"));
        QTRY_COMPARE(dialoge.Anzahl, 1);
        QTEST(fFenster->ListView2->topLevelItemCount(), "zeilen");
    }

    void AFolderReachedThroughALinkKeepsItsPath() {
        QVERIFY(QFile::link(Pfad("eltern"), Pfad("verweis")));
        TDialogZaehler dialoge;
        fFenster->ProgramParameters(Pfad("verweis/./a"));
        QTRY_COMPARE(dialoge.Anzahl, 1);
        QCOMPARE(QString::fromStdString(fFenster->OrdnerListe().Dateien().Path()),
                 Pfad("verweis/"));
        QCOMPARE(Markiert(*fFenster->ListView1), QStringList({"a"}));
    }

    void DriveRootsFilesAndMissingFoldersChangeNothing() {
        TDialogZaehler dialoge;
        const QStringList vorher = Markiert(*fFenster->ListView1);
        for (const QString& liste :
             {Pfad(""), Pfad("eltern/datei.mp3"), Pfad("fehlt"), QString("/"), QString("|")}) {
            fFenster->ProgramParameters(liste);
            QTRY_VERIFY(!fFenster->SendToWartet());
            QVERIFY(fFenster->OrdnerListe().Dateien().Path().empty());
            QCOMPARE(Markiert(*fFenster->ListView1), vorher);
            QVERIFY(!fFenster->Btn1Lv1Zurueck->isEnabled());
        }
        QCOMPARE(dialoge.Anzahl, 0);
    }

    // A hand-over while a dialog is open is kept (the second start ends with 0) and
    // taken when the dialog closes, as if it had just arrived; once only.
    void AHandOverUnderADialogIsAddedWhenItCloses() {
        TDialogZaehler dialoge;
        int antwort = -1;
        bool aufgeschoben = false;
        test::WennModalOffen<QMessageBox>([&](QMessageBox& box) {
            antwort = fFenster->ProgramParameters(Pfad("eltern/a"));
            aufgeschoben = fFenster->SendToAufgeschoben() && !fFenster->SendToWartet();
            box.reject();
        });
        QMessageBox frage(QMessageBox::Question, "t", "offen", QMessageBox::Ok, fFenster.get());
        frage.exec();
        QCOMPARE(antwort, 0);
        QVERIFY(aufgeschoben);
        QTRY_COMPARE(dialoge.Anzahl, 1);
        QCOMPARE(Markiert(*fFenster->ListView1), QStringList({"a"}));
        QVERIFY(!fFenster->SendToAufgeschoben());
        // The next dialog's end brings nothing again.
        test::WennModalOffen<QMessageBox>([](QMessageBox& box) { box.reject(); });
        QMessageBox noch(QMessageBox::Question, "t", "offen", QMessageBox::Ok, fFenster.get());
        noch.exec();
        fFenster->activateWindow();
        QTRY_VERIFY(fFenster->isActiveWindow());
        QVERIFY(!fFenster->SendToWartet());
        QCOMPARE(dialoge.Anzahl, 1);
    }

    void TheCloseRequestWaitsForNoDialog() {
        QSignalSpy geschlossen(fFenster.get(), &TForm1::Geschlossen);
        bool versucht = false;
        test::WennModalOffen<QMessageBox>([&](QMessageBox& box) {
            RegistryBefehlAusfuehren(fFenster.get(), TRegistrySettings::rsClose(""));
            versucht = true;
            box.reject();
        });
        QMessageBox frage(QMessageBox::Question, "t", "offen", QMessageBox::Ok, fFenster.get());
        frage.exec();
        QVERIFY(versucht);
        QCOMPARE(geschlossen.size(), 0);
        QVERIFY(fFenster->isVisible());
        // While a job runs it is dropped too.
        fState->Daten.Mp3ThreadLaeuftS = true;
        fFenster->ProgramClose();
        QCOMPARE(geschlossen.size(), 0);
        fState->Daten.Mp3ThreadLaeuftS = false;
        RegistryBefehlAusfuehren(fFenster.get(), TRegistrySettings::rsClose(""));
        QCOMPARE(geschlossen.size(), 1);
        RegistryBefehlAusfuehren(nullptr, TRegistrySettings::rsClose(""));
        // Commands still queued at the close neither show the window nor add anything.
        QTRY_VERIFY(!fFenster->isVisible());
        RegistryBefehlAusfuehren(fFenster.get(), TRegistrySettings::rsSetFocus(""));
        RegistryBefehlAusfuehren(fFenster.get(), TRegistrySettings::rsParameters(Pfad("eltern/a")));
        QVERIFY(!fFenster->isVisible());
        QVERIFY(!fFenster->SendToWartet());
    }

    void BringToFrontRestoresFromTheTray() {
        fTray.SichtbarSetzen(true);
        fFenster->showMinimized();
        RegistryBefehlAusfuehren(fFenster.get(), TRegistrySettings::rsSetFocus(""));
        QVERIFY(!fTray.Sichtbar());
        QTRY_VERIFY(!fFenster->isMinimized());
        QVERIFY(fFenster->isVisible());
    }
};

QTEST_MAIN(HauptSendToTest)
#include "hauptsendto_test.moc"
