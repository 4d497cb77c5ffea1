// The operator's commands end to end, on the demo ERP database and the fake
// service: the radio choice of both send commands, the switches, the order of
// the tasks in a tick, the name each command announces, and what arrives
// during the sales upload (it waits for the upload's end).

#include "AppTestSupport.h"
#include "support/fixtures/CoreParts.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/FakeService.h"

#include <QCoreApplication>
#include <memory>

using apptest::operations;

namespace {

using Selection = TCommands::Selection;

class CommandsTest : public apptest::ShellTest {
  protected:
    static void SetUpTestSuite() { service = std::make_unique<FakeService>(); }
    static void TearDownTestSuite() { service.reset(); }

    void SetUp() override {
        service->reset();
        clock.set(QDateTime(QDate(2025, 12, 9), QTime(10, 0, 0)));
    }

    // A fresh demo database and a core started on it.
    void start(bool sales = true, bool promotions = false) {
        db = std::make_unique<ErpDatabase>(ErpDatabase::Content::Demo);
        core.reset();
        writeSettings(
            {{QStringLiteral("PATH DOLVEX"), db->path()},
             {QStringLiteral("URLBASE"), service->baseUrl()},
             {QStringLiteral("IDEMRPESA"), QStringLiteral("1")},
             {QStringLiteral("IDLOCAL"), QStringLiteral("2")},
             {QStringLiteral("DataUltFecha"), QStringLiteral("07/12/2025")},
             {QStringLiteral("chkPostVenda"), sales ? QStringLiteral("SIM") : QStringLiteral("NAO")},
             {QStringLiteral("chkGetPromo"), promotions ? QStringLiteral("SIM") : QStringLiteral("NAO")}});
        journalStart = service->journal().size();
        core = std::make_unique<TPrincipal>();
        errors = std::make_unique<apptest::ErrorSpy>(*core);
        core->FormCreate();
        core->FormActivate();
    }

    [[nodiscard]] int flag(int ticket, int caixa) const {
        return db->integer(
            QStringLiteral("select sinc_korvanta from cupom_fiscal where nro_cupom=%1 and nro_cx=%2")
                .arg(ticket)
                .arg(caixa));
    }
    // Requests since the core was started.
    [[nodiscard]] int requests(const QString& endpoint) const {
        int n = 0;
        for (const JournalRecord& r : service->journal().mid(journalStart))
            n += r.endpoint == endpoint ? 1 : 0;
        return n;
    }
    [[nodiscard]] bool logged(const QString& prefix) const {
        for (const QString& op : operations(core->log().table()))
            if (op.startsWith(prefix)) return true;
        return false;
    }
    // The command ended as a command ends: timers running, countdowns untouched.
    void expectCommandEnd() const {
        EXPECT_TRUE(core->scheduler().timerGeral().isActive());
        EXPECT_TRUE(core->scheduler().timerPing().isActive());
        EXPECT_EQ(core->scheduler().salesCountdown().proximo() +
                      core->scheduler().promotionsCountdown().proximo() +
                      core->scheduler().resendCountdown().proximo(),
                  0);
        EXPECT_EQ(errors->texts, QStringList());
    }

    static std::unique_ptr<FakeService> service;
    std::unique_ptr<ErpDatabase> db;
    std::unique_ptr<TPrincipal> core;
    std::unique_ptr<apptest::ErrorSpy> errors;
    qsizetype journalStart = 0;
};

std::unique_ptr<FakeService> CommandsTest::service;

TEST_F(CommandsTest, SendSalesTakesTheTicketsOfTheChosenSelection) {
    struct Case {
        Selection selection;
        QDate day;
        int t2935, t1502, t2901; // flags after the command
    };
    const Case cases[] = {
        {Selection::Pending1, {}, 2, 3, 2},
        {Selection::Pending3, {}, 1, 2, 1},
        {Selection::Day, QDate(2025, 12, 7), 1, 3, 2},
    };
    for (const Case& c : cases) {
        start();
        core->commands().setSelection(c.selection);
        if (c.day.isValid()) core->commands().setDay(c.day);
        core->commands().sendSales();
        const int selecao = static_cast<int>(c.selection);
        EXPECT_EQ(flag(2935, 1), c.t2935) << selecao;
        EXPECT_EQ(flag(1502, 2), c.t1502) << selecao;
        EXPECT_EQ(flag(2901, 1), c.t2901) << selecao;
        expectCommandEnd();
    }
}

TEST_F(CommandsTest, SendClosingTakesThePendingDaysOrTheChosenDay) {
    struct Case {
        Selection selection;
        QDate day;
        QString closed; // the day whose closings were posted
    };
    const Case cases[] = {
        {Selection::Pending1, {}, QStringLiteral("08/12/2025")},
        {Selection::Pending3, {}, QStringLiteral("08/12/2025")},
        {Selection::Day, QDate(2025, 12, 5), QStringLiteral("05/12/2025")},
    };
    for (const Case& c : cases) {
        start();
        core->commands().setSelection(c.selection);
        if (c.day.isValid()) core->commands().setDay(c.day);
        core->commands().sendClosing();
        EXPECT_TRUE(logged(QStringLiteral("Fechamento: ") + c.closed)) << c.closed.toStdString();
        EXPECT_GT(requests(QStringLiteral("cierresDiarios")), 0);
        EXPECT_EQ(requests(QStringLiteral("movimientos")), 0);
        expectCommandEnd();
    }
}

TEST_F(CommandsTest, SwitchesDecideWhatTheCommandsDo) {
    start(/*sales=*/false, /*promotions=*/false);
    core->commands().sendSales();
    core->commands().fetchPromotions();
    core->commands().testPromotions();
    EXPECT_EQ(core->log().table().RecordCount(), 0);
    EXPECT_EQ(flag(2935, 1), 1);

    core->commands().sendClosing();        // the closing has no switch
    core->commands().readResendRequests(); // nor the resend readings
    EXPECT_GT(requests(QStringLiteral("cierresDiarios")), 0);
    EXPECT_EQ(requests(QStringLiteral("solicitudesMovimientos")), 1);
    EXPECT_EQ(requests(QStringLiteral("solicitudesCierresDiarios")), 1);
    EXPECT_EQ(requests(QStringLiteral("promociones")), 0);
    EXPECT_EQ(requests(QStringLiteral("movimientos")), 0);
    expectCommandEnd();
}

TEST_F(CommandsTest, ATickRunsSalesClosingPromotionsAndResendInThisOrder) {
    start(/*sales=*/true, /*promotions=*/true);
    core->scheduler().timerGeralTimer();
    const QStringList ops = operations(core->log().table());
    const auto first = [&ops](const QString& prefix) {
        for (qsizetype i = 0; i < ops.size(); ++i)
            if (ops.at(i).startsWith(prefix)) return i;
        return qsizetype(-1);
    };
    const QList<qsizetype> order{first(QStringLiteral("Abriu post-vendas")),
                                 first(QStringLiteral("Gravação venda: ")),
                                 first(QStringLiteral("Fechamento: ")),
                                 first(QStringLiteral("Leitura de promoções")),
                                 first(QStringLiteral("Promoções processada sistema ZYR")),
                                 first(QStringLiteral("Leitura de reenvio-venda")),
                                 first(QStringLiteral("Leitura de reenvio-fecha"))};
    EXPECT_EQ(order.at(0), 0) << ops.join(u'\n').toStdString();
    for (qsizetype i = 1; i < order.size(); ++i)
        EXPECT_GT(order.at(i), order.at(i - 1)) << i << "\n" << ops.join(u'\n').toStdString();
    EXPECT_EQ(errors->texts, QStringList());
    EXPECT_EQ(flag(2935, 1), 2);
}

TEST_F(CommandsTest, EachCommandAnnouncesItsTask) {
    struct Case {
        const char* command;
        void (TCommands::*run)();
        QString task;
        Selection selection; // chosen so that the command has work that logs
    };
    const Case cases[] = {
        {"sendSales", &TCommands::sendSales, QStringLiteral("Envio de vendas"), Selection::Pending1},
        {"sendClosing", &TCommands::sendClosing, QStringLiteral("Fechamento diário"), Selection::Day},
        {"fetchPromotions", &TCommands::fetchPromotions, QStringLiteral("Leitura de promoções"),
         Selection::Pending1},
        {"testPromotions", &TCommands::testPromotions, QStringLiteral("Leitura de promoções"),
         Selection::Pending1},
        {"readResendRequests", &TCommands::readResendRequests, QStringLiteral("Leitura de reenvio"),
         Selection::Pending1},
    };
    start(/*sales=*/true, /*promotions=*/true);
    core->commands().setDay(QDate(2025, 12, 5));
    for (const Case& c : cases) {
        core->commands().setSelection(c.selection);
        QStringList started;
        QString atWork; // the task at work when the command's first log row came
        QString atEnd = QStringLiteral("not ended");
        QObject context;
        QObject::connect(&core->scheduler(), &TScheduler::taskStarted, &context,
                         [&started](const QString& task) { started << task; });
        QObject::connect(&core->log(), &TActivityLog::rowLogged, &context, [&] {
            if (atWork.isEmpty()) atWork = core->scheduler().currentTask();
        });
        QObject::connect(&core->scheduler(), &TScheduler::workEnded, &context,
                         [&] { atEnd = core->scheduler().currentTask(); });
        (core->commands().*c.run)();
        EXPECT_EQ(started, QStringList{c.task}) << c.command;
        EXPECT_EQ(atWork, c.task) << c.command;
        EXPECT_EQ(atEnd, QString()) << c.command;
        EXPECT_EQ(core->scheduler().currentTask(), QString()) << c.command;
    }
    EXPECT_EQ(errors->texts, QStringList());
}

TEST_F(CommandsTest, WhatArrivesDuringTheSalesUploadWaitsForItsEnd) {
    start();
    bool busyWhenPosted = false;
    bool busyWhenHandled = true;
    quint8 gateAfterActivation = 9;
    // Handled once the upload has ended: an activation of the window, a closing
    // command for another day, and the end of the loop.
    const auto afterTheRun = [&] {
        busyWhenHandled = core->scheduler().busy();
        core->FormActivate();
        gateAfterActivation = core->scheduler().gates().podePostVenda();
        core->commands().setSelection(Selection::Day);
        core->commands().setDay(QDate(2025, 12, 5));
        core->commands().sendClosing();
        QCoreApplication::exit(0);
    };
    // Posted in the middle of the upload, as its first ticket is logged.
    QObject context;
    bool posted = false;
    QObject::connect(&core->log(), &TActivityLog::rowLogged, &context,
                     [&](const QDateTime&, const QString& operation, const QString&) {
                         if (posted || !operation.startsWith(QStringLiteral("Gravação venda: "))) return;
                         posted = true;
                         busyWhenPosted = core->scheduler().busy();
                         QTimer::singleShot(0, core.get(), afterTheRun);
                     });
    QTimer::singleShot(0, core.get(), [&] { core->commands().sendSales(); });
    QCoreApplication::exec();

    EXPECT_TRUE(busyWhenPosted);
    EXPECT_FALSE(busyWhenHandled);     // nothing ran inside the upload
    EXPECT_EQ(gateAfterActivation, 1); // the settings were applied after the run
    // The closing for the 5th waited its turn and ran after the upload.
    const QStringList ops = operations(core->log().table());
    qsizetype lastSale = -1;
    qsizetype closing = -1;
    for (qsizetype i = 0; i < ops.size(); ++i) {
        if (ops.at(i).startsWith(QStringLiteral("Gravação venda: "))) lastSale = i;
        if (closing < 0 && ops.at(i).startsWith(QStringLiteral("Fechamento: 05/12/2025"))) closing = i;
    }
    EXPECT_GE(lastSale, 0);
    EXPECT_GT(closing, lastSale) << ops.join(u'\n').toStdString();
    // The run finished whole.
    EXPECT_EQ(flag(2935, 1), 2);
    EXPECT_EQ(flag(1501, 2), 2);
    // The activation set today, then the command chose the 5th.
    EXPECT_EQ(core->commands().day(), QDate(2025, 12, 5));
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
    EXPECT_EQ(errors->texts, QStringList());
}

} // namespace
