// The metadata dialog: enabling rule, Enter and typing filter, announcements, hint,
// hours range and layout.

#include "ui/MetaDlgC.h"

#include "DialogTestHilfen.h"
#include "platform/aussehen/Meldungen.h"
#include "platform/aussehen/TitelZeile.h"
#include "ui/DialogLayout.h"
#include "ui/StundenFeld.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <memory>

using namespace lorvane;
using lorvane::test::TAufnahmeAnsager;

class MetaDlgTest : public QObject {
    Q_OBJECT

    QWidget fOwner;
    TAufnahmeAnsager fAnsager;

    std::unique_ptr<TMetaDlg> Zeigen(std::int32_t maxStunden = 5, bool minimieren = false,
                                     int groesse = 12) {
        TAussehen aussehen;
        aussehen.AktFont.Size = groesse;
        auto dlg = std::make_unique<TMetaDlg>(&fOwner, aussehen, fAnsager, minimieren, maxStunden);
        dlg->show();
        [&] { QVERIFY(QTest::qWaitForWindowActive(dlg.get())); }();
        return dlg;
    }

    static void Fokussieren(QWidget& feld) {
        feld.setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(feld.hasFocus());
    }

private Q_SLOTS:
    void initTestCase() { test::OwnerZeigen(fOwner); }
    void init() { fAnsager.Texte.clear(); }

    void CaptionsAndButtons() {
        auto dlg = Zeigen();
        QCOMPARE(dlg->windowTitle(), QString("Metainformationen eingeben"));
        QVERIFY(!dlg->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        const char* labels[] = {
            "A&utor:", "&Titel:", "A&lbum:", "Ungefähre Länge jeder &M4B-Datei (1-10 Stunden):"};
        const char* namen[] = {
            "Autor:", "Titel:", "Album:", "Ungefähre Länge jeder M4B-Datei (1-10 Stunden):"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(dlg->Label(i).text(), QString::fromUtf8(labels[i]));
            QCOMPARE(dlg->Label(i).buddy(), &dlg->Feld(i));
            QCOMPARE(dlg->Feld(i).alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&dlg->Feld(i));
            QVERIFY(a != nullptr);
            QCOMPARE(a->text(QAccessible::Name), QString::fromUtf8(namen[i]));
        }
        QCOMPARE(dlg->StarteKnopf().text(), QString("&Starte"));
        QCOMPARE(dlg->AbbrechenKnopf().text(), QString("&Abbrechen"));
        QVERIFY(dlg->StarteKnopf().isDefault());
        QVERIFY(!dlg->StarteKnopf().autoDefault());
        QVERIFY(!dlg->AbbrechenKnopf().isDefault() && !dlg->AbbrechenKnopf().autoDefault());
        QCOMPARE(dlg->Feld(3).maxLength(), 2);
        // Shown: the author field has the focus.
        QTRY_VERIFY(dlg->Feld(0).hasFocus());
    }

    void HintDependsOnMinimising_data() {
        QTest::addColumn<bool>("minimieren");
        QTest::addColumn<QString>("hinweis");
        QTest::newRow("aus") << false << "Startet die Hörbuch-Erstellung";
        QTest::newRow("ein") << true
                             << "Startet die Hörbuch-Erstellung und minimiert die Anwendung "
                                "in die Symbolablage";
    }
    void HintDependsOnMinimising() {
        QFETCH(bool, minimieren);
        QFETCH(QString, hinweis);
        auto dlg = Zeigen(5, minimieren);
        QCOMPARE(dlg->StarteKnopf().toolTip(), hinweis);
        QCOMPARE(dlg->StarteKnopf().accessibleDescription(), hinweis);
    }

    void StoredHoursAreHeldToTheRange_data() {
        QTest::addColumn<int>("gespeichert");
        QTest::addColumn<int>("gezeigt");
        QTest::newRow("0") << 0 << 1;
        QTest::newRow("-3") << -3 << 1;
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("7") << 7 << 7;
        QTest::newRow("10") << 10 << 10;
        QTest::newRow("50") << 50 << 10;
    }
    void StoredHoursAreHeldToTheRange() {
        QFETCH(int, gespeichert);
        QFETCH(int, gezeigt);
        auto dlg = Zeigen(gespeichert);
        QCOMPARE(dlg->Feld(3).text(), QString::number(gezeigt));
        QCOMPARE(dlg->Stunden(), gezeigt);
    }

    void EnterMovesToTheFirstEmptyFieldAndBeepsWhileIncomplete_data() {
        QTest::addColumn<QStringList>("texte");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("fokus");
        QTest::addColumn<bool>("starteAn");
        QTest::addColumn<bool>("piept");
        QTest::newRow("hours 11") << QStringList{"A", "T", "L", "11"} << 0 << 0 << false << true;
        QTest::newRow("hours 0") << QStringList{"A", "T", "L", "0"} << 1 << 1 << false << true;
        QTest::newRow("hours emptied") << QStringList{"A", "T", "L", ""} << 0 << 3 << false << true;
        QTest::newRow("album empty") << QStringList{"A", "T", "", "5"} << 0 << 2 << false << true;
        QTest::newRow("blank author")
            << QStringList{"   ", "T", "L", "5"} << 2 << 0 << false << true;
        QTest::newRow("title of control blanks")
            << QStringList{"A", " \t ", "L", "5"} << 3 << 1 << false << true;
        QTest::newRow("hours 10") << QStringList{"A", "T", "L", "10"} << 3 << 3 << true << false;
        QTest::newRow("hours 1") << QStringList{"A", "T", "L", "01"} << 0 << 0 << true << false;
    }
    void EnterMovesToTheFirstEmptyFieldAndBeepsWhileIncomplete() {
        QFETCH(QStringList, texte);
        QFETCH(int, start);
        QFETCH(int, fokus);
        QFETCH(bool, starteAn);
        QFETCH(bool, piept);
        auto dlg = Zeigen();
        dlg->TexteSetzen(texte[0], texte[1], texte[2]);
        dlg->Feld(3).setText(texte[3]);
        QCOMPARE(dlg->StarteKnopf().isEnabled(), starteAn);
        Fokussieren(dlg->Feld(start));
        const int piepen = PiepZaehler();
        QTest::keyClick(&dlg->Feld(start), Qt::Key_Return);
        QCOMPARE(PiepZaehler() - piepen, piept ? 1 : 0);
        if (starteAn) {
            QTRY_VERIFY(!dlg->isVisible());
            QCOMPARE(dlg->result(), int(QDialog::Accepted));
            QCOMPARE(dlg->Stunden(), texte[3].toInt());
        } else {
            QTRY_VERIFY(dlg->Feld(fokus).hasFocus());
            QVERIFY(dlg->isVisible());
        }
    }

    void TypedInvalidCharactersBeepAndAreSwallowed() {
        auto dlg = Zeigen();
        QLineEdit& titel = dlg->Feld(1);
        Fokussieren(titel);
        int piepen = PiepZaehler();
        test::Tippen(titel, QStringLiteral("a:b?c"));
        QCOMPARE(titel.text(), QString("abc"));
        QCOMPARE(PiepZaehler() - piepen, 2);
        piepen = PiepZaehler();
        test::Tippen(titel, QStringLiteral("\"*/<>\\|"));
        QCOMPARE(titel.text(), QString("abc"));
        QCOMPARE(PiepZaehler() - piepen, 7);
        // Letters outside ASCII pass whole, also beyond the BMP.
        piepen = PiepZaehler();
        test::Tippen(titel, QString::fromUtf8("ěğż 𝄞"));
        QCOMPARE(titel.text(), QString::fromUtf8("abcěğż 𝄞"));
        QTest::keyClick(&titel, Qt::Key_Backspace);
        QCOMPARE(titel.text(), QString::fromUtf8("abcěğż "));
        QCOMPARE(PiepZaehler(), piepen);
    }

    void HoursFieldTakesTwoDigitsOnly() {
        auto dlg = Zeigen(5);
        QLineEdit& stunden = dlg->Feld(3);
        Fokussieren(stunden);
        stunden.selectAll();
        const int piepen = PiepZaehler();
        test::Tippen(stunden, QStringLiteral("x1:23"));
        QCOMPARE(stunden.text(), QString("12"));
        QCOMPARE(PiepZaehler() - piepen, 3);
        // 12 is out of range: the position stays.
        QCOMPARE(dlg->Stunden(), 5);
        QVERIFY(!dlg->StarteKnopf().isEnabled());
        QTest::keyClick(&stunden, Qt::Key_Up);
        QCOMPARE(stunden.text(), QString("6"));
        QCOMPARE(dlg->Stunden(), 6);
        stunden.setText(QStringLiteral("10"));
        QTest::keyClick(&stunden, Qt::Key_Up);
        QCOMPARE(stunden.text(), QString("10"));
        QTest::keyClick(&stunden, Qt::Key_Down);
        QCOMPARE(dlg->Stunden(), 9);
    }

    void PastingIntoTheHoursFieldTakesDigitsOnly() {
        auto dlg = Zeigen(5);
        QLineEdit& stunden = dlg->Feld(3);
        Fokussieren(stunden);
        const struct {
            const char* zwischenablage;
            const char* text;
            int piepen;
        } faelle[] = {{"ab", "5", 1}, {"123", "5", 1}, {"7", "7", 0}};
        for (const auto& fall : faelle) {
            QGuiApplication::clipboard()->setText(QString::fromLatin1(fall.zwischenablage));
            stunden.selectAll();
            const int piepen = PiepZaehler();
            QTest::keyClick(&stunden, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(stunden.text(), QString::fromLatin1(fall.text));
            QCOMPARE(PiepZaehler() - piepen, fall.piepen);
        }
    }

    void PastedTextIsNotFiltered() {
        // Only typing is filtered; the main window cleans the texts after "OK".
        auto dlg = Zeigen();
        dlg->Feld(0).setText(QStringLiteral("Ab/Cd: Ef?"));
        QCOMPARE(dlg->Autor(), QString("Ab/Cd: Ef?"));
    }

    void FieldsAnnounceThemselves() {
        auto dlg = Zeigen();
        QTRY_COMPARE(fAnsager.Texte, QStringList{"Autor"});
        // Each Tab is named once the key is done; keys typed within one event, only the
        // field the focus ends on.
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTRY_COMPARE(fAnsager.Texte.size(), i + 2);
        }
        QTRY_COMPARE(fAnsager.Texte,
                     (QStringList{"Autor", "Titel", "Album", "Stunden (1 bis 10)"}));
        // The window getting the focus back, after a dialog over it, says nothing again.
        QEvent verlassen(QEvent::WindowDeactivate);
        QApplication::sendEvent(dlg.get(), &verlassen);
        QFocusEvent zurueck(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(&dlg->Feld(3), &zurueck);
        // A click on a label focuses its field.
        QTest::mouseClick(&dlg->Label(1), Qt::LeftButton);
        QTRY_VERIFY(dlg->Feld(1).hasFocus());
        QTRY_COMPARE(fAnsager.Texte.size(), 5);
        QCOMPARE(fAnsager.Texte.last(), QString("Titel"));
    }

    void EscapeCancels() {
        auto dlg = Zeigen();
        dlg->TexteSetzen("A", "T", "L");
        QTest::keyClick(&dlg->Feld(2), Qt::Key_Escape);
        QTRY_VERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
    }

    void EnterOnTheFocusedCancelButtonCancels() {
        auto dlg = Zeigen();
        dlg->TexteSetzen("A", "T", "L");
        QVERIFY(dlg->StarteKnopf().isEnabled());
        Fokussieren(dlg->AbbrechenKnopf());
        QTest::keyClick(&dlg->AbbrechenKnopf(), Qt::Key_Return);
        QTRY_VERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
    }

    void CtrlSStartsOnlyWhenEnabled() {
        auto dlg = Zeigen();
        QCOMPARE(dlg->MenuStarte().shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        dlg->TexteSetzen("A", "T", "");
        Fokussieren(dlg->Feld(0));
        QTest::keyClick(&dlg->Feld(0), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(dlg->isVisible());
        dlg->TexteSetzen("A", "T", "L");
        QTest::keyClick(&dlg->Feld(0), Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
    }

    void LayoutArithmetic() {
        TMetaMasse m;
        m.Owner = QSize(1000, 700);
        m.Labels = {QSize(50, 20), QSize(40, 20), QSize(55, 20), QSize(300, 20)};
        m.EditHoehe = 28;
        m.StundenBreite = 30;
        m.AufAbBreite = 16;
        m.ButtonBreite = 120;
        m.ButtonHoehe = 32;
        const TMetaLayout l = MetaLayout(m);
        QCOMPARE(l.Felder[0], QRect(65, 10, 250, 28));
        QCOMPARE(l.Felder[1], QRect(370, 10, 250, 28));
        QCOMPARE(l.Felder[2], QRect(690, 10, 250, 28));
        QCOMPARE(l.Felder[3], QRect(604, 48, 30, 28));
        QCOMPARE(l.Labels[0], QRect(10, 14, 50, 20));
        QCOMPARE(l.Labels[3], QRect(299, 52, 300, 20));
        QCOMPARE(l.AufAb, QRect(634, 48, 16, 28));
        QCOMPARE(l.Starte, QRect(236, 86, 120, 32));
        QCOMPARE(l.Abbrechen, QRect(592, 86, 120, 32));
        QCOMPARE(l.Client, QSize(950, 128));
        // The frame is part of the 95 percent.
        m.Rahmen = QSize(8, 30);
        QCOMPARE(MetaLayout(m).Client.width(), 942);
        // Labels wider than the owner allows: the window grows, nothing is cut off.
        m.Labels[3] = QSize(1000, 20);
        const TMetaLayout breit = MetaLayout(m);
        QCOMPARE(breit.Client.width(), 1000 + 5 + 30 + 16 + 20);
        QCOMPARE(breit.Labels[3].left(), 10);
        QCOMPARE(breit.Felder[0].width(), (1071 - 65 - 40 - 5 - 55 - 5 - 30) / 3);
        m.Owner = QSize(300, 200);
        m.Labels[3] = QSize(100, 20);
        const TMetaLayout schmal = MetaLayout(m);
        QCOMPARE(schmal.Felder[0].width(), 30);
        QVERIFY(schmal.Felder[2].right() < schmal.Client.width());
    }

    void LaidOutWithTheMeasuredFont_data() {
        QTest::addColumn<int>("groesse");
        QTest::newRow("12") << 12;
        QTest::newRow("30") << 30;
    }
    void LaidOutWithTheMeasuredFont() {
        QFETCH(int, groesse);
        auto dlg = Zeigen(5, false, groesse);
        const QFont font = dlg->Feld(0).font();
        QCOMPARE(font.pointSize(), groesse);
        const int prozent = Prozent(fOwner.frameGeometry().width(), 95) -
                            (dlg->frameGeometry().width() - dlg->width());
        // 95 percent of the owner, wider only when a label would not fit.
        QVERIFY(dlg->width() >= prozent);
        if (groesse == 12) {
            QCOMPARE(dlg->width(), prozent);
        }
        QCOMPARE(dlg->StarteKnopf().width(), dlg->AbbrechenKnopf().width());
        QCOMPARE(dlg->Feld(0).height(), QFontMetrics(font).height() + 8);
        const QRect client = dlg->rect();
        for (int i = 0; i < 4; ++i) {
            QVERIFY(client.contains(dlg->Label(i).geometry()));
            QVERIFY(client.contains(dlg->Feld(i).geometry()));
            QCOMPARE(dlg->Label(i).geometry().right() + 1 + LabelAbstand,
                     dlg->Feld(i).geometry().left());
            // Labels show their whole text.
            QVERIFY(dlg->Label(i).width() >=
                    QFontMetrics(dlg->Label(i).font())
                        .horizontalAdvance(StripAmpersands(dlg->Label(i).text())));
        }
        QVERIFY(dlg->Feld(0).geometry().right() < dlg->Label(1).geometry().left());
        QVERIFY(dlg->Feld(1).geometry().right() < dlg->Label(2).geometry().left());
        // Below the buttons the margin of 10 and the window's own frame.
        const auto* titel = static_cast<TTitelZeile*>(dlg->findChild<QWidget*>("TitelZeile"));
        QVERIFY(titel != nullptr);
        QCOMPARE(dlg->height(), dlg->StarteKnopf().geometry().bottom() + 1 + 10 +
                                    titel->Zusatz().height() - titel->Versatz().y());
        // Centred over the owner, also when wider, as far as the work area allows (the
        // frame is known only after the first show, hence the tolerance).
        const QRect mitte(DialogPosition(fOwner.frameGeometry(), dlg->frameGeometry().size()),
                          dlg->frameGeometry().size());
        const QRect erwartet(InBereich(mitte, Arbeitsbereich(*dlg)), mitte.size());
        const QPoint abstand = dlg->frameGeometry().center() - erwartet.center();
        QVERIFY2(std::abs(abstand.x()) <= 4 && std::abs(abstand.y()) <= 4,
                 qPrintable(QString("%1,%2").arg(abstand.x()).arg(abstand.y())));
    }
};

QTEST_MAIN(MetaDlgTest)
#include "metadlg_test.moc"
