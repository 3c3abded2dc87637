#include "window/CaretBlink.h"

#include <QApplication>
#include <QEvent>
#include <QStyleHints>

void CaretBlink::install(std::chrono::milliseconds timeout)
{
    new CaretBlink(timeout, qApp);
}

CaretBlink::CaretBlink(std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent), m_flashTime(QGuiApplication::styleHints()->cursorFlashTime())
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(timeout);
    connect(&m_timeout, &QTimer::timeout, this, &CaretBlink::rest);
    qApp->installEventFilter(this);
    m_timeout.start();
}

bool CaretBlink::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::InputMethod:
    case QEvent::FocusIn:
        wake();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CaretBlink::wake()
{
    // Text controls follow the period as it changes, so setting it starts every caret again.
    if (QGuiApplication::styleHints()->cursorFlashTime() != m_flashTime)
        QGuiApplication::styleHints()->setCursorFlashTime(m_flashTime);
    m_timeout.start();
}

void CaretBlink::rest()
{
    // A period of nothing leaves the caret shown and still.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
}
