// soak: the headless scheduler through days of clock time on a manual clock,
// against fake-korvanta and an embedded ERP database, watching the process for
// growth: resident memory, open file descriptors and the database's attachments.
//
// The core runs as the headless mode runs it (THeadlessRunner, FormCreate, on the
// engine thread), but instead of waiting on its timers the run moves the clock on
// by one tick interval and has the engine run the general tick, then lets the
// event loop handle what is waiting, as it would between two ticks; the ping
// handler follows each tick. The intervals are the defaults: sales 90 s,
// promotions 300 s, resend requests 600 s, closing 660 s; as a countdown that
// equals the clock is not due yet, with ticks exactly 30 s apart the tasks run
// every 120, 330 and 630 s.
// Daily closings follow the days as they pass.
//
// Between ticks the point of sale writes one to three tickets every five minutes
// on registers 1 to 3 (items and a payment-forms row with each) and one cancelled
// ticket every hour on register 4. The service serves three promotions (one
// ending on the third day) and one resend request of each kind, for the day
// before the start. Every hour a ping request is left and the service answers
// the next movement post with a 500; every six hours also the next closing,
// promotions fetch and movement resend reading, and the settings are applied
// anew as a reload request does, so the base-URL failover takes effect (the
// four base URLs are the service's).
//
// Figures are taken after the first tick, after each day, at the first tick end
// at which the core has closed its database session (the closing started by a
// resend request leaves it open until the next task): resident memory, the heap
// malloc has handed out, open descriptors, the attachments other than the point
// of sale's, and the database's size in pages (the engine's page cache, outside
// the heap, grows with it up to its configured size). Goals, from day 1 to the
// last day: resident memory grows less than 5 MB, no more descriptors, no more
// attachments. At the end the point of sale stops, the ticks go on until nothing
// is pending, and every ticket and cancelled ticket written must be flagged 2 and
// accepted by the service. The last line, "RESULT soak key=value ...", holds the
// figures for scripts/bench.
//
//   soak [--days N] [--tick S]        (defaults: 7 days, ticks 30 s apart; S divides 300)
//
// Exit status 0 whether the goals are met or not; 1 when the run itself failed.

#include "BenchSupport.h"
#include "ProcessProbes.h"
#include "SoakJournal.h"
#include "SoakStore.h"
#include "api/ServiceFrame.h"
#include "app/ActivityLog.h"
#include "app/Commands.h"
#include "app/Engine.h"
#include "app/ErrorDisplay.h"
#include "app/Headless.h"
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
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/Errors.h"
#include "support/Platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <curl/curl.h>
#include <vector>

namespace {

const QString kUser = QStringLiteral("loja");
const QString kPassword = QStringLiteral("s3nha");
const QDateTime kStart(QDate(2026, 3, 2), QTime(8, 0, 0));
const QDate kDayBefore = kStart.date().addDays(-1);

struct Figures {
    QString when;
    qint64 rssKb = 0;
    qint64 heapKb = 0;
    int databasePages = 0;
    int fds = 0;
    int attachments = 0;
    int sold = 0;
    double seconds = 0;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw AppError(QStringLiteral("cannot write ") + path);
}

// Two promotions for the whole run and one that ends on the third day.
QByteArray promotions() {
    const QString ends = kStart.date().addDays(2).toString(QStringLiteral("yyyy-MM-dd"));
    const QString groups = QStringLiteral(
        R"({"condiciones":{"grupos":[{"articulos":[{"nombre":"%1","codigoBarras":"%2"}],"cantidad":%3}]},)"
        R"("beneficios":{"grupos":[{"articulos":[{"nombre":"%1","codigoBarras":"%2"}],"cantidad":%4}]},)"
        R"("precio":%5,"descuento":%6,"paga":%7})");
    const QString promo = QStringLiteral(
        R"({"id":%1,"titulo":"%2","descripcion":"%3","tipo":"%4","autor":{"nombre":"Compras"},)"
        R"("vigenciaDesde":"2026-01-01T00:00:00.000-03:00","vigenciaHasta":"%5T23:59:59.000-03:00",)"
        R"("limitePromocionesPorTicket":%6,"detalles":%7})");
    const QString list =
        promo.arg("101", "Leve 3, pague 2 no cafe", "Cafe soluvel 50g", "Lleva_paga", "2030-12-31", "2",
                  groups.arg("CAFE SOLUVEL 50G", "7891000010860", "3", "1", "11.9", "0", "2")) +
        u',' +
        promo.arg("103", "Leite integral: 2 por 9,90", "Leite integral 1L", "Precio_fijo", "2030-12-31",
                  "null", groups.arg("LEITE INTEGRAL 1L", "7891234567895", "2", "2", "9.9", "0", "0")) +
        u',' +
        promo.arg("104", "Arroz com desconto", "Arroz tipo 1 5kg", "Descuento_Fijo", ends, "1",
                  groups.arg("ARROZ TIPO 1 5KG", "7896006700017", "1", "1", "0", "10", "0"));
    return QStringLiteral(R"({"cantidad":3,"promociones":[%1]})").arg(list).toUtf8();
}

void writeSettings(const QString& folder, const QString& database, const QString& base) {
    const QStringList lines{QStringLiteral("[CONF]"),
                            QStringLiteral("PATH DOLVEX=") + database,
                            QStringLiteral("IDEMRPESA=1"),
                            QStringLiteral("IDLOCAL=1"),
                            QStringLiteral("USUARIO=") + kUser,
                            QStringLiteral("SENHA=") + kPassword,
                            QStringLiteral("URLBASE=") + base,
                            QStringLiteral("URLBASE2=") + base,
                            QStringLiteral("URLBASE3=") + base,
                            QStringLiteral("URLBASE4=") + base,
                            QStringLiteral("chkCodEmpDolvex=NAO"),
                            QStringLiteral("chkPostVenda=SIM"),
                            QStringLiteral("chkGetPromo=SIM"),
                            QStringLiteral("DataUltFecha=") + kDayBefore.addDays(-1).toString("dd/MM/yyyy")};
    writeFile(folder + QStringLiteral("/configAPI.ini"), ansi::fromUnicode(lines.join("\r\n") + "\r\n"));
}

size_t discard(char*, size_t size, size_t count, void*) {
    return size * count;
}

// Makes fake-korvanta answer the next request to `endpoint` with a 500.
void queueFailure(const QString& base, const char* endpoint) {
    const QByteArray url =
        (base + QStringLiteral("_control/queue?endpoint=%1&statuses=500").arg(endpoint)).toUtf8();
    CURL* easy = curl_easy_init();
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, "");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, discard);
    const CURLcode rc = curl_easy_perform(easy);
    curl_easy_cleanup(easy);
    if (rc != CURLE_OK) throw AppError(QStringLiteral("control request failed: ") + curl_easy_strerror(rc));
}

// What the event loop does between two ticks: waiting events, deferred deletions.
void betweenTicks() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void print(const Figures& f) {
    std::printf("%-7s RSS %6.1f MiB  heap %6.1f MiB  fds %3d  attachments %d  database %5d pages  "
                "tickets written %5d  (%.1f s)\n",
                qPrintable(f.when), f.rssKb / 1024.0, f.heapKb / 1024.0, f.fds, f.attachments,
                f.databasePages, f.sold, f.seconds);
    std::fflush(stdout);
}

const char* verdict(bool met) {
    return met ? "PASS" : "FAIL";
}

int run(int days, int tick) {
    QTemporaryDir folder;
    if (!folder.isValid()) throw AppError(QStringLiteral("no temporary folder"));
    platform::setBaseDir(folder.path());
    ManualClock clock(kStart);
    setAppClock(&clock);

    const QString database = folder.filePath(QStringLiteral("erp.fdb"));
    bench::SoakStore store(database);
    for (int i = 0; i < 3; ++i)
        store.sell(1, kDayBefore, QTime(18, 0, 0).addSecs(60 * i));

    writeFile(folder.filePath("promotions.json"), promotions());
    const QByteArray resend = QStringLiteral(R"([{"fecha":"%1","codigoCaja":"1"}])")
                                  .arg(kDayBefore.toString("yyyy-MM-dd"))
                                  .toUtf8();
    writeFile(folder.filePath("resend.json"), resend);
    const QString journal = folder.filePath(QStringLiteral("journal.jsonl"));
    QProcess service;
    const QString base = bench::startFakeService(service, journal, kUser, kPassword,
                                                 {"--promotions", folder.filePath("promotions.json"),
                                                  "--resend-movements", folder.filePath("resend.json"),
                                                  "--resend-closings", folder.filePath("resend.json")});
    if (base.isEmpty()) throw AppError(QStringLiteral("fake-korvanta did not start"));
    writeSettings(folder.path(), database, base);

    // The log rows and the errors that the headless mode prints go to files.
    std::FILE* log = std::fopen(qPrintable(folder.filePath("log.txt")), "w+");
    std::FILE* errors = std::fopen(qPrintable(folder.filePath("errors.txt")), "w+");
    if (!log || !errors) throw AppError(QStringLiteral("cannot open the log files"));
    std::vector<Figures> figures;
    int salesRuns = 0;
    int errorCount = 0;
    QElapsedTimer elapsed;
    {
        headless::THeadlessRunner runner(log, errors);
        // The core lives on the engine thread; the rows reach this one as the window gets them.
        TEngine& engine = runner.engine();
        QObject::connect(&engine, &TEngine::rowAdded, &engine, [&] {
            const TMemTable& t = engine.log().table();
            if (t.RecordCount() > 0 && t.cell(t.RecordCount() - 1, 0).toString() == u"Abriu post-vendas")
                ++salesRuns;
        });
        engine.call([&](TPrincipal& core) {
            core.FormCreate();
            core.commands().setDay(clock.now().date());
        });

        const QString ping = folder.filePath(QStringLiteral("test-ping.txt"));
        quint32 random = 12345;
        qint64 n = 0; // ticks so far
        const auto oneTick = [&](bool selling) {
            ++n;
            clock.advance(tick);
            const qint64 second = n * tick; // since the start
            if (selling && second % 300 == 0) {
                random = random * 1103515245u + 12345u;
                const int tickets = 1 + int(random >> 16) % 3;
                for (int t = 0; t < tickets; ++t)
                    store.sell(1 + int(random >> (18 + 2 * t)) % 3, clock.now().date(), clock.now().time());
            }
            if (selling && second % 3600 == 1800) store.cancel(4, clock.now().date(), clock.now().time());
            if (second % 3600 == 0) {
                writeFile(ping, "?");
                queueFailure(base, "movimientos");
            }
            if (second % 21600 == 0) {
                for (const char* endpoint : {"cierresDiarios", "promociones", "solicitudesMovimientos"})
                    queueFailure(base, endpoint);
                // As a reload request (SIGHUP) does: the failover takes effect.
                engine.call([](TPrincipal& core) { core.FormActivate(); });
            }
            engine.call([](TPrincipal& core) { core.scheduler().timerGeralTimer(); });
            betweenTicks();
            engine.call([](TPrincipal& core) { core.scheduler().timerPingTimer(); });
            betweenTicks();
        };
        // The figures at the first tick end with the core's session closed.
        const auto measureWhenClosed = [&](const QString& when) {
            const auto connected = [&engine] {
                bool open = false;
                engine.call([&open](TPrincipal& core) { open = core.erp().dtbDolvex().Connected(); });
                return open;
            };
            while (connected())
                oneTick(true);
            figures.push_back({when, bench::residentKilobytes(), bench::heapInUseBytes() / 1024,
                               store.count(QStringLiteral("select mon$pages from mon$database")),
                               bench::openDescriptors(), store.otherAttachments(), store.sold(),
                               double(elapsed.nsecsElapsed()) / 1e9});
            print(figures.back());
        };

        elapsed.start();
        oneTick(true);
        measureWhenClosed(QStringLiteral("start"));
        const qint64 ticksPerDay = 86400 / tick;
        for (int day = 1; day <= days; ++day) {
            while (n < day * ticksPerDay)
                oneTick(true);
            measureWhenClosed(QStringLiteral("day %1").arg(day));
        }
        // The point of sale stops; the ticks go on until nothing is pending (at most an hour).
        const QString pendingSql =
            QStringLiteral("select (select count(*) from cupom_fiscal where sinc_korvanta = 1) + "
                           "(select count(*) from KORVANTA_DELETE where sinc_korv = 1) from rdb$database");
        for (int k = 0; k < 3600 / tick && store.count(pendingSql) > 0; ++k)
            oneTick(false);
        errorCount = runner.errorCount();
    }
    const double seconds = double(elapsed.nsecsElapsed()) / 1e9;
    const int flagged2 =
        store.count(QStringLiteral("select count(*) from cupom_fiscal where sinc_korvanta = 2"));
    const int total = store.count(QStringLiteral("select count(*) from cupom_fiscal"));
    const int cancelled =
        store.count(QStringLiteral("select count(*) from KORVANTA_DELETE where sinc_korv <> 99"));
    const int cancelled2 =
        store.count(QStringLiteral("select count(*) from KORVANTA_DELETE where sinc_korv = 2"));
    service.terminate();
    service.waitForFinished(10'000);
    const bench::JournalCounts sent = bench::readJournal(journal);
    setAppClock(nullptr);

    const Figures& start = figures.front();
    const Figures& day1 = figures.size() > 1 ? figures[1] : figures.front();
    const Figures& end = figures.back();
    const qint64 growthKb = end.rssKb - day1.rssKb;
    const bool memoryOk = growthKb * 1024 < 5'000'000;
    const bool fdsOk = end.fds <= day1.fds;
    const bool attachmentsOk = end.attachments <= day1.attachments;
    const bool workOk = total == store.sold() && flagged2 == total && sent.ticketsAccepted == total &&
                        cancelled == store.cancelled() && cancelled2 == cancelled &&
                        sent.cancellationsAccepted == cancelled && errorCount == 0;

    std::printf(
        "\n%d days of %d-second ticks in %.1f s: %d sales runs, %d promotions fetches, %d resend readings\n",
        days, tick, seconds, salesRuns, sent.promotionGets, sent.resendGets);
    std::printf(
        "tickets written %d, flagged 2: %d, accepted by the service: %d; cancelled tickets written %d, "
        "flagged 2: %d, accepted: %d\n",
        total, flagged2, sent.ticketsAccepted, cancelled, cancelled2, sent.cancellationsAccepted);
    std::printf("movement posts %d (%d accepted), closing posts %d (%d accepted), 500s injected %d, "
                "errors shown %d\n",
                sent.movements, sent.movementsAccepted, sent.closings, sent.closingsAccepted,
                sent.queuedFailures, errorCount);
    std::printf("memory: %.1f MiB at start, %.1f MiB after day 1, %.1f MiB after day %d: growth %+.2f MB "
                "(goal < 5 MB) %s\n",
                start.rssKb / 1024.0, day1.rssKb / 1024.0, end.rssKb / 1024.0, days, growthKb * 1024 / 1e6,
                verdict(memoryOk));
    std::printf("file descriptors: %d, %d, %d (goal: no growth after day 1) %s\n", start.fds, day1.fds,
                end.fds, verdict(fdsOk));
    std::printf("attachments besides the point of sale's: %d, %d, %d (goal: no growth after day 1) %s\n",
                start.attachments, day1.attachments, end.attachments, verdict(attachmentsOk));
    std::printf("work: every ticket and cancellation written flagged 2 and accepted, no error shown %s\n",
                verdict(workOk));
    std::printf(
        "RESULT soak days=%d tick=%d seconds=%.1f rss_start_kb=%lld rss_day1_kb=%lld rss_end_kb=%lld "
        "rss_growth_kb=%lld heap_day1_kb=%lld heap_end_kb=%lld pages_day1=%d pages_end=%d fd_start=%d "
        "fd_day1=%d fd_end=%d att_start=%d att_day1=%d att_end=%d sales_runs=%d promotion_gets=%d "
        "resend_gets=%d tickets=%d flagged2=%d tickets_accepted=%d cancellations=%d cancelled2=%d "
        "cancellations_accepted=%d posts=%d accepted=%d closings=%d closings_accepted=%d injected=%d "
        "errors=%d memory_ok=%d fd_ok=%d att_ok=%d work_ok=%d\n",
        days, tick, seconds, static_cast<long long>(start.rssKb), static_cast<long long>(day1.rssKb),
        static_cast<long long>(end.rssKb), static_cast<long long>(growthKb),
        static_cast<long long>(day1.heapKb), static_cast<long long>(end.heapKb), day1.databasePages,
        end.databasePages, start.fds, day1.fds, end.fds, start.attachments, day1.attachments, end.attachments,
        salesRuns, sent.promotionGets, sent.resendGets, total, flagged2, sent.ticketsAccepted, cancelled,
        cancelled2, sent.cancellationsAccepted, sent.movements, sent.movementsAccepted, sent.closings,
        sent.closingsAccepted, sent.queuedFailures, errorCount, memoryOk, fdsOk, attachmentsOk, workOk);
    if (errorCount > 0) {
        std::rewind(errors);
        char line[512];
        std::printf("first errors shown:\n");
        for (int i = 0; i < 5 && std::fgets(line, sizeof line, errors); ++i)
            std::printf("  %s", line);
    }
    std::fclose(log);
    std::fclose(errors);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int days = 7;
    int tick = 30;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        bool ok = i + 1 < args.size();
        const int value = ok ? args[i + 1].toInt(&ok) : 0;
        if (ok && value > 0 && args[i] == u"--days") {
            days = value;
        } else if (ok && value > 0 && args[i] == u"--tick" && 86400 % value == 0 && 300 % value == 0) {
            tick = value;
        } else {
            std::fprintf(stderr, "usage: soak [--days N] [--tick S]   (S divides 300)\n");
            return 2;
        }
        ++i;
    }
    try {
        return run(days, tick);
    } catch (const AppError& e) {
        std::fprintf(stderr, "soak: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
}
