#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>

// The network half of HttpGet. It lives in the jottex-http module, so that Qt Network and what it
// pulls in load only when a note first fetches. HttpGet keeps the deadline and the checks; an
// engine runs one GET at a time through the module's shared network manager.
class HttpEngine {
public:
    struct Request {
        QUrl url;
        QString proxy;     // "host:port", or empty for the system's proxy settings
        QByteArray agent;  // the User-Agent
        QByteArray header; // "Name: value", or empty
        int maxRedirects = 0;
        qint64 maxBodyBytes = 0; // the engine hands on at most one byte more than this
    };
    enum class Failure {
        None,
        NoConnection, // the address could not be opened
        BadAnswer,    // the server answered, but the transfer went wrong
    };
    struct Reply {
        int status = 0;
        QByteArray contentType;
        Failure failure = Failure::None;
        QString errorText;
    };
    struct Handlers {
        std::function<void(const QByteArray&)> data; // each piece of the body as it comes
        std::function<void(const Reply&)> done;      // once, after the last piece
    };

    HttpEngine() = default;
    HttpEngine(const HttpEngine&) = delete;
    HttpEngine& operator=(const HttpEngine&) = delete;
    virtual ~HttpEngine() = default;

    virtual void start(const Request& request, Handlers handlers) = 0;
    // Ends the running request; no handler is called after it.
    virtual void abort() = 0;
};

// The module and the function it exports that makes an engine; the caller owns the engine.
inline constexpr char kHttpModule[] = "jottex-http";
inline constexpr char kHttpEngineFactory[] = "jottex_create_http_engine";
using HttpEngineFactory = HttpEngine* (*)();
