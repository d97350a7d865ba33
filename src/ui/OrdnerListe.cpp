#include "ui/OrdnerListe.h"

#include "platform/aussehen/Meldungen.h"
#include "ui/DateiListe.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStringList>
#include <QStyle>
#include <QTreeWidget>

namespace lorvane {

namespace {

QString Anzeige(const std::string& nativ) {
    return QFile::decodeName(QByteArray::fromStdString(nativ));
}

// The hourglass while the file system is read; restored on every way out.
class TSanduhr {
public:
    TSanduhr() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TSanduhr() { QApplication::restoreOverrideCursor(); }
    TSanduhr(const TSanduhr&) = delete;
    TSanduhr& operator=(const TSanduhr&) = delete;
};

} // namespace

QString JaNein(bool wert) {
    return wert ? QStringLiteral("Ja") : QStringLiteral("Nein");
}

QString PfadKuerzen(const QString& pfad, int breite, const QFontMetrics& metrik) {
    if (metrik.horizontalAdvance(pfad) <= breite) {
        return pfad;
    }
    const bool absolut = pfad.startsWith(QLatin1Char('/'));
    const bool schluss = pfad.endsWith(QLatin1Char('/'));
    const QStringList teile = pfad.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString ende = schluss ? QStringLiteral("/") : QString();
    QStringList kandidaten;
    for (qsizetype ab = 1; ab < teile.size(); ++ab) {
        const QString rest = teile.mid(ab).join(QLatin1Char('/')) + ende;
        kandidaten << (absolut ? QStringLiteral("/.../") : QStringLiteral(".../")) + rest;
    }
    if (!teile.isEmpty()) {
        kandidaten << QStringLiteral(".../") + teile.last() + ende;
    }
    for (const QString& kandidat : kandidaten) {
        if (metrik.horizontalAdvance(kandidat) <= breite) {
            return kandidat;
        }
    }
    // Even the last folder is too long: cut it from the left.
    return metrik.elidedText(kandidaten.isEmpty() ? pfad : kandidaten.last(), Qt::ElideLeft,
                             std::max(breite, 0));
}

int FokusZeile(const std::vector<QString>& captions, const QString& gemerkt) {
    if (captions.empty()) {
        return -1;
    }
    if (gemerkt.isEmpty()) {
        return 0;
    }
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (captions[i] == gemerkt) {
            return static_cast<int>(i);
        }
    }
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (captions[i].compare(gemerkt, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

TOrdnerListe::TOrdnerListe(QTreeWidget& liste, TLaufwerksQuelle laufwerke)
    : fListe(liste), fDateien(std::move(laufwerke)) {
    fListe.setColumnCount(2);
    fListe.setHeaderLabels({Lv1SpalteLaufwerk, Lv1SpalteUnterordner});
    fListe.headerItem()->setTextAlignment(0, Qt::AlignCenter);
    fListe.headerItem()->setTextAlignment(1, Qt::AlignCenter);
    fListe.header()->setSectionsClickable(false);
    fListe.setRootIsDecorated(false);
    fListe.setItemsExpandable(false);
    fListe.setSelectionMode(QAbstractItemView::ExtendedSelection);
    fListe.setSelectionBehavior(QAbstractItemView::SelectRows);
    fListe.setEditTriggers(QAbstractItemView::NoEditTriggers);
    fListe.setAllColumnsShowFocus(true);
    if (fListe.accessibleName().isEmpty()) {
        fListe.setAccessibleName(QStringLiteral("Ordnerliste"));
    }
    Fuellen();
}

std::optional<QString> TOrdnerListe::Fehler(const std::optional<std::string>& fehler) {
    if (!fehler) {
        return std::nullopt;
    }
    return QString::fromStdString(*fehler);
}

std::optional<QString> TOrdnerListe::PfadSetzen(const std::string& pfad) {
    TSanduhr sanduhr;
    if (auto fehler = Fehler(fDateien.SetPath(pfad))) {
        return fehler;
    }
    Fuellen();
    return std::nullopt;
}

std::optional<QString> TOrdnerListe::Aktualisieren() {
    TSanduhr sanduhr;
    if (auto fehler = Fehler(fDateien.Restore())) {
        return fehler;
    }
    Fuellen();
    return std::nullopt;
}

void TOrdnerListe::RestoreListView() {
    if (fDateien.Laufwerksebene()) {
        fListe.headerItem()->setText(0, Lv1SpalteLaufwerk);
        return;
    }
    const QHeaderView& kopf = *fListe.header();
    const int rand = 2 * kopf.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &kopf) + 4;
    fListe.headerItem()->setText(
        0, PfadKuerzen(Anzeige(fDateien.Path()), fListe.columnWidth(0) - rand, kopf.fontMetrics()));
}

void TOrdnerListe::Fuellen() {
    RestoreListView();
    const QTreeWidgetItem* alt = fListe.currentItem();
    const QString gemerkt = alt != nullptr ? alt->text(0) : QString();
    const bool updates = fListe.updatesEnabled();
    fListe.setUpdatesEnabled(false);
    fListe.clear();
    std::vector<QString> captions;
    QList<QTreeWidgetItem*> zeilen;
    for (int i = 0; i < fDateien.Count(); ++i) {
        const TDateienRec eintrag = fDateien.Liste(i);
        auto* zeile = new QTreeWidgetItem;
        zeile->setText(0, Anzeige(fDateien.Anzeigename(i)));
        zeile->setText(1, JaNein(eintrag.UnterordnerS));
        zeile->setData(0, NativerPfadRolle, QByteArray::fromStdString(eintrag.Name));
        captions.push_back(zeile->text(0));
        zeilen << zeile;
    }
    fListe.addTopLevelItems(zeilen);
    ZeileFokussieren(FokusZeile(captions, gemerkt));
    fListe.setUpdatesEnabled(updates);
}

void TOrdnerListe::ZeileFokussieren(int zeile) {
    QTreeWidgetItem* item = zeile >= 0 ? fListe.topLevelItem(zeile) : nullptr;
    if (item == nullptr) {
        return;
    }
    fListe.clearSelection();
    fListe.setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    fListe.scrollToItem(item);
}

TOrdnerListe::TWechsel TOrdnerListe::OrdnerWechseln(int qtKey) {
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter) {
        TSanduhr sanduhr;
        return Oeffnen();
    }
    if (qtKey == Qt::Key_Backspace) {
        TSanduhr sanduhr;
        return Zurueck();
    }
    return {};
}

TOrdnerListe::TWechsel TOrdnerListe::Oeffnen() {
    TWechsel wechsel{true, std::nullopt};
    QTreeWidgetItem* item = fListe.currentItem();
    const int index = item != nullptr ? fListe.indexOfTopLevelItem(item) : -1;
    if (index < 0 || index >= fDateien.Count()) {
        Piepen();
        return wechsel;
    }
    const std::string pfad = fDateien.PathUndOrdner(index);
    if (TDateien::HatUnterordner(pfad)) {
        wechsel.fehler = PfadSetzen(pfad);
        return wechsel;
    }
    // A folder without visible subfolders is never opened: its files are added by
    // selecting it here. A stale "Ja" is corrected first.
    if (fDateien.Liste(index).UnterordnerS) {
        wechsel.fehler = Aktualisieren();
    }
    Piepen();
    return wechsel;
}

TOrdnerListe::TWechsel TOrdnerListe::Zurueck() {
    TWechsel wechsel{true, std::nullopt};
    const std::string pfad = fDateien.Path();
    if (pfad.empty()) {
        Piepen();
        return wechsel;
    }
    const std::string ohne = OhneSchraegstrich(pfad);
    std::vector<QString> namen;
    QString ziel;
    if (ohne == "/" || fDateien.IstLaufwerksWurzel(pfad)) {
        wechsel.fehler = PfadSetzen("");
        ziel = Anzeige(ohne);
    } else {
        const std::size_t trenner = ohne.rfind('/');
        const std::string eltern =
            trenner == std::string::npos ? std::string("/") : ohne.substr(0, trenner + 1);
        wechsel.fehler = PfadSetzen(eltern);
        ziel = Anzeige(ohne.substr(trenner == std::string::npos ? 0 : trenner + 1));
    }
    if (wechsel.fehler) {
        return wechsel;
    }
    for (int i = 0; i < fDateien.Count(); ++i) {
        namen.push_back(Anzeige(fDateien.Liste(i).Name));
    }
    // The folder just left gets the focus, else the first row.
    const int zeile = FokusZeile(namen, ziel);
    ZeileFokussieren(zeile);
    return wechsel;
}

std::vector<std::string> TOrdnerListe::MarkierteOrdner() const {
    std::vector<std::string> ordner;
    for (int i = 0; i < fListe.topLevelItemCount() && i < fDateien.Count(); ++i) {
        if (fListe.topLevelItem(i)->isSelected()) {
            ordner.push_back(fDateien.PathUndOrdner(i));
        }
    }
    return ordner;
}

} // namespace lorvane
