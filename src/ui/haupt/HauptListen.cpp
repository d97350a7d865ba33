#include "ui/haupt/HauptListen.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace lorvane {

void TListenDelegate::paint(QPainter* maler, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyledItemDelegate::paint(maler, option, index);
    maler->save();
    maler->setPen(option.palette.color(QPalette::Mid));
    maler->drawRect(option.rect.adjusted(0, 0, -1, -1));
    maler->restore();
}

void TListenDelegate::initStyleOption(QStyleOptionViewItem* option,
                                      const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->displayAlignment = Qt::AlignCenter;
    if (fPfade && index.column() == 0) {
        // The room the style leaves the text: the cell without its margins.
        const QStyle* stil = option->widget != nullptr ? option->widget->style() : nullptr;
        const int rand =
            stil != nullptr
                ? stil->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option->widget) + 1
                : 0;
        option->text =
            PfadKuerzen(option->text, option->fontMetrics, option->rect.width() - 2 * rand - 1);
    }
}

QString PfadKuerzen(const QString& pfad, const QFontMetrics& metrik, int breite) {
    if (metrik.horizontalAdvance(pfad) <= breite) {
        return pfad;
    }
    const qsizetype schnitt = pfad.lastIndexOf(QLatin1Char('/'));
    const QString name = pfad.mid(schnitt + 1);
    const QString schluss = pfad.mid(schnitt);
    const int fuerAnfang = breite - metrik.horizontalAdvance(schluss);
    if (schnitt < 0 || fuerAnfang < metrik.horizontalAdvance(QChar(0x2026))) {
        return metrik.elidedText(name, Qt::ElideMiddle, breite);
    }
    return metrik.elidedText(pfad.left(schnitt), Qt::ElideRight, fuerAnfang) + schluss;
}

void PfadeKuerzen(QTreeWidget& liste) {
    liste.setItemDelegate(new TListenDelegate(&liste, true));
    // Only for what the delegate's text still does not fit.
    liste.setTextElideMode(Qt::ElideMiddle);
}

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
    liste.setItemDelegate(new TListenDelegate(&liste, false));
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
