#include "platform/aussehen/Meldungen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <string>

namespace lorvane {

namespace {

std::atomic<int> piepZaehler{0};

struct TKnopf {
    const char* Text;
    QMessageBox::ButtonRole Rolle;
};

// The box takes the look its owner's window was given; without an owner, that of the
// active window.
void AussehenUebernehmen(QMessageBox& box, QWidget* owner) {
    const QWidget* quelle = owner != nullptr ? owner->window() : QApplication::activeWindow();
    if (quelle != nullptr) {
        box.setFont(quelle->font());
        box.setPalette(quelle->palette());
    }
    // Qt wraps a long text at a fixed width, which gives a large font many short lines
    // and a box higher than the screen: the text may take up to half the screen's width.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        label != nullptr && box.screen() != nullptr) {
        const int haelfte = box.screen()->availableGeometry().width() / 2;
        label->setMinimumWidth(std::min(label->sizeHint().width(), haelfte));
    }
}

// The boxes are centred on the screen and read by the screen reader as a whole. The
// first button is the default; the answer is the index of the button pressed, the
// escape button's when the box was closed otherwise.
int MeldungZeigen(QWidget* owner, QMessageBox::Icon art, const QString& text,
                  std::initializer_list<TKnopf> knoepfe, int escape) {
    QMessageBox box(art, QApplication::applicationDisplayName(), MeldungsText(text),
                    QMessageBox::NoButton, owner);
    AussehenUebernehmen(box, owner);
    QList<QPushButton*> buttons;
    for (const TKnopf& knopf : knoepfe) {
        buttons << box.addButton(QString::fromUtf8(knopf.Text), knopf.Rolle);
    }
    box.setDefaultButton(buttons.first());
    box.setEscapeButton(buttons.at(escape));
    box.exec();
    const auto gedrueckt = buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return gedrueckt >= 0 ? static_cast<int>(gedrueckt) : escape;
}

} // namespace

QString MeldungsText(const QString& text) {
    QString ergebnis = text;
    return ergebnis.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString MeldungsText(const std::string& text) {
    return MeldungsText(QString::fromStdString(text));
}

bool FrageJaNein(QWidget* owner, const QString& text) {
    return MeldungZeigen(owner, QMessageBox::Question, text,
                         {{"Ja", QMessageBox::YesRole}, {"Nein", QMessageBox::NoRole}}, 1) == 0;
}

TAntwort FrageJaNeinAbbrechen(QWidget* owner, const QString& text) {
    const int antwort = MeldungZeigen(owner, QMessageBox::Question, text,
                                      {{"Ja", QMessageBox::YesRole},
                                       {"Nein", QMessageBox::NoRole},
                                       {"Abbrechen", QMessageBox::RejectRole}},
                                      2);
    return antwort == 0 ? TAntwort::Ja : antwort == 1 ? TAntwort::Nein : TAntwort::Abbrechen;
}

void FehlerZeigen(QWidget* owner, const QString& text) {
    MeldungZeigen(owner, QMessageBox::Critical, text, {{"OK", QMessageBox::AcceptRole}}, 0);
}

void InfoZeigen(QWidget* owner, const QString& text) {
    MeldungZeigen(owner, QMessageBox::Information, text, {{"OK", QMessageBox::AcceptRole}}, 0);
}

void Piepen() {
    ++piepZaehler;
    QApplication::beep();
}

int PiepZaehler() {
    return piepZaehler.load();
}

namespace {

bool IstEinfuegen(const QEvent& ereignis) {
    if (ereignis.type() == QEvent::KeyPress || ereignis.type() == QEvent::ShortcutOverride) {
        return static_cast<const QKeyEvent&>(ereignis).matches(QKeySequence::Paste);
    }
    if (ereignis.type() == QEvent::MouseButtonPress ||
        ereignis.type() == QEvent::MouseButtonRelease) {
        return static_cast<const QMouseEvent&>(ereignis).button() == Qt::MiddleButton;
    }
    return false;
}

} // namespace

bool EinfuegenAbweisen(QEvent& ereignis) {
    if (!IstEinfuegen(ereignis)) {
        return false;
    }
    if (ereignis.type() == QEvent::KeyPress || ereignis.type() == QEvent::MouseButtonPress) {
        Piepen();
    }
    ereignis.accept();
    return true;
}

} // namespace lorvane
