// The font and colour dialog: its colour table, the rules of its fields, what it hands
// back, and that no caption is cut at the smallest and the largest size.

#include "platform/aussehen/KivBackFontDlg.h"
#include "platform/aussehen/Meldungen.h"
#include "platform/sprache/Ansager.h"
#include "support/QtTestSupport.h"
#include "ui/DialogTestHilfen.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFocusFrame>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

using namespace lorvane;

namespace {

TAktFont Schrift(const QString& name, int groesse, int stil, std::uint32_t farbe) {
    TAktFont f;
    f.Name = name;
    f.Size = groesse;
    f.Style = stil;
    f.Color = farbe;
    return f;
}

QString ErsteFamilie() {
    const QStringList familien = QFontDatabase::families();
    return familien.isEmpty() ? QString() : familien.first();
}

} // namespace

class BackFontDlgTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TBackFontDlg> Offen(const TAktFont& font, std::uint32_t hintergrund,
                                        IAnsager* ansager = nullptr) {
        auto dialog = std::make_unique<TBackFontDlg>(nullptr, hintergrund, font, ansager);
        dialog->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(dialog.get())); }();
        return dialog;
    }

private Q_SLOTS:
    void TheColourTableHoldsTheSeventeenColours_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<uint>("wert");
        QTest::newRow("Schwarz") << 0 << "Schwarz" << 0x000000u;
        QTest::newRow("Weiß") << 1 << "Weiß" << 0xFFFFFFu;
        QTest::newRow("Gelb") << 2 << "Gelb" << 0x00FFFFu;
        QTest::newRow("Blau") << 3 << "Blau" << 0xFF0000u;
        QTest::newRow("Marineblau") << 4 << "Marineblau" << 0x800000u;
        QTest::newRow("Himmelblau") << 5 << "Himmelblau" << 0xF0CAA6u;
        QTest::newRow("Blaugrün") << 6 << "Blaugrün" << 0x808000u;
        QTest::newRow("Grün") << 7 << "Grün" << 0x008000u;
        QTest::newRow("Minzgrün") << 8 << "Minzgrün" << 0xC0DCC0u;
        QTest::newRow("Gelbgrün") << 9 << "Gelbgrün" << 0x00FF00u;
        QTest::newRow("Olivgrün") << 10 << "Olivgrün" << 0x008080u;
        QTest::newRow("Grau") << 11 << "Grau" << 0x808080u;
        QTest::newRow("Rot") << 12 << "Rot" << 0x0000FFu;
        QTest::newRow("Violett") << 13 << "Violett" << 0x800080u;
        QTest::newRow("Lila") << 14 << "Lila" << 0xFF00FFu;
        QTest::newRow("Silber") << 15 << "Silber" << 0xC0C0C0u;
        QTest::newRow("Braun") << 16 << "Braun" << 0x000080u;
    }
    void TheColourTableHoldsTheSeventeenColours() {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(uint, wert);
        const TColors farben;
        QCOMPARE(farben.Count(), 17);
        QCOMPARE(farben.Get(index).Index, index);
        QCOMPARE(farben.Get(index).Name, name);
        QCOMPARE(farben.Get(index).Color, wert);
        TColorName gefunden;
        QVERIFY(farben.FindName(name.toLower(), gefunden));
        QCOMPARE(gefunden.Index, index);
        QVERIFY(farben.FindColor(wert, gefunden));
        QCOMPARE(gefunden.Index, index);
    }

    void TheColourTableAnswersOutsideItself() {
        TBackFontDlgColorNames namen = StandardFarbNamen();
        namen[3] = "Blue";
        const TColors farben(namen, " (back)");
        QCOMPARE(farben.Get(-1).Name, QString("Schwarz"));
        QCOMPARE(farben.Get(17).Name, QString("Schwarz"));
        QCOMPARE(farben.Items(3).Color, 0xFF0000u);
        TColorName gefunden;
        QVERIFY(!farben.FindName("  ", gefunden));
        QVERIFY(!farben.FindColor(FensterTextFarbe, gefunden));
        QVERIFY(farben.FindName("blue", gefunden));
        QStringList liste{"alt"};
        farben.FillStringList(liste, true);
        QCOMPARE(liste.size(), 17);
        QCOMPARE(liste[3], QString("Blue (back)"));
        farben.FillStringList(liste, false);
        QCOMPARE(liste[0], QString("Schwarz"));
    }

    void EmptyTextsTakeTheirDefaults() {
        TBackFontDlgTexts texte;
        texte.OkCaption = "Accept";
        texte.ColorNames[1] = "White";
        const TBackFontDlgTexts t = BackFontTexteErgaenzen(texte);
        QCOMPARE(t.OkCaption, QString("Accept"));
        QCOMPARE(t.CancelCaption, QString("&Abbrechen"));
        QCOMPARE(t.ColorNames[1], QString("White"));
        QCOMPARE(t.ColorNames[0], QString("Schwarz"));
        QCOMPARE(TextFormatieren(t.FontSizeCaption, {"5", "35"}), QString("Schrift&größe (5-35):"));
        QCOMPARE(TextFormatieren(t.TolkFontSize, {"5", "35", "12"}),
                 QString("Schriftgröße (5 bis 35): 12"));
    }

    void TheSizeRules_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("verlassen");
        QTest::newRow("4") << "4" << false << 5;
        QTest::newRow("5") << "5" << true << 5;
        QTest::newRow("35") << "35" << true << 35;
        QTest::newRow("40") << "40" << false << 35;
        QTest::newRow("leer") << "" << false << 5;
    }
    void TheSizeRules() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, verlassen);
        QCOMPARE(GroesseOkErlaubt(text), ok);
        QCOMPARE(GroesseBeimVerlassen(text), verlassen);
    }

    void AMissingFontSelectsWhatTheSystemShows() {
        const QStringList familien{"DejaVu Sans", "Liberation Sans", "Noto Serif"};
        QCOMPARE(FontZeileFinden(familien, "liberation sans", "DejaVu Sans").Zeile, 1);
        QVERIFY(!FontZeileFinden(familien, "liberation sans", "DejaVu Sans").Ersatz);
        const TFontZeile arial = FontZeileFinden(familien, "Arial", "Liberation Sans");
        QCOMPARE(arial.Zeile, 1);
        QVERIFY(arial.Ersatz);
        QCOMPARE(FontZeileFinden(familien, "Arial", "Gone").Zeile, -1);
        QCOMPARE(FontZeilen(familien, 1),
                 QStringList({"DejaVu Sans", "*Liberation Sans", "Noto Serif"}));
        QCOMPARE(OhneMarke("*Liberation Sans"), QString("Liberation Sans"));
    }

    void TheSizeFieldTakesDigitsOnlyAndGatesOk() {
        auto dialog = Offen(Schrift(ErsteFamilie(), 12, 0, 0), Weiss);
        QLineEdit& feld = *dialog->LeSize;
        feld.setFocus();
        feld.clear();
        QTest::keyClicks(&feld, "4a");
        QCOMPARE(feld.text(), QString("4"));
        QVERIFY(!dialog->Btn1OK->isEnabled());
        QTest::keyClicks(&feld, "0");
        QCOMPARE(feld.text(), QString("40"));
        QVERIFY(!dialog->Btn1OK->isEnabled());
        QTest::keyClick(&feld, Qt::Key_Backspace);
        QTest::keyClick(&feld, Qt::Key_Backspace);
        QTest::keyClicks(&feld, "9");
        QVERIFY(dialog->Btn1OK->isEnabled());
        const int piepen = PiepZaehler();
        QTest::keyClick(&feld, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(PiepZaehler(), piepen + 1);
        QCOMPARE(feld.text(), QString("9"));

        feld.clear();
        dialog->CbBold->setFocus();
        QTRY_COMPARE(feld.text(), QString("5"));
        TAktFont neu;
        dialog->GetNewFont(neu);
        QCOMPARE(neu.Size, 5);
        feld.setFocus();
        QTest::keyClick(&feld, Qt::Key_Up);
        QCOMPARE(feld.text(), QString("6"));
    }

    void TheCurrentFontAndColoursAreMarked() {
        const QString familie = ErsteFamilie();
        auto dialog = Offen(Schrift(familie, 12, 0, 0xFF0000u), 0xC0C0C0u);
        QCOMPARE(dialog->CoBoColors->currentIndex(), 3);
        QCOMPARE(dialog->CoBoColors->itemText(3), QString("*Blau"));
        QCOMPARE(dialog->CoBoColors->itemText(0), QString("Schwarz"));
        QCOMPARE(dialog->CoBoBackColors->currentIndex(), 15);
        QCOMPARE(dialog->CoBoBackColors->itemText(15), QString("*Silber (Hintergrund)"));
        QTreeWidgetItem* zeile = dialog->LvFonts->currentItem();
        QVERIFY(zeile != nullptr && zeile->isSelected());
        QCOMPARE(zeile->text(0), "*" + familie);
        QCOMPARE(dialog->NewBackColor(), 0xC0C0C0u);
    }

    void OkWithoutChangesKeepsTheStoredFont() {
        // Mostly not installed on Linux: the system shows another family for it.
        const TAktFont gespeichert = Schrift("Arial", 14, StilFett, 0x0000FFu);
        auto dialog = Offen(gespeichert, Weiss);
        TAktFont neu;
        dialog->GetNewFont(neu);
        QCOMPARE(neu, gespeichert);
        QCOMPARE(dialog->NewBackColor(), Weiss);
        if (!QFontDatabase::families().contains("Arial", Qt::CaseInsensitive)) {
            QTreeWidgetItem* zeile = dialog->LvFonts->currentItem();
            QVERIFY(zeile != nullptr);
            QCOMPARE(zeile->text(0), "*" + QFontInfo(SchriftAus(gespeichert)).family());
        }
    }

    void BoldItalicComesBackBoldOrPlain() {
        auto dialog =
            Offen(Schrift(ErsteFamilie(), 12, StilFett | StilKursiv | StilUnterstrichen, 0), Weiss);
        QVERIFY(dialog->CbBold->isChecked());
        TAktFont neu;
        dialog->GetNewFont(neu);
        QCOMPARE(neu.Style, StilFett);
        dialog->CbBold->click();
        dialog->GetNewFont(neu);
        QCOMPARE(neu.Style, 0);
        QVERIFY(!dialog->EditTest->font().bold());
    }

    void ThePreviewFollowsTheChoicesAndCopies() {
        auto dialog = Offen(Schrift(ErsteFamilie(), 12, 0, 0), Weiss);
        QLineEdit& vorschau = *dialog->EditTest;
        QCOMPARE(vorschau.font().pointSize(), 12);
        dialog->UpDown1Auf->click();
        QCOMPARE(vorschau.font().pointSize(), 13);
        // Typing alone leaves the preview as it was.
        dialog->LeSize->setText("20");
        QCOMPARE(vorschau.font().pointSize(), 13);
        dialog->CoBoBackColors->setCurrentIndex(2);
        QCOMPARE(vorschau.palette().color(QPalette::Base), QColor(255, 255, 0));
        QCOMPARE(vorschau.font().pointSize(), 20);

        Q_EMIT vorschau.customContextMenuRequested(QPoint(1, 1));
        QVERIFY(dialog->PuVorschauAllesMarkieren->isEnabled());
        QVERIFY(!dialog->PuVorschauKopieren->isEnabled());
        dialog->PuMenuVorschau->close();
        dialog->PuVorschauAllesMarkieren->trigger();
        QCOMPARE(vorschau.selectedText(), dialog->Texts().PreviewText);
        Q_EMIT vorschau.customContextMenuRequested(QPoint(1, 1));
        QVERIFY(dialog->PuVorschauKopieren->isEnabled());
        dialog->PuMenuVorschau->close();
        dialog->PuVorschauKopieren->trigger();
        QCOMPARE(QApplication::clipboard()->text(), dialog->Texts().PreviewText);
    }

    void ASystemColourBecomesBlack() {
        auto dialog = Offen(Schrift(ErsteFamilie(), 12, 0, FensterTextFarbe), Weiss);
        QCOMPARE(dialog->CoBoColors->currentIndex(), 0);
        TAktFont neu;
        dialog->GetNewFont(neu);
        QCOMPARE(neu.Color, 0u);
    }

    void EqualColoursAskFirst() {
        auto dialog = Offen(Schrift(ErsteFamilie(), 12, 0, 0), Weiss);
        dialog->CoBoColors->setCurrentIndex(1);
        {
            test::BoxBeantworter boxen({"Nein"});
            dialog->Btn1OK->click();
            QCOMPARE(boxen.Texte(),
                     QStringList{"Schriftfarbe und Hintergrundfarbe sind identisch!\n"
                                 "Soll trotzdem fortgesetzt werden?"});
        }
        QVERIFY(dialog->isVisible());
        QTRY_COMPARE(dialog->focusWidget(), dialog->CoBoColors);
        test::BoxBeantworter boxen({"Ja"});
        dialog->Btn1OK->click();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(dialog->NewBackColor(), Weiss);
    }

    void FieldsAnnounceThemselves() {
        test::TAufnahmeAnsager ansager;
        auto dialog = Offen(Schrift(ErsteFamilie(), 12, 0, 0), Weiss, &ansager);
        QTRY_COMPARE(QApplication::focusWidget(), dialog->LvFonts);
        QTRY_COMPARE(ansager.Texte.size(), 1);
        int anzahl = 1;
        for (QWidget* feld : std::initializer_list<QWidget*>{dialog->LeSize, dialog->CoBoBackColors,
                                                             dialog->CoBoColors}) {
            feld->setFocus(Qt::TabFocusReason);
            ++anzahl;
            QTRY_COMPARE(ansager.Texte.size(), anzahl);
        }
        // Back with the window after a dialog over it: silent, whichever field it is.
        QEvent verlassen(QEvent::WindowDeactivate);
        QApplication::sendEvent(dialog.get(), &verlassen);
        for (QWidget* feld :
             {static_cast<QWidget*>(dialog->CoBoColors), static_cast<QWidget*>(dialog->LeSize)}) {
            QFocusEvent zurueck(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
            QApplication::sendEvent(feld, &zurueck);
        }
        // A move inside the window is named again.
        dialog->LeSize->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(ansager.Texte.size(), 5);
        // The texts as the boxes show them, marks and suffix included.
        QCOMPARE(ansager.Texte,
                 QStringList({"Schriftart: *" + ErsteFamilie(), "Schriftgröße (5 bis 35): 12",
                              "Hintergrundfarbe: *Weiß (Hintergrund)", "Schriftfarbe: *Schwarz",
                              "Schriftgröße (5 bis 35): 12"}));
    }

    // On the users' 1280 x 1024 screen the dialog lies within the work area at every
    // size, and no control lies over another.
    void FitsTheScreenAtEverySize() {
        for (int groesse = BackFontMinGroesse; groesse <= BackFontMaxGroesse; ++groesse) {
            auto dialog = Offen(Schrift(ErsteFamilie(), groesse, StilFett, 0), Weiss);
            const QString fall = QString::number(groesse);
            QVERIFY2(Arbeitsbereich(*dialog).contains(dialog->frameGeometry()), qPrintable(fall));
            QList<QWidget*> controls;
            for (QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (control->isVisible() && !control->isWindow() &&
                    qobject_cast<QFocusFrame*>(control) == nullptr) {
                    controls << control;
                }
            }
            for (qsizetype i = 0; i < controls.size(); ++i) {
                for (qsizetype j = i + 1; j < controls.size(); ++j) {
                    QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                             qPrintable(fall + ": " + controls[i]->metaObject()->className() +
                                        " / " + controls[j]->metaObject()->className()));
                }
            }
        }
    }

    // Orca names a combo box by its label and reads the entry as its value, not as its
    // name; Alt with the label's letter reaches the list, and so does a click.
    void TheColourListsHaveLabelsAndNames() {
        auto dialog = Offen(Schrift(ErsteFamilie(), 12, 0, 0), Weiss);
        struct TFall {
            QComboBox* Liste;
            QLabel* Label;
            const char* Caption;
            const char* Name;
            Qt::Key Taste;
        };
        const TFall faelle[] = {{dialog->CoBoColors, dialog->CoBoColorsLabel,
                                 "&Schriftfarbe:", "Schriftfarbe", Qt::Key_S},
                                {dialog->CoBoBackColors, dialog->CoBoBackColorsLabel,
                                 "&Hintergrundfarbe:", "Hintergrundfarbe", Qt::Key_H}};
        for (const TFall& fall : faelle) {
            QCOMPARE(fall.Label->text(), QString::fromUtf8(fall.Caption));
            QCOMPARE(fall.Label->buddy(), fall.Liste);
            QVERIFY(fall.Label->isVisible());
            QAccessibleInterface* zugang = QAccessible::queryAccessibleInterface(fall.Liste);
            QCOMPARE(zugang->role(), QAccessible::ComboBox);
            QCOMPARE(zugang->text(QAccessible::Name), QString::fromUtf8(fall.Name));
            const auto beschriftung = zugang->relations(QAccessible::Label);
            QCOMPARE(beschriftung.size(), 1);
            QCOMPARE(beschriftung.first().first->object(), fall.Label);
            QCOMPARE(zugang->childCount(), 1);
            QCOMPARE(zugang->child(0)->object(), fall.Liste->view());
            fall.Liste->setCurrentIndex(4);
            QCOMPARE(zugang->text(QAccessible::Name), QString::fromUtf8(fall.Name));
            QCOMPARE(zugang->text(QAccessible::Value), fall.Liste->currentText());
            QAccessibleTextInterface* text = zugang->textInterface();
            QVERIFY(text != nullptr);
            QCOMPARE(text->text(0, text->characterCount()), fall.Liste->currentText());
            dialog->Btn1OK->setFocus();
            QTest::keyClick(dialog.get(), fall.Taste, Qt::AltModifier);
            QTRY_VERIFY(fall.Liste->hasFocus());
            dialog->Btn1OK->setFocus();
            QTest::mouseClick(fall.Label, Qt::LeftButton);
            QTRY_VERIFY(fall.Liste->hasFocus());
        }
    }

    void NoCaptionIsCut_data() {
        QTest::addColumn<int>("groesse");
        QTest::newRow("5") << 5;
        QTest::newRow("35") << 35;
    }
    void NoCaptionIsCut() {
        QFETCH(int, groesse);
        auto dialog = Offen(Schrift(ErsteFamilie(), groesse, StilFett, 0), Weiss);
        for (QPushButton* knopf : dialog->findChildren<QPushButton*>()) {
            QVERIFY2(TextWidthOf(knopf->font(), StripAmpersands(knopf->text())) <= knopf->width(),
                     qPrintable(knopf->text()));
            QCOMPARE(knopf->width(), dialog->Btn1OK->width());
        }
        QVERIFY(dialog->LeSizeLabel->sizeHint().width() <= dialog->LeSizeLabel->width());
        QVERIFY(dialog->CbBold->sizeHint().width() <= dialog->CbBold->width());
        for (QComboBox* liste : {dialog->CoBoColors, dialog->CoBoBackColors}) {
            QVERIFY(liste->sizeHint().width() <= liste->width());
            // Its label stands whole left of it, or right above it where the screen is
            // too narrow for both side by side.
            const auto* label =
                qobject_cast<QLabel*>(dialog->CoBoColors == liste ? dialog->CoBoColorsLabel
                                                                  : dialog->CoBoBackColorsLabel);
            QVERIFY(label->sizeHint().width() <= label->width());
            const QRect l = label->geometry();
            const QRect f = liste->geometry();
            const bool links =
                l.right() < f.left() && l.center().y() >= f.top() && l.center().y() <= f.bottom();
            const bool darueber =
                l.bottom() < f.top() && f.top() - l.bottom() < l.height() && l.left() == f.left();
            QVERIFY2(links || darueber, qPrintable(QString::number(groesse)));
        }
        QVERIFY(TextWidthOf(dialog->LvFonts->font(), "Schriftart") <=
                dialog->LvFonts->header()->sectionSize(0));
        const QRect innen = dialog->rect();
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            if (control->isVisible() && control->parentWidget() == dialog.get()) {
                QVERIFY2(innen.contains(control->geometry()),
                         qPrintable(control->metaObject()->className()));
            }
        }
    }
};

QTEST_MAIN(BackFontDlgTest)
#include "backfontdlg_test.moc"
