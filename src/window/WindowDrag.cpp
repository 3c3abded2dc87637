#include "window/WindowDrag.h"

#include <QWidget>
#include <QWindow>

void WindowDrag::start(QPoint globalPos)
{
    QWindow* handle = m_window->windowHandle();
    m_manual = !(handle && handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge));
    m_start = globalPos;
    m_startGeometry = m_window->geometry();
}

void WindowDrag::follow(QPoint globalPos)
{
    if (!m_manual)
        return;
    const QPoint delta = globalPos - m_start;
    m_window->resize(m_startGeometry.size() + QSize(delta.x(), delta.y()));
}
