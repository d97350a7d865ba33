#pragma once
// The hours field of the metadata and hours dialogs: a labelled edit that takes at
// most two digits, with up/down buttons beside it. Like a spin control bound to its
// edit, it keeps a position in 1..10. Reading the position takes the field's number
// when that lies in the range, otherwise the position stays what it was (the starting
// value or the last valid one read or stepped to); typing alone does not move it, so
// "25" typed over 5 still reads 5. The text itself may show any two digits, so that
// the dialogs can judge it.

#include "engine/TeilGroesse.h"

#include <QObject>
#include <QString>

#include <cstdint>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QRect;
class QToolButton;
class QWidget;

namespace lorvane {

// "Ungefähre Länge jeder &M4B-Datei (1-10 Stunden):"
QString StundenLabelText();
// "Stunden (1 bis 10)", spoken when the field receives the focus.
QString StundenAnsage();
// The field's text as a number; 0 when it is not one.
int StundenWert(const QString& text);
// The text the field would hold after typing `eingabe` over the selection (or at the
// cursor when nothing is selected).
QString TextNachEingabe(const QString& text, int auswahlAnfang, int auswahlLaenge, int cursor,
                        const QString& eingabe);
// Whether the field may hold the text: digits only, at most two.
bool StundenTextZulaessig(const QString& text);

// The position the spin control keeps, without widgets.
class TStundenPosition {
public:
    explicit TStundenPosition(int start = StundenMinimum) : fPosition(StundenBegrenzen(start)) {}
    int Position() const { return fPosition; }
    void Setzen(std::int64_t stunden) { fPosition = StundenBegrenzen(stunden); }
    // The position read against the field's text: a number in the range becomes it.
    int Lesen(const QString& text);
    // One step up (+1) or down (-1) from the field's number when valid, else from the
    // position; held to the range.
    int Schritt(const QString& text, int richtung);

private:
    int fPosition;
};

// The widgets: label (with the field as buddy), edit and the two buttons, all
// children of the dialog. Up and Down in the field step the position as well.
class TStundenFeld : public QObject {
    Q_OBJECT

public:
    explicit TStundenFeld(QWidget& dialog);

    QLabel& Label() const { return *fLabel; }
    QLineEdit& Edit() const { return *fEdit; }
    // The position read against the field's text.
    int Position() const { return fPosition.Lesen(EditText()); }
    // Sets the position (held to the range) and shows it in the field.
    void PositionSetzen(std::int64_t stunden);
    // The field, and the two buttons one above the other in `aufAb`.
    void Anordnen(const QRect& feld, const QRect& aufAb);
    QToolButton& AufKnopf() const { return *fAuf; }
    QToolButton& AbKnopf() const { return *fAb; }

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void Schritt(int richtung);
    QString EditText() const;
    bool TasteGefiltert(QKeyEvent& taste);

    QLabel* fLabel;
    QLineEdit* fEdit;
    QToolButton* fAuf;
    QToolButton* fAb;
    // Reading updates the position as the spin control does when asked for it.
    mutable TStundenPosition fPosition;
};

} // namespace lorvane
