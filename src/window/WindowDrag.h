#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

// Moving or sizing a frameless window by the mouse. The window system does it where it can
// (so it snaps, shows its own feedback and keeps the pointer); elsewhere the window follows
// the pointer by hand until the button is released.
class WindowDrag {
public:
    enum class Kind { Move, Resize };

    explicit WindowDrag(QWidget* window) : m_window(window) {}

    void start(Kind kind, QPoint globalPos);
    void follow(QPoint globalPos);
    void end() { m_manual = false; }

private:
    QWidget* m_window;
    Kind m_kind = Kind::Move;
    bool m_manual = false;
    QPoint m_start;
    QRect m_startGeometry;
};
