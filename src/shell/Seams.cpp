#include "shell/Seams.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>
#include <memory>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {
Seams*& installed()
{
    static Seams* seams = nullptr;
    return seams;
}
} // namespace

qint64 Seams::writeFile(int fd, QByteArrayView bytes)
{
    return ::write(fd, bytes.data(), static_cast<size_t>(bytes.size()));
}

int Seams::syncFile(int fd)
{
    return ::fsync(fd);
}

bool Seams::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

namespace {
// The screen number of the display name (":1.2" is screen 2), which names the selection.
// xcb hands out its replies from malloc.
struct FreeReply {
    void operator()(void* reply) const { free(reply); } // NOLINT(cppcoreguidelines-no-malloc)
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeReply>;

int displayScreen()
{
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.indexOf('.', colon < 0 ? 0 : colon);
    return dot < 0 ? 0 : display.mid(dot + 1).toInt();
}
} // namespace

bool Seams::windowOpacityShown()
{
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(displayScreen());
    const XcbReply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.constData()),
        nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom->atom), nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

int Seams::requestTimeoutMs()
{
    constexpr int kTwentySeconds = 20000;
    return kTwentySeconds;
}

int Seams::lockPatienceMs()
{
    constexpr int kTenSeconds = 10000;
    return kTenSeconds;
}

Seams& Seams::current()
{
    static Seams system;
    return installed() ? *installed() : system;
}

void Seams::install(Seams* seams)
{
    installed() = seams;
}
