// The measurement rules and the shared window routines at font sizes 12 and 30.

#include "platform/aussehen/Fenster.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QWidget>

using namespace lorvane;

class FensterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ControlHeights() {
        const struct {
            int hoehe;
            TControlArt art;
            int erwartet;
        } faelle[] = {{20, TControlArt::Edit, 28},      {20, TControlArt::Button, 32},
                      {20, TControlArt::StatusBar, 26}, {20, TControlArt::CheckBox, 28},
                      {20, TControlArt::Sonstige, 20},  {0, TControlArt::Button, 24},
                      {-3, TControlArt::Sonstige, 12}};
        for (const auto& fall : faelle) {
            QCOMPARE(ControlHeightFor(fall.hoehe, fall.art), fall.erwartet);
        }
    }

    void LongestCaptionCountsCharactersWithoutAmpersands() {
        QCOMPARE(LaengsteCaption({"&Ab", "Cd&e", "&&x"}), QString("Cde"));
        // Equal lengths: the first wins.
        QCOMPARE(LaengsteCaption({"Nach &oben", "Nach &unten", "Entfe&rnen"}),
                 QString("Nach unten"));
        QCOMPARE(LaengsteCaption({"&abc", "xy&z"}), QString("abc"));
    }

    void ColoursKeepTheStoredLayout() {
        const QPalette palette = QApplication::palette();
        QCOMPARE(FarbeAus(0x0000FFu, palette), QColor(255, 0, 0));
        QCOMPARE(FarbeAus(0xF0CAA6u, palette), QColor(0xA6, 0xCA, 0xF0));
        QCOMPARE(FarbWert(QColor(0xA6, 0xCA, 0xF0)), 0xF0CAA6u);
        QCOMPARE(FarbeAus(FensterTextFarbe, palette), palette.color(QPalette::WindowText));
    }

    void StyleBits() {
        TAktFont font;
        font.Style = StilKursiv | StilFett;
        const QFont f = SchriftAus(font);
        QVERIFY(f.italic() && f.bold() && !f.underline() && !f.strikeOut());
        font.Style = StilUnterstrichen | StilDurchgestrichen;
        const QFont g = SchriftAus(font);
        QVERIFY(!g.italic() && !g.bold() && g.underline() && g.strikeOut());
    }

    void ButtonsShareTheWidthOfTheLongestCaption_data() {
        QTest::addColumn<int>("groesse");
        QTest::newRow("12") << 12;
        QTest::newRow("30") << 30;
    }
    void ButtonsShareTheWidthOfTheLongestCaption() {
        QFETCH(int, groesse);
        TAussehen aussehen;
        aussehen.AktFont.Size = groesse;
        QWidget fenster;
        auto* a = new QPushButton("&Zurück", &fenster);
        auto* b = new QPushButton("Ak&tualisieren", &fenster);
        auto* label = new QLabel("Text", &fenster);
        auto* fortschritt = new QProgressBar(&fenster);
        SchriftartZuweisen(fenster, TFensterArt::Hauptfenster, aussehen);
        const QFont font = SchriftAus(aussehen.AktFont);
        const int w = SchalterGemeinsam(fenster, font);
        QCOMPARE(w, QFontMetrics(font).horizontalAdvance("AktualisierenMM "));
        for (QPushButton* button : {a, b}) {
            QCOMPARE(button->width(), w);
            QCOMPARE(button->height(), QFontMetrics(font).height() + 12);
            QVERIFY(QFontMetrics(button->font()).horizontalAdvance(button->text()) < w);
        }
        QCOMPARE(label->font().pointSize(), groesse);
        // Its percentage is read like a caption.
        QCOMPARE(fortschritt->font().pointSize(), groesse);
    }

    void DialogsAreCentredOverTheirOwnerEvenWhenLarger() {
        QCOMPARE(DialogPosition(QRect(100, 100, 800, 600), QSize(400, 301)), QPoint(300, 249));
        QCOMPARE(DialogPosition(QRect(50, 50, 400, 300), QSize(601, 500)), QPoint(-50, -50));
        QCOMPARE(HauptfensterPosition(QRect(0, 30, 1024, 738), QSize(1000, 700), false),
                 QPoint(12, 49));
        QCOMPARE(HauptfensterPosition(QRect(0, 30, 1024, 738), QSize(1000, 700), true),
                 QPoint(0, 30));
        QCOMPARE(Prozent(999, 85), 849);
    }

    // A window that would reach out of the work area moves in as far as needed; one
    // larger than it starts at its top-left corner.
    void WindowsStayInTheWorkArea() {
        const QRect bereich(0, 30, 1280, 994);
        const struct {
            QRect rahmen;
            QPoint erwartet;
        } faelle[] = {
            {QRect(100, 100, 800, 600), QPoint(100, 100)},  // inside: stays
            {QRect(-50, -50, 1000, 700), QPoint(0, 30)},    // above and left of it
            {QRect(600, 500, 1000, 700), QPoint(280, 324)}, // below and right of it
            {QRect(-5, 40, 1400, 500), QPoint(0, 40)},      // wider than it
            {QRect(10, 10, 300, 1100), QPoint(10, 30)},     // higher than it
        };
        for (const auto& fall : faelle) {
            QCOMPARE(InBereich(fall.rahmen, bereich), fall.erwartet);
        }
    }
};

QTEST_MAIN(FensterTest)
#include "fenster_test.moc"
