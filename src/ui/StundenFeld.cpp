#include "ui/StundenFeld.h"

#include "platform/aussehen/Meldungen.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRect>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QWidget>

#include <algorithm>

namespace lorvane {

QString StundenLabelText() {
    return QStringLiteral("Ungefähre Länge jeder &M4B-Datei (%1-%2 Stunden):")
        .arg(StundenMinimum)
        .arg(StundenMaximum);
}

QString StundenAnsage() {
    return QStringLiteral("Stunden (%1 bis %2)").arg(StundenMinimum).arg(StundenMaximum);
}

int StundenWert(const QString& text) {
    bool ok = false;
    const int wert = text.toInt(&ok, 10);
    return ok ? wert : 0;
}

QString TextNachEingabe(const QString& text, int auswahlAnfang, int auswahlLaenge, int cursor,
                        const QString& eingabe) {
    QString neu = text;
    if (auswahlLaenge > 0 && auswahlAnfang >= 0 && auswahlAnfang <= neu.size()) {
        neu.replace(auswahlAnfang, auswahlLaenge, eingabe);
    } else {
        neu.insert(std::clamp<int>(cursor, 0, static_cast<int>(neu.size())), eingabe);
    }
    return neu;
}

bool StundenTextZulaessig(const QString& text) {
    return text.size() <= 2 && std::all_of(text.begin(), text.end(), [](QChar c) {
               return c >= QLatin1Char('0') && c <= QLatin1Char('9');
           });
}

int TStundenPosition::Lesen(const QString& text) {
    const int wert = StundenWert(text);
    if (StundenImBereich(wert)) {
        fPosition = wert;
    }
    return fPosition;
}

int TStundenPosition::Schritt(const QString& text, int richtung) {
    Lesen(text);
    fPosition = StundenBegrenzen(static_cast<std::int64_t>(fPosition) + richtung);
    return fPosition;
}

namespace {

QToolButton* AufAbKnopf(QWidget& dialog, Qt::ArrowType pfeil, const QString& name) {
    auto* knopf = new QToolButton(&dialog);
    knopf->setArrowType(pfeil);
    knopf->setAutoRepeat(true);
    // The keys Up and Down do the same in the field, which keeps the focus.
    knopf->setFocusPolicy(Qt::NoFocus);
    knopf->setAccessibleName(name);
    return knopf;
}

} // namespace

TStundenFeld::TStundenFeld(QWidget& dialog)
    : QObject(&dialog), fLabel(new QLabel(StundenLabelText(), &dialog)),
      fEdit(new QLineEdit(&dialog)),
      fAuf(AufAbKnopf(dialog, Qt::UpArrow, QStringLiteral("Stunden erhöhen"))),
      fAb(AufAbKnopf(dialog, Qt::DownArrow, QStringLiteral("Stunden verringern"))) {
    fLabel->setBuddy(fEdit);
    fEdit->setMaxLength(2);
    fEdit->setAlignment(Qt::AlignCenter);
    // Pasted text is held to digits as well.
    fEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), fEdit));
    fEdit->setText(QString::number(fPosition.Position()));
    fEdit->installEventFilter(this);
    connect(fAuf, &QToolButton::clicked, this, [this] { Schritt(+1); });
    connect(fAb, &QToolButton::clicked, this, [this] { Schritt(-1); });
}

void TStundenFeld::PositionSetzen(std::int64_t stunden) {
    fPosition.Setzen(stunden);
    fEdit->setText(QString::number(fPosition.Position()));
}

void TStundenFeld::Anordnen(const QRect& feld, const QRect& aufAb) {
    fEdit->setGeometry(feld);
    const int oben = aufAb.height() / 2;
    fAuf->setGeometry(aufAb.left(), aufAb.top(), aufAb.width(), oben);
    fAb->setGeometry(aufAb.left(), aufAb.top() + oben, aufAb.width(), aufAb.height() - oben);
}

QString TStundenFeld::EditText() const {
    return fEdit->text();
}

void TStundenFeld::Schritt(int richtung) {
    const int neu = fPosition.Schritt(fEdit->text(), richtung);
    fEdit->setText(QString::number(neu));
    fEdit->selectAll();
}

bool TStundenFeld::TasteGefiltert(QKeyEvent& taste) {
    if (taste.modifiers() == Qt::NoModifier || taste.modifiers() == Qt::KeypadModifier) {
        if (taste.key() == Qt::Key_Up || taste.key() == Qt::Key_Down) {
            Schritt(taste.key() == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    if (taste.matches(QKeySequence::Paste)) {
        // The validator would drop such a paste without a sound.
        const QString neu = TextNachEingabe(
            fEdit->text(), fEdit->selectionStart(), static_cast<int>(fEdit->selectedText().size()),
            fEdit->cursorPosition(), QGuiApplication::clipboard()->text());
        if (!StundenTextZulaessig(neu)) {
            Piepen();
            return true;
        }
        return false;
    }
    const QString eingabe = taste.text();
    const bool mitKuerzeltaste =
        (taste.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    if (eingabe.isEmpty() || eingabe.at(0) < QLatin1Char(' ') || mitKuerzeltaste) {
        return false; // control keys such as Backspace, and shortcuts
    }
    const QString neu = TextNachEingabe(fEdit->text(), fEdit->selectionStart(),
                                        static_cast<int>(fEdit->selectedText().size()),
                                        fEdit->cursorPosition(), eingabe);
    if (!StundenTextZulaessig(neu)) {
        Piepen();
        return true;
    }
    return false;
}

bool TStundenFeld::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (objekt == fEdit && ereignis->type() == QEvent::KeyPress) {
        return TasteGefiltert(*static_cast<QKeyEvent*>(ereignis));
    }
    return QObject::eventFilter(objekt, ereignis);
}

} // namespace lorvane
