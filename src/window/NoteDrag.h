#pragma once

#include "window/clsDockingHandler.h"

#include <QObject>
#include <QPoint>
#include <QRect>

class CaptionStrip;
class FrameLabel;
class QWidget;

// Moving and sizing a frameless note with the mouse. A move starts on the caption strip or on
// the window's bare surface and snaps the note's edges to the work area (the docking handler
// holds the rules); a size starts on the grip. The window system sizes where it can (so it
// shows its own feedback and keeps the pointer); elsewhere the note follows the pointer by
// hand until the button is released.
class NoteDrag : public QObject {
    Q_OBJECT

public:
    // A child of the note window it moves.
    explicit NoteDrag(QWidget* window);

    // Takes the moves of the strip and the presses of the grip.
    void attach(CaptionStrip* strip, FrameLabel* grip);
    // The snap distance follows the screen the note is on when the note is loaded.
    void setUpSnapping();

    // Driven by the window's own mouse events and by the strip.
    void startMove(QPoint globalPos);
    void followMove(QPoint globalPos);
    void endMove() { m_moving = false; }
    void startResize(QPoint globalPos);
    void followResize(QPoint globalPos);
    void endResize() { m_manualResize = false; }
    // A release anywhere on the window ends whatever drag was running.
    void end();

    bool isMoving() const { return m_moving; }
    const clsDockingHandler& docking() const { return m_docking; }

private:
    QPointF twipsInWindow(QPoint globalPos) const;

    QWidget* m_window;
    clsDockingHandler m_docking;
    bool m_moving = false; // a press on a move surface, until its release
    bool m_manualResize = false;
    QPoint m_resizeStart;
    QRect m_resizeStartGeometry;
};
