#include "shell/WindowUtils.h"

#include "richtext/CodePages.h"
#include "shell/Seams.h"

#include <QFile>
#include <QRegularExpression>
#include <QWidget>
#include <QWindow>

namespace {
const char* const kDropShadowProperty = "jottexDropShadow";

bool looksLikeMailAddress(const QString& text)
{
    static const QRegularExpression mail(
        QStringLiteral("^[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)+$"));
    return mail.match(text).hasMatch();
}
} // namespace

bool modMain::SetTopMost(QWidget* window, TopMostMode mode)
{
    if (!window || (mode != TopMostMode::IntoBand && mode != TopMostMode::OutOfBand))
        return false;
    window->winId(); // the native window must exist to carry the flag
    QWindow* handle = window->windowHandle();
    if (!handle)
        return false;
    // Set on the QWindow so the widget is not re-created (which would hide it).
    handle->setFlag(Qt::WindowStaysOnTopHint, mode == TopMostMode::IntoBand);
    return true;
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
    if (text.isEmpty())
        return std::nullopt;
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + text, QUrl::TolerantMode);
    if (looksLikeMailAddress(text))
        return QUrl(QStringLiteral("mailto:") + text, QUrl::TolerantMode);
    const QUrl url(text, QUrl::TolerantMode);
    static const QStringList allowed{QStringLiteral("http"), QStringLiteral("https"),
                                     QStringLiteral("ftp"), QStringLiteral("mailto")};
    if (!url.isValid() || !allowed.contains(url.scheme().toLower()))
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
