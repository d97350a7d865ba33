// One program per user: the lock file, the published process id, finding the first
// instance and waiting for it; and the desktop entry of the Send-To hand-over.

#include "platform/instanz/Einzelinstanz.h"
#include "platform/instanz/KivLink.h"
#include "support/QtTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace lorvane;
using namespace std::chrono_literals;

class EinzelinstanzTest : public QObject {
    Q_OBJECT

    QTemporaryDir fOrdner;

private Q_SLOTS:
    void TheFirstHoldsTheLockAndIsFoundOnlyOncePublished() {
        const QString name = ProgrammSperrName;
        auto erste = std::make_unique<TProgrammSperre>(fOrdner.path(), name);
        QVERIFY(erste->Erste());
        QCOMPARE(erste->Datei(), fOrdner.path() + "/Lorvane V1.13");
        {
            const TProgrammSperre zweite(fOrdner.path(), name);
            QVERIFY(!zweite.Erste());
        }
        // Still starting: not found yet.
        QCOMPARE(FindProgramWindow(erste->Datei()), pid_t{0});
        QVERIFY(erste->ProzessIdVeroeffentlichen(::getpid()));
        QCOMPARE(FindProgramWindow(erste->Datei()), ::getpid());
        // Asking must not take the lock away.
        QVERIFY(!TProgrammSperre(fOrdner.path(), name).Erste());
        erste.reset();
        QCOMPARE(FindProgramWindow(fOrdner.path() + "/" + name), pid_t{0});
        QVERIFY(TProgrammSperre(fOrdner.path(), name).Erste());
    }

    void AnIdNobodyHoldsTheLockForIsNotAProgram() {
        const QString datei = fOrdner.path() + "/alt";
        test::DateiSchreiben(datei, QByteArray::number(::getpid()) + "\n");
        QCOMPARE(FindProgramWindow(datei), pid_t{0});
        QCOMPARE(FindProgramWindow(fOrdner.path() + "/fehlt"), pid_t{0});
        // A broken file is no process either, even while locked.
        const TProgrammSperre sperre(fOrdner.path(), "kaputt");
        QVERIFY(sperre.Erste());
        test::DateiSchreiben(sperre.Datei(), "12x\n");
        QCOMPARE(FindProgramWindow(sperre.Datei()), pid_t{0});
    }

    void ALaterStartWaitsUpToItsLimit() {
        TProgrammSperre sperre(fOrdner.path(), "warten");
        QVERIFY(sperre.Erste());
        std::chrono::milliseconds geschlafen{0};
        const TSchlafen uhr = [&](std::chrono::milliseconds dauer) { geschlafen += dauer; };
        QCOMPARE(AufProgrammWarten(sperre.Datei(), 3000ms, uhr), pid_t{0});
        QCOMPARE(geschlafen.count(), 3000);

        geschlafen = 0ms;
        const TSchlafen veroeffentlicht = [&](std::chrono::milliseconds dauer) {
            geschlafen += dauer;
            if (geschlafen >= 200ms) {
                sperre.ProzessIdVeroeffentlichen(::getpid());
            }
        };
        QCOMPARE(AufProgrammWarten(sperre.Datei(), 3000ms, veroeffentlicht), ::getpid());
        QCOMPARE(geschlafen.count(), 200);
    }

    void TheExecLineIsQuotedByTheDesktopEntryRules() {
        const std::vector<std::pair<QString, QString>> faelle = {
            {"/opt/lorvane/lorvane", "/opt/lorvane/lorvane"},
            {"/home/a b/lorvane", "\"/home/a b/lorvane\""},
            {"/x/\"q\"/$HOME`\\", "\"/x/\\\"q\\\"/\\$HOME\\`\\\\\""},
            {"/x/100%/l", "/x/100%%/l"},
            {"/x/it's", "\"/x/it's\""},
        };
        for (const auto& [programm, erwartet] : faelle) {
            QCOMPARE(ExecArgument(programm), erwartet);
        }
    }

    void TheDesktopEntryDeclaresFoldersAndIsRewritten() {
        const QString programm = "/home/Anna Maria/Hör bücher/lorvane";
        QCOMPARE(DesktopEintrag(programm),
                 QString("[Desktop Entry]\n"
                         "Type=Application\n"
                         "Name=Lorvane\n"
                         "Exec=\"/home/Anna Maria/Hör bücher/lorvane\" %F\n"
                         "Path=/home/Anna Maria/Hör bücher\n"
                         "MimeType=inode/directory;\n"
                         "Terminal=false\n"));
        // A backslash is escaped once for the quoting and once for the string value.
        QVERIFY(DesktopEintrag("/a\\b/l").contains("Exec=\"/a\\\\\\\\b/l\" %F\n"));

        const QString datei = fOrdner.path() + "/share/applications/lorvane.desktop";
        QVERIFY(CreateShortcut(datei, programm));
        QCOMPARE(QString::fromUtf8(test::DateiInhalt(datei)), DesktopEintrag(programm));
        QVERIFY(QFile::remove(datei));
        QVERIFY(CreateShortcut(datei, "/neu/lorvane"));
        QVERIFY(test::DateiInhalt(datei).contains("Exec=/neu/lorvane %F\n"));
        QVERIFY(!CreateShortcut("", "/neu/lorvane"));
        QVERIFY(!CreateShortcut(datei, ""));
        QCOMPARE(QDir(fOrdner.path() + "/share/applications").entryList(QDir::Files),
                 QStringList({"lorvane.desktop"}));
    }

    void TheEntryFollowsXdgDataHome() {
        qputenv("XDG_DATA_HOME", "/d");
        QCOMPARE(SendToLink(), QString("/d/applications/lorvane.desktop"));
        const QString standard = QDir::homePath() + "/.local/share/applications/lorvane.desktop";
        qputenv("XDG_DATA_HOME", "relativ");
        QCOMPARE(SendToLink(), standard);
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(SendToLink(), standard);
    }
};

QTEST_MAIN(EinzelinstanzTest)
#include "einzelinstanz_test.moc"
