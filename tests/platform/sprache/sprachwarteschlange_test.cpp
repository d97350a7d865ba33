// Speech on its own thread: calls return while the service hangs, an interruption drops
// the waiting texts, the backlog is bounded, and the end neither hangs nor loses the
// thread's objects.

#include "platform/sprache/SpeechdVerbindung.h"
#include "platform/sprache/SprachWarteschlange.h"

#include <QFile>
#include <QTemporaryDir>

#include <QTest>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

using namespace lorvane;

namespace {

// What the stand-in service records, shared with the test; it may outlive the queue.
struct TDienst {
    std::mutex Mutex;
    std::condition_variable Geaendert;
    QStringList Gehoert;
    // Sagen of this text hangs until Freigeben or, when honoured, Unterbrechen.
    QString HaengtBei;
    bool Haengt = false;
    bool UnterbrechenWirkt = true;
    std::atomic<bool> OeffnenGelingt{true};
    bool Zerstoert = false;

    void Notieren(const QString& eintrag) {
        const std::lock_guard<std::mutex> sperre(Mutex);
        Gehoert << eintrag;
        Geaendert.notify_all();
    }
    void Freigeben() {
        const std::lock_guard<std::mutex> sperre(Mutex);
        HaengtBei.clear();
        Geaendert.notify_all();
    }
    QStringList Kopie() {
        const std::lock_guard<std::mutex> sperre(Mutex);
        return Gehoert;
    }
    bool Hat(const QString& eintrag) { return Kopie().contains(eintrag); }
};

class TFakeDienst : public ISprachVerbindung {
public:
    explicit TFakeDienst(std::shared_ptr<TDienst> dienst) : fDienst(std::move(dienst)) {}
    ~TFakeDienst() override {
        const std::lock_guard<std::mutex> sperre(fDienst->Mutex);
        fDienst->Zerstoert = true;
    }
    bool Oeffnen() override {
        fDienst->Notieren(QStringLiteral("open"));
        return fDienst->OeffnenGelingt;
    }
    void Schliessen() override { fDienst->Notieren(QStringLiteral("close")); }
    bool Sagen(const QString& text) override {
        fDienst->Notieren(QStringLiteral("say ") + text);
        std::unique_lock<std::mutex> sperre(fDienst->Mutex);
        if (text != fDienst->HaengtBei) {
            return true;
        }
        fDienst->Haengt = true;
        fDienst->Geaendert.wait(sperre, [this, &text] { return fDienst->HaengtBei != text; });
        fDienst->Haengt = false;
        // Released: said; interrupted: failed.
        return fDienst->HaengtBei.isEmpty();
    }
    bool Abbrechen() override {
        fDienst->Notieren(QStringLiteral("stop"));
        return true;
    }
    void Unterbrechen() override {
        const std::lock_guard<std::mutex> sperre(fDienst->Mutex);
        if (fDienst->UnterbrechenWirkt) {
            fDienst->HaengtBei = QStringLiteral("<unterbrochen>");
            fDienst->Geaendert.notify_all();
        }
    }

private:
    std::shared_ptr<TDienst> fDienst;
};

std::shared_ptr<TDienst> NeuerDienst(const QString& haengtBei) {
    auto dienst = std::make_shared<TDienst>();
    dienst->HaengtBei = haengtBei;
    return dienst;
}

std::unique_ptr<TFakeDienst> FakeDienst(const std::shared_ptr<TDienst>& dienst) {
    return std::make_unique<TFakeDienst>(dienst);
}

bool Haengt(TDienst& dienst) {
    const std::lock_guard<std::mutex> sperre(dienst.Mutex);
    return dienst.Haengt;
}

} // namespace

class SprachWarteschlangeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void AnInterruptDropsTheTextsWaitingBehindAHangingOne() {
        const auto dienst = NeuerDienst(QStringLiteral("Eins"));
        TSprachWarteschlange schlange(FakeDienst(dienst));
        QVERIFY(schlange.Oeffnen());
        QVERIFY(schlange.Sagen(QStringLiteral("Eins")));
        QTRY_VERIFY(Haengt(*dienst));
        // While the service hangs, every call returns at once.
        QVERIFY(schlange.Sagen(QStringLiteral("Zwei")));
        QVERIFY(schlange.Sagen(QStringLiteral("Drei")));
        QVERIFY(schlange.Abbrechen());
        QVERIFY(schlange.Sagen(QStringLiteral("Vier")));
        dienst->Freigeben();
        QTRY_VERIFY(dienst->Hat(QStringLiteral("say Vier")));
        QCOMPARE(dienst->Kopie(), (QStringList{"open", "say Eins", "stop", "say Vier"}));
    }

    void TheBacklogKeepsTheNewestTexts() {
        const auto dienst = NeuerDienst(QStringLiteral("Halt"));
        TSprachWarteschlange schlange(FakeDienst(dienst));
        schlange.Sagen(QStringLiteral("Halt"));
        QTRY_VERIFY(Haengt(*dienst));
        const int anzahl = static_cast<int>(TSprachWarteschlange::MaxWartend) + 8;
        for (int i = 0; i < anzahl; ++i) {
            schlange.Sagen(QStringLiteral("T%1").arg(i));
        }
        dienst->Freigeben();
        const QString letzter = QStringLiteral("say T%1").arg(anzahl - 1);
        QTRY_VERIFY(dienst->Hat(letzter));
        const QStringList gehoert = dienst->Kopie();
        QCOMPARE(gehoert.size(), 2 + static_cast<int>(TSprachWarteschlange::MaxWartend));
        QCOMPARE(gehoert.at(2), QStringLiteral("say T8"));
        QCOMPARE(gehoert.last(), letzter);
    }

    void AFailedOpenIsReportedAndTriedAgain() {
        const auto dienst = NeuerDienst(QString());
        dienst->OeffnenGelingt = false;
        TSprachWarteschlange schlange(FakeDienst(dienst));
        const auto versuche = [&dienst] { return dienst->Kopie().count(QStringLiteral("open")); };
        // Its result depends on whether the thread has tried yet.
        schlange.Sagen(QStringLiteral("Autor"));
        schlange.Oeffnen();
        QTRY_COMPARE(versuche(), 2);
        // Known now; each text still tries again.
        QVERIFY(!schlange.Sagen(QStringLiteral("Titel")));
        QTRY_COMPARE(versuche(), 3);
        dienst->OeffnenGelingt = true;
        schlange.Sagen(QStringLiteral("Album"));
        QTRY_VERIFY(dienst->Hat(QStringLiteral("say Album")));
        QVERIFY(schlange.Sagen(QStringLiteral("Kunst")));
        QCOMPARE(versuche(), 4);
        QVERIFY(!dienst->Hat(QStringLiteral("say Autor")) &&
                !dienst->Hat(QStringLiteral("say Titel")));
    }

    void TheEndInterruptsAHangingCall() {
        const auto dienst = NeuerDienst(QStringLiteral("Eins"));
        {
            TSprachWarteschlange schlange(FakeDienst(dienst));
            schlange.Sagen(QStringLiteral("Eins"));
            QTRY_VERIFY(Haengt(*dienst));
        }
        // Joined: the thread has closed and given up the service.
        QVERIFY(dienst->Zerstoert);
        QCOMPARE(dienst->Kopie(), (QStringList{"open", "say Eins", "close"}));
    }

    void TheEndLeavesAServiceThatNeverAnswers() {
        const auto dienst = NeuerDienst(QStringLiteral("Eins"));
        dienst->UnterbrechenWirkt = false;
        {
            TSprachWarteschlange schlange(FakeDienst(dienst), std::chrono::milliseconds(20));
            schlange.Sagen(QStringLiteral("Eins"));
            QTRY_VERIFY(Haengt(*dienst));
        }
        {
            const std::lock_guard<std::mutex> sperre(dienst->Mutex);
            QVERIFY(!dienst->Zerstoert);
        }
        // When the service answers at last, the thread ends and frees what it held.
        dienst->Freigeben();
        QTRY_VERIFY([&dienst] {
            const std::lock_guard<std::mutex> sperre(dienst->Mutex);
            return dienst->Zerstoert;
        }());
    }

    // The real library against a service that is not there: the failure comes back and
    // nothing the program was handed is lost (the leak check at the end sees to that).
    void TheRealLibraryReportsAMissingService() {
        if (QFile::exists(QStringLiteral("/usr/bin/speech-dispatcher"))) {
            QSKIP("speech-dispatcher is installed: a failed connection would start it");
        }
        QTemporaryDir ordner;
        QVERIFY(ordner.isValid());
        qputenv("SPEECHD_ADDRESS", "unix_socket:" + ordner.filePath("fehlt.sock").toUtf8());
        TSpeechdVerbindung verbindung;
        QVERIFY(!verbindung.Oeffnen());
        QVERIFY(!verbindung.Sagen(QStringLiteral("Hallo")));
        QVERIFY(!verbindung.Abbrechen());
        qunsetenv("SPEECHD_ADDRESS");
    }
};

QTEST_MAIN(SprachWarteschlangeTest)
#include "sprachwarteschlange_test.moc"
