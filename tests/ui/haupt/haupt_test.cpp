// The main window with fake services: the file-list commands and their enabling
// rule, the preview, the status line, focus, tab order and accessible names.

#include "ui/haupt/HauptTestBasis.h"

class HauptTest : public QObject, protected THauptTestBasis {
    Q_OBJECT

private Q_SLOTS:
    void init() { Aufbauen(); }
    void cleanup() { Abbauen(); }

    void OpeningTheOutputFolderSaysWhenNothingCouldOpenIt() {
        const QUrl ausgabe = QUrl::fromLocalFile(fOrdner.path() + "/ausgabe/");
        fFenster->Menue.MenuDateiAusgabeordner->trigger();
        QCOMPARE(fGeoeffnet, QList<QUrl>{ausgabe});
        fOeffnenGelingt = false;
        test::BoxBeantworter boxen({"OK"});
        fFenster->Menue.MenuDateiAusgabeordner->trigger();
        QCOMPARE(boxen.Texte(), QStringList{"Der Ordner \"" + fOrdner.path() +
                                            "/ausgabe/\" konnte nicht geöffnet werden!"});
    }

    void StartsAtTheFolderListWithItsFoldersMade() {
        QCOMPARE(fFenster->windowTitle(), QString("Lorvane V1.13"));
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView1);
        QVERIFY(QFileInfo(fOrdner.filePath("ausgabe")).isDir());
        QVERIFY(QFileInfo(fOrdner.filePath("arbeit")).isDir());
        QVERIFY(!fFenster->Btn1Weiter->isEnabled());
        QVERIFY(!fFenster->Btn1Lv1Zurueck->isEnabled());
        QVERIFY(fFenster->Menue.MenuAnsSchriftart->isEnabled());
        for (QAction* hilfe : fFenster->Menue.MenuHilfe) {
            QVERIFY(hilfe != nullptr);
        }
        QVERIFY(fFenster->Menue.MenuHilfe[7]->isEnabled());
    }

    void TheFontDialogsChoiceIsAppliedAndSaved() {
        const int alteHoehe = fFenster->Btn1Weiter->height();
        test::WennModalOffen<TBackFontDlg>([](TBackFontDlg& dialog) {
            dialog.LeSize->setText(QStringLiteral("24"));
            dialog.CbBold->setChecked(true);
            dialog.CoBoBackColors->setCurrentIndex(5);
            dialog.Btn1OK->click();
        });
        fFenster->Menue.MenuAnsSchriftart->trigger();
        QCOMPARE(fFenster->Aussehen().AktFont.Size, 24);
        QCOMPARE(fFenster->Aussehen().AktFont.Style, StilFett);
        QCOMPARE(fFenster->Aussehen().AktBackColor, 0xF0CAA6u);
        QVERIFY(fFenster->Btn1Weiter->height() > alteHoehe);
        QCOMPARE(EinstellungenLaden(*fRegistry).Aussehen, fFenster->Aussehen());
        // A dialog opened later shows the new font.
        int spaeter = 0;
        test::WennModalOffen<TStundenDlg>([&spaeter](TStundenDlg& dialog) {
            spaeter = dialog.OkKnopf().font().pointSize();
            dialog.reject();
        });
        fFenster->MaxStundenKlick();
        QCOMPARE(spaeter, 24);

        // Cancel leaves everything as it was.
        test::WennModalOffen<TBackFontDlg>([](TBackFontDlg& dialog) {
            dialog.LeSize->setText(QStringLiteral("9"));
            dialog.Btn2Cancel->click();
        });
        fFenster->Menue.MenuAnsSchriftart->trigger();
        QCOMPARE(fFenster->Aussehen().AktFont.Size, 24);
    }

    void UpAndDownFollowTheFocusedRow_data() {
        QTest::addColumn<int>("fokus");
        QTest::addColumn<int>("befehl");
        QTest::addColumn<bool>("obenAn");
        QTest::addColumn<bool>("untenAn");
        QTest::addColumn<QString>("danach");
        QTest::newRow("oben auf der ersten") << 0 << 1 << false << true << "a.mp3 b.mp3 c.mp3";
        QTest::newRow("unten auf der letzten") << 2 << 2 << true << false << "a.mp3 b.mp3 c.mp3";
        QTest::newRow("oben auf der zweiten") << 1 << 1 << true << true << "b.mp3 a.mp3 c.mp3";
        QTest::newRow("unten auf der zweiten") << 1 << 2 << true << true << "a.mp3 c.mp3 b.mp3";
    }
    void UpAndDownFollowTheFocusedRow() {
        QFETCH(int, fokus);
        QFETCH(int, befehl);
        QFETCH(bool, obenAn);
        QFETCH(bool, untenAn);
        QFETCH(QString, danach);
        DreiZeilen(fokus);
        fFenster->ListView2->topLevelItem(0)->setSelected(true);
        QCOMPARE(fFenster->Btn1Lv2NachOben->isEnabled(), obenAn);
        QCOMPARE(fFenster->Menue.PuLv2NachOben->isEnabled(), obenAn);
        QCOMPARE(fFenster->Btn2Lv2NachUnten->isEnabled(), untenAn);
        QCOMPARE(fFenster->Menue.PuLv2NachUnten->isEnabled(), untenAn);
        const QString gewandert = Captions(*fFenster->ListView2).at(fokus);
        fFenster->DateiBefehl(befehl);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), danach);
        // The marking moves with the file, and only that row stays selected.
        QTreeWidgetItem* aktuell = fFenster->ListView2->currentItem();
        QCOMPARE(QFileInfo(aktuell->text(0)).fileName(), gewandert);
        if ((obenAn && befehl == 1) || (untenAn && befehl == 2)) {
            QCOMPARE(fFenster->ListView2->selectedItems(), QList<QTreeWidgetItem*>{aktuell});
        }
        QCOMPARE(QApplication::focusWidget(), fFenster->ListView2);
    }

    void ARowWithoutDurationDoesNotMove() {
        DreiZeilen(1);
        auto* ohne = new QTreeWidgetItem(QStringList{Datei("x.mp3")});
        fFenster->ListView2->insertTopLevelItem(0, ohne);
        fFenster->ListView2->setCurrentItem(ohne);
        fFenster->DateiBefehl(2);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), QString("x.mp3 a.mp3 b.mp3 c.mp3"));
        fFenster->ListView2->setCurrentItem(fFenster->ListView2->topLevelItem(1));
        fFenster->DateiBefehl(1);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), QString("x.mp3 a.mp3 b.mp3 c.mp3"));
    }

    void MovedRowsKeepTheirNativePath() {
        DreiZeilen(0);
        fFenster->DateiBefehl(2);
        const std::vector<TDateiZeile> zeilen = DateiZeilen(*fFenster->ListView2);
        QCOMPARE(QString::fromStdString(zeilen.at(1).Caption), Datei("a.mp3"));
        QCOMPARE(QString::fromStdString(zeilen.at(0).Caption), Datei("b.mp3"));
    }

    void PlayPausePauseResumeAndStop() {
        DreiZeilen(1);
        QVERIFY(fFenster->Menue.PuLv2PlayPause->isEnabled());
        QVERIFY(!fFenster->Menue.PuLv2Stop->isEnabled());
        fFenster->DateiBefehl(6);
        QCOMPARE(fPlayer->Log, QStringList({"name:b.mp3", "open", "play"}));
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Spielt);
        QVERIFY(fFenster->Menue.PuLv2Stop->isEnabled());
        fFenster->DateiBefehl(6);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Pausiert);
        fFenster->DateiBefehl(6);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Spielt);
        fFenster->DateiBefehl(7);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Gestoppt);
        QVERIFY(!fFenster->Menue.PuLv2Stop->isEnabled());
        // After stop the file starts again from its beginning.
        fFenster->DateiBefehl(6);
        QCOMPARE(fPlayer->Log.mid(3), QStringList({"pause", "pause", "stop", "start", "play"}));
        // Stop on another row loads that file without playing it.
        fPlayer->Log.clear();
        fFenster->ListView2->setCurrentItem(fFenster->ListView2->topLevelItem(2));
        fFenster->DateiBefehl(7);
        QCOMPARE(fPlayer->Log, QStringList({"name:c.mp3", "open"}));
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Gestoppt);
    }

    void PreviewOfAMissingFileDoesNothing() {
        DreiZeilen(0);
        QFile::remove(Datei("a.mp3"));
        fFenster->DateiBefehl(6);
        QVERIFY(fPlayer->Log.isEmpty());
    }

    void APlayerThatIsNotOpenGivesAnErrorBox() {
        DreiZeilen(0);
        fPlayer->OeffnenGelingt = false;
        test::BoxBeantworter boxen({"OK"});
        fFenster->DateiBefehl(6);
        QTRY_COMPARE(boxen.Texte(), QStringList{QString::fromUtf8(KeinGeraetText)});
        QCOMPARE(fPlayer->Log, QStringList({"name:a.mp3", "open"}));
    }

    void RemoveStopsThePreviewOnlyForItsFile() {
        DreiZeilen(1);
        fFenster->DateiBefehl(6);
        fFenster->ListView2->clearSelection();
        fFenster->ListView2->topLevelItem(0)->setSelected(true);
        fFenster->DateiBefehl(3);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), QString("b.mp3 c.mp3"));
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Spielt);
        // The remaining focused row is selected again.
        QCOMPARE(fFenster->ListView2->selectedItems().size(), 1);

        fFenster->ListView2->clearSelection();
        fFenster->ListView2->topLevelItem(0)->setSelected(true);
        fFenster->DateiBefehl(3);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), QString("c.mp3"));
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Gestoppt);
    }

    void ClearMovesTheFocusAndDisablesWeiter() {
        DreiZeilen(0);
        fFenster->DateiBefehl(6);
        QVERIFY(fFenster->Btn1Weiter->isEnabled());
        QVERIFY(fFenster->Menue.MenuDateiWeiter->isEnabled());
        fFenster->Menue.MenuDateiLeeren->trigger();
        QCOMPARE(fFenster->ListView2->topLevelItemCount(), 0);
        QCOMPARE(QApplication::focusWidget(), fFenster->ListView1);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Gestoppt);
        QVERIFY(!fFenster->Btn1Weiter->isEnabled());
        QVERIFY(!fFenster->Menue.MenuDateiWeiter->isEnabled());
        QVERIFY(!fFenster->Btn4Lv2Leeren->isEnabled());
        QVERIFY(!fFenster->Btn3Lv2Entfernen->isEnabled());
    }

    void PopupShortcutsActOnlyWhileTheirListHasTheFocus() {
        DreiZeilen(1);
        fFenster->ListView2->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView2);
        QTest::keyClick(fFenster->ListView2, Qt::Key_Up, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(Captions(*fFenster->ListView2).join(' '), QString("b.mp3 a.mp3 c.mp3"));
        QTest::keyClick(fFenster->ListView2, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Spielt);

        // Delete in the folder list leaves the file list alone.
        fFenster->ListView2->selectAll();
        fFenster->ListView1->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView1);
        QTest::keyClick(fFenster->ListView1, Qt::Key_Delete);
        QCOMPARE(fFenster->ListView2->topLevelItemCount(), 3);
        // Ctrl+2 focuses the file list, where Delete removes the marked rows.
        QTest::keyClick(fFenster.get(), Qt::Key_2, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView2);
        QTest::keyClick(fFenster->ListView2, Qt::Key_Delete);
        QCOMPARE(fFenster->ListView2->topLevelItemCount(), 0);
    }

    void FocusIsAnnouncedOnce() {
        fAnsager.Texte.clear();
        fFenster->ListView2->setFocus();
        QTRY_VERIFY(fAnsager.Texte.contains("Dateiliste"));
        fFenster->ListView1->setFocus();
        QTRY_COMPARE(fAnsager.Texte.last(), QString("Ordnerliste"));
        // Back from a popup, from the menu bar or, after a dialog, with the window: silent
        // for either list.
        QEvent verlassen(QEvent::WindowDeactivate);
        QApplication::sendEvent(fFenster.get(), &verlassen);
        for (const Qt::FocusReason grund :
             {Qt::PopupFocusReason, Qt::MenuBarFocusReason, Qt::ActiveWindowFocusReason}) {
            for (QWidget* liste : {static_cast<QWidget*>(fFenster->ListView1),
                                   static_cast<QWidget*>(fFenster->ListView2)}) {
                QFocusEvent zurueck(QEvent::FocusIn, grund);
                QApplication::sendEvent(liste, &zurueck);
            }
        }
        // The next move inside the window is heard, and nothing came before it.
        fFenster->ListView2->setFocus();
        QTRY_COMPARE(fAnsager.Texte, QStringList({"Dateiliste", "Ordnerliste", "Dateiliste"}));
    }

    void StatusLinePanels() {
        DreiZeilen(0);
        fFenster->ListView2->topLevelItem(0)->setSelected(true);
        fFenster->ListView2->topLevelItem(2)->setSelected(true);
        fFenster->ListView2->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView2);
        fUhr.Wert = 2;
        fFenster->Timer1StatuszeileTimer();
        QCOMPARE(fFenster->Panels[1]->text(), QString("Dateien: 3/2 mark."));
        QVERIFY(fFenster->Panels[0]->text().startsWith("Laufwerke: "));
        // Even minute on the first row: "Nach unten" instead of "Nach oben".
        const QString hinweise("Entf=Entfernen; Umsch+Strg+Ab=Nach unten; Strg+W=Weiter");
        QCOMPARE(fFenster->Panels[2]->accessibleName(), hinweise);
        QCOMPARE(fFenster->Panels[2]->toolTip(), hinweise);
        // A panel too narrow for its hints shows their start, shortened with "…".
        const QString gezeigt = fFenster->Panels[2]->text();
        QVERIFY2(gezeigt == hinweise ||
                     (gezeigt.endsWith(QChar(0x2026)) && hinweise.startsWith(gezeigt.chopped(1))),
                 qPrintable(gezeigt));
        // The timer keeps the panels current on its own.
        fFenster->ListView2->clear();
        QTRY_COMPARE(fFenster->Panels[1]->text(), QString("Dateien: 0/0 mark."));
    }

    void TabOrder() {
        DreiZeilen(1);
        fFenster->ListView2->selectAll();
        QVERIFY(fFenster->OrdnerListe().PfadSetzen(
                    QFile::encodeName(fOrdner.filePath("ordner")).toStdString()) == std::nullopt);
        fFenster->OrdnerBefehl(5);
        const QList<QWidget*> erwartet = {
            fFenster->ListView1,          fFenster->Btn1Lv1Zurueck,
            fFenster->Btn2Lv1Hinzufuegen, fFenster->Btn3Lv1Aktualisieren,
            fFenster->ListView2,          fFenster->Btn1Lv2NachOben,
            fFenster->Btn2Lv2NachUnten,   fFenster->Btn3Lv2Entfernen,
            fFenster->Btn4Lv2Leeren,      fFenster->Btn1Weiter};
        fFenster->ListView1->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), fFenster->ListView1);
        QList<QWidget*> reihe{QApplication::focusWidget()};
        for (int i = 1; i < erwartet.size() + 1; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reihe << QApplication::focusWidget();
        }
        QCOMPARE(reihe, erwartet + QList<QWidget*>{fFenster->ListView1});
    }

    void EveryFocusableControlHasAnAccessibleName() {
        int gezaehlt = 0;
        for (QWidget* widget : fFenster->findChildren<QWidget*>()) {
            if ((widget->focusPolicy() & Qt::TabFocus) == 0 ||
                !widget->isVisibleTo(fFenster.get())) {
                continue;
            }
            QAccessibleInterface* schnittstelle = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(schnittstelle != nullptr);
            QVERIFY2(!schnittstelle->text(QAccessible::Name).isEmpty(),
                     qPrintable(widget->objectName()));
            ++gezaehlt;
        }
        QCOMPARE(gezaehlt, 10);
        QCOMPARE(fFenster->Btn2Lv1Hinzufuegen->toolTip(),
                 QString("Markierte Ordner nach MP3-Dateien durchsuchen und hinzufügen"));
        QCOMPARE(fFenster->Btn2Lv1Hinzufuegen->toolTipDuration(), 3000);
    }
};

QTEST_MAIN(HauptTest)
#include "haupt_test.moc"
