#include "platform/aussehen/FensterFarben.h"

namespace lorvane {

namespace {

int Abstand(const QColor& a, const QColor& b) {
    const int rot = a.red() - b.red();
    const int gruen = a.green() - b.green();
    const int blau = a.blue() - b.blue();
    return rot * rot + gruen * gruen + blau * blau;
}

void GruppeSetzen(QPalette& palette, QPalette::ColorGroup gruppe, const QColor& text,
                  const QColor& hintergrund) {
    for (QPalette::ColorRole rolle :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText,
          QPalette::BrightText, QPalette::Link, QPalette::LinkVisited, QPalette::Highlight}) {
        palette.setColor(gruppe, rolle, text);
    }
    for (QPalette::ColorRole rolle :
         {QPalette::Window, QPalette::Base, QPalette::AlternateBase, QPalette::Button,
          QPalette::ToolTipBase, QPalette::HighlightedText}) {
        palette.setColor(gruppe, rolle, hintergrund);
    }
    palette.setColor(gruppe, QPalette::PlaceholderText, Mischfarbe(text, hintergrund, 60));
    // The shades the styles draw bevels and grid lines with, between the two.
    palette.setColor(gruppe, QPalette::Light, Mischfarbe(text, hintergrund, 15));
    palette.setColor(gruppe, QPalette::Midlight, Mischfarbe(text, hintergrund, 30));
    palette.setColor(gruppe, QPalette::Mid, Mischfarbe(text, hintergrund, 50));
    palette.setColor(gruppe, QPalette::Dark, Mischfarbe(text, hintergrund, 70));
    palette.setColor(gruppe, QPalette::Shadow, Mischfarbe(text, hintergrund, 85));
}

} // namespace

QColor Mischfarbe(const QColor& a, const QColor& b, int anteilA) {
    const auto mischen = [anteilA](int x, int y) {
        return (x * anteilA + y * (100 - anteilA)) / 100;
    };
    return QColor(mischen(a.red(), b.red()), mischen(a.green(), b.green()),
                  mischen(a.blue(), b.blue()));
}

QPalette AussehenPalette(const QColor& text, const QColor& hintergrund) {
    QPalette palette;
    GruppeSetzen(palette, QPalette::Active, text, hintergrund);
    GruppeSetzen(palette, QPalette::Inactive, text, hintergrund);
    // Disabled text halfway to the background: still readable, and told apart.
    GruppeSetzen(palette, QPalette::Disabled, Mischfarbe(text, hintergrund, 50), hintergrund);
    return palette;
}

QColor KontrastZu(const QPalette& palette, const QColor& grund) {
    const QColor text = palette.color(QPalette::WindowText);
    const QColor hintergrund = palette.color(QPalette::Window);
    return Abstand(text, grund) >= Abstand(hintergrund, grund) ? text : hintergrund;
}

} // namespace lorvane
