#include "platform/aussehen/TitelZeile.h"

#include "platform/aussehen/KontrastZeichnen.h"

#include <QEvent>
#include <QFocusFrame>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace lorvane {

namespace {

constexpr int kInnen = 4;

} // namespace

TTitelZeile::TTitelZeile(QWidget& fenster) : QWidget(&fenster) {
    setObjectName(QStringLiteral("TitelZeile"));
    setFocusPolicy(Qt::NoFocus);
    fenster.installEventFilter(this);
    lower();
}

int TTitelZeile::Rand() const {
    return RahmenDicke(fontMetrics().height()) + 1;
}

int TTitelZeile::Hoehe() const {
    return fontMetrics().height() + 2 * kInnen;
}

QPoint TTitelZeile::Versatz() const {
    return {Rand(), Rand() + Hoehe()};
}

QSize TTitelZeile::Zusatz() const {
    return {2 * Rand(), Hoehe() + 2 * Rand()};
}

void TTitelZeile::Einpassen(QSize client) {
    QWidget& fenster = *parentWidget();
    const QPoint versatz = Versatz();
    for (QWidget* kind : fenster.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        // The focus frame follows its control by itself.
        if (kind != this && !kind->isWindow() && qobject_cast<QFocusFrame*>(kind) == nullptr) {
            kind->move(kind->pos() + versatz);
        }
    }
    const QSize aussen = client + Zusatz();
    fenster.setFixedSize(aussen);
    setGeometry(QRect(QPoint(0, 0), aussen));
    lower();
}

void TTitelZeile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor text = palette().color(QPalette::WindowText);
    RahmenZeichnen(painter, rect(), text, Rand());
    const QRect band(Rand(), Rand(), width() - 2 * Rand(), Hoehe());
    painter.fillRect(band, text);
    painter.setPen(palette().color(QPalette::Window));
    const QRect schrift = band.adjusted(kInnen, 0, -kInnen, 0);
    painter.drawText(
        schrift, Qt::AlignCenter,
        fontMetrics().elidedText(window()->windowTitle(), Qt::ElideRight, schrift.width()));
}

void TTitelZeile::mousePressEvent(QMouseEvent* ereignis) {
    const bool imBand = ereignis->position().y() < Rand() + Hoehe();
    if (ereignis->button() == Qt::LeftButton && imBand && window()->windowHandle() != nullptr) {
        window()->windowHandle()->startSystemMove();
        return;
    }
    QWidget::mousePressEvent(ereignis);
}

bool TTitelZeile::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (objekt == parentWidget() && ereignis->type() == QEvent::WindowTitleChange) {
        update();
    }
    return QWidget::eventFilter(objekt, ereignis);
}

TTitelZeile& TitelZeileAnbringen(QWidget& fenster) {
    const Qt::WindowFlags knoepfe = Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint |
                                    Qt::WindowSystemMenuHint | Qt::WindowTitleHint |
                                    Qt::WindowContextHelpButtonHint;
    fenster.setWindowFlags((fenster.windowFlags() & ~knoepfe) | Qt::FramelessWindowHint);
    return *new TTitelZeile(fenster);
}

} // namespace lorvane
