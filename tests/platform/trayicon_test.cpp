// The tray icon: hiding and showing the main window with and without a notification
// area, the previous window state coming back, clicks, and a modal dialog that keeps
// running (and the program alive) while the main window is hidden.

#include "platform/AnwendungsSymbol.h"
#include "platform/QtTrayIcon.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

using namespace lorvane;

namespace {

std::function<bool()> Tray(bool vorhanden) {
    return [vorhanden] { return vorhanden; };
}

void Zeigen(QWidget& fenster, bool maximiert) {
    if (maximiert) {
        fenster.showMaximized();
    } else {
        fenster.showNormal();
    }
    QVERIFY(QTest::qWaitForWindowExposed(&fenster));
}

} // namespace

class TrayIconTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void HidingAndShowingKeepTheWindowState_data() {
        QTest::addColumn<bool>("trayVorhanden");
        QTest::addColumn<bool>("maximiert");
        QTest::newRow("tray, normal") << true << false;
        QTest::newRow("tray, maximised") << true << true;
        QTest::newRow("no tray, normal") << false << false;
        QTest::newRow("no tray, maximised") << false << true;
    }
    void HidingAndShowingKeepTheWindowState() {
        QFETCH(bool, trayVorhanden);
        QFETCH(bool, maximiert);
        QWidget haupt;
        Zeigen(haupt, maximiert);
        TQtTrayIcon tray(haupt, nullptr, Tray(trayVorhanden));
        QVERIFY(!tray.Sichtbar());

        // The progress window's minimise action.
        tray.AnwendungMinimieren();
        QVERIFY(haupt.isMinimized());
        tray.SichtbarSetzen(true);
        tray.HauptfensterVerbergen();
        QVERIFY(tray.Sichtbar());
        if (trayVorhanden) {
            QVERIFY(!haupt.isVisible());
        } else {
            // No way back from a hidden window: it stays minimised.
            QVERIFY(haupt.isVisible());
            QVERIFY(haupt.isMinimized());
        }

        tray.SichtbarSetzen(false);
        tray.HauptfensterZeigen();
        QVERIFY(haupt.isVisible());
        QVERIFY(!haupt.isMinimized());
        QCOMPARE(haupt.isMaximized(), maximiert);
        QVERIFY(QApplication::quitOnLastWindowClosed());

        // Hiding alone, without minimising first.
        tray.HauptfensterVerbergen();
        QCOMPARE(haupt.isVisible(), !trayVorhanden);
        tray.HauptfensterZeigen();
        QVERIFY(haupt.isVisible() && !haupt.isMinimized());
        QCOMPARE(haupt.isMaximized(), maximiert);
    }

    void AMinimisedWindowReturnsToNormal() {
        QWidget haupt;
        Zeigen(haupt, false);
        haupt.showMinimized();
        TQtTrayIcon tray(haupt, nullptr, Tray(true));
        tray.HauptfensterZeigen();
        QVERIFY(haupt.isVisible() && !haupt.isMinimized() && !haupt.isMaximized());
    }

    void ClicksReachTheHandler() {
        QWidget haupt;
        TQtTrayIcon tray(haupt, nullptr, Tray(false));
        Q_EMIT tray.Symbol().activated(QSystemTrayIcon::Trigger); // no handler yet
        int klicks = 0;
        tray.Klick = [&] { ++klicks; };
        Q_EMIT tray.Symbol().activated(QSystemTrayIcon::Trigger);
        QCOMPARE(klicks, 1);
        Q_EMIT tray.Symbol().activated(QSystemTrayIcon::Context);
        QCOMPARE(klicks, 1);
    }

    void HintAndIcon() {
        QWidget haupt;
        TQtTrayIcon tray(haupt, nullptr, Tray(false));
        QCOMPARE(tray.Hint(), QString());
        tray.HintSetzen("Teil 2 von 7");
        QCOMPARE(tray.Hint(), QString("Teil 2 von 7"));
        QVERIFY(!tray.Symbol().icon().isNull());
        // Without a notification area the icon is only requested, never shown.
        tray.SichtbarSetzen(true);
        QVERIFY(tray.Sichtbar());
        QVERIFY(!tray.Symbol().isVisible());
        tray.SichtbarSetzen(false);
        QVERIFY(!tray.Sichtbar());
    }

    void ApplicationIconIsDrawn() {
        const QImage bild = AnwendungsBild(64);
        QCOMPARE(bild.size(), QSize(64, 64));
        // Transparent corner, opaque middle, and more than one colour.
        QCOMPARE(qAlpha(bild.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(bild.pixel(32, 20)), 255);
        QVERIFY(bild.pixel(32, 45) != bild.pixel(32, 20));
        QVERIFY(AnwendungsSymbol().availableSizes().contains(QSize(16, 16)));
    }

    // Runs in the application's own loop, where closing the last visible window would
    // end the program.
    void ModalDialogSurvivesTheHiddenMainWindow_data() {
        QTest::addColumn<bool>("trayVorhanden");
        QTest::addColumn<bool>("schliessen"); // the close button instead of OK
        QTest::addColumn<bool>("ohneOwner");  // a box opened without an owner
        QTest::newRow("tray, OK") << true << false << false;
        QTest::newRow("tray, closed") << true << true << false;
        QTest::newRow("tray, no owner") << true << true << true;
        QTest::newRow("no tray, OK") << false << false << false;
        QTest::newRow("no tray, closed") << false << true << false;
        QTest::newRow("no tray, no owner") << false << true << true;
    }
    void ModalDialogSurvivesTheHiddenMainWindow() {
        QFETCH(bool, trayVorhanden);
        QFETCH(bool, schliessen);
        QFETCH(bool, ohneOwner);
        QWidget haupt;
        Zeigen(haupt, true);
        TQtTrayIcon tray(haupt, nullptr, Tray(trayVorhanden));
        QDialog dialog(ohneOwner ? nullptr : &haupt);
        dialog.resize(300, 200);

        std::vector<std::function<void()>> schritte{
            [&] {
                tray.AnwendungMinimieren();
                tray.SichtbarSetzen(true);
                tray.HauptfensterVerbergen();
            },
            [&] {
                // Shown again while the dialog still runs, then hidden again.
                tray.SichtbarSetzen(false);
                tray.HauptfensterZeigen();
            },
            [&] {
                tray.AnwendungMinimieren();
                tray.SichtbarSetzen(true);
                tray.HauptfensterVerbergen();
            },
            // The dialog ends while the main window is hidden.
            [&] {
                if (schliessen) {
                    dialog.close();
                } else {
                    dialog.accept();
                }
            },
        };
        struct TBeobachtung {
            bool HauptSichtbar, HauptMinimiert, DialogSichtbar;
        };
        std::vector<TBeobachtung> gesehen;
        std::size_t naechster = 0;
        QTimer treiber;
        treiber.setInterval(5);
        connect(&treiber, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() != &dialog || naechster == schritte.size()) {
                return;
            }
            schritte[naechster++]();
            gesehen.push_back({haupt.isVisible(), haupt.isMinimized(), dialog.isVisible()});
        });

        int ergebnis = -1;
        QTimer::singleShot(0, [&] {
            treiber.start();
            ergebnis = dialog.exec();
            treiber.stop();
            QTimer::singleShot(0, [] { QApplication::exit(42); });
        });
        QCOMPARE(QApplication::exec(), 42);
        QCOMPARE(ergebnis, int(schliessen ? QDialog::Rejected : QDialog::Accepted));
        QCOMPARE(gesehen.size(), std::size_t(4));
        QCOMPARE(gesehen[0].HauptSichtbar, !trayVorhanden);
        QVERIFY(gesehen[0].DialogSichtbar);
        QVERIFY(gesehen[1].HauptSichtbar && !gesehen[1].HauptMinimiert);
        QVERIFY(gesehen[1].DialogSichtbar);
        QCOMPARE(gesehen[2].HauptSichtbar, !trayVorhanden);

        tray.SichtbarSetzen(false);
        tray.HauptfensterZeigen();
        QVERIFY(haupt.isVisible() && haupt.isMaximized() && !haupt.isMinimized());
        QVERIFY(QApplication::quitOnLastWindowClosed());
    }
};

QTEST_MAIN(TrayIconTest)
#include "trayicon_test.moc"
