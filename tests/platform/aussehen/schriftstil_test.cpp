// The application style at a usual and at the largest font: ticks and arrows grow with
// the font only when it is large, list box texts keep their room, arrows point the right
// way; the focus frame stands in the text colour in every colour pair.

#include "platform/aussehen/Fenster.h"
#include "platform/aussehen/KivColors.h"
#include "platform/aussehen/SchriftStil.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusFrame>
#include <QImage>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace lorvane;

namespace {

void SchriftSetzen(QWidget& widget, int punkte) {
    QFont font = widget.font();
    font.setPointSize(punkte);
    widget.setFont(font);
}

// The rows of the drawn arrow: how many dark pixels each row of the image holds.
QList<int> DunkleZeilen(const QImage& bild) {
    QList<int> zeilen;
    for (int y = 0; y < bild.height(); ++y) {
        int dunkel = 0;
        for (int x = 0; x < bild.width(); ++x) {
            dunkel += qGray(bild.pixel(x, y)) < 100 ? 1 : 0;
        }
        if (dunkel > 0) {
            zeilen << dunkel;
        }
    }
    return zeilen;
}

QImage PfeilBild(QStyle& stil, Qt::ArrowType richtung, int punkte) {
    QToolButton knopf;
    knopf.setStyle(&stil);
    SchriftSetzen(knopf, punkte);
    knopf.setArrowType(richtung);
    knopf.resize(36, 36);
    return knopf.grab().toImage();
}

} // namespace

class SchriftStilTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QStyle> fBasis{QStyleFactory::create(QStringLiteral("Fusion"))};
    // Wraps the desktop's style, Fusion on the offscreen platform.
    TSchriftStil fStil;

private Q_SLOTS:
    // The program's own style, with the frame that follows the focus.
    void initTestCase() { SchriftStilSetzen(); }

    // For every pair of the 17 colours: the control with the focus, a button or the
    // "Fett" box, is ringed in the text colour on the background, and the buttons are
    // drawn in the pair too.
    void TheFocusFrameShowsInEveryColourPair() {
        const TColors farben;
        QWidget fenster;
        auto* fett = new QCheckBox(QStringLiteral("&Fett"), &fenster);
        auto* knopf = new QPushButton(QStringLiteral("O&K"), &fenster);
        fett->setGeometry(20, 20, 160, 40);
        knopf->setGeometry(20, 90, 160, 40);
        fenster.resize(220, 150);
        fenster.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenster));
        for (int t = 0; t < farben.Count(); ++t) {
            for (int h = 0; h < farben.Count(); ++h) {
                if (t == h) {
                    continue;
                }
                TAussehen aussehen;
                aussehen.AktFont.Size = 20;
                aussehen.AktFont.Color = farben.Get(t).Color;
                aussehen.AktBackColor = farben.Get(h).Color;
                SchriftartZuweisen(fenster, TFensterArt::Dialog, aussehen);
                const QColor text = FarbeAus(aussehen.AktFont.Color, fenster.palette());
                const QColor grund = FarbeAus(aussehen.AktBackColor, fenster.palette());
                for (QWidget* ziel : {static_cast<QWidget*>(knopf), static_cast<QWidget*>(fett)}) {
                    ziel->setFocus(Qt::TabFocusReason);
                    QTRY_VERIFY(fenster.findChild<QFocusFrame*>() != nullptr &&
                                fenster.findChild<QFocusFrame*>()->isVisible());
                    const QImage bild = fenster.grab().toImage();
                    const QString fall = farben.Get(t).Name + "/" + farben.Get(h).Name;
                    // Just outside the control, left of its middle: the ring.
                    const QPoint ring(ziel->x() - 1, ziel->y() + ziel->height() / 2);
                    QVERIFY2(bild.pixelColor(ring) == text, qPrintable(fall));
                    QVERIFY2(bild.pixelColor(5, 5) == grund, qPrintable(fall));
                }
                // The button's face is the background, its frame the text colour.
                const QImage bild = knopf->grab().toImage();
                QCOMPARE(bild.pixelColor(knopf->width() / 2, 2), grund);
                QCOMPARE(bild.pixelColor(0, knopf->height() / 2), text);
            }
        }
    }

    void SizeFollowsTheLineHeightAboveTheBase() {
        const struct {
            int basis, hoehe;
            double anteil;
            int erwartet;
        } faelle[] = {{14, 16, 0.75, 14}, {14, 55, 0.75, 41}, {8, 0, 0.4, 8}, {18, 31, 0.6, 19}};
        for (const auto& fall : faelle) {
            QCOMPARE(SchriftGerecht(fall.basis, fall.hoehe, fall.anteil), fall.erwartet);
        }
    }

    void TickAndScrollBarGrowOnlyWithALargeFont() {
        for (const auto metrik : {QStyle::PM_IndicatorWidth, QStyle::PM_ScrollBarExtent}) {
            for (const int punkte : {9, 35}) {
                QCheckBox box(QStringLiteral("Fett"));
                SchriftSetzen(box, punkte);
                const int basis = fBasis->pixelMetric(metrik, nullptr, &box);
                const int breite = fStil.pixelMetric(metrik, nullptr, &box);
                if (punkte == 9) {
                    QCOMPARE(breite, basis);
                } else {
                    QVERIFY2(breite >= box.fontMetrics().height() * 2 / 5 && breite > basis,
                             qPrintable(QString::number(breite)));
                }
            }
        }
    }

    void ListBoxArrowGrowsAndTheTextKeepsItsRoom() {
        for (const int punkte : {9, 35}) {
            QComboBox liste;
            liste.setStyle(&fStil);
            SchriftSetzen(liste, punkte);
            liste.addItem(QStringLiteral("Weiß (Hintergrund)"));
            liste.resize(liste.sizeHint());
            QStyleOptionComboBox option;
            option.initFrom(&liste);
            const auto teil = [&](const QStyle& stil, QStyle::SubControl sc) {
                return stil.subControlRect(QStyle::CC_ComboBox, &option, sc, &liste);
            };
            const QRect pfeil = teil(fStil, QStyle::SC_ComboBoxArrow);
            const QRect feld = teil(fStil, QStyle::SC_ComboBoxEditField);
            QVERIFY(!pfeil.intersects(feld));
            QVERIFY(liste.rect().contains(pfeil) && liste.rect().contains(feld));
            QVERIFY(feld.width() >= liste.fontMetrics().horizontalAdvance(liste.itemText(0)));
            const int basisBreite = teil(*fBasis, QStyle::SC_ComboBoxArrow).width();
            QVERIFY(punkte == 9 ? pfeil.width() == basisBreite : pfeil.width() > basisBreite);
        }
    }

    void ToolButtonArrowsAreLargeAndPointTheirWay() {
        const struct {
            Qt::ArrowType richtung;
            bool spitzeOben;
        } faelle[] = {{Qt::UpArrow, true}, {Qt::DownArrow, false}};
        for (const auto& fall : faelle) {
            const QList<int> gross = DunkleZeilen(PfeilBild(fStil, fall.richtung, 35));
            const QList<int> basis = DunkleZeilen(PfeilBild(*fBasis, fall.richtung, 35));
            QVERIFY2(gross.size() >= 2 * basis.size(),
                     qPrintable(QString("%1 / %2 Zeilen").arg(gross.size()).arg(basis.size())));
            QCOMPARE(gross.first() < gross.last(), fall.spitzeOben);
        }
        // At a usual size the style's own arrow stays.
        QCOMPARE(PfeilBild(fStil, Qt::UpArrow, 9), PfeilBild(*fBasis, Qt::UpArrow, 9));
    }
};

QTEST_MAIN(SchriftStilTest)
#include "schriftstil_test.moc"
