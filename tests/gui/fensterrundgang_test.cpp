// Every window, message box and menu of the program at font sizes 5, 12, 30 and 35 in
// yellow on black, as the users with low vision chose them, and at 12 in the default
// black on white; the font dialog at the same sizes. A screenshot of each goes into the
// build folder (with the window manager's frame when openbox is there to draw one), and
// each is checked: no caption clipped, every control that takes the keyboard focus named
// for the screen reader, no two controls over each other, the chosen font and colours on
// every control, and the whole window within the screen's work area.

#include "engine/BearbeitenDlgC.h"
#include "engine/JobState.h"
#include "engine/ordner/Ordner.h"
#include "platform/aussehen/Fenster.h"
#include "platform/aussehen/KivBackFontDlg.h"
#include "platform/aussehen/Meldungen.h"
#include "platform/aussehen/SchriftStil.h"
#include "platform/aussehen/TitelZeile.h"
#include "platform/instanz/KivRegistry.h"
#include "platform/sprache/Ansager.h"
#include "support/QtTestSupport.h"
#include "ui/BearbeitenFenster.h"
#include "ui/DateiListe.h"
#include "ui/HinzufuegenDlgC.h"
#include "ui/MetaDlgC.h"
#include "ui/StundenDlgC.h"
#include "ui/haupt/Haupt.h"
#include "ui/haupt/HauptListen.h"
#include "ui/haupt/HauptRegeln.h"

#include "RundgangPruefungen.h"

#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <functional>

using namespace lorvane;

namespace {

constexpr std::uint32_t Gelb = 0x0000FFFFu;
constexpr std::uint32_t Schwarz = 0x00000000u;

QString BildOrdner() {
    const QString ordner = qEnvironmentVariable("LORVANE_SCREENSHOT_DIR", QDir::currentPath());
    QDir().mkpath(ordner);
    return ordner;
}

// Stored colours as the settings keep them: 32-bit integers.
qint32 Gespeichert(std::uint32_t farbe) {
    return static_cast<qint32>(farbe);
}

bool FensterManagerBereit() {
    QProcess abfrage;
    abfrage.start(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"});
    return abfrage.waitForFinished(5000) && abfrage.readAllStandardOutput().contains("window id");
}

// Four files whose long paths differ only in their names.
std::vector<TDateiZeile> LangeZeilen() {
    std::vector<TDateiZeile> zeilen;
    for (int i = 1; i <= 4; ++i) {
        zeilen.push_back({"/home/anna/Hörbücher/Ein sehr langer Ordnername für das Hörbuch/"
                          "Kapitel " +
                              std::to_string(i) + ".mp3",
                          "00:0" + std::to_string(i) + ":00"});
    }
    return zeilen;
}

} // namespace

class FensterRundgangTest : public QObject {
    Q_OBJECT

    QProcess fFensterManager;
    QStringList fFehler;

    struct TLauf {
        QString Name; // size, and the colours when they are the default
        int Groesse = 12;
        TAussehen Aussehen;
    };

    static TLauf Lauf() {
        QFETCH(int, groesse);
        QFETCH(bool, gelbAufSchwarz);
        TLauf lauf;
        lauf.Groesse = groesse;
        lauf.Name = QString::number(groesse) + (gelbAufSchwarz ? "" : "-standard");
        lauf.Aussehen.AktFont.Size = groesse;
        if (gelbAufSchwarz) {
            lauf.Aussehen.AktFont.Color = Gelb;
            lauf.Aussehen.AktBackColor = Schwarz;
        }
        return lauf;
    }

    static void LaeufeAnlegen() {
        QTest::addColumn<int>("groesse");
        QTest::addColumn<bool>("gelbAufSchwarz");
        for (const int groesse : {5, 12, 30, 35}) {
            QTest::newRow(qPrintable(QString::number(groesse))) << groesse << true;
        }
        QTest::newRow("12-standard") << 12 << false;
    }

    bool MitFensterManager() const { return fFensterManager.state() == QProcess::Running; }

    // The window as it stands on the screen, frame included when there is one; a window
    // behind a box as it draws itself.
    QPixmap Bild(QWidget& fenster, bool vomBildschirm) const {
        if (vomBildschirm && MitFensterManager() && fenster.screen() != nullptr) {
            const QRect r = test::Rahmen(fenster);
            QPixmap bild = fenster.screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
            if (!bild.isNull()) {
                return bild;
            }
        }
        return fenster.grab();
    }

    // Until the window manager has framed the window, its frame is not known.
    void Abwarten(QWidget& fenster) {
        fenster.raise();
        if (!QTest::qWaitForWindowExposed(&fenster)) {
            fFehler << fenster.objectName() + ": nicht sichtbar";
            return;
        }
        const bool gerahmt = !fenster.windowFlags().testFlag(Qt::FramelessWindowHint) &&
                             fenster.windowType() != Qt::Popup;
        if (MitFensterManager() && gerahmt) {
            if (!QTest::qWaitFor([&] { return test::Rahmen(fenster) != fenster.geometry(); },
                                 5000)) {
                fFehler << fenster.windowTitle() + " " + test::Name(fenster) +
                               QStringLiteral(": ohne Rahmen (%1x%2)")
                                   .arg(fenster.width())
                                   .arg(fenster.height());
            }
        }
        QTest::qWait(0);
        QCoreApplication::processEvents();
    }

    // Collects what is wrong instead of failing at once, so that it can run inside a
    // box's own event loop; the test fails on the collected list.
    void Pruefen(QWidget& fenster, const QString& name, const TLauf& lauf,
                 bool vomBildschirm = true) {
        const QString was = name + "-" + lauf.Name;
        if (!fenster.isVisible()) {
            fFehler << was + ": nicht sichtbar";
            return;
        }
        const QString datei = QStringLiteral("%1/%2.png").arg(BildOrdner(), was);
        if (!Bild(fenster, vomBildschirm).save(datei)) {
            fFehler << datei;
        }
        const QColor text = FarbeAus(lauf.Aussehen.AktFont.Color, QApplication::palette());
        const QColor grund = FarbeAus(lauf.Aussehen.AktBackColor, QApplication::palette());
        const std::pair<const char*, QStringList> befunde[] = {
            {"abgeschnitten", test::AbgeschnitteneTexte(fenster)},
            {"ohne Namen", test::NamenloseControls(fenster)},
            {"überlappend", test::UeberlappendeControls(fenster)},
            {"fremde Farben", test::FremdeFarben(fenster, text, grund)},
            {"kleinere Schrift", test::KleinereSchrift(fenster, lauf.Groesse)},
        };
        for (const auto& [art, liste] : befunde) {
            if (!liste.isEmpty()) {
                fFehler << was + " " + art + ": " + liste.join(", ");
            }
        }
        if (!test::ImArbeitsbereich(fenster)) {
            fFehler << was + QStringLiteral(": ragt aus dem Arbeitsbereich (%1,%2 %3x%4)")
                                 .arg(test::Rahmen(fenster).x())
                                 .arg(test::Rahmen(fenster).y())
                                 .arg(test::Rahmen(fenster).width())
                                 .arg(test::Rahmen(fenster).height());
        }
    }

    // The window that must show no title-bar buttons: frameless, its own title line
    // showing its title above every control.
    void NurTitel(QWidget& fenster, const QString& name) {
        const Qt::WindowFlags flags = fenster.windowFlags();
        const auto* titel = fenster.findChild<QWidget*>(QStringLiteral("TitelZeile"));
        if (!flags.testFlag(Qt::FramelessWindowHint) ||
            (flags & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)) != 0 ||
            titel == nullptr || !titel->isVisible()) {
            fFehler << name + ": Knöpfe in der Titelleiste";
            return;
        }
        const int unterkante = static_cast<const TTitelZeile*>(titel)->Versatz().y();
        for (const QWidget* control : fenster.findChildren<QWidget*>()) {
            if (control->parentWidget() == &fenster && control != titel && !control->isWindow() &&
                control->isVisible() && control->y() < unterkante) {
                fFehler << name + ": unter der Titelzeile " + test::Name(*control);
            }
        }
    }

    // Checks the next box that opens (and the window `dazu`, which waits behind it),
    // then answers it with its escape button.
    void BeiBox(const QString& name, const TLauf& lauf, QWidget* dazu = nullptr,
                const QString& dazuName = {}, std::function<void()> dazuPruefen = {}) {
        test::WennModalOffen<QMessageBox>([this, name, lauf, dazu = QPointer<QWidget>(dazu),
                                           dazuName, dazuPruefen](QMessageBox& box) {
            Abwarten(box);
            Pruefen(box, name, lauf);
            if (dazu != nullptr) {
                Pruefen(*dazu, dazuName, lauf, false);
            }
            if (dazuPruefen) {
                dazuPruefen();
            }
            QMetaObject::invokeMethod(&box, &QDialog::reject, Qt::QueuedConnection);
        });
    }

    void Menues(TForm1& haupt, const TLauf& lauf) {
        const THauptMenue& m = haupt.Menue;
        for (QMenu* menu : {m.Datei, m.Fenster, m.Ansicht, m.Einstellungen, m.Hilfe, m.PopupMenuLv1,
                            m.PopupMenuLv2}) {
            menu->popup(haupt.mapToGlobal(QPoint(40, 60)));
            Abwarten(*menu);
            Pruefen(*menu, "menue-" + menu->objectName(), lauf);
            menu->hide();
        }
    }

    // The paths are shortened before the file name: each row still shows its name whole.
    void DateinamenSichtbar(const TForm1& haupt) {
        const QTreeWidget& liste = *haupt.ListView2;
        const auto* delegate = dynamic_cast<const TListenDelegate*>(liste.itemDelegate());
        if (delegate == nullptr) {
            fFehler << "Dateiliste ohne ihre Zellen";
            return;
        }
        for (int i = 0; i < liste.topLevelItemCount(); ++i) {
            const QModelIndex zelle = liste.model()->index(i, 0);
            QStyleOptionViewItem option;
            option.initFrom(liste.viewport());
            option.widget = &liste;
            option.rect = liste.visualRect(zelle);
            delegate->initStyleOption(&option, zelle);
            const QString pfad = liste.topLevelItem(i)->text(0);
            if (!option.text.endsWith(pfad.section(QLatin1Char('/'), -1)) ||
                option.fontMetrics.horizontalAdvance(option.text) > option.rect.width()) {
                fFehler << "Dateiname unsichtbar: " + option.text;
            }
            // The playing time whole, also beside the scroll bar (of the rows in view).
            const QRect dauer = liste.visualRect(liste.model()->index(i, 1));
            const int sichtbar =
                std::min(dauer.right(), liste.viewport()->rect().right()) - dauer.left() + 1;
            const QString zeit = liste.topLevelItem(i)->text(1);
            const bool imBild = dauer.intersects(liste.viewport()->rect());
            if (imBild && option.fontMetrics.horizontalAdvance(zeit) + 6 > sichtbar) {
                fFehler << "Dauer abgeschnitten: " + zeit;
            }
        }
    }

private Q_SLOTS:
    // The program's own style, as main() sets it; openbox for real frames when it is there.
    void initTestCase() {
        SchriftStilSetzen();
        const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
        if (xcb && !QStandardPaths::findExecutable("openbox").isEmpty() &&
            !QStandardPaths::findExecutable("xprop").isEmpty()) {
            fFensterManager.start(QStringLiteral("openbox"), {});
            QTRY_VERIFY_WITH_TIMEOUT(FensterManagerBereit(), 30000);
        }
    }

    void cleanupTestCase() {
        if (MitFensterManager()) {
            fFensterManager.terminate();
            fFensterManager.waitForFinished(10000);
        }
    }

    void init() { fFehler.clear(); }

    void JedesFenster_data() { LaeufeAnlegen(); }

    void JedesFenster() {
        const TLauf lauf = Lauf();
        TJobState state(StandardOrdnerErmitteln(SystemOrdnerQuellen()));
        TStummerAnsager ansager;
        test::StillerTray tray;
        {
            // The main window takes its font and colours from the settings at its first show.
            TKivRegistry registry;
            QVERIFY(registry.OpenKey(QStringLiteral("Software\\Lorvane"), true));
            registry.WriteInteger(QStringLiteral("FontSize"), lauf.Groesse);
            registry.WriteInteger(QStringLiteral("FontColor"),
                                  Gespeichert(lauf.Aussehen.AktFont.Color));
            registry.WriteInteger(QStringLiteral("BackColor"),
                                  Gespeichert(lauf.Aussehen.AktBackColor));
            registry.CloseKey();
        }
        // Silent: the tour looks, it does not listen.
        THauptDienste dienste;
        dienste.Ansager = &ansager;
        TForm1 haupt(state, dienste);
        for (const TDateiZeile& zeile : LangeZeilen()) {
            haupt.ListView2->addTopLevelItem(DateiZeileErzeugen(zeile));
        }
        haupt.show();
        Abwarten(haupt);
        QTRY_COMPARE(haupt.Panels[1]->accessibleName(), QString("Dateien: 4/0 mark."));
        Pruefen(haupt, QStringLiteral("hauptfenster"), lauf);
        DateinamenSichtbar(haupt);
        Menues(haupt, lauf);

        BeiBox("meldung-hinzugefuegt", lauf);
        InfoZeigen(&haupt, HinzugefuegtText(1234, 3600 * 27));
        BeiBox("frage-erfolg", lauf);
        FrageJaNein(&haupt, ErfolgsFrage("Brandung", "Anna Autorin", 3, 3600 * 14));
        BeiBox("frage-leeren", lauf);
        FrageJaNeinAbbrechen(&haupt, "Soll die vorhandene Dateiliste geleert werden?\r\n"
                                     "Ja=Dateiliste leeren; Nein=Neue Dateien anhängen");
        BeiBox("frage-abbrechen", lauf);
        FrageJaNein(&haupt, QString::fromUtf8(AbbrechenFrage));
        BeiBox("fehler", lauf);
        FehlerZeigen(&haupt, OrdnerNichtGeoeffnetText(
                                 QString::fromStdString(LangeZeilen().front().Caption)));
        {
            // The subfolder question comes while the add dialog waits behind it.
            QTemporaryDir ordner;
            QVERIFY(QDir(ordner.path()).mkpath("Kapitel/Teil 1"));
            QTreeWidget dateiliste;
            THinzufuegenDlg dialog(&haupt, state, lauf.Aussehen,
                                   {(ordner.path() + "/Kapitel/").toStdString()}, dateiliste);
            BeiBox("frage-unterordner", lauf, &dialog, "hinzufuegen");
            dialog.show();
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 20000);
        }
        {
            TMetaDlg dialog(&haupt, lauf.Aussehen, ansager, false, 5);
            dialog.TexteSetzen("Anna Autorin", "Wellen", "Brandung");
            dialog.show();
            Abwarten(dialog);
            Pruefen(dialog, QStringLiteral("metainformationen"), lauf);
            NurTitel(dialog, QStringLiteral("metainformationen"));
        }
        {
            TStundenDlg dialog(&haupt, lauf.Aussehen, ansager);
            dialog.PositionSetzen(5);
            dialog.show();
            Abwarten(dialog);
            Pruefen(dialog, QStringLiteral("stunden"), lauf);
        }
        {
            // A file that is not there: the job stops with an error, and the window
            // waits behind the box until it is answered.
            const std::vector<TDateiZeile> zeilen{{"/nirgends/Kapitel 1.mp3", "00:01:00"}};
            TBearbeitenFenster fenster(&haupt, state, zeilen, tray, lauf.Aussehen);
            BeiBox("fehler-job", lauf, &fenster, "fortschritt",
                   [&] { NurTitel(fenster, QStringLiteral("fortschritt")); });
            fenster.show();
            QTRY_VERIFY_WITH_TIMEOUT(fenster.JobBeendet(), 30000);
        }
        QVERIFY2(fFehler.isEmpty(), qPrintable(fFehler.join("\n")));
    }

    void DerSchriftDialog_data() { LaeufeAnlegen(); }

    void DerSchriftDialog() {
        TLauf lauf = Lauf();
        lauf.Aussehen.AktFont.Style = StilFett;
        TStummerAnsager ansager;
        TBackFontDlg dialog(nullptr, lauf.Aussehen.AktBackColor, lauf.Aussehen.AktFont, &ansager);
        dialog.show();
        Abwarten(dialog);
        Pruefen(dialog, QStringLiteral("schrifteinstellungen"), lauf);
        QVERIFY2(fFehler.isEmpty(), qPrintable(fFehler.join("\n")));
    }
};

QTEST_MAIN(FensterRundgangTest)
#include "fensterrundgang_test.moc"
