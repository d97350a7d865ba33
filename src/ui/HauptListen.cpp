#include "ui/HauptListen.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace lorvane {

namespace {

// Centred cells framed by grid lines, as a report list draws them.
class TGitterDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* maler, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(maler, option, index);
        maler->save();
        maler->setPen(option.palette.color(QPalette::Mid));
        maler->drawRect(option.rect.adjusted(0, 0, -1, -1));
        maler->restore();
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignCenter;
    }
};

} // namespace

void ListeEinrichten(QTreeWidget& liste, const QStringList& spalten) {
    liste.clear();
    liste.setColumnCount(static_cast<int>(spalten.size()));
    liste.setHeaderLabels(spalten);
    for (int i = 0; i < spalten.size(); ++i) {
        liste.headerItem()->setTextAlignment(i, Qt::AlignCenter);
    }
    liste.setRootIsDecorated(false);
    liste.setItemsExpandable(false);
    liste.setUniformRowHeights(true);
    liste.setSelectionMode(QAbstractItemView::ExtendedSelection);
    liste.setSelectionBehavior(QAbstractItemView::SelectRows);
    liste.setAllColumnsShowFocus(true);
    liste.setEditTriggers(QAbstractItemView::NoEditTriggers);
    liste.setSortingEnabled(false);
    liste.setItemDelegate(new TGitterDelegate(&liste));
    // The columns share the list's width; the frame's few pixels would only bring
    // a scroll bar.
    liste.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    liste.header()->setSectionsClickable(false);
    liste.header()->setSectionsMovable(false);
    liste.header()->setStretchLastSection(false);
    liste.header()->setSectionResizeMode(QHeaderView::Interactive);
    liste.header()->setDefaultAlignment(Qt::AlignCenter);
}

} // namespace lorvane
