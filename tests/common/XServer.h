#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A private Xvfb display (optionally with openbox) for tests that run the real program.
class XServer {
public:
    ~XServer();

    // Empty when the server is up; otherwise why it could not start (the test skips).
    QString start(bool withWindowManager = false);
    QString display() const { return m_display; }

    // Environment for a program on this display with the caller's isolated folders.
    QProcessEnvironment environment() const;

    // Visible top-level windows whose title matches the regular expression.
    QStringList windowIds(const QString& titlePattern) const;
    // Left, top, width and height of a window, from xwininfo.
    QRect geometry(const QString& windowId) const;

    // Runs a tool such as xdotool on this display; its output.
    QString run(const QString& program, const QStringList& arguments) const;

    static bool haveTool(const QString& name);

private:
    QProcess m_server;
    QProcess m_windowManager;
    QString m_display;
};
