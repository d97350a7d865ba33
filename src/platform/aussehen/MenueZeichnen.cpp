#include "platform/aussehen/MenueZeichnen.h"

#include "platform/aussehen/KontrastZeichnen.h"

#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QWidget>

#include <algorithm>

namespace lorvane {

namespace {

constexpr int kTextFlags = Qt::TextWordWrap | Qt::TextShowMnemonic;

struct TMasse {
    int Rand;  // left and right, and between the columns
    int Oben;  // above and below the text
    int Pruef; // the check column
    int Zeile; // one line
};

TMasse Masse(const QStyleOptionMenuItem& option) {
    const int zeile = option.fontMetrics.height();
    return {std::max(4, zeile / 4), std::max(2, zeile / 8), zeile, zeile};
}

// The item's text without its shortcut, which follows a tab.
QString Text(const QStyleOptionMenuItem& option) {
    return option.text.section(QLatin1Char('\t'), 0, 0);
}

QString Kuerzel(const QStyleOptionMenuItem& option) {
    return option.text.section(QLatin1Char('\t'), 1);
}

void KastenZeichnen(QPainter& painter, const QRect& kasten, const QColor& farbe, bool an) {
    RahmenZeichnen(painter, kasten, farbe, RahmenDicke(kasten.height() * 2));
    if (!an) {
        return;
    }
    // A tick across the box, as thick as its frame is thin.
    QPainterPath haken;
    haken.moveTo(kasten.left() + kasten.width() * 0.2, kasten.top() + kasten.height() * 0.5);
    haken.lineTo(kasten.left() + kasten.width() * 0.42, kasten.top() + kasten.height() * 0.75);
    haken.lineTo(kasten.left() + kasten.width() * 0.8, kasten.top() + kasten.height() * 0.25);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(farbe, std::max(2.0, kasten.width() / 7.0), Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.drawPath(haken);
    painter.restore();
}

} // namespace

QSize MenueEintragGroesse(const QStyleOptionMenuItem& option, int hoechstens) {
    const TMasse m = Masse(option);
    if (option.menuItemType == QStyleOptionMenuItem::Separator) {
        return {m.Pruef, m.Zeile / 2};
    }
    const int rahmen = 3 * m.Rand + m.Pruef + (Kuerzel(option).isEmpty() ? 0 : m.Rand);
    const QString text = Text(option);
    const int textBreite = option.fontMetrics.size(Qt::TextShowMnemonic, text).width();
    const int breite = std::min(rahmen + textBreite, std::max(rahmen + m.Zeile, hoechstens));
    const QRect umbrochen =
        option.fontMetrics.boundingRect(QRect(0, 0, breite - rahmen, 100000), kTextFlags, text);
    return {breite, std::max(umbrochen.height(), m.Zeile) + 2 * m.Oben};
}

void MenueEintragZeichnen(QPainter& painter, const QStyleOptionMenuItem& option, const QStyle& stil,
                          const QWidget* widget) {
    const TMasse m = Masse(option);
    const QRect& r = option.rect;
    const bool an = (option.state & QStyle::State_Enabled) != 0;
    const bool gewaehlt = an && (option.state & QStyle::State_Selected) != 0;
    painter.fillRect(r, option.palette.color(gewaehlt ? QPalette::Highlight : QPalette::Window));
    const QColor farbe =
        option.palette.color(gewaehlt ? QPalette::HighlightedText : QPalette::Text);
    if (option.menuItemType == QStyleOptionMenuItem::Separator) {
        painter.fillRect(
            QRect(r.left() + m.Rand, r.center().y(), r.width() - 2 * m.Rand, RahmenDicke(m.Zeile)),
            option.palette.color(QPalette::Mid));
        return;
    }
    if (option.checkType != QStyleOptionMenuItem::NotCheckable) {
        const int seite = m.Zeile * 7 / 10;
        KastenZeichnen(painter,
                       QRect(r.left() + m.Rand + (m.Pruef - seite) / 2,
                             r.top() + m.Oben + (m.Zeile - seite) / 2, seite, seite),
                       farbe, option.checked);
    }
    int flags = kTextFlags | Qt::AlignLeft | Qt::AlignVCenter;
    if (stil.styleHint(QStyle::SH_UnderlineShortcut, &option, widget) == 0) {
        flags |= Qt::TextHideMnemonic;
    }
    const int links = r.left() + 2 * m.Rand + m.Pruef;
    const int kuerzelBreite = option.reservedShortcutWidth;
    const QRect text(links, r.top() + m.Oben,
                     r.right() + 1 - links - m.Rand - kuerzelBreite -
                         (Kuerzel(option).isEmpty() ? 0 : m.Rand),
                     r.height() - 2 * m.Oben);
    painter.save();
    painter.setFont(option.font);
    painter.setPen(farbe);
    painter.drawText(text, flags, Text(option));
    if (!Kuerzel(option).isEmpty()) {
        painter.drawText(
            QRect(r.right() + 1 - m.Rand - kuerzelBreite, text.top(), kuerzelBreite, m.Zeile),
            Qt::AlignRight | Qt::AlignVCenter, Kuerzel(option));
    }
    painter.restore();
}

int MenueHoechstBreite(const QStyle& stil, const QWidget* widget) {
    const QScreen* bildschirm = widget != nullptr ? widget->screen() : nullptr;
    if (bildschirm == nullptr) {
        return 1 << 20;
    }
    const int rand = 2 * (stil.pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, widget) +
                          stil.pixelMetric(QStyle::PM_MenuHMargin, nullptr, widget));
    return bildschirm->availableGeometry().width() - rand;
}

} // namespace lorvane
