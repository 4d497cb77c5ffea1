// Requests that get no reply: the process-wide abort ends a request waiting in
// another thread and refuses new ones until resumed, and the request frame
// counts every request of its clients that got no reply (and nothing else).
#include "ApiTestSupport.h"
#include "api/ServiceFrame.h"
#include "support/fixtures/HttpLimits.h"

#include <QElapsedTimer>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

using namespace apitest;

namespace {

// A request held by the service: journalled at once, its reply kept back far
// beyond the test (the service lets it go when it stops).
constexpr FakeService::Delivery kNeverAnswered{.holdMs = 600'000};

// One request of each kind of client: the promotions GET and a movement POST.
struct Request {
    const char* name;
    QString endpoint;
    std::function<std::unique_ptr<THttpClient>()> client;
    std::function<HttpReply(THttpClient&)> send;
};

QList<Request> bothKinds(const Loopback& lb) {
    return {
        {"GET", QStringLiteral("promociones"),
         [] {
             auto get = api::criaClienteGet();
             api::defineAutorizacaoGet(*get, kUser, kPassword);
             return get;
         },
         [&lb](THttpClient& c) { return c.get(lb.promociones()); }},
        {"POST", QStringLiteral("movimientos"), [] { return Loopback::postClient(); },
         [&lb](THttpClient& c) { return c.post(lb.movimientos(), movementDocument()); }},
    };
}

// The transport failure's message of a request; empty when it completed or
// failed otherwise.
QString noReply(const std::function<HttpReply()>& request) {
    try {
        (void)request();
    } catch (const EHttpTransport& e) {
        return e.message();
    } catch (const AppError&) {
    }
    return {};
}

// Waits until the service has journalled `count` requests (a generous limit).
bool journalReaches(const FakeService& service, qsizetype count) {
    for (int i = 0; i < 1000; ++i) {
        if (service.journal().size() >= count) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace

TEST(AbortAll, EndsARequestWaitingInAnotherThreadAndRefusesNewOnesUntilResumed) {
    const RequestsResumedAtEnd resume;
    Loopback lb;
    for (const Request& r : bothKinds(lb)) {
        SCOPED_TRACE(r.name);
        lb.service.setDelivery(r.endpoint, kNeverAnswered);
        const std::unique_ptr<THttpClient> client = r.client();
        ASSERT_EQ(client->limits().lowSpeedSeconds, 60); // the program's own limit

        const qsizetype before = lb.service.journal().size();
        QString message;
        std::thread worker([&] { message = noReply([&] { return r.send(*client); }); });
        // The service has the request: the worker waits for its reply.
        const bool waiting = journalReaches(lb.service, before + 1);
        QElapsedTimer sinceAbort;
        sinceAbort.start();
        THttpClient::abortAll();
        worker.join();
        ASSERT_TRUE(waiting);
        EXPECT_TRUE(THttpClient::aborting());
        EXPECT_TRUE(message.startsWith(QStringLiteral("request aborted: the program is ending (")))
            << message.toStdString();
        // A correctness bound, well before the client's own 60 s limit.
        EXPECT_LT(sinceAbort.elapsed(), 30'000);

        // A new request fails at once: it never reaches the service.
        lb.service.setDelivery(r.endpoint, {});
        const QString refused = noReply([&] { return r.send(*client); });
        EXPECT_TRUE(refused.startsWith(QStringLiteral("request aborted: the program is ending (")))
            << refused.toStdString();
        EXPECT_EQ(client->lastStatusCode(), 0);
        EXPECT_EQ(lb.service.journal().size(), before + 1);

        THttpClient::resumeAll();
        EXPECT_FALSE(THttpClient::aborting());
        const HttpReply reply = r.send(*client);
        EXPECT_GE(reply.statusCode, 200);
        EXPECT_LE(reply.statusCode, 299);
        EXPECT_EQ(lb.service.journal().size(), before + 2);
    }
}

TEST(ServiceFrame, CountsTheRequestsOfItsClientsThatGotNoReply) {
    const RequestsResumedAtEnd resume;
    // A reply that does not come fails after a second.
    const HttpLimits limits({.lowSpeedSeconds = 1});
    Loopback lb;
    api::ServiceFrame frame;
    frame.setUrls({lb.service.baseUrl(), {}, {}, {}});
    frame.setCredentials(kUser, kPassword);

    struct Kind {
        const char* name;
        QString endpoint;
        std::function<void()> send; // throws as the client does
    };
    const Kind kinds[] = {
        {"GET", QStringLiteral("promociones"),
         [&frame] { (void)frame.get(api::pathPromociones(QStringLiteral("12"), QStringLiteral("7"))); }},
        {"POST", QStringLiteral("movimientos"),
         [&frame, &lb] {
             // A fresh client for each post, as the tasks make them.
             (void)frame.config_ftp_json()->post(lb.movimientos(), movementDocument());
         }},
    };
    struct Outcome {
        const char* name;
        std::function<void(const QString& endpoint)> arrange;
        int counted;
    };
    const Outcome outcomes[] = {
        {"accepted", [](const QString&) {}, 0},
        {"status 500", [&lb](const QString& e) { lb.service.queue(e, {500}); }, 0},
        {"status 401", [&lb](const QString& e) { lb.service.queue(e, {401}); }, 0},
        {"cut short", [&lb](const QString& e) { lb.service.setDelivery(e, {.truncateAt = 3}); }, 1},
        {"never answered", [&lb](const QString& e) { lb.service.setDelivery(e, kNeverAnswered); }, 1},
        {"aborted", [](const QString&) { THttpClient::abortAll(); }, 1},
    };
    for (const Kind& k : kinds) {
        for (const Outcome& o : outcomes) {
            SCOPED_TRACE(std::string(k.name) + " " + o.name);
            lb.service.reset();
            THttpClient::resumeAll();
            o.arrange(k.endpoint);
            const int before = frame.semResposta();
            try {
                k.send();
            } catch (const AppError&) {
            }
            EXPECT_EQ(frame.semResposta() - before, o.counted);
        }
    }

    // A refused connection: nothing listens any more.
    THttpClient::resumeAll();
    (void)lb.service.stop();
    for (const Kind& k : kinds) {
        SCOPED_TRACE(std::string(k.name) + " refused");
        const int before = frame.semResposta();
        EXPECT_THROW(k.send(), EHttpTransport);
        EXPECT_EQ(frame.semResposta() - before, 1);
    }
}
