#include "window/FrameLabel.h"

#include <QMouseEvent>
#include <QPalette>

FrameLabel::FrameLabel(QWidget* parent) : QLabel(parent) {}

void FrameLabel::setTextColor(const QColor& color)
{
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, color);
    setPalette(colors);
}

void FrameLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit pressed(event->button(), event->globalPosition().toPoint());
}

void FrameLabel::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (event->buttons() & Qt::LeftButton)
        emit dragged(event->globalPosition().toPoint());
}

void FrameLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    emit released(event->button());
}

void FrameLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
