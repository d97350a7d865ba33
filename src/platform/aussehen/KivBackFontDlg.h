#pragma once
// The font and colour dialog: the installed fonts, sizes 5 to 35, bold, the 17 named
// colours for text and background, and a preview. It reads the caller's font and
// colour and hands back new ones; the caller's values are never changed here.

#include "platform/aussehen/Fenster.h"
#include "platform/aussehen/KivBackFontLayout.h"
#include "platform/aussehen/KivColors.h"

#include <QDialog>
#include <QStringList>
#include <QTimer>

#include <cstdint>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class QTreeWidget;

namespace lorvane {

class IAnsager;

class TBackFontDlg : public QDialog {
    Q_OBJECT

public:
    // `tolk` may be null: then nothing is announced.
    TBackFontDlg(QWidget* owner, std::uint32_t aktBackColor, const TAktFont& aktFont,
                 IAnsager* tolk);
    TBackFontDlg(QWidget* owner, std::uint32_t aktBackColor, const TAktFont& aktFont,
                 const TBackFontDlgTexts& texts, IAnsager* tolk);

    std::uint32_t NewBackColor() const;
    // The caller's font with the dialog's name, size, bold and text colour; other
    // styles are dropped.
    void GetNewFont(TAktFont& font) const;

    const TBackFontDlgTexts& Texts() const { return FTexts; }
    const QStringList& Familien() const { return fFamilien; }

    QTreeWidget* LvFonts = nullptr;
    QLabel* LeSizeLabel = nullptr;
    QLineEdit* LeSize = nullptr;
    QToolButton* UpDown1Auf = nullptr;
    QToolButton* UpDown1Ab = nullptr;
    QCheckBox* CbBold = nullptr;
    QLabel* CoBoColorsLabel = nullptr;
    QComboBox* CoBoColors = nullptr;
    QLabel* CoBoBackColorsLabel = nullptr;
    QComboBox* CoBoBackColors = nullptr;
    QLineEdit* EditTest = nullptr;
    QPushButton* Btn1OK = nullptr;
    QPushButton* Btn2Cancel = nullptr;
    QMenu* PuMenuVorschau = nullptr;
    QAction* PuVorschauAllesMarkieren = nullptr;
    QAction* PuVorschauKopieren = nullptr;

    // The up/down control's position, which follows the field when it is read.
    int Position() const;
    void UpdateEditTest();

protected:
    void showEvent(QShowEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void FormCreate();
    void CaptionZuweisen();
    void FontListeFuellen();
    // The font list's width for a row of that text: the text, "MM", scroll bar and frame.
    int ListBreiteFuer(const QString& text) const;
    void FormShow();
    void SchriftartZuweisen();
    void SchalterEinrichten();
    void Schritt(int richtung);
    void GroesseVerlassen();
    void UpdateOk();
    void OkKlick();
    void VorschauMenueOeffnen();
    // Each field names itself and what it holds to the screen reader.
    void AnsagenEinrichten();

    TBackFontDlgTexts FTexts;
    TColors FColors;
    TAktFont FAktFont;
    std::uint32_t FAktBackColor;
    IAnsager* FTolk;
    int FMaxLvFontsWidth = 0;
    QString fLaengste; // the longest row, or the column title
    QStringList fFamilien;
    TFontZeile fStart;
    mutable int fPosition = BackFontMinGroesse;
    QTimer TimerTolk;
    bool fEingerichtet = false;
};

} // namespace lorvane
