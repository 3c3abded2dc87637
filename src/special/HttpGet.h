#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <memory>

class HttpEngine;

// How a GET ended.
enum class HttpOutcome {
    Running,
    Ok,           // status 2xx, whole body read
    NoConnection, // the address could not be opened: bad address, no server, refused, proxy
    Failed,       // an answer that went wrong: error status, cut off, too large, too slow
};

// One HTTP GET, asynchronous, with the limits every fetch of the program keeps: the whole
// request within Seams::requestTimeoutMs(), a body of at most kMaxBodyBytes, at most
// kMaxRedirects redirects, http and https only. All fetches share one network manager, in the
// jottex-http module loaded by the first start(); without it every fetch ends as NoConnection.
class HttpGet : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kMaxBodyBytes = qint64(8) * 1024 * 1024;
    static constexpr int kMaxRedirects = 5;

    explicit HttpGet(QObject* parent = nullptr);
    ~HttpGet() override;

    // proxy: "host:port" of an HTTP proxy, or empty for the system's proxy settings.
    // agent: the User-Agent the request names itself with. One more request header may be
    // given as "Name: value".
    void start(const QUrl& url, const QString& proxy, const QByteArray& agent,
               const QByteArray& header = {});
    // Ends a running request; finished() does not follow.
    void abort();
    bool isRunning() const { return m_outcome == HttpOutcome::Running; }

    HttpOutcome outcome() const { return m_outcome; }
    int status() const { return m_status; }
    const QByteArray& body() const { return m_body; }
    QString charset() const { return m_charset; } // from the Content-Type, empty when none
    QString errorText() const { return m_errorText; }

signals:
    void finished();

private:
    void endLater(HttpOutcome outcome, const QString& errorText);
    void end(HttpOutcome outcome, const QString& errorText = {});

    std::unique_ptr<HttpEngine> m_engine;
    quint64 m_run = 0; // counts start()s, so a late report of an earlier one is dropped
    QTimer m_deadline;
    HttpOutcome m_outcome = HttpOutcome::Ok;
    int m_status = 0;
    QByteArray m_body;
    QString m_charset;
    QString m_errorText;
};
