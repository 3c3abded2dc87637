#include "XServer.h"

#include <QFile>
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
// True once the condition holds, asked every tenth of a second for a few seconds.
template <typename Condition> bool soon(Condition holds)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (holds())
            return true;
        QThread::msleep(100);
    }
    return false;
}
// True once a client can talk to the display.
bool answers(const QString& display)
{
    return soon([&display] {
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        probe.setProcessEnvironment(environment);
        probe.start(QStringLiteral("xwininfo"), {QStringLiteral("-root")});
        return probe.waitForFinished(5000) && probe.exitStatus() == QProcess::NormalExit &&
               probe.exitCode() == 0;
    });
}
// True once a window manager has taken the screen: it names its check window on the root
// after it has asked for the windows that clients map.
bool managed(const QString& display)
{
    return soon([&display] {
        return runTool(QStringLiteral("xprop"),
                       {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")},
                       display)
            .contains(QStringLiteral("window id"));
    });
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
    for (const char* tool : {"Xvfb", "xdotool", "xwininfo", "xprop"}) {
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
                    QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                    // Without it the server resets whenever its last client leaves, and a
                    // program connecting just then (while a probe quits) is refused.
                    QStringLiteral("-noreset"), QStringLiteral("-fbdir"), m_frameBuffer.path()});
    close(fds[1]);
    QByteArray number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (!m_server.waitForStarted(5000) || number.isEmpty())
        return QStringLiteral("Xvfb did not start");
    m_display = QLatin1Char(':') + QString::fromLatin1(number);
    if (!answers(m_display))
        return QStringLiteral("Xvfb does not answer on %1").arg(m_display);

    if (withWindowManager) {
        m_windowManager.setProcessEnvironment(environment());
        m_windowManager.start(QStringLiteral("openbox"), {});
        if (!m_windowManager.waitForStarted(5000) || !managed(m_display))
            return QStringLiteral("openbox does not manage %1").arg(m_display);
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

QString XServer::program(const QString& name)
{
    return qEnvironmentVariable("JOTTEX_BIN_DIR", QStringLiteral(JOTTEX_BINARY_DIR "/src")) +
           QLatin1Char('/') + name;
}

bool XServer::launch(QProcess& process, const QStringList& arguments, const QString& name) const
{
    process.setProcessEnvironment(environment());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program(name), arguments);
    return process.waitForStarted(10000);
}

bool XServer::launch(QProcess& process, const QStringList& arguments,
                     const QProcessEnvironment& environment) const
{
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program(), arguments);
    return process.waitForStarted(10000);
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

QStringList XServer::noteWindowIds() const
{
    const QString output = runTool(QStringLiteral("xdotool"),
                                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                    QStringLiteral("--class"), QStringLiteral("^Jottex$")},
                                   m_display);
    QStringList notes;
    for (const QString& id : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString role = runTool(QStringLiteral("xprop"),
                                     {QStringLiteral("-id"), id, QStringLiteral("-notype"),
                                      QStringLiteral("WM_WINDOW_ROLE")},
                                     m_display);
        if (role.contains(QStringLiteral("= \"note\"")))
            notes << id;
    }
    return notes;
}

QStringList XServer::popupMenus(const QString& classPattern) const
{
    const QString output = runTool(QStringLiteral("xdotool"),
                                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                    QStringLiteral("--class"), classPattern},
                                   m_display);
    QStringList menus;
    for (const QString& id : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString info =
            runTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id}, m_display);
        if (!info.contains(QStringLiteral("Override Redirect State: yes")))
            continue;
        const QString type =
            runTool(QStringLiteral("xprop"),
                    {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_WINDOW_TYPE")}, m_display);
        if (!type.contains(QStringLiteral("_NET_WM_WINDOW_TYPE_TOOLTIP")))
            menus << id;
    }
    return menus;
}

namespace {
// The window ids in xprop's answer ("... window id # 0x1a00003, 0x1c00007"), as decimals.
QStringList windowIdsIn(const QString& xpropOutput)
{
    QStringList ids;
    static const QRegularExpression hex(QStringLiteral("0x[0-9a-fA-F]+"));
    for (const QRegularExpressionMatch& match :
         hex.globalMatch(xpropOutput.section(QLatin1Char(':'), 1)))
        ids << QString::number(match.captured().toUInt(nullptr, 16));
    return ids;
}
} // namespace

QStringList XServer::stackingOrder() const
{
    return windowIdsIn(
        run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("-notype"),
                                      QStringLiteral("_NET_CLIENT_LIST_STACKING")}));
}

QString XServer::transientFor(const QString& windowId) const
{
    return windowIdsIn(run(QStringLiteral("xprop"),
                           {QStringLiteral("-id"), windowId, QStringLiteral("-notype"),
                            QStringLiteral("WM_TRANSIENT_FOR")}))
        .value(0);
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

// Xvfb's screen file: a header of big-endian 32-bit fields, the colour map, then the pixels.
QImage XServer::grab(const QRect& area) const
{
    QFile file(m_frameBuffer.filePath(QStringLiteral("Xvfb_screen0")));
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    const QByteArray bytes = file.readAll();
    auto field = [&bytes](int index) {
        const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + 4 * qsizetype(index);
        return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
    };
    if (bytes.size() < 100 || field(1) != 7 || field(2) != 2 || field(11) != 32)
        return QImage(); // not a 32-bit ZPixmap XWD file
    const QRect screen(0, 0, int(field(4)), int(field(5)));
    const bool lsbFirst = field(7) == 0;
    const quint32 bytesPerLine = field(12);
    const quint32 masks[3] = {field(14), field(15), field(16)};
    const qsizetype pixels = qsizetype(field(0)) + qsizetype(field(19)) * 12;
    if (!screen.contains(area) || bytes.size() < pixels + qsizetype(bytesPerLine) * screen.height())
        return QImage();
    auto channel = [](quint32 value, quint32 mask) {
        return int((value & mask) / (mask & ~(mask << 1)) & 0xff);
    };
    QImage image(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + pixels +
                            qsizetype(area.y() + y) * bytesPerLine + qsizetype(area.x() + x) * 4;
            const quint32 value = lsbFirst ? quint32(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0]
                                           : quint32(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
            image.setPixel(
                x, y,
                qRgb(channel(value, masks[0]), channel(value, masks[1]), channel(value, masks[2])));
        }
    }
    return image;
}
