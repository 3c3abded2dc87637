#pragma once

#include "shell/AppError.h"
#include "special/clsRSSItem.h"

#include <QList>
#include <QObject>
#include <QString>

class HttpGet;
class QDomDocument;
class QDomElement;

// A news feed: its channel fields and items. RSS 0.9x and 2.0 are read from the channel;
// when a document has no channel, Atom 1.0 is read instead, and RSS 1.0 (RDF) items are
// taken beside the channel.
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

    QString Title() const { return m_title; }
    QString Link() const { return m_link; }
    QString Copyright() const { return m_copyright; }
    QString PubDate() const { return m_pubDate; }
    QString LastBuildDate() const { return m_lastBuildDate; }
    QString Description() const { return m_description; }
    QString ImageURL() const { return m_imageURL; }
    const QList<clsRSSItem>& NewsFeed() const { return m_items; }
    int Count() const { return int(m_items.size()); }

    // Fetches FeedURL and adds its items; Done() follows when it has ended, whatever the
    // outcome. Failures are quiet: Count() tells. Nothing happens for an empty FeedURL.
    void GetFeed();
    bool IsFetching() const;
    // Ends a running fetch; Done() does not follow.
    void Abort();
    // Reads a feed without the network; FeedXML stays as it is.
    Result LoadFromCache(const QString& xml);
    // The same for the bytes of a file or an answer: byte order mark, charset (of the HTTP
    // answer, which wins) or XML declaration, else UTF-8 or Windows-1252.
    Result LoadFromBytes(const QByteArray& bytes, const QString& charset = {});
    void Clear() { m_items.clear(); }

signals:
    void Done();

private:
    void fetched();
    Result parse(const QDomDocument& document);
    Result parseChannel(const QDomElement& root, const QDomElement& channel);
    Result parseAtom(const QDomElement& feed);

    QString m_feedURL;
    QString m_httpProxy;
    QString m_feedXML;
    QString m_title;
    QString m_link;
    QString m_copyright;
    QString m_pubDate;
    QString m_lastBuildDate;
    QString m_description;
    QString m_imageURL;
    QList<clsRSSItem> m_items;
    HttpGet* m_get = nullptr;
};
