#pragma once
// A window whose title bar must offer no buttons (a window that may not be minimised,
// maximised or closed on its own) goes without the window manager's frame: some window
// managers draw the buttons whatever the window asks for. Its title then stands in a
// line of its own at the top, in the window's font, the colours inverted, and the
// window is framed in its text colour. Dragging the line moves the window; the title
// the screen reader reads stays the window's own.

#include <QSize>
#include <QWidget>

namespace lorvane {

class TTitelZeile : public QWidget {
public:
    explicit TTitelZeile(QWidget& fenster);

    // Room around the client area the title line and the frame take: left, top.
    QPoint Versatz() const;
    // What the title line and the frame add to the client area.
    QSize Zusatz() const;
    // Lays the window out for a client area of that size: its controls moved below the
    // title line and inside the frame, and the window sized to hold both.
    void Einpassen(QSize client);

protected:
    void paintEvent(QPaintEvent* ereignis) override;
    void mousePressEvent(QMouseEvent* ereignis) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    int Rand() const;
    int Hoehe() const;
};

// Makes the window frameless with a title line; the line is returned, owned by it.
TTitelZeile& TitelZeileAnbringen(QWidget& fenster);

} // namespace lorvane
