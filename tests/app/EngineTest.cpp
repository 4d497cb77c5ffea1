// The engine thread as the window and the headless runner meet it: work given
// while a task works waits for its end, a command waits once, the log rows, the
// state with the task at work and the test console's copies reach this side,
// and ending while a request waits for the service ends at once with nothing
// half-written.

#include "app/Engine.h"

#include "AppTestSupport.h"
#include "support/fixtures/CoreParts.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/EventsUntil.h"
#include "support/fixtures/FakeService.h"

#include <QCoreApplication>
#include <QFile>
#include <QSemaphore>
#include <QThread>
#include <atomic>
#include <functional>

namespace {

class EngineTest : public apptest::ShellTest {
  protected:
    void configure(const QString& database, const QString& url) {
        writeSettings({{QStringLiteral("PATH DOLVEX"), database},
                       {QStringLiteral("URLBASE"), url},
                       {QStringLiteral("IDEMRPESA"), QStringLiteral("1")},
                       {QStringLiteral("IDLOCAL"), QStringLiteral("2")},
                       {QStringLiteral("DataUltFecha"), QStringLiteral("07/12/2025")},
                       {QStringLiteral("chkGetPromo"), QStringLiteral("SIM")}});
        clock.set(QDateTime(QDate(2025, 12, 9), QTime(10, 0, 0)));
    }
};

TEST_F(EngineTest, WorkGivenWhileATaskWorksWaitsForItsEndAndACommandWaitsOnce) {
    TEngine engine;
    QSemaphore started;
    QSemaphore release;
    engine.post([&](TPrincipal&) {
        started.release();
        release.acquire();
    });
    started.acquire(); // the engine is at work now

    std::atomic<int> sales = 0;
    std::atomic<int> resend = 0;
    EXPECT_TRUE(engine.command(QStringLiteral("Enviar vendas"), [&](TPrincipal&) { ++sales; }));
    EXPECT_FALSE(engine.command(QStringLiteral("Enviar vendas"), [&](TPrincipal&) { ++sales; }));
    EXPECT_TRUE(engine.command(QStringLiteral("Leitura de reenvio"), [&](TPrincipal&) { ++resend; }));
    EXPECT_EQ(engine.queued(),
              QStringList({QStringLiteral("Enviar vendas"), QStringLiteral("Leitura de reenvio")}));
    EXPECT_EQ(sales + resend, 0);

    release.release();
    engine.call([](TPrincipal&) {});
    QCoreApplication::processEvents();
    EXPECT_EQ(sales, 1);
    EXPECT_EQ(resend, 1);
    EXPECT_EQ(engine.queued(), QStringList());
    // Once taken, the same command can be given again.
    EXPECT_TRUE(engine.command(QStringLiteral("Enviar vendas"), [&](TPrincipal&) { ++sales; }));
    engine.call([](TPrincipal&) {});
    EXPECT_EQ(sales, 2);
}

TEST_F(EngineTest, TheRowsTheStateAndTheTaskAtWorkReachThisSide) {
    const ErpDatabase db(ErpDatabase::Content::Demo);
    FakeService::Options withRequest;
    withRequest.resendClosingsFile = folder.file(QStringLiteral("resend.json"));
    QFile file(withRequest.resendClosingsFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"([{"fecha":"2025-12-07","codigoCaja":"1"}])");
    file.close();
    const FakeService service(withRequest);
    configure(db.path(), service.baseUrl());
    TEngine engine;
    QStringList tasks; // the task at work, each time it changed
    QObject::connect(&engine, &TEngine::stateChanged, &engine, [&] {
        const QString task = engine.state().task;
        if (tasks.isEmpty() || tasks.last() != task) tasks << task;
    });
    engine.call([](TPrincipal& core) { core.FormCreate(); });
    engine.post([](TPrincipal& core) { core.scheduler().timerGeralTimer(); });
    engine.call([](TPrincipal& core) { core.scheduler().habilTimer(0); });
    ASSERT_TRUE(runEventsUntil([&] { return !engine.busy() && engine.log().table().RecordCount() > 0; }));
    QCoreApplication::processEvents();

    // The rows as the engine's own table holds them.
    QStringList engineRows;
    engine.call([&](TPrincipal& core) { engineRows = apptest::rows(core.log().table()); });
    EXPECT_EQ(apptest::rows(engine.log().table()), engineRows);
    EXPECT_TRUE(engineRows.contains(QStringLiteral("Gravação venda: 1 - 2935 - 08/12/2025|200: Ok")));
    // The tasks of the tick, in their order, then none.
    EXPECT_EQ(tasks, QStringList({QString(), QStringLiteral("Envio de vendas"),
                                  QStringLiteral("Leitura de promoções"),
                                  QStringLiteral("Leitura de reenvio"), QString()}));
    const EngineState& state = engine.state();
    EXPECT_EQ(state.idEmpresa, QStringLiteral("1"));
    EXPECT_EQ(state.baseUrl, service.baseUrl());
    EXPECT_EQ(state.database, db.path());
    EXPECT_FALSE(state.timersRunning());
    // The test console's copies: the closings' resend requests the tick read, and the
    // last movement document posted.
    const TMemTable& requests = engine.diagnostics().pedidosDeReenvio();
    ASSERT_EQ(requests.RecordCount(), 1);
    EXPECT_EQ(requests.cell(0, requests.FindField(QStringLiteral("fecha"))).toString(),
              QStringLiteral("2025-12-07"));
    EXPECT_TRUE(engine.diagnostics().documentoEnviado().Text().contains(QStringLiteral("\"numero\"")));
}

TEST_F(EngineTest, EndingWhileARequestWaitsEndsAtOnceAndTheRowKeepsItsFlag) {
    const ErpDatabase db(ErpDatabase::Content::Demo);
    FakeService::Options hanging;
    hanging.latencyMs = 70'000;
    const FakeService service(hanging);
    configure(db.path(), service.baseUrl());
    const auto flag = [&db] {
        return db.integer(
            QStringLiteral("select sinc_korvanta from cupom_fiscal where nro_cupom=2935 and nro_cx=1"));
    };
    const int before = flag();

    TEngine engine;
    engine.call([](TPrincipal& core) { core.FormCreate(); });
    engine.post([](TPrincipal& core) { core.scheduler().timerGeralTimer(); });
    ASSERT_TRUE(runEventsUntil([&] { return engine.state().task == QStringLiteral("Envio de vendas"); }));
    QThread::msleep(1000); // the first post is on its way and waits for the reply

    EXPECT_TRUE(engine.stop()) << "the engine did not end within its limit";
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(flag(), before);
    // The requests of the next engine are not aborted.
    const FakeService healthy;
    configure(db.path(), healthy.baseUrl());
    TEngine next;
    next.call([](TPrincipal& core) {
        core.FormCreate();
        core.commands().sendSales();
    });
    EXPECT_EQ(flag(), 2);
}

} // namespace
