#include "ui/DateiListe.h"

#include <QByteArray>
#include <QFile>
#include <QTreeWidget>

namespace lorvane {

static_assert(NativerPfadRolle == Qt::UserRole);

QString PfadAnzeige(const std::string& nativerPfad) {
    return QFile::decodeName(QByteArray::fromStdString(nativerPfad));
}

QTreeWidgetItem* DateiZeileErzeugen(const TDateiZeile& zeile) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, PfadAnzeige(zeile.Caption));
    item->setText(1, QString::fromStdString(zeile.Dauer));
    item->setData(0, NativerPfadRolle, QByteArray::fromStdString(zeile.Caption));
    return item;
}

std::string NativerPfad(const QTreeWidgetItem& item) {
    const QVariant daten = item.data(0, NativerPfadRolle);
    if (daten.isValid()) {
        return daten.toByteArray().toStdString();
    }
    return QFile::encodeName(item.text(0)).toStdString();
}

std::vector<TDateiZeile> DateiZeilen(const QTreeWidget& liste) {
    std::vector<TDateiZeile> zeilen;
    zeilen.reserve(static_cast<std::size_t>(liste.topLevelItemCount()));
    for (int i = 0; i < liste.topLevelItemCount(); ++i) {
        const QTreeWidgetItem& item = *liste.topLevelItem(i);
        zeilen.push_back(TDateiZeile{NativerPfad(item), item.text(1).toStdString()});
    }
    return zeilen;
}

} // namespace lorvane
