#pragma once

#include <QLabel>

// A label or picture of the note's frame that answers the mouse itself: it reports presses,
// drags, releases and double-clicks as signals and keeps them from reaching the window
// beneath, so each control's clicks do only what that control does.
class FrameLabel : public QLabel {
    Q_OBJECT

public:
    explicit FrameLabel(QWidget* parent = nullptr);

    // The colour of the label's text; the label paints no background of its own.
    void setTextColor(const QColor& color);

    // A picture that stands for a command tells assistive technology that it is a button,
    // whose press action emits activated(). Set before the label is first shown.
    void setActsAsButton(bool button);
    bool actsAsButton() const { return m_actsAsButton; }
    // What pressing the label as a button does, for those who cannot click it.
    void activate();

signals:
    void activated();
    void pressed(Qt::MouseButton button, QPoint globalPos);
    void dragged(QPoint globalPos); // moved with the left button held
    void released(Qt::MouseButton button);
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_actsAsButton = false;
};
