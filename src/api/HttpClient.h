#pragma once
// THttpClient: one HTTP/1.1 client on libcurl, owning its easy handle.
//
// The program uses two kinds (see RequestClients.h): a fresh client for every
// POST to the service, and one long-lived client for every GET. Both draw
// their connections from the process-wide pool (CurlShared.h), so consecutive
// requests to the same host reuse one keep-alive connection.
//
// Replies and failures:
// - a status from 200 to 299 completes the request: the reply gives the status,
//   the status line and the body, and the body as text (a POST reply read in
//   the Windows-1252 code page, a GET reply in the charset its Content-Type
//   declares, ISO-8859-1 when it declares none);
// - any other status throws EHttpProtocol with the status code and the status
//   line as sent; the body is dropped;
// - every other failure (refused, reset, unknown host, time-out, TLS, bad URL,
//   a reply cut short or beyond the limits below, an abort) throws
//   EHttpTransport with libcurl's description (or the abort's).
//
// Limits: the tasks run one after the other, so a reply that stalls or
// trickles in holds back every task after it. A request fails when it moves
// slower than a floor for a while, when it lasts longer than a cap in all, or
// when its reply body grows beyond a size. The defaults leave room for the
// largest document of the service (promotions, some 50 MB) on a slow shop line
// (at 15 KB/s it takes under an hour), while a reply dripping a byte per second
// ends within about a minute.
//
// Abort: abortAll() (from any thread) ends every request in progress within
// about a second and makes every later one fail at once, both as EHttpTransport
// (no reply), until resumeAll(). The program calls it when it ends, so that a
// task waiting on a silent service does not hold the end back.
//
// HTTPS verifies the server's certificate against the system's trusted
// certificates. Redirects are not followed (a 3xx is a protocol failure), no
// proxy is configured here: libcurl takes https_proxy, http_proxy and no_proxy from
// the environment. Only the http and https schemes are accepted.
//
// A client is not thread-safe: one client is used by one thread at a time.
// The default limits and the abort may be used from any thread.

#include "api/HttpErrors.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

// The reply to a completed request (status 200..299).
struct HttpReply {
    int statusCode = 0;
    QString statusLine;     // as sent, without the line end: "HTTP/1.1 201 Created"
    QByteArray contentType; // the reply's Content-Type header, empty when absent
    QByteArray body;        // the body bytes as received
    QString text;           // the body as text (see above)
};

class THttpClient {
public:
    // User-Agent sent unless changed with setUserAgent.
    static constexpr const char* kDefaultUserAgent = "Mozilla/3.0 (compatible; Indy Library)";

    struct Limits {
        long connectTimeoutMs = 10'000;             // to open the connection, TLS handshake included
        long lowSpeedBytesPerSecond = 1024;         // a transfer slower than this...
        long lowSpeedSeconds = 60;                  // ...for this many seconds in a row fails (at least 1)
        long totalTimeoutSeconds = 3600;            // a request lasting longer fails; 0: no cap
        qsizetype maxBodyBytes = 256 * 1024 * 1024; // a larger reply body fails
    };
    // The limits every client starts with: Limits{} unless changed (tests use
    // small ones to see the failures quickly).
    [[nodiscard]] static Limits defaultLimits();
    static void setDefaultLimits(const Limits& limits);

    // Every request in progress, in any thread, ends within about a second and
    // every new one fails at once, both with EHttpTransport, until resumeAll().
    static void abortAll();
    static void resumeAll();
    [[nodiscard]] static bool aborting();

    enum class Cookies {
        Ignore, // neither stores nor sends cookies
        Keep,   // stores the cookies replies set and sends them on later requests
    };

    explicit THttpClient(Cookies cookies = Cookies::Ignore);
    ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    // A request header sent with every later request; a second call with the
    // same name (case-blind) replaces the value. A header whose value is empty
    // is not sent. Throws AppError for a name or value with a line break.
    void setCustomHeader(const QString& name, const QString& value);
    void clearCustomHeaders();
    [[nodiscard]] QString customHeader(const QString& name) const;

    // Accept header; empty leaves libcurl's "*/*".
    void setAccept(const QString& accept) { m_accept = accept; }
    // Content-Type of POST bodies, e.g. "application/json; charset=UTF-8"; GETs
    // never carry one. Empty sends none.
    void setContentType(const QString& contentType) { m_contentType = contentType; }
    void setUserAgent(const QString& userAgent) { m_userAgent = userAgent; }
    [[nodiscard]] const QString& accept() const { return m_accept; }
    [[nodiscard]] const QString& contentType() const { return m_contentType; }
    [[nodiscard]] const QString& userAgent() const { return m_userAgent; }

    [[nodiscard]] const Limits& limits() const { return m_limits; }
    void setLimits(const Limits& limits) { m_limits = limits; }
    // Time allowed to open the connection (TLS handshake included).
    void setConnectTimeoutMs(long ms) { m_limits.connectTimeoutMs = ms; }
    // A request that moves slower than the floor (nothing at all included) for
    // this many seconds (at least 1) fails.
    void setIdleTimeoutSeconds(long seconds) { m_limits.lowSpeedSeconds = seconds; }

    // Called on the requesting thread, just before a request of this client
    // throws EHttpTransport (it got no reply); empty: nothing is called.
    void setOnNoReply(std::function<void()> onNoReply) { m_onNoReply = std::move(onNoReply); }

    // POSTs the bytes as they are; the reply text is read in Windows-1252.
    [[nodiscard]] HttpReply post(const QString& url, const QByteArray& body);
    // GETs the URL; the reply text is decoded by its declared charset.
    [[nodiscard]] HttpReply get(const QString& url);

    // Status code and status line of the last reply received, also after it
    // raised EHttpProtocol; 0 and empty after a transport failure.
    [[nodiscard]] int lastStatusCode() const { return m_lastStatusCode; }
    [[nodiscard]] const QString& lastStatusLine() const { return m_lastStatusLine; }

private:
    struct Transfer;
    [[nodiscard]] HttpReply perform(bool isPost, const QString& url, const QByteArray* body);
    [[noreturn]] void failWithoutReply(const QString& detail, const QString& method, const QString& url);

    void* m_easy = nullptr;    // the CURL* owned by this client, released by the destructor
    bool m_recycle = false;    // a cookie-less handle goes back to the pool instead
    QList<QPair<QString, QString>> m_customHeaders;
    QString m_accept;
    QString m_contentType;
    QString m_userAgent = QString::fromLatin1(kDefaultUserAgent);
    Limits m_limits = defaultLimits();
    std::function<void()> m_onNoReply;
    int m_lastStatusCode = 0;
    QString m_lastStatusLine;
};
