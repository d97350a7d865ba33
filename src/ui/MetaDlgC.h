#pragma once
// The step between "Weiter" and the job: author, title and album of the audiobook and
// the approximate length of each M4B file. "Starte" is enabled only while the input
// is complete; refused keys beep. The dialog changes no shared state: the main window
// reads the texts and the hours after "OK".

#include "platform/aussehen/Fenster.h"

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lorvane {

class IAnsager;
class TFeldAnsagen;
class TStundenFeld;
class TTitelZeile;

// The start button's hint.
QString StarteHinweis(bool minimierenS);
// Trimmed of the characters up to U+0020 at both ends, as the core trims names.
QString OhneRandLeerzeichen(const QString& text);
// The enabling rule of "Starte".
bool StarteErlaubt(const QString& autor, const QString& titel, const QString& album,
                   const QString& stunden);

class TMetaDlg : public QDialog {
    Q_OBJECT

public:
    TMetaDlg(QWidget* owner, const TAussehen& aussehen, IAnsager& ansager, bool minimierenS,
             std::int32_t maxStunden);

    void TexteSetzen(const QString& autor, const QString& titel, const QString& album);
    QString Autor() const;
    QString Titel() const;
    QString Album() const;
    // The spin position, 1..10.
    int Stunden() const;

    QPushButton& StarteKnopf() const { return *fStarte; }
    QPushButton& AbbrechenKnopf() const { return *fAbbrechen; }
    // The fields in the order author, title, album, hours.
    QLineEdit& Feld(int index) const { return *fFelder.at(static_cast<std::size_t>(index)); }
    QLabel& Label(int index) const { return *fLabels.at(static_cast<std::size_t>(index)); }
    QAction& MenuStarte() const { return *fMenuStarte; }

protected:
    void showEvent(QShowEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void CaptionZuweisen(bool minimierenS);
    void SchalterEinrichten();
    void UpdateStarte();
    bool TasteGefiltert(const QKeyEvent& taste);
    void ZumErstenLeerenFeld();

    TAussehen fAussehen;
    TTitelZeile* fTitel;
    TStundenFeld* fStunden;
    TFeldAnsagen* fAnsagen;
    std::array<QLineEdit*, 4> fFelder{};
    std::array<QLabel*, 4> fLabels{};
    QPushButton* fStarte;
    QPushButton* fAbbrechen;
    QAction* fMenuStarte;
    bool fEingerichtet = false;
};

} // namespace lorvane
