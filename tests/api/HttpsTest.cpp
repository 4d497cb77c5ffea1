// HTTPS checks the server's certificate: a self-signed one is refused.
#include "api/RequestFrame.h"
#include "support/fixtures/TestPaths.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

// openssl s_server with a fresh self-signed certificate on a free loopback port.
class SelfSignedServer {
public:
    SelfSignedServer() {
        m_openssl = QStandardPaths::findExecutable("openssl");
        if (m_openssl.isEmpty()) return;
        QProcess req;
        req.start(m_openssl, {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                              "-keyout", m_folder.file("key.pem"), "-out", m_folder.file("cert.pem"), "-subj",
                              "/CN=127.0.0.1", "-days", "1"});
        if (!req.waitForFinished(30'000) || req.exitCode() != 0) return;
        m_server.start(m_openssl, {"s_server", "-accept", "127.0.0.1:0", "-cert", m_folder.file("cert.pem"), "-key",
                                   m_folder.file("key.pem"), "-www"});
        QByteArray out;
        while (!out.contains("ACCEPT 127.0.0.1:") || !out.endsWith('\n')) {
            if (!m_server.waitForReadyRead(10'000)) return;
            out += m_server.readAllStandardOutput();
        }
        const qsizetype at = out.indexOf("ACCEPT 127.0.0.1:") + 17;
        m_port = out.mid(at, out.indexOf('\n', at) - at).trimmed().toInt();
    }
    ~SelfSignedServer() {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(5'000)) m_server.kill();
            m_server.waitForFinished(5'000);
        }
    }
    [[nodiscard]] int port() const { return m_port; }
    [[nodiscard]] bool hasOpenssl() const { return !m_openssl.isEmpty(); }

private:
    TempFolder m_folder;
    QString m_openssl;
    QProcess m_server;
    int m_port = 0;
};

} // namespace

TEST(Https, UntrustedSelfSignedCertificateIsATransportFailure) {
    SelfSignedServer server;
    if (!server.hasOpenssl()) GTEST_SKIP() << "openssl is not installed (scripts/bootstrap installs it)";
    ASSERT_GT(server.port(), 0) << "openssl s_server did not start";
    const QString url = QStringLiteral("https://127.0.0.1:%1/").arg(server.port());
    for (int attempt = 0; attempt < 2; ++attempt) { // the GET client, then a POST client
        try {
            if (attempt == 0) {
                auto get = api::criaClienteGet();
                (void)get->get(url);
            } else {
                (void)api::config_ftp_json("u", "p", api::kVersao, api::kVersao)->post(url, "{}");
            }
            ADD_FAILURE() << "the request completed";
        } catch (const EHttpTransport& e) {
            EXPECT_TRUE(e.message().contains("certificate")) << e.message().toStdString();
        }
    }
}
