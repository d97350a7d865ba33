#include "platform/aussehen/Zugaenglichkeit.h"

#include "platform/aussehen/Fenster.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QAction>
#include <QComboBox>
#include <QMenu>

#include <algorithm>

namespace lorvane {

namespace {

constexpr const char* kSchalter = "lorvaneSchalter";

QMenu* MenueDes(const QAction& eintrag) {
    for (QObject* besitzer : eintrag.associatedObjects()) {
        if (auto* menue = qobject_cast<QMenu*>(besitzer)) {
            return menue;
        }
    }
    return nullptr;
}

class TSchalterZugang : public QAccessibleObject, public QAccessibleActionInterface {
public:
    explicit TSchalterZugang(QAction& eintrag) : QAccessibleObject(&eintrag) {}

    QAccessibleInterface* parent() const override {
        QMenu* menue = MenueDes(Eintrag());
        return menue != nullptr ? QAccessible::queryAccessibleInterface(menue) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text art) const override {
        return art == QAccessible::Name ? StripAmpersands(Eintrag().text()) : QString();
    }
    QRect rect() const override {
        const QMenu* menue = MenueDes(Eintrag());
        if (menue == nullptr) {
            return {};
        }
        return menue->actionGeometry(&Eintrag()).translated(menue->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QAccessible::State state() const override {
        const QAction& eintrag = Eintrag();
        const QMenu* menue = MenueDes(eintrag);
        QAccessible::State zustand;
        zustand.invisible = menue == nullptr || !menue->isVisible() || !eintrag.isVisible();
        zustand.focused = menue != nullptr && menue->activeAction() == &eintrag;
        zustand.disabled = !eintrag.isEnabled();
        zustand.checkable = true;
        zustand.checked = eintrag.isChecked();
        return zustand;
    }

    void* interface_cast(QAccessible::InterfaceType art) override {
        return art == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                   : nullptr;
    }
    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString& name) override {
        if (name == toggleAction() && Eintrag().isEnabled()) {
            Eintrag().trigger();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QAction& Eintrag() const { return *static_cast<QAction*>(object()); }
};

// The entry shown is also the list's text, read-only: Orca reads a combo box's value
// from its selected child or, where the toolkit offers none, from its text.
class TAuswahlZugang : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TAuswahlZugang(TBenannteAuswahl& liste)
        : QAccessibleWidget(&liste, QAccessible::ComboBox) {}

    QString text(QAccessible::Text art) const override {
        return art == QAccessible::Value ? Eintrag() : QAccessibleWidget::text(art);
    }
    // The drop-down list is the one child, as with every combo box.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(Liste().view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* kind) const override {
        return kind != nullptr && kind->object() == Liste().view() ? 0 : -1;
    }
    void* interface_cast(QAccessible::InterfaceType art) override {
        if (art == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(art);
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& name) override {
        if (name != showMenuAction() && name != pressAction()) {
            QAccessibleWidget::doAction(name);
        } else if (Liste().view()->isVisible()) {
            Liste().hidePopup();
        } else {
            Liste().showPopup();
        }
    }

    // Text: the entry, without selection or cursor.
    void selection(int, int* anfang, int* ende) const override { *anfang = *ende = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int anfang, int ende) const override {
        return Eintrag().mid(anfang, std::max(0, ende - anfang));
    }
    int characterCount() const override { return static_cast<int>(Eintrag().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* anfang, int* ende) const override {
        *anfang = 0;
        *ende = characterCount();
        return {};
    }

private:
    QComboBox& Liste() const { return *static_cast<QComboBox*>(object()); }
    QString Eintrag() const { return Liste().currentText(); }
};

QAccessibleInterface* Fabrik(const QString& klasse, QObject* objekt) {
    if (objekt == nullptr) {
        return nullptr;
    }
    auto* eintrag = qobject_cast<QAction*>(objekt);
    if (klasse == QLatin1String("QAction") && eintrag != nullptr &&
        eintrag->property(kSchalter).toBool()) {
        return new TSchalterZugang(*eintrag);
    }
    auto* liste = qobject_cast<TBenannteAuswahl*>(objekt);
    if (klasse == QLatin1String(TBenannteAuswahl::staticMetaObject.className()) &&
        liste != nullptr) {
        return new TAuswahlZugang(*liste);
    }
    return nullptr;
}

} // namespace

void SchalterZugangEinrichten(QAction& eintrag) {
    // Installed once; a second call finds it there.
    QAccessible::installFactory(Fabrik);
    eintrag.setProperty(kSchalter, true);
    // A screen reader that shows the item follows its state.
    QObject::connect(&eintrag, &QAction::toggled, &eintrag, [&eintrag] {
        QAccessible::State geaendert;
        geaendert.checked = true;
        QAccessibleStateChangeEvent ereignis(&eintrag, geaendert);
        QAccessible::updateAccessibility(&ereignis);
    });
}

TBenannteAuswahl::TBenannteAuswahl(QWidget* parent) : QComboBox(parent) {
    QAccessible::installFactory(Fabrik);
}

} // namespace lorvane
