#pragma once
// Set-up shared by the benchmarks: a fresh ERP database with the test schema,
// the fake service on a free loopback port, and the bare libcurl poster the
// request frame is measured against.

#include "api/HttpClient.h"
#include "api/RequestFrame.h"
#include "erp/FbDatabase.h"
#include "erp/FbTransaction.h"
#include "erp/SqlScript.h"
#include "erp/uDtmApi.h"

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <curl/curl.h>

#include <cstdio>
#include <string>

namespace bench {

// Creates the database at `path` with the test ERP schema and leaves db and tr
// attached to it, so the caller can fill it; tr commits by default.
inline void createSchemaDatabase(TFbDatabase& db, TFbTransaction& tr, const QString& path, bool forcedWrites) {
    db.setDatabaseName(path);
    db.setUserName(TdtmApi::kUserName);
    db.setPassword(TdtmApi::kPassword);
    db.setDefaultTransaction(&tr);
    tr.setDefaultDatabase(&db);
    tr.setDefaultAction(TFbTransaction::Action::Commit);
    db.CreateDatabase(forcedWrites);
    sqlscript::runFile(db, tr, QStringLiteral(KORVANTA_SOURCE_DIR "/db/erp-schema.sql"));
}

// The integer in the first column of the first row of `sql` on the database at
// `path`, attached anew for it through an ERP session of its own.
inline int firstInteger(const QString& path, const QString& sql) {
    TdtmApi dtm;
    dtm.setPathBancoDolvex(path);
    dtm.dtmConectDolvex(true);
    dtm.qrySelect1().setStatement({{sql}, {}});
    dtm.qrySelect1().Open();
    const int n = dtm.qrySelect1().Fields(0).AsInteger();
    dtm.dtmConectDolvex(false);
    return n;
}

// Starts fake-korvanta on a free port with its journal in `journal` (and the
// further options `more`) and answers its base URL ("http://127.0.0.1:<port>/");
// empty when it did not start.
inline QString startFakeService(QProcess& service, const QString& journal, const QString& user,
                                const QString& password, const QStringList& more = {}) {
    service.start(QDir(KORVANTA_BINARY_DIR).filePath("tools/fake-korvanta/fake-korvanta"),
                  QStringList{"--port", "0", "--journal", journal, "--user", user, "--password", password} + more);
    QByteArray out;
    while (!out.contains("listening on") || !out.endsWith('\n')) {
        if (!service.waitForReadyRead(10'000)) return {};
        out += service.readAllStandardOutput();
    }
    return QString::fromUtf8(out.mid(out.indexOf("http://")).trimmed());
}

// Movement documents POSTed the plainest way: bare libcurl on one reused handle,
// the program's headers built once.
class BarePoster {
  public:
    BarePoster(const QString& url, const QString& user, const QString& password) : m_url(url.toUtf8()) {
        const QByteArray auth = "Authorization: " + api::Autentica(user, password).toLatin1();
        for (const QByteArray& h :
             {auth, QByteArray("pdv-version: 2020.1104"), QByteArray("backEnd-version: 2020.1104"),
              QByteArray("Content-Type: application/json; charset=UTF-8"), QByteArray("Accept: application/json"),
              QByteArray("Expect:")})
            m_headers = curl_slist_append(m_headers, h.constData());
        curl_easy_setopt(m_easy, CURLOPT_URL, m_url.constData());
        curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, m_headers);
        curl_easy_setopt(m_easy, CURLOPT_USERAGENT, THttpClient::kDefaultUserAgent);
        curl_easy_setopt(m_easy, CURLOPT_PROXY, "");
        curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, collect);
        curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, &m_body);
    }
    ~BarePoster() {
        curl_easy_cleanup(m_easy);
        curl_slist_free_all(m_headers);
    }
    BarePoster(const BarePoster&) = delete;
    BarePoster& operator=(const BarePoster&) = delete;

    // Posts one document; answers the reply status, after printing a transport
    // failure or a status other than the two accepted ones under `label`.
    long post(const QByteArray& doc, const char* label, long accepted, long alsoAccepted = 0) {
        m_body.clear();
        curl_easy_setopt(m_easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(doc.size()));
        curl_easy_setopt(m_easy, CURLOPT_POSTFIELDS, doc.constData());
        const CURLcode rc = curl_easy_perform(m_easy);
        long status = 0;
        curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &status);
        if (rc != CURLE_OK || (status != accepted && status != alsoAccepted))
            std::fprintf(stderr, "%s: %s, status %ld\n", label, curl_easy_strerror(rc), status);
        return status;
    }

  private:
    static size_t collect(char* data, size_t size, size_t count, void* out) {
        static_cast<std::string*>(out)->append(data, size * count);
        return size * count;
    }

    QByteArray m_url;
    CURL* m_easy = curl_easy_init();
    curl_slist* m_headers = nullptr;
    std::string m_body;
};

} // namespace bench
