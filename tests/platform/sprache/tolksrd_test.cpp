// The screen-reader front: which running screen reader gets the text, the JAWS and
// NVDA rules behind their access objects, Orca found in the process list and spoken
// to through a stand-in speech connection, and the dialogs' texts arriving there.

#include "platform/sprache/OrcaTreiber.h"
#include "platform/sprache/ScreenReaderDriverJAWS.h"
#include "platform/sprache/ScreenReaderDriverNVDA.h"
#include "platform/sprache/TolkSRD.h"
#include "ui/DialogTestHilfen.h"
#include "ui/MetaDlgC.h"
#include "ui/StundenDlgC.h"
#include "ui/StundenFeld.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

using namespace lorvane;

namespace {

constexpr uid_t kIch = 1000;

// What every stand-in sees and records, shared by the drivers of one test.
struct TWelt {
    bool JawsFenster = false;
    bool JawsErzeugbar = true;
    int JawsObjekte = 0;
    bool JawsErfolg = true;
    bool NvdaGeladen = true;
    bool NvdaFenster = false;
    int NvdaLaufStatus = 0;
    int NvdaAbbruchStatus = 0;
    std::vector<TProzess> Prozesse;
    bool ProzesseWerfen = false;
    bool OeffnenGelingt = true;
    bool SagenGelingt = true;
    bool AbbrechenGelingt = true;
    int Geoeffnet = 0;
    int Geschlossen = 0;
    QStringList Gehoert; // "<reader> say|braille|stop: text"
};

class TFakeJawsApi : public IJawsApi {
public:
    explicit TFakeJawsApi(TWelt& welt) : fWelt(welt) { ++fWelt.JawsObjekte; }
    ~TFakeJawsApi() override { --fWelt.JawsObjekte; }
    bool SayString(const QString& text, bool flush) override {
        fWelt.Gehoert << QStringLiteral("JAWS say%1: %2").arg(flush ? "!" : "", text);
        return fWelt.JawsErfolg;
    }
    bool RunFunction(const QString& aufruf) override {
        fWelt.Gehoert << QStringLiteral("JAWS run: ") + aufruf;
        return fWelt.JawsErfolg;
    }
    bool StopSpeech() override {
        fWelt.Gehoert << QStringLiteral("JAWS stop");
        return true;
    }

private:
    TWelt& fWelt;
};

class TFakeJawsZugang : public IJawsZugang {
public:
    explicit TFakeJawsZugang(TWelt& welt) : fWelt(welt) {}
    bool FensterDa() override { return fWelt.JawsFenster; }
    std::unique_ptr<IJawsApi> Erzeugen() override {
        if (!fWelt.JawsErzeugbar) {
            return nullptr;
        }
        return std::make_unique<TFakeJawsApi>(fWelt);
    }

private:
    TWelt& fWelt;
};

class TFakeNvdaZugang : public INvdaZugang {
public:
    explicit TFakeNvdaZugang(TWelt& welt) : fWelt(welt) {}
    TNvdaEinsprung Laden() override {
        if (!fWelt.NvdaGeladen) {
            return {};
        }
        TWelt& w = fWelt;
        TNvdaEinsprung e;
        e.speakText = [&w](const QString& s) {
            w.Gehoert << QStringLiteral("NVDA say: ") + s;
            return 0;
        };
        e.brailleMessage = [&w](const QString& s) {
            w.Gehoert << QStringLiteral("NVDA braille: ") + s;
            return 0;
        };
        e.cancelSpeech = [&w] {
            w.Gehoert << QStringLiteral("NVDA stop");
            return w.NvdaAbbruchStatus;
        };
        e.testIfRunning = [&w] { return w.NvdaLaufStatus; };
        return e;
    }
    bool FensterDa() override { return fWelt.NvdaFenster; }

private:
    TWelt& fWelt;
};

class TFakeProzesse : public IProzessListe {
public:
    explicit TFakeProzesse(TWelt& welt) : fWelt(welt) {}
    std::vector<TProzess> Prozesse() override {
        if (fWelt.ProzesseWerfen) {
            throw std::runtime_error("proc");
        }
        return fWelt.Prozesse;
    }

private:
    TWelt& fWelt;
};

class TFakeSprache : public ISprachVerbindung {
public:
    explicit TFakeSprache(TWelt& welt) : fWelt(welt) {}
    bool Oeffnen() override {
        if (!fWelt.OeffnenGelingt) {
            return false;
        }
        ++fWelt.Geoeffnet;
        return true;
    }
    void Schliessen() override { ++fWelt.Geschlossen; }
    bool Sagen(const QString& text) override {
        fWelt.Gehoert << QStringLiteral("Orca say: ") + text;
        return fWelt.SagenGelingt;
    }
    bool Abbrechen() override {
        fWelt.Gehoert << QStringLiteral("Orca stop");
        return fWelt.AbbrechenGelingt;
    }

private:
    TWelt& fWelt;
};

TProzess Orca(uid_t uid) {
    return TProzess{uid, "orca", {"/usr/bin/python3", "/usr/bin/orca"}};
}

std::function<TTreiberListe()> Fabrik(TWelt& welt) {
    return [&welt] {
        TTreiberListe liste;
        liste.push_back(
            std::make_unique<TScreenReaderDriverJAWS>(std::make_unique<TFakeJawsZugang>(welt)));
        liste.push_back(
            std::make_unique<TScreenReaderDriverNVDA>(std::make_unique<TFakeNvdaZugang>(welt)));
        liste.push_back(std::make_unique<TScreenReaderDriverOrca>(
            std::make_unique<TFakeProzesse>(welt), std::make_unique<TFakeSprache>(welt), kIch));
        return liste;
    };
}

void DateiSchreiben(const std::filesystem::path& pfad, const std::string& inhalt) {
    std::ofstream datei(pfad, std::ios::binary);
    datei << inhalt;
}

} // namespace

class TolkSrdTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void TheRunningReaderGetsTheText_data() {
        QTest::addColumn<bool>("jaws");
        QTest::addColumn<bool>("nvda");
        QTest::addColumn<bool>("orca");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("gehoert");
        const QStringList jaws{"JAWS say: Dateiliste", "JAWS run: BrailleString(\"Dateiliste\")"};
        const QStringList nvda{"NVDA say: Dateiliste", "NVDA braille: Dateiliste"};
        const QStringList orca{"Orca say: Dateiliste"};
        QTest::newRow("none") << false << false << false << QString() << QStringList{};
        QTest::newRow("jaws") << true << false << false << "JAWS" << jaws;
        QTest::newRow("nvda") << false << true << false << "NVDA" << nvda;
        QTest::newRow("orca") << false << false << true << "Orca" << orca;
        QTest::newRow("jaws before nvda") << true << true << false << "JAWS" << jaws;
        QTest::newRow("nvda before orca") << false << true << true << "NVDA" << nvda;
        QTest::newRow("all three") << true << true << true << "JAWS" << jaws;
    }
    void TheRunningReaderGetsTheText() {
        QFETCH(bool, jaws);
        QFETCH(bool, nvda);
        QFETCH(bool, orca);
        QFETCH(QString, name);
        QFETCH(QStringList, gehoert);
        TWelt welt;
        welt.JawsFenster = jaws;
        welt.NvdaFenster = nvda;
        if (orca) {
            welt.Prozesse.push_back(Orca(kIch));
        }
        TTolkSRD tolk(Fabrik(welt));
        tolk.Load();
        QString erkannt = QStringLiteral("x");
        tolk.DetectScreenReader(erkannt);
        QCOMPARE(erkannt, name);
        tolk.Sprechen(QStringLiteral("Dateiliste"));
        QCOMPARE(welt.Gehoert, gehoert);
        QCOMPARE(tolk.HasSpeech(), !name.isEmpty());
        QCOMPARE(tolk.HasBraille(), name == "JAWS" || name == "NVDA");
    }

    void DetectionIsMadeAnewAtEveryCall() {
        TWelt welt;
        TTolkSRD tolk(Fabrik(welt));
        QString name;
        // Not loaded: nothing is asked, nothing is said.
        welt.Prozesse.push_back(Orca(kIch));
        QVERIFY(!tolk.Output(QStringLiteral("Autor"), false));
        tolk.DetectScreenReader(name);
        QVERIFY(name.isEmpty());
        tolk.Load();
        QVERIFY(tolk.IsLoaded());
        QVERIFY(tolk.Output(QStringLiteral("Autor"), false));
        // NVDA started while the program runs wins the next announcement.
        welt.NvdaFenster = true;
        QVERIFY(tolk.Output(QStringLiteral("Titel"), false));
        // All quit: silence, and a failed status of NVDA's own test counts as quit.
        welt.Prozesse.clear();
        welt.NvdaLaufStatus = 1;
        QVERIFY(!tolk.Output(QStringLiteral("Album"), false));
        // Empty texts are refused before any detection.
        welt.Prozesse.push_back(Orca(kIch));
        QVERIFY(!tolk.Output(QString(), false));
        QCOMPARE(welt.Gehoert,
                 (QStringList{"Orca say: Autor", "NVDA say: Titel", "NVDA braille: Titel"}));
        tolk.Unload();
        QVERIFY(!tolk.IsLoaded());
        QVERIFY(!tolk.Output(QStringLiteral("Autor"), false));
        QCOMPARE(welt.Gehoert.size(), 3);
    }

    void AFailingDetectionIsSwallowed() {
        TWelt welt;
        welt.Prozesse.push_back(Orca(kIch));
        welt.ProzesseWerfen = true;
        TTolkSRD tolk(Fabrik(welt));
        tolk.Load();
        QString name = QStringLiteral("x");
        tolk.DetectScreenReader(name);
        QVERIFY(name.isEmpty());
        QVERIFY(!tolk.Output(QStringLiteral("Autor"), false));
        welt.ProzesseWerfen = false;
        QVERIFY(tolk.Output(QStringLiteral("Autor"), false));
    }

    void OrcaIsFoundInTheProcessList_data() {
        QTest::addColumn<uid_t>("uid");
        QTest::addColumn<QString>("comm");
        QTest::addColumn<QStringList>("argumente");
        QTest::addColumn<bool>("laeuft");
        QTest::newRow("own orca") << kIch << "orca" << QStringList{"/usr/bin/orca"} << true;
        QTest::newRow("another user's orca")
            << uid_t(1001) << "orca" << QStringList{"orca"} << false;
        QTest::newRow("started by python")
            << kIch << "python3" << QStringList{"/usr/bin/python3", "/usr/bin/orca", "--replace"}
            << true;
        QTest::newRow("orca only as an argument")
            << kIch << "vim" << QStringList{"vim", "notes", "/tmp/orca"} << false;
        QTest::newRow("orca as a file to edit")
            << kIch << "less" << QStringList{"less", "/tmp/orca"} << false;
        QTest::newRow("similar name") << kIch << "orcaview" << QStringList{"orcaview"} << false;
        QTest::newRow("kernel thread") << kIch << "kworker/0" << QStringList{} << false;
    }
    void OrcaIsFoundInTheProcessList() {
        QFETCH(uid_t, uid);
        QFETCH(QString, comm);
        QFETCH(QStringList, argumente);
        QFETCH(bool, laeuft);
        TProzess p{uid, comm.toStdString(), {}};
        for (const QString& a : argumente) {
            p.Argumente.push_back(a.toStdString());
        }
        QCOMPARE(ProgrammLaeuft({TProzess{kIch, "bash", {"bash"}}, p}, kIch, "orca"), laeuft);
    }

    void ProcFoldersAreRead() {
        const auto wurzel = std::filesystem::path(QDir::tempPath().toStdString()) /
                            ("lorvane-proc-" + std::to_string(::getpid()));
        std::filesystem::remove_all(wurzel);
        std::filesystem::create_directories(wurzel / "4711");
        std::filesystem::create_directories(wurzel / "self");
        std::filesystem::create_directories(wurzel / "12");
        DateiSchreiben(wurzel / "4711" / "comm", "orca\n");
        DateiSchreiben(wurzel / "4711" / "cmdline",
                       std::string("/usr/bin/python3\0/usr/bin/orca\0", 31));
        DateiSchreiben(wurzel / "self" / "comm", "orca\n");
        TProcProzessListe liste(wurzel);
        auto prozesse = liste.Prozesse();
        std::sort(prozesse.begin(), prozesse.end(),
                  [](const TProzess& a, const TProzess& b) { return a.Name < b.Name; });
        QCOMPARE(prozesse.size(), std::size_t(2)); // "self" is no process folder
        QCOMPARE(prozesse[0].Name, std::string()); // 12: its files vanished
        QVERIFY(prozesse[0].Argumente.empty());
        QCOMPARE(prozesse[1].Name, std::string("orca"));
        QCOMPARE(prozesse[1].Uid, ::getuid());
        QCOMPARE(prozesse[1].Argumente,
                 (std::vector<std::string>{"/usr/bin/python3", "/usr/bin/orca"}));
        QVERIFY(ProgrammLaeuft(prozesse, ::getuid(), "orca"));
        std::filesystem::remove_all(wurzel);
        QVERIFY(TProcProzessListe(wurzel).Prozesse().empty());
    }

    void OrcaConnectsLazilyAndFailsSilently() {
        TWelt welt;
        TTolkSRD tolk(Fabrik(welt));
        tolk.Load();
        // No Orca: no connection is opened.
        QVERIFY(!tolk.Output(QStringLiteral("Autor"), false));
        QCOMPARE(welt.Geoeffnet, 0);
        welt.Prozesse.push_back(Orca(kIch));
        // A service that cannot be reached: false, and tried again next time.
        welt.OeffnenGelingt = false;
        QVERIFY(!tolk.Output(QStringLiteral("Autor"), false));
        welt.OeffnenGelingt = true;
        QVERIFY(tolk.Output(QStringLiteral("Titel"), false));
        QVERIFY(tolk.Output(QStringLiteral("Album"), false));
        QCOMPARE(welt.Geoeffnet, 1);
        // A broken connection is closed and opened again at the next text.
        welt.SagenGelingt = false;
        QVERIFY(!tolk.Output(QStringLiteral("Album"), false));
        QCOMPARE(welt.Geschlossen, 1);
        welt.SagenGelingt = true;
        QVERIFY(tolk.Output(QStringLiteral("Album"), false));
        QCOMPARE(welt.Geoeffnet, 2);
        // So is one that fails to interrupt.
        welt.AbbrechenGelingt = false;
        QVERIFY(!tolk.Output(QStringLiteral("Album"), true));
        QCOMPARE(welt.Geschlossen, 2);
        welt.AbbrechenGelingt = true;
        QVERIFY(tolk.Output(QStringLiteral("Album"), true));
        QCOMPARE(welt.Geoeffnet, 3);
        // Orca quitting closes the connection.
        welt.Prozesse.clear();
        QVERIFY(!tolk.Output(QStringLiteral("Album"), false));
        QCOMPARE(welt.Geschlossen, 3);
        // Interrupt cancels first; the program itself never asks for it.
        welt.Prozesse.push_back(Orca(kIch));
        welt.Gehoert.clear();
        QVERIFY(tolk.Speak(QStringLiteral("Titel"), true));
        QVERIFY(!tolk.Braille(QStringLiteral("Titel")));
        QCOMPARE(welt.Gehoert, (QStringList{"Orca stop", "Orca say: Titel"}));
    }

    void JawsRules() {
        TWelt welt;
        TTolkSRD tolk(Fabrik(welt));
        tolk.Load();
        // The object is made at creation and dropped when JAWS is not there.
        QCOMPARE(welt.JawsObjekte, 1);
        QVERIFY(!tolk.Output(QStringLiteral("Autor"), false));
        QCOMPARE(welt.JawsObjekte, 0);
        welt.JawsFenster = true;
        QVERIFY(tolk.Speak(QStringLiteral("Er sagte \"ja\""), true));
        QVERIFY(tolk.Braille(QStringLiteral("Er sagte \"ja\"")));
        QCOMPARE(welt.JawsObjekte, 1);
        QVERIFY(tolk.Silence());
        QVERIFY(!tolk.IsSpeaking());
        QCOMPARE(welt.Gehoert,
                 (QStringList{"JAWS say!: Er sagte \"ja\"",
                              "JAWS run: BrailleString(\"Er sagte 'ja'\")", "JAWS stop"}));
        // A refused call is a failure; Output tries braille anyway.
        welt.JawsErfolg = false;
        welt.Gehoert.clear();
        QVERIFY(!tolk.Output(QStringLiteral("Titel"), false));
        QCOMPARE(welt.Gehoert.size(), 2);
        // An object that cannot be made leaves JAWS inactive; NVDA takes over.
        tolk.Unload();
        QCOMPARE(welt.JawsObjekte, 0);
        welt.JawsErzeugbar = false;
        welt.NvdaFenster = true;
        tolk.Load();
        QString name;
        tolk.DetectScreenReader(name);
        QCOMPARE(name, QString("NVDA"));
    }

    void NvdaRules() {
        TWelt welt;
        welt.NvdaFenster = true;
        TTolkSRD tolk(Fabrik(welt));
        tolk.Load();
        // Interrupt speaks only after a successful cancel.
        welt.NvdaAbbruchStatus = 5;
        QVERIFY(!tolk.Speak(QStringLiteral("Titel"), true));
        QVERIFY(!tolk.Silence());
        welt.NvdaAbbruchStatus = 0;
        QVERIFY(tolk.Speak(QStringLiteral("Album"), true));
        QCOMPARE(welt.Gehoert,
                 (QStringList{"NVDA stop", "NVDA stop", "NVDA stop", "NVDA say: Album"}));
        // Without its library NVDA is never active, even with its window.
        TWelt ohne;
        ohne.NvdaFenster = true;
        ohne.NvdaGeladen = false;
        TTolkSRD ohneBibliothek(Fabrik(ohne));
        ohneBibliothek.Load();
        QVERIFY(!ohneBibliothek.Output(QStringLiteral("Titel"), false));
        QVERIFY(ohne.Gehoert.isEmpty());
    }

    void ThePlatformsJawsAndNvdaAreNeverActive() {
        TScreenReaderDriverJAWS jaws;
        TScreenReaderDriverNVDA nvda;
        QVERIFY(!jaws.IsActive() && !nvda.IsActive());
        QVERIFY(!jaws.Output(QStringLiteral("Autor"), false));
        QVERIFY(!nvda.Output(QStringLiteral("Autor"), false));
        QCOMPARE(jaws.Name(), QString("JAWS"));
        QCOMPARE(nvda.Name(), QString("NVDA"));
        QVERIFY(jaws.HasBraille() && nvda.HasBraille());
        // The real drivers: whatever runs here, a call returns and nothing breaks.
        TTolkSRD tolk;
        tolk.Load();
        QString name;
        tolk.DetectScreenReader(name);
        QVERIFY(name.isEmpty() || name == "Orca");
        tolk.Sprechen(QString());
    }

    void TheDialogsAreHeardThroughOrca() {
        QWidget owner;
        test::OwnerZeigen(owner);
        TWelt welt;
        welt.Prozesse.push_back(Orca(kIch));
        TTolkSRD tolk(Fabrik(welt));
        tolk.Load();
        TAussehen aussehen;
        aussehen.AktFont.Size = 12;
        {
            TMetaDlg dlg(&owner, aussehen, tolk, false, 5);
            dlg.show();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            QTRY_COMPARE(welt.Gehoert, QStringList{"Orca say: Autor"});
            // Each move is named once the event that made it is done.
            for (int i = 1; i < 4; ++i) {
                dlg.Feld(i).setFocus(Qt::TabFocusReason);
                QTRY_COMPARE(welt.Gehoert.size(), i + 1);
            }
            QTRY_COMPARE(welt.Gehoert,
                         (QStringList{"Orca say: Autor", "Orca say: Titel", "Orca say: Album",
                                      "Orca say: Stunden (1 bis 10)"}));
        }
        welt.Gehoert.clear();
        welt.Prozesse.clear();
        TStundenDlg stunden(&owner, aussehen, tolk);
        stunden.show();
        QVERIFY(QTest::qWaitForWindowActive(&stunden));
        QTRY_VERIFY(QApplication::focusWidget() != nullptr &&
                    QApplication::focusWidget()->window() == &stunden);
        // Orca gone: the hours field says nothing, and nothing fails.
        QVERIFY(welt.Gehoert.isEmpty());
        welt.Prozesse.push_back(Orca(kIch));
        stunden.OkKnopf().setFocus();
        QTRY_VERIFY(stunden.OkKnopf().hasFocus());
        QTest::mouseClick(&stunden.Feld().Label(), Qt::LeftButton);
        QTRY_COMPARE(welt.Gehoert, QStringList{"Orca say: Stunden (1 bis 10)"});
    }
};

QTEST_MAIN(TolkSrdTest)
#include "tolksrd_test.moc"
