// A tick against a service that takes requests and never answers: one request
// waits out its time-out, the network tasks after it wait for the next tick,
// and one log row says so. Also the names of the tasks a tick announces. On the
// demo ERP database and the fake service, with the sales and promotions on and
// a client limit of one second.

#include "AppTestSupport.h"
#include "support/fixtures/CoreParts.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/FakeService.h"
#include "support/fixtures/HttpLimits.h"

#include <QObject>
#include <memory>

using apptest::rows;

namespace {

const QString Silent = QStringLiteral("Serviço sem resposta");

class SilentServiceTest : public apptest::ShellTest {
  protected:
    // A fresh service, a fresh demo database and a core started on them.
    void start() {
        core.reset();
        service = std::make_unique<FakeService>();
        db = std::make_unique<ErpDatabase>(ErpDatabase::Content::Demo);
        clock.set(QDateTime(QDate(2025, 12, 9), QTime(10, 0, 0)));
        writeSettings({{QStringLiteral("PATH DOLVEX"), db->path()},
                       {QStringLiteral("URLBASE"), service->baseUrl()},
                       {QStringLiteral("IDEMRPESA"), QStringLiteral("1")},
                       {QStringLiteral("IDLOCAL"), QStringLiteral("2")},
                       {QStringLiteral("DataUltFecha"), QStringLiteral("07/12/2025")},
                       {QStringLiteral("chkPostVenda"), QStringLiteral("SIM")},
                       {QStringLiteral("chkGetPromo"), QStringLiteral("SIM")}});
        core = std::make_unique<TPrincipal>();
        errors = std::make_unique<apptest::ErrorSpy>(*core);
        core->FormCreate();
        QObject::connect(&core->scheduler(), &TScheduler::taskStarted, core.get(),
                         [this](const QString& task) { started << task; });
    }

    // One tick now; what it logged and the endpoints it asked, in order.
    struct Tick {
        QStringList rows;
        QStringList endpoints;
    };
    Tick tick() {
        started.clear();
        const int rowsBefore = core->log().table().RecordCount();
        const qsizetype journalBefore = service->journal().size();
        core->scheduler().timerGeralTimer();
        Tick t{rows(core->log().table()).mid(rowsBefore), {}};
        for (const JournalRecord& r : service->journal().mid(journalBefore))
            t.endpoints << r.endpoint;
        return t;
    }

    [[nodiscard]] static QStringList silentRows(const Tick& t) {
        QStringList found;
        for (const QString& row : t.rows)
            if (row.startsWith(Silent + u'|')) found << row.mid(Silent.size() + 1);
        return found;
    }

    // A reply that does not come fails after a second (every client made from now).
    const HttpLimits limits{THttpClient::Limits{.lowSpeedSeconds = 1}};
    std::unique_ptr<FakeService> service;
    std::unique_ptr<ErpDatabase> db;
    std::unique_ptr<TPrincipal> core;
    std::unique_ptr<apptest::ErrorSpy> errors;
    QStringList started; // the tasks announced in the last tick
};

const QString Sales = TScheduler::SalesTask;
const QString Promotions = TScheduler::PromotionsTask;
const QString Resend = TScheduler::ResendTask;

TEST_F(SilentServiceTest, AServiceThatNeverAnswersCostsOneTimeOutPerTick) {
    struct Case {
        QString silent;                // the endpoint whose replies never come; empty: none
        QStringList started;           // the tasks the tick started
        QString waiting;               // the message of the row; empty: no row
        bool promotionsDue, resendDue; // still due after the tick
    };
    const Case cases[] = {
        {{}, {Sales, Promotions, Resend}, {}, false, false},
        {QStringLiteral("movimientos"),
         {Sales},
         QStringLiteral("Promoções e reenvio ficam para o próximo ciclo"),
         true,
         true},
        {QStringLiteral("promociones"),
         {Sales, Promotions},
         QStringLiteral("Reenvio fica para o próximo ciclo"),
         false,
         true},
        // Stopped between its two readings: both come due again.
        {QStringLiteral("solicitudesMovimientos"),
         {Sales, Promotions, Resend},
         QStringLiteral("Reenvio fica para o próximo ciclo"),
         false,
         true},
        // The last request of the tick: nothing is left to hold back.
        {QStringLiteral("solicitudesCierresDiarios"), {Sales, Promotions, Resend}, {}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.silent.toStdString());
        start();
        if (!c.silent.isEmpty()) service->setDelivery(c.silent, {.holdMs = 600'000});

        const Tick first = tick();
        const QString log = first.rows.join(u'\n');
        EXPECT_EQ(started, c.started);
        if (c.silent.isEmpty()) {
            EXPECT_EQ(silentRows(first), QStringList());
        } else {
            // One request went unanswered, and it was the tick's last.
            EXPECT_EQ(first.endpoints.count(c.silent), 1) << first.endpoints.join(u' ').toStdString();
            EXPECT_EQ(first.endpoints.last(), c.silent) << first.endpoints.join(u' ').toStdString();
            EXPECT_EQ(silentRows(first), c.waiting.isEmpty() ? QStringList() : QStringList{c.waiting})
                << log.toStdString();
        }
        if (c.silent == QLatin1String("movimientos")) {
            EXPECT_EQ(first.endpoints.size(), 1);
        }
        const qint64 now = clockSeconds();
        EXPECT_EQ(core->scheduler().promotionsCountdown().venceu(now), c.promotionsDue);
        EXPECT_EQ(core->scheduler().resendCountdown().venceu(now), c.resendDue);
        EXPECT_TRUE(core->scheduler().timerGeral().isActive());
        EXPECT_EQ(errors->texts, QStringList());

        // The service answers again: the next tick runs what waited, and only that.
        if (!c.silent.isEmpty()) service->setDelivery(c.silent, {});
        clock.advance(30);
        const Tick second = tick();
        EXPECT_EQ(second.endpoints.count(QStringLiteral("movimientos")), 0);
        EXPECT_EQ(second.endpoints.count(QStringLiteral("promociones")), c.promotionsDue ? 1 : 0);
        EXPECT_EQ(second.endpoints.count(QStringLiteral("solicitudesMovimientos")), c.resendDue ? 1 : 0);
        EXPECT_EQ(second.endpoints.count(QStringLiteral("solicitudesCierresDiarios")), c.resendDue ? 1 : 0);
        EXPECT_EQ(silentRows(second), QStringList());
        EXPECT_FALSE(core->scheduler().promotionsCountdown().venceu(clockSeconds()));
        EXPECT_FALSE(core->scheduler().resendCountdown().venceu(clockSeconds()));
    }
}

TEST_F(SilentServiceTest, WhileTheProgramEndsTheTickHoldsBackWithoutARow) {
    const RequestsResumedAtEnd resume;
    start();
    THttpClient::abortAll();
    const Tick t = tick();
    EXPECT_EQ(t.endpoints, QStringList()); // every request failed at once
    EXPECT_EQ(started, QStringList{Sales});
    EXPECT_EQ(silentRows(t), QStringList());
    const qint64 now = clockSeconds();
    EXPECT_TRUE(core->scheduler().promotionsCountdown().venceu(now));
    EXPECT_TRUE(core->scheduler().resendCountdown().venceu(now));
    EXPECT_EQ(errors->texts, QStringList());
}

TEST_F(SilentServiceTest, TheTaskAtWorkHasItsNameUntilTheWorkEnds) {
    start();
    // The task at work as each row of the tick is logged, and as the work ends.
    QStringList atWork;
    QObject::connect(&core->log(), &TActivityLog::rowLogged, core.get(),
                     [&](const QDateTime&, const QString& operation, const QString&) {
                         atWork << operation.section(u':', 0, 0) + u'=' + core->scheduler().currentTask();
                     });
    QString atEnd = QStringLiteral("not ended");
    QObject::connect(&core->scheduler(), &TScheduler::workEnded, core.get(),
                     [&] { atEnd = core->scheduler().currentTask(); });
    EXPECT_EQ(core->scheduler().currentTask(), QString());

    tick();
    EXPECT_EQ(started, (QStringList{Sales, Promotions, Resend}));
    const QStringList expected{
        QStringLiteral("Abriu post-vendas="), // logged before the upload is announced
        QStringLiteral("Gravação venda=") + Sales,
        QStringLiteral("Fechamento=") + Sales, // the closing the upload starts at its end
        QStringLiteral("Leitura de promoções=") + Promotions,
        QStringLiteral("Leitura de reenvio-venda=") + Resend,
        QStringLiteral("Leitura de reenvio-fecha=") + Resend,
    };
    for (const QString& e : expected)
        EXPECT_TRUE(atWork.contains(e)) << e.toStdString() << "\n" << atWork.join(u'\n').toStdString();
    EXPECT_EQ(atEnd, QString());
    EXPECT_EQ(core->scheduler().currentTask(), QString());
}

} // namespace
