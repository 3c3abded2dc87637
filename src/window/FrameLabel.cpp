#include "window/FrameLabel.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPalette>

namespace {
// A frame label that acts as a button, as assistive technology sees it: a button that can be
// pressed, not the static text or picture a label is.
class FrameLabelButton : public QAccessibleWidget {
public:
    explicit FrameLabelButton(FrameLabel* label) : QAccessibleWidget(label, QAccessible::Button) {}

    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            static_cast<FrameLabel*>(widget())->activate();
        else
            QAccessibleWidget::doAction(actionName);
    }
};

// Labels that are not buttons keep the toolkit's own interface.
QAccessibleInterface* frameLabelInterface(const QString& className, QObject* object)
{
    auto* label = qobject_cast<FrameLabel*>(object);
    if (className == QLatin1String("FrameLabel") && label && label->actsAsButton())
        return new FrameLabelButton(label);
    return nullptr;
}
} // namespace

FrameLabel::FrameLabel(QWidget* parent) : QLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(frameLabelInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void FrameLabel::setActsAsButton(bool button)
{
    m_actsAsButton = button;
}

void FrameLabel::activate()
{
    emit activated();
}

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
