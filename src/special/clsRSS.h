#pragma once

#include "shell/AppError.h"
#include "special/clsRSSItem.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class BackgroundTask;
class HttpGet;

// What a feed says: its channel's fields and its items, as a value that may cross threads.
struct RSSChannel {
    QString title;
    QString link;
    QString copyright;
    QString pubDate;
    QString lastBuildDate;
    QString description;
    QString imageURL;
    QList<clsRSSItem> items;
};

// A news feed: its channel fields and items. RSS 0.9x and 2.0 are read from the channel;
// when a document has no channel, Atom 1.0 is read instead, and RSS 1.0 (RDF) items are
// taken beside the channel. A fetched answer is read on a pooled thread, so a large feed
// never holds up the interface.
class clsRSS : public QObject {
    Q_OBJECT

public:
    explicit clsRSS(QObject* parent = nullptr);
    ~clsRSS() override;

    QString FeedURL() const { return m_feedURL; }
    void setFeedURL(const QString& url) { m_feedURL = url; }
    QString HTTPProxy() const { return m_httpProxy; }
    void setHTTPProxy(const QString& proxy) { m_httpProxy = proxy; }
    QString FeedXML() const { return m_feedXML; }
    void setFeedXML(const QString& xml) { m_feedXML = xml; }

    QString Title() const { return m_channel.title; }
    QString Link() const { return m_channel.link; }
    QString Copyright() const { return m_channel.copyright; }
    QString PubDate() const { return m_channel.pubDate; }
    QString LastBuildDate() const { return m_channel.lastBuildDate; }
    QString Description() const { return m_channel.description; }
    QString ImageURL() const { return m_channel.imageURL; }
    const QList<clsRSSItem>& NewsFeed() const { return m_channel.items; }
    int Count() const { return int(m_channel.items.size()); }
    // All of the above at once.
    const RSSChannel& Channel() const { return m_channel; }

    // Fetches FeedURL and adds its items; Done() follows when it has ended, whatever the
    // outcome. Failures are quiet: Count() tells. Nothing happens for an empty FeedURL.
    void GetFeed();
    // True from GetFeed() until Done().
    bool IsFetching() const;
    // Ends a running fetch, the reading of its answer included; Done() does not follow.
    void Abort();
    // Reads a feed without the network; FeedXML stays as it is.
    Result LoadFromCache(const QString& xml);
    // The same for the bytes of a file or an answer: byte order mark, charset (of the HTTP
    // answer, which wins) or XML declaration, else UTF-8 or Windows-1252.
    Result LoadFromBytes(const QByteArray& bytes, const QString& charset = {});
    void Clear() { m_channel.items.clear(); }

signals:
    void Done();

private:
    void fetched();

    QString m_feedURL;
    QString m_httpProxy;
    QString m_feedXML;
    RSSChannel m_channel;
    HttpGet* m_get = nullptr;
    std::unique_ptr<BackgroundTask> m_reading;
};
