// How replies and failures arrive: completed requests for 2xx, a protocol
// failure with the status line for any other status, a transport failure for
// everything without a reply.
#include "ApiTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace apitest;

TEST(Replies, SuccessStatusesCompleteWithTheirBody) {
    Loopback lb;
    auto post = [&] { return Loopback::postClient()->post(lb.movimientos(), movementDocument()); };

    const HttpReply accepted = post();
    EXPECT_EQ(accepted.statusCode, 200);
    EXPECT_EQ(accepted.statusLine, "HTTP/1.1 200 OK");
    EXPECT_EQ(accepted.text, R"({"mensaje":"movimiento registrado","numero":"2935"})");

    const HttpReply again = post(); // same register, "numero" and "fecha"
    EXPECT_EQ(again.statusCode, 208);
    EXPECT_EQ(again.statusLine, "HTTP/1.1 208 Already Reported");

    lb.service.queue("movimientos", {201});
    const HttpReply created = post();
    EXPECT_EQ(created.statusCode, 201);
    EXPECT_EQ(created.statusLine, "HTTP/1.1 201 Created");
    EXPECT_EQ(created.body, R"({"status":201})");
}

TEST(Replies, OtherStatusesRaiseAProtocolFailureWithTheStatusLine) {
    Loopback lb;
    struct Case {
        int status;
        const char* line;
        std::function<HttpReply(THttpClient&)> request;
    };
    const QByteArray valid = movementDocument();
    const Case cases[] = {
        {400, "HTTP/1.1 400 Bad Request",
         [&](THttpClient& c) { return c.post(lb.movimientos(), R"({"numero":"1"})"); }},
        {401, "HTTP/1.1 401 Unauthorized",
         [&](THttpClient&) {
             return api::config_ftp_json(kUser, "x", api::kVersao, api::kVersao)->post(lb.movimientos(), valid);
         }},
        {404, "HTTP/1.1 404 Not Found",
         [&](THttpClient& c) { return c.post(lb.service.baseUrl() + "api-minoristas/nowhere", valid); }},
        {408, "HTTP/1.1 408 Request Timeout",
         [&](THttpClient& c) {
             lb.service.queue("movimientos", {408});
             return c.post(lb.movimientos(), valid);
         }},
        {500, "HTTP/1.1 500 Internal Server Error",
         [&](THttpClient& c) {
             lb.service.queue("movimientos", {500});
             return c.post(lb.movimientos(), valid);
         }},
    };
    for (const auto& c : cases) {
        auto client = Loopback::postClient();
        try {
            (void)c.request(*client);
            ADD_FAILURE() << c.status << " completed";
        } catch (const EHttpProtocol& e) {
            EXPECT_EQ(e.statusCode(), c.status);
            EXPECT_EQ(e.message(), c.line);
            EXPECT_EQ(e.url().left(lb.service.baseUrl().size()), lb.service.baseUrl());
        }
        if (c.status != 401) {
            EXPECT_EQ(client->lastStatusCode(), c.status); // the client still answers its status
            EXPECT_EQ(client->lastStatusLine(), c.line);
        }
    }
    EXPECT_EQ(lb.service.journal().at(0).reason, R"(member "fecha" is missing)");
}

TEST(Replies, GetTextFollowsTheDeclaredCharset) {
    Loopback lb;
    auto get = api::criaClienteGet();
    api::defineAutorizacaoGet(*get, kUser, kPassword);
    struct Case {
        QByteArray body;
        QString contentType;
        QString text;
    };
    const Case cases[] = {
        {"Promo\xC3\xA7\xC3\xA3o", "application/json;charset=UTF-8", QString::fromUtf8("Promoção")},
        {"Promo\xC3\xA7", "application/json", QString::fromLatin1("Promo\xC3\xA7")}, // no charset: byte = char
        {"Promo\xE7\xE3o", "text/plain; charset=\"ISO-8859-1\"", QString::fromUtf8("Promoção")},
        {"\x80 10", "application/json; charset=windows-1252", QString::fromUtf8("€ 10")},
    };
    for (const auto& c : cases) {
        lb.service.serve("promociones", c.body, c.contentType);
        const HttpReply reply = get->get(lb.promociones());
        EXPECT_EQ(reply.body, c.body);
        EXPECT_EQ(reply.text, c.text) << c.contentType.toStdString();
    }
}

TEST(Failures, NoReplyIsATransportFailure) {
    int closedPort = 0;
    {
        FakeService gone;
        closedPort = gone.port();
        EXPECT_EQ(gone.stop(), 0); // SIGTERM ends it cleanly
    }
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(closedPort);
    const QString urls[] = {refused, "", "not a url", "ftp://127.0.0.1/x", "http://127.0.0.1:99999/"};
    for (const QString& url : urls) {
        auto client = Loopback::postClient();
        try {
            (void)client->post(url, movementDocument());
            ADD_FAILURE() << "completed: " << url.toStdString();
        } catch (const EHttpProtocol&) {
            ADD_FAILURE() << "protocol failure for " << url.toStdString();
        } catch (const EHttpTransport& e) {
            EXPECT_TRUE(e.message().contains(url)) << e.message().toStdString();
            EXPECT_EQ(e.url(), url);
        }
        EXPECT_EQ(client->lastStatusCode(), 0);
    }
}

TEST(Failures, AReplyThatNeverComesIsATransportFailure) {
    Loopback lb;
    lb.service.setLatencyMs(5'000);
    auto get = api::criaClienteGet();
    api::defineAutorizacaoGet(*get, kUser, kPassword);
    get->setIdleTimeoutSeconds(1);
    EXPECT_THROW((void)get->get(lb.promociones()), EHttpTransport);
}
