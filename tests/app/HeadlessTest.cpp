// The modes without a window: reading --once, the log line, one command run
// once, the headless loop ended by a signal, and the executable itself.

#include "app/Headless.h"

#include "AppTestSupport.h"
#include "app/Engine.h"
#include "support/fixtures/CoreParts.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/FakeService.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#if __has_include(<pthread.h>)
#include <pthread.h>
#endif

using headless::OnceCommand;

namespace {

// What a stream written by the runner holds, as UTF-8 lines.
QStringList linesOf(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    QByteArray bytes;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        bytes.append(buf, static_cast<qsizetype>(n));
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

struct TempStream {
    std::FILE* f = std::tmpfile();
    ~TempStream() { std::fclose(f); }
};

TEST(OnceCommandLine, CommandsAndTheirArguments) {
    using K = OnceCommand::Kind;
    struct Case {
        QStringList words;
        bool valid;
        K kind;
        QString argument;
    };
    const Case cases[] = {
        {{"tick"}, true, K::Tick, {}},
        {{"promotions"}, true, K::Promotions, {}},
        {{"resend"}, true, K::Resend, {}},
        {{"send-sales", "pendentes-1"}, true, K::SendSales, "pendentes-1"},
        {{"send-sales", "Pendentes-3"}, true, K::SendSales, "pendentes-3"},
        {{"send-sales", "10/06/2020"}, true, K::SendSales, "10/06/2020"},
        {{"send-closing", "pendente"}, true, K::SendClosing, "pendente"},
        {{"send-closing", "31/12/2023"}, true, K::SendClosing, "31/12/2023"},
        {{}, false, {}, {}},
        {{"tick", "now"}, false, {}, {}},
        {{"send-sales"}, false, {}, {}},
        {{"send-sales", "pendente"}, false, {}, {}},
        {{"send-closing", "pendentes-1"}, false, {}, {}},
        {{"send-closing", "31/02/2023"}, false, {}, {}},
        {{"send-sales", "2023-02-01"}, false, {}, {}},
        {{"sales"}, false, {}, {}},
    };
    for (const Case& c : cases) {
        QString error;
        const auto parsed = headless::parseOnce(c.words, &error);
        ASSERT_EQ(parsed.has_value(), c.valid) << c.words.join(' ').toStdString();
        if (c.valid) {
            EXPECT_EQ(parsed->kind, c.kind);
            EXPECT_EQ(parsed->argument, c.argument);
        } else {
            EXPECT_FALSE(error.isEmpty());
        }
    }
}

TEST(LogLine, FourFieldsSeparatedByTabsOnOneLine) {
    TMemTable t(QStringLiteral("tblList"), {{QStringLiteral("Operacao"), FieldType::Text, 40},
                                            {QStringLiteral("Data"), FieldType::Date, 0},
                                            {QStringLiteral("Hora"), FieldType::Time, 0},
                                            {QStringLiteral("Mensagem"), FieldType::Text, 100}});
    t.Open();
    t.appendRow({QStringLiteral("Gravação venda: 1 - 2935 - 08/12/2025"), QDate(2025, 12, 9), QTime(7, 5, 3),
                 QStringLiteral("linha 1\r\nlinha\t2")});
    EXPECT_EQ(
        headless::logLine(t, 0),
        QStringLiteral("09/12/2025\t07:05:03\tGravação venda: 1 - 2935 - 08/12/2025\tlinha 1  linha 2"));
}

class RunnerTest : public apptest::ShellTest {
  protected:
    void SetUp() override { clock.set(QDateTime(QDate(2025, 12, 9), QTime(10, 0, 0))); }
    void configure(const QString& database, const QString& url) {
        writeSettings({{QStringLiteral("PATH DOLVEX"), database},
                       {QStringLiteral("URLBASE"), url},
                       {QStringLiteral("IDEMRPESA"), QStringLiteral("1")},
                       {QStringLiteral("IDLOCAL"), QStringLiteral("2")},
                       {QStringLiteral("DataUltFecha"), QStringLiteral("07/12/2025")}});
    }
    TempStream out, err;
};

TEST_F(RunnerTest, OnceTickSendsAndPrintsEveryRow) {
    const ErpDatabase db(ErpDatabase::Content::Demo);
    const FakeService service;
    configure(db.path(), service.baseUrl());
    headless::THeadlessRunner runner(out.f, err.f);
    EXPECT_EQ(runner.runOnce({OnceCommand::Kind::Tick, {}}), 0);

    const QStringList lines = linesOf(out.f);
    const TMemTable& log = runner.engine().log().table();
    ASSERT_EQ(lines.size(), log.RecordCount());
    for (int r = 0; r < log.RecordCount(); ++r)
        EXPECT_EQ(lines.at(r), headless::logLine(log, r));
    EXPECT_EQ(lines.first(), QStringLiteral("09/12/2025\t10:00:00\tAbriu post-vendas\t"));
    EXPECT_TRUE(lines.contains(QStringLiteral("09/12/2025\t10:00:00\tLeitura de reenvio-fecha\tOk")));
    EXPECT_EQ(linesOf(err.f), QStringList());
    EXPECT_EQ(db.integer(
                  QStringLiteral("select sinc_korvanta from cupom_fiscal where nro_cupom=2935 and nro_cx=1")),
              2);
}

TEST_F(RunnerTest, AnErrorNoTaskHandlesGivesStatusOneAndGoesToStandardError) {
    configure(folder.file(QStringLiteral("missing.fdb")), QStringLiteral("http://127.0.0.1:9/"));
    headless::THeadlessRunner runner(out.f, err.f);
    EXPECT_EQ(runner.runOnce({OnceCommand::Kind::SendSales, QStringLiteral("08/12/2025")}), 1);
    const QStringList errors = linesOf(err.f);
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_TRUE(errors.first().contains(QStringLiteral("missing.fdb")));
    EXPECT_TRUE(linesOf(out.f).last().startsWith(QStringLiteral("09/12/2025\t10:00:00\tErro na operação\t")));
    EXPECT_EQ(runner.engine().state().day, QDate(2025, 12, 8));
    EXPECT_EQ(runner.engine().state().selection, TCommands::Selection::Day);
}

#if defined(SIGHUP)
TEST_F(RunnerTest, TheLoopRunsTicksUntilASignalEndsIt) {
    const FakeService service;
    configure(QString(), service.baseUrl());
    headless::THeadlessRunner runner(out.f, err.f);
    std::atomic<int> ticks = 0;
    // On the engine thread, at the end of each tick; the signals go to this
    // thread, which reads them in its loop.
    const pthread_t loopThread = ::pthread_self();
    runner.engine().call([&](TPrincipal& core) {
        QObject::connect(&core.scheduler(), &TScheduler::tickFinished, &core, [&] {
            ++ticks;
            clock.advance(30);
            if (ticks == 1) {
                writeSettings({{QStringLiteral("URLBASE"), service.baseUrl()},
                               {QStringLiteral("IDEMRPESA"), QStringLiteral("9")}});
                ::pthread_kill(loopThread, SIGHUP); // applies the settings anew
            }
            if (ticks == 2) ::pthread_kill(loopThread, SIGTERM);
        });
    });
    clock.advance(10);
    EXPECT_EQ(runner.runLoop(), 0);
    EXPECT_EQ(ticks, 2);
    runner.engine().call([](TPrincipal& core) {
        EXPECT_EQ(core.store().idEmpresa, QStringLiteral("9"));
        EXPECT_FALSE(core.scheduler().timerGeral().isActive());
    });
    EXPECT_TRUE(linesOf(out.f).contains(QStringLiteral("09/12/2025\t10:00:10\tAbriu post-vendas\t")));
}
#endif

// The executable: usage errors, --help, and --once tick in a folder of its own.
TEST_F(RunnerTest, TheExecutableReadsItsCommandLine) {
    const QString program = testpaths::binary(QStringLiteral("src/korvanta-sync"));
    if (!QFile::exists(program)) GTEST_SKIP() << "korvanta-sync is not built";
    const auto run = [&program](const QStringList& args) {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(60000);
        return std::make_tuple(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                               QString::fromUtf8(p.readAllStandardError()));
    };
    struct Case {
        QStringList args;
        int status;
    };
    for (const Case& c : {Case{{"--help"}, 0}, Case{{"--bogus"}, 2}, Case{{"--once"}, 2},
                          Case{{"--once", "send-sales", "x"}, 2}, Case{{"--dir", folder.file("none")}, 2},
                          Case{{"--headless", "--once", "tick"}, 2}}) {
        const auto [status, out, err] = run(c.args);
        EXPECT_EQ(status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE((c.status == 0 ? out : err).contains(QStringLiteral("Usage: korvanta-sync")));
    }

    const ErpDatabase db(ErpDatabase::Content::Demo);
    const FakeService service;
    configure(db.path(), service.baseUrl());
    const auto [status, out, err] = run({"--dir", folder.path(), "--once", "tick"});
    EXPECT_EQ(status, 0) << err.toStdString();
    // The executable runs on the system clock.
    static const QRegularExpression firstRow(
        QStringLiteral(R"(^\d\d/\d\d/\d{4}\t\d\d:\d\d:\d\d\tAbriu post-vendas\t\n)"));
    EXPECT_TRUE(firstRow.match(out).hasMatch()) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\tGravação venda: 1 - 2935 - 08/12/2025\t200: Ok\n")))
        << out.toStdString();
    EXPECT_EQ(db.integer(
                  QStringLiteral("select sinc_korvanta from cupom_fiscal where nro_cupom=2935 and nro_cx=1")),
              2);
}

} // namespace
