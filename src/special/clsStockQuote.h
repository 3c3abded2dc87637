#pragma once

#include "shell/AppError.h"

#include <QObject>
#include <QString>

class HttpGet;

// A stock quote: one CSV line from the quote service at QuoteServer, for Symbol. Refresh
// announces the outcome with DataReceived or DataError once control returns to the event
// loop; without a service that is straight away.
class clsStockQuote : public QObject {
    Q_OBJECT

public:
    explicit clsStockQuote(QObject* parent = nullptr);
    ~clsStockQuote() override;

    QString Symbol() const { return m_symbol; }
    void setSymbol(const QString& symbol) { m_symbol = symbol.toUpper(); }
    // The service's address, "http://host[:port]"; the request path follows it.
    QString QuoteServer() const { return m_server; }
    void setQuoteServer(const QString& server) { m_server = server; }
    QString HTTPProxy() const { return m_proxy; }
    void setHTTPProxy(const QString& proxy) { m_proxy = proxy; }
    QString QuoteData() const { return m_quoteData; }
    void setQuoteData(const QString& data) { m_quoteData = data; }
    // Why the last DataError came, when it was a fetch failure.
    const Result& LastError() const { return m_lastError; }

    // Fields read from QuoteData when asked; the numbers fail for text that is not a number.
    Expected<double> LastPrice() const { return numberField(1); }
    QString TradeDate() const { return GetQuoteField(2); }
    QString TradeTime() const { return GetQuoteField(3); }
    QString Change() const { return GetQuoteField(4); }
    Expected<double> OpenPrice() const { return numberField(5); }
    Expected<double> HighPrice() const { return numberField(6); }
    Expected<double> LowPrice() const { return numberField(7); }
    Expected<qint32> Volume() const;

    // The field at the zero-based index, double quotes removed; empty beyond the last.
    QString GetQuoteField(int index) const;
    // The request address for Symbol, empty without a service.
    QString RequestUrl() const;

    void Refresh();
    bool IsFetching() const;
    void Abort(); // no event follows

signals:
    void DataReceived();
    void DataError();

private:
    void fetched();
    void announce();
    Expected<double> numberField(int index) const;

    QString m_symbol;
    QString m_server;
    QString m_proxy;
    QString m_quoteData;
    Result m_lastError;
    bool m_noServicePending = false;
    HttpGet* m_get = nullptr;
};
