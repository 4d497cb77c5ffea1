// The headers each client sends, the credentials, cookies and connection reuse,
// as fake-korvanta receives them.
#include "ApiTestSupport.h"

#include <gtest/gtest.h>

using namespace apitest;

TEST(PostClient, SendsTheFrameHeadersAndTheBodyAsIs) {
    Loopback lb;
    const QByteArray document = movementDocument();
    const HttpReply reply = Loopback::postClient()->post(lb.movimientos(), document);
    EXPECT_EQ(reply.statusCode, 200);

    const auto journal = lb.service.journal();
    ASSERT_EQ(journal.size(), 1);
    const JournalRecord& r = journal.at(0);
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.path, "/api-minoristas/api/v2/minoristas/12/locales/7/cajas/1/movimientos");
    EXPECT_EQ(r.headerCount("Authorization"), 1);
    EXPECT_EQ(r.header("Authorization"), "Basic bG9qYTpzM25oYQ==");
    EXPECT_EQ(r.header("pdv-version"), "2020.1104");
    EXPECT_EQ(r.header("backEnd-version"), "2020.1104");
    EXPECT_EQ(r.header("Content-Type"), "application/json; charset=UTF-8");
    EXPECT_EQ(r.header("Accept"), "application/json");
    EXPECT_EQ(r.header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_EQ(r.headerCount("Cookie"), 0);
    EXPECT_EQ(r.headerCount("Expect"), 0);
    EXPECT_EQ(r.body, document);
}

TEST(PostClient, EmptyCustomHeadersAreNotSent) {
    Loopback lb;
    (void)api::config_ftp_json(kUser, kPassword, "", "")->post(lb.movimientos(), movementDocument());
    const JournalRecord r = lb.service.journal().at(0);
    EXPECT_EQ(r.headerCount("pdv-version"), 0);
    EXPECT_EQ(r.headerCount("backEnd-version"), 0);
    EXPECT_EQ(r.headerCount("Authorization"), 1);
}

TEST(GetClient, OneAuthorizationWithTheCurrentCredentialsAndNoPostHeaders) {
    Loopback lb;
    auto client = api::criaClienteGet();
    api::defineAutorizacaoGet(*client, kUser, kPassword);
    EXPECT_EQ(client->get(lb.promociones()).statusCode, 200);
    api::defineAutorizacaoGet(*client, kUser, "wrong");
    EXPECT_THROW((void)client->get(lb.promociones()), EHttpProtocol);
    api::defineAutorizacaoGet(*client, kUser, kPassword);
    EXPECT_EQ(client->get(lb.promociones()).statusCode, 200);

    const auto journal = lb.service.journal();
    ASSERT_EQ(journal.size(), 3);
    const QString expected[] = {"Basic bG9qYTpzM25oYQ==", api::Autentica(kUser, "wrong"), "Basic bG9qYTpzM25oYQ=="};
    for (int i = 0; i < 3; ++i) {
        const JournalRecord& r = journal.at(i);
        EXPECT_EQ(r.method, "GET");
        EXPECT_EQ(r.headerCount("Authorization"), 1) << "GET " << i;
        EXPECT_EQ(r.header("Authorization"), expected[i]) << "GET " << i;
        EXPECT_EQ(r.header("Accept"), "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
        EXPECT_EQ(r.header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
        EXPECT_EQ(r.headerCount("pdv-version"), 0);
        EXPECT_EQ(r.headerCount("backEnd-version"), 0);
        EXPECT_EQ(r.headerCount("Content-Type"), 0);
    }
    EXPECT_EQ(journal.at(1).status, 401);
}

TEST(Credentials, EmptyAndNonAsciiAreAcceptedByTheService) {
    struct Case {
        QString user, password, header;
    };
    const Case cases[] = {
        {"", "", "Basic Og=="},
        {QString::fromUtf8("josé"), "senha", "Basic am9z6TpzZW5oYQ=="},
    };
    for (const auto& c : cases) {
        FakeService service({.user = c.user, .password = c.password});
        const QString url = service.baseUrl() + api::pathMovimientos("1", "1", "1");
        EXPECT_EQ(api::config_ftp_json(c.user, c.password, api::kVersao, api::kVersao)
                      ->post(url, movementDocument())
                      .statusCode,
                  200);
        auto get = api::criaClienteGet();
        api::defineAutorizacaoGet(*get, c.user, c.password);
        EXPECT_EQ(get->get(service.baseUrl() + api::pathSolicitudesMovimientos("1", "1")).statusCode, 200);
        for (const auto& r : service.journal()) EXPECT_EQ(r.header("Authorization"), c.header);
    }
}

TEST(Cookies, KeptByTheGetClientNeverSentByPosts) {
    Loopback lb;
    auto get = api::criaClienteGet();
    api::defineAutorizacaoGet(*get, kUser, kPassword);
    (void)get->get(lb.promociones());
    (void)get->get(lb.promociones());
    (void)Loopback::postClient()->post(lb.movimientos(), movementDocument("1"));
    (void)Loopback::postClient()->post(lb.movimientos(), movementDocument("2"));
    (void)get->get(lb.promociones());

    const auto journal = lb.service.journal();
    ASSERT_EQ(journal.size(), 5);
    EXPECT_EQ(journal.at(0).headerCount("Cookie"), 0);
    EXPECT_EQ(journal.at(1).header("Cookie"), "korvanta-session=1");
    EXPECT_EQ(journal.at(2).headerCount("Cookie"), 0); // each POST set a cookie, none came back
    EXPECT_EQ(journal.at(3).headerCount("Cookie"), 0);
    EXPECT_EQ(journal.at(4).header("Cookie"), "korvanta-session=1");
}

TEST(KeepAlive, FreshPostClientsReuseOneConnectionWithTheirOwnHeaders) {
    Loopback lb;
    for (int i = 1; i <= 3; ++i) {
        auto client = api::config_ftp_json(kUser, kPassword, QString::number(i), api::kVersao);
        if (i == 1) client->setCustomHeader("X-Only-First", "1"); // must not reach the later clients
        (void)client->post(lb.movimientos(), movementDocument(QString::number(i)));
    }
    auto get = api::criaClienteGet();
    api::defineAutorizacaoGet(*get, kUser, kPassword);
    (void)get->get(lb.promociones());

    const auto journal = lb.service.journal();
    ASSERT_EQ(journal.size(), 4);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(journal.at(i).header("pdv-version"), QString::number(i + 1));
        EXPECT_EQ(journal.at(i).headerCount("X-Only-First"), i == 0 ? 1 : 0);
        EXPECT_EQ(journal.at(i).headerCount("Authorization"), 1);
    }
    EXPECT_EQ(lb.service.connectionCount(), 1);
}
