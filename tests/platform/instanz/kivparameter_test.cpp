// The parameter list of the hand-over: field escapes, the trimming rule, relative
// arguments, splitting, and handing the list to a receiver.

#include "platform/instanz/KivParameter.h"
#include "support/QtTestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace lorvane;

class KivParameterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void MessageNumbersAreKept() {
        QCOMPARE(WM_PROGRAM_CLOSE, 1124);
        QCOMPARE(WM_PROGRAM_SETFOCUS, 1224);
        QCOMPARE(WM_COPYDATA, 0x4A);
    }

    void FieldsEscapePercentAndBar() {
        const std::vector<std::pair<QString, QString>> faelle = {
            {"/a/b", "/a/b"},       {"/a|b", "/a%7Cb"}, {"/50%", "/50%25"},
            {"/%7C|", "/%257C%7C"}, {"", ""},
        };
        for (const auto& [klar, kodiert] : faelle) {
            QCOMPARE(FeldKodieren(klar), kodiert);
            QCOMPARE(FeldDekodieren(kodiert), klar);
        }
        // Foreign writers may use lower case; other escapes stay as they are.
        QCOMPARE(FeldDekodieren("/a%7cb%2"), QString("/a|b%2"));
        QCOMPARE(FeldDekodieren("%20%"), QString("%20%"));
    }

    void ArgumentsAreTrimmedOnlyWhenTheNameAsGivenIsMissing() {
        QTemporaryDir ordner;
        QVERIFY(ordner.isValid());
        const QString basis = ordner.path();
        QVERIFY(QDir(basis).mkpath(" blank "));
        QVERIFY(QDir(basis).mkpath("b"));
        QCOMPARE(ArgumentAufbereiten(basis + "/ blank ", "/x"), basis + "/ blank ");
        QCOMPARE(ArgumentAufbereiten("  " + basis + "/b\t", "/x"), basis + "/b");
        // Relative names mean the sender's folder.
        QCOMPARE(ArgumentAufbereiten(" blank ", basis), basis + "/ blank ");
        QCOMPARE(ArgumentAufbereiten(" b ", basis), basis + "/b");
        QCOMPARE(ArgumentAufbereiten("fehlt", basis + "/"), basis + "/fehlt");
        QCOMPARE(ArgumentAufbereiten(" \t\r\n", basis), QString());
        QCOMPARE(ArgumentAufbereiten("", basis), QString());
    }

    void TheListJoinsPreparedFieldsAndSplitsBack() {
        const QStringList argumente = {"/m/a|b", "  ", "rel", "/m/50%", ""};
        const QString liste = ParameterListe(argumente, "/cwd");
        QCOMPARE(liste, QString("/m/a%7Cb|/cwd/rel|/m/50%25"));
        QCOMPARE(SplitParameters(liste), QStringList({"/m/a|b", "/cwd/rel", "/m/50%"}));
        QCOMPARE(SplitParameters("|/a||/b|"), QStringList({"/a", "/b"}));
        // Fields are not trimmed when split.
        QCOMPARE(SplitParameters(" /a |/b"), QStringList({" /a ", "/b"}));
    }

    void AnEmptyTextMeansTheOwnCommandLine() {
        BefehlszeileSetzen({"eins", " ", "/zwei"}, "/hier");
        QCOMPARE(GetParameters(QString()), QString("/hier/eins|/zwei"));
        QCOMPARE(GetParameters("x|y"), QString("x|y"));
        QCOMPARE(SplitParameters(QString()), QStringList({"/hier/eins", "/zwei"}));
        BefehlszeileSetzen({}, "/hier");
        QCOMPARE(GetParameters(QString()), QString());
    }

    void SendingHandsTheListToTheReceiver() {
        BefehlszeileSetzen({}, "/");
        QStringList empfangen;
        int antwort = 0;
        const TParameterEmpfaenger empfaenger = [&](const QString& liste) {
            empfangen << liste;
            return antwort;
        };
        QVERIFY(SendParameters(empfaenger, "/a|/b"));
        QCOMPARE(empfangen, QStringList({"/a|/b"}));
        antwort = 1;
        QVERIFY(!SendParameters(empfaenger, "/c"));
        // Nothing to send: true without a call.
        QVERIFY(SendParameters(empfaenger, "||"));
        QVERIFY(SendParameters(empfaenger, QString()));
        QCOMPARE(empfangen.size(), 2);
        QVERIFY(!SendParameters({}, "/d"));
    }
};

QTEST_MAIN(KivParameterTest)
#include "kivparameter_test.moc"
