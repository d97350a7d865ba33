#pragma once
// Shared by the dialog tests: a screen reader that records, typing of characters
// that QTest's Latin-1 helpers cannot send, and showing a dialog over an owner.

#include "platform/sprache/Ansager.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace lorvane::test {

class TAufnahmeAnsager : public IAnsager {
public:
    void Sprechen(const QString& text) override { Texte << text; }
    QStringList Texte;
};

// Types each character (a whole code point, also beyond the BMP) as a key press with
// that text, as the keyboard delivers it.
inline void Tippen(QWidget& ziel, const QString& text) {
    const QList<uint> zeichen = text.toUcs4();
    for (uint c : zeichen) {
        const char32_t code = static_cast<char32_t>(c);
        const QString einzeln = QString::fromUcs4(&code, 1);
        const int taste = c < 0x80 ? QKeySequence(einzeln)[0].key() : Qt::Key_unknown;
        QKeyEvent druck(QEvent::KeyPress, taste, Qt::NoModifier, einzeln);
        QApplication::sendEvent(&ziel, &druck);
        QKeyEvent los(QEvent::KeyRelease, taste, Qt::NoModifier, einzeln);
        QApplication::sendEvent(&ziel, &los);
    }
}

// The owner every dialog is centred over.
inline void OwnerZeigen(QWidget& owner) {
    owner.resize(1000, 700);
    owner.move(0, 0);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
}

} // namespace lorvane::test
