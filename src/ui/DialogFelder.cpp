#include "ui/DialogFelder.h"

#include "platform/Ansager.h"
#include "platform/Fenster.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>

namespace lorvane {

void TFeldAnsagen::Hinzufuegen(QWidget& feld, const QString& text) {
    Hinzufuegen(feld, [text] { return text; });
}

void TFeldAnsagen::Hinzufuegen(QWidget& feld, std::function<QString()> text) {
    fEintraege.push_back({&feld, std::move(text)});
    feld.installEventFilter(this);
}

bool TFeldAnsagen::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (ereignis->type() == QEvent::FocusIn) {
        const Qt::FocusReason grund = static_cast<QFocusEvent*>(ereignis)->reason();
        const bool zurueck = grund == Qt::ActiveWindowFocusReason || grund == Qt::PopupFocusReason;
        if (!(zurueck && objekt == fZuletzt)) {
            for (const TEintrag& eintrag : fEintraege) {
                if (eintrag.Feld == objekt) {
                    fZuletzt = objekt;
                    fAnsager.Sprechen(eintrag.Text());
                }
            }
        }
    }
    return QObject::eventFilter(objekt, ereignis);
}

namespace {

class TLabelKlick : public QObject {
public:
    explicit TLabelKlick(QLabel& label) : QObject(&label) {}

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override {
        if (ereignis->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(ereignis)->button() == Qt::LeftButton) {
            if (QWidget* feld = static_cast<QLabel*>(objekt)->buddy(); feld != nullptr) {
                feld->setFocus(Qt::MouseFocusReason);
                return true;
            }
        }
        return QObject::eventFilter(objekt, ereignis);
    }
};

class TEingabeDrueckt : public QObject {
public:
    explicit TEingabeDrueckt(QPushButton& knopf) : QObject(&knopf) {}

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override {
        if (ereignis->type() == QEvent::KeyPress) {
            const auto& taste = *static_cast<QKeyEvent*>(ereignis);
            if ((taste.key() == Qt::Key_Return || taste.key() == Qt::Key_Enter) &&
                (taste.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                static_cast<QPushButton*>(objekt)->click();
                return true;
            }
        }
        return QObject::eventFilter(objekt, ereignis);
    }
};

} // namespace

void EingabeDruecktKnopf(QPushButton& knopf) {
    knopf.installEventFilter(new TEingabeDrueckt(knopf));
}

void LabelKlickFokussiert(QLabel& label) {
    label.installEventFilter(new TLabelKlick(label));
}

QSize OwnerGroesse(const QWidget& dialog) {
    if (const QWidget* owner = dialog.parentWidget(); owner != nullptr) {
        return owner->window()->frameGeometry().size();
    }
    return Arbeitsbereich(dialog).size();
}

} // namespace lorvane
