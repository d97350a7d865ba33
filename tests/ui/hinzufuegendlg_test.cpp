// The add dialog over real folders: what it takes, the questions it asks, and every
// way of cancelling it.

#include "audio/Mp3TestFiles.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"
#include "ui/DateiListe.h"
#include "ui/HinzufuegenDlgC.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace lorvane;
using lorvane::test::BoxBeantworter;

namespace {

lorvane::test::Bytes Mp3(int frames = 100, const std::string& titel = "",
                         const std::string& autor = "", const std::string& album = "") {
    std::vector<std::pair<std::string, std::string>> rahmen;
    if (!titel.empty()) {
        rahmen.emplace_back("TIT2", titel);
        rahmen.emplace_back("TPE1", autor);
        rahmen.emplace_back("TALB", album);
    }
    const auto frames_ = lorvane::test::MpegFrames(frames);
    return rahmen.empty() ? frames_
                          : lorvane::test::Concat({lorvane::test::ID3v2Tag(rahmen), frames_});
}

} // namespace

class HinzufuegenDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir fTemp;
    std::string fWurzel;
    TJobState fState;
    QTreeWidget fDateiliste;

    std::string Pfad(const std::string& unter = "") const {
        return unter.empty() ? fWurzel + "/" : fWurzel + "/" + unter + "/";
    }
    void Datei(const std::string& name, const lorvane::test::Bytes& inhalt = Mp3()) const {
        const fs::path pfad = fs::path(fWurzel) / name;
        fs::create_directories(pfad.parent_path());
        lorvane::test::WriteFileBytes(pfad, inhalt);
    }
    int Ausfuehren(THinzufuegenDlg& dlg) { return dlg.exec(); }
    QStringList Captions() const {
        QStringList captions;
        for (int i = 0; i < fDateiliste.topLevelItemCount(); ++i) {
            captions << fDateiliste.topLevelItem(i)->text(0);
        }
        return captions;
    }
    QString Voll(const std::string& relativ) const {
        return QString::fromStdString(fWurzel + "/" + relativ);
    }

private Q_SLOTS:
    void init() {
        QVERIFY(fTemp.isValid());
        fWurzel = fTemp.path().toStdString();
        for (const auto& eintrag : fs::directory_iterator(fWurzel)) {
            fs::remove_all(eintrag.path());
        }
        fDateiliste.clear();
        fDateiliste.setColumnCount(2);
        fState.Daten.Autor.clear();
        fState.Daten.Titel.clear();
        fState.Daten.Album.clear();
    }

    void TextsAndControls() {
        THinzufuegenDlg dlg(nullptr, fState, TAussehen{}, {}, fDateiliste);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Füge MP3-Dateien hinzu"));
        auto* text = dlg.findChild<QLabel*>(QStringLiteral("StaticText1"));
        auto* button = dlg.findChild<QPushButton*>(QStringLiteral("Btn1Abbrechen"));
        QVERIFY(text != nullptr && button != nullptr);
        QCOMPARE(text->text(), QStringLiteral("Durchsuche Ordner nach MP3-Dateien..."));
        QCOMPARE(text->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        QCOMPARE(QAccessible::queryAccessibleInterface(text)->text(QAccessible::Name),
                 text->text());
        QCOMPARE(button->text(), QStringLiteral("&Abbrechen"));
        QVERIFY(!button->autoDefault() && !button->isDefault());
        // Nothing to scan: OK with no rows.
        QCOMPARE(Ausfuehren(dlg), int(QDialog::Accepted));
        QCOMPARE(dlg.AnzDateien(), 0);
        // Laid out when shown: the text at 10, 20, the button centred 20 below it.
        QCOMPARE(text->pos(), QPoint(10, 20));
        QCOMPARE(button->y(), text->geometry().bottom() + 1 + 20);
        QCOMPARE(button->x(), (dlg.width() - button->width()) / 2);
        QCOMPARE(dlg.height(), button->geometry().bottom() + 1 + 20);
        QCOMPARE(button->height(), ControlHeightFor(button->font(), TControlArt::Button));
    }

    void Layout() {
        const THinzufuegenLayout layout = HinzufuegenLayout(QSize(300, 20), QSize(100, 30));
        QCOMPARE(layout.Text, QRect(10, 20, 300, 20));
        QCOMPARE(layout.Button, QRect(110, 60, 100, 30));
        QCOMPARE(layout.Client, QSize(320, 110));
        // A button wider than the text still fits.
        QCOMPARE(HinzufuegenLayout(QSize(50, 20), QSize(100, 30)).Client.width(), 120);
    }

    void TakesMp3FilesByMaskAndAppendsThemSelected() {
        Datei("Kapitel.MP3");
        Datei("Kapitel.mp3x");
        Datei(".versteckt.mp3");
        Datei("a.mp3");
        Datei("kurz.mp3", Mp3(10)); // 0.26 s
        Datei("unter/x.mp3");
        ASSERT_EQ(::mkfifo((fs::path(fWurzel) / "rohr.mp3").c_str(), 0600), 0);
        // Already listed: skipped; the same name in another letter case is another file.
        fDateiliste.addTopLevelItem(DateiZeileErzeugen({Pfad() + "a.mp3", "00:00:02"}));
        fDateiliste.addTopLevelItem(DateiZeileErzeugen({Pfad() + "KURZ.mp3", "00:00:02"}));
        fDateiliste.topLevelItem(0)->setSelected(true);
        THinzufuegenDlg dlg(nullptr, fState, TAussehen{}, {Pfad()}, fDateiliste);
        BoxBeantworter antworten({"Nein"});
        QCOMPARE(Ausfuehren(dlg), int(QDialog::Accepted));
        QCOMPARE(antworten.Texte(),
                 QStringList({"Sollen auch Unterordner nach MP3-Dateien durchsucht werden?"}));
        QCOMPARE(Captions(), QStringList({Voll("a.mp3"), Voll("KURZ.mp3"), Voll("Kapitel.MP3"),
                                          Voll("kurz.mp3")}));
        QCOMPARE(dlg.AnzDateien(), 2);
        QCOMPARE(fDateiliste.topLevelItem(3)->text(1), QStringLiteral("00:00:01"));
        QCOMPARE(fDateiliste.topLevelItem(2)->text(1), QStringLiteral("00:00:02"));
        QVERIFY(!fDateiliste.topLevelItem(0)->isSelected());
        QVERIFY(fDateiliste.topLevelItem(2)->isSelected() &&
                fDateiliste.topLevelItem(3)->isSelected());
        QCOMPARE(fDateiliste.currentItem(), fDateiliste.topLevelItem(2));
        QCOMPARE(fState.Daten.GesamtDauer.load(), 3);
    }

    void OneQuestionForAllFoldersAndNoRepeatsThroughLinks() {
        Datei("eins/1.mp3");
        Datei("zwei/2.mp3");
        Datei("zwei/tiefer/3.mp3");
        Datei("eins/.versteckt/4.mp3");
        fs::create_directory_symlink(fWurzel, fs::path(fWurzel) / "zwei" / "tiefer" / "oben");
        THinzufuegenDlg dlg(nullptr, fState, TAussehen{}, {Pfad("eins"), Pfad("zwei")},
                            fDateiliste);
        BoxBeantworter antworten({"Ja"});
        QCOMPARE(Ausfuehren(dlg), int(QDialog::Accepted));
        QCOMPARE(antworten.Texte().size(), 1);
        // Recursion is on for both; the hidden folder is searched then. The link back to
        // the top finds the folder "eins" once more but not its files a second time.
        QCOMPARE(Captions(), QStringList({Voll("eins/1.mp3"), Voll("eins/.versteckt/4.mp3"),
                                          Voll("zwei/2.mp3"), Voll("zwei/tiefer/3.mp3")}));
    }

    void OnlyHiddenSubfoldersMeanNoQuestion() {
        Datei("a/1.mp3");
        Datei("a/.versteckt/2.mp3");
        THinzufuegenDlg dlg(nullptr, fState, TAussehen{}, {Pfad("a")}, fDateiliste);
        BoxBeantworter antworten({"Ja"});
        QCOMPARE(Ausfuehren(dlg), int(QDialog::Accepted));
        QVERIFY(antworten.Texte().isEmpty());
        QCOMPARE(Captions(), QStringList({Voll("a/1.mp3")}));
    }

    void NeinToAFaultyFileAddsNothing() {
        for (int i = 1; i <= 10; ++i) {
            Datei(std::to_string(i) + ".mp3");
        }
        Datei("11.mp3", lorvane::test::BytesOf("kein MPEG"));
        fDateiliste.addTopLevelItem(DateiZeileErzeugen({"/anderswo/x.mp3", "00:00:01"}));
        THinzufuegenDlg dlg(nullptr, fState, TAussehen{}, {Pfad()}, fDateiliste);
        BoxBeantworter antworten({"Nein"});
        QCOMPARE(Ausfuehren(dlg), int(QDialog::Rejected));
        QCOMPARE(antworten.Texte().size(), 1);
        QVERIFY(antworten.Texte().front().startsWith(
            "Folgende MP3-Datei ist fehlerhaft und wird nicht hinzugefügt:\n\"" + Voll("11.mp3")));
        QCOMPARE(dlg.AnzDateien(), 0);
        QCOMPARE(Captions(), QStringList({"/anderswo/x.mp3"}));
    }

    void MetadataFromTheFirstTitle() {
        Datei("1.mp3", Mp3(100));
        Datei("2.mp3", Mp3(100, " Die Reise ", "Anna", "Meer"));
        Datei("3.mp3", Mp3(100, "Anders", "Bert", "Berg"));
        fState.Daten.Autor = "alt";
        THinzufuegenDlg dlg(nullptr, fState, TAussehen{}, {Pfad()}, fDateiliste);
        QCOMPARE(Ausfuehren(dlg), int(QDialog::Accepted));
        QCOMPARE(fState.Daten.Titel, std::string("Die Reise"));
        QCOMPARE(fState.Daten.Autor, std::string("Anna"));
        QCOMPARE(fState.Daten.Album, std::string("Meer"));
    }

    // Cancel button, Esc and a close request, each while the subfolder question is
    // open: the dialog stays until the scan ends, then Rejected with nothing added.
    void EveryCloseRequestCancels_data() {
        QTest::addColumn<int>("art");
        QTest::newRow("Abbrechen") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("Schliessen") << 2;
    }
    void EveryCloseRequestCancels() {
        QFETCH(int, art);
        Datei("a/1.mp3");
        Datei("a/b/2.mp3");
        THinzufuegenDlg dlg(nullptr, fState, TAussehen{}, {Pfad("a")}, fDateiliste);
        bool gefragt = false;
        lorvane::test::WennModalOffen<QMessageBox>([&](QMessageBox& box) {
            gefragt = true;
            if (art == 0) {
                dlg.findChild<QPushButton*>(QStringLiteral("Btn1Abbrechen"))->click();
            } else if (art == 1) {
                QTest::keyClick(&dlg, Qt::Key_Escape);
            } else {
                dlg.close();
            }
            QVERIFY(dlg.isVisible());
            QVERIFY(dlg.CancelS());
            for (QAbstractButton* button : box.buttons()) {
                if (button->text() == QStringLiteral("Ja")) {
                    button->click();
                }
            }
        });
        QCOMPARE(Ausfuehren(dlg), int(QDialog::Rejected));
        QVERIFY(gefragt);
        QCOMPARE(dlg.AnzDateien(), 0);
        QVERIFY(Captions().isEmpty());
    }

    void EnterDoesNotCancel() {
        Datei("a/1.mp3");
        Datei("a/b/2.mp3");
        THinzufuegenDlg dlg(nullptr, fState, TAussehen{}, {Pfad("a")}, fDateiliste);
        lorvane::test::WennModalOffen<QMessageBox>([&](QMessageBox& box) {
            auto* abbrechen = dlg.findChild<QPushButton*>(QStringLiteral("Btn1Abbrechen"));
            QTest::keyClick(abbrechen, Qt::Key_Return);
            QTest::keyClick(&dlg, Qt::Key_Enter);
            QVERIFY(!dlg.CancelS());
            for (QAbstractButton* button : box.buttons()) {
                if (button->text() == QStringLiteral("Nein")) {
                    button->click();
                }
            }
        });
        QCOMPARE(Ausfuehren(dlg), int(QDialog::Accepted));
        QCOMPARE(Captions(), QStringList({Voll("a/1.mp3")}));
    }
};

QTEST_MAIN(HinzufuegenDlgTest)
#include "hinzufuegendlg_test.moc"
