#include "window/WindowDrag.h"

#include <QWidget>
#include <QWindow>

void WindowDrag::start(Kind kind, QPoint globalPos)
{
    QWindow* handle = m_window->windowHandle();
    const bool bySystem =
        handle && (kind == Kind::Move ? handle->startSystemMove()
                                      : handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge));
    m_manual = !bySystem;
    m_kind = kind;
    m_start = globalPos;
    m_startGeometry = m_window->geometry();
}

void WindowDrag::follow(QPoint globalPos)
{
    if (!m_manual)
        return;
    const QPoint delta = globalPos - m_start;
    if (m_kind == Kind::Move)
        m_window->move(m_startGeometry.topLeft() + delta);
    else
        m_window->resize(m_startGeometry.size() + QSize(delta.x(), delta.y()));
}
