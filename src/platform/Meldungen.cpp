#include "platform/Meldungen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

#include <atomic>
#include <string>

namespace lorvane {

namespace {

std::atomic<int> piepZaehler{0};

// The boxes are centred on the screen and read by the screen reader as a whole.
int MeldungZeigen(QWidget* owner, QMessageBox::Icon art, const QString& text, bool frage) {
    QMessageBox box(art, QApplication::applicationDisplayName(), MeldungsText(text),
                    QMessageBox::NoButton, owner);
    if (frage) {
        QPushButton* ja = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
        QPushButton* nein = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
        box.setDefaultButton(ja);
        box.setEscapeButton(nein);
        box.exec();
        return box.clickedButton() == ja ? 1 : 0;
    }
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return 1;
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
    return MeldungZeigen(owner, QMessageBox::Question, text, true) == 1;
}

void FehlerZeigen(QWidget* owner, const QString& text) {
    MeldungZeigen(owner, QMessageBox::Critical, text, false);
}

void InfoZeigen(QWidget* owner, const QString& text) {
    MeldungZeigen(owner, QMessageBox::Information, text, false);
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
