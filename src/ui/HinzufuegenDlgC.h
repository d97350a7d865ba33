#pragma once
// The add dialog: scans the selected folders for MP3 files (the core's TMp3Suche),
// shows one line of text and a cancel button meanwhile, and appends the good files to
// the file list when the scan has run to its end. Every way of closing it cancels.

#include "engine/JobState.h"
#include "engine/auswahl/Mp3Suche.h"
#include "platform/aussehen/Fenster.h"

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace lorvane {

inline const QString HinzufuegenCaption = QStringLiteral("Füge MP3-Dateien hinzu");
inline const QString HinzufuegenText = QStringLiteral("Durchsuche Ordner nach MP3-Dateien...");
inline const QString HinzufuegenAbbrechen = QStringLiteral("&Abbrechen");
inline const QString UnterordnerFrage =
    QStringLiteral("Sollen auch Unterordner nach MP3-Dateien durchsucht werden?");

// Where the text and the button go, and the client size: the text at 10, 20, the
// button 20 below it and centred, 20 around the rest.
struct THinzufuegenLayout {
    QRect Text;
    QRect Button;
    QSize Client;
};
THinzufuegenLayout HinzufuegenLayout(QSize text, QSize button);

// The first folder with a visible subfolder decides whether the subfolder question is
// asked; -1 when none has one.
int ErsterOrdnerMitUnterordnern(const std::vector<std::string>& ordner);

class THinzufuegenDlg : public QDialog {
    Q_OBJECT

public:
    // ordner: the folders to scan, in list order, each with a trailing "/".
    THinzufuegenDlg(QWidget* owner, TJobState& state, const TAussehen& aussehen,
                    std::vector<std::string> ordner, QTreeWidget& dateiliste);
    ~THinzufuegenDlg() override;

    // The number of rows appended; 0 after a cancel.
    std::int32_t AnzDateien() const;
    bool CancelS() const;

    // Every close request (Esc, the window's close button, Alt+F4) is the cancel
    // button: the scan ends at its next entry and the dialog closes with Rejected.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void Timer1StartTimer();
    void Btn1AbbrechenClick();

private:
    class TFrontEnd;
    void CaptionZuweisen();
    void SchalterEinrichten();
    void ZeilenAnhaengen();

    TJobState& fState;
    TAussehen fAussehen;
    std::vector<std::string> fOrdner;
    QTreeWidget& fDateiliste;
    std::unique_ptr<TFrontEnd> fFrontEnd;
    std::unique_ptr<TMp3Suche> fSuche;
    QLabel* fStaticText1;
    QPushButton* fBtn1Abbrechen;
    QTimer fTimer1Start;
    bool fGezeigt = false;
};

} // namespace lorvane
