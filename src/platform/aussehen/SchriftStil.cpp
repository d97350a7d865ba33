#include "platform/aussehen/SchriftStil.h"

#include "platform/aussehen/FokusRahmen.h"
#include "platform/aussehen/KontrastZeichnen.h"
#include "platform/aussehen/MenueZeichnen.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusFrame>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace lorvane {

namespace {

// The base styles draw arrows of at most this many pixels.
constexpr int StilPfeil = 8;
constexpr double TickAnteil = 0.75;
constexpr double PfeilFeldAnteil = 0.6;
constexpr double PfeilAnteil = 0.4;
constexpr double ScrollAnteil = 0.45;

int SchriftHoehe(const QWidget* widget) {
    return widget != nullptr ? widget->fontMetrics().height() : 0;
}

// The option's font when there is one: some callers pass no widget.
int SchriftHoehe(const QStyleOption* option, const QWidget* widget) {
    return option != nullptr ? option->fontMetrics.height() : SchriftHoehe(widget);
}

bool IstFokusRahmen(const QStyleOption* option, const QWidget* widget) {
    return qobject_cast<const QFocusFrame*>(widget) != nullptr ||
           (option != nullptr && qobject_cast<const QFocusFrame*>(option->styleObject) != nullptr);
}

QColor PfeilFarbe(const QStyleOption& option) {
    const bool aktiv = (option.state & QStyle::State_Enabled) != 0;
    return option.palette.color(aktiv ? QPalette::Active : QPalette::Disabled,
                                QPalette::ButtonText);
}

// A filled triangle of the given width (across its base), centred in the rect.
void PfeilZeichnen(QPainter& painter, const QRectF& rect, Qt::ArrowType richtung, double breite,
                   const QColor& farbe) {
    const double halb = breite / 2;
    const double tiefe = breite / 2;
    const QPointF mitte = rect.center();
    QPainterPath pfad;
    switch (richtung) {
    case Qt::UpArrow:
        pfad.moveTo(mitte.x() - halb, mitte.y() + tiefe / 2);
        pfad.lineTo(mitte.x() + halb, mitte.y() + tiefe / 2);
        pfad.lineTo(mitte.x(), mitte.y() - tiefe / 2);
        break;
    case Qt::DownArrow:
        pfad.moveTo(mitte.x() - halb, mitte.y() - tiefe / 2);
        pfad.lineTo(mitte.x() + halb, mitte.y() - tiefe / 2);
        pfad.lineTo(mitte.x(), mitte.y() + tiefe / 2);
        break;
    case Qt::LeftArrow:
        pfad.moveTo(mitte.x() + tiefe / 2, mitte.y() - halb);
        pfad.lineTo(mitte.x() + tiefe / 2, mitte.y() + halb);
        pfad.lineTo(mitte.x() - tiefe / 2, mitte.y());
        break;
    default:
        pfad.moveTo(mitte.x() - tiefe / 2, mitte.y() - halb);
        pfad.lineTo(mitte.x() - tiefe / 2, mitte.y() + halb);
        pfad.lineTo(mitte.x() + tiefe / 2, mitte.y());
        break;
    }
    pfad.closeSubpath();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(pfad, farbe);
    painter.restore();
}

// The arrow's width for a font, held to what fits into the rect.
int PfeilBreite(const QRect& rect, int schriftHoehe, bool waagerecht) {
    const int passt = waagerecht ? std::min(rect.width(), 2 * rect.height())
                                 : std::min(2 * rect.width(), rect.height());
    return std::min(SchriftGerecht(StilPfeil, schriftHoehe, PfeilAnteil), passt * 3 / 4);
}

Qt::ArrowType PfeilRichtung(QStyle::PrimitiveElement element) {
    switch (element) {
    case QStyle::PE_IndicatorArrowUp:
        return Qt::UpArrow;
    case QStyle::PE_IndicatorArrowDown:
        return Qt::DownArrow;
    case QStyle::PE_IndicatorArrowLeft:
        return Qt::LeftArrow;
    default:
        return Qt::RightArrow;
    }
}

bool IstPfeil(QStyle::PrimitiveElement element) {
    return element == QStyle::PE_IndicatorArrowUp || element == QStyle::PE_IndicatorArrowDown ||
           element == QStyle::PE_IndicatorArrowLeft || element == QStyle::PE_IndicatorArrowRight;
}

} // namespace

int SchriftGerecht(int basis, int schriftHoehe, double anteil) {
    return std::max(basis, static_cast<int>(std::lround(schriftHoehe * anteil)));
}

TSchriftStil::TSchriftStil(const QString& basis)
    : QProxyStyle(basis.isEmpty() ? nullptr : QStyleFactory::create(basis)) {}

int TSchriftStil::pixelMetric(PixelMetric metrik, const QStyleOption* option,
                              const QWidget* widget) const {
    const int basis = QProxyStyle::pixelMetric(metrik, option, widget);
    switch (metrik) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
        return SchriftGerecht(basis, SchriftHoehe(widget), TickAnteil);
    case PM_ScrollBarExtent:
        return SchriftGerecht(basis, SchriftHoehe(widget), ScrollAnteil);
    case PM_MenuPanelWidth:
        // A menu over a window of the same colour needs a visible edge.
        return std::max(basis, RahmenDicke(SchriftHoehe(option, widget)));
    case PM_FocusFrameHMargin:
    case PM_FocusFrameVMargin:
        return IstFokusRahmen(option, widget) ? FokusDicke(SchriftHoehe(option, widget)) : basis;
    default:
        return basis;
    }
}

int TSchriftStil::PfeilFeldMehr(const QStyleOptionComplex& option, const QWidget* widget) const {
    const QRect pfeil = QProxyStyle::subControlRect(CC_ComboBox, &option, SC_ComboBoxArrow, widget);
    return SchriftGerecht(pfeil.width(), SchriftHoehe(widget), PfeilFeldAnteil) - pfeil.width();
}

QRect TSchriftStil::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                   SubControl teil, const QWidget* widget) const {
    QRect rect = QProxyStyle::subControlRect(control, option, teil, widget);
    if (control == CC_ComboBox && option != nullptr) {
        if (teil == SC_ComboBoxArrow) {
            rect.setLeft(rect.left() - PfeilFeldMehr(*option, widget));
        } else if (teil == SC_ComboBoxEditField) {
            rect.setRight(rect.right() - PfeilFeldMehr(*option, widget));
        }
    }
    return rect;
}

QSize TSchriftStil::sizeFromContents(ContentsType typ, const QStyleOption* option,
                                     const QSize& inhalt, const QWidget* widget) const {
    QSize groesse = QProxyStyle::sizeFromContents(typ, option, inhalt, widget);
    const auto* liste = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    if (typ == CT_ComboBox && liste != nullptr) {
        // The text keeps its room beside the grown arrow.
        QStyleOptionComboBox probe(*liste);
        probe.rect = QRect(QPoint(0, 0), groesse);
        groesse.rwidth() += PfeilFeldMehr(probe, widget);
    }
    // Menus only: list boxes draw their lists with menu items too.
    if (const auto* eintrag = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        typ == CT_MenuItem && eintrag != nullptr && qobject_cast<const QMenu*>(widget) != nullptr) {
        return MenueEintragGroesse(*eintrag, MenueHoechstBreite(*this, widget));
    }
    return groesse;
}

bool TSchriftStil::KontrastPrimitive(PrimitiveElement element, const QStyleOption& option,
                                     QPainter& painter, const QWidget* widget) const {
    const int hoehe = SchriftHoehe(&option, widget);
    const QColor text = option.palette.color(QPalette::WindowText);
    switch (element) {
    case PE_FrameFocusRect: {
        // A row's mark lies on its selection colour, any other on the background.
        const auto* fokus = qstyleoption_cast<const QStyleOptionFocusRect*>(&option);
        const bool eigenerGrund = fokus != nullptr && fokus->backgroundColor.isValid();
        FokusZeichnen(painter, option,
                      eigenerGrund ? fokus->backgroundColor
                                   : option.palette.color(QPalette::Window),
                      FokusDicke(hoehe));
        return true;
    }
    case PE_PanelButtonCommand: {
        // The small up/down buttons keep the style's face: their arrow is the mark.
        if (qobject_cast<const QToolButton*>(widget) != nullptr) {
            return false;
        }
        const auto* knopf = qstyleoption_cast<const QStyleOptionButton*>(&option);
        const bool standard =
            knopf != nullptr && (knopf->features & QStyleOptionButton::DefaultButton) != 0;
        KnopfZeichnen(painter, option, RahmenDicke(hoehe), standard);
        return true;
    }
    case PE_Frame:
    case PE_FrameLineEdit:
    case PE_FrameMenu:
        RahmenZeichnen(painter, option.rect, text, RahmenDicke(hoehe));
        return true;
    case PE_IndicatorCheckBox:
        QProxyStyle::drawPrimitive(element, &option, &painter, widget);
        RahmenZeichnen(painter, option.rect, option.palette.color(QPalette::Text),
                       RahmenDicke(hoehe));
        return true;
    default:
        return false;
    }
}

void TSchriftStil::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    if (option != nullptr && painter != nullptr &&
        KontrastPrimitive(element, *option, *painter, widget)) {
        return;
    }
    // Only the arrows of tool buttons: other arrows (menus, headers) keep the style's.
    if (IstPfeil(element) && option != nullptr && painter != nullptr &&
        qobject_cast<const QToolButton*>(widget) != nullptr) {
        const Qt::ArrowType richtung = PfeilRichtung(element);
        const bool waagerecht = richtung == Qt::UpArrow || richtung == Qt::DownArrow;
        const int breite = PfeilBreite(option->rect, SchriftHoehe(widget), waagerecht);
        if (breite > StilPfeil) {
            PfeilZeichnen(*painter, option->rect, richtung, breite, PfeilFarbe(*option));
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void TSchriftStil::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control != CC_ComboBox || option == nullptr || painter == nullptr) {
        return;
    }
    RahmenZeichnen(*painter, option->rect, option->palette.color(QPalette::ButtonText),
                   RahmenDicke(SchriftHoehe(option, widget)));
    // The style's own small arrow lies in the middle of the grown one, which covers it.
    const QRect rect = subControlRect(control, option, SC_ComboBoxArrow, widget);
    const int breite = PfeilBreite(rect, SchriftHoehe(widget), true);
    if (breite > StilPfeil) {
        PfeilZeichnen(*painter, rect, Qt::DownArrow, breite, PfeilFarbe(*option));
    }
}

void TSchriftStil::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    if (option == nullptr || painter == nullptr) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const int hoehe = SchriftHoehe(option, widget);
    switch (element) {
    case CE_FocusFrame:
        FokusZeichnen(*painter, *option, option->palette.color(QPalette::Window),
                      FokusDicke(hoehe));
        return;
    case CE_HeaderSection:
        KopfZeichnen(*painter, *option, RahmenDicke(hoehe));
        return;
    case CE_MenuItem:
        if (const auto* eintrag = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            eintrag != nullptr && eintrag->menuItemType != QStyleOptionMenuItem::SubMenu &&
            qobject_cast<const QMenu*>(widget) != nullptr) {
            MenueEintragZeichnen(*painter, *eintrag, *this, widget);
            return;
        }
        break;
    case CE_ProgressBarGroove:
        painter->fillRect(option->rect, option->palette.color(QPalette::Base));
        RahmenZeichnen(*painter, option->rect, option->palette.color(QPalette::Text),
                       RahmenDicke(hoehe));
        return;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

int TSchriftStil::styleHint(StyleHint hinweis, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* rueckgabe) const {
    auto* maske = qstyleoption_cast<QStyleHintReturnMask*>(rueckgabe);
    if (hinweis == SH_FocusFrame_Mask && option != nullptr && maske != nullptr) {
        maske->region = Ring(option->rect, FokusDicke(SchriftHoehe(option, widget)));
        return 1;
    }
    return QProxyStyle::styleHint(hinweis, option, widget, rueckgabe);
}

void SchriftStilSetzen() {
    // Over the style Qt chose, so that a style the user set stays.
    QApplication::setStyle(new TSchriftStil(QApplication::style()->name()));
    FokusRahmenEinrichten();
}

} // namespace lorvane
