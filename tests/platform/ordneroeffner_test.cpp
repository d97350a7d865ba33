// Folders open in the desktop's file manager, never in this program.

#include "platform/OrdnerOeffner.h"

#include <QTest>

using namespace lorvane;

class OrdnerOeffnerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ChoosesTheDesktopsProgramUnlessItIsThisOne() {
        using TArt = TOrdnerOeffnerWahl::TArt;
        const struct {
            const char* standard;
            QStringList installiert;
            TArt art;
            const char* programm;
        } faelle[] = {
            {"org.gnome.Nautilus.desktop", {"dolphin"}, TArt::Desktop, ""},
            // No default: xdg-open might pick any program that declares folders.
            {"", {"thunar", "dolphin"}, TArt::Dateimanager, "/usr/bin/dolphin"},
            {"lorvane.desktop", {"pcmanfm"}, TArt::Dateimanager, "/usr/bin/pcmanfm"},
            {"Lorvane.desktop", {}, TArt::Keiner, ""},
            {"", {}, TArt::Keiner, ""},
        };
        for (const auto& fall : faelle) {
            const TOrdnerOeffnerWahl wahl =
                OrdnerOeffnerWaehlen(QString::fromUtf8(fall.standard), [&](const QString& name) {
                    return fall.installiert.contains(name) ? "/usr/bin/" + name : QString();
                });
            QCOMPARE(wahl.Art, fall.art);
            QCOMPARE(wahl.Programm, QString::fromUtf8(fall.programm));
        }
    }
};

QTEST_MAIN(OrdnerOeffnerTest)
#include "ordneroeffner_test.moc"
