#include "special/cClipboardViewer.h"

#include "special/cCustomClipboard.h"

#include <QClipboard>
#include <QWidget>

// Each viewer listens to the desktop clipboard on its own, so there is no chain of viewers to
// keep: leaving never cuts another viewer off.
cClipboardViewer::cClipboardViewer(QObject* parent) : QObject(parent) {}

cClipboardViewer::~cClipboardViewer()
{
    StopClipboardChangeNotification();
}

void cClipboardViewer::InitClipboardChangeNotification(QWidget* window)
{
    StopClipboardChangeNotification();
    m_window = window;
    QClipboard* clipboard = cCustomClipboard::SystemClipboard();
    if (window == nullptr || clipboard == nullptr)
        return;
    m_connection = connect(clipboard, &QClipboard::dataChanged, this, [this] {
        // A window that has gone away hears nothing more.
        if (m_window.isNull())
            StopClipboardChangeNotification();
        else
            emit ClipboardChanged();
    });
    m_joined = true;
    // Joining reports the clipboard as it is now.
    emit ClipboardChanged();
}

void cClipboardViewer::StopClipboardChangeNotification()
{
    if (m_joined)
        disconnect(m_connection);
    m_joined = false;
}
