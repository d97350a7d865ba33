#include "platform/AnwendungsSymbol.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QPolygonF>

namespace lorvane {

namespace {

// All drawing in a 64 x 64 frame, scaled to the wanted size.
void HintergrundMalen(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1B, 0x4F, 0x72));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
}

void BuchMalen(QPainter& p) {
    const QColor seite(0xFF, 0xF8, 0xE7);
    p.setPen(QPen(QColor(0x0B, 0x2A, 0x3D), 1.5));
    p.setBrush(seite);
    p.drawPolygon(QPolygonF({{32, 34}, {10, 30}, {10, 54}, {32, 58}}));
    p.drawPolygon(QPolygonF({{32, 34}, {54, 30}, {54, 54}, {32, 58}}));
    // A few lines of text on each page.
    p.setPen(QPen(QColor(0x7A, 0x8A, 0x99), 1.5));
    for (int i = 0; i < 3; ++i) {
        const qreal y = 39 + 5 * i;
        p.drawLine(QPointF(14, y - 1), QPointF(28, y + 2));
        p.drawLine(QPointF(36, y + 2), QPointF(50, y - 1));
    }
}

void KopfhoererMalen(QPainter& p) {
    const QColor gelb(0xF5, 0xB7, 0x31);
    QPen buegel(gelb, 5);
    buegel.setCapStyle(Qt::RoundCap);
    p.setPen(buegel);
    p.setBrush(Qt::NoBrush);
    QPainterPath bogen;
    bogen.moveTo(12, 30);
    bogen.cubicTo(12, 2, 52, 2, 52, 30);
    p.drawPath(bogen);
    p.setPen(Qt::NoPen);
    p.setBrush(gelb);
    p.drawRoundedRect(QRectF(6, 24, 10, 16), 4, 4);
    p.drawRoundedRect(QRectF(48, 24, 10, 16), 4, 4);
}

} // namespace

QImage AnwendungsBild(int groesse) {
    QImage bild(groesse, groesse, QImage::Format_ARGB32_Premultiplied);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(groesse / 64.0, groesse / 64.0);
    HintergrundMalen(p);
    BuchMalen(p);
    KopfhoererMalen(p);
    return bild;
}

QIcon AnwendungsSymbol() {
    QIcon symbol;
    for (const int groesse : {16, 24, 32, 48, 64, 128, 256}) {
        symbol.addPixmap(QPixmap::fromImage(AnwendungsBild(groesse)));
    }
    return symbol;
}

} // namespace lorvane
