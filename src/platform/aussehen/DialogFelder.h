#pragma once
// What the dialogs share besides the hours field: each field names itself to the
// screen reader when the focus enters it, a click on a label moves the focus to the
// label's field, and the sizes their layouts start from.

#include "platform/sprache/FokusAnsage.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QSize;
class QWidget;

namespace lorvane {

class IAnsager;

class TFeldAnsagen : public QObject {
    Q_OBJECT

public:
    TFeldAnsagen(QObject* parent, IAnsager& ansager);
    // Speaks `text` when the focus enters `feld` by the rule of TFokusAnsageRegel.
    void Hinzufuegen(QWidget& feld, const QString& text);
    // The same with a text made at the moment, for fields that say what they hold.
    void Hinzufuegen(QWidget& feld, std::function<QString()> text);

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    struct TEintrag {
        QWidget* Feld;
        std::function<QString()> Text;
    };
    void AnsageFaellig();

    IAnsager& fAnsager;
    std::vector<TEintrag> fEintraege;
    QObject* fFenster = nullptr;
    TFokusAnsageRegel fRegel;
    // Fires once the event that moved the focus is done.
    QTimer fNachDemEreignis;
};

// A click on the label gives its buddy the focus.
void LabelKlickFokussiert(QLabel& label);

// Enter on the focused button presses that button, as the user expects; without this
// the dialog would press its default button ("Starte" while "Abbrechen" has the focus).
void EingabeDruecktKnopf(QPushButton& knopf);

// The outer size of the dialog's owner window; the screen's work area without one.
QSize OwnerGroesse(const QWidget& dialog);

} // namespace lorvane
