#include "platform/aussehen/Fenster.h"

#include "platform/aussehen/FensterFarben.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextEdit>
#include <QTreeView>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace lorvane {

QFont SchriftAus(const TAktFont& font) {
    QFont f(font.Name);
    f.setPointSize(font.Size > 0 ? font.Size : 12);
    f.setItalic((font.Style & StilKursiv) != 0);
    f.setBold((font.Style & StilFett) != 0);
    f.setUnderline((font.Style & StilUnterstrichen) != 0);
    f.setStrikeOut((font.Style & StilDurchgestrichen) != 0);
    return f;
}

QColor FarbeAus(std::uint32_t wert, const QPalette& palette) {
    if ((wert >> 24) == 0xFFu) {
        return palette.color(QPalette::Active, QPalette::WindowText);
    }
    return QColor(static_cast<int>(wert & 0xFFu), static_cast<int>((wert >> 8) & 0xFFu),
                  static_cast<int>((wert >> 16) & 0xFFu));
}

std::uint32_t FarbWert(const QColor& farbe) {
    return static_cast<std::uint32_t>(farbe.red()) |
           (static_cast<std::uint32_t>(farbe.green()) << 8) |
           (static_cast<std::uint32_t>(farbe.blue()) << 16);
}

int TextHeightOf(const QFont& font) {
    return QFontMetrics(font).height();
}

int TextWidthOf(const QFont& font, const QString& text) {
    return text.isEmpty() ? 0 : QFontMetrics(font).horizontalAdvance(text);
}

int CaptionWidthFor(const QFont& font, const QString& text) {
    return TextWidthOf(font, text + QLatin1Char(' '));
}

int ControlHeightFor(int textHeight, TControlArt art) {
    const int h = textHeight > 0 ? textHeight : 12;
    switch (art) {
    case TControlArt::Edit:
        return h + 8;
    case TControlArt::Button:
        return h + 12;
    case TControlArt::StatusBar:
        return h + 6;
    case TControlArt::CheckBox:
        return h + 8;
    case TControlArt::Sonstige:
        break;
    }
    return h;
}

int ControlHeightFor(const QFont& font, TControlArt art) {
    return ControlHeightFor(TextHeightOf(font), art);
}

QString StripAmpersands(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

QString LaengsteCaption(const QStringList& captions) {
    QString laengste;
    for (const QString& caption : captions) {
        QString ohne = StripAmpersands(caption);
        if (ohne.size() > laengste.size()) {
            laengste = std::move(ohne);
        }
    }
    return laengste;
}

int ButtonBreite(const QFont& font, const QStringList& captions) {
    return CaptionWidthFor(font, LaengsteCaption(captions) + QStringLiteral("MM"));
}

QSize UmbruchGroesse(const QFont& font, const QString& caption, int zeilen) {
    const QFontMetrics metrik(font);
    constexpr int flags = Qt::TextWordWrap | Qt::TextShowMnemonic;
    const auto box = [&](int breite) {
        return metrik.boundingRect(QRect(0, 0, breite, 100000), flags, caption);
    };
    const int hoechstens = std::max(1, zeilen) * metrik.lineSpacing();
    int schmal = 1;
    int breit = metrik.horizontalAdvance(StripAmpersands(caption)) + 1;
    while (schmal < breit) {
        const int mitte = (schmal + breit) / 2;
        if (box(mitte).height() <= hoechstens) {
            breit = mitte;
        } else {
            schmal = mitte + 1;
        }
    }
    return {breit, box(breit).height()};
}

namespace {

// Whether the window gives the control the whole font and the background colour.
bool BekommtFarbeUndFont(const QWidget& control, TFensterArt art) {
    const bool text = qobject_cast<const QLabel*>(&control) != nullptr ||
                      qobject_cast<const QLineEdit*>(&control) != nullptr;
    switch (art) {
    case TFensterArt::Hauptfenster:
        return text || qobject_cast<const QCheckBox*>(&control) != nullptr ||
               qobject_cast<const QComboBox*>(&control) != nullptr ||
               qobject_cast<const QStatusBar*>(&control) != nullptr ||
               qobject_cast<const QTreeView*>(&control) != nullptr ||
               qobject_cast<const QTextEdit*>(&control) != nullptr;
    case TFensterArt::Hinzufuegen:
    case TFensterArt::Fortschritt:
        return text;
    case TFensterArt::Dialog:
        return text || qobject_cast<const QCheckBox*>(&control) != nullptr ||
               qobject_cast<const QComboBox*>(&control) != nullptr ||
               qobject_cast<const QTextEdit*>(&control) != nullptr;
    }
    return false;
}

void FarbeUndFontSetzen(QWidget& control, const QFont& font, const QColor& text,
                        const QColor& hintergrund) {
    control.setFont(font);
    QPalette palette = control.palette();
    for (QPalette::ColorRole rolle : {QPalette::Window, QPalette::Base}) {
        palette.setColor(rolle, hintergrund);
    }
    for (QPalette::ColorRole rolle : {QPalette::WindowText, QPalette::Text}) {
        palette.setColor(rolle, text);
    }
    control.setPalette(palette);
    control.setAutoFillBackground(true);
}

} // namespace

void SchriftartZuweisen(QWidget& fenster, TFensterArt art, const TAussehen& aussehen) {
    const QFont font = SchriftAus(aussehen.AktFont);
    const QColor text = FarbeAus(aussehen.AktFont.Color, QApplication::palette());
    const QColor hintergrund = FarbeAus(aussehen.AktBackColor, QApplication::palette());
    // Everything the window holds inherits both (headers, scroll bars, buttons, the bar,
    // the menu bar), and its message boxes take them from here.
    const QPalette palette = AussehenPalette(text, hintergrund);
    fenster.setFont(font);
    fenster.setPalette(palette);
    const QList<QWidget*> controls = fenster.findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (qobject_cast<QMenu*>(control) != nullptr) {
            // Menus are windows of their own and inherit nothing.
            control->setFont(font);
            control->setPalette(palette);
        } else if (BekommtFarbeUndFont(*control, art)) {
            FarbeUndFontSetzen(*control, font, text, hintergrund);
        } else if ((qobject_cast<QAbstractButton*>(control) != nullptr &&
                    qobject_cast<QCheckBox*>(control) == nullptr) ||
                   qobject_cast<QProgressBar*>(control) != nullptr) {
            // Buttons and the progress bar's percentage: name, size and style.
            QFont buttonFont = control->font();
            buttonFont.setFamily(font.family());
            buttonFont.setPointSize(font.pointSize());
            buttonFont.setItalic(font.italic());
            buttonFont.setBold(font.bold());
            buttonFont.setUnderline(font.underline());
            buttonFont.setStrikeOut(font.strikeOut());
            control->setFont(buttonFont);
        }
    }
}

int SchalterGemeinsam(QWidget& fenster, const QFont& font) {
    QStringList captions;
    const QList<QPushButton*> buttons = fenster.findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        button->setFixedHeight(ControlHeightFor(button->font(), TControlArt::Button));
        captions << button->text();
    }
    const int breite = ButtonBreite(font, captions);
    for (QPushButton* button : buttons) {
        button->setFixedWidth(breite);
    }
    return breite;
}

QPoint DialogPosition(const QRect& owner, const QSize& eigene) {
    return {owner.left() + Div(owner.width() - eigene.width(), 2),
            owner.top() + Div(owner.height() - eigene.height(), 2)};
}

QPoint HauptfensterPosition(const QRect& arbeitsbereich, const QSize& eigene, bool maximiert) {
    if (maximiert) {
        return arbeitsbereich.topLeft();
    }
    return DialogPosition(arbeitsbereich, eigene);
}

namespace {

QWidget* Owner(const QWidget& fenster) {
    QWidget* owner = fenster.parentWidget() != nullptr ? fenster.parentWidget()->window() : nullptr;
    if (owner == nullptr) {
        owner = QApplication::activeWindow();
    }
    return owner == &fenster ? nullptr : owner;
}

// The window's own frame, as the window system knows it now (the widget's copy of it is
// refreshed only when the window moves).
QSize EigenerRahmen(const QWidget& fenster) {
    if (const QWindow* griff = fenster.windowHandle(); griff != nullptr) {
        const QMargins rand = griff->frameMargins();
        return {rand.left() + rand.right(), rand.top() + rand.bottom()};
    }
    return fenster.frameGeometry().size() - fenster.size();
}

QPoint RahmenEcke(const QWidget& fenster) {
    const QWindow* griff = fenster.windowHandle();
    return griff != nullptr ? griff->framePosition() : fenster.frameGeometry().topLeft();
}

} // namespace

void DialogZentrieren(QWidget& dialog) {
    const QWidget* owner = Owner(dialog);
    if (owner == nullptr) {
        ImArbeitsbereichHalten(dialog);
        return;
    }
    const QSize rahmen = dialog.size() + RahmenGroesse(dialog);
    const QPoint mitte = DialogPosition(owner->frameGeometry(), rahmen);
    dialog.move(InBereich(QRect(mitte, rahmen), Arbeitsbereich(dialog)));
}

QPoint InBereich(const QRect& rahmen, const QRect& bereich) {
    const int links = std::max(
        bereich.left(), std::min(rahmen.left(), bereich.left() + bereich.width() - rahmen.width()));
    const int oben = std::max(
        bereich.top(), std::min(rahmen.top(), bereich.top() + bereich.height() - rahmen.height()));
    return {links, oben};
}

QRect Arbeitsbereich(const QWidget& fenster) {
    const QScreen* bildschirm =
        fenster.screen() != nullptr ? fenster.screen() : QGuiApplication::primaryScreen();
    return bildschirm != nullptr ? bildschirm->availableGeometry() : QRect(0, 0, 1024, 768);
}

QSize RahmenGroesse(const QWidget& fenster) {
    if (fenster.windowFlags().testFlag(Qt::FramelessWindowHint)) {
        return {0, 0};
    }
    const QSize eigener = EigenerRahmen(fenster);
    if (!eigener.isEmpty()) {
        return eigener;
    }
    if (const QWidget* owner = Owner(fenster);
        owner != nullptr && !EigenerRahmen(*owner).isEmpty()) {
        return EigenerRahmen(*owner);
    }
    // Not framed yet: a window manager will most likely add a title bar and borders;
    // only the platforms without one add nothing.
    const QString plattform = QGuiApplication::platformName();
    const bool ohneRahmen =
        plattform == QLatin1String("offscreen") || plattform == QLatin1String("minimal");
    return ohneRahmen ? eigener : QSize(8, 32);
}

QSize GroessteClientGroesse(const QWidget& fenster) {
    return Arbeitsbereich(fenster).size() - RahmenGroesse(fenster);
}

void ImArbeitsbereichHalten(QWidget& fenster) {
    if (fenster.minimumSize() != fenster.maximumSize()) {
        const QSize passend = fenster.size()
                                  .boundedTo(GroessteClientGroesse(fenster))
                                  .expandedTo(fenster.minimumSize());
        if (passend != fenster.size()) {
            fenster.resize(passend);
        }
    }
    const QRect rahmen(RahmenEcke(fenster), fenster.size() + RahmenGroesse(fenster));
    const QPoint ziel = InBereich(rahmen, Arbeitsbereich(fenster));
    if (ziel != rahmen.topLeft()) {
        fenster.move(ziel);
    }
}

int Prozent(int breite, int prozent) {
    return static_cast<int>(std::trunc(static_cast<double>(breite) / 100.0 * prozent));
}

} // namespace lorvane
