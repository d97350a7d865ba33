// The progress window tells the screen reader about its job, with stand-in threads:
// the start, each finished part, a confirmed cancel and the end, each once.

#include "ui/BearbeitenFenster.h"

#include "BearbeitenTestHilfen.h"
#include "DialogTestHilfen.h"
#include "engine/JobStatus.h"
#include "support/QtTestSupport.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace lorvane;
using test::Ausfuehren;
using test::FakeTray;
using test::TFensterJob;

namespace {

const QString kStart = QStringLiteral("Erstelle Hörbuch \"Meer\"");

} // namespace

class BearbeitenAnsageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Parts finish faster than the window polls: each text is a part not named before,
    // in order, the last one before the end.
    void AJobIsHeardFromStartToEnd() {
        TFensterJob job;
        FakeTray tray;
        test::TAufnahmeAnsager ansager;
        TBearbeitenFenster fenster(nullptr, job.state, job.zeilen, tray, TAussehen{}, job.threads,
                                   &ansager);
        QCOMPARE(Ausfuehren(fenster, [] {}), int(QDialog::Accepted));
        const QStringList& texte = ansager.Texte;
        QVERIFY2(texte.size() >= 3, qPrintable(texte.join(" | ")));
        QCOMPARE(texte.first(), kStart);
        QCOMPARE(texte.last(), QString("Hörbuch \"Meer\" fertig"));
        QCOMPARE(texte[texte.size() - 2], QString("Teil 3 von 3 fertig"));
        const QRegularExpression teil(QStringLiteral("^Teil ([1-3]) von 3 fertig$"));
        int vorher = 0;
        for (qsizetype i = 1; i + 1 < texte.size(); ++i) {
            const QRegularExpressionMatch treffer = teil.match(texte[i]);
            QVERIFY2(treffer.hasMatch(), qPrintable(texte[i]));
            QVERIFY(treffer.captured(1).toInt() > vorher);
            vorher = treffer.captured(1).toInt();
        }
    }

    void ACancelAndAnErrorAreHeardOnce_data() {
        QTest::addColumn<bool>("abbrechen");
        QTest::addColumn<QStringList>("gehoert");
        QTest::newRow("Abbruch") << true
                                 << QStringList{kStart, "Erstellung wird abgebrochen",
                                                "Erstellung abgebrochen"};
        QTest::newRow("Fehler") << false
                                << QStringList{kStart, "Erstellung wegen eines Fehlers beendet"};
    }
    void ACancelAndAnErrorAreHeardOnce() {
        QFETCH(bool, abbrechen);
        TFensterJob job;
        if (abbrechen) {
            job.HaltenderJoiner();
        } else {
            job.Threads(
                [&job] {
                    job.state.Mp3FehlerMelden("Die Datei \"/x/2.mp3\" ist fehlerhaft!");
                    Warten(job.state);
                },
                [&job] { NormalerConverter(job.state); });
        }
        FakeTray tray;
        test::TAufnahmeAnsager ansager;
        TBearbeitenFenster fenster(nullptr, job.state, job.zeilen, tray, TAussehen{}, job.threads,
                                   &ansager);
        test::BoxBeantworter antworten({abbrechen ? "Ja" : "OK"});
        bool gefragt = false;
        const int ergebnis = Ausfuehren(fenster, [&] {
            if (abbrechen && !gefragt && job.state.Daten.Mp3ThreadLaeuftS) {
                gefragt = true;
                fenster.Btn2Abbrechen->click();
                // Confirmed once: a second press does nothing.
                fenster.Btn2Abbrechen->click();
            }
        });
        QCOMPARE(ergebnis, int(QDialog::Rejected));
        QTEST(ansager.Texte, "gehoert");
    }

    // Refused before any thread started: its box said why, the screen reader hears no
    // start and no end.
    void AJobRefusedAtItsStartIsNotHeard() {
        TFensterJob job;
        job.state.Daten.FfmpegDatei = job.dir / "fehlt";
        FakeTray tray;
        test::TAufnahmeAnsager ansager;
        test::BoxBeantworter antworten({"OK"});
        TBearbeitenFenster fenster(nullptr, job.state, job.zeilen, tray, TAussehen{}, job.threads,
                                   &ansager);
        QCOMPARE(Ausfuehren(fenster, [] {}), int(QDialog::Rejected));
        QCOMPARE(antworten.Texte().size(), 1);
        QVERIFY(ansager.Texte.isEmpty());
    }
};

QTEST_MAIN(BearbeitenAnsageTest)
#include "bearbeitenansage_test.moc"
