// The preview player over Qt Multimedia: a player that has not been opened refuses
// every operation with the error text the main window shows, and a file that cannot
// be played is reported later, with a German reason.

#include "platform/QtVorschauPlayer.h"

#include <QFile>
#include <QTemporaryDir>
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

    void EveryPlayerErrorHasAGermanReason() {
        const QString unbekannt = QStringLiteral("Unbekannter Fehler");
        QCOMPARE(PlayerFehlerGrund(QMediaPlayer::NoError), unbekannt);
        for (const QMediaPlayer::Error fehler :
             {QMediaPlayer::ResourceError, QMediaPlayer::FormatError, QMediaPlayer::NetworkError,
              QMediaPlayer::AccessDeniedError}) {
            const QString grund = PlayerFehlerGrund(fehler);
            QVERIFY2(grund != unbekannt && !grund.contains(QStringLiteral("Error")),
                     qPrintable(grund));
        }
    }

    // The media framework notices only while it plays: the reason comes afterwards.
    void AFileThatCannotBePlayedIsReportedLater() {
        QTemporaryDir ordner;
        const QString datei = ordner.filePath(QStringLiteral("kaputt.mp3"));
        QFile kaputt(datei);
        QVERIFY(kaputt.open(QIODevice::WriteOnly));
        kaputt.write(QByteArray(4096, 'x'));
        kaputt.close();
        TQtVorschauPlayer player;
        QStringList gemeldet;
        player.FehlerGemeldet = [&gemeldet](const QString& grund) { gemeldet << grund; };
        player.FileNameSetzen(datei);
        QCOMPARE(player.Oeffnen(), TPlayerFehler());
        QCOMPARE(player.Abspielen(), TPlayerFehler());
        QTRY_VERIFY(!gemeldet.isEmpty());
        QVERIFY(gemeldet.first() != QStringLiteral("Unbekannter Fehler"));
        QCOMPARE(player.Modus(), TPlayerModus::NichtBereit);
    }
};

QTEST_MAIN(QtVorschauPlayerTest)
#include "qtvorschauplayer_test.moc"
