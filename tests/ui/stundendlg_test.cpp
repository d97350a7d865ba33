// The hours dialog and the hours field it shares with the metadata dialog: the OK
// rule, the value taken, no pasting, the announcement and the layout.

#include "ui/StundenDlgC.h"

#include "DialogTestHilfen.h"
#include "platform/aussehen/Meldungen.h"
#include "ui/DialogLayout.h"
#include "ui/StundenFeld.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace lorvane;
using lorvane::test::TAufnahmeAnsager;

class StundenDlgTest : public QObject {
    Q_OBJECT

    QWidget fOwner;
    TAufnahmeAnsager fAnsager;

    std::unique_ptr<TStundenDlg> Zeigen(std::int32_t position = 5, int groesse = 12) {
        TAussehen aussehen;
        aussehen.AktFont.Size = groesse;
        auto dlg = std::make_unique<TStundenDlg>(&fOwner, aussehen, fAnsager);
        dlg->PositionSetzen(position);
        dlg->show();
        [&] { QVERIFY(QTest::qWaitForWindowActive(dlg.get())); }();
        return dlg;
    }

    static QLineEdit& Feld(const TStundenDlg& dlg) { return dlg.Feld().Edit(); }

private Q_SLOTS:
    void initTestCase() { test::OwnerZeigen(fOwner); }
    void init() { fAnsager.Texte.clear(); }

    void PositionTakesValidTextOnly() {
        TStundenPosition p(5);
        const struct {
            const char* text;
            int position;
        } schritte[] = {{"25", 5}, {"7", 7}, {"", 7},    {"0", 7},
                        {"25", 7}, {"1", 1}, {"10", 10}, {"11", 10}};
        for (const auto& s : schritte) {
            QCOMPARE(p.Lesen(QString::fromLatin1(s.text)), s.position);
            QCOMPARE(p.Position(), s.position);
        }
        QCOMPARE(p.Schritt("10", +1), 10);
        QCOMPARE(p.Schritt("25", -1), 9);
        QCOMPARE(p.Schritt("1", -1), 1);
        QCOMPARE(TStundenPosition(0).Position(), 1);
        QCOMPARE(TStundenPosition(50).Position(), 10);
        QCOMPARE(StundenBegrenzen(std::int64_t{1} << 40), 10);
    }

    void TextsOfTheField() {
        QCOMPARE(StundenLabelText(), QString("Ungefähre Länge jeder &M4B-Datei (1-10 Stunden):"));
        QCOMPARE(StundenAnsage(), QString("Stunden (1 bis 10)"));
        QCOMPARE(StundenWert("07"), 7);
        QCOMPARE(StundenWert(""), 0);
        QCOMPARE(StundenWert("x"), 0);
        QCOMPARE(TextNachEingabe("12", 0, 2, 2, "3"), QString("3"));
        QCOMPARE(TextNachEingabe("12", 0, 0, 1, "3"), QString("132"));
        QVERIFY(StundenTextZulaessig("") && StundenTextZulaessig("99"));
        QVERIFY(!StundenTextZulaessig("100") && !StundenTextZulaessig("1a"));
    }

    void CaptionsAndButtons() {
        auto dlg = Zeigen();
        QCOMPARE(dlg->windowTitle(), QString("Ungefähre Länge jeder M4B-Datei"));
        QCOMPARE(dlg->OkKnopf().text(), QString("O&K"));
        QCOMPARE(dlg->AbbrechenKnopf().text(), QString("&Abbrechen"));
        QVERIFY(dlg->OkKnopf().isDefault() && !dlg->OkKnopf().autoDefault());
        QVERIFY(!dlg->AbbrechenKnopf().isDefault() && !dlg->AbbrechenKnopf().autoDefault());
        QCOMPARE(dlg->Feld().Label().buddy(), &Feld(*dlg));
        QTRY_VERIFY(Feld(*dlg).hasFocus());
        QCOMPARE(Feld(*dlg).selectedText(), QString("5"));
        QTRY_COMPARE(fAnsager.Texte, QStringList{"Stunden (1 bis 10)"});
        // A click on the label brings the focus back and names the field again.
        dlg->OkKnopf().setFocus();
        QTRY_VERIFY(dlg->OkKnopf().hasFocus());
        QTest::mouseClick(&dlg->Feld().Label(), Qt::LeftButton);
        QTRY_VERIFY(Feld(*dlg).hasFocus());
        QTRY_COMPARE(fAnsager.Texte.size(), 2);
    }

    void OkTakesTheSpinPosition_data() {
        QTest::addColumn<QString>("getippt");
        QTest::addColumn<bool>("okAn");
        QTest::addColumn<int>("ergebnis");
        QTest::newRow("0") << "0" << false << 5;
        QTest::newRow("empty") << "" << false << 5;
        QTest::newRow("25: out of range") << "25" << false << 5;
        QTest::newRow("12: out of range") << "12" << false << 5;
        QTest::newRow("11") << "11" << false << 5;
        QTest::newRow("7") << "7" << true << 7;
        QTest::newRow("10") << "10" << true << 10;
        QTest::newRow("80") << "80" << false << 5;
        QTest::newRow("1") << "1" << true << 1;
        QTest::newRow("08") << "08" << true << 8;
    }
    void OkTakesTheSpinPosition() {
        QFETCH(QString, getippt);
        QFETCH(bool, okAn);
        QFETCH(int, ergebnis);
        auto dlg = Zeigen(5);
        QLineEdit& feld = Feld(*dlg);
        QTRY_VERIFY(feld.hasFocus());
        feld.selectAll();
        QTest::keyClick(&feld, Qt::Key_Backspace);
        test::Tippen(feld, getippt);
        QCOMPARE(feld.text(), getippt);
        QCOMPARE(dlg->OkKnopf().isEnabled(), okAn);
        const int piepen = PiepZaehler();
        QTest::keyClick(&feld, Qt::Key_Return);
        if (okAn) {
            QTRY_VERIFY(!dlg->isVisible());
            QCOMPARE(dlg->result(), int(QDialog::Accepted));
            QCOMPARE(PiepZaehler(), piepen);
        } else {
            // A disabled default button: the key beeps and the dialog stays.
            QCOMPARE(PiepZaehler() - piepen, 1);
            QVERIFY(dlg->isVisible());
        }
        QCOMPARE(dlg->Position(), ergebnis);
    }

    void StoredHoursAreHeldToTheRange() {
        for (const auto& [gespeichert, gezeigt] : {std::pair{0, 1}, {50, 10}, {3, 3}}) {
            auto dlg = Zeigen(gespeichert);
            QCOMPARE(Feld(*dlg).text(), QString::number(gezeigt));
            QCOMPARE(dlg->Position(), gezeigt);
        }
    }

    void PastingOnlyBeeps() {
        QGuiApplication::clipboard()->setText(QStringLiteral("3"));
        auto dlg = Zeigen(5);
        QLineEdit& feld = Feld(*dlg);
        QTRY_VERIFY(feld.hasFocus());
        feld.selectAll();
        const int piepen = PiepZaehler();
        QTest::keyClick(&feld, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(feld.text(), QString("5"));
        QCOMPARE(PiepZaehler() - piepen, 1);
        QTest::keyClick(&feld, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(feld.text(), QString("5"));
        QCOMPARE(PiepZaehler() - piepen, 2);
        QCOMPARE(feld.contextMenuPolicy(), Qt::NoContextMenu);
        // Other shortcuts of the field still work.
        QTest::keyClick(&feld, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(feld.selectedText(), QString("5"));
    }

    void TypingIsHeldToTwoDigits() {
        auto dlg = Zeigen(5);
        QLineEdit& feld = Feld(*dlg);
        QTRY_VERIFY(feld.hasFocus());
        feld.selectAll();
        const int piepen = PiepZaehler();
        test::Tippen(feld, QStringLiteral("a4-ä 27"));
        QCOMPARE(feld.text(), QString("42"));
        QCOMPARE(PiepZaehler() - piepen, 5);
    }

    void UpAndDownStepWithinTheRange() {
        auto dlg = Zeigen(9);
        QLineEdit& feld = Feld(*dlg);
        QTRY_VERIFY(feld.hasFocus());
        QTest::keyClick(&feld, Qt::Key_Up);
        QTest::keyClick(&feld, Qt::Key_Up);
        QCOMPARE(feld.text(), QString("10"));
        dlg->Feld().AbKnopf().click();
        QCOMPARE(feld.text(), QString("9"));
        QCOMPARE(dlg->Position(), 9);
        QVERIFY(feld.hasFocus());
        QCOMPARE(dlg->Feld().AufKnopf().focusPolicy(), Qt::NoFocus);
        QVERIFY(!dlg->Feld().AufKnopf().accessibleName().isEmpty());
    }

    void EscapeCancels() {
        auto dlg = Zeigen(5);
        test::Tippen(Feld(*dlg), QStringLiteral("8"));
        QTest::keyClick(&Feld(*dlg), Qt::Key_Escape);
        QTRY_VERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
    }

    void LayoutArithmetic() {
        TStundenMasse m;
        m.Label = QSize(300, 20);
        m.EditHoehe = 28;
        m.StundenBreite = 30;
        m.AufAbBreite = 16;
        m.ButtonBreite = 120;
        m.ButtonHoehe = 32;
        TStundenLayout l = StundenLayout(m);
        QCOMPARE(l.Feld, QRect(315, 10, 30, 28));
        QCOMPARE(l.Label, QRect(10, 14, 300, 20));
        QCOMPARE(l.AufAb, QRect(345, 10, 16, 28));
        QCOMPARE(l.Ok, QRect(80, 48, 120, 32));
        QCOMPARE(l.Abbrechen, QRect(280, 48, 120, 32));
        QCOMPARE(l.Client, QSize(480, 90));
        m.Label = QSize(500, 20);
        l = StundenLayout(m);
        QCOMPARE(l.Client.width(), 571);
        QCOMPARE(l.Ok.left(), 110);
        QCOMPARE(l.Abbrechen.left(), 340);
        QCOMPARE(AufAbBreiteFuer(20), 16);
        QCOMPARE(AufAbBreiteFuer(50), 25);
    }

    void LaidOutWithTheMeasuredFont_data() {
        QTest::addColumn<int>("groesse");
        QTest::newRow("12") << 12;
        QTest::newRow("30") << 30;
    }
    void LaidOutWithTheMeasuredFont() {
        QFETCH(int, groesse);
        auto dlg = Zeigen(5, groesse);
        const QFont font = Feld(*dlg).font();
        QCOMPARE(font.pointSize(), groesse);
        const QRect client = dlg->rect();
        for (QWidget* w : std::initializer_list<QWidget*>{
                 &dlg->Feld().Label(), &Feld(*dlg), &dlg->Feld().AufKnopf(), &dlg->Feld().AbKnopf(),
                 &dlg->OkKnopf(), &dlg->AbbrechenKnopf()}) {
            QVERIFY(client.contains(w->geometry()));
        }
        QCOMPARE(Feld(*dlg).width(), QFontMetrics(font).horizontalAdvance("MM "));
        QCOMPARE(dlg->OkKnopf().width(), dlg->AbbrechenKnopf().width());
        QCOMPARE(dlg->OkKnopf().height(), QFontMetrics(dlg->OkKnopf().font()).height() + 12);
        QCOMPARE(dlg->Feld().AufKnopf().geometry().left(), Feld(*dlg).geometry().right() + 1);
        QCOMPARE(dlg->height(), dlg->OkKnopf().geometry().bottom() + 1 + 10);
    }
};

QTEST_MAIN(StundenDlgTest)
#include "stundendlg_test.moc"
