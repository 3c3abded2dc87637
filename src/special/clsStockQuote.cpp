#include "special/clsStockQuote.h"

#include "special/HttpGet.h"

#include <QLocale>
#include <QUrl>

namespace {
const QString kSource = QStringLiteral("clsStockQuote");
// The agent name the quote service has always seen from this program.
constexpr char kQuoteAgent[] = "vb wininet";

AppError quoteError(int number, const QString& description)
{
    return AppError{number, kSource, description};
}

AppError notANumber(const QString& text)
{
    AppError error = AppError::fromNumber(ErrorNumber::TypeMismatch, kSource);
    error.description += QStringLiteral(": \"%1\"").arg(text);
    return error;
}
} // namespace

clsStockQuote::clsStockQuote(QObject* parent) : QObject(parent) {}

clsStockQuote::~clsStockQuote() = default;

QString clsStockQuote::GetQuoteField(int index) const
{
    const QStringList fields = m_quoteData.split(QLatin1Char(','));
    if (index < 0 || index >= fields.size())
        return {};
    return QString(fields.at(index)).remove(QLatin1Char('"'));
}

// Prices come with a decimal point whatever the user's locale.
Expected<double> clsStockQuote::numberField(int index) const
{
    const QString text = GetQuoteField(index).trimmed();
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok)
        return notANumber(text);
    return value;
}

Expected<qint32> clsStockQuote::Volume() const
{
    const QString text = GetQuoteField(8).trimmed();
    bool ok = false;
    const qint32 value = QLocale::c().toInt(text, &ok);
    if (!ok)
        return notANumber(text);
    return value;
}

QString clsStockQuote::RequestUrl() const
{
    QString server = m_server.trimmed();
    while (server.endsWith(QLatin1Char('/')))
        server.chop(1);
    if (server.isEmpty())
        return {};
    if (!server.contains(QLatin1String("://")))
        server.prepend(QStringLiteral("http://"));
    return server + QStringLiteral("/d/quotes.csv?s=") +
           QString::fromLatin1(QUrl::toPercentEncoding(m_symbol)) +
           QStringLiteral("&f=sl1d1t1c1ohgv&e=.csv");
}

void clsStockQuote::Refresh()
{
    if (m_symbol.isEmpty() || IsFetching())
        return;
    m_lastError = Result::success();
    const QString url = RequestUrl();
    if (url.isEmpty()) {
        // Told as soon as control returns, as every other outcome is.
        m_noServicePending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_noServicePending)
                    return;
                m_noServicePending = false;
                m_lastError = quoteError(ErrorNumber::QuoteNoConnection,
                                         QStringLiteral("No quote service is set"));
                emit DataError();
            },
            Qt::QueuedConnection);
        return;
    }
    if (!m_get) {
        m_get = new HttpGet(this);
        connect(m_get, &HttpGet::finished, this, &clsStockQuote::fetched);
    }
    m_get->start(QUrl(url), m_proxy, kQuoteAgent);
}

bool clsStockQuote::IsFetching() const
{
    return m_noServicePending || (m_get && m_get->isRunning());
}

void clsStockQuote::Abort()
{
    m_noServicePending = false;
    if (m_get)
        m_get->abort();
}

void clsStockQuote::fetched()
{
    switch (m_get->outcome()) {
    case HttpOutcome::Ok:
        // The whole body, as 8-bit text.
        m_quoteData = QString::fromLatin1(m_get->body());
        announce();
        return;
    case HttpOutcome::NoConnection:
        m_lastError =
            quoteError(ErrorNumber::QuoteNoConnection, QStringLiteral("No internet connection"));
        break;
    default:
        m_lastError = quoteError(ErrorNumber::QuoteRetrieveFailed,
                                 QStringLiteral("Failure in retreiving stock symbol data"));
        break;
    }
    emit DataError();
}

void clsStockQuote::announce()
{
    // "N/A" as the trade date marks a symbol the service does not know.
    if (GetQuoteField(2) == QLatin1String("N/A"))
        emit DataError();
    else
        emit DataReceived();
}
