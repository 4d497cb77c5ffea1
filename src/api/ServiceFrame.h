#pragma once
// api::ServiceFrame: the state every exchange with the Korvanta service shares:
// the base URL and its failover index, the credentials, the version headers and
// the long-lived GET client. The rules themselves are the functions of
// RequestFrame.h; this object only holds what they work on.
//
//   frame.setUrls(urls);                      // settings applied: URL_BASE chosen again
//   auto client = frame.config_ftp_json();    // a fresh client for one POST
//   client->post(frame.baseUrl() + path, body);
//   frame.trata_erro_url(status);             // 500 and 408 move the failover on
//   HttpReply r = frame.get(path);            // GET with the credentials of now
//
// A request URL is the base URL immediately followed by the path.
//
// The frame counts the requests of its clients (the GET client and every POST
// client it made) that got no reply (EHttpTransport: refused, reset, timed out,
// aborted): the scheduler holds the rest of a tick back once the count rises.
// The count may be read from any thread.

#include "api/HttpClient.h"
#include "api/RequestFrame.h"

#include <QString>
#include <atomic>
#include <memory>

namespace api {

class ServiceFrame {
  public:
    ServiceFrame();
    ~ServiceFrame();
    ServiceFrame(const ServiceFrame&) = delete;
    ServiceFrame& operator=(const ServiceFrame&) = delete;

    // The four base-URL settings; the base URL is chosen from them by the
    // failover index now and whenever coleta_Url_Base runs.
    void setUrls(const UrlsBase& urls);
    // The base URL from the settings for the failover index.
    void coleta_Url_Base();
    // The failover index after a reply's status (the base URL stays until coleta_Url_Base).
    void trata_erro_url(int status);
    [[nodiscard]] int failoverIndex() const { return m_failoverIndex; }
    void setFailoverIndex(int index) { m_failoverIndex = index; }
    [[nodiscard]] const QString& baseUrl() const { return m_baseUrl; }
    void setBaseUrl(const QString& url) { m_baseUrl = url; }

    void setCredentials(const QString& user, const QString& password);
    [[nodiscard]] const QString& user() const { return m_user; }
    [[nodiscard]] const QString& password() const { return m_password; }
    [[nodiscard]] const QString& pdvVersion() const { return m_pdvVersion; }
    [[nodiscard]] const QString& backEndVersion() const { return m_backEndVersion; }

    // The client of one POST, with the credentials and versions of now; it
    // counts its requests without a reply here, so it must not outlive the frame.
    [[nodiscard]] std::unique_ptr<THttpClient> config_ftp_json() const;
    // GETs base URL + path with the long-lived client, which carries the
    // credentials of now and keeps the cookies. Throws as THttpClient::get.
    [[nodiscard]] HttpReply get(const QString& path);
    // The long-lived GET client (tests change its limits).
    [[nodiscard]] THttpClient& getClient() { return *m_getClient; }

    // The requests of the frame's clients that got no reply, since it was made.
    [[nodiscard]] int semResposta() const { return m_semResposta.load(); }

  private:
    // Makes the client count its requests that get no reply here.
    void contaSemResposta(THttpClient& client) const;

    UrlsBase m_urls;
    int m_failoverIndex = 1;
    QString m_baseUrl;
    QString m_user;
    QString m_password;
    QString m_pdvVersion = QString::fromLatin1(kVersao);
    QString m_backEndVersion = QString::fromLatin1(kVersao);
    std::unique_ptr<THttpClient> m_getClient;
    // Raised by the clients' hooks, which point at this frame: a POST client
    // made by config_ftp_json must not outlive it.
    mutable std::atomic<int> m_semResposta{0};
};

} // namespace api
