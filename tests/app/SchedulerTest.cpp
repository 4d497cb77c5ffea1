// The general tick: the first tick after 10 s, the order of the tasks, the strict
// test, the advance before the task, the passage of midnight, and the
// synchroniser going on after an error. The tasks are the real ones; the sales
// and promotions switches are off here (their runs are covered end to end in
// CommandsTest), and the resend readings ask a fake service on loopback.

#include "AppTestSupport.h"
#include "support/fixtures/CoreParts.h"
#include "support/fixtures/FakeService.h"

#include <memory>

using apptest::operations;
using apptest::rows;

namespace {

const QString Abriu = QStringLiteral("Abriu post-vendas|");
const QString ReenvioVenda = QStringLiteral("Leitura de reenvio-venda|Ok");
const QString ReenvioFecha = QStringLiteral("Leitura de reenvio-fecha|Ok");

class SchedulerTest : public apptest::ShellTest {
  protected:
    static void SetUpTestSuite() { service = std::make_unique<FakeService>(); }
    static void TearDownTestSuite() { service.reset(); }

    void SetUp() override {
        service->reset();
        start({});
    }

    // (Re)starts the core at the clock's time with these extra settings.
    void start(const apptest::Settings& extra) {
        apptest::Settings settings{{QStringLiteral("URLBASE"), service->baseUrl()},
                                   {QStringLiteral("IDEMRPESA"), QStringLiteral("1")},
                                   {QStringLiteral("IDLOCAL"), QStringLiteral("2")},
                                   {QStringLiteral("chkPostVenda"), QStringLiteral("NAO")},
                                   {QStringLiteral("chkGetPromo"), QStringLiteral("NAO")}};
        for (const auto& [key, value] : extra) {
            const auto same = [&key](const auto& kv) { return kv.first == key; };
            settings.removeIf(same);
            settings.append({key, value});
        }
        writeSettings(settings);
        journalStart = service->journal().size();
        core = std::make_unique<TPrincipal>();
        core->FormCreate();
    }

    // One tick at the given time of the clock's day.
    QStringList tickAt(const QTime& time, int dayOffset = 0) {
        clock.set(QDateTime(QDate(2023, 4, 10).addDays(dayOffset), time));
        const int before = core->log().table().RecordCount();
        core->scheduler().timerGeralTimer();
        return rows(core->log().table()).mid(before);
    }

    [[nodiscard]] int journalCount(const QString& endpoint) const {
        int n = 0;
        for (const JournalRecord& r : service->journal().mid(journalStart))
            n += r.endpoint == endpoint ? 1 : 0;
        return n;
    }

    static std::unique_ptr<FakeService> service;
    std::unique_ptr<TPrincipal> core;
    qsizetype journalStart = 0;
};

std::unique_ptr<FakeService> SchedulerTest::service;

TEST_F(SchedulerTest, TheFirstTickComesAfterTenSecondsAndRunsTheTasksInOrder) {
    EXPECT_EQ(core->scheduler().timerGeralInterval(), 10000);
    clock.advance(10);
    ASSERT_TRUE(apptest::waitFor(&core->scheduler(), &TScheduler::tickFinished));

    EXPECT_EQ(rows(core->log().table()), (QStringList{Abriu, ReenvioVenda, ReenvioFecha}));
    const qint64 now = clockSeconds();
    EXPECT_EQ(core->scheduler().salesCountdown().proximo(), now + 90);
    EXPECT_EQ(core->scheduler().promotionsCountdown().proximo(), now + 300);
    EXPECT_EQ(core->scheduler().resendCountdown().proximo(), now + 600);
    EXPECT_EQ(core->scheduler().closingCountdown().proximo(),
              0); // only a sales run that did its work moves it
    // The next tick comes 30 s after the end of this one's work.
    EXPECT_EQ(core->scheduler().timerGeralInterval(), 30000);
    EXPECT_TRUE(core->scheduler().timerGeral().isActive());
    EXPECT_TRUE(core->scheduler().timerPing().isActive());
}

TEST_F(SchedulerTest, ATaskIsDueOnlyAfterItsCountdownHasPassed) {
    // (time, sales run expected, resend run expected) with timerVenda 90 and timerReenvio 600.
    struct Step {
        QTime time;
        bool sales, resend;
    };
    const Step steps[] = {
        {QTime(9, 0, 10), true, true},   {QTime(9, 0, 40), false, false},
        {QTime(9, 1, 10), false, false}, {QTime(9, 1, 40), false, false}, // exactly 90 s later: not due
        {QTime(9, 1, 41), true, false},  {QTime(9, 10, 10), true, false}, // exactly 600 s: not due
        {QTime(9, 10, 11), false, true},
    };
    for (const Step& s : steps) {
        const QStringList added = tickAt(s.time);
        EXPECT_EQ(added.contains(Abriu), s.sales) << s.time.toString().toStdString();
        EXPECT_EQ(added.contains(ReenvioVenda), s.resend) << s.time.toString().toStdString();
    }
}

TEST_F(SchedulerTest, ThePromotionsCountdownAdvancesWithItsSwitchOff) {
    tickAt(QTime(9, 0, 10));
    const qint64 first = clockSeconds();
    EXPECT_EQ(core->scheduler().promotionsCountdown().proximo(), first + 300);
    tickAt(QTime(9, 5, 10)); // exactly 300 s: not due
    EXPECT_EQ(core->scheduler().promotionsCountdown().proximo(), first + 300);
    tickAt(QTime(9, 5, 11));
    EXPECT_EQ(core->scheduler().promotionsCountdown().proximo(), clockSeconds() + 300);
    EXPECT_EQ(journalCount(QStringLiteral("promociones")), 0);
    EXPECT_FALSE(operations(core->log().table()).contains(QStringLiteral("Leitura de promoções")));
}

TEST_F(SchedulerTest, ASavedIntervalAppliesFromTheNextAdvance) {
    tickAt(QTime(9, 0, 10));
    writeSettings({{QStringLiteral("URLBASE"), service->baseUrl()},
                   {QStringLiteral("chkPostVenda"), QStringLiteral("NAO")},
                   {QStringLiteral("chkGetPromo"), QStringLiteral("NAO")},
                   {QStringLiteral("timerVenda"), QStringLiteral("600")}});
    core->FormActivate();
    EXPECT_TRUE(tickAt(QTime(9, 1, 41)).contains(Abriu)); // the old due time holds
    EXPECT_EQ(core->scheduler().salesCountdown().proximo(), clockSeconds() + 600);
}

TEST_F(SchedulerTest, TasksKeepComingDueAcrossMidnight) {
    struct Step {
        int day;
        QTime time;
        bool sales;
    };
    const Step steps[] = {
        {0, QTime(23, 59, 0), true}, // due next at 00:00:30 of the next day
        {0, QTime(23, 59, 30), false}, {1, QTime(0, 0, 0), false},
        {1, QTime(0, 0, 30), false},   {1, QTime(0, 0, 31), true}, // and on at its interval
        {1, QTime(0, 2, 0), false},    {1, QTime(0, 2, 2), true},
    };
    for (const Step& s : steps)
        EXPECT_EQ(tickAt(s.time, s.day).contains(Abriu), s.sales)
            << s.day << " " << s.time.toString().toStdString();
}

TEST_F(SchedulerTest, AClockSetBackMakesTasksWaitAndOneSetForwardMakesThemDue) {
    tickAt(QTime(10, 0, 0));
    EXPECT_FALSE(tickAt(QTime(9, 0, 30)).contains(Abriu));  // set back one hour
    EXPECT_FALSE(tickAt(QTime(10, 1, 30)).contains(Abriu)); // still not past the countdown
    EXPECT_TRUE(tickAt(QTime(10, 1, 31)).contains(Abriu));
    EXPECT_TRUE(tickAt(QTime(13, 0, 0)).contains(Abriu)); // set forward
}

TEST_F(SchedulerTest, AnErrorEndsItsTickAndTheNextTickStillRuns) {
    // The sales upload meets a database that does not exist: an error no task handles.
    start({{QStringLiteral("chkPostVenda"), QStringLiteral("SIM")},
           {QStringLiteral("PATH DOLVEX"), folder.file(QStringLiteral("missing.fdb"))}});
    apptest::ErrorSpy errors(*core);
    clock.advance(10);
    ASSERT_TRUE(apptest::waitFor(&core->scheduler(), &TScheduler::tickFinished));

    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts.at(0).contains(QStringLiteral("missing.fdb")))
        << errors.texts.at(0).toStdString();
    const QStringList first = rows(core->log().table());
    ASSERT_EQ(first.size(), 2);
    EXPECT_EQ(first.at(0), Abriu);
    EXPECT_TRUE(first.at(1).startsWith(QStringLiteral("Erro na operação|")));
    // The rest of the tick was skipped: the resend countdown was not advanced.
    EXPECT_EQ(core->scheduler().resendCountdown().proximo(), 0);
    // The synchroniser goes on: gates open, timers running.
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
    EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
    EXPECT_TRUE(core->scheduler().timerGeral().isActive());

    clock.advance(30);
    ASSERT_TRUE(apptest::waitFor(&core->scheduler(), &TScheduler::tickFinished));
    EXPECT_EQ(rows(core->log().table()).mid(2), (QStringList{ReenvioVenda, ReenvioFecha}));
}

} // namespace
