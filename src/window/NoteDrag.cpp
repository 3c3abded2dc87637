#include "window/NoteDrag.h"

#include "shell/Twips.h"
#include "window/CaptionStrip.h"
#include "window/FrameLabel.h"

#include <QWidget>
#include <QWindow>
#include <cmath>

namespace {
constexpr int kSnapPixels = 20;
} // namespace

NoteDrag::NoteDrag(QWidget* window) : QObject(window), m_window(window)
{
    m_docking.setParentForm(window);
}

void NoteDrag::attach(CaptionStrip* strip, FrameLabel* grip)
{
    connect(strip, &CaptionStrip::moveStarted, this, &NoteDrag::startMove);
    connect(strip, &CaptionStrip::dragged, this, &NoteDrag::followMove);
    connect(strip, &CaptionStrip::dragEnded, this, &NoteDrag::endMove);
    connect(grip, &FrameLabel::pressed, this,
            [this](Qt::MouseButton, QPoint globalPos) { startResize(globalPos); });
    connect(grip, &FrameLabel::dragged, this, &NoteDrag::followResize);
    connect(grip, &FrameLabel::released, this, &NoteDrag::endResize);
}

void NoteDrag::setUpSnapping()
{
    m_docking.setSnapDistance(
        static_cast<qint32>(std::lround(Twips::perPixel(m_window->screen()) * kSnapPixels)));
}

QPointF NoteDrag::twipsInWindow(QPoint globalPos) const
{
    const double perPixel = Twips::perPixel(m_window->screen());
    const QPoint local = globalPos - m_window->pos();
    return {local.x() * perPixel, local.y() * perPixel};
}

void NoteDrag::startMove(QPoint globalPos)
{
    const QPointF at = twipsInWindow(globalPos);
    m_docking.StartDockDrag(at.x(), at.y());
    m_moving = true;
}

void NoteDrag::followMove(QPoint globalPos)
{
    if (!m_moving)
        return;
    const QPointF at = twipsInWindow(globalPos);
    m_docking.UpdateDockDrag(at.x(), at.y());
}

void NoteDrag::startResize(QPoint globalPos)
{
    QWindow* handle = m_window->windowHandle();
    m_manualResize = !(handle && handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge));
    m_resizeStart = globalPos;
    m_resizeStartGeometry = m_window->geometry();
    m_window->update();
}

void NoteDrag::followResize(QPoint globalPos)
{
    if (!m_manualResize)
        return;
    const QPoint delta = globalPos - m_resizeStart;
    m_window->resize(m_resizeStartGeometry.size() + QSize(delta.x(), delta.y()));
}

void NoteDrag::end()
{
    endResize();
    endMove();
}
