#include "special/HttpGet.h"

#include "shell/ModuleLoader.h"
#include "shell/Seams.h"
#include "special/HttpEngine.h"

#include <QRegularExpression>

namespace {
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

// A new engine from the module, loaded on the first call; nullptr when it cannot be loaded.
std::unique_ptr<HttpEngine> newEngine()
{
    static const auto factory =
        reinterpret_cast<HttpEngineFactory>(ModuleLoader::resolve(kHttpModule, kHttpEngineFactory));
    return std::unique_ptr<HttpEngine>(factory ? factory() : nullptr);
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

void HttpGet::start(const QUrl& url, const QString& proxy, const QByteArray& agent,
                    const QByteArray& header)
{
    abort();
    ++m_run;
    m_outcome = HttpOutcome::Running;
    m_status = 0;
    m_body.clear();
    m_charset.clear();
    m_errorText.clear();
    if (!isWebAddress(url)) {
        endLater(HttpOutcome::NoConnection, QStringLiteral("Not a web address"));
        return;
    }
    if (!m_engine)
        m_engine = newEngine();
    if (!m_engine) {
        endLater(HttpOutcome::NoConnection, QStringLiteral("Network support is not installed"));
        return;
    }
    HttpEngine::Handlers handlers;
    handlers.data = [this](const QByteArray& piece) {
        m_body += piece;
        if (m_body.size() > kMaxBodyBytes)
            end(HttpOutcome::Failed, QStringLiteral("The answer is larger than 8 MB"));
    };
    handlers.done = [this](const HttpEngine::Reply& reply) {
        m_status = reply.status;
        m_charset = charsetOf(reply.contentType);
        if (reply.failure != HttpEngine::Failure::None)
            end(reply.failure == HttpEngine::Failure::NoConnection ? HttpOutcome::NoConnection
                                                                   : HttpOutcome::Failed,
                reply.errorText);
        else if (m_status < 200 || m_status > 299)
            end(HttpOutcome::Failed, QStringLiteral("HTTP status %1").arg(m_status));
        else
            end(HttpOutcome::Ok);
    };
    m_engine->start({url, proxy, agent, header, kMaxRedirects, kMaxBodyBytes}, std::move(handlers));
    m_deadline.start(Seams::current().requestTimeoutMs());
}

void HttpGet::abort()
{
    m_deadline.stop();
    if (m_outcome == HttpOutcome::Running)
        m_outcome = HttpOutcome::Failed;
    if (m_engine)
        m_engine->abort();
}

// Reported after start() returns, as every other outcome is, unless another start() came first.
void HttpGet::endLater(HttpOutcome outcome, const QString& errorText)
{
    QMetaObject::invokeMethod(
        this,
        [this, run = m_run, outcome, errorText] {
            if (run == m_run && m_outcome == HttpOutcome::Running)
                end(outcome, errorText);
        },
        Qt::QueuedConnection);
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
