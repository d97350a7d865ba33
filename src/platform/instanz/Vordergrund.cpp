#include "platform/instanz/Vordergrund.h"

#include <QWidget>

namespace lorvane {

namespace {

// The windows below the owner, not those below them.
void EigeneFenster(QWidget& owner, QList<QWidget*>& fenster) {
    for (QObject* kind : owner.children()) {
        auto* widget = qobject_cast<QWidget*>(kind);
        if (widget == nullptr) {
            continue;
        }
        if (widget->isWindow()) {
            fenster.append(widget);
        } else {
            EigeneFenster(*widget, fenster);
        }
    }
}

} // namespace

bool ForceForegroundWindow(QWidget& fenster) {
    if (fenster.isMinimized()) {
        fenster.setWindowState(fenster.windowState() & ~Qt::WindowMinimized);
    }
    if (!fenster.isVisible()) {
        fenster.show();
    }
    fenster.raise();
    fenster.activateWindow();
    return fenster.isActiveWindow();
}

void BringFormsToFront(QWidget& owner) {
    QList<QWidget*> fenster;
    EigeneFenster(owner, fenster);
    for (QWidget* widget : fenster) {
        if (widget->isVisible()) {
            ForceForegroundWindow(*widget);
            BringFormsToFront(*widget);
        }
    }
}

} // namespace lorvane
