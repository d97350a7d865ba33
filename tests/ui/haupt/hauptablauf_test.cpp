// The main window with fake services over its whole use: folder errors, settings
// loaded and saved, the tray, closing, and a job started with Weiter.

#include "ui/haupt/HauptTestBasis.h"

class HauptAblaufTest : public QObject, protected THauptTestBasis {
    Q_OBJECT

private Q_SLOTS:
    void init() { Aufbauen(); }
    void cleanup() { Abbauen(); }

    void FolderErrorsAreShownAndLeaveTheList() {
        const QString ordner = fOrdner.filePath("ordner");
        QVERIFY(fFenster->OrdnerListe().PfadSetzen(QFile::encodeName(ordner).toStdString()) ==
                std::nullopt);
        QCOMPARE(fFenster->ListView1->topLevelItemCount(), 1);
        QVERIFY(fFenster->Btn1Lv1Zurueck->isEnabled());
        QVERIFY(QDir(ordner).removeRecursively());
        test::BoxBeantworter boxen({"OK"});
        fFenster->OrdnerBefehl(3);
        QTRY_COMPARE(boxen.Texte().size(), 1);
        QVERIFY(boxen.Texte().first().contains("nicht vorhanden!"));
        QCOMPARE(fFenster->ListView1->topLevelItemCount(), 1);
    }

    void SwitchesAreSavedAtOnce() {
        QVERIFY(!fState->Daten.CopyMp3FileS);
        fFenster->Menue.MenuEinstCopyMp3FileS->trigger();
        QVERIFY(fState->Daten.CopyMp3FileS);
        fFenster->Menue.MenuEinstMinimierenS->trigger();
        QVERIFY(fState->Daten.MinimierenS);
        QVERIFY(fState->Daten.PausenSchnittS);
        fFenster->Menue.MenuEinstPausenSchnittS->trigger();
        QVERIFY(!fState->Daten.PausenSchnittS);
        QVERIFY(!fFenster->Menue.MenuEinstPausenSchnittS->isChecked());
        TKivRegistry gelesen(fOrdner.filePath("konfig"));
        QVERIFY(gelesen.OpenKey("Software\\Lorvane", false));
        QCOMPARE(gelesen.ReadInteger("CopyMp3File"), std::optional<std::int32_t>(1));
        QCOMPARE(gelesen.ReadInteger("Minimieren"), std::optional<std::int32_t>(1));
        QCOMPARE(gelesen.ReadInteger("PausenSchnitt"), std::optional<std::int32_t>(0));
        QCOMPARE(gelesen.ReadInteger("MaxStunden"), std::optional<std::int32_t>(5));
    }

    void TheWindowRefusesToCloseWhileAJobRuns() {
        QSignalSpy geschlossen(fFenster.get(), &TForm1::Geschlossen);
        fState->Daten.ConvertThreadLaeuftS = true;
        QVERIFY(!fFenster->close());
        QVERIFY(fFenster->isVisible());
        fFenster->Menue.MenuDateiBeenden->trigger();
        QVERIFY(fFenster->isVisible());
        QCOMPARE(geschlossen.size(), 0);
        // Hiding (into the tray) is no close.
        fFenster->hide();
        QCOMPARE(geschlossen.size(), 0);
        fFenster->show();
        fState->Daten.ConvertThreadLaeuftS = false;
        QVERIFY(fFenster->close());
        QCOMPARE(geschlossen.size(), 1);
        TKivRegistry gelesen(fOrdner.filePath("konfig"));
        QVERIFY(gelesen.OpenKey("Software\\Lorvane", false));
        QCOMPARE(gelesen.ReadInteger("Width"), std::optional<std::int32_t>(fFenster->width()));
    }

    void AModalDialogPausesThePreviewAndTheWindowStays() {
        DreiZeilen(0);
        fFenster->DateiBefehl(6);
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Spielt);
        bool zuWaehrendDialog = true;
        bool offen = false;
        test::WennModalOffen<QDialog>([&](QDialog& dialog) {
            offen = fFenster->IsDialogOpen();
            zuWaehrendDialog = fFenster->close();
            dialog.reject();
        });
        fFenster->Menue.MenuEinstMaxStunden->trigger();
        QVERIFY(offen);
        QVERIFY(!fFenster->IsDialogOpen());
        QVERIFY(!zuWaehrendDialog);
        QVERIFY(fFenster->isVisible());
        QCOMPARE(fPlayer->Modus(), TPlayerModus::Pausiert);
    }

    void TheTrayIconGoesOnClickAndAtClosing() {
        fTray.SichtbarSetzen(true);
        QVERIFY(fTray.Klick);
        fTray.Klick();
        QVERIFY(!fTray.Sichtbar());
        fTray.SichtbarSetzen(true);
        QVERIFY(fFenster->close());
        QVERIFY(!fTray.Sichtbar());
    }

    void SettingsAreLoadedAtTheFirstShow() {
        fFenster.reset();
        const QString ordner = fOrdner.filePath("ordner");
        {
            TKivRegistry schreiben(fOrdner.filePath("konfig"));
            QVERIFY(schreiben.OpenKey("Software\\Lorvane", true));
            schreiben.WriteInteger("WindowState", 1);
            schreiben.WriteInteger("FontSize", 30);
            schreiben.WriteInteger("MaxStunden", 0);
            schreiben.WriteInteger("CopyMp3File", 7);
            schreiben.WriteString("Path", ordner);
            schreiben.CloseKey();
        }
        fFenster = std::make_unique<TForm1>(*fState, Dienste());
        QCOMPARE(fFenster->Aussehen().AktFont.Size, 12);
        fFenster->show();
        QCOMPARE(fFenster->Aussehen().AktFont.Size, 30);
        QTRY_VERIFY(fFenster->isMaximized());
        QCOMPARE(fState->Daten.MaxStunden.load(), 0);
        QVERIFY(fState->Daten.CopyMp3FileS);
        QVERIFY(!fState->Daten.MinimierenS);
        QCOMPARE(QString::fromStdString(fFenster->OrdnerListe().Dateien().Path()), ordner + "/");
        QVERIFY(fFenster->Btn1Lv1Zurueck->isEnabled());
        // The layout follows the font: every button fits its caption.
        for (QPushButton* button : fFenster->findChildren<QPushButton*>()) {
            QCOMPARE(button->font().pointSize(), button == fFenster->Btn1Weiter ? 33 : 30);
            QVERIFY2(QFontMetrics(button->font()).horizontalAdvance(button->text().remove('&')) <
                         button->width(),
                     qPrintable(button->objectName()));
            QVERIFY(button->geometry().right() < fFenster->centralWidget()->width());
        }
        QCOMPARE(fFenster->ListView1->font().pointSize(), 30);
        QCOMPARE(fFenster->ListView2->geometry().left(), 10);
    }

    void WeiterStoresCleanedTextsRunsTheJobAndAsksWithTheAlbumFirst() {
        DreiZeilen(0);
        QFile ffmpeg(fOrdner.filePath("ffmpeg"));
        QVERIFY(ffmpeg.open(QIODevice::WriteOnly));
        fState->Daten.FfmpegDatei = ffmpeg.fileName().toStdString();
        fState->Daten.Autor = "Ab/Cd: Ef?";
        QString vorher;
        test::WennModalOffen<TMetaDlg>([&](TMetaDlg& dialog) {
            vorher = dialog.Feld(0).text();
            dialog.Feld(0).setText("Ab/Cd: Ef?");
            dialog.Feld(1).setText(" ?? ? ");
            dialog.Feld(2).setText("Hörbuch ě");
            dialog.Feld(3).setText("7");
            dialog.StarteKnopf().click();
        });
        bool zuWaehrendJob = true;
        test::WennModalOffen<TBearbeitenFenster>([&](TBearbeitenFenster&) {
            zuWaehrendJob = fFenster->close();
            fWeiter = true;
        });
        test::BoxBeantworter boxen({"Nein"});
        fFenster->Btn1Weiter->click();
        QCOMPARE(vorher, QString("AbCd Ef"));
        QVERIFY(!zuWaehrendJob);
        QCOMPARE(QString::fromStdString(fState->Daten.Autor), QString("AbCd Ef"));
        QCOMPARE(QString::fromStdString(fState->Daten.Titel), QString("_"));
        QCOMPARE(QString::fromStdString(fState->Daten.Album), QString("Hörbuch ě"));
        QCOMPARE(fState->Daten.MaxStunden.load(), 7);
        QTRY_COMPARE(boxen.Texte().size(), 1);
        QCOMPARE(boxen.Texte().first(), MeldungsText(ErfolgsFrage("Hörbuch ě", "AbCd Ef", 3, 30)));
        QTRY_COMPARE(fFenster->focusWidget(), fFenster->ListView2);
        QCOMPARE(fFenster->ListView2->topLevelItemCount(), 3);
        QVERIFY(fFenster->isVisible());
        TKivRegistry gelesen(fOrdner.filePath("konfig"));
        QVERIFY(gelesen.OpenKey("Software\\Lorvane", false));
        QCOMPARE(gelesen.ReadInteger("MaxStunden"), std::optional<std::int32_t>(7));
    }

    void ALockedWorkingFolderIsLeftAlone() {
        fFenster.reset();
        const QString teil = fOrdner.filePath("arbeit/Teil.mp3");
        auto sperre = TArbeitsOrdnerSperre::Belegen(fState->Daten.ArbeitsOrdner);
        QVERIFY(sperre && !sperre->Eigener());
        QFile(teil).open(QIODevice::WriteOnly);
        QVERIFY(QFileInfo::exists(teil));
        fFenster = std::make_unique<TForm1>(*fState, Dienste());
        QVERIFY(QFileInfo::exists(teil));
        fFenster.reset();
        QVERIFY(QFileInfo::exists(teil));
        // Without the lock the folder is the program's own again.
        sperre.reset();
        fFenster = std::make_unique<TForm1>(*fState, Dienste());
        QVERIFY(!QFileInfo::exists(teil));
        fFenster.reset();
        QVERIFY(!QFileInfo::exists(fOrdner.filePath("arbeit")));
        QVERIFY(!QFileInfo::exists(fOrdner.filePath("ausgabe")));
    }

    void FolderKeysWalkAndTheButtonsFollow() {
        QTreeWidget& liste = *fFenster->ListView1;
        QCOMPARE(liste.topLevelItemCount(), 2);
        liste.setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), &liste);
        liste.setCurrentItem(liste.topLevelItem(0));
        QTest::keyClick(&liste, Qt::Key_Return);
        QCOMPARE(QString::fromStdString(fFenster->OrdnerListe().Dateien().Path()),
                 fOrdner.filePath("ordner") + "/");
        QVERIFY(fFenster->Btn1Lv1Zurueck->isEnabled());
        QVERIFY(fFenster->Menue.PuLv1Zurueck->isEnabled());
        QVERIFY(fFenster->Btn2Lv1Hinzufuegen->isEnabled());
        liste.clearSelection();
        QVERIFY(!fFenster->Btn2Lv1Hinzufuegen->isEnabled());
        QVERIFY(!fFenster->Menue.PuLv1Hinzufuegen->isEnabled());
        QTest::keyClick(&liste, Qt::Key_Backspace);
        QVERIFY(fFenster->OrdnerListe().Dateien().Path().empty());
        QVERIFY(!fFenster->Btn1Lv1Zurueck->isEnabled());
        // At the drive level Backspace only beeps.
        const int piepser = PiepZaehler();
        QTest::keyClick(&liste, Qt::Key_Backspace);
        QCOMPARE(PiepZaehler(), piepser + 1);
        QVERIFY(fFenster->OrdnerListe().Dateien().Path().empty());
    }

    void AddingReportsTheNumberAndPlayingTime() {
        QTreeWidget& liste = *fFenster->ListView1;
        liste.clearSelection();
        liste.topLevelItem(0)->setSelected(true);
        test::BoxBeantworter boxen({"Nein", "OK"});
        fFenster->Btn2Lv1Hinzufuegen->click();
        QTRY_COMPARE(boxen.Texte().size(), 2);
        QCOMPARE(boxen.Texte().last(), QString("Hinzugefügte MP3-Dateien: 0 (Dauer: 00:00:00)"));
        QCOMPARE(fFenster->ListView2->topLevelItemCount(), 0);
        QVERIFY(!fFenster->Btn1Weiter->isEnabled());
    }

    void Texts() {
        QCOMPARE(HinzugefuegtText(1234, 0),
                 QString("Hinzugefügte MP3-Dateien: 1.234 (Dauer: 00:00:00)"));
        QCOMPARE(ErfolgsFrage("Album", "Autor", 3, 3725),
                 QString("Das Hörbuch \"Album\" von \"Autor\" wurde erfolgreich erstellt!\r\n"
                         "Erstellte M4B-Dateien: 3 (Dauer: 01:02:05)\r\n"
                         "Soll der Hörbuchordner geöffnet werden?"));
        const TDateiListeSchalter leer = DateiListeSchalter({});
        QCOMPARE(leer, TDateiListeSchalter{});
        TDateiListeZustand zustand{3, 0, 2, true, false};
        const TDateiListeSchalter letzte = DateiListeSchalter(zustand);
        QVERIFY(letzte.NachOben && !letzte.NachUnten && !letzte.Entfernen && letzte.Stop &&
                letzte.Weiter);
    }
};

QTEST_MAIN(HauptAblaufTest)
#include "hauptablauf_test.moc"
