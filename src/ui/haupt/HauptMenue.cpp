#include "ui/haupt/HauptMenue.h"

#include "platform/aussehen/Zugaenglichkeit.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>
#include <QVariant>

namespace lorvane {

namespace {

constexpr const char* kNummer = "befehlsNummer";

QAction* Eintrag(QMenu& menu, const char* name, const QString& caption,
                 const QKeySequence& kuerzel = {}) {
    QAction* action = menu.addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(kuerzel);
    return action;
}

// A popup item: its shortcut belongs to the list, so that it acts while the list has
// the focus and is free for the other list's item of the same keys.
QAction* PopupEintrag(QMenu& menu, QTreeWidget& liste, const char* name, const QString& caption,
                      const QKeySequence& kuerzel, int nummer) {
    QAction* action = Eintrag(menu, name, caption, kuerzel);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    liste.addAction(action);
    BefehlsNummerSetzen(*action, nummer);
    return action;
}

QKeySequence Strg(Qt::Key taste) {
    return QKeySequence(Qt::CTRL | taste);
}

void HauptmenueErzeugen(THauptMenue& m, QMenuBar& leiste) {
    m.Datei = leiste.addMenu(QStringLiteral("&Datei"));
    m.Datei->setObjectName(QStringLiteral("MenuDatei"));
    m.MenuDateiAusgabeordner = Eintrag(*m.Datei, "MenuDateiAusgabeordner",
                                       QStringLiteral("Ausgabe&ordner öffnen..."), Strg(Qt::Key_O));
    m.MenuDateiLeeren =
        Eintrag(*m.Datei, "MenuDateiLeeren", QStringLiteral("Dateiliste &leeren"), Strg(Qt::Key_L));
    BefehlsNummerSetzen(*m.MenuDateiLeeren, 4);
    m.MenuDateiWeiter =
        Eintrag(*m.Datei, "MenuDateiWeiter", QStringLiteral("&Weiter..."), Strg(Qt::Key_W));
    m.MenuDateiBeenden = Eintrag(*m.Datei, "MenuDateiBeenden", QStringLiteral("&Beenden"),
                                 QKeySequence(Qt::ALT | Qt::Key_F4));

    m.Fenster = leiste.addMenu(QStringLiteral("&Fenster"));
    m.Fenster->setObjectName(QStringLiteral("MenuFenster"));
    m.MenuFensterOrdnerliste = Eintrag(*m.Fenster, "MenuFensterOrdnerliste",
                                       QStringLiteral("&Ordnerliste"), Strg(Qt::Key_1));
    m.MenuFensterDateiliste = Eintrag(*m.Fenster, "MenuFensterDateiliste",
                                      QStringLiteral("&Dateiliste"), Strg(Qt::Key_2));
    for (QAction* action : {m.MenuFensterOrdnerliste, m.MenuFensterDateiliste}) {
        action->setCheckable(true);
    }

    m.Ansicht = leiste.addMenu(QStringLiteral("&Ansicht"));
    m.Ansicht->setObjectName(QStringLiteral("MenuAnsicht"));
    m.MenuAnsSchriftart =
        Eintrag(*m.Ansicht, "MenuAnsSchriftart", QStringLiteral("&Schrifteinstellungen..."));

    m.Einstellungen = leiste.addMenu(QStringLiteral("&Einstellungen"));
    m.Einstellungen->setObjectName(QStringLiteral("MenuEinstellungen"));
    m.MenuEinstCopyMp3FileS = Eintrag(
        *m.Einstellungen, "MenuEinstCopyMp3FileS",
        QStringLiteral(
            "&Kopiere zusammengefügte MP3-Dateien zusätzlich in den Ausgabeordner ein/aus"));
    m.MenuEinstMinimierenS = Eintrag(
        *m.Einstellungen, "MenuEinstMinimierenS",
        QStringLiteral(
            "&Minimiere die Anwendung in die Symbolablage beim Start der M4B-Erstellung ein/aus"));
    m.MenuEinstPausenSchnittS =
        Eintrag(*m.Einstellungen, "MenuEinstPausenSchnittS",
                QStringLiteral("&Teile an Dateigrenzen oder Sprechpausen beenden ein/aus"));
    for (QAction* action :
         {m.MenuEinstCopyMp3FileS, m.MenuEinstMinimierenS, m.MenuEinstPausenSchnittS}) {
        action->setCheckable(true);
        SchalterZugangEinrichten(*action);
    }
    m.MenuEinstMaxStunden = Eintrag(*m.Einstellungen, "MenuEinstMaxStunden",
                                    QStringLiteral("Ungefähre &Länge jeder M4B-Datei..."));

    m.Hilfe = leiste.addMenu(QStringLiteral("&Hilfe"));
    m.Hilfe->setObjectName(QStringLiteral("MenuHilfe"));
    const std::array<const char*, 8> hilfe = {
        "&Hilfe...",    "&Kurztasten...", "&Änderungen...",     "&Mail an den Programmierer...",
        "Home&page...", "&Spenden...",    "&Aktualisierung...", "&Info"};
    for (std::size_t i = 0; i < hilfe.size(); ++i) {
        m.MenuHilfe[i] = m.Hilfe->addAction(QString::fromUtf8(hilfe[i]));
        m.MenuHilfe[i]->setObjectName(QStringLiteral("MenuHilfe%1").arg(i + 1));
        m.MenuHilfe[i]->setEnabled(false);
    }
    m.MenuHilfe[0]->setShortcut(QKeySequence(Qt::Key_F1));
}

void PopupsErzeugen(THauptMenue& m, QWidget& fenster, QTreeWidget& ordnerListe,
                    QTreeWidget& dateiListe) {
    m.PopupMenuLv1 = new QMenu(&fenster);
    m.PopupMenuLv1->setObjectName(QStringLiteral("PopupMenuLv1"));
    QMenu& p1 = *m.PopupMenuLv1;
    m.PuLv1Hinzufuegen =
        PopupEintrag(p1, ordnerListe, "PuLv1Hinzufuegen", QStringLiteral("MP3-Dateien &hinzufügen"),
                     Strg(Qt::Key_H), 2);
    m.PuLv1Zurueck = PopupEintrag(p1, ordnerListe, "PuLv1Zurueck", QStringLiteral("&Zurück"),
                                  QKeySequence(Qt::Key_Backspace), 1);
    m.PuLv1AllesMarkieren =
        PopupEintrag(p1, ordnerListe, "PuLv1AllesMarkieren",
                     QStringLiteral("Alle Einträge &markieren"), Strg(Qt::Key_A), 5);
    m.PuLv1Aktualisieren =
        PopupEintrag(p1, ordnerListe, "PuLv1Aktualisieren", QStringLiteral("&Aktualisieren"),
                     QKeySequence(Qt::Key_F5), 3);
    m.PuLv1OrdnerOeffnen = PopupEintrag(p1, ordnerListe, "PuLv1OrdnerOeffnen",
                                        QStringLiteral("Ordner ö&ffnen..."), Strg(Qt::Key_F), 4);

    m.PopupMenuLv2 = new QMenu(&fenster);
    m.PopupMenuLv2->setObjectName(QStringLiteral("PopupMenuLv2"));
    QMenu& p2 = *m.PopupMenuLv2;
    m.PuLv2NachOben = PopupEintrag(p2, dateiListe, "PuLv2NachOben",
                                   QStringLiteral("Eintrag nach &oben verschieben"),
                                   QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Up), 1);
    m.PuLv2NachUnten = PopupEintrag(p2, dateiListe, "PuLv2NachUnten",
                                    QStringLiteral("Eintrag nach &unten verschieben"),
                                    QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Down), 2);
    m.PuLv2Entfernen = PopupEintrag(p2, dateiListe, "PuLv2Entfernen",
                                    QStringLiteral("Markierte Einträge &entfernen"),
                                    QKeySequence(Qt::Key_Delete), 3);
    m.PuLv2AllesMarkieren =
        PopupEintrag(p2, dateiListe, "PuLv2AllesMarkieren",
                     QStringLiteral("Alle Einträge &markieren"), Strg(Qt::Key_A), 5);
    m.PuLv2Leeren = PopupEintrag(p2, dateiListe, "PuLv2Leeren", QStringLiteral("Liste &leeren"),
                                 Strg(Qt::Key_Delete), 4);
    p2.addSeparator();
    m.PuLv2PlayPause = PopupEintrag(p2, dateiListe, "PuLv2PlayPause", QStringLiteral("&Play/Pause"),
                                    Strg(Qt::Key_P), 6);
    m.PuLv2Stop =
        PopupEintrag(p2, dateiListe, "PuLv2Stop", QStringLiteral("&Stop"), Strg(Qt::Key_S), 7);
}

} // namespace

THauptMenue HauptMenueErzeugen(QMainWindow& fenster, QTreeWidget& ordnerListe,
                               QTreeWidget& dateiListe) {
    THauptMenue menue;
    HauptmenueErzeugen(menue, *fenster.menuBar());
    PopupsErzeugen(menue, fenster, ordnerListe, dateiListe);
    return menue;
}

int BefehlsNummer(const QObject& sender) {
    return sender.property(kNummer).toInt();
}

void BefehlsNummerSetzen(QObject& objekt, int nummer) {
    objekt.setProperty(kNummer, nummer);
}

} // namespace lorvane
