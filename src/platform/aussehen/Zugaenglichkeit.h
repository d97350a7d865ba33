#pragma once
// Where Qt 6.4 tells the screen reader less than the control shows, a control is given
// an accessible interface of its own:
// - a checkable menu item reaches AT-SPI as a plain menu item without the "checkable"
//   state, so Orca never says whether it is on; it is shown as a check box instead;
// - a drop-down list is named by its current entry on Linux whatever its accessible
//   name says ("Schwarz"); TBenannteAuswahl keeps its name and gives the entry as its
//   value.

#include <QComboBox>

class QAction;

namespace lorvane {

// The item must be checkable.
void SchalterZugangEinrichten(QAction& eintrag);
// A class of its own, since Qt's interface for a plain QComboBox comes first.
class TBenannteAuswahl : public QComboBox {
    Q_OBJECT

public:
    explicit TBenannteAuswahl(QWidget* parent = nullptr);
};

} // namespace lorvane
