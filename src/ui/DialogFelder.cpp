#include "ui/DialogFelder.h"

#include "platform/Ansager.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

namespace lorvane {

void TFeldAnsagen::Hinzufuegen(QWidget& feld, const QString& text) {
    fEintraege.push_back({&feld, text});
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
                    fAnsager.Sprechen(eintrag.Text);
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

} // namespace

void LabelKlickFokussiert(QLabel& label) {
    label.installEventFilter(new TLabelKlick(label));
}

QSize OwnerGroesse(const QWidget& dialog) {
    if (const QWidget* owner = dialog.parentWidget(); owner != nullptr) {
        return owner->window()->frameGeometry().size();
    }
    const QScreen* bildschirm =
        dialog.screen() != nullptr ? dialog.screen() : QGuiApplication::primaryScreen();
    return bildschirm != nullptr ? bildschirm->availableGeometry().size() : QSize(1024, 768);
}

QSize RahmenZusatz(const QWidget& dialog) {
    return dialog.frameGeometry().size() - dialog.geometry().size();
}

} // namespace lorvane
