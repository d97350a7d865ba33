// Every window of the program at font sizes 12 and 30 (the font dialog at its smallest
// and largest size, 5 and 35), as a user sees it: a screenshot
// of each (written into the build folder), no caption clipped, and every control that
// takes the keyboard focus has a name for the screen reader.

#include "engine/JobState.h"
#include "engine/Ordner.h"
#include "platform/Ansager.h"
#include "platform/Fenster.h"
#include "platform/KivBackFontDlg.h"
#include "platform/KivRegistry.h"
#include "platform/SchriftStil.h"
#include "platform/TrayIcon.h"
#include "support/QtTestSupport.h"
#include "ui/BearbeitenFenster.h"
#include "ui/Haupt.h"
#include "ui/HinzufuegenDlgC.h"
#include "ui/MetaDlgC.h"
#include "ui/StundenDlgC.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QStringList>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace lorvane;

namespace {

// Controls whose text does not fit into them, as "name: text".
QStringList AbgeschnitteneTexte(const QWidget& fenster) {
    QStringList fehler;
    for (const QWidget* control : fenster.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&fenster)) {
            continue;
        }
        const QFontMetrics metrik(control->font());
        if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
            // A button's frame takes a few pixels on each side.
            const QString text = StripAmpersands(button->text());
            if (metrik.horizontalAdvance(text) + 6 > button->width()) {
                fehler << button->objectName() + ": " + text;
            }
        } else if (const auto* kopf = qobject_cast<const QHeaderView*>(control)) {
            // Column captions; the folder list's first one is the path, shortened to fit.
            for (int i = 0; i < kopf->count(); ++i) {
                const QString text = kopf->model()->headerData(i, Qt::Horizontal).toString();
                if (metrik.horizontalAdvance(text) + 8 > kopf->sectionSize(i)) {
                    fehler << kopf->parentWidget()->objectName() + " Spalte: " + text;
                }
            }
        } else if (const auto* liste = qobject_cast<const QComboBox*>(control)) {
            QStyleOptionComboBox option;
            option.initFrom(liste);
            const int feld = liste->style()
                                 ->subControlRect(QStyle::CC_ComboBox, &option,
                                                  QStyle::SC_ComboBoxEditField, liste)
                                 .width();
            for (int i = 0; i < liste->count(); ++i) {
                if (metrik.horizontalAdvance(liste->itemText(i)) > feld) {
                    fehler << liste->objectName() + ": " + liste->itemText(i);
                }
            }
        } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
            const QString text = StripAmpersands(label->text());
            if (!label->wordWrap() &&
                metrik.horizontalAdvance(text) > label->contentsRect().width()) {
                fehler << label->objectName() + ": " + text;
            }
        }
    }
    return fehler;
}

// Focusable controls the screen reader would read without a name.
QStringList NamenloseControls(QWidget& fenster) {
    QStringList fehler;
    for (QWidget* control : fenster.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&fenster) || control->focusPolicy() == Qt::NoFocus ||
            control->focusProxy() != nullptr ||
            qobject_cast<QAbstractSpinBox*>(control->parentWidget()) != nullptr) {
            continue;
        }
        QAccessibleInterface* schnittstelle = QAccessible::queryAccessibleInterface(control);
        if (schnittstelle == nullptr ||
            schnittstelle->text(QAccessible::Name).trimmed().isEmpty()) {
            fehler << QString::fromLatin1(control->metaObject()->className()) + " " +
                          control->objectName();
        }
    }
    return fehler;
}

QString BildOrdner() {
    const QString ordner = qEnvironmentVariable("LORVANE_SCREENSHOT_DIR", QDir::currentPath());
    QDir().mkpath(ordner);
    return ordner;
}

} // namespace

class FensterRundgangTest : public QObject {
    Q_OBJECT

private:
    // Right after show(): the window has applied font and layout, and no event has
    // run yet, so the add dialog's scan and the progress window's job (which start
    // 5 ms after showing) cannot close the window under the check.
    void Pruefen(QWidget& fenster, const QString& name, int groesse) {
        QVERIFY(fenster.isVisible());
        const QString datei = QStringLiteral("%1/%2-%3.png").arg(BildOrdner(), name).arg(groesse);
        QVERIFY2(fenster.grab().save(datei), qPrintable(datei));
        const QStringList abgeschnitten = AbgeschnitteneTexte(fenster);
        QVERIFY2(abgeschnitten.isEmpty(), qPrintable(name + ": " + abgeschnitten.join(", ")));
        const QStringList namenlos = NamenloseControls(fenster);
        QVERIFY2(namenlos.isEmpty(), qPrintable(name + ": " + namenlos.join(", ")));
    }

private Q_SLOTS:
    // The program's own style, as main() sets it.
    void initTestCase() { SchriftStilSetzen(); }

    void JedesFenster_data() {
        QTest::addColumn<int>("groesse");
        QTest::newRow("12") << 12;
        QTest::newRow("30") << 30;
    }

    void JedesFenster() {
        QFETCH(int, groesse);
        TAussehen aussehen;
        aussehen.AktFont.Size = groesse;
        TJobState state(StandardOrdnerErmitteln(SystemOrdnerQuellen()));
        TStummerAnsager ansager;
        test::StillerTray tray;

        {
            // The main window takes its font from the settings at its first show.
            TKivRegistry registry;
            QVERIFY(registry.OpenKey(QStringLiteral("Software\\Lorvane"), true));
            registry.WriteInteger(QStringLiteral("FontSize"), groesse);
            registry.CloseKey();
        }
        TForm1 haupt(state, THauptDienste{});
        haupt.show();
        Pruefen(haupt, QStringLiteral("hauptfenster"), groesse);

        {
            QTreeWidget dateiliste;
            THinzufuegenDlg dialog(&haupt, state, aussehen, {}, dateiliste);
            dialog.show();
            Pruefen(dialog, QStringLiteral("hinzufuegen"), groesse);
        }
        {
            TMetaDlg dialog(&haupt, aussehen, ansager, false, 5);
            dialog.TexteSetzen("Anna Autorin", "Wellen", "Brandung");
            dialog.show();
            Pruefen(dialog, QStringLiteral("metainformationen"), groesse);
        }
        {
            TStundenDlg dialog(&haupt, aussehen, ansager);
            dialog.PositionSetzen(5);
            dialog.show();
            Pruefen(dialog, QStringLiteral("stunden"), groesse);
        }
        {
            const std::vector<TDateiZeile> zeilen{{"/nirgends/Kapitel 1.mp3", "00:01:00"}};
            TBearbeitenFenster fenster(&haupt, state, zeilen, tray, aussehen);
            fenster.show();
            Pruefen(fenster, QStringLiteral("fortschritt"), groesse);
        }
    }

    void DerSchriftDialog_data() {
        QTest::addColumn<int>("groesse");
        QTest::newRow("5") << 5;
        QTest::newRow("35") << 35;
    }

    void DerSchriftDialog() {
        QFETCH(int, groesse);
        TAktFont font;
        font.Size = groesse;
        font.Style = StilFett;
        TStummerAnsager ansager;
        TBackFontDlg dialog(nullptr, Weiss, font, &ansager);
        dialog.show();
        Pruefen(dialog, QStringLiteral("schrifteinstellungen"), groesse);
    }
};

QTEST_MAIN(FensterRundgangTest)
#include "fensterrundgang_test.moc"
