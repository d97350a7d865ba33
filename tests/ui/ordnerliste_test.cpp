// The folder list over real folders: focus keeping, Enter and Backspace, the header.

#include "platform/aussehen/Meldungen.h"
#include "ui/OrdnerListe.h"

#include <QDir>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

namespace fs = std::filesystem;
using namespace lorvane;

class OrdnerListeTest : public QObject {
    Q_OBJECT

    QTemporaryDir fTemp;
    std::string fWurzel; // a "drive": the temporary folder

    std::string Pfad(const std::string& unter = "") const {
        return unter.empty() ? fWurzel + "/" : fWurzel + "/" + unter + "/";
    }
    void Ordner(const std::string& name) const { fs::create_directories(fWurzel + "/" + name); }
    TLaufwerksQuelle Laufwerke() const {
        const std::string wurzel = fWurzel;
        return [wurzel] {
            return std::vector<TLaufwerk>{{"/", "Festplatte"}, {wurzel, "Festplatte"}};
        };
    }
    static QStringList Zeilen(const QTreeWidget& liste) {
        QStringList zeilen;
        for (int i = 0; i < liste.topLevelItemCount(); ++i) {
            zeilen << liste.topLevelItem(i)->text(0) + "|" + liste.topLevelItem(i)->text(1);
        }
        return zeilen;
    }
    static QString Fokus(const QTreeWidget& liste) {
        return liste.currentItem() != nullptr ? liste.currentItem()->text(0) : QString();
    }
    static QStringList Markiert(const QTreeWidget& liste) {
        QStringList texte;
        for (int i = 0; i < liste.topLevelItemCount(); ++i) {
            if (liste.topLevelItem(i)->isSelected()) {
                texte << liste.topLevelItem(i)->text(0);
            }
        }
        return texte;
    }

private Q_SLOTS:
    void init() {
        QVERIFY(fTemp.isValid());
        fWurzel = QFile::encodeName(fTemp.path()).toStdString();
        for (const auto& eintrag : fs::directory_iterator(fWurzel)) {
            fs::remove_all(eintrag.path());
        }
    }

    void PathEllipsisKeepsTheEnd() {
        const QFont font(QStringLiteral("Arial"), 12);
        const QFontMetrics m(font);
        const QString pfad = QStringLiteral("/home/anna/Hörbücher/Krimi/");
        const struct {
            QString passt;
        } faelle[] = {{pfad},
                      {QStringLiteral("/.../anna/Hörbücher/Krimi/")},
                      {QStringLiteral("/.../Hörbücher/Krimi/")},
                      {QStringLiteral("/.../Krimi/")},
                      {QStringLiteral(".../Krimi/")}};
        for (const auto& fall : faelle) {
            QCOMPARE(PfadKuerzen(pfad, m.horizontalAdvance(fall.passt), m), fall.passt);
        }
        const QString kurz = PfadKuerzen(pfad, m.horizontalAdvance(QStringLiteral("mi/")) + 2, m);
        QVERIFY(m.horizontalAdvance(kurz) <= m.horizontalAdvance(QStringLiteral("mi/")) + 2);
        QVERIFY(kurz.endsWith(QStringLiteral("/")));
    }

    void ListingAndFocusKeeping() {
        for (const char* name : {"b", "A", "c", ".versteckt", "c/unter"}) {
            Ordner(name);
        }
        QTreeWidget liste;
        TOrdnerListe ordner(liste, Laufwerke());
        QCOMPARE(liste.columnCount(), 2);
        QCOMPARE(liste.headerItem()->text(0), QStringLiteral("Laufwerk"));
        QCOMPARE(liste.headerItem()->text(1), QStringLiteral("Unterordner"));
        QCOMPARE(Zeilen(liste), QStringList({"/ [Festplatte]|Ja", QString::fromStdString(fWurzel) +
                                                                      " [Festplatte]|Ja"}));
        QCOMPARE(Markiert(liste), QStringList({"/ [Festplatte]"}));

        QCOMPARE(ordner.PfadSetzen(Pfad()), std::nullopt);
        QCOMPARE(Zeilen(liste), QStringList({"A|Nein", "b|Nein", "c|Ja"}));
        liste.setCurrentItem(liste.topLevelItem(1));
        liste.topLevelItem(2)->setSelected(true);
        // Renamed in another letter case: the focus stays on it, alone selected.
        fs::rename(fWurzel + "/b", fWurzel + "/B");
        QCOMPARE(ordner.Aktualisieren(), std::nullopt);
        QCOMPARE(Fokus(liste), QStringLiteral("B"));
        QCOMPARE(Markiert(liste), QStringList({"B"}));
        // Gone: the first row.
        fs::remove(fWurzel + "/B");
        QCOMPARE(ordner.Aktualisieren(), std::nullopt);
        QCOMPARE(Fokus(liste), QStringLiteral("A"));
        QCOMPARE(Markiert(liste), QStringList({"A"}));

        liste.selectAll();
        QCOMPARE(ordner.MarkierteOrdner(), (std::vector<std::string>{Pfad("A"), Pfad("c")}));
        // The native name is kept with the row.
        QCOMPARE(liste.topLevelItem(1)->data(0, Qt::UserRole).toByteArray(), QByteArray("c"));
    }

    void ExactCaseWinsOverAnotherCase() {
        QCOMPARE(FokusZeile({"a", "A"}, "A"), 1);
        QCOMPARE(FokusZeile({"x", "Ä"}, "ä"), 1);
        QCOMPARE(FokusZeile({"x", "y"}, "z"), 0);
        QCOMPARE(FokusZeile({}, "z"), -1);
    }

    void ErrorsKeepTheList() {
        Ordner("a");
        QTreeWidget liste;
        TOrdnerListe ordner(liste, Laufwerke());
        QCOMPARE(ordner.PfadSetzen(Pfad()), std::nullopt);
        const std::string fehlt = Pfad("fehlt");
        QCOMPARE(ordner.PfadSetzen(fehlt),
                 std::optional<QString>("Ordner \"" + QString::fromStdString(fehlt) +
                                        "\" nicht vorhanden!"));
        QCOMPARE(Zeilen(liste), QStringList({"a|Nein"}));
        QCOMPARE(ordner.Dateien().Path(), Pfad());
    }

    void EnterOpensOnlyFoldersWithSubfolders() {
        Ordner("mit/unter");
        Ordner("ohne");
        Ordner("veraltet/weg");
        QTreeWidget liste;
        TOrdnerListe ordner(liste, Laufwerke());
        QCOMPARE(ordner.PfadSetzen(Pfad()), std::nullopt);
        QCOMPARE(Zeilen(liste), QStringList({"mit|Ja", "ohne|Nein", "veraltet|Ja"}));

        int piep = PiepZaehler();
        liste.setCurrentItem(liste.topLevelItem(1));
        QVERIFY(ordner.OrdnerWechseln(Qt::Key_Return).verbraucht);
        QCOMPARE(PiepZaehler(), piep + 1);
        QCOMPARE(ordner.Dateien().Path(), Pfad());

        // Listed with a subfolder that has gone since: refreshed, beeps, stays.
        fs::remove(fWurzel + "/veraltet/weg");
        liste.setCurrentItem(liste.topLevelItem(2));
        QVERIFY(ordner.OrdnerWechseln(Qt::Key_Enter).verbraucht);
        QCOMPARE(PiepZaehler(), piep + 2);
        QCOMPARE(Zeilen(liste), QStringList({"mit|Ja", "ohne|Nein", "veraltet|Nein"}));
        QCOMPARE(Fokus(liste), QStringLiteral("veraltet"));

        liste.setCurrentItem(liste.topLevelItem(0));
        QVERIFY(ordner.OrdnerWechseln(Qt::Key_Return).verbraucht);
        QCOMPARE(PiepZaehler(), piep + 2);
        QCOMPARE(ordner.Dateien().Path(), Pfad("mit"));
        QCOMPARE(Zeilen(liste), QStringList({"unter|Nein"}));

        // Other keys pass.
        QVERIFY(!ordner.OrdnerWechseln(Qt::Key_Down).verbraucht);
        QCOMPARE(ordner.Dateien().Path(), Pfad("mit"));
        // No focused row: a beep.
        liste.setCurrentItem(nullptr);
        QVERIFY(ordner.OrdnerWechseln(Qt::Key_Return).verbraucht);
        QCOMPARE(PiepZaehler(), piep + 3);
    }

    void BackspaceGoesUpWithTheFolderFocused() {
        Ordner("Hörbücher/Anfang");
        Ordner("Hörbücher/Krimi/Teil");
        Ordner("Hörbücher/Zuletzt");
        QTreeWidget liste;
        TOrdnerListe ordner(liste, Laufwerke());
        QCOMPARE(ordner.PfadSetzen(Pfad("Hörbücher/Krimi")), std::nullopt);
        const int piep = PiepZaehler();

        QVERIFY(ordner.OrdnerWechseln(Qt::Key_Backspace).verbraucht);
        QCOMPARE(ordner.Dateien().Path(), Pfad("Hörbücher"));
        QCOMPARE(Fokus(liste), QStringLiteral("Krimi"));
        QCOMPARE(Markiert(liste), QStringList({"Krimi"}));

        QVERIFY(ordner.OrdnerWechseln(Qt::Key_Backspace).verbraucht);
        QCOMPARE(ordner.Dateien().Path(), Pfad());
        QCOMPARE(Fokus(liste), QString::fromUtf8("Hörbücher"));

        // At a drive root: to the drive level, that drive focused.
        QVERIFY(ordner.OrdnerWechseln(Qt::Key_Backspace).verbraucht);
        QVERIFY(ordner.Dateien().Laufwerksebene());
        QCOMPARE(Fokus(liste), QString::fromStdString(fWurzel) + " [Festplatte]");
        QCOMPARE(Markiert(liste).size(), 1);
        QCOMPARE(liste.headerItem()->text(0), QStringLiteral("Laufwerk"));
        QCOMPARE(PiepZaehler(), piep);

        // At the drive level: only the beep.
        QVERIFY(ordner.OrdnerWechseln(Qt::Key_Backspace).verbraucht);
        QCOMPARE(PiepZaehler(), piep + 1);
        QVERIFY(ordner.Dateien().Laufwerksebene());
    }

    void HeaderShowsTheShortenedPath() {
        const std::string tief = "ein sehr langer Ordnername/noch ein langer Ordnername/Krimi";
        Ordner(tief);
        QTreeWidget liste;
        liste.resize(300, 200);
        TOrdnerListe ordner(liste, Laufwerke());
        liste.setColumnWidth(0, 150);
        QCOMPARE(ordner.PfadSetzen(Pfad(tief)), std::nullopt);
        const QString kopf = liste.headerItem()->text(0);
        QVERIFY2(kopf.startsWith(QStringLiteral("/...")) || kopf.startsWith(QStringLiteral("...")),
                 qPrintable(kopf));
        QVERIFY2(kopf.endsWith(QStringLiteral("Krimi/")), qPrintable(kopf));
        liste.setColumnWidth(0, 5000);
        ordner.RestoreListView();
        QCOMPARE(liste.headerItem()->text(0), QString::fromStdString(Pfad(tief)));
    }
};

QTEST_MAIN(OrdnerListeTest)
#include "ordnerliste_test.moc"
