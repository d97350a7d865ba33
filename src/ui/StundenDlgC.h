#pragma once
// Edits only the approximate length of each M4B file, from the settings menu. "O&K"
// is enabled while the field holds a number within 1..10, as "Starte" is in the
// metadata dialog; the value taken is the spin position. The field does not paste.

#include "platform/aussehen/Fenster.h"

#include <QDialog>

#include <cstdint>

class QPushButton;

namespace lorvane {

class IAnsager;
class TFeldAnsagen;
class TStundenFeld;

// The enabling rule of "O&K": the field read as a number (0 when it is none) lies
// within 1..10. A value beyond would close the dialog as if taken and keep the old one.
bool StundenOkErlaubt(const QString& feld);

class TStundenDlg : public QDialog {
    Q_OBJECT

public:
    TStundenDlg(QWidget* owner, const TAussehen& aussehen, IAnsager& ansager);

    // Held to 1..10 and shown in the field.
    void PositionSetzen(std::int32_t stunden);
    int Position() const;

    TStundenFeld& Feld() const { return *fStunden; }
    QPushButton& OkKnopf() const { return *fOk; }
    QPushButton& AbbrechenKnopf() const { return *fAbbrechen; }

protected:
    void showEvent(QShowEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void CaptionZuweisen();
    void SchalterEinrichten();
    void UpdateOk();

    TAussehen fAussehen;
    TStundenFeld* fStunden;
    TFeldAnsagen* fAnsagen;
    QPushButton* fOk;
    QPushButton* fAbbrechen;
    bool fEingerichtet = false;
};

} // namespace lorvane
