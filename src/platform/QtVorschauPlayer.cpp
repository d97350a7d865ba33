#include "platform/QtVorschauPlayer.h"

#include <QUrl>

namespace lorvane {

namespace {

TPlayerFehler KeinGeraet() {
    return QString::fromUtf8(KeinGeraetText);
}

} // namespace

TQtVorschauPlayer::TQtVorschauPlayer(QObject* parent) : QObject(parent) {
    fPlayer.setAudioOutput(&fAusgabe);
}

TPlayerFehler TQtVorschauPlayer::Oeffnen() {
    fPlayer.stop();
    fOffen = false;
    if (fName.isEmpty()) {
        return KeinGeraet();
    }
    fPlayer.setSource(QUrl::fromLocalFile(fName));
    fOffen = true;
    return std::nullopt;
}

TPlayerFehler TQtVorschauPlayer::Abspielen() {
    if (!fOffen) {
        return KeinGeraet();
    }
    fPlayer.play();
    return std::nullopt;
}

TPlayerFehler TQtVorschauPlayer::Pause() {
    if (!fOffen) {
        return KeinGeraet();
    }
    if (fPlayer.playbackState() == QMediaPlayer::PlayingState) {
        fPlayer.pause();
    } else if (fPlayer.playbackState() == QMediaPlayer::PausedState) {
        fPlayer.play();
    }
    return std::nullopt;
}

TPlayerFehler TQtVorschauPlayer::Stop() {
    if (!fOffen) {
        return KeinGeraet();
    }
    fPlayer.stop();
    return std::nullopt;
}

TPlayerFehler TQtVorschauPlayer::ZumAnfang() {
    if (!fOffen) {
        return KeinGeraet();
    }
    fPlayer.setPosition(0);
    return std::nullopt;
}

TPlayerModus TQtVorschauPlayer::Modus() const {
    if (!fOffen || fPlayer.error() != QMediaPlayer::NoError ||
        fPlayer.mediaStatus() == QMediaPlayer::InvalidMedia) {
        return TPlayerModus::NichtBereit;
    }
    switch (fPlayer.playbackState()) {
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
