#pragma once
// The notification-area icon over QSystemTrayIcon. Where the desktop offers no
// notification area, hiding the main window would leave no way back to the program,
// so the main window is minimised instead.

#include "platform/TrayIcon.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>

class QWidget;

namespace lorvane {

class TQtTrayIcon : public QObject, public ITrayIcon {
    Q_OBJECT

public:
    // trayVorhanden tells whether the desktop has a notification area; by default the
    // system is asked at every use.
    explicit TQtTrayIcon(QWidget& hauptfenster, QObject* parent = nullptr,
                         std::function<bool()> trayVorhanden = {});
    ~TQtTrayIcon() override;

    // The requested state: also true where no notification area can show the icon,
    // so that the callers' way back to the main window stays the same.
    bool Sichtbar() const override { return fSichtbar; }
    void SichtbarSetzen(bool sichtbar) override;
    QString Hint() const override;
    void HintSetzen(const QString& text) override;
    void HauptfensterVerbergen() override;
    void HauptfensterZeigen() override;
    void AnwendungMinimieren() override;

    QSystemTrayIcon& Symbol() { return fSymbol; }

private:
    struct TMinimiert {
        QPointer<QWidget> Fenster;
        Qt::WindowStates Vorher;
    };

    bool TrayVorhanden() const;
    void Minimieren(QWidget& fenster);
    void Wiederherstellen(QWidget& fenster, Qt::WindowStates vorher);
    void Aktiviert(QSystemTrayIcon::ActivationReason grund);

    QWidget& fHauptfenster;
    QSystemTrayIcon fSymbol;
    std::function<bool()> fTrayVorhanden;
    bool fSichtbar = false;
    // The windows this object minimised, with the states they return to.
    QList<TMinimiert> fMinimiert;
    // While the main window is hidden, closing a dialog must not end the program.
    bool fVerborgen = false;
    bool fQuitVorher = true;
};

} // namespace lorvane
