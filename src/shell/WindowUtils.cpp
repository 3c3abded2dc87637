#include "shell/WindowUtils.h"

#include "richtext/CodePages.h"
#include "shell/Seams.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QUrlQuery>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <memory>
#include <xcb/xcb.h>

namespace {
const char* const kDropShadowProperty = "jottexDropShadow";

const QStringList kWebSchemes{QStringLiteral("http"), QStringLiteral("https"),
                              QStringLiteral("ftp")};
const QString kMailScheme = QStringLiteral("mailto");
// What a mail link may fill in; anything else (attachments above all) is dropped.
const QStringList kMailFields{QStringLiteral("to"), QStringLiteral("cc"), QStringLiteral("bcc"),
                              QStringLiteral("subject"), QStringLiteral("body")};

bool looksLikeMailAddress(const QString& text)
{
    static const QRegularExpression mail(
        QStringLiteral("^[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)+$"));
    return mail.match(text).hasMatch();
}

bool hasSpaceOrControl(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; });
}

// A host name of letters, digits and hyphens, in dot-separated labels.
bool isHostName(const QString& host)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*$"));
    return name.match(host).hasMatch();
}

QUrl withMailFieldsOnly(QUrl url)
{
    QUrlQuery kept;
    for (const auto& [name, value] : QUrlQuery(url).queryItems(QUrl::FullyEncoded)) {
        if (kMailFields.contains(name, Qt::CaseInsensitive))
            kept.addQueryItem(name, value);
    }
    url.setQuery(kept.isEmpty() ? QString() : kept.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return url;
}

// "www." and a valid host, taken as a web address.
std::optional<QUrl> wwwUrl(const QString& text)
{
    const QUrl url(QStringLiteral("http://") + text, QUrl::StrictMode);
    const QString host = url.host(QUrl::FullyEncoded);
    if (!url.isValid() || !host.startsWith(QLatin1String("www."), Qt::CaseInsensitive) ||
        !isHostName(host.mid(4)))
        return std::nullopt;
    return url;
}
} // namespace

bool modMain::SetTopMost(QWidget* window, TopMostMode mode)
{
    if (!window || (mode != TopMostMode::IntoBand && mode != TopMostMode::OutOfBand))
        return false;
    const bool onTop = mode == TopMostMode::IntoBand;
    // The widget keeps the flag without re-creating its window (which would hide it), so a
    // native window made later starts with it. Making that window now would cost a second
    // one at show: the X window is made anew when this flag changes before it is mapped.
    window->overrideWindowFlags(window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, onTop));
    if (QWindow* handle = window->windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
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

std::optional<QUrl> modMain::SafeLinkUrl(const QString& linkText)
{
    const QString text = linkText.trimmed();
    if (text.isEmpty() || hasSpaceOrControl(text))
        return std::nullopt;
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return wwwUrl(text);
    if (looksLikeMailAddress(text))
        return QUrl(QStringLiteral("mailto:") + text, QUrl::TolerantMode);
    const QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme == kMailScheme)
        return withMailFieldsOnly(url);
    if (!kWebSchemes.contains(scheme) || url.host().isEmpty())
        return std::nullopt;
    return url;
}

bool modMain::ShellOpen(const QString& verb, const QString& target, const QString&, const QString&,
                        int)
{
    if (verb.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return false;
    const auto url = SafeLinkUrl(target);
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
