#pragma once
// The hours field of the metadata and hours dialogs: a labelled edit that takes at
// most two digits, with up/down buttons beside it. Like a spin control bound to its
// edit, it keeps a position in 1..10: the field's number while that lies in the
// range, otherwise the last one that did. The field's text itself may show any two
// digits, so that the dialogs can judge it.

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

inline constexpr int StundenMinimum = 1;
inline constexpr int StundenMaximum = 10;

// "Ungefähre Länge jeder &M4B-Datei (1-10 Stunden):"
QString StundenLabelText();
// "Stunden (1 bis 10)", spoken when the field receives the focus.
QString StundenAnsage();
// The field's text as a number; 0 when it is not one.
int StundenWert(const QString& text);
bool StundenImBereich(int stunden);
// A stored value outside the range is shown as its nearest end, so that no job ever
// starts with 0 or 50 hours.
int StundenBegrenzen(std::int64_t stunden);
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
    // The field shows a new text: a number in the range becomes the position.
    void TextGeaendert(const QString& text);
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
    int Position() const { return fPosition.Position(); }
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
    bool TasteGefiltert(QKeyEvent& taste);

    QLabel* fLabel;
    QLineEdit* fEdit;
    QToolButton* fAuf;
    QToolButton* fAb;
    TStundenPosition fPosition;
};

} // namespace lorvane
