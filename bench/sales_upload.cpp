// sales_upload: a sales upload run (PostVendas, "Pendentes-1") of 400 tickets
// with 3 items and a payment-forms row each, against fake-korvanta on loopback,
// and in the same process its two floors (SalesFloors.h), each on a twin
// database:
// - the whole-job floor: the same tickets read, their documents built, posted
//   and flagged the plainest way; "ratio" is run/whole-job (goal: at most 1.5);
// - the bare floor: the documents the run posted, posted again by bare libcurl,
//   each followed by a prepared flag update; "ratio_bare" is run/bare.
// Everything runs on the embedded engine, then again through the Firebird
// server over TCP ("localhost:/path") when one answers (scripts/fbserver start).
// Prints tickets per second, the ratios and the process's peak memory, and
// checks that the whole-job floor's documents are the run's, byte for byte.
//
//   sales_upload [--rounds R]        (default 3; the median round is reported)
//
// "RESULT sales_upload key=value ..." and "RESULT sales_upload_tcp ..." hold the
// median figures for scripts/bench.

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
#include "erp/FbDatabase.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"
#include "erp/SqlScript.h"
#include "BenchSupport.h"
#include "PendingTickets.h"
#include "SalesFloors.h"
#include "ServerDatabase.h"
#include "support/Clock.h"
#include "support/Platform.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <firebird/Interface.h>
#include <functional>
#include <vector>

namespace {

constexpr int kTickets = 400;
constexpr int kWarmUp = 20;
const QDate kDay(2020, 6, 10);
const QString kUser = QStringLiteral("loja");
const QString kPassword = QStringLiteral("s3nha");

// kTickets tickets of register 1 and kWarmUp of register 9, all flag 1, each with
// three items and a payment-forms row of two lines.
void createDatabase(const QString& path) {
    TFbDatabase db;
    TFbTransaction tr;
    bench::createSchemaDatabase(db, tr, path, false);
    bench::fillPendingTickets(db, tr, {{1, kTickets}, {9, kWarmUp}}, kDay);
    db.Close();
}

// The bodies of the movements the journal recorded for one register's path.
std::vector<QByteArray> postedDocuments(const QString& journalPath, const QString& path) {
    std::vector<QByteArray> docs;
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly)) return docs;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.value("path").toString() == path) docs.push_back(o.value("body").toString().toUtf8());
    }
    return docs;
}

int pendingTickets(TdtmApi& dtm) {
    dtm.qrySelect1().setStatement({{QStringLiteral("select count(*) n from cupom_fiscal where sinc_korvanta = 1")}, {}});
    dtm.qrySelect1().Open();
    const int n = dtm.qrySelect1().FieldByName(QStringLiteral("N")).AsInteger();
    dtm.qrySelect1().Close();
    return n;
}

// Turns a database file into the name to attach it by.
using Namer = std::function<QString(const QString&)>;

struct Round {
    double run = 0, whole = 0, bare = 0;
    bool sameDocuments = false;
};

struct Service {
    QString base;    // "http://127.0.0.1:<port>/"
    QString journal; // its journal file
};

// One round: the run and both floors on three fresh twin databases, under the
// company `company` (so the service never takes a round's documents for
// another's). Throws AppError when the run left tickets unflagged.
Round round(const QString& folder, const Service& service, const QString& company, const Namer& name,
            qint64& peakAfterRun) {
    const QString runDb = folder + QStringLiteral("/run%1.fdb").arg(company);
    const QString bareDb = folder + QStringLiteral("/bare%1.fdb").arg(company);
    const QString wholeDb = folder + QStringLiteral("/whole%1.fdb").arg(company);
    for (const QString& db : {runDb, bareDb, wholeDb}) createDatabase(db);
    const auto path = [&](const char* register_) {
        return api::pathMovimientos(company, QStringLiteral("1"), QString::fromLatin1(register_));
    };
    Round r;

    TPrincipal core;
    core.config().LoadConfig();
    core.frame().setBaseUrl(service.base);
    Loja loja = core.store();
    loja.idEmpresa = company;
    loja.idLocal = QStringLiteral("1");
    loja.pastaLog = folder + QDir::separator();
    loja.postaVendas = true;
    core.setStore(loja);
    core.frame().setCredentials(kUser, kPassword);
    core.erp().setPathBancoDolvex(name(runDb));
    core.scheduler().gates().abreAmbos();
    core.scheduler().closingCountdown().setProximo(clockSeconds() + 1'000'000'000);
    core.log().table().Open();
    // Warm-up: connections, statements and caches, on register 9.
    core.commands().setDay(kDay);
    core.sales().PostVendas(QStringLiteral("Data"), QStringLiteral("9"), core.commands().day());
    QElapsedTimer timer;
    timer.start();
    core.sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core.commands().day());
    r.run = double(timer.nsecsElapsed()) / 1e9;
    peakAfterRun = std::max(peakAfterRun, platform::peakMemoryBytes());
    core.erp().dtmConectDolvex(true);
    const int left = pendingTickets(core.erp());
    core.erp().dtmConectDolvex(false);
    const std::vector<QByteArray> docs = postedDocuments(service.journal, "/" + path("1"));
    if (left != 0 || int(docs.size()) != kTickets)
        throw AppError(QStringLiteral("the run left %1 tickets unflagged and posted %2 documents")
                           .arg(left)
                           .arg(docs.size()));

    // The bare floor posts the run's documents to register 2's path.
    bench::BarePoster barePoster(service.base + path("2"), kUser, kPassword);
    r.bare = bench::bareFloor(name(bareDb), barePoster, docs, 1, kDay);

    // The whole-job floor, warmed up on register 9 (posted to register 8's path),
    // then register 1's tickets posted to register 3's path.
    bench::BarePoster warmPoster(service.base + path("8"), kUser, kPassword);
    (void)bench::wholeJob(name(wholeDb), warmPoster, 9);
    bench::BarePoster wholePoster(service.base + path("3"), kUser, kPassword);
    timer.restart();
    const int posted = bench::wholeJob(name(wholeDb), wholePoster, 1);
    r.whole = double(timer.nsecsElapsed()) / 1e9;
    if (posted != kTickets)
        throw AppError(QStringLiteral("the whole-job floor posted %1 documents").arg(posted));
    r.sameDocuments = postedDocuments(service.journal, "/" + path("3")) == docs;
    return r;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report(const char* label, const std::vector<Round>& rounds, qint64 peakAfterRun) {
    std::vector<double> run, whole, bare;
    bool same = true;
    for (const Round& r : rounds) {
        run.push_back(r.run);
        whole.push_back(r.whole);
        bare.push_back(r.bare);
        same = same && r.sameDocuments;
    }
    const double ru = median(run), wh = median(whole), ba = median(bare);
    std::printf("%s, median of %d rounds: run %.0f tickets/s, whole-job floor %.0f tickets/s (ratio %.3f, goal "
                "<= 1.5), bare floor %.0f tickets/s (ratio %.3f)\n",
                label, int(rounds.size()), kTickets / ru, kTickets / wh, ru / wh, kTickets / ba, ru / ba);
    std::printf("%s: the whole-job floor's documents %s the run's, byte for byte\n", label,
                same ? "are" : "are NOT");
    std::printf("RESULT %s tickets=%d rounds=%d run_s=%.3f whole_s=%.3f bare_s=%.3f run_tps=%.0f whole_tps=%.0f "
                "bare_tps=%.0f ratio=%.3f ratio_bare=%.3f same_documents=%d peak_mib=%.1f\n",
                label, kTickets, int(rounds.size()), ru, wh, ba, kTickets / ru, kTickets / wh, kTickets / ba,
                ru / wh, ru / ba, same ? 1 : 0, peakAfterRun / 1048576.0);
}

std::vector<Round> rounds(int count, const char* label, const QString& folder, const Service& service, int firstCompany,
                          const Namer& name, qint64& peakAfterRun) {
    std::vector<Round> all;
    for (int r = 0; r < count; ++r) {
        all.push_back(round(folder, service, QString::number(firstCompany + r), name, peakAfterRun));
        const Round& x = all.back();
        std::printf("%s round %d: run %.3f s (%.0f tickets/s), whole-job floor %.3f s (ratio %.3f), bare floor "
                    "%.3f s (ratio %.3f)\n",
                    label, r + 1, x.run, kTickets / x.run, x.whole, x.run / x.whole, x.bare, x.run / x.bare);
    }
    return all;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int count = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2)
        if (args[i] == "--rounds") count = std::max(1, args[i + 1].toInt());

    QTemporaryDir folder;
    platform::setBaseDir(folder.path());
    Service service;
    service.journal = folder.filePath("journal.jsonl");
    QProcess process;
    service.base = bench::startFakeService(process, service.journal, kUser, kPassword);
    if (service.base.isEmpty()) {
        std::fprintf(stderr, "fake-korvanta did not start\n");
        return 1;
    }
    try {
        qint64 peak = 0;
        const auto embedded =
            rounds(count, "sales_upload", folder.path(), service, 100, [](const QString& file) { return file; }, peak);
        report("sales_upload", embedded, peak);
        const QString probe = folder.filePath("probe.fdb");
        createDatabase(probe);
        if (bench::serverName("sales_upload", probe)) {
            qint64 peakTcp = 0;
            const auto tcp = rounds(count, "sales_upload_tcp", folder.path(), service, 200, [](const QString& file) {
                bench::openToServer(file);
                return QStringLiteral("localhost:") + file;
            }, peakTcp);
            report("sales_upload_tcp", tcp, peakTcp);
        }
    } catch (const AppError& e) {
        std::fprintf(stderr, "sales_upload: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    } catch (const Firebird::FbException& e) {
        std::fprintf(stderr, "sales_upload: %s\n", bench::fbMessage(e).toLocal8Bit().constData());
        return 1;
    }
    process.terminate();
    process.waitForFinished(10'000);
    return 0;
}
