#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 at a port chosen when it starts, for fetch tests. Each
// path answers as its route says, also to requests that come as to a proxy (absolute URLs).
class HttpTestServer : public QObject {
    Q_OBJECT

public:
    enum class Mode {
        Whole,   // the answer at once
        Stall,   // reads the request and never answers
        Trickle, // the header, then one byte of the body every trickleMs
        Endless, // a body that never ends
    };
    struct Route {
        int status = 200;
        QByteArray contentType = "text/xml";
        QByteArray body;
        QByteArray location; // for redirects
        Mode mode = Mode::Whole;
        int trickleMs = 100;

        // An empty answer with this status, e.g. a redirect to location.
        static Route answering(int code, const QByteArray& location = {})
        {
            Route route;
            route.status = code;
            route.contentType = "text/html";
            route.location = location;
            return route;
        }
        static Route sending(Mode mode, const QByteArray& body = {}, int trickleMs = 100)
        {
            Route route;
            route.mode = mode;
            route.body = body;
            route.trickleMs = trickleMs;
            return route;
        }
    };

    HttpTestServer();

    quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:<port>" + path
    QString url(const QString& path) const;
    // path with its query, or without (then any query matches). Unknown paths answer 404.
    void setRoute(const QString& path, const Route& route) { m_routes.insert(path, route); }
    void serve(const QString& path, const QByteArray& body,
               const QByteArray& contentType = "text/xml");
    // The request targets in arrival order, as the request lines gave them.
    const QStringList& requests() const { return m_requests; }
    // The header lines of each request, in the same order, without the request line.
    const QList<QList<QByteArray>>& requestHeaders() const { return m_requestHeaders; }
    qint64 bytesSent() const { return m_bytesSent; }
    // Answers sent to their end (a trickle counts once its last byte is out).
    int answersCompleted() const { return m_completed; }
    // Connections that neither side has closed yet.
    int openConnections() const { return m_open; }

private:
    void accept();
    void readRequest(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QString& target);
    void trickle(QTcpSocket* socket, const QByteArray& body, int intervalMs);
    void pour(QTcpSocket* socket);
    void send(QTcpSocket* socket, const QByteArray& bytes);

    QTcpServer m_server;
    QHash<QString, Route> m_routes;
    QStringList m_requests;
    QList<QList<QByteArray>> m_requestHeaders;
    qint64 m_bytesSent = 0;
    int m_completed = 0;
    int m_open = 0;
};
