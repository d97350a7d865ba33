#pragma once
// The rows of the file list: caption = the file's full path as shown, first sub-item =
// its playing time. Each row also keeps the path as the file system spells it (bytes
// that need not be valid UTF-8), and the job is built from that path, so that a file
// with such a name is read, not lost.

#include "engine/JobState.h"

#include <QString>

#include <string>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace lorvane {

// The row data that holds the native path (a QByteArray).
inline constexpr int NativerPfadRolle = 0x0100; // Qt::UserRole

QString PfadAnzeige(const std::string& nativerPfad);
QTreeWidgetItem* DateiZeileErzeugen(const TDateiZeile& zeile);
std::string NativerPfad(const QTreeWidgetItem& item);
// The rows in list order, with native paths.
std::vector<TDateiZeile> DateiZeilen(const QTreeWidget& liste);

} // namespace lorvane
