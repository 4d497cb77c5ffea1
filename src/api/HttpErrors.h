#pragma once
// The two ways a request to the service can fail. Callers tell them apart by
// type: the sales upload and the daily closing catch EHttpProtocol only.

#include "support/Errors.h"

// The service answered with a status outside 200..299. The message is the
// reply's status line exactly as the service sent it ("HTTP/1.1 400 Bad Request").
// The reply body is not kept: a failed request gives no body.
class EHttpProtocol : public AppError {
public:
    EHttpProtocol(int statusCode, const QString& statusLine, const QString& url)
        : AppError(statusLine), m_statusCode(statusCode), m_url(url) {}
    [[nodiscard]] int statusCode() const { return m_statusCode; }
    [[nodiscard]] const QString& statusLine() const { return message(); }
    [[nodiscard]] const QString& url() const { return m_url; }

private:
    int m_statusCode;
    QString m_url;
};

// The request got no HTTP reply: a refused, reset or timed-out connection, an
// unknown host, a failed TLS handshake or certificate check, a malformed or
// empty URL. The message is the transfer library's description followed by the
// method and URL of the request.
class EHttpTransport : public AppError {
public:
    EHttpTransport(const QString& message, const QString& url) : AppError(message), m_url(url) {}
    [[nodiscard]] const QString& url() const { return m_url; }

private:
    QString m_url;
};
