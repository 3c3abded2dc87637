#include "window/clsDockingHandler.h"

#include "shell/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <cstdlib>

namespace {
constexpr int kInitialSnapPixels = 10;

qint32 roundTwips(double value)
{
    return static_cast<qint32>(std::lround(value));
}

double twipsPerPixel(const QWidget* window)
{
    return Twips::perPixel(window ? window->screen() : nullptr);
}

// One edge: free, held (the window stays on that axis) or snapping onto it.
struct EdgeRule {
    qint32 gap;     // how far the proposed place is from the edge
    qint32 current; // where the window is now on that axis
    qint32 snapped; // where it sits on the edge
    bool& held;
};

void applyEdge(const EdgeRule& edge, qint32 distance, qint32& proposed)
{
    if (edge.held) {
        if (std::abs(edge.gap) > distance)
            edge.held = false;
        else
            proposed = edge.current;
    } else if (std::abs(edge.gap) <= distance) {
        proposed = edge.snapped;
        edge.held = true;
    }
}
} // namespace

clsDockingHandler::clsDockingHandler(WorkAreaSource workArea)
    : m_workAreaSource(std::move(workArea)),
      m_snapDistance(roundTwips(twipsPerPixel(nullptr) * kInitialSnapPixels))
{
}

QRect clsDockingHandler::screenWorkArea(const QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void clsDockingHandler::StartDockDrag(double X, double Y)
{
    if (m_parent) {
        const QRect pixels = m_workAreaSource(*m_parent);
        const double perPixel = twipsPerPixel(m_parent);
        m_workArea = {roundTwips(pixels.left() * perPixel), roundTwips(pixels.top() * perPixel),
                      roundTwips((pixels.left() + pixels.width()) * perPixel),
                      roundTwips((pixels.top() + pixels.height()) * perPixel)};
    }
    m_dragStart = QPointF(X, Y);
}

void clsDockingHandler::UpdateDockDrag(double X, double Y)
{
    QWidget* window = m_parent;
    if (!window)
        return;
    const qint32 dx = roundTwips(X - m_dragStart.x());
    const qint32 dy = roundTwips(Y - m_dragStart.y());
    if (dx == 0 && dy == 0)
        return;
    const double perPixel = twipsPerPixel(window);
    const qint32 left = roundTwips(window->x() * perPixel);
    const qint32 top = roundTwips(window->y() * perPixel);
    const qint32 width = roundTwips(window->width() * perPixel);
    const qint32 height = roundTwips(window->height() * perPixel);
    qint32 newLeft = left + dx;
    qint32 newTop = top + dy;

    // Every gap from the proposed place, before any edge has moved it.
    const qint32 rightGap = m_workArea.right - (width + newLeft);
    const qint32 leftGap = newLeft - m_workArea.left;
    const qint32 bottomGap = m_workArea.bottom - (height + newTop);
    const qint32 topGap = newTop - m_workArea.top;

    // In this order: the top wins over the bottom and the left over the right.
    applyEdge({bottomGap, top, m_workArea.bottom - height, m_snappedBottom}, m_snapDistance,
              newTop);
    applyEdge({topGap, top, m_workArea.top, m_snappedTop}, m_snapDistance, newTop);
    applyEdge({rightGap, left, m_workArea.right - width, m_snappedRight}, m_snapDistance, newLeft);
    applyEdge({leftGap, left, m_workArea.left, m_snappedLeft}, m_snapDistance, newLeft);

    window->move(roundTwips(newLeft / perPixel), roundTwips(newTop / perPixel));
    window->raise();
}
