#pragma once
// The look of the main window's two report lists: whole rows selected, several at a
// time, read-only, two centred columns with grid lines, no header clicks.

#include <QStringList>

class QTreeWidget;

namespace lorvane {

void ListeEinrichten(QTreeWidget& liste, const QStringList& spalten);

} // namespace lorvane
