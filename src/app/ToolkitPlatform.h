#pragma once

#include <QByteArray>
#include <QString>

// The window system the toolkit runs on. Notes place themselves and stay on top, which Wayland
// does not let a client do, so the program runs on X11 (under Wayland: XWayland) unless the user
// chose a platform in QT_QPA_PLATFORM. That choice is the toolkit's alone: programs started from
// here (a browser, a mail program) get the user's own environment back.
class ToolkitPlatform {
public:
    // Before the application object exists: chooses X11 unless the user chose a platform.
    ToolkitPlatform();

    // Empty when the toolkit can start; otherwise one sentence for the error stream: X11 is
    // the platform and no X server answers at the display the environment names.
    QString missingDisplay() const;

    // Once the application object exists: QT_QPA_PLATFORM as the user had it, unset if it was.
    void restoreUserEnvironment() const;

private:
    bool m_userSet;
    QByteArray m_userValue;
};
