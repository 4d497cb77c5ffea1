// closing_backlog: the daily closing of a backlog of days on a big ERP database.
//
//   closing_backlog [--tickets N] [--days D] [--pending P] [--rounds R] [--no-indexes]
//       defaults: 1,000,000 tickets over 1,000 days on 4 registers, 30 days
//       pending, 5 rounds (the median counts)
//
// The database (BacklogDatabase.h) ends yesterday; the last closed day in the
// settings is P + 1 days ago, so P days are pending. The figure is the reading
// part of the closing run Envia_fechamento_dia_anterior("Pendente", ""): its
// totals of every pending day, read with fechamento::lerTotais as the run
// reads them, on a connection opened anew as the run opens it. The floor is
// the two grouped selections alone (sqltexts::closingSalesTotals and
// closingCancellationTotals), run through a TFbQuery prepared beforehand and
// read to the end. A connection of the floor's stays open throughout, so both
// sides find the engine's page cache as warm. Goal: reading/floor at most 1.5.
//
// Then the whole run posts to fake-korvanta on loopback (answering 200), and
// its documents are checked against the totals read one day and one register
// at a time. Everything runs on the embedded engine, then again through the
// Firebird server over TCP ("localhost:/path") when one answers
// (scripts/fbserver start). "RESULT closing_backlog key=value ..." and
// "RESULT closing_backlog_tcp ..." hold the figures for scripts/bench.

#include "BacklogDatabase.h"
#include "BenchSupport.h"
#include "ServerDatabase.h"
#include "api/RequestFrame.h"
#include "api/ServiceFrame.h"
#include "app/ActivityLog.h"
#include "app/Commands.h"
#include "app/ErrorDisplay.h"
#include "app/Scheduler.h"
#include "app/uPrincipal.h"
#include "config/Settings.h"
#include "erp/uDtmApi.h"
#include "support/MemTable.h"
#include "sync/Diagnostico.h"
#include "sync/EnvioDeVendas.h"
#include "sync/FechamentoDiario.h"
#include "sync/Loja.h"
#include "sync/Promocoes.h"
#include "sync/Reenvio.h"
#include "erp/SqlTexts.h"
#include "support/Clock.h"
#include "support/Memo.h"
#include "support/Platform.h"
#include "sync/ClosingDocument.h"
#include "sync/ClosingTotals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QString kUser = QStringLiteral("loja");
const QString kPassword = QStringLiteral("s3nha");

struct Options {
    bench::Backlog backlog;
    int pending = 30;
    int rounds = 5;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double secondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

// The floor: both grouped selections through `q`, prepared already, read to the end.
int readFloor(TFbQuery& q, const QDate& first, const QDate& last) {
    int rows = 0;
    for (const SqlStatement& s : {sqltexts::closingSalesTotals(first, last, {}),
                                  sqltexts::closingCancellationTotals(first, last, {})}) {
        q.setStatement(s);
        for (q.Open(); !q.Eof(); q.Next()) ++rows;
    }
    q.Close();
    return rows;
}

// The closing documents the run should have posted, in its order (day, then
// register), from totals read one day and one register at a time.
std::vector<QByteArray> expectedDocuments(TdtmApi& dtm, const QDate& first, const QDate& last) {
    std::vector<QByteArray> docs;
    TFbQuery& q = dtm.qrySelect1();
    const auto totals = [&q](const char* sql, const QDate& day, int register_, double& sum, double& count) {
        q.setStatement({{QString::fromLatin1(sql)}, {sqltexts::dateText(day), QString::number(register_)}});
        q.Open();
        sum = q.Fields(0).AsFloat();
        count = q.Fields(1).AsFloat();
        q.Close();
    };
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        for (int register_ = 1; register_ <= bench::Backlog::kRegisters; ++register_) {
            double sales = 0, salesCount = 0, cancelled = 0, cancelledCount = 0;
            totals("select sum(sub_tot), count(sub_tot) from cupom_fiscal where data_cupom = ? and nro_cx = ?", day,
                   register_, sales, salesCount);
            if (salesCount == 0) continue;
            totals("select sum(sub_tot), count(sub_tot) from KORVANTA_DELETE "
                   "where data_cupom = ? and nro_cx = ? and sinc_korv <> 99",
                   day, register_, cancelled, cancelledCount);
            TMemo doc;
            for (const QString& line : fechdoc::linhasFechamento(day.toString(QStringLiteral("dd/MM/yyyy")), sales,
                                                                 salesCount, cancelled, cancelledCount))
                doc.Add(line);
            docs.push_back(doc.Text().toUtf8());
        }
    }
    return docs;
}

// The bodies of the closings the journal recorded for company `company`, in order.
std::vector<QByteArray> postedDocuments(const QString& journal, const QString& company) {
    std::vector<QByteArray> docs;
    QFile file(journal);
    if (!file.open(QIODevice::ReadOnly)) return docs;
    const QString mark = QStringLiteral("/minoristas/") + company + QStringLiteral("/");
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const QString path = o.value("path").toString();
        if (path.contains(mark) && path.endsWith(QStringLiteral("/cierresDiarios")))
            docs.push_back(o.value("body").toString().toUtf8());
    }
    return docs;
}

// Reading and floor, then the whole run, on the database attached as `name`.
void measure(const char* label, const Options& o, const QString& name, const QString& base, const QString& journal,
             const QString& company, ManualClock& clock) {
    const QDate today = clock.now().date();
    const QDate first = today.addDays(-o.pending);
    const QDate last = today.addDays(-1);
    TdtmApi floorSide;
    floorSide.setPathBancoDolvex(name);
    floorSide.dtmConectDolvex(true);
    TFbQuery floorQuery(&floorSide.dtbDolvex(), &floorSide.ibtDolvex(), QStringLiteral("floor"));

    TPrincipal core;
    core.config().LoadConfig();
    core.frame().setBaseUrl(base);
    Loja loja = core.store();
    loja.idEmpresa = company;
    loja.idLocal = QStringLiteral("1");
    loja.pastaLog = QFileInfo(journal).absolutePath() + QDir::separator();
    core.setStore(loja);
    core.frame().setCredentials(kUser, kPassword);
    core.erp().setPathBancoDolvex(name);
    core.log().table().Open();

    // Warm-up: both sides once (the floor's statements stay prepared on its connection).
    fechamento::TotaisPorDia totals;
    const auto reading = [&] {
        core.erp().dtmConectDolvex(true);
        const double seconds = secondsOf([&] { totals = fechamento::lerTotais(core.erp(), first, last, {}); });
        core.erp().dtmConectDolvex(false);
        return seconds;
    };
    int floorRows = 0;
    (void)reading();
    (void)secondsOf([&] { floorRows = readFloor(floorQuery, first, last); });
    std::vector<double> read, floor;
    for (int r = 0; r < o.rounds; ++r) {
        if (r % 2 == 0) read.push_back(reading());
        floor.push_back(secondsOf([&] { floorRows = readFloor(floorQuery, first, last); }));
        if (r % 2 == 1) read.push_back(reading());
    }
    int pairs = 0;
    for (const auto& day : totals) pairs += int(day.size());

    // The whole run, posting the pending days.
    core.config().MostraUltFecha(first.addDays(-1).toString(QStringLiteral("dd/MM/yyyy")));
    const double run = secondsOf([&] { core.closing().Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString()); });
    core.erp().dtmConectDolvex(false);
    const bool closedAll = core.config().values().dataUltFecha == last.toString(QStringLiteral("dd/MM/yyyy"));
    const std::vector<QByteArray> posted = postedDocuments(journal, company);
    const std::vector<QByteArray> expected = expectedDocuments(floorSide, first, last);
    const bool same = closedAll && posted == expected;
    floorSide.dtmConectDolvex(false);

    const double rd = median(read), fl = median(floor);
    std::printf("%s: %d pending days, %d day/register totals (%d rows of the floor's selections)\n", label, o.pending,
                pairs, floorRows);
    std::printf("  reading, fechamento::lerTotais on a new connection  %8.2f ms (median of %d)\n", rd * 1e3, o.rounds);
    std::printf("  floor, the two grouped selections, prepared         %8.2f ms\n", fl * 1e3);
    std::printf("  ratio                                               %8.2f (goal <= 1.5)\n", rd / fl);
    std::printf("  whole run, %3zu closings posted                      %8.2f ms (posting about %.2f ms)\n",
                posted.size(), run * 1e3, (run - rd) * 1e3);
    std::printf("  the %zu documents posted %s the totals read day by day and register by register%s\n",
                posted.size(), same ? "equal" : "DO NOT equal", closedAll ? "" : " (and the last closed day is wrong)");
    std::printf("RESULT %s tickets=%d days=%d pending=%d date_indexes=%d rounds=%d read_ms=%.2f floor_ms=%.2f "
                "run_ms=%.2f closings=%zu same_documents=%d ratio=%.3f\n",
                label, o.backlog.ticketsPerRegisterAndDay() * o.backlog.days * bench::Backlog::kRegisters,
                o.backlog.days, o.pending, o.backlog.dateIndexes ? 1 : 0, o.rounds, rd * 1e3, fl * 1e3, run * 1e3,
                posted.size(), same ? 1 : 0, rd / fl);
}

void run(const Options& o) {
    QTemporaryDir folder;
    platform::setBaseDir(folder.path());
    ManualClock clock(QDateTime(o.backlog.lastDay.addDays(1), QTime(10, 0, 0)));
    setAppClock(&clock);

    const QString path = folder.filePath(QStringLiteral("backlog.fdb"));
    const double fill = secondsOf([&] { bench::createBacklogDatabase(path, o.backlog); });
    std::printf("database: %d tickets over %d days (%s to %s) on %d registers, %s date indexes, filled in %.1f s\n",
                o.backlog.ticketsPerRegisterAndDay() * o.backlog.days * bench::Backlog::kRegisters, o.backlog.days,
                qPrintable(o.backlog.firstDay().toString(Qt::ISODate)),
                qPrintable(o.backlog.lastDay.toString(Qt::ISODate)), bench::Backlog::kRegisters,
                o.backlog.dateIndexes ? "with" : "without", fill);

    const QString journal = folder.filePath(QStringLiteral("journal.jsonl"));
    QProcess service;
    const QString base = bench::startFakeService(service, journal, kUser, kPassword);
    if (base.isEmpty()) throw AppError(QStringLiteral("fake-korvanta did not start"));
    measure("closing_backlog", o, path, base, journal, QStringLiteral("101"), clock);
    if (const auto name = bench::serverName("closing_backlog", path))
        measure("closing_backlog_tcp", o, *name, base, journal, QStringLiteral("102"), clock);
    service.terminate();
    service.waitForFinished(10'000);
    setAppClock(nullptr);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options o;
    o.backlog.lastDay = QDate(2026, 6, 14);
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const int value = i + 1 < args.size() ? args[i + 1].toInt() : 0;
        if (a == QLatin1String("--no-indexes")) {
            o.backlog.dateIndexes = false;
            continue;
        }
        int* target = a == QLatin1String("--tickets")   ? &o.backlog.tickets
                      : a == QLatin1String("--days")    ? &o.backlog.days
                      : a == QLatin1String("--pending") ? &o.pending
                      : a == QLatin1String("--rounds")  ? &o.rounds
                                                        : nullptr;
        if (!target || value <= 0) {
            std::fprintf(stderr, "usage: closing_backlog [--tickets N] [--days D] [--pending P] [--rounds R] "
                                 "[--no-indexes]\n");
            return 2;
        }
        *target = value;
        ++i;
    }
    o.pending = std::min(o.pending, o.backlog.days);
    try {
        run(o);
    } catch (const AppError& e) {
        std::fprintf(stderr, "closing_backlog: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
