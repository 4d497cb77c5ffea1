#include "api/HttpClient.h"

#include "api/CurlShared.h"
#include "api/HttpCharset.h"
#include "support/Codepage.h"

#include <algorithm>
#include <atomic>
#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace {

std::atomic<bool> g_aborting{false};
const QString kAborted = QStringLiteral("request aborted: the program is ending");

// libcurl's progress callback, called about once a second also while nothing
// moves: a non-zero answer ends the transfer with CURLE_ABORTED_BY_CALLBACK.
int onProgress(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return g_aborting.load(std::memory_order_relaxed) ? 1 : 0;
}

std::mutex g_defaultLimitsMutex;
THttpClient::Limits& defaultLimitsStore() {
    static THttpClient::Limits limits;
    return limits;
}

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

void append(Slist& list, const QByteArray& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.constData());
    if (!grown) throw AppError(QStringLiteral("libcurl: out of memory building the request headers"));
    (void)list.release();
    list.reset(grown);
}

bool hasLineBreak(const QString& s) {
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

} // namespace

// What the libcurl callbacks fill during one request.
struct THttpClient::Transfer {
    QByteArray body;
    QByteArray statusLine;
    qsizetype maxBodyBytes = 0;
    bool tooLarge = false;

    static size_t onBody(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<Transfer*>(self);
        const size_t n = size * count;
        if (t->body.size() + qsizetype(n) > t->maxBodyBytes) {
            t->tooLarge = true;
            return 0; // aborts the transfer
        }
        t->body.append(data, qsizetype(n));
        return n;
    }

    static size_t onHeader(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<Transfer*>(self);
        const size_t n = size * count;
        QByteArray line(data, qsizetype(n));
        // Every status line starts a new reply (an interim "100 Continue" is
        // followed by the final one); the body gathered so far belongs to the
        // earlier reply.
        if (line.startsWith("HTTP/")) {
            while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
            t->statusLine = line;
            t->body.clear();
        }
        return n;
    }
};

THttpClient::Limits THttpClient::defaultLimits() {
    const std::lock_guard<std::mutex> lock(g_defaultLimitsMutex);
    return defaultLimitsStore();
}

void THttpClient::setDefaultLimits(const Limits& limits) {
    const std::lock_guard<std::mutex> lock(g_defaultLimitsMutex);
    defaultLimitsStore() = limits;
}

void THttpClient::abortAll() {
    g_aborting.store(true);
}

void THttpClient::resumeAll() {
    g_aborting.store(false);
}

bool THttpClient::aborting() {
    return g_aborting.load();
}

THttpClient::THttpClient(Cookies cookies) {
    curlshared::ensureGlobalInit();
    // A handle that had the cookie engine on would keep its cookies through a
    // reset: only cookie-less clients share recycled handles.
    m_recycle = cookies == Cookies::Ignore;
    CURL* easy = m_recycle ? curlshared::takeEasyHandle() : curl_easy_init();
    if (!easy) throw AppError(QStringLiteral("libcurl: could not create an HTTP client"));
    m_easy = easy;
    curl_easy_setopt(easy, CURLOPT_SHARE, curlshared::connectionPool());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &onProgress);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    if (cookies == Cookies::Keep) curl_easy_setopt(easy, CURLOPT_COOKIEFILE, ""); // in-memory cookie store
}

THttpClient::~THttpClient() {
    if (m_recycle)
        curlshared::recycleEasyHandle(static_cast<CURL*>(m_easy));
    else
        curl_easy_cleanup(static_cast<CURL*>(m_easy));
}

void THttpClient::setCustomHeader(const QString& name, const QString& value) {
    if (name.isEmpty() || hasLineBreak(name) || hasLineBreak(value) || name.contains(QLatin1Char(':')))
        throw AppError(QStringLiteral("Invalid HTTP header \"%1\"").arg(name));
    for (auto& h : m_customHeaders) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0) {
            h.second = value;
            return;
        }
    }
    m_customHeaders.append({name, value});
}

void THttpClient::clearCustomHeaders() {
    m_customHeaders.clear();
}

QString THttpClient::customHeader(const QString& name) const {
    for (const auto& h : m_customHeaders)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0) return h.second;
    return {};
}

HttpReply THttpClient::post(const QString& url, const QByteArray& body) {
    return perform(true, url, &body);
}

HttpReply THttpClient::get(const QString& url) {
    return perform(false, url, nullptr);
}

HttpReply THttpClient::perform(bool isPost, const QString& url, const QByteArray* body) {
    CURL* easy = static_cast<CURL*>(m_easy);
    m_lastStatusCode = 0;
    m_lastStatusLine.clear();
    const QString method = isPost ? QStringLiteral("POST") : QStringLiteral("GET");
    if (aborting()) failWithoutReply(kAborted, method, url);

    // Headers are built anew for every request from the client's current settings.
    Slist headers;
    for (const auto& [name, value] : m_customHeaders)
        if (!value.isEmpty()) append(headers, ansi::fromUnicode(name + QStringLiteral(": ") + value));
    if (!m_accept.isEmpty()) append(headers, "Accept: " + ansi::fromUnicode(m_accept));
    if (isPost) {
        append(headers, m_contentType.isEmpty() ? QByteArray("Content-Type:")
                                                : "Content-Type: " + ansi::fromUnicode(m_contentType));
        append(headers, "Expect:"); // no "100-continue" round trip before the body
    }

    Transfer transfer;
    transfer.maxBodyBytes = m_limits.maxBodyBytes;
    char errorText[CURL_ERROR_SIZE] = {};
    const QByteArray urlBytes = url.toUtf8();
    const QByteArray userAgent = ansi::fromUnicode(m_userAgent);
    curl_easy_setopt(easy, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent.isEmpty() ? nullptr : userAgent.constData());
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, m_limits.connectTimeoutMs);
    // A floor of 0 would switch the check off: a reply that never comes would never fail.
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, std::max(1L, m_limits.lowSpeedBytesPerSecond));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, std::max(1L, m_limits.lowSpeedSeconds));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, std::max(0L, m_limits.totalTimeoutSeconds));
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    if (isPost) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body->size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body->constData());
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }

    const CURLcode rc = curl_easy_perform(easy);
    // The handle must not keep pointers to this call's buffers.
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, nullptr);
    if (isPost) curl_easy_setopt(easy, CURLOPT_POSTFIELDS, nullptr);

    if (rc != CURLE_OK) {
        if (rc == CURLE_ABORTED_BY_CALLBACK) failWithoutReply(kAborted, method, url);
        failWithoutReply(transfer.tooLarge
                             ? QStringLiteral("reply body larger than %1 bytes").arg(m_limits.maxBodyBytes)
                             : QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(rc)),
                         method, url);
    }

    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    m_lastStatusCode = int(status);
    m_lastStatusLine = QString::fromLatin1(transfer.statusLine);
    if (status < 200 || status > 299) throw EHttpProtocol(m_lastStatusCode, m_lastStatusLine, url);

    const char* contentType = nullptr;
    curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &contentType);
    HttpReply reply;
    reply.statusCode = m_lastStatusCode;
    reply.statusLine = m_lastStatusLine;
    reply.contentType = contentType ? QByteArray(contentType) : QByteArray();
    reply.body = std::move(transfer.body);
    reply.text = isPost ? ansi::toUnicode(reply.body) : httpcharset::decodeBody(reply.body, reply.contentType);
    return reply;
}

void THttpClient::failWithoutReply(const QString& detail, const QString& method, const QString& url) {
    if (m_onNoReply) m_onNoReply();
    throw EHttpTransport(QStringLiteral("%1 (%2 %3)").arg(detail, method, url), url);
}
