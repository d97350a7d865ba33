#pragma once
// The preview player over Qt Multimedia.

#include "platform/VorschauPlayer.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QObject>

#include <memory>

namespace lorvane {

// The reason for the user, in German, for an error of the media player.
QString PlayerFehlerGrund(QMediaPlayer::Error fehler);

class TQtVorschauPlayer : public QObject, public IVorschauPlayer {
    Q_OBJECT

public:
    explicit TQtVorschauPlayer(QObject* parent = nullptr);

    QString FileName() const override { return fName; }
    void FileNameSetzen(const QString& name) override { fName = name; }
    TPlayerFehler Oeffnen() override;
    TPlayerFehler Abspielen() override;
    TPlayerFehler Pause() override;
    TPlayerFehler Stop() override;
    TPlayerFehler ZumAnfang() override;
    TPlayerModus Modus() const override;

private:
    // Made at the first opening, so that a program that previews nothing never
    // connects to the sound system.
    std::unique_ptr<QAudioOutput> fAusgabe;
    std::unique_ptr<QMediaPlayer> fPlayer;
    QString fName;
    bool fOffen = false;
};

} // namespace lorvane
