#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

// Sizing a frameless window by its grip. The window system does it where it can (so it shows
// its own feedback and keeps the pointer); elsewhere the window follows the pointer by hand
// until the button is released. Moves are the window's own, since they snap to the edges.
class WindowDrag {
public:
    explicit WindowDrag(QWidget* window) : m_window(window) {}

    void start(QPoint globalPos);
    void follow(QPoint globalPos);
    void end() { m_manual = false; }

private:
    QWidget* m_window;
    bool m_manual = false;
    QPoint m_start;
    QRect m_startGeometry;
};
