// The registry layer over INI files: key files, value round trips through the file,
// hand-edited values, broken files and deleting.

#include "platform/instanz/KivRegistry.h"
#include "support/QtTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace lorvane;

namespace {} // namespace

class KivRegistryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void KeysNameTheirFiles() {
        TKivRegistry registry(QStringLiteral("/k"));
        QCOMPARE(registry.KeyDatei("Software\\Lorvane"),
                 QString("/k/Lorvane/Software/Lorvane.ini"));
        QCOMPARE(registry.KeyDatei("\\Software\\Lorvane\\"),
                 QString("/k/Lorvane/Software/Lorvane.ini"));
        QCOMPARE(registry.KeyDatei("Lorvane"), QString("/k/Lorvane/Lorvane.ini"));
        QCOMPARE(registry.KeyDatei("Software\\..\\x"), QString());
        QCOMPARE(registry.KeyDatei(""), QString());
        QVERIFY(!registry.OpenKey("..", true));
    }

    void StandardFolderFollowsXdg() {
        const QByteArray vorher = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", "/x/conf");
        QCOMPARE(StandardKonfigOrdner(), QString("/x/conf"));
        qputenv("XDG_CONFIG_HOME", "relativ");
        QCOMPARE(StandardKonfigOrdner(), QDir::homePath() + "/.config");
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(StandardKonfigOrdner(), QDir::homePath() + "/.config");
        qputenv("XDG_CONFIG_HOME", vorher);
    }

    void OpeningCreatesOnlyWhenAsked() {
        QTemporaryDir dir;
        TKivRegistry registry(dir.path());
        const QString datei = registry.KeyDatei("Software\\Lorvane");
        QVERIFY(!registry.OpenKey("Software\\Lorvane", false));
        QVERIFY(!QFile::exists(datei));
        QVERIFY(registry.OpenKey("Software\\Lorvane", true));
        QVERIFY(QFile::exists(datei));
        QVERIFY(registry.GetValueNames().isEmpty());
        registry.CloseKey();
        QVERIFY(registry.OpenKey("Software\\Lorvane", false));
    }

    void ValuesSurviveTheFile() {
        QTemporaryDir dir;
        TKivRegistry registry(dir.path());
        const std::int32_t zahlen[] = {0,
                                       1,
                                       -1,
                                       30,
                                       std::numeric_limits<std::int32_t>::min(),
                                       std::numeric_limits<std::int32_t>::max(),
                                       static_cast<std::int32_t>(0xFF000008u)};
        const QString texte[] = {"",
                                 "Arial",
                                 "Hörbuch ÄÖÜß",
                                 "/a, b/",
                                 "@Variant(0)",
                                 " vorn und hinten ",
                                 "mit \"Anführung\"",
                                 "a\\b;c=d",
                                 "zwei\nZeilen",
                                 "#kein Kommentar"};
        const QByteArray bytes("/home/u/\xff\xfe\x00x/", 13);
        QVERIFY(registry.OpenKey("A", true));
        for (std::size_t i = 0; i < std::size(zahlen); ++i) {
            registry.WriteInteger(QString("Zahl%1").arg(i), zahlen[i]);
        }
        for (std::size_t i = 0; i < std::size(texte); ++i) {
            registry.WriteString(QString("Text%1").arg(i), texte[i]);
        }
        registry.WriteBytes("Bytes", bytes);
        registry.CloseKey();
        const QByteArray datei = test::DateiInhalt(registry.KeyDatei("A"));
        QVERIFY(datei.startsWith("[General]\n"));
        QVERIFY(datei.contains("\nZahl6=-16777208\n"));
        QVERIFY(datei.contains("\nZahl3=30\n"));

        // A copy under another name is parsed afresh, not served from memory.
        QVERIFY(QFile::copy(registry.KeyDatei("A"), registry.KeyDatei("B")));
        QVERIFY(registry.OpenKey("B", false));
        for (std::size_t i = 0; i < std::size(zahlen); ++i) {
            QCOMPARE(registry.ReadInteger(QString("Zahl%1").arg(i)), zahlen[i]);
        }
        for (std::size_t i = 0; i < std::size(texte); ++i) {
            QCOMPARE(registry.ReadString(QString("Text%1").arg(i)), texte[i]);
            QVERIFY(registry.ValueExists(QString("Text%1").arg(i)));
        }
        QCOMPARE(registry.ReadBytes("Bytes"), bytes);
        QCOMPARE(registry.ReadBytes("Text2"), QString("Hörbuch ÄÖÜß").toUtf8());
        QVERIFY(!registry.ReadBytes("Fehlt"));
        QCOMPARE(registry.ReadString("Fehlt"), QString());
        QVERIFY(!registry.ReadInteger("Fehlt"));
        QVERIFY(!registry.ValueExists("Fehlt"));
        QCOMPARE(registry.GetValueNames().size(),
                 qsizetype(std::size(zahlen) + std::size(texte) + 1));
    }

    void HandEditedIntegers_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("erwartet"); // -999 = missing
        const int fehlt = -999;
        QTest::newRow("plain") << QByteArray("12") << 12;
        QTest::newRow("spaces") << QByteArray("  12  ") << 12;
        QTest::newRow("plus") << QByteArray("+7") << 7;
        QTest::newRow("negative") << QByteArray("-16777208") << -16777208;
        QTest::newRow("max") << QByteArray("2147483647") << 2147483647;
        QTest::newRow("word") << QByteArray("abc") << fehlt;
        QTest::newRow("trailing") << QByteArray("12abc") << fehlt;
        QTest::newRow("hex") << QByteArray("0x10") << fehlt;
        QTest::newRow("fraction") << QByteArray("1.5") << fehlt;
        QTest::newRow("empty") << QByteArray("") << fehlt;
        QTest::newRow("sign only") << QByteArray("-") << fehlt;
        QTest::newRow("list") << QByteArray("1, 2") << fehlt;
        QTest::newRow("above 32 bits") << QByteArray("2147483648") << fehlt;
        QTest::newRow("below 32 bits") << QByteArray("-2147483649") << fehlt;
        QTest::newRow("huge") << QByteArray("99999999999999999999999") << fehlt;
        QTest::newRow("bytes") << QByteArray("@ByteArray(12)") << fehlt;
    }
    void HandEditedIntegers() {
        QFETCH(QByteArray, text);
        QFETCH(int, erwartet);
        QTemporaryDir dir;
        TKivRegistry registry(dir.path());
        test::DateiSchreiben(registry.KeyDatei("K"), "[General]\nWert=" + text + "\n");
        QVERIFY(registry.OpenKey("K", false));
        const auto wert = registry.ReadInteger("Wert");
        if (erwartet == -999) {
            QVERIFY(!wert);
        } else {
            QCOMPARE(wert, erwartet);
        }
    }

    void BrokenFileIsEmptyAndMovedAsideBeforeTheFirstWrite() {
        QTemporaryDir dir;
        TKivRegistry registry(dir.path());
        const QString datei = registry.KeyDatei("Software\\Lorvane");
        const QByteArray kaputt("[General]\nFontSize=30\n[Ohne Ende\nWidth=5\n");
        test::DateiSchreiben(datei, kaputt);
        QVERIFY(registry.OpenKey("Software\\Lorvane", true));
        QVERIFY(!registry.ValueExists("FontSize"));
        QVERIFY(!registry.ReadInteger("FontSize"));
        QVERIFY(registry.GetValueNames().isEmpty());
        QVERIFY(!registry.DeleteValue("FontSize"));
        // A second object in the same process, where the parsed file is shared.
        {
            TKivRegistry zweite(dir.path());
            QVERIFY(zweite.OpenKey("Software\\Lorvane", false));
            QVERIFY(!zweite.ReadInteger("FontSize"));
        }
        QVERIFY(!QFile::exists(datei + ".defekt"));
        QCOMPARE(test::DateiInhalt(datei), kaputt);

        registry.WriteInteger("Height", 800);
        QCOMPARE(test::DateiInhalt(datei + ".defekt"), kaputt);
        QCOMPARE(registry.ReadInteger("Height"), 800);
        QCOMPARE(registry.GetValueNames(), QStringList{"Height"});
        registry.CloseKey();
        QCOMPARE(test::DateiInhalt(datei), QByteArray("[General]\nHeight=800\n"));

        // Broken again: the earlier rescue copy stays.
        test::DateiSchreiben(datei, "[Kaputt\n");
        QVERIFY(registry.OpenKey("Software\\Lorvane", true));
        registry.WriteString("FontName", "Arial");
        QCOMPARE(test::DateiInhalt(datei + ".defekt"), kaputt);
        QCOMPARE(test::DateiInhalt(datei + ".2.defekt"), QByteArray("[Kaputt\n"));
    }

    void ReadsSeeWhatOthersWrote() {
        QTemporaryDir dir;
        TKivRegistry registry(dir.path());
        QVERIFY(registry.OpenKey("Lorvane", true));
        QVERIFY(!registry.ValueExists("ProgramSetFocus"));
        // As another process would: a new file in place of the old one.
        test::DateiSchreiben(registry.KeyDatei("Lorvane") + ".neu",
                             "[General]\nProgramSetFocus=1\n");
        QVERIFY(QFile::remove(registry.KeyDatei("Lorvane")));
        QVERIFY(QFile::rename(registry.KeyDatei("Lorvane") + ".neu", registry.KeyDatei("Lorvane")));
        QCOMPARE(registry.ReadInteger("ProgramSetFocus"), 1);
    }

    void DeletingValuesAndKeys() {
        QTemporaryDir dir;
        TKivRegistry registry(dir.path());
        QVERIFY(registry.OpenKey("Lorvane", true));
        registry.WriteString("ProgramParameters", "/a|/b");
        registry.WriteInteger("ProgramClose", 1);
        QCOMPARE(registry.GetValueNames(), (QStringList{"ProgramClose", "ProgramParameters"}));
        QVERIFY(registry.DeleteValue("ProgramClose"));
        QVERIFY(!registry.DeleteValue("ProgramClose"));
        QCOMPARE(registry.GetValueNames(), QStringList{"ProgramParameters"});
        // Names that would leave the [General] section are refused.
        registry.WriteInteger("a/b", 1);
        QVERIFY(!registry.ValueExists("a/b"));
        QCOMPARE(registry.GetValueNames(), QStringList{"ProgramParameters"});

        QVERIFY(registry.DeleteKey("Lorvane"));
        QVERIFY(!registry.KeyOffen());
        QVERIFY(!QFile::exists(registry.KeyDatei("Lorvane")));
        QVERIFY(!registry.DeleteKey("Lorvane"));
        QVERIFY(!registry.OpenKey("Lorvane", false));
        // Writes without an open key go nowhere.
        registry.WriteInteger("ProgramClose", 1);
        QVERIFY(!QFile::exists(registry.KeyDatei("Lorvane")));
    }
};

QTEST_MAIN(KivRegistryTest)
#include "kivregistry_test.moc"
