// Replies that arrive cut short, dripping, oversized or not in UTF-8: each ends
// the request with a transport failure that says what happened, or completes
// with the body exactly as received. Never a crash or a request that hangs.
#include "ApiTestSupport.h"

#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>

using namespace apitest;

namespace {

// One request of each kind of client: the promotions GET and a movement POST.
struct Request {
    const char* name;
    QString endpoint;
    std::function<HttpReply(THttpClient&)> send;
    std::function<std::unique_ptr<THttpClient>()> client;
};

QList<Request> bothKinds(const Loopback& lb) {
    return {
        {"GET", QStringLiteral("promociones"), [&lb](THttpClient& c) { return c.get(lb.promociones()); },
         [] {
             auto get = api::criaClienteGet();
             api::defineAutorizacaoGet(*get, kUser, kPassword);
             return get;
         }},
        {"POST", QStringLiteral("movimientos"),
         [&lb](THttpClient& c) { return c.post(lb.movimientos(), movementDocument()); },
         [] { return Loopback::postClient(); }},
    };
}

// The transport failure of a request; fails the test when it completes or
// raises anything else.
QString transportFailure(const std::function<HttpReply()>& request) {
    try {
        (void)request();
        ADD_FAILURE() << "the request completed";
    } catch (const EHttpTransport& e) {
        return e.message();
    } catch (const EHttpProtocol& e) {
        ADD_FAILURE() << "protocol failure " << e.message().toStdString();
    }
    return {};
}

} // namespace

TEST(HostileReplies, CutShortIsATransportFailure) {
    Loopback lb;
    const QByteArray body(100, 'x');
    for (const Request& r : bothKinds(lb)) {
        for (const qint64 cut : {qint64(0), qint64(1), qint64(99)}) {
            SCOPED_TRACE(std::string(r.name) + " cut after " + std::to_string(cut));
            lb.service.serve(r.endpoint, body);
            lb.service.setDelivery(r.endpoint, {.truncateAt = cut});
            auto client = r.client();
            const QString message = transportFailure([&] { return r.send(*client); });
            EXPECT_TRUE(message.contains(QStringLiteral("transfer closed with %1 bytes remaining").arg(100 - cut)))
                << message.toStdString();
            EXPECT_EQ(client->lastStatusCode(), 0);
            // Whole again: the same client completes.
            lb.service.setDelivery(r.endpoint, {});
            EXPECT_EQ(r.send(*client).body, body);
        }
    }
    // A refusal cut short is no refusal either: the status was never confirmed by a whole reply.
    lb.service.queue("movimientos", {400});
    lb.service.setDelivery("movimientos", {.truncateAt = 3});
    auto post = Loopback::postClient();
    EXPECT_FALSE(transportFailure([&] { return post->post(lb.movimientos(), movementDocument()); }).isEmpty());
}

TEST(HostileReplies, ReplyDrippingBelowTheSpeedFloorFails) {
    // A byte every 300 ms was above the old floor of one byte a second: such a
    // reply held the request for as long as the service kept dripping.
    Loopback lb;
    for (const Request& r : bothKinds(lb)) {
        SCOPED_TRACE(r.name);
        lb.service.serve(r.endpoint, QByteArray(100, 'x'));
        lb.service.setDelivery(r.endpoint, {.trickleMs = 300});
        auto client = r.client();
        client->setIdleTimeoutSeconds(1);
        const QString message = transportFailure([&] { return r.send(*client); });
        EXPECT_TRUE(message.contains("Less than 1024 bytes/sec transferred the last 1 seconds")) << message.toStdString();
        EXPECT_TRUE(message.contains(lb.service.baseUrl())) << message.toStdString();
    }
}

TEST(HostileReplies, ReplyDrippingAboveTheFloorEndsAtTheRequestCap) {
    Loopback lb;
    for (const Request& r : bothKinds(lb)) {
        SCOPED_TRACE(r.name);
        lb.service.serve(r.endpoint, QByteArray(1000, 'x'));
        lb.service.setDelivery(r.endpoint, {.trickleMs = 20});
        auto client = r.client();
        client->setLimits({.lowSpeedBytesPerSecond = 1, .totalTimeoutSeconds = 1});
        const QString message = transportFailure([&] { return r.send(*client); });
        // Ended by the one-second cap, long before the 20 s the drip would take; libcurl's own
        // clock may read the cap as 999 ms.
        const auto timedOut =
            QRegularExpression(QStringLiteral("^Operation timed out after (\\d+) milliseconds"))
                .match(message);
        ASSERT_TRUE(timedOut.hasMatch()) << message.toStdString();
        const int elapsedMs = timedOut.captured(1).toInt();
        EXPECT_GE(elapsedMs, 900) << message.toStdString();
        EXPECT_LT(elapsedMs, 5000) << message.toStdString();
    }
}

TEST(HostileReplies, BodyBeyondTheSizeLimitFails) {
    Loopback lb;
    constexpr qsizetype limit = 1024 * 1024;
    for (const Request& r : bothKinds(lb)) {
        SCOPED_TRACE(r.name);
        auto client = r.client();
        client->setLimits({.maxBodyBytes = limit});
        lb.service.serve(r.endpoint, QByteArray(limit, 'x'));
        EXPECT_EQ(r.send(*client).body.size(), limit);
        lb.service.serve(r.endpoint, QByteArray(limit + 1, 'x'));
        const QString message = transportFailure([&] { return r.send(*client); });
        EXPECT_TRUE(message.startsWith("reply body larger than 1048576 bytes")) << message.toStdString();
    }
}

TEST(HostileReplies, BodiesNotInUtf8ArriveAsSentAndReadAsText) {
    Loopback lb;
    const char raw[] = "{\"m\":\"\xFF\xFE\x00\xC3\x28\x80\"}";
    const QByteArray bytes(raw, sizeof raw - 1);
    struct Case {
        const char* name;
        QString endpoint;
        QString contentType;
        QString text;
    };
    const Case cases[] = {
        // A POST reply is read in Windows-1252, whatever it declares.
        {"POST", "movimientos", "application/json;charset=UTF-8",
         QString::fromUtf8("{\"m\":\"\u00FF\u00FE") + QChar(0) + QString::fromUtf8("\u00C3(\u20AC\"}")},
        // A GET reply by its declared charset: the broken sequences become U+FFFD.
        {"GET UTF-8", "promociones", "application/json;charset=UTF-8",
         QString::fromUtf8("{\"m\":\"\uFFFD\uFFFD") + QChar(0) + QString::fromUtf8("\uFFFD(\uFFFD\"}")},
        {"GET unknown charset", "promociones", "application/json;charset=x-nonsense", QString::fromLatin1(bytes)},
    };
    const QList<Request> requests = bothKinds(lb);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lb.service.serve(c.endpoint, bytes, c.contentType);
        const Request& r = requests.at(c.endpoint == "promociones" ? 0 : 1);
        const HttpReply reply = r.send(*r.client());
        EXPECT_EQ(reply.body, bytes);
        EXPECT_EQ(reply.text, c.text);
    }
}
