#include "platform/aussehen/KontrastZeichnen.h"

#include "platform/aussehen/FensterFarben.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace lorvane {

int RahmenDicke(int schriftHoehe) {
    return std::max(1, (schriftHoehe + 12) / 24);
}

int FokusDicke(int schriftHoehe) {
    return std::clamp((schriftHoehe + 6) / 12, 2, 4);
}

void RahmenZeichnen(QPainter& painter, const QRect& rect, const QColor& farbe, int dicke) {
    painter.save();
    painter.setClipRegion(Ring(rect, dicke));
    painter.fillRect(rect, farbe);
    painter.restore();
}

QRegion Ring(const QRect& rect, int dicke) {
    return QRegion(rect).subtracted(QRegion(rect.adjusted(dicke, dicke, -dicke, -dicke)));
}

void KnopfZeichnen(QPainter& painter, const QStyleOption& option, int dicke, bool standard) {
    const QColor text = option.palette.color(QPalette::ButtonText);
    const QColor flaeche = option.palette.color(QPalette::Button);
    const bool gedrueckt = (option.state & (QStyle::State_Sunken | QStyle::State_On)) != 0;
    painter.fillRect(option.rect, gedrueckt ? Mischfarbe(text, flaeche, 30) : flaeche);
    RahmenZeichnen(painter, option.rect, text, standard ? 2 * dicke : dicke);
}

void KopfZeichnen(QPainter& painter, const QStyleOption& option, int dicke) {
    painter.fillRect(option.rect, option.palette.color(QPalette::Button));
    RahmenZeichnen(painter, option.rect, option.palette.color(QPalette::ButtonText), dicke);
}

void FokusZeichnen(QPainter& painter, const QStyleOption& option, const QColor& grund, int dicke) {
    RahmenZeichnen(painter, option.rect, KontrastZu(option.palette, grund), dicke);
}

} // namespace lorvane
