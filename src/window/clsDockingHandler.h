#pragma once

#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>

// Moves a window with the mouse and makes its edges snap to the edges of the work area when
// they come within the snap distance, holding them there until the mouse has pulled further
// than that. Lengths in twips; the work area is the one of the screen that holds the window.
class clsDockingHandler {
public:
    // Left, top, right and bottom of an area, in twips; right and bottom lie just outside.
    struct Area {
        qint32 left = 0;
        qint32 top = 0;
        qint32 right = 0;
        qint32 bottom = 0;
    };
    // Where the work area of a window comes from: in pixels.
    using WorkAreaSource = std::function<QRect(const QWidget&)>;

    explicit clsDockingHandler(WorkAreaSource workArea = screenWorkArea);

    QWidget* ParentForm() const { return m_parent; }
    void setParentForm(QWidget* window) { m_parent = window; }
    qint32 SnapDistance() const { return m_snapDistance; }
    void setSnapDistance(qint32 twips) { m_snapDistance = twips; }

    // A left press at (X, Y) twips in the control that starts the drag.
    void StartDockDrag(double X, double Y);
    // A mouse move to (X, Y) twips in the same control with the button held.
    void UpdateDockDrag(double X, double Y);

    Area WorkArea() const { return m_workArea; }
    bool SnappedLeft() const { return m_snappedLeft; }
    bool SnappedRight() const { return m_snappedRight; }
    bool SnappedTop() const { return m_snappedTop; }
    bool SnappedBottom() const { return m_snappedBottom; }

    // The available geometry of the screen the window is on.
    static QRect screenWorkArea(const QWidget& window);

private:
    WorkAreaSource m_workAreaSource;
    QPointer<QWidget> m_parent;
    qint32 m_snapDistance;
    QPointF m_dragStart;
    Area m_workArea;
    bool m_snappedLeft = false;
    bool m_snappedRight = false;
    bool m_snappedTop = false;
    bool m_snappedBottom = false;
};
