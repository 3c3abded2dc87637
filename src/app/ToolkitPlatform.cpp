#include "app/ToolkitPlatform.h"

#include <QtGlobal>
#include <xcb/xcb.h>

namespace {
constexpr char kVariable[] = "QT_QPA_PLATFORM";

// The platform the toolkit will load: the first of a list ("xcb;wayland"), without its
// options ("xcb:option").
QByteArray chosenPlugin()
{
    QByteArray name = qgetenv(kVariable);
    for (const char separator : {';', ':'}) {
        if (const qsizetype end = name.indexOf(separator); end >= 0)
            name.truncate(end);
    }
    return name.trimmed();
}

// True when an X server answers at the display the environment names.
bool displayAnswers()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}
} // namespace

ToolkitPlatform::ToolkitPlatform()
    : m_userSet(qEnvironmentVariableIsSet(kVariable)), m_userValue(qgetenv(kVariable))
{
    if (m_userValue.isEmpty())
        qputenv(kVariable, "xcb");
}

QString ToolkitPlatform::missingDisplay() const
{
    if (chosenPlugin() != "xcb" || displayAnswers())
        return {};
    const QString display = qEnvironmentVariable("DISPLAY");
    const QString where = display.isEmpty()
                              ? QStringLiteral("and DISPLAY is not set")
                              : QStringLiteral("and none answers at DISPLAY=%1").arg(display);
    return QStringLiteral("jottex: Jottex needs an X display (under Wayland: XWayland), %1.\n")
        .arg(where);
}

void ToolkitPlatform::restoreUserEnvironment() const
{
    if (m_userSet)
        qputenv(kVariable, m_userValue);
    else
        qunsetenv(kVariable);
}
