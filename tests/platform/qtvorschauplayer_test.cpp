// The preview player over Qt Multimedia: a player that has not been opened refuses
// every operation with the error text the main window shows.

#include "platform/QtVorschauPlayer.h"

#include <QTest>

using namespace lorvane;

class QtVorschauPlayerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void APlayerThatIsNotOpenRefusesEveryOperation() {
        TQtVorschauPlayer player;
        QCOMPARE(player.Modus(), TPlayerModus::NichtBereit);
        QVERIFY(player.FileName().isEmpty());
        const QString fehler = QString::fromUtf8(KeinGeraetText);
        QCOMPARE(player.Abspielen(), TPlayerFehler(fehler));
        QCOMPARE(player.Pause(), TPlayerFehler(fehler));
        QCOMPARE(player.Stop(), TPlayerFehler(fehler));
        QCOMPARE(player.ZumAnfang(), TPlayerFehler(fehler));
        // Opening without a file name opens nothing.
        QCOMPARE(player.Oeffnen(), TPlayerFehler(fehler));
        QCOMPARE(player.Abspielen(), TPlayerFehler(fehler));
    }

    void TheFileNameTakesEffectWithOpening() {
        TQtVorschauPlayer player;
        player.FileNameSetzen("/nicht/da.mp3");
        QCOMPARE(player.FileName(), QString("/nicht/da.mp3"));
        QCOMPARE(player.Modus(), TPlayerModus::NichtBereit);
        QCOMPARE(player.Oeffnen(), TPlayerFehler());
        QCOMPARE(player.Stop(), TPlayerFehler());
        QCOMPARE(player.ZumAnfang(), TPlayerFehler());
        // A file that cannot be played never becomes a playing one.
        QTRY_VERIFY(player.Modus() == TPlayerModus::NichtBereit ||
                    player.Modus() == TPlayerModus::Gestoppt);
    }
};

QTEST_MAIN(QtVorschauPlayerTest)
#include "qtvorschauplayer_test.moc"
