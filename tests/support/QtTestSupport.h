#pragma once
// Helpers for the window tests: answering the modal boxes and dialogs that a step
// opens, from a timer, as a user at the keyboard would.

#include "platform/TrayIcon.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace lorvane::test {

// Answers every message box that opens while it lives, by the text of the button to
// click ("Ja", "Nein", "OK"), in order; the last answer repeats. Records the texts.
class BoxBeantworter {
public:
    explicit BoxBeantworter(QStringList antworten) : fAntworten(std::move(antworten)) {
        fTimer.setInterval(5);
        QObject::connect(&fTimer, &QTimer::timeout, [this] { Pruefen(); });
        fTimer.start();
    }
    const QStringList& Texte() const { return fTexte; }

private:
    void Pruefen() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible() || box == fLetzte) {
            return;
        }
        fLetzte = box;
        fTexte << box->text();
        const QString antwort =
            fAntworten.isEmpty()
                ? QString()
                : fAntworten.at(std::min<qsizetype>(fIndex, fAntworten.size() - 1));
        ++fIndex;
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == antwort) {
                QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
                return;
            }
        }
        QMetaObject::invokeMethod(box, &QDialog::reject, Qt::QueuedConnection);
    }

    QStringList fAntworten;
    QStringList fTexte;
    qsizetype fIndex = 0;
    // Guarded: the next box may live at the same address.
    QPointer<QMessageBox> fLetzte;
    QTimer fTimer;
};

// Runs the action once the next modal widget of the given type is shown.
template <typename T> void WennModalOffen(std::function<void(T&)> aktion) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, aktion] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
            widget != nullptr && widget->isVisible()) {
            timer->stop();
            timer->deleteLater();
            aktion(*widget);
        }
    });
    timer->start();
}

// A tray icon that only remembers what it was told.
class StillerTray : public ITrayIcon {
public:
    bool Sichtbar() const override { return fSichtbar; }
    void SichtbarSetzen(bool sichtbar) override { fSichtbar = sichtbar; }
    QString Hint() const override { return fHint; }
    void HintSetzen(const QString& text) override { fHint = text; }
    void HauptfensterVerbergen() override {}
    void HauptfensterZeigen() override {}
    void AnwendungMinimieren() override {}

private:
    bool fSichtbar = false;
    QString fHint;
};

inline QByteArray DateiInhalt(const QString& datei) {
    QFile f(datei);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the file, with its folders; the test fails when that is not possible.
inline void DateiSchreiben(const QString& datei, const QByteArray& inhalt) {
    QDir().mkpath(QFileInfo(datei).absolutePath());
    QFile f(datei);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(inhalt);
}

} // namespace lorvane::test
