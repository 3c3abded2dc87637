#include "special/clsRSS.h"

#include "shell/BackgroundTask.h"
#include "shell/SafeXml.h"
#include "special/HttpGet.h"

#include <QDomDocument>
#include <QUrl>
#include <optional>

namespace {
constexpr int kStatusOk = 200;
// The feed is fetched as the classic HTTP request object fetched it, under that object's own
// default agent name.
constexpr char kFeedAgent[] = "Mozilla/4.0 (compatible; Win32; WinHttp.WinHttpRequest.5)";

// The element's name without a namespace prefix.
QString localName(const QDomElement& element)
{
    const QString name = element.tagName();
    return name.mid(name.indexOf(QLatin1Char(':')) + 1);
}

QDomElement childNamed(const QDomElement& parent, const QString& name)
{
    for (QDomElement child = parent.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement())
        if (localName(child) == name)
            return child;
    return {};
}

QList<QDomElement> childrenNamed(const QDomElement& parent, const QString& name)
{
    QList<QDomElement> children;
    for (QDomElement child = parent.firstChildElement(name); !child.isNull();
         child = child.nextSiblingElement(name))
        children.append(child);
    return children;
}

AppError missing(const QString& what)
{
    AppError error = AppError::fromNumber(ErrorNumber::ObjectNotSet);
    error.description = QStringLiteral("The feed has no %1").arg(what);
    return error;
}

// Where an Atom element links to: the first link that is the alternate (or says nothing).
QDomElement alternateLink(const QDomElement& parent)
{
    for (QDomElement link = parent.firstChildElement(); !link.isNull();
         link = link.nextSiblingElement()) {
        if (localName(link) != QLatin1String("link"))
            continue;
        const QString rel = link.attribute(QStringLiteral("rel"));
        if (rel.isEmpty() || rel == QLatin1String("alternate"))
            return link;
    }
    return {};
}

// What a feed may be: at most what one answer brings, and nested and filled no more than a
// note file may be. Refusals speak of the feed.
constexpr int kFeedMaxNesting = 64;
constexpr int kFeedMaxEntries = 100000;
const SafeXml::Rules kFeedRules{QLatin1StringView("feed"), QLatin1StringView("top-level elements"),
                                HttpGet::kMaxBodyBytes, kFeedMaxNesting, kFeedMaxEntries};

bool hasByteOrderMark(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
           bytes.startsWith("\xFE\xFF");
}

// A byte order mark comes first; then the charset of an HTTP answer wins over the document's
// own declaration.
Expected<QString> decodeFeed(const QByteArray& bytes, const QString& charset)
{
    if (charset.isEmpty() || hasByteOrderMark(bytes))
        return SafeXml::decode(bytes, kFeedRules);
    return SafeXml::decodeAs(bytes, charset, kFeedRules);
}

Result parseChannel(RSSChannel& into, const QDomElement& root, const QDomElement& channel)
{
    // Names as written, case included: "pubDate" is not "pubdate".
    const std::pair<const char*, QString*> fields[] = {
        {"title", &into.title},
        {"link", &into.link},
        {"copyright", &into.copyright},
        {"pubdate", &into.pubDate},
        {"lastbuilddate", &into.lastBuildDate},
        {"description", &into.description},
    };
    for (const auto& [name, field] : fields) {
        const QDomElement child = channel.firstChildElement(QLatin1String(name));
        if (!child.isNull())
            *field = child.text();
    }
    const QDomElement url =
        channel.firstChildElement(QStringLiteral("image")).firstChildElement(QStringLiteral("url"));
    if (!url.isNull())
        into.imageURL = url.text();

    QList<QDomElement> items = childrenNamed(channel, QStringLiteral("item"));
    // RSS 1.0 keeps its items beside the channel.
    if (items.isEmpty() && localName(root) == QLatin1String("RDF"))
        items = childrenNamed(root, QStringLiteral("item"));
    if (items.isEmpty())
        return {};
    // Whether items carry descriptions is read from the second item, or from the only one.
    const bool withDescriptions = !items.at(items.size() > 1 ? 1 : 0)
                                       .firstChildElement(QStringLiteral("description"))
                                       .isNull();
    for (const QDomElement& item : items) {
        const QDomElement link = item.firstChildElement(QStringLiteral("link"));
        const QDomElement description = item.firstChildElement(QStringLiteral("description"));
        const QDomElement title = item.firstChildElement(QStringLiteral("title"));
        if (link.isNull() || title.isNull() || (withDescriptions && description.isNull()))
            return missing(
                QStringLiteral("link, title or description in item %1").arg(into.items.size() + 1));
        into.items.append(
            {title.text(), withDescriptions ? description.text() : QString(), link.text()});
    }
    return {};
}

Result parseAtom(RSSChannel& into, const QDomElement& feed)
{
    if (localName(feed) != QLatin1String("feed"))
        return missing(QStringLiteral("channel"));
    const QDomElement title = childNamed(feed, QStringLiteral("title"));
    const QDomElement subtitle = childNamed(feed, QStringLiteral("subtitle"));
    into.title = title.text();
    into.description = subtitle.isNull() ? title.text() : subtitle.text();
    into.link = alternateLink(feed).attribute(QStringLiteral("href"));
    for (QDomElement entry = feed.firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement()) {
        if (localName(entry) != QLatin1String("entry"))
            continue;
        const QDomElement headline = childNamed(entry, QStringLiteral("title"));
        const QDomElement link = alternateLink(entry);
        if (headline.isNull() || link.isNull())
            return missing(QStringLiteral("title or link in entry %1").arg(into.items.size() + 1));
        into.items.append({headline.text(), childNamed(entry, QStringLiteral("summary")).text(),
                           link.attribute(QStringLiteral("href"))});
    }
    return {};
}

// Adds what the text says to the channel; the items before a failure stay.
Result parseText(RSSChannel& into, const QString& xml)
{
    // Entity declarations are refused before the tree is built, so nothing expands or is
    // read from elsewhere.
    const Expected<QDomDocument> document = SafeXml::parseText(xml, kFeedRules);
    if (document.failed())
        return document.error();
    const QDomElement root = document.value().documentElement();
    const QDomElement channel = root.firstChildElement(QStringLiteral("channel"));
    if (channel.isNull())
        return parseAtom(into, root);
    return parseChannel(into, root, channel);
}

// What reading a fetched answer gives back: the channel with the answer's items added, and
// the answer's text when it could be decoded.
struct Reading {
    RSSChannel channel;
    std::optional<QString> xml;
};
} // namespace

clsRSS::clsRSS(QObject* parent) : QObject(parent) {}

clsRSS::~clsRSS() = default;

void clsRSS::GetFeed()
{
    if (m_feedURL.isEmpty() || IsFetching())
        return;
    m_reading.reset();
    if (!m_get) {
        m_get = new HttpGet(this);
        connect(m_get, &HttpGet::finished, this, &clsRSS::fetched);
    }
    m_get->start(QUrl(m_feedURL), m_httpProxy, kFeedAgent,
                 QByteArrayLiteral("Content-type: text/html"));
}

bool clsRSS::IsFetching() const
{
    return (m_get && m_get->isRunning()) || (m_reading && m_reading->isRunning());
}

void clsRSS::Abort()
{
    if (m_get)
        m_get->abort();
    m_reading.reset();
}

void clsRSS::fetched()
{
    if (m_get->outcome() != HttpOutcome::Ok || m_get->status() != kStatusOk) {
        emit Done();
        return;
    }
    // Whatever goes wrong from here ends the fetch quietly; the items so far stay, and the
    // caller judges the fetch by Count, so a parse failure is dropped here on purpose.
    m_reading = BackgroundTask::start(
        this,
        [bytes = m_get->body(), charset = m_get->charset(),
         channel = m_channel](const BackgroundTask::Abandoned&) mutable {
            Reading reading{std::move(channel), std::nullopt};
            const Expected<QString> text = decodeFeed(bytes, charset);
            if (text.ok()) {
                reading.xml = text.value();
                (void)parseText(reading.channel, text.value());
            }
            return reading;
        },
        [this](Reading reading) {
            m_channel = std::move(reading.channel);
            if (reading.xml)
                m_feedXML = std::move(*reading.xml);
            emit Done();
        });
}

Result clsRSS::LoadFromBytes(const QByteArray& bytes, const QString& charset)
{
    if (bytes.size() > HttpGet::kMaxBodyBytes)
        return AppError{
            ErrorNumber::InvalidFileFormat, {}, QStringLiteral("The feed is too large")};
    const Expected<QString> text = decodeFeed(bytes, charset);
    if (text.failed())
        return text.error();
    return LoadFromCache(text.value());
}

Result clsRSS::LoadFromCache(const QString& xml)
{
    return parseText(m_channel, xml);
}
