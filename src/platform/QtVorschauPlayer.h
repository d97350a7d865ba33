#pragma once
// The preview player over Qt Multimedia.

#include "ui/VorschauPlayer.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QObject>

namespace lorvane {

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
    QAudioOutput fAusgabe;
    QMediaPlayer fPlayer;
    QString fName;
    bool fOffen = false;
};

} // namespace lorvane
