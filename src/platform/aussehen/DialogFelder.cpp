#include "platform/aussehen/DialogFelder.h"

#include "platform/aussehen/Fenster.h"
#include "platform/sprache/Ansager.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>

namespace lorvane {

namespace {

TFokusWeg WegDesFokus(Qt::FocusReason grund) {
    switch (grund) {
    case Qt::ActiveWindowFocusReason:
        return TFokusWeg::Fenster;
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        return TFokusWeg::Menue;
    default:
        return TFokusWeg::Innerhalb;
    }
}

} // namespace

TFeldAnsagen::TFeldAnsagen(QObject* parent, IAnsager& ansager)
    : QObject(parent), fAnsager(ansager) {
    fNachDemEreignis.setSingleShot(true);
    fNachDemEreignis.setInterval(0);
    connect(&fNachDemEreignis, &QTimer::timeout, this, &TFeldAnsagen::AnsageFaellig);
}

void TFeldAnsagen::Hinzufuegen(QWidget& feld, const QString& text) {
    Hinzufuegen(feld, [text] { return text; });
}

void TFeldAnsagen::Hinzufuegen(QWidget& feld, std::function<QString()> text) {
    fEintraege.push_back({&feld, std::move(text)});
    feld.installEventFilter(this);
    // All fields of one set live in one window; its deactivation tells a return from a
    // first focus.
    if (fFenster == nullptr) {
        fFenster = feld.window();
        fFenster->installEventFilter(this);
    }
}

bool TFeldAnsagen::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (objekt == fFenster && ereignis->type() == QEvent::WindowDeactivate) {
        fRegel.FensterVerlassen();
    } else if (objekt != fFenster && ereignis->type() == QEvent::FocusIn) {
        fRegel.FokusErhalten(objekt, WegDesFokus(static_cast<QFocusEvent*>(ereignis)->reason()));
        fNachDemEreignis.start();
    }
    return QObject::eventFilter(objekt, ereignis);
}

void TFeldAnsagen::AnsageFaellig() {
    const void* feld = fRegel.Faellig();
    const QWidget* modal = QApplication::activeModalWidget();
    for (const TEintrag& eintrag : fEintraege) {
        // A field the focus has left again in the meantime, or whose window a dialog
        // has covered since, is not named any more.
        const QWidget* fenster = eintrag.Feld->window();
        if (eintrag.Feld == feld && eintrag.Feld->hasFocus() && fenster->isActiveWindow() &&
            (modal == nullptr || modal == fenster)) {
            fAnsager.Sprechen(eintrag.Text());
            fRegel.Genannt();
        }
    }
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
