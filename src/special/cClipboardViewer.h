#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Tells one note window when the clipboard changes. Any number of viewers may watch at once;
// each hears every change, and stopping one leaves the others informed.
class cClipboardViewer : public QObject {
    Q_OBJECT

public:
    explicit cClipboardViewer(QObject* parent = nullptr);
    ~cClipboardViewer() override;

    // Stops any earlier watch, then watches for the window and reports the clipboard now at
    // once, as joining the watch does. A null window watches nothing.
    void InitClipboardChangeNotification(QWidget* window);
    void StopClipboardChangeNotification();
    bool isWatching() const { return m_joined; }

signals:
    void ClipboardChanged();

private:
    QPointer<QWidget> m_window;
    bool m_joined = false;
    QMetaObject::Connection m_connection;
};
