// The main window's layout arithmetic at font sizes 12 and 30, and its start size.

#include "platform/Fenster.h"
#include "ui/HauptLayout.h"

#include <QFontMetrics>
#include <QTest>

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
        QCOMPARE(layout.Statuszeile, QRect(0, 840 - masse.StatusHoehe, 1184, masse.StatusHoehe));
        QCOMPARE(layout.Panels[0] + layout.Panels[1] + layout.Panels[2], 1184);
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
        // The buttons stand right of their list, one button height below its top,
        // 10 apart, and end at the client's right margin.
        int top = layout.Liste1.top() + masse.ButtonHoehe;
        for (const QRect& button : layout.Buttons1) {
            QCOMPARE(button, QRect(layout.Liste1.right() + 11, top, masse.W, masse.ButtonHoehe));
            QCOMPARE(button.right() + 1, client.width() - 10);
            top += masse.ButtonHoehe + 10;
        }
        top = layout.Liste2.top() + masse.ButtonHoehe;
        for (const QRect& button : layout.Buttons2) {
            QCOMPARE(button.topLeft(), QPoint(layout.Liste2.right() + 11, top));
            top += masse.ButtonHoehe + 10;
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
