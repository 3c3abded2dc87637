#include "special/HttpGet.h"

#include "shell/Seams.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>

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

bool isWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QString charsetOf(const QByteArray& contentType)
{
    static const QRegularExpression kCharset(
        QStringLiteral("charset\\s*=\\s*\"?([A-Za-z0-9._:-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    return kCharset.match(QString::fromLatin1(contentType)).captured(1);
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
} // namespace

HttpGet::HttpGet(QObject* parent) : QObject(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this,
            [this] { end(HttpOutcome::Failed, QStringLiteral("The server took too long")); });
}

HttpGet::~HttpGet()
{
    abort();
}

void HttpGet::start(const QUrl& url, const QString& proxy, const QByteArray& header)
{
    abort();
    m_outcome = HttpOutcome::Running;
    m_status = 0;
    m_body.clear();
    m_charset.clear();
    m_errorText.clear();
    if (!isWebAddress(url)) {
        // Reported after start() returns, as every other outcome is.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_outcome == HttpOutcome::Running)
                    end(HttpOutcome::NoConnection, QStringLiteral("Not a web address"));
            },
            Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    if (const qsizetype colon = header.indexOf(':'); colon > 0)
        request.setRawHeader(header.left(colon).trimmed(), header.mid(colon + 1).trimmed());
    QNetworkAccessManager& manager = sharedManager();
    manager.setProxy(proxyFor(proxy));
    m_reply = manager.get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpGet::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &HttpGet::onFinished);
    m_deadline.start(Seams::current().requestTimeoutMs());
}

void HttpGet::abort()
{
    m_deadline.stop();
    if (m_outcome == HttpOutcome::Running)
        m_outcome = HttpOutcome::Failed;
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void HttpGet::readBody()
{
    if (!m_reply)
        return;
    m_body += m_reply->read(kMaxBodyBytes + 1 - m_body.size());
    if (m_body.size() > kMaxBodyBytes)
        end(HttpOutcome::Failed, QStringLiteral("The answer is larger than 8 MB"));
}

void HttpGet::onFinished()
{
    if (!m_reply)
        return;
    readBody();
    if (!m_reply)
        return;
    m_status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_charset = charsetOf(m_reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    const QNetworkReply::NetworkError error = m_reply->error();
    if (error != QNetworkReply::NoError)
        end(isConnectionError(error) ? HttpOutcome::NoConnection : HttpOutcome::Failed,
            m_reply->errorString());
    else if (m_status < 200 || m_status > 299)
        end(HttpOutcome::Failed, QStringLiteral("HTTP status %1").arg(m_status));
    else
        end(HttpOutcome::Ok);
}

void HttpGet::end(HttpOutcome outcome, const QString& errorText)
{
    abort();
    m_outcome = outcome;
    m_errorText = errorText;
    if (outcome != HttpOutcome::Ok)
        m_body.clear();
    emit finished();
}
