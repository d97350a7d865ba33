#include "platform/QtTrayIcon.h"

#include "platform/AnwendungsSymbol.h"

#include <QApplication>
#include <QWidget>

#include <utility>

namespace lorvane {

namespace {

constexpr Qt::WindowStates OhneMinimiert(Qt::WindowStates zustand) {
    return zustand & ~(Qt::WindowMinimized | Qt::WindowActive);
}

} // namespace

TQtTrayIcon::TQtTrayIcon(QWidget& hauptfenster, QObject* parent,
                         std::function<bool()> trayVorhanden)
    : QObject(parent), fHauptfenster(hauptfenster), fTrayVorhanden(std::move(trayVorhanden)) {
    const QIcon anwendung = QApplication::windowIcon();
    fSymbol.setIcon(anwendung.isNull() ? AnwendungsSymbol() : anwendung);
    connect(&fSymbol, &QSystemTrayIcon::activated, this, &TQtTrayIcon::Aktiviert);
}

TQtTrayIcon::~TQtTrayIcon() {
    fSymbol.hide();
    if (fVerborgen) {
        QApplication::setQuitOnLastWindowClosed(fQuitVorher);
    }
}

bool TQtTrayIcon::TrayVorhanden() const {
    return fTrayVorhanden ? fTrayVorhanden() : QSystemTrayIcon::isSystemTrayAvailable();
}

void TQtTrayIcon::SichtbarSetzen(bool sichtbar) {
    fSichtbar = sichtbar;
    fSymbol.setVisible(sichtbar && TrayVorhanden());
}

QString TQtTrayIcon::Hint() const {
    return fSymbol.toolTip();
}

void TQtTrayIcon::HintSetzen(const QString& text) {
    fSymbol.setToolTip(text);
}

void TQtTrayIcon::Minimieren(QWidget& fenster) {
    if (fenster.isMinimized()) {
        return;
    }
    fMinimiert.append({&fenster, OhneMinimiert(fenster.windowState())});
    fenster.setWindowState(fenster.windowState() | Qt::WindowMinimized);
}

void TQtTrayIcon::Wiederherstellen(QWidget& fenster, Qt::WindowStates vorher) {
    if (fenster.isMinimized()) {
        fenster.setWindowState(vorher);
    }
}

void TQtTrayIcon::AnwendungMinimieren() {
    for (QWidget* fenster : QApplication::topLevelWidgets()) {
        // Only real windows: no menus, tool tips or hidden helpers.
        const Qt::WindowType typ = fenster->windowType();
        if (fenster->isVisible() &&
            (typ == Qt::Window || typ == Qt::Dialog || fenster == &fHauptfenster)) {
            Minimieren(*fenster);
        }
    }
}

void TQtTrayIcon::HauptfensterVerbergen() {
    if (!TrayVorhanden()) {
        Minimieren(fHauptfenster);
        return;
    }
    if (!fVerborgen) {
        // A running dialog (the progress window) may close while the main window is
        // hidden: that is not the end of the program.
        fQuitVorher = QApplication::quitOnLastWindowClosed();
        QApplication::setQuitOnLastWindowClosed(false);
        fVerborgen = true;
    }
    fHauptfenster.hide();
}

void TQtTrayIcon::HauptfensterZeigen() {
    const QList<TMinimiert> minimiert = std::exchange(fMinimiert, {});
    Qt::WindowStates hauptVorher = OhneMinimiert(fHauptfenster.windowState());
    for (const TMinimiert& eintrag : minimiert) {
        if (eintrag.Fenster == &fHauptfenster) {
            hauptVorher = eintrag.Vorher;
        }
    }
    Wiederherstellen(fHauptfenster, hauptVorher);
    fHauptfenster.show();
    if (fVerborgen) {
        QApplication::setQuitOnLastWindowClosed(fQuitVorher);
        fVerborgen = false;
    }
    // The dialogs come back above the main window.
    for (const TMinimiert& eintrag : minimiert) {
        if (!eintrag.Fenster.isNull() && eintrag.Fenster != &fHauptfenster) {
            Wiederherstellen(*eintrag.Fenster, eintrag.Vorher);
        }
    }
    QWidget* vorne = QApplication::activeModalWidget();
    if (vorne == nullptr) {
        vorne = &fHauptfenster;
    }
    vorne->raise();
    vorne->activateWindow();
}

void TQtTrayIcon::Aktiviert(QSystemTrayIcon::ActivationReason grund) {
    if ((grund == QSystemTrayIcon::Trigger || grund == QSystemTrayIcon::DoubleClick) && Klick) {
        Klick();
    }
}

} // namespace lorvane
