// The main window's layout arithmetic at font sizes 12 and 30, at every size from 5
// to 35 on the users' 1280 x 1024 screen, and its start size.

#include "platform/aussehen/Fenster.h"
#include "ui/haupt/HauptLayout.h"
#include "ui/haupt/HauptListen.h"
#include "ui/haupt/Statuszeile.h"

#include <QFontMetrics>
#include <QTest>

#include <algorithm>
#include <array>

using namespace lorvane;

class HauptLayoutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ColumnsArePercentagesUnlessTheSecondNeedsMore() {
        const struct {
            int breite, prozent0, prozent1, mindest;
            std::array<int, 2> erwartet;
        } faelle[] = {{1000, 85, 15, 100, {850, 150}}, // the percentages
                      {999, 90, 10, 50, {899, 99}},    // truncated
                      {860, 85, 15, 230, {630, 230}},  // "Unterordner" at 30 points
                      {100, 90, 10, 150, {0, 150}}};   // nothing left for the first
        for (const auto& fall : faelle) {
            QCOMPARE(Spalten(fall.breite, fall.prozent0, fall.prozent1, fall.mindest),
                     fall.erwartet);
        }
    }

    void ButtonsFitTheirCaptions_data() {
        QTest::addColumn<int>("groesse");
        QTest::newRow("12") << 12;
        QTest::newRow("30") << 30;
    }
    void ButtonsFitTheirCaptions() {
        QFETCH(int, groesse);
        TAktFont aktFont;
        aktFont.Size = groesse;
        const QFont font = SchriftAus(aktFont);
        const THauptMasse masse = HauptMasseMessen(font);
        const QFontMetrics metrik(font);
        QCOMPARE(masse.ButtonHoehe, metrik.height() + 12);
        QCOMPARE(masse.WeiterHoehe, QFontMetrics(WeiterFont(font)).height() + 12);
        QCOMPARE(WeiterFont(font).pointSize(), groesse + 3);
        QCOMPARE(masse.WeiterBreite, masse.W + masse.W * 30 / 100);
        QCOMPARE(masse.StatusHoehe, metrik.height() + 6);
        for (const QString& caption : HauptButtonCaptions()) {
            const QString text = StripAmpersands(caption);
            QVERIFY2(metrik.horizontalAdvance(text + "MM") < masse.W, qPrintable(text));
        }
        QVERIFY(QFontMetrics(WeiterFont(font)).horizontalAdvance("Weiter") < masse.WeiterBreite);
        QVERIFY(metrik.horizontalAdvance("Laufwerke: 999/999 mark.") < masse.Panel0Breite);
        QVERIFY(metrik.horizontalAdvance("Dateien: 9.999/9.999 mark.") < masse.Panel1Breite);

        const QSize client(1184, 840);
        const THauptLayout layout = HauptLayoutBerechnen(client, masse);
        // One row while the hints fit beside the counts, else a row of their own.
        const bool eineZeile =
            masse.Panel0Breite + masse.Panel1Breite + masse.HinweisBreite <= 1184;
        QCOMPARE(eineZeile, groesse == 12);
        const int statusHoehe =
            eineZeile ? masse.StatusHoehe
                      : masse.StatusHoehe + layout.HinweisZeilen * metrik.height() + 6;
        QCOMPARE(layout.Statuszeile, QRect(0, 840 - statusHoehe, 1184, statusHoehe));
        QCOMPARE(layout.Panels[1].right() + 1, 1184 - (eineZeile ? layout.Panels[2].width() : 0));
        QCOMPARE(layout.Panels[2].right() + 1, 1184);
        QCOMPARE(layout.Weiter.bottom() + 1, layout.Statuszeile.top() - 10);
        QCOMPARE(layout.Weiter.left(), (1184 - masse.WeiterBreite) / 2);
        QCOMPARE(layout.Liste1, QRect(10, 10, 1184 - 30 - masse.W, (layout.Weiter.top() - 30) / 2));
        QCOMPARE(layout.Liste2.top(), layout.Liste1.top() + layout.Liste1.height() + 10);
        QCOMPARE(layout.Liste2.size(), layout.Liste1.size());
        QCOMPARE(layout.Spalten1, Spalten(layout.Liste1.width(), 85, 15, masse.Spalte1Mindest));
        QCOMPARE(layout.Spalten2, Spalten(layout.Liste1.width(), 90, 10, masse.Spalte2Mindest));
        // Also at font size 30 the narrow columns show their caption and their texts.
        QVERIFY(metrik.horizontalAdvance("Unterordner") < layout.Spalten1[1]);
        QVERIFY(metrik.horizontalAdvance("100:04:05") < layout.Spalten2[1]);
        // The buttons stand right of their list, one button height below its top (less
        // when the room down to the list's end, for the file list's down to the status
        // line, is too short for that), 10 apart, and end at the client's right margin.
        const auto erster = [&](const QRect& liste, int unten, int anzahl) {
            const int spalte = anzahl * masse.ButtonHoehe + (anzahl - 1) * 10;
            return liste.top() + std::clamp(unten - liste.top() - spalte, 0, masse.ButtonHoehe);
        };
        int top = erster(layout.Liste1, layout.Liste1.bottom() + 1, 3);
        QCOMPARE(top == layout.Liste1.top() + masse.ButtonHoehe, groesse == 12);
        for (const QRect& button : layout.Buttons1) {
            QCOMPARE(button, QRect(layout.Liste1.right() + 11, top, masse.W, masse.ButtonHoehe));
            QCOMPARE(button.right() + 1, client.width() - 10);
            top += masse.ButtonHoehe + 10;
        }
        top = erster(layout.Liste2, layout.Statuszeile.top() - 10, 4);
        for (const QRect& button : layout.Buttons2) {
            QCOMPARE(button.topLeft(), QPoint(layout.Liste2.right() + 11, top));
            top += masse.ButtonHoehe + 10;
        }
    }

    // The window's smallest client area fits the screen with a frame and the menu bar,
    // and there no control lies over another, the hints show whole over their lines, and
    // the narrow columns keep at least their share.
    void AtEverySizeItFitsTheScreenAndNothingOverlaps() {
        const QSize bildschirm(1280 - 8, 1024 - 32); // without a window manager's frame
        for (int groesse = 5; groesse <= 35; ++groesse) {
            TAktFont aktFont;
            aktFont.Size = groesse;
            const QFont font = SchriftAus(aktFont);
            const THauptMasse masse = HauptMasseMessen(font);
            const int menue = ControlHeightFor(font, TControlArt::Button); // the menu bar
            const int breite = std::max(1000, HauptMindestClient(masse, 0).width());
            const int status =
                HauptLayoutBerechnen(QSize(breite, 2000), masse).Statuszeile.height();
            const QSize client(breite, HauptMindestClient(masse, status).height());
            const QString fall = QString::number(groesse);
            QVERIFY2(client.width() <= bildschirm.width() &&
                         client.height() + menue <= bildschirm.height(),
                     qPrintable(fall));

            const THauptLayout l = HauptLayoutBerechnen(client, masse);
            QList<QRect> controls{l.Liste1, l.Liste2, l.Weiter, l.Statuszeile};
            controls << QList<QRect>(l.Buttons1.begin(), l.Buttons1.end())
                     << QList<QRect>(l.Buttons2.begin(), l.Buttons2.end());
            for (qsizetype i = 0; i < controls.size(); ++i) {
                QVERIFY2(QRect(QPoint(0, 0), client).contains(controls[i]), qPrintable(fall));
                for (qsizetype j = i + 1; j < controls.size(); ++j) {
                    QVERIFY2(!controls[i].intersects(controls[j]),
                             qPrintable(fall + QString(": %1 / %2").arg(i).arg(j)));
                }
            }
            const QFontMetrics metrik(font);
            for (const QString& hinweise : MoeglicheHinweise(TStatusKuerzel{})) {
                const QString text =
                    PanelText(hinweise, metrik, l.Panels[2].width() - 8, l.HinweisZeilen);
                QVERIFY2(!text.contains(QChar(0x2026)), qPrintable(fall + ": " + text));
            }
            const int spalten = l.Liste2.width() - masse.ListenRand;
            QVERIFY(l.Spalten2[1] >= Prozent(spalten, 10));
            QVERIFY(l.Spalten2[0] == Prozent(spalten, 90) || l.Spalten2[1] == masse.Spalte2Mindest);
            QVERIFY(l.Spalten2[0] + l.Spalten2[1] <= spalten);
        }
    }

    // A path too long for its column keeps its start and its file name; the name is
    // shortened only when nothing else is left.
    void PathsAreShortenedBeforeTheFileName() {
        const QFontMetrics metrik(SchriftAus(TAktFont{}));
        const QString pfad = "/home/anna/Hörbücher/Ein sehr langer Ordnername/Kapitel 1.mp3";
        const int ganz = metrik.horizontalAdvance(pfad);
        const int name = metrik.horizontalAdvance("…/Kapitel 1.mp3");
        const struct {
            QString pfad;
            int breite;
            QString anfang, ende; // what the shortened text starts and ends with
        } faelle[] = {
            {pfad, ganz, pfad, pfad},
            {pfad, ganz - 1, "/home/anna/", "…/Kapitel 1.mp3"},
            {pfad, name + metrik.horizontalAdvance("/ho"), "/", "…/Kapitel 1.mp3"},
            {pfad, name - 1, "Kap", "mp3"},
            {"Kapitel 1 mit einem sehr langen Namen.mp3", 100, "Kap", "mp3"},
        };
        for (const auto& fall : faelle) {
            const QString text = PfadKuerzen(fall.pfad, metrik, fall.breite);
            const QString was = QString::number(fall.breite) + ": " + text;
            QVERIFY2(text.startsWith(fall.anfang) && text.endsWith(fall.ende), qPrintable(was));
            QVERIFY2(metrik.horizontalAdvance(text) <= fall.breite, qPrintable(was));
        }
    }

    void StartSizeIsHeldToTheWorkArea_data() {
        QTest::addColumn<QRect>("bereich");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QSize>("groesse");
        QTest::newRow("1024x768") << QRect(0, 0, 1024, 768) << QSize(1000, 700) << QSize(1024, 768);
        QTest::newRow("groß") << QRect(0, 30, 1920, 1050) << QSize(1000, 700) << QSize(1200, 900);
        QTest::newRow("klein") << QRect(0, 0, 800, 600) << QSize(800, 600) << QSize(800, 600);
        QTest::newRow("flach") << QRect(0, 0, 1600, 650) << QSize(1000, 650) << QSize(1200, 650);
    }
    void StartSizeIsHeldToTheWorkArea() {
        QFETCH(QRect, bereich);
        QFETCH(QSize, minimum);
        QFETCH(QSize, groesse);
        const THauptGroesse ergebnis = GroesseBegrenzen(bereich);
        QCOMPARE(ergebnis.Minimum, minimum);
        QCOMPARE(ergebnis.Groesse, groesse);
    }
};

QTEST_MAIN(HauptLayoutTest)
#include "hauptlayout_test.moc"
