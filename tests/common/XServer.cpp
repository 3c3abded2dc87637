#include "XServer.h"

#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <unistd.h>

namespace {
QString runTool(const QString& program, const QStringList& arguments, const QString& display)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    tool.setProcessEnvironment(environment);
    tool.setProcessChannelMode(QProcess::SeparateChannels);
    tool.start(program, arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}
} // namespace

XServer::~XServer()
{
    for (QProcess* process : {&m_windowManager, &m_server}) {
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(3000))
                process->kill();
            process->waitForFinished(3000);
        }
    }
}

bool XServer::haveTool(const QString& name)
{
    return !QStandardPaths::findExecutable(name).isEmpty();
}

QString XServer::start(bool withWindowManager)
{
    for (const char* tool : {"Xvfb", "xdotool", "xwininfo"}) {
        if (!haveTool(QLatin1String(tool)))
            return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
    }
    if (withWindowManager && !haveTool(QStringLiteral("openbox")))
        return QStringLiteral("openbox is not installed");

    // Xvfb picks a free display and tells it on the descriptor we give it.
    int fds[2];
    if (pipe(fds) != 0)
        return QStringLiteral("no pipe");
    m_server.setChildProcessModifier([fds] { close(fds[0]); });
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QString::number(fds[1]),
                    QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    close(fds[1]);
    QByteArray number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (!m_server.waitForStarted(5000) || number.isEmpty())
        return QStringLiteral("Xvfb did not start");
    m_display = QLatin1Char(':') + QString::fromLatin1(number);

    if (withWindowManager) {
        m_windowManager.setProcessEnvironment(environment());
        m_windowManager.start(QStringLiteral("openbox"), {});
        m_windowManager.waitForStarted(5000);
        QThread::msleep(500);
    }
    return QString();
}

QProcessEnvironment XServer::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return environment;
}

QString XServer::run(const QString& program, const QStringList& arguments) const
{
    return runTool(program, arguments, m_display);
}

QStringList XServer::windowIds(const QString& titlePattern) const
{
    const QString output = runTool(QStringLiteral("xdotool"),
                                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                    QStringLiteral("--name"), titlePattern},
                                   m_display);
    return output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QRect XServer::geometry(const QString& windowId) const
{
    const QString output =
        runTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId}, m_display);
    auto field = [&output](const char* label) {
        const QRegularExpression pattern(QLatin1String(label) + QStringLiteral(":\\s*(-?\\d+)"));
        return pattern.match(output).captured(1).toInt();
    };
    return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                 field("Height"));
}
