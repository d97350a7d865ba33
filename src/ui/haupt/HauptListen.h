#pragma once
// The look of the main window's two report lists: whole rows selected, several at a
// time, read-only, two centred columns with grid lines, no header clicks.

#include <QStringList>
#include <QStyledItemDelegate>

class QFontMetrics;
class QTreeWidget;

namespace lorvane {

void ListeEinrichten(QTreeWidget& liste, const QStringList& spalten);

// A path as wide as `breite` at most: shortened before its file name ("/home/an…/Kapitel
// 1.mp3"), so that paths which share their start still differ; the name itself only
// when nothing else is left.
QString PfadKuerzen(const QString& pfad, const QFontMetrics& metrik, int breite);

// Centred cells framed by grid lines, as a report list draws them; with `pfade`, the
// first column's paths shortened by PfadKuerzen. The model keeps the whole path, which
// the screen reader reads.
class TListenDelegate : public QStyledItemDelegate {
public:
    TListenDelegate(QObject* parent, bool pfade) : QStyledItemDelegate(parent), fPfade(pfade) {}

    void paint(QPainter* maler, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // Public, so that the text a cell shows can be read back.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    bool fPfade;
};

// The file list: its paths shortened before the file name.
void PfadeKuerzen(QTreeWidget& liste);

} // namespace lorvane
