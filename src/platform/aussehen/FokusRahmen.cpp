#include "platform/aussehen/FokusRahmen.h"

#include <QApplication>
#include <QFocusFrame>
#include <QMenu>
#include <QPointer>

namespace lorvane {

namespace {

const QString kName = QStringLiteral("FokusRahmenFolger");

// Follows the focus; the frame goes with the window it was last in, so it is made
// anew when that window has gone.
class TFokusRahmen : public QObject {
public:
    explicit TFokusRahmen(QApplication& anwendung) : QObject(&anwendung) {
        setObjectName(kName);
        connect(&anwendung, &QApplication::focusChanged, this,
                [this](QWidget*, QWidget* neu) { Folgen(neu); });
    }

private:
    void Folgen(QWidget* neu) {
        const bool rahmbar =
            neu != nullptr && !neu->isWindow() && qobject_cast<QMenu*>(neu->window()) == nullptr;
        if (!rahmbar) {
            if (fRahmen != nullptr) {
                fRahmen->setWidget(nullptr);
            }
            return;
        }
        if (fRahmen == nullptr) {
            fRahmen = new QFocusFrame(neu->window());
            fRahmen->setObjectName(QStringLiteral("FokusRahmen"));
        }
        fRahmen->setWidget(neu);
    }

    QPointer<QFocusFrame> fRahmen;
};

} // namespace

void FokusRahmenEinrichten() {
    if (qApp->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly) == nullptr) {
        new TFokusRahmen(*qApp);
    }
}

} // namespace lorvane
