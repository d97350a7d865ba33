#pragma once
// How the application style draws the items of a menu: in the menu's own two colours,
// the chosen item inverted, a check box as high as the text, and a text that wraps onto
// more lines where one line would be wider than the screen (the settings items are
// whole sentences, too long for one line at a large font).

#include <QSize>

class QPainter;
class QStyle;
class QStyleOptionMenuItem;
class QWidget;

namespace lorvane {

// An item's size for its text, at most `hoechstens` wide (not counting the shortcut
// column, which the menu adds).
QSize MenueEintragGroesse(const QStyleOptionMenuItem& option, int hoechstens);
void MenueEintragZeichnen(QPainter& painter, const QStyleOptionMenuItem& option, const QStyle& stil,
                          const QWidget* widget);
// The widest item a menu on this widget's screen may have.
int MenueHoechstBreite(const QStyle& stil, const QWidget* widget);

} // namespace lorvane
