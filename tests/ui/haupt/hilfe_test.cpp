// The help menu: the updater's configuration file and how it is written, the enabled
// states of the items, the documents beside the program, the shortcut document
// against the menus, and the menu's commands with a fake opener and starter.

#include "engine/JobState.h"
#include "platform/VorschauPlayer.h"
#include "platform/aussehen/Fenster.h"
#include "platform/instanz/KivRegistry.h"
#include "platform/sprache/Ansager.h"
#include "support/QtTestSupport.h"
#include "ui/BearbeitenFenster.h"
#include "ui/MetaDlgC.h"
#include "ui/StilleDienste.h"
#include "ui/haupt/Haupt.h"
#include "ui/haupt/HilfeRegeln.h"
#include "ui/haupt/Statuszeile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <memory>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lorvane;

namespace {

using test::TFesteUhr;
using test::TStillerPlayer;

// The folder of the built desktop program, beside which the documents are copied.
QString ProgrammOrdner() {
    return QFileInfo(qEnvironmentVariable("LORVANE_GUI_PATH")).absolutePath();
}

// "Taste<TAB>Menüeintrag" lines of the shortcut document.
QSet<QString> DokumentKuerzel(const QString& pfad) {
    QSet<QString> paare;
    for (const QString& zeile :
         QString::fromUtf8(test::DateiInhalt(pfad)).split(QLatin1Char('\n'))) {
        const QStringList teile = zeile.trimmed().split(QLatin1Char('\t'));
        if (teile.size() == 2) {
            paare << teile[0] + QLatin1Char('\t') + teile[1];
        }
    }
    return paare;
}

void KuerzelSammeln(const QMenu& menu, QSet<QString>& paare) {
    for (const QAction* action : menu.actions()) {
        if (action->menu() != nullptr) {
            KuerzelSammeln(*action->menu(), paare);
        } else if (!action->shortcut().isEmpty()) {
            paare << KuerzelText(action->shortcut()) + QLatin1Char('\t') +
                         StripAmpersands(action->text());
        }
    }
}

// A fresh private folder that the program takes as its runtime folder, wherever the
// build lies: the test's own runtime folder and home lie in the build folder, which may
// be below /tmp, so the user's home from the password database is the last choice.
std::unique_ptr<QTemporaryDir> EigenerRuntimeOrdner() {
    QStringList orte = {qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::homePath()};
    if (const passwd* eintrag = ::getpwuid(::geteuid()); eintrag != nullptr) {
        orte << QFile::decodeName(eintrag->pw_dir);
    }
    for (const QString& ort : orte) {
        auto ordner = std::make_unique<QTemporaryDir>(ort + "/.lorvane-runtime-XXXXXX");
        if (ordner->isValid() &&
            CfgOrdner(ordner->path(), "/arbeit", "/reserve") == ordner->path() + "/") {
            return ordner;
        }
    }
    return nullptr;
}

// XDG_RUNTIME_DIR while it lives, the old value afterwards.
class TRuntimeVariable {
public:
    explicit TRuntimeVariable(const QString& wert) : fAlt(qgetenv("XDG_RUNTIME_DIR")) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(wert));
    }
    ~TRuntimeVariable() { qputenv("XDG_RUNTIME_DIR", fAlt); }
    TRuntimeVariable(const TRuntimeVariable&) = delete;
    TRuntimeVariable& operator=(const TRuntimeVariable&) = delete;

private:
    QByteArray fAlt;
};

} // namespace

class HilfeTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir fOrdner;
    std::unique_ptr<TJobState> fState;
    std::unique_ptr<TKivRegistry> fRegistry;
    test::StillerTray fTray;
    TStillerPlayer fPlayer{TPlayerModus::NichtBereit};
    TStummerAnsager fAnsager;
    TFesteUhr fUhr;
    QList<QUrl> fGeoeffnet;
    bool fOeffnenGelingt = true;
    QList<QStringList> fGestartet;

    QString Pfad(const QString& name) const { return fOrdner.filePath(name); }

    // The program "lorvane" in the test's folder "prog", with the documents and the
    // updater when asked for.
    void ProgrammAnlegen(bool dokumente, bool updater) {
        QDir(Pfad("prog")).removeRecursively();
        QVERIFY(QDir(fOrdner.path()).mkpath("prog"));
        if (dokumente) {
            for (const char* name : {HilfeDatei, KurztastenDatei, AenderungenDatei}) {
                test::DateiSchreiben(Pfad("prog/") + QString::fromUtf8(name), "Text");
            }
        }
        if (updater) {
            test::DateiSchreiben(Pfad("prog/Brightlane"), "#!/bin/sh\n");
            QVERIFY(QFile::setPermissions(Pfad("prog/Brightlane"),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
    }

    std::unique_ptr<TForm1> Fenster(std::optional<THilfeAdressen> adressen = THilfeAdressen{}) {
        TStandardOrdner ordner;
        ordner.AusgabeOrdner = (fOrdner.path() + "/ausgabe/").toStdString();
        ordner.ArbeitsOrdner = (fOrdner.path() + "/arbeit/").toStdString();
        fState = std::make_unique<TJobState>(ordner);
        fRegistry = std::make_unique<TKivRegistry>(Pfad("konfig"));
        THauptDienste dienste = test::HauptDienste(fTray, fPlayer, fAnsager, fUhr, fRegistry.get());
        dienste.OrdnerOeffnen = [](const QUrl&) { return true; };
        dienste.DokumentOeffnen = [this](const QUrl& url) {
            fGeoeffnet << url;
            return fOeffnenGelingt;
        };
        dienste.ProgrammStarten = [this](const QString& programm, const QStringList& argumente,
                                         const QString& arbeitsOrdner) {
            fGestartet << (QStringList{programm, arbeitsOrdner} + argumente);
            return true;
        };
        dienste.ProgrammPfad = Pfad("prog/lorvane");
        dienste.Adressen = std::move(adressen);
        return std::make_unique<TForm1>(*fState, dienste);
    }

    static std::array<bool, 8> Zustand(const TForm1& fenster) {
        Q_EMIT fenster.Menue.Hilfe->aboutToShow();
        std::array<bool, 8> an{};
        for (std::size_t i = 0; i < an.size(); ++i) {
            an[i] = fenster.Menue.MenuHilfe[i]->isEnabled();
        }
        return an;
    }

private Q_SLOTS:
    void init() {
        QVERIFY(fOrdner.isValid());
        fGeoeffnet.clear();
        fOeffnenGelingt = true;
        fGestartet.clear();
    }

    void cfgTextHatSechsZeilen_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("groesse");
        QTest::addColumn<int>("stil");
        QTest::addColumn<uint>("farbe");
        QTest::addColumn<uint>("hintergrund");
        QTest::addColumn<QString>("zeile5");
        QTest::addColumn<QString>("zeile6");
        QTest::newRow("Vorgabe") << "Arial" << 12 << 0 << uint(FensterTextFarbe) << uint(Weiss)
                                 << "12 Arial"
                                 << "0 -16777208 16777215";
        // Bold Tahoma 14, red text on yellow.
        QTest::newRow("fett rot auf gelb")
            << "Tahoma" << 14 << StilFett << 0x000000FFu << 0x0000FFFFu << "14 Tahoma"
            << "1 255 65535";
        QTest::newRow("kursiv ist nicht fett")
            << "DejaVu Sans" << 9 << StilKursiv << 0u << 0u << "9 DejaVu Sans"
            << "0 0 0";
    }
    void cfgTextHatSechsZeilen() {
        QFETCH(QString, name);
        QFETCH(int, groesse);
        QFETCH(int, stil);
        QFETCH(uint, farbe);
        QFETCH(uint, hintergrund);
        TAussehen aussehen;
        aussehen.AktFont.Name = name;
        aussehen.AktFont.Size = groesse;
        aussehen.AktFont.Style = stil;
        aussehen.AktFont.Color = farbe;
        aussehen.AktBackColor = hintergrund;
        const QString text =
            CfgText("Lorvane V1.13", "Lorvane V1.13", "/opt/lorvane/bin/lorvane", aussehen);
        QVERIFY(text.endsWith("\r\n"));
        const QStringList zeilen = text.chopped(2).split("\r\n");
        QCOMPARE(zeilen.size(), 6);
        QCOMPARE(zeilen.mid(0, 4), (QStringList{"Lorvane V1.13", "Lorvane V1.13",
                                                "/opt/lorvane/bin/lorvane", "Lorvane"}));
        QTEST(zeilen[4], "zeile5");
        QTEST(zeilen[5], "zeile6");
        QCOMPARE(text.count(QLatin1Char('\n')), 6);
    }

    void cfgOrdnerNieImGemeinsamenTemp_data() {
        QTest::addColumn<QString>("runtime");
        QTest::addColumn<QString>("arbeit");
        QTest::addColumn<QString>("erwartet");
        QTest::newRow("runtime") << "/run/user/1000"
                                 << "/home/a"
                                 << "/run/user/1000/";
        QTest::newRow("runtime mit Schrägstrich") << "/run/user/7/"
                                                  << "/home/a"
                                                  << "/run/user/7/";
        QTest::newRow("ohne runtime") << ""
                                      << "/home/a/b"
                                      << "/home/a/b/";
        QTest::newRow("relative runtime zählt nicht") << "run"
                                                      << "/home/a"
                                                      << "/home/a/";
        QTest::newRow("Arbeitsordner /tmp") << ""
                                            << "/tmp"
                                            << "/reserve/";
        QTest::newRow("unter /tmp") << ""
                                    << "/tmp/x"
                                    << "/reserve/";
        QTest::newRow("runtime /var/tmp") << "/var/tmp"
                                          << "/home/a"
                                          << "/reserve/";
        QTest::newRow("nur ähnlich") << ""
                                     << "/tmpfs"
                                     << "/tmpfs/";
    }
    void cfgOrdnerNieImGemeinsamenTemp() {
        QFETCH(QString, runtime);
        QFETCH(QString, arbeit);
        QTEST(CfgOrdner(runtime, arbeit, "/reserve"), "erwartet");
    }

    void dateiErsetzenNeuUndNieDurchEinenLink() {
        const QString ziel = Pfad("cfg/Lorvane.cfg");
        QVERIFY(QDir(fOrdner.path()).mkpath("cfg"));
        QVERIFY(!DateiErsetzen(ziel, "eins\r\n"));
        QCOMPARE(test::DateiInhalt(ziel), QByteArray("eins\r\n"));

        // A read-only file from an earlier run is replaced.
        QVERIFY(QFile::setPermissions(ziel, QFile::ReadOwner));
        QVERIFY(!DateiErsetzen(ziel, "zwei\r\n"));
        QCOMPARE(test::DateiInhalt(ziel), QByteArray("zwei\r\n"));

        // A link planted at the name is replaced; what it points to stays untouched.
        test::DateiSchreiben(Pfad("opfer"), "unberuehrt");
        QVERIFY(QFile::remove(ziel));
        QVERIFY(QFile::link(Pfad("opfer"), ziel));
        QVERIFY(!DateiErsetzen(ziel, "drei\r\n"));
        QCOMPARE(test::DateiInhalt(Pfad("opfer")), QByteArray("unberuehrt"));
        QVERIFY(!QFileInfo(ziel).isSymLink());
        QCOMPARE(test::DateiInhalt(ziel), QByteArray("drei\r\n"));

        // No scratch file is left beside it.
        QCOMPARE(QDir(Pfad("cfg")).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{"Lorvane.cfg"});

        // A missing folder is an error with a reason, and creates nothing.
        const std::optional<QString> fehler = DateiErsetzen(Pfad("fehlt/Lorvane.cfg"), "x");
        QVERIFY(fehler && !fehler->isEmpty());
        QVERIFY(!QFileInfo::exists(Pfad("fehlt")));
    }

    void menueZustand_data() {
        QTest::addColumn<bool>("dokumente");
        QTest::addColumn<bool>("updater");
        QTest::addColumn<QString>("adresse");
        QTest::newRow("nichts") << false << false << "";
        QTest::newRow("Dokumente") << true << false << "";
        QTest::newRow("Updater") << false << true << "";
        QTest::newRow("Adressen") << false << false << "a@b.de";
        QTest::newRow("nur Leerzeichen") << true << true << "  ";
        QTest::newRow("alles") << true << true << "https://b.de/";
    }
    void menueZustand() {
        QFETCH(bool, dokumente);
        QFETCH(bool, updater);
        QFETCH(QString, adresse);
        ProgrammAnlegen(dokumente, updater);
        const bool adressen = !adresse.trimmed().isEmpty();
        const std::array<bool, 8> erwartet = {dokumente, dokumente, dokumente, adressen,
                                              adressen,  adressen,  updater,   true};
        QCOMPARE(HilfeMenueZustand(Pfad("prog"), {adresse, adresse, adresse}), erwartet);
    }

    void updaterOhneAusfuehrrechtZaehltNicht() {
        ProgrammAnlegen(false, true);
        QVERIFY(QFile::setPermissions(Pfad("prog/Brightlane"), QFile::ReadOwner));
        QVERIFY(!HilfeMenueZustand(Pfad("prog"), {})[6]);
    }

    void installierteDokumenteWerdenGefunden() {
        QVERIFY(QDir(fOrdner.path()).mkpath("inst/bin"));
        QVERIFY(QDir(fOrdner.path()).mkpath("inst/share/lorvane"));
        test::DateiSchreiben(Pfad("inst/share/lorvane/History.txt"), "x");
        QCOMPARE(DokumentPfad(Pfad("inst/bin"), "History.txt"),
                 Pfad("inst/share/lorvane/History.txt"));
        QCOMPARE(DokumentPfad(Pfad("inst/bin"), "Kurztasten.txt"), Pfad("inst/bin/Kurztasten.txt"));
        QCOMPARE(HilfeMenueZustand(Pfad("inst/bin"), {})[2], true);
    }

    void dokumenteLiegenNebenDemProgramm() {
        const QString ordner = ProgrammOrdner();
        for (const char* name : {HilfeDatei, KurztastenDatei, AenderungenDatei}) {
            const QString pfad = DokumentPfad(ordner, QString::fromUtf8(name));
            QCOMPARE(QFileInfo(pfad).absolutePath(), ordner);
            QVERIFY2(test::DateiInhalt(pfad).size() > 200, qPrintable(pfad));
            QVERIFY(
                !QString::fromUtf8(test::DateiInhalt(pfad)).contains(QChar::ReplacementCharacter));
        }
        const std::array<bool, 8> an = HilfeMenueZustand(ordner, {});
        QVERIFY(an[0] && an[1] && an[2]);
    }

    void kurztastenDokumentNenntGenauDieMenues() {
        ProgrammAnlegen(false, false);
        const std::unique_ptr<TForm1> fenster = Fenster();
        QSet<QString> menues;
        for (const QMenu* menu :
             {fenster->Menue.Datei, fenster->Menue.Fenster, fenster->Menue.Ansicht,
              fenster->Menue.Einstellungen, fenster->Menue.Hilfe, fenster->Menue.PopupMenuLv1,
              fenster->Menue.PopupMenuLv2}) {
            KuerzelSammeln(*menu, menues);
        }
        QCOMPARE(fenster->menuBar()->actions().size(), 5);
        QVERIFY(menues.size() > 10);
        QSet<QString> dokument =
            DokumentKuerzel(DokumentPfad(ProgrammOrdner(), QString::fromUtf8(KurztastenDatei)));
        QCOMPARE(QStringList(dokument.subtract(menues).values()), QStringList());
        const QSet<QString> fehlend = menues.subtract(
            DokumentKuerzel(DokumentPfad(ProgrammOrdner(), QString::fromUtf8(KurztastenDatei))));
        QCOMPARE(QStringList(fehlend.values()), QStringList());
    }

    // The manual names every item of the main menu as the menu shows it.
    void anleitungNenntJedenMenueeintrag() {
        ProgrammAnlegen(false, false);
        const std::unique_ptr<TForm1> fenster = Fenster();
        const QString text =
            QString::fromUtf8(
                test::DateiInhalt(DokumentPfad(ProgrammOrdner(), QString::fromUtf8(HilfeDatei))))
                .simplified();
        QStringList fehlend;
        for (const QAction* menu : fenster->menuBar()->actions()) {
            for (const QAction* eintrag : menu->menu()->actions()) {
                const QString name = StripAmpersands(eintrag->text());
                if (!eintrag->isSeparator() && !text.contains("\"" + name + "\"")) {
                    fehlend << name;
                }
            }
        }
        QVERIFY2(fehlend.isEmpty(), qPrintable(fehlend.join(" | ")));
    }

    // The dialogs' own menu keys, which the document names in its prose.
    void kurztastenDokumentNenntDieDialogTasten() {
        ProgrammAnlegen(false, false);
        const std::unique_ptr<TForm1> fenster = Fenster();
        const TMetaDlg meta(fenster.get(), TAussehen{}, fAnsager, false, 5);
        TBearbeitenFenster fortschritt(fenster.get(), *fState, {}, fTray, TAussehen{});
        const QString text = QString::fromUtf8(
            test::DateiInhalt(DokumentPfad(ProgrammOrdner(), QString::fromUtf8(KurztastenDatei))));
        const QString starte = KuerzelText(meta.MenuStarte().shortcut());
        const QString minimieren = KuerzelText(fortschritt.MenuMinimieren->shortcut());
        QVERIFY(!starte.isEmpty() && !minimieren.isEmpty());
        QVERIFY2(text.contains("Eingabe oder " + starte + " startet"), qPrintable(starte));
        QVERIFY2(text.contains(minimieren + " minimiert das Programm"), qPrintable(minimieren));
    }

    void fensterSchaltetDieEintraege() {
        ProgrammAnlegen(true, true);
        const std::unique_ptr<TForm1> fenster = Fenster();
        // F1 works from the start, without the menu having been opened.
        QVERIFY(fenster->Menue.MenuHilfe[0]->isEnabled());
        QCOMPARE(Zustand(*fenster),
                 (std::array<bool, 8>{true, true, true, false, false, false, true, true}));

        // A document gone and the updater gone: only their items change, at the next
        // opening.
        QVERIFY(QFile::remove(Pfad("prog/Kurztasten.txt")));
        QVERIFY(QFile::remove(Pfad("prog/Brightlane")));
        QCOMPARE(Zustand(*fenster),
                 (std::array<bool, 8>{true, false, true, false, false, false, false, true}));

        // A document vanished after the menu opened: nothing happens.
        QVERIFY(QFile::remove(Pfad("prog/History.txt")));
        fenster->Menue.MenuHilfe[2]->trigger();
        QVERIFY(fGeoeffnet.isEmpty());

        fenster->Menue.MenuHilfe[0]->trigger();
        QCOMPARE(fGeoeffnet, QList<QUrl>{QUrl::fromLocalFile(Pfad("prog/Lorvane-Hilfe.txt"))});
    }

    // No viewer for text files: the user learns which document it was and where it lies.
    void ohneBetrachterSagtEsWoDasDokumentLiegt() {
        ProgrammAnlegen(true, false);
        const std::unique_ptr<TForm1> fenster = Fenster();
        fOeffnenGelingt = false;
        struct TFall {
            std::size_t Eintrag;
            const char* Datei;
            const char* Dokument;
        };
        const TFall faelle[] = {{0, HilfeDatei, "Die Hilfe"},
                                {1, KurztastenDatei, "Die Liste der Kurztasten"},
                                {2, AenderungenDatei, "Die Liste der Änderungen"}};
        for (const TFall& fall : faelle) {
            test::BoxBeantworter boxen({"OK"});
            fenster->Menue.MenuHilfe[fall.Eintrag]->trigger();
            const QString pfad = Pfad("prog/") + QString::fromUtf8(fall.Datei);
            QCOMPARE(boxen.Texte(),
                     QStringList{QString::fromUtf8(fall.Dokument) +
                                 " konnte nicht geöffnet werden!\nSie liegt in der Datei \"" +
                                 pfad + "\"."});
            QCOMPARE(fGeoeffnet.last(), QUrl::fromLocalFile(pfad));
        }
    }

    void adressenOeffnenMailUndSeiten() {
        ProgrammAnlegen(false, false);
        const std::unique_ptr<TForm1> fenster = Fenster(THilfeAdressen{
            "autor@example.org", "https://example.org/", "https://example.org/spenden"});
        QCOMPARE(Zustand(*fenster),
                 (std::array<bool, 8>{false, false, false, true, true, true, false, true}));
        for (std::size_t i : {3u, 4u, 5u}) {
            fenster->Menue.MenuHilfe[i]->trigger();
        }
        QCOMPARE(fGeoeffnet.size(), 3);
        QCOMPARE(fGeoeffnet[0].scheme(), "mailto");
        QCOMPARE(fGeoeffnet[0].path(), "autor@example.org");
        QCOMPARE(QUrlQuery(fGeoeffnet[0]).queryItemValue("subject", QUrl::FullyDecoded),
                 "Lorvane V1.13");
        QCOMPARE(fGeoeffnet[1], QUrl("https://example.org/"));
        QCOMPARE(fGeoeffnet[2], QUrl("https://example.org/spenden"));

        test::BoxBeantworter antworten({"OK"});
        fenster->Menue.MenuHilfe[7]->trigger();
        QCOMPARE(antworten.Texte().size(), 1);
        const QString info = antworten.Texte()[0];
        QVERIFY(info.startsWith("Lorvane V1.13\nDieses Programm erstellt aus MP3-Dateien "
                                "M4B-Hörbuchdateien mit einer vorgegebenen Abspielzeit.\nGut zu "
                                "verwenden mit Apple-Geräten (iPhone, iPod ...).\n"));
        QVERIFY(info.contains("autor@example.org"));
        QVERIFY(info.contains("https://example.org/spenden"));
    }

    void aktualisierungSchreibtCfgUndStartetUpdater() {
        ProgrammAnlegen(false, true);
        const std::unique_ptr<QTemporaryDir> laufzeit = EigenerRuntimeOrdner();
        if (!laufzeit) {
            QSKIP("no private folder outside a shared temporary folder to serve as runtime "
                  "folder (the home folder lies in one too)");
        }
        const QString runtime = laufzeit->path();
        const TRuntimeVariable variable(runtime);
        const QString cfg = QDir(runtime).filePath("Lorvane.cfg");
        QFile::remove(cfg);
        test::DateiSchreiben(cfg, "alt und schreibgeschützt");
        QVERIFY(QFile::setPermissions(cfg, QFile::ReadOwner));

        const std::unique_ptr<TForm1> fenster = Fenster();
        fenster->Menue.MenuHilfe[6]->trigger();
        const QByteArray text = test::DateiInhalt(cfg);
        QCOMPARE(text, QStringLiteral("Lorvane V1.13\r\n%1\r\n%2\r\nLorvane\r\n12 Arial\r\n"
                                      "0 -16777208 16777215\r\n")
                           .arg(fenster->windowTitle(), Pfad("prog/lorvane"))
                           .toUtf8());
        QCOMPARE(fenster->windowTitle(), "Lorvane V1.13");
        QCOMPARE(fGestartet,
                 (QList<QStringList>{{Pfad("prog/Brightlane"), QDir(runtime).absolutePath() + "/",
                                      "Lorvane.cfg"}}));
    }

    void aktualisierungOhneRuntimeOrdnerSchreibtInDenArbeitsordner() {
        ProgrammAnlegen(false, true);
        const QByteArray alt = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        const std::unique_ptr<TForm1> fenster = Fenster();
        fenster->Menue.MenuHilfe[6]->trigger();
        qputenv("XDG_RUNTIME_DIR", alt);
        const QString arbeit = fOrdner.path() + "/arbeit/";
        QVERIFY(test::DateiInhalt(arbeit + "Lorvane.cfg").startsWith("Lorvane V1.13\r\n"));
        QCOMPARE(fGestartet,
                 (QList<QStringList>{{Pfad("prog/Brightlane"), arbeit, "Lorvane.cfg"}}));
    }

    void cfgOrdnerNieInEinemFuerAlleBeschreibbaren() {
        QTemporaryDir wurzel(QDir::homePath() + "/cfgXXXXXX");
        QVERIFY(wurzel.isValid());
        QVERIFY(QFile::setPermissions(wurzel.path(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::WriteOther | QFileDevice::ExeOther));
        QCOMPARE(CfgOrdner(wurzel.path(), "/home/a", "/reserve"), QString("/reserve/"));
    }

    void aktualisierungMeldetSchreibfehler() {
        ProgrammAnlegen(false, true);
        // A runtime folder that the program takes but that is not there.
        const std::unique_ptr<QTemporaryDir> laufzeit = EigenerRuntimeOrdner();
        if (!laufzeit) {
            QSKIP("no private folder outside a shared temporary folder to serve as runtime "
                  "folder (the home folder lies in one too)");
        }
        const QString fehlt = laufzeit->path() + "/gibtsnicht";
        const TRuntimeVariable variable(fehlt);
        const std::unique_ptr<TForm1> fenster = Fenster();
        test::BoxBeantworter antworten({"OK"});
        fenster->Menue.MenuHilfe[6]->trigger();
        QCOMPARE(antworten.Texte(),
                 QStringList{QStringLiteral("Es ist ein Fehler beim Aktualisieren aufgetreten!\n"
                                            "Die Datei \"%1\" konnte nicht gespeichert werden.")
                                 .arg(fehlt + "/Lorvane.cfg")});
        QVERIFY(fGestartet.isEmpty());
    }
};

QTEST_MAIN(HilfeTest)
#include "hilfe_test.moc"
