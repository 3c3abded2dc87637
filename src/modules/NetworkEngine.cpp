// The jottex-http module: HttpGet's engine over Qt Network.
#include "special/HttpEngine.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

namespace {
constexpr quint16 kDefaultProxyPort = 80;

// One manager for every fetch, so connections and proxy lookups are shared. It goes with the
// application object.
QNetworkAccessManager& sharedManager()
{
    static QPointer<QNetworkAccessManager> manager;
    if (!manager) {
        // http_proxy, https_proxy and no_proxy apply unless a proxy is set.
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        manager = new QNetworkAccessManager(QCoreApplication::instance());
    }
    return *manager;
}

QNetworkProxy proxyFor(const QString& setting)
{
    const QString trimmed = setting.trimmed();
    if (trimmed.isEmpty())
        return QNetworkProxy(QNetworkProxy::DefaultProxy);
    const QUrl url = QUrl(
        trimmed.contains(QLatin1String("://")) ? trimmed : QStringLiteral("http://") + trimmed);
    return {QNetworkProxy::HttpProxy, url.host(), quint16(url.port(kDefaultProxyPort))};
}

// Errors that mean the address could not be opened at all, rather than a bad answer.
bool isConnectionError(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProtocolUnknownError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
        return true;
    default:
        return false;
    }
}

class NetworkEngine final : public HttpEngine {
public:
    NetworkEngine() = default;
    NetworkEngine(const NetworkEngine&) = delete;
    NetworkEngine& operator=(const NetworkEngine&) = delete;
    ~NetworkEngine() override { abort(); }

    void start(const Request& request, Handlers handlers) override
    {
        abort();
        m_handlers = std::move(handlers);
        m_bodyLeft = request.maxBodyBytes + 1;
        QNetworkRequest get(request.url);
        get.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
        get.setMaximumRedirectsAllowed(request.maxRedirects);
        get.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        // Without one, Qt names every request "Mozilla/5.0". What Qt adds besides (Host,
        // Connection, Accept-Encoding for the answers it unpacks, and an Accept-Language it
        // always sends when none is set) the HTTP stack needs or insists on.
        get.setHeader(QNetworkRequest::UserAgentHeader, request.agent);
        const QByteArray& header = request.header;
        if (const qsizetype colon = header.indexOf(':'); colon > 0)
            get.setRawHeader(header.left(colon).trimmed(), header.mid(colon + 1).trimmed());
        QNetworkAccessManager& manager = sharedManager();
        manager.setProxy(proxyFor(request.proxy));
        m_reply = manager.get(get);
        QObject::connect(m_reply, &QNetworkReply::readyRead, m_reply, [this] { readBody(); });
        QObject::connect(m_reply, &QNetworkReply::finished, m_reply, [this] { onFinished(); });
    }

    void abort() override
    {
        m_handlers = {};
        if (!m_reply)
            return;
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        reply->disconnect();
        reply->abort();
        reply->deleteLater();
    }

private:
    // Reads no further than one byte past the cap: enough for the caller to see it was passed.
    void readBody()
    {
        if (!m_reply || m_bodyLeft <= 0)
            return;
        const QByteArray piece = m_reply->read(m_bodyLeft);
        m_bodyLeft -= piece.size();
        // A copy: the handler may abort, which drops the handlers.
        if (const auto data = m_handlers.data; !piece.isEmpty() && data)
            data(piece);
    }

    void onFinished()
    {
        readBody();
        if (!m_reply)
            return;
        Reply reply;
        reply.status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        reply.contentType = m_reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
        if (const QNetworkReply::NetworkError error = m_reply->error();
            error != QNetworkReply::NoError) {
            reply.failure = isConnectionError(error) ? Failure::NoConnection : Failure::BadAnswer;
            reply.errorText = m_reply->errorString();
        }
        auto done = std::move(m_handlers.done);
        abort();
        if (done)
            done(reply);
    }

    QPointer<QNetworkReply> m_reply;
    Handlers m_handlers;
    qint64 m_bodyLeft = 0;
};
} // namespace

extern "C" Q_DECL_EXPORT HttpEngine* jottex_create_http_engine()
{
    return new NetworkEngine;
}
