#pragma once
// The application style: the system's style with the marks that it draws at a fixed
// size (check box ticks, the arrows of the up/down buttons and of the colour lists,
// scroll bars) grown with the window's font, so that a user who chose a large font can see them.
// Button faces, frames, column headers and the bar's groove are drawn in the window's
// own two colours instead of the style's shades, and the control with the keyboard
// focus carries a frame in the text colour, visible in every colour pair.

#include <QProxyStyle>

namespace lorvane {

// A mark's size for a font whose lines are schriftHoehe pixels high: the share of the
// line height, and never less than what the style draws anyway.
int SchriftGerecht(int basis, int schriftHoehe, double anteil);

class TSchriftStil : public QProxyStyle {
public:
    // Wraps the style of that name; without one, the desktop's default style.
    explicit TSchriftStil(const QString& basis = {});

    int pixelMetric(PixelMetric metrik, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl teil,
                         const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType typ, const QStyleOption* option, const QSize& inhalt,
                           const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hinweis, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* rueckgabe = nullptr) const override;

private:
    // How much wider than the style's the arrow part of a list box is.
    int PfeilFeldMehr(const QStyleOptionComplex& option, const QWidget* widget) const;
    // Draws the shapes of KontrastZeichnen; false leaves the element to the base style.
    bool KontrastPrimitive(PrimitiveElement element, const QStyleOption& option, QPainter& painter,
                           const QWidget* widget) const;
};

// Makes TSchriftStil the style of the running application, with the frame that follows
// the keyboard focus.
void SchriftStilSetzen();

} // namespace lorvane
