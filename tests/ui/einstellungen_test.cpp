// The settings: defaults of a fresh user, every value through the file and back, the
// checks on loading, and fitting the stored window size to the screen.

#include "support/QtTestSupport.h"
#include "ui/Einstellungen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lorvane;

namespace {

// Loads from a key file with the given lines below [General].
TGeladeneEinstellungen LadenAus(const QByteArray& zeilen) {
    QTemporaryDir dir;
    TKivRegistry registry(dir.path());
    test::DateiSchreiben(registry.KeyDatei(EinstellungenKey), "[General]\n" + zeilen);
    return EinstellungenLaden(registry);
}

} // namespace

class EinstellungenTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void FreshUserGetsTheDefaultsAndTheKey() {
        QTemporaryDir dir;
        TKivRegistry registry(dir.path());
        const TGeladeneEinstellungen werte = EinstellungenLaden(registry);
        QVERIFY(!werte.WindowState && !werte.Height && !werte.Width);
        QVERIFY(!werte.CopyMp3File && !werte.Minimieren && werte.PausenSchnitt);
        QCOMPARE(werte.MaxStunden, 5);
        QCOMPARE(werte.Path, std::string());
        QCOMPARE(werte.Aussehen, TAussehen{});
        QCOMPARE(werte.Aussehen.AktFont.Name, QString("Arial"));
        QCOMPARE(werte.Aussehen.AktFont.Size, 12);
        QCOMPARE(werte.Aussehen.AktFont.Color, FensterTextFarbe);
        QCOMPARE(werte.Aussehen.AktBackColor, Weiss);
        QVERIFY(QFile::exists(dir.path() + "/Lorvane/Software/Lorvane.ini"));
        QVERIFY(!registry.KeyOffen());
    }

    void EveryValueRoundTrips_data() {
        QTest::addColumn<int>("zustand");
        QTest::addColumn<QByteArray>("pfad");
        QTest::newRow("maximised, umlauts")
            << ZustandMaximiert << QString("/home/u/Hörbücher, neu/").toUtf8();
        QTest::newRow("normal, drive level") << ZustandNormal << QByteArray();
        QTest::newRow("not UTF-8") << ZustandNormal << QByteArray("/mnt/\xe4rger/");
    }
    void EveryValueRoundTrips() {
        QFETCH(int, zustand);
        QFETCH(QByteArray, pfad);
        QTemporaryDir dir;
        TKivRegistry registry(dir.path());
        TEinstellungenZumSpeichern neu;
        neu.WindowState = zustand;
        neu.Height = 777;
        neu.Width = 1111;
        neu.MaxStunden = 9;
        neu.CopyMp3File = true;
        neu.Minimieren = true;
        neu.PausenSchnitt = false;
        neu.Path = pfad.toStdString();
        neu.Aussehen.AktFont = {"DejaVu Sans", 30, 1, StilFett | StilUnterstrichen, 0x0000FFu};
        neu.Aussehen.AktBackColor = 0xF0CAA6u;
        EinstellungenSpeichern(registry, neu);
        QVERIFY(!registry.KeyOffen());

        // Read through a copy, so that the values come from the file.
        TKivRegistry kopie(dir.path() + "/kopie");
        QDir().mkpath(dir.path() + "/kopie/Lorvane/Software");
        QVERIFY(QFile::copy(registry.KeyDatei(EinstellungenKey), kopie.KeyDatei(EinstellungenKey)));
        const TGeladeneEinstellungen geladen = EinstellungenLaden(kopie);
        QCOMPARE(geladen.WindowState, zustand);
        QCOMPARE(geladen.Height, 777);
        QCOMPARE(geladen.Width, 1111);
        QCOMPARE(geladen.MaxStunden, 9);
        QVERIFY(geladen.CopyMp3File && geladen.Minimieren && !geladen.PausenSchnitt);
        QCOMPARE(QByteArray::fromStdString(geladen.Path), pfad);
        QCOMPARE(geladen.Aussehen, neu.Aussehen);
    }

    void SavingWritesAllValuesButHintColor() {
        QTemporaryDir dir;
        TKivRegistry registry(dir.path());
        TEinstellungenZumSpeichern werte;
        werte.Aussehen.AktFont.Style = StilFett;
        EinstellungenSpeichern(registry, werte);
        QVERIFY(registry.OpenKey(EinstellungenKey, false));
        QStringList namen = registry.GetValueNames();
        namen.sort();
        QStringList erwartet{"WindowState", "Height",       "Width",     "MaxStunden",
                             "CopyMp3File", "Minimieren",   "Path",      "BackColor",
                             "FontName",    "FontSize",     "FontColor", "FontCharSet",
                             "FontStyle",   "PausenSchnitt"};
        erwartet.sort();
        QCOMPARE(namen, erwartet);
        QCOMPARE(registry.ReadInteger("FontStyle"), 2);
        QCOMPARE(registry.ReadInteger("CopyMp3File"), 0);
        QCOMPARE(registry.ReadString("Path"), QString());
        registry.CloseKey();
        const QByteArray text = test::DateiInhalt(registry.KeyDatei(EinstellungenKey));
        QVERIFY(text.contains("\nFontColor=-16777208\n"));
        QVERIFY(text.contains("\nBackColor=16777215\n"));

        werte.Aussehen.AktFont.Style = StilKursiv;
        EinstellungenSpeichern(registry, werte);
        QVERIFY(registry.OpenKey(EinstellungenKey, false));
        QCOMPARE(registry.ReadInteger("FontStyle"), 1);
    }

    void ChecksOnLoading() {
        // Window state: only 0 stays normal; 1 (minimised at closing) and any other
        // number open maximised; text that is no number counts as missing.
        QCOMPARE(LadenAus("WindowState=0\n").WindowState, 0);
        QCOMPARE(LadenAus("WindowState=1\n").WindowState, 2);
        QCOMPARE(LadenAus("WindowState=2\n").WindowState, 2);
        QCOMPARE(LadenAus("WindowState=-7\n").WindowState, 2);
        QVERIFY(!LadenAus("WindowState=offen\n").WindowState);
        // Sizes of 100 or less are ignored.
        QVERIFY(!LadenAus("Height=100\n").Height);
        QCOMPARE(LadenAus("Height=101\n").Height, 101);
        QVERIFY(!LadenAus("Width=-5\n").Width);
        QCOMPARE(LadenAus("Width=1400\n").Width, 1400);
        // Switches: any non-zero value is on.
        QVERIFY(LadenAus("CopyMp3File=7\nMinimieren=-1\n").CopyMp3File);
        QVERIFY(LadenAus("CopyMp3File=7\nMinimieren=-1\n").Minimieren);
        QVERIFY(!LadenAus("CopyMp3File=ja\n").CopyMp3File);
        // The cut at pauses is on unless a number switches it off.
        QVERIFY(!LadenAus("PausenSchnitt=0\n").PausenSchnitt);
        QVERIFY(LadenAus("PausenSchnitt=ja\n").PausenSchnitt);
        // Hours unchanged, also outside what the dialogs offer.
        QCOMPARE(LadenAus("MaxStunden=0\n").MaxStunden, 0);
        QCOMPARE(LadenAus("MaxStunden=50\n").MaxStunden, 50);
        QCOMPARE(LadenAus("MaxStunden=viele\n").MaxStunden, 5);
        QCOMPARE(LadenAus("Path=/home/u/B\xc3\xbc"
                          "cher/\n")
                     .Path,
                 std::string("/home/u/B\xc3\xbc"
                             "cher/"));
    }

    void FontChecks() {
        QCOMPARE(LadenAus("FontName=\n").Aussehen.AktFont.Name, QString("Arial"));
        QCOMPARE(LadenAus("FontName=Liberation Serif\n").Aussehen.AktFont.Name,
                 QString("Liberation Serif"));
        const struct {
            const char* zeile;
            int groesse;
        } groessen[] = {{"FontSize=4\n", 12},  {"FontSize=5\n", 5},     {"FontSize=35\n", 35},
                        {"FontSize=36\n", 12}, {"FontSize=0\n", 12},    {"FontSize=-30\n", 12},
                        {"FontSize=30\n", 30}, {"FontSize=gross\n", 12}};
        for (const auto& fall : groessen) {
            QCOMPARE(LadenAus(fall.zeile).Aussehen.AktFont.Size, fall.groesse);
        }
        const struct {
            const char* zeile;
            int stil;
        } stile[] = {{"FontStyle=3\n", StilKursiv | StilFett},
                     {"FontStyle=-1\n", 0},
                     {"FontStyle=12\n", StilUnterstrichen | StilDurchgestrichen},
                     {"FontStyle=16\n", 0},
                     {"FontStyle=x\n", 0}};
        for (const auto& fall : stile) {
            QCOMPARE(LadenAus(fall.zeile).Aussehen.AktFont.Style, fall.stil);
        }
        const TAktFont font = LadenAus("FontColor=255\nFontCharSet=204\n").Aussehen.AktFont;
        QCOMPARE(font.Color, 0x0000FFu);
        QCOMPARE(font.CharSet, 204);
        QCOMPARE(LadenAus("FontColor=-16777208\n").Aussehen.AktFont.Color, FensterTextFarbe);
    }

    void BackgroundColour() {
        QCOMPARE(LadenAus("HintColor=14\n").Aussehen.AktBackColor, 0x0000FFu);
        QCOMPARE(LadenAus("HintColor=5\n").Aussehen.AktBackColor, 0xF0CAA6u);
        QCOMPARE(LadenAus("HintColor=0\n").Aussehen.AktBackColor, 0x000000u);
        QCOMPARE(LadenAus("HintColor=18\n").Aussehen.AktBackColor, 0x000080u);
        QCOMPARE(LadenAus("HintColor=19\n").Aussehen.AktBackColor, Weiss);
        QCOMPARE(LadenAus("HintColor=-1\n").Aussehen.AktBackColor, Weiss);
        QCOMPARE(LadenAus("BackColor=65535\nHintColor=14\n").Aussehen.AktBackColor, 0x00FFFFu);
        // A damaged BackColor falls back to the older value.
        QCOMPARE(LadenAus("BackColor=gelb\nHintColor=14\n").Aussehen.AktBackColor, 0x0000FFu);
        QCOMPARE(HintFarben.size(), std::size_t(19));
    }

    void BrokenKeyGivesDefaultsAndIsKeptAside() {
        QTemporaryDir dir;
        TKivRegistry registry(dir.path());
        const QString datei = registry.KeyDatei(EinstellungenKey);
        test::DateiSchreiben(datei, "[General]\nFontSize=30\n[kaputt\n");
        QCOMPARE(EinstellungenLaden(registry).Aussehen.AktFont.Size, 12);
        QVERIFY(!QFile::exists(datei + ".defekt"));
        EinstellungenSpeichern(registry, TEinstellungenZumSpeichern{});
        QCOMPARE(test::DateiInhalt(datei + ".defekt"),
                 QByteArray("[General]\nFontSize=30\n[kaputt\n"));
        QCOMPARE(EinstellungenLaden(registry).Aussehen.AktFont.Size, 12);
        QVERIFY(test::DateiInhalt(datei).contains("\nFontSize=12\n"));
    }

    void KeyThatCannotBeOpened() {
        QTemporaryDir dir;
        // The configuration folder is a file: nothing can be created below it.
        test::DateiSchreiben(dir.path() + "/datei", "x");
        TKivRegistry registry(dir.path() + "/datei");
        TEinstellungenZumSpeichern werte;
        werte.MaxStunden = 8;
        EinstellungenSpeichern(registry, werte);
        QCOMPARE(EinstellungenLaden(registry).MaxStunden, 5);
        QCOMPARE(test::DateiInhalt(dir.path() + "/datei"), QByteArray("x"));
    }

    void WindowStateAsStored() {
        QCOMPARE(ZustandsWert(Qt::WindowNoState), 0);
        QCOMPARE(ZustandsWert(Qt::WindowMaximized), 2);
        QCOMPARE(ZustandsWert(Qt::WindowMinimized), 1);
        QCOMPARE(ZustandsWert(Qt::WindowMinimized | Qt::WindowMaximized), 1);
        QCOMPARE(ZustandsWert(Qt::WindowActive), 0);
    }

    void WindowSizeFitsTheWorkArea() {
        const QSize minimum(1000, 700);
        const struct {
            QSize gewuenscht;
            QRect bereich;
            QSize erwartet;
        } faelle[] = {
            {{1200, 900}, {0, 0, 1024, 768}, {1024, 768}},
            {{1200, 900}, {0, 0, 1920, 1040}, {1200, 900}},
            {{2560, 1400}, {0, 28, 1280, 996}, {1280, 996}},
            {{800, 600}, {0, 0, 1920, 1040}, {1000, 700}},
            {{800, 600}, {0, 0, 900, 600}, {900, 600}},
            {{3000, 500}, {100, 0, 1600, 1200}, {1600, 700}},
        };
        for (const auto& fall : faelle) {
            QCOMPARE(FenstergroesseBegrenzen(fall.gewuenscht, minimum, fall.bereich),
                     fall.erwartet);
        }
    }
};

QTEST_MAIN(EinstellungenTest)
#include "einstellungen_test.moc"
