#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private Xvfb display (optionally with openbox) for tests that run the real program.
class XServer {
public:
    ~XServer();

    // Empty when the server is up; otherwise why it could not start (the test skips).
    QString start(bool withWindowManager = false);
    QString display() const { return m_display; }

    // Environment for a program on this display with the caller's isolated folders.
    QProcessEnvironment environment() const;

    // The built program of that name (jottex, jottex-cli).
    static QString program(const QString& name = QStringLiteral("jottex"));
    // Starts the built program on this display, its output on ours; false when it did not start.
    bool launch(QProcess& process, const QStringList& arguments = {},
                const QString& name = QStringLiteral("jottex")) const;
    // The same with an environment of the caller's, such as environment() with more set.
    bool launch(QProcess& process, const QStringList& arguments,
                const QProcessEnvironment& environment) const;

    // Visible top-level windows whose title matches the regular expression.
    QStringList windowIds(const QString& titlePattern) const;
    // Visible note windows of the program, whatever their titles say: its windows in the
    // "note" role.
    QStringList noteWindowIds() const;
    // Visible popup menus of programs whose window class matches the regular expression:
    // override-redirect windows other than tooltips.
    QStringList popupMenus(const QString& classPattern) const;
    // The managed windows as the window manager stacks them, bottom first
    // (_NET_CLIENT_LIST_STACKING), as decimal ids.
    QStringList stackingOrder() const;
    // The window a window is transient for (WM_TRANSIENT_FOR), as a decimal id; empty if none.
    QString transientFor(const QString& windowId) const;
    // Left, top, width and height of a window, from xwininfo.
    QRect geometry(const QString& windowId) const;
    // What the screen shows in that area. The pointer is drawn too: move it away first.
    QImage grab(const QRect& area) const;

    // Runs a tool such as xdotool on this display; its output.
    QString run(const QString& program, const QStringList& arguments) const;

    static bool haveTool(const QString& name);

private:
    QProcess m_server;
    QProcess m_windowManager;
    QString m_display;
    QTemporaryDir m_frameBuffer; // Xvfb keeps its screen here as an XWD file
};
