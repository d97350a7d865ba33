#pragma once
// The program's icon, drawn in code: an open book under headphones, for the windows
// and the notification area.

#include <QIcon>
#include <QImage>

namespace lorvane {

// One square picture of the icon; needs no display.
QImage AnwendungsBild(int groesse);
// The icon in the usual sizes from 16 to 256 pixels.
QIcon AnwendungsSymbol();

} // namespace lorvane
