#pragma once
// What the window tour checks on every window, box and menu, as a user with low vision
// and a screen-reader user would find it: no text cut, every focusable control named,
// no two controls over each other, the chosen font and colours everywhere, and the
// whole window within the screen's work area.

#include "platform/aussehen/Fenster.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QFocusFrame>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStringList>
#include <QStyleOptionComboBox>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace lorvane::test {

inline QString Name(const QWidget& control) {
    return QString::fromLatin1(control.metaObject()->className()) + " " + control.objectName();
}

// Controls whose text does not fit into them, as "name: text".
inline QStringList AbgeschnitteneTexte(const QWidget& fenster) {
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
            // Only what the list shows of a column counts, not what the scroll bar covers.
            for (int i = 0; i < kopf->count(); ++i) {
                const QString text = kopf->model()->headerData(i, Qt::Horizontal).toString();
                const int sichtbar = std::min(kopf->sectionSize(i),
                                              kopf->width() - kopf->sectionViewportPosition(i));
                if (metrik.horizontalAdvance(text) + 8 > sichtbar) {
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
            // Over all its lines, and none of them shortened with "…".
            const QSize text = metrik.size(Qt::TextShowMnemonic, label->text());
            const bool gekuerzt = label->text().contains(QChar(0x2026));
            if (!label->text().isEmpty() && !label->wordWrap() &&
                (gekuerzt || text.width() > label->contentsRect().width() ||
                 text.height() > label->contentsRect().height() + 2)) {
                fehler << label->objectName() + ": " + label->text();
            }
        }
    }
    return fehler;
}

// Focusable controls the screen reader would read without a name.
inline QStringList NamenloseControls(QWidget& fenster) {
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
            fehler << Name(*control);
        }
    }
    return fehler;
}

// The parts of a control that Qt lays out itself, and what only marks or frames.
inline bool SelbstAngeordnet(const QWidget& control, const QWidget& fenster) {
    if (qobject_cast<const QFocusFrame*>(&control) != nullptr ||
        control.objectName() == QLatin1String("TitelZeile")) {
        return true;
    }
    for (const QWidget* w = control.parentWidget(); w != nullptr && w != &fenster;
         w = w->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(w) != nullptr ||
            qobject_cast<const QComboBox*>(w) != nullptr ||
            qobject_cast<const QAbstractSpinBox*>(w) != nullptr) {
            return true;
        }
    }
    return false;
}

// Pairs of visible controls of the same parent that lie over each other.
inline QStringList UeberlappendeControls(const QWidget& fenster) {
    QList<const QWidget*> controls;
    for (const QWidget* control : fenster.findChildren<QWidget*>()) {
        if (control->isVisibleTo(&fenster) && !control->isWindow() &&
            !SelbstAngeordnet(*control, fenster)) {
            controls << control;
        }
    }
    QStringList fehler;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget& a = *controls[i];
            const QWidget& b = *controls[j];
            if (a.parentWidget() == b.parentWidget() && a.geometry().intersects(b.geometry())) {
                fehler << Name(a) + " / " + Name(b);
            }
        }
    }
    return fehler;
}

// Visible controls drawn in other colours than the chosen pair: text, background, and
// the button and header roles.
inline QStringList FremdeFarben(const QWidget& fenster, const QColor& text, const QColor& grund) {
    QStringList fehler;
    QList<const QWidget*> alle{&fenster};
    for (const QWidget* control : fenster.findChildren<QWidget*>()) {
        if (control->isVisibleTo(&fenster)) {
            alle << control;
        }
    }
    for (const QWidget* control : alle) {
        const auto farbe = [&](QPalette::ColorRole rolle) {
            return control->palette().color(QPalette::Active, rolle);
        };
        if (farbe(QPalette::WindowText) != text || farbe(QPalette::Window) != grund ||
            farbe(QPalette::ButtonText) != text || farbe(QPalette::Button) != grund) {
            fehler << Name(*control);
        }
    }
    return fehler;
}

// Visible controls that do not show the chosen size (some show it larger on purpose).
inline QStringList KleinereSchrift(const QWidget& fenster, int groesse) {
    QStringList fehler;
    QList<QWidget*> alle = fenster.findChildren<QWidget*>();
    alle << const_cast<QWidget*>(&fenster);
    for (const QWidget* control : alle) {
        if (control->isVisibleTo(&fenster) && control->font().pointSize() < groesse) {
            fehler << Name(*control) + QStringLiteral(" %1pt").arg(control->font().pointSize());
        }
    }
    return fehler;
}

// The frame as the window system knows it now.
inline QRect Rahmen(const QWidget& fenster) {
    return fenster.windowHandle() != nullptr ? fenster.windowHandle()->frameGeometry()
                                             : fenster.frameGeometry();
}

inline bool ImArbeitsbereich(const QWidget& fenster) {
    return Arbeitsbereich(fenster).contains(Rahmen(fenster));
}

} // namespace lorvane::test
