#include "platform/QtVorschauPlayer.h"

#include <QUrl>

#if defined(__SANITIZE_ADDRESS__)
// The sound system's client library keeps its context until the process ends.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libpulse.so\n";
}
#endif

namespace lorvane {

namespace {

TPlayerFehler KeinGeraet() {
    return QString::fromUtf8(KeinGeraetText);
}

} // namespace

QString PlayerFehlerGrund(QMediaPlayer::Error fehler) {
    switch (fehler) {
    case QMediaPlayer::NoError:
        break;
    case QMediaPlayer::ResourceError:
        return QStringLiteral("Die Datei oder die Tonausgabe kann nicht geöffnet werden");
    case QMediaPlayer::FormatError:
        return QStringLiteral("Das Format der Datei wird nicht unterstützt");
    case QMediaPlayer::NetworkError:
        return QStringLiteral("Die Datei ist über das Netzwerk nicht erreichbar");
    case QMediaPlayer::AccessDeniedError:
        return QStringLiteral("Der Zugriff auf die Datei wurde verweigert");
    }
    return QStringLiteral("Unbekannter Fehler");
}

TQtVorschauPlayer::TQtVorschauPlayer(QObject* parent) : QObject(parent) {}

TPlayerFehler TQtVorschauPlayer::Oeffnen() {
    fOffen = false;
    if (fName.isEmpty()) {
        return KeinGeraet();
    }
    if (!fPlayer) {
        fAusgabe = std::make_unique<QAudioOutput>();
        fPlayer = std::make_unique<QMediaPlayer>();
        fPlayer->setAudioOutput(fAusgabe.get());
        // The media framework would only write it to standard error.
        connect(fPlayer.get(), &QMediaPlayer::errorOccurred, this,
                [this](QMediaPlayer::Error fehler) {
                    if (fehler != QMediaPlayer::NoError && FehlerGemeldet) {
                        FehlerGemeldet(PlayerFehlerGrund(fehler));
                    }
                });
    }
    fPlayer->stop();
    fPlayer->setSource(QUrl::fromLocalFile(fName));
    fOffen = true;
    return std::nullopt;
}

TPlayerFehler TQtVorschauPlayer::Abspielen() {
    if (!fOffen) {
        return KeinGeraet();
    }
    fPlayer->play();
    return std::nullopt;
}

TPlayerFehler TQtVorschauPlayer::Pause() {
    if (!fOffen) {
        return KeinGeraet();
    }
    if (fPlayer->playbackState() == QMediaPlayer::PlayingState) {
        fPlayer->pause();
    } else if (fPlayer->playbackState() == QMediaPlayer::PausedState) {
        fPlayer->play();
    }
    return std::nullopt;
}

TPlayerFehler TQtVorschauPlayer::Stop() {
    if (!fOffen) {
        return KeinGeraet();
    }
    fPlayer->stop();
    return std::nullopt;
}

TPlayerFehler TQtVorschauPlayer::ZumAnfang() {
    if (!fOffen) {
        return KeinGeraet();
    }
    fPlayer->setPosition(0);
    return std::nullopt;
}

TPlayerModus TQtVorschauPlayer::Modus() const {
    if (!fOffen || fPlayer->error() != QMediaPlayer::NoError ||
        fPlayer->mediaStatus() == QMediaPlayer::InvalidMedia) {
        return TPlayerModus::NichtBereit;
    }
    switch (fPlayer->playbackState()) {
    case QMediaPlayer::PlayingState:
        return TPlayerModus::Spielt;
    case QMediaPlayer::PausedState:
        return TPlayerModus::Pausiert;
    case QMediaPlayer::StoppedState:
        break;
    }
    return TPlayerModus::Gestoppt;
}

} // namespace lorvane
