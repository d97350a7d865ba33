// The hand-off key: the record functions, writing and reading with deletion, the key's
// removal, appending lists, priorities, and the watcher thread with its queued calls.

#include "platform/instanz/KivParameter.h"
#include "platform/instanz/KivRegistry.h"
#include "platform/instanz/KivRegistrySettings.h"
#include "platform/instanz/WatchRegistrySettings.h"
#include "support/QtTestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <mutex>

using namespace lorvane;
using namespace std::chrono_literals;

namespace {

TRegistrySettings Werte(const QString& p, const QString& f, const QString& c) {
    TRegistrySettings s;
    return s.SetData(p, f, c);
}

// Waits for a condition without running the event loop.
template <typename F> bool Warten(F bedingung) {
    for (int i = 0; i < 400; ++i) {
        if (bedingung()) {
            return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    return bedingung();
}

} // namespace

class RegistryHandoffTest : public QObject {
    Q_OBJECT

    QTemporaryDir fOrdner;
    QString Ini() const { return fOrdner.path() + "/Lorvane/Lorvane.ini"; }

private Q_SLOTS:
    void init() { QFile::remove(Ini()); }

    void RecordFunctions() {
        TRegistrySettings r;
        const TRegistrySettings kopie = r.SetData("a|b", " ", "");
        QCOMPARE(r, kopie);
        QCOMPARE(r.Parameters, QString("a|b"));
        QCOMPARE(r.SetFocus, QString(" "));
        QCOMPARE(TRegistrySettings::rsSetFocus(""), Werte("", "1", ""));
        QCOMPARE(TRegistrySettings::rsSetFocus("x"), Werte("", "x", ""));
        QCOMPARE(TRegistrySettings::rsClose(""), Werte("", "", "1"));
        QCOMPARE(TRegistrySettings::rsClose("2"), Werte("", "", "2"));
        QCOMPARE(TRegistrySettings::rsParameters("/p"), Werte("/p", "", ""));
        BefehlszeileSetzen({"/eigen", "rel"}, "/cwd");
        QCOMPARE(TRegistrySettings::rsParameters(""), Werte("/eigen|/cwd/rel", "", ""));
        BefehlszeileSetzen({}, "/");
        QVERIFY(TRegistrySettings{}.Leer());
    }

    void WrittenValuesAreReadDeletedAndTheKeyRemoved() {
        TKivRegistry registry(fOrdner.path());
        QVERIFY(WriteRegistrySettings(registry, "Lorvane", TRegistrySettings{}));
        QVERIFY(!QFileInfo::exists(Ini()));
        TRegistrySettings gelesen = Werte("alt", "alt", "alt");
        QVERIFY(!ReadRegistrySettings(registry, "Lorvane", gelesen));
        QCOMPARE(gelesen, TRegistrySettings{});

        // Commas and equal signs must not turn the text into a list.
        const TRegistrySettings alle = Werte("/a,b|/c=d", "1", "1");
        QVERIFY(WriteRegistrySettings(registry, "\\Lorvane", alle));
        QVERIFY(QFileInfo::exists(Ini()));
        QVERIFY(ReadRegistrySettings(registry, "Lorvane", gelesen));
        QCOMPARE(gelesen, alle);
        QVERIFY(!QFileInfo::exists(Ini()));
        QVERIFY(!ReadRegistrySettings(registry, "Lorvane", gelesen));
    }

    void AForeignValueKeepsTheKey() {
        TKivRegistry registry(fOrdner.path());
        QVERIFY(registry.OpenKey("Lorvane", true));
        registry.WriteString("Fremd", "bleibt");
        registry.CloseKey();
        QVERIFY(WriteRegistrySettings(registry, "Lorvane", TRegistrySettings::rsSetFocus("")));
        TRegistrySettings gelesen;
        QVERIFY(ReadRegistrySettings(registry, "Lorvane", gelesen));
        QCOMPARE(gelesen, Werte("", "1", ""));
        QVERIFY(QFileInfo::exists(Ini()));
        QVERIFY(registry.OpenKey("Lorvane", false));
        QCOMPARE(registry.GetValueNames(), QStringList({"Fremd"}));
        registry.CloseKey();
        QVERIFY(!ReadRegistrySettings(registry, "Lorvane", gelesen));
    }

    void ASecondListIsAppendedNotOverwritten() {
        TKivRegistry schreiber(fOrdner.path());
        TKivRegistry leser(fOrdner.path());
        QVERIFY(WriteRegistrySettings(schreiber, "Lorvane", Werte("/a", "", "")));
        QVERIFY(WriteRegistrySettings(schreiber, "Lorvane", Werte("/b|/c", "", "")));
        TRegistrySettings gelesen;
        QVERIFY(ReadRegistrySettings(leser, "Lorvane", gelesen));
        QCOMPARE(SplitParameters(gelesen.Parameters), QStringList({"/a", "/b", "/c"}));
    }

    void OnlyTheCommandOfHighestPriorityIsActedOn() {
        QCOMPARE(BefehlWaehlen(Werte("/p", "1", "1")), Werte("/p", "", ""));
        QCOMPARE(BefehlWaehlen(Werte("", "1", "1")), Werte("", "1", ""));
        QCOMPARE(BefehlWaehlen(Werte("", "", "x")), Werte("", "", "x"));
        QVERIFY(BefehlWaehlen(TRegistrySettings{}).Leer());
    }

    void TheWatcherDropsLeftoversAndDeliversNewCommands() {
        TKivRegistry registry(fOrdner.path());
        QVERIFY(WriteRegistrySettings(registry, "Lorvane", Werte("/alt", "1", "")));
        std::mutex sperre;
        std::vector<TRegistrySettings> befehle;
        std::vector<std::chrono::milliseconds> schlaefe;
        std::atomic<bool> bereit{false};
        {
            TWatchRegistrySettings watcher(
                fOrdner.path(), "Lorvane",
                [&](const TRegistrySettings& b) {
                    const std::lock_guard<std::mutex> halten(sperre);
                    befehle.push_back(b);
                },
                [&] {
                    // The leftovers are gone before anyone is told to hand over.
                    QVERIFY(!QFileInfo::exists(Ini()));
                    bereit = true;
                },
                [&](std::chrono::milliseconds dauer) {
                    {
                        const std::lock_guard<std::mutex> halten(sperre);
                        schlaefe.push_back(dauer);
                    }
                    std::this_thread::sleep_for(1ms);
                });
            QVERIFY(Warten([&] { return bereit.load(); }));
            QVERIFY(WriteRegistrySettings(registry, "Lorvane", Werte("/neu", "1", "1")));
            QVERIFY(Warten([&] {
                const std::lock_guard<std::mutex> halten(sperre);
                return !befehle.empty();
            }));
            QVERIFY(Warten([&] { return !QFileInfo::exists(Ini()); }));
            QVERIFY(WriteRegistrySettings(registry, "Lorvane", TRegistrySettings::rsClose("")));
            QVERIFY(Warten([&] {
                const std::lock_guard<std::mutex> halten(sperre);
                return befehle.size() == 2;
            }));
        }
        QCOMPARE(befehle.size(), std::size_t{2});
        QCOMPARE(befehle[0], Werte("/neu", "", ""));
        QCOMPARE(befehle[1], Werte("", "", "1"));
        for (const auto dauer : schlaefe) {
            QCOMPARE(dauer.count(), 25);
        }
        QVERIFY(schlaefe.size() >= 8);
    }

    void AWatcherEndsWithinASliceWhenTerminated() {
        const auto anfang = std::chrono::steady_clock::now();
        {
            TWatchRegistrySettings watcher(fOrdner.path(), "Lorvane",
                                           [](const TRegistrySettings&) {});
            std::this_thread::sleep_for(30ms);
        }
        QVERIFY(std::chrono::steady_clock::now() - anfang < 500ms);
    }

    void CommandsRunInTheUserInterfaceThread() {
        TKivRegistry registry(fOrdner.path());
        QThread* ausgefuehrtIn = nullptr;
        QStringList listen;
        std::atomic<bool> bereit{false};
        TRegistryWaechter waechter(
            fOrdner.path(), "Lorvane",
            [&](const TRegistrySettings& b) {
                ausgefuehrtIn = QThread::currentThread();
                listen << b.Parameters;
            },
            [&] { bereit = true; });
        QTRY_VERIFY(bereit.load());
        QVERIFY(WriteRegistrySettings(registry, "Lorvane", Werte("/x", "", "")));
        QTRY_COMPARE(listen, QStringList({"/x"}));
        QCOMPARE(ausgefuehrtIn, QThread::currentThread());
    }

    void QueuedCommandsDieWithTheWatcher() {
        TKivRegistry registry(fOrdner.path());
        int ausgefuehrt = 0;
        std::atomic<bool> bereit{false};
        auto waechter = std::make_unique<TRegistryWaechter>(
            fOrdner.path(), "Lorvane", [&](const TRegistrySettings&) { ++ausgefuehrt; },
            [&] { bereit = true; });
        QVERIFY(Warten([&] { return bereit.load(); }));
        QVERIFY(WriteRegistrySettings(registry, "Lorvane", Werte("", "1", "")));
        // Taken by the watcher and queued, but the event loop has not run.
        QVERIFY(Warten([&] { return !QFileInfo::exists(Ini()); }));
        waechter.reset();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(ausgefuehrt, 0);

        // The same queue runs a command while its receiver lives.
        auto empfaenger = std::make_unique<QObject>();
        QueueRegistryCommand(
            empfaenger.get(), [&](const TRegistrySettings&) { ++ausgefuehrt; }, "", "1", "");
        QTRY_COMPARE(ausgefuehrt, 1);
    }
};

QTEST_MAIN(RegistryHandoffTest)
#include "registryhandoff_test.moc"
