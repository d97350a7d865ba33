// The status line: panel texts, the rotating key hints and the German key names.

#include "ui/haupt/Statuszeile.h"

#include <QFontMetrics>
#include <QTest>

using namespace lorvane;

namespace {

TStatusEingaben Ordnerliste() {
    TStatusEingaben e;
    e.Fokus = TStatusFokus::Ordnerliste;
    return e;
}

TStatusEingaben Dateiliste() {
    TStatusEingaben e;
    e.Fokus = TStatusFokus::Dateiliste;
    return e;
}

QString Hinweise(const TStatusEingaben& e, int minute) {
    return StatuszeileTexte(e, TStatusKuerzel{}, minute)[2];
}

} // namespace

class StatuszeileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The hints wrap only after "; ", and what still does not fit in the panel's lines
    // is shortened at the end.
    void HintsWrapBetweenThemselves() {
        const QFontMetrics metrik(QFont(QStringLiteral("DejaVu Sans"), 30));
        const QString text = "Entf=Entfernen; Strg+P=Play/Pause; Strg+S=Stop; Strg+W=Weiter";
        const int ganz = metrik.horizontalAdvance(text);
        const int haelfte = metrik.horizontalAdvance("Entf=Entfernen; Strg+P=Play/Pause;");
        const int eins = metrik.horizontalAdvance("Strg+P=Play/Pause;");
        const struct {
            int breite, zeilen;
            qsizetype erwartet; // lines shown
            bool gekuerzt;
        } faelle[] = {
            {ganz, 1, 1, false}, {haelfte, 2, 2, false},  {haelfte, 1, 1, true},
            {eins, 4, 4, false}, {eins - 1, 4, 4, false}, {eins, 2, 2, true},
        };
        for (const auto& fall : faelle) {
            const QString gezeigt = PanelText(text, metrik, fall.breite, fall.zeilen);
            const QStringList zeilen = gezeigt.split('\n');
            const QString was = QString::number(fall.breite) + ": " + gezeigt;
            QCOMPARE(zeilen.size(), fall.erwartet);
            QCOMPARE(gezeigt.contains(QChar(0x2026)), fall.gekuerzt);
            if (!fall.gekuerzt) {
                // Only the blank after a ";" became a line break.
                QCOMPARE(QString(gezeigt).replace(";\n", "; "), text);
            }
            for (const QString& zeile : zeilen) {
                // A single hint wider than the panel keeps its line.
                QVERIFY2(metrik.horizontalAdvance(zeile) <= fall.breite || !zeile.contains("; "),
                         qPrintable(was));
            }
        }
    }

    void KeyNamesAreGerman() {
        const struct {
            int taste;
            const char* name;
        } faelle[] = {
            {Qt::Key_Backspace, "Rück"},
            {Qt::Key_Tab, "Tab"},
            {Qt::Key_Escape, "Esc"},
            {Qt::Key_Return, "Eingabe"},
            {Qt::Key_Enter, "Eingabe"},
            {Qt::Key_Space, "Leer"},
            {Qt::Key_PageUp, "BildAuf"},
            {Qt::Key_PageDown, "BildAb"},
            {Qt::Key_End, "Ende"},
            {Qt::Key_Home, "Pos1"},
            {Qt::Key_Left, "Links"},
            {Qt::Key_Up, "Auf"},
            {Qt::Key_Right, "Rechts"},
            {Qt::Key_Down, "Ab"},
            {Qt::Key_Insert, "Einfg"},
            {Qt::Key_Delete, "Entf"},
            {Qt::Key_A, "A"},
            {Qt::Key_Z, "Z"},
            {Qt::Key_0, "0"},
            {Qt::Key_9, "9"},
            {Qt::Key_F1, "F1"},
            {Qt::Key_F12, "F12"},
        };
        for (const auto& fall : faelle) {
            QCOMPARE(TastenName(fall.taste), QString::fromUtf8(fall.name));
        }
    }

    void ShortcutTextsPutTheModifiersInFixedOrder() {
        const struct {
            QKeySequence kuerzel;
            const char* text;
        } faelle[] = {
            {QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Up), "Umsch+Strg+Auf"},
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down), "Umsch+Strg+Ab"},
            {QKeySequence(Qt::CTRL | Qt::Key_H), "Strg+H"},
            {QKeySequence(Qt::Key_Backspace), "Rück"},
            {QKeySequence(Qt::Key_F5), "F5"},
            {QKeySequence(Qt::Key_Delete), "Entf"},
            {QKeySequence(Qt::CTRL | Qt::Key_Delete), "Strg+Entf"},
            {QKeySequence(Qt::ALT | Qt::Key_F4), "Alt+F4"},
            {QKeySequence(Qt::ALT | Qt::CTRL | Qt::SHIFT | Qt::Key_X), "Umsch+Strg+Alt+X"},
            {QKeySequence(Qt::KeypadModifier | Qt::Key_5), "5"},
            {QKeySequence(Qt::CTRL | Qt::Key_1), "Strg+1"},
            {QKeySequence(), ""},
        };
        for (const auto& fall : faelle) {
            QCOMPARE(KuerzelText(fall.kuerzel), QString::fromUtf8(fall.text));
        }
    }

    void CountPanelsUseThousandsDots() {
        TStatusEingaben e = Dateiliste();
        e.DateiZeilen = 1234;
        e.DateiMarkiert = 5;
        e.Laufwerksebene = false;
        e.OrdnerZeilen = 12;
        e.OrdnerMarkiert = 3;
        const auto texte = StatuszeileTexte(e, TStatusKuerzel{}, 0);
        QCOMPARE(texte[0], QString("Ordner: 12/3 mark."));
        QCOMPARE(texte[1], QString("Dateien: 1.234/5 mark."));
    }

    void Hints_data() {
        QTest::addColumn<int>("fokus");
        QTest::addColumn<bool>("laufwerke");
        QTest::addColumn<int>("ordnerMarkiert");
        QTest::addColumn<bool>("ordnerFokus");
        QTest::addColumn<int>("dateiZeilen");
        QTest::addColumn<int>("dateiMarkiert");
        QTest::addColumn<bool>("dateiFokus");
        QTest::addColumn<int>("knoepfe"); // 1 up, 2 down, 4 play, 8 stop
        QTest::addColumn<int>("minute");
        QTest::addColumn<QString>("erwartet");
        const int o = static_cast<int>(TStatusFokus::Ordnerliste);
        const int d = static_cast<int>(TStatusFokus::Dateiliste);
        const int a = static_cast<int>(TStatusFokus::Andere);
        QTest::newRow("folder level, marked, files")
            << o << false << 1 << true << 3 << 0 << false << 0 << 17
            << "Strg+H=Hinzufügen; Rück=Zurück; Strg+W=Weiter";
        QTest::newRow("drive level: no Zurück") << o << true << 1 << true << 0 << 0 << false << 0
                                                << 1 << "Strg+H=Hinzufügen; Strg+2=Dateiliste";
        QTest::newRow("focused folder row, minute 0")
            << o << false << 0 << true << 0 << 0 << false << 0 << 0
            << "Rück=Zurück; Strg+F=Ordner öffnen";
        QTest::newRow("no focused row, minute 4")
            << o << true << 0 << false << 0 << 0 << false << 0 << 4 << "F5=Aktualisieren";
        QTest::newRow("minute 2") << o << true << 0 << true << 0 << 0 << false << 0 << 2
                                  << "Strg+O=Ausgabeordner";
        QTest::newRow("minute 59")
            << o << true << 0 << true << 0 << 0 << false << 0 << 59 << "F5=Aktualisieren";
        QTest::newRow("empty file list, odd")
            << d << true << 0 << false << 0 << 0 << false << 0 << 7 << "Strg+O=Ausgabeordner";
        QTest::newRow("empty file list, even")
            << d << true << 0 << false << 0 << 0 << false << 0 << 8 << "Strg+1=Ordnerliste";
        QTest::newRow("first row, even: Nach unten")
            << d << true << 0 << false << 3 << 1 << true << 2 << 10
            << "Entf=Entfernen; Umsch+Strg+Ab=Nach unten; Strg+W=Weiter";
        QTest::newRow("middle row, even: Nach oben")
            << d << true << 0 << false << 3 << 0 << true << 3 << 10
            << "Umsch+Strg+Auf=Nach oben; Strg+W=Weiter";
        QTest::newRow("focused row, odd: play and stop")
            << d << true << 0 << false << 3 << 1 << true << 15 << 11
            << "Entf=Entfernen; Strg+P=Play/Pause; Strg+S=Stop; Strg+W=Weiter";
        QTest::newRow("focused row, odd, player stopped")
            << d << true << 0 << false << 1 << 0 << true << 4 << 11
            << "Strg+P=Play/Pause; Strg+W=Weiter";
        QTest::newRow("other control, odd") << a << true << 0 << false << 2 << 0 << false << 0 << 1
                                            << "Strg+1=Ordnerliste; Strg+2=Dateiliste; "
                                               "Strg+W=Weiter";
        QTest::newRow("other control, even") << a << true << 0 << false << 2 << 0 << false << 0 << 0
                                             << "Strg+O=Ausgabeordner; Strg+L=Dateiliste leeren";
        QTest::newRow("other control, even, no files")
            << a << true << 0 << false << 0 << 0 << false << 0 << 30 << "Strg+O=Ausgabeordner";
    }
    void Hints() {
        QFETCH(int, fokus);
        QFETCH(bool, laufwerke);
        QFETCH(int, ordnerMarkiert);
        QFETCH(bool, ordnerFokus);
        QFETCH(int, dateiZeilen);
        QFETCH(int, dateiMarkiert);
        QFETCH(bool, dateiFokus);
        QFETCH(int, knoepfe);
        QFETCH(int, minute);
        QFETCH(QString, erwartet);
        TStatusEingaben e;
        e.Fokus = static_cast<TStatusFokus>(fokus);
        e.Laufwerksebene = laufwerke;
        e.OrdnerZeilen = 4;
        e.OrdnerMarkiert = ordnerMarkiert;
        e.OrdnerFokusZeile = ordnerFokus;
        e.DateiZeilen = dateiZeilen;
        e.DateiMarkiert = dateiMarkiert;
        e.DateiFokusZeile = dateiFokus;
        e.NachObenAn = (knoepfe & 1) != 0;
        e.NachUntenAn = (knoepfe & 2) != 0;
        e.PlayPauseAn = (knoepfe & 4) != 0;
        e.StopAn = (knoepfe & 8) != 0;
        QCOMPARE(Hinweise(e, minute), erwartet);
        // The minute of another hour selects the same.
        QCOMPARE(Hinweise(e, minute + 60), erwartet);
    }

    void DriveLevelPanel() {
        TStatusEingaben e = Ordnerliste();
        e.OrdnerZeilen = 4;
        e.OrdnerMarkiert = 1;
        QCOMPARE(StatuszeileTexte(e, TStatusKuerzel{}, 0)[0], QString("Laufwerke: 4/1 mark."));
    }

    void HintsNeverEndWithSeparatorOrBlank() {
        for (int fokus = 0; fokus < 3; ++fokus) {
            for (int bits = 0; bits < 512; ++bits) {
                TStatusEingaben e;
                e.Fokus = static_cast<TStatusFokus>(fokus);
                e.Laufwerksebene = (bits & 1) != 0;
                e.OrdnerMarkiert = (bits & 2) != 0 ? 1 : 0;
                e.OrdnerFokusZeile = (bits & 4) != 0;
                e.DateiZeilen = (bits & 8) != 0 ? 2 : 0;
                e.DateiMarkiert = (bits & 16) != 0 ? 1 : 0;
                e.DateiFokusZeile = (bits & 32) != 0;
                e.NachObenAn = (bits & 64) != 0;
                e.NachUntenAn = (bits & 128) != 0;
                e.PlayPauseAn = e.StopAn = (bits & 256) != 0;
                for (int minute = 0; minute < 4; ++minute) {
                    const QString t = Hinweise(e, minute);
                    QVERIFY2(!t.isEmpty(), qPrintable(t));
                    QVERIFY2(!t.endsWith(';') && !t.endsWith(' ') && !t.startsWith(' '),
                             qPrintable(t));
                    QVERIFY2(!t.contains(";;"), qPrintable(t));
                }
            }
        }
    }

    void HintsQuoteTheGivenShortcuts() {
        TStatusKuerzel kuerzel;
        kuerzel.Weiter = QKeySequence(Qt::Key_F9);
        kuerzel.Hinzufuegen = QKeySequence();
        TStatusEingaben e = Ordnerliste();
        e.OrdnerMarkiert = 2;
        e.DateiZeilen = 1;
        QCOMPARE(StatuszeileTexte(e, kuerzel, 0)[2], QString("=Hinzufügen; F9=Weiter"));
    }
};

QTEST_MAIN(StatuszeileTest)
#include "statuszeile_test.moc"
