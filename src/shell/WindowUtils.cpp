#include "shell/WindowUtils.h"

#include "dialogs/WindowBand.h"
#include "richtext/CodePages.h"
#include "shell/LinkPolicy.h"
#include "shell/Seams.h"

#include <QFile>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <memory>
#include <xcb/xcb.h>

namespace {
const char* const kDropShadowProperty = "jottexDropShadow";

} // namespace

bool modMain::SetTopMost(QWidget* window, TopMostMode mode)
{
    if (!window || (mode != TopMostMode::IntoBand && mode != TopMostMode::OutOfBand))
        return false;
    WindowBand::place(window, mode == TopMostMode::IntoBand);
    return true;
}

void modMain::DropOpacityHint(QWidget* window)
{
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    // The platform window Qt draws into and sets the opacity on.
    const QWindow* handle = window ? window->windowHandle() : nullptr;
    const WId id = handle && handle->handle() ? handle->winId() : 0;
    if (!connection || !id)
        return;
    static const char name[] = "_NET_WM_WINDOW_OPACITY";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof name - 1, name),
                              nullptr),
        &free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return;
    xcb_delete_property(connection, static_cast<xcb_window_t>(id), atom->atom);
    xcb_flush(connection);
}

void modMain::SetDropShadow(QWidget* window)
{
    if (window)
        window->setProperty(kDropShadowProperty, true);
}

bool modMain::HasDropShadow(const QWidget* window)
{
    return window && window->property(kDropShadowProperty).toBool();
}

bool modMain::ShellOpen(const QString& verb, const QString& target, const QString&, const QString&,
                        int)
{
    if (verb.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return false;
    const auto url = LinkPolicy::openableUrl(target);
    if (!url)
        return false;
    return Seams::current().openUrl(*url);
}

QString modMain::ReadTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return RichText::decodeUtf8OrWindows1252(file.readAll());
}
