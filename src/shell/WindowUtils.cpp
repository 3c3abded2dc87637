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

// _NET_WM_DESKTOP's value for "every workspace".
constexpr quint32 kAllDesktops = 0xFFFFFFFF;
// The client message's source indication: a normal application.
constexpr quint32 kFromApplication = 1;

// The X11 window of a top-level widget, with its connection; none until the window exists.
struct X11Window {
    xcb_connection_t* connection = nullptr;
    xcb_window_t id = XCB_WINDOW_NONE;
    xcb_window_t root = XCB_WINDOW_NONE;

    explicit operator bool() const { return connection && id != XCB_WINDOW_NONE; }
};

X11Window x11WindowOf(const QWidget* window)
{
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    // The platform window Qt draws into.
    const QWindow* handle = window ? window->windowHandle() : nullptr;
    const WId id = handle && handle->handle() ? handle->winId() : 0;
    if (!connection || !id)
        return {};
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    return {connection, static_cast<xcb_window_t>(id), screens.rem ? screens.data->root : 0};
}

template <std::size_t N> xcb_atom_t internAtom(xcb_connection_t* connection, const char (&name)[N])
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, N - 1, name), nullptr),
        &free);
    return atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The first number of a CARDINAL property; fallback when the window has none.
quint32 cardinalProperty(const X11Window& window, xcb_window_t of, xcb_atom_t property,
                         quint32 fallback)
{
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
        xcb_get_property_reply(
            window.connection,
            xcb_get_property(window.connection, 0, of, property, XCB_ATOM_CARDINAL, 0, 1), nullptr),
        &free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return fallback;
    return *static_cast<const quint32*>(xcb_get_property_value(reply.get()));
}

bool isMapped(const X11Window& window)
{
    const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&free)> attributes(
        xcb_get_window_attributes_reply(
            window.connection, xcb_get_window_attributes(window.connection, window.id), nullptr),
        &free);
    return attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED;
}

// Asks the window manager to move a managed window to desktop.
void requestDesktop(const X11Window& window, xcb_atom_t wmDesktop, quint32 desktop)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window.id;
    message.type = wmDesktop;
    message.data.data32[0] = desktop;
    message.data.data32[1] = kFromApplication;
    xcb_send_event(window.connection, 0, window.root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}
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
    const X11Window x11 = x11WindowOf(window);
    if (!x11)
        return;
    const xcb_atom_t opacity = internAtom(x11.connection, "_NET_WM_WINDOW_OPACITY");
    if (opacity == XCB_ATOM_NONE)
        return;
    xcb_delete_property(x11.connection, x11.id, opacity);
    xcb_flush(x11.connection);
}

void modMain::SetOnAllWorkspaces(QWidget* window, bool all)
{
    const X11Window x11 = x11WindowOf(window);
    if (!x11)
        return;
    const xcb_atom_t wmDesktop = internAtom(x11.connection, "_NET_WM_DESKTOP");
    if (wmDesktop == XCB_ATOM_NONE)
        return;
    if (isMapped(x11)) {
        const xcb_atom_t current = internAtom(x11.connection, "_NET_CURRENT_DESKTOP");
        requestDesktop(x11, wmDesktop,
                       all ? kAllDesktops : cardinalProperty(x11, x11.root, current, 0));
    } else if (all) {
        xcb_change_property(x11.connection, XCB_PROP_MODE_REPLACE, x11.id, wmDesktop,
                            XCB_ATOM_CARDINAL, 32, 1, &kAllDesktops);
    } else {
        // Without the property the window manager maps the window where the user is.
        xcb_delete_property(x11.connection, x11.id, wmDesktop);
    }
    xcb_flush(x11.connection);
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
