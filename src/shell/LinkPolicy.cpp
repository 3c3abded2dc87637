#include "shell/LinkPolicy.h"

#include <QRegularExpression>
#include <QUrlQuery>
#include <algorithm>

namespace {
const QRegularExpression& linkPattern()
{
    static const QRegularExpression pattern(
        // A scheme or "www." counts only at the start of a word: "sftp://" holds no "ftp://".
        QStringLiteral("(?<![A-Za-z0-9_.+-])(?:(?:https?|ftp)://|mailto:|www\\.)[^\\s<>\"]+"
                       "|[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\\.[A-Za-z0-9-]+)+"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// Punctuation that ends a sentence is not part of the address before it.
int trimmedLinkLength(const QString& text, int start, int length)
{
    static const QString trailing = QStringLiteral(".,;:!?)]}'");
    while (length > 0 && trailing.contains(text.at(start + length - 1)))
        --length;
    return length;
}

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

QList<LinkPolicy::Span> LinkPolicy::linksIn(const QString& line)
{
    QList<Span> spans;
    auto matches = linkPattern().globalMatch(line);
    while (matches.hasNext()) {
        const auto match = matches.next();
        const int start = static_cast<int>(match.capturedStart());
        const int length = trimmedLinkLength(line, start, static_cast<int>(match.capturedLength()));
        if (length > 0)
            spans.append({start, length});
    }
    return spans;
}

std::optional<QUrl> LinkPolicy::openableUrl(const QString& linkText)
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
