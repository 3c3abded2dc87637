#include "HttpTestServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <optional>

namespace {
constexpr qint64 kPourChunk = qint64(64) * 1024;

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

QByteArray header(const HttpTestServer::Route& route, std::optional<qint64> length)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' + reason(route.status) +
                      "\r\nContent-Type: " + route.contentType + "\r\nConnection: close\r\n";
    if (!route.location.isEmpty())
        head += "Location: " + route.location + "\r\n";
    if (length)
        head += "Content-Length: " + QByteArray::number(*length) + "\r\n";
    return head + "\r\n";
}
} // namespace

HttpTestServer::HttpTestServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpTestServer::accept);
    m_server.listen(QHostAddress::LocalHost, 0);
}

QString HttpTestServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void HttpTestServer::serve(const QString& path, const QByteArray& body,
                           const QByteArray& contentType)
{
    Route route;
    route.body = body;
    route.contentType = contentType;
    setRoute(path, route);
}

void HttpTestServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        ++m_open;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            --m_open;
            socket->deleteLater();
        });
    }
}

void HttpTestServer::readRequest(QTcpSocket* socket)
{
    if (socket->property("answered").toBool()) {
        socket->readAll();
        return;
    }
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n"))
        return;
    socket->setProperty("answered", true);
    QList<QByteArray> lines = request.left(request.indexOf("\r\n\r\n")).split('\n');
    for (QByteArray& line : lines)
        line = line.trimmed();
    const QString target = QString::fromLatin1(lines.takeFirst().split(' ').value(1));
    m_requests.append(target);
    m_requestHeaders.append(lines);
    answer(socket, target);
}

void HttpTestServer::answer(QTcpSocket* socket, const QString& target)
{
    // A proxy gets the whole address; the route is its path.
    const QUrl url(target);
    const QString pathAndQuery = url.path() + (url.hasQuery() ? u'?' + url.query() : QString());
    Route route;
    if (m_routes.contains(pathAndQuery))
        route = m_routes.value(pathAndQuery);
    else if (m_routes.contains(url.path()))
        route = m_routes.value(url.path());
    else {
        route = Route::answering(404);
        route.body = "<html><body>Not Found</body></html>";
    }
    switch (route.mode) {
    case Mode::Whole:
        send(socket, header(route, route.body.size()) + route.body);
        socket->disconnectFromHost();
        ++m_completed;
        break;
    case Mode::Stall:
        break;
    case Mode::Trickle:
        send(socket, header(route, route.body.size()));
        trickle(socket, route.body, route.trickleMs);
        break;
    case Mode::Endless:
        send(socket, header(route, std::nullopt));
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { pour(socket); });
        pour(socket);
        break;
    }
}

void HttpTestServer::trickle(QTcpSocket* socket, const QByteArray& body, int intervalMs)
{
    auto* timer = new QTimer(socket);
    auto position = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [this, socket, body, position, timer] {
        if (*position >= body.size()) {
            timer->stop();
            socket->disconnectFromHost();
            ++m_completed;
            return;
        }
        send(socket, body.mid((*position)++, 1));
    });
    timer->start(intervalMs);
}

void HttpTestServer::pour(QTcpSocket* socket)
{
    if (socket->state() != QAbstractSocket::ConnectedState || socket->bytesToWrite() > kPourChunk)
        return;
    send(socket, QByteArray(kPourChunk, 'x'));
}

void HttpTestServer::send(QTcpSocket* socket, const QByteArray& bytes)
{
    m_bytesSent += bytes.size();
    socket->write(bytes);
}
