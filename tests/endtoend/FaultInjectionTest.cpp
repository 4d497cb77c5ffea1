// The executable under faults: the service killed in the middle of an upload,
// failover after 500 and 408, the Firebird server stopped in the middle of a run,
// the synchroniser itself killed, and a log folder that takes no files. After
// each, no sale may be lost and no flag may be wrong.

#include "EndToEnd.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/ErpRows.h"
#include "support/fixtures/FakeService.h"
#include "support/fixtures/FbServer.h"
#include "support/fixtures/FullDisk.h"
#include "support/fixtures/TestPaths.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace endtoend;

namespace {

QDate today() {
    return QDate::currentDate();
}

Settings settingsFor(const QString& database, const QString& url) {
    return shopSettings(database, url);
}

int ticketsFlagged(const ErpDatabase& db, int flag) {
    return db.integer(QStringLiteral("select count(*) from cupom_fiscal where sinc_korvanta = %1").arg(flag));
}

std::string text(const QString& s) {
    return s.toStdString();
}

// Skips a test that needs the server of scripts/fbserver when it is missing
// (fails instead under CI).
#define REQUIRE_SERVER(condition, why)                                                                       \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            if (fbserver::underCi()) FAIL() << why;                                                          \
            GTEST_SKIP() << why;                                                                             \
        }                                                                                                    \
    } while (0)

// An ERP with goods and `count` pending tickets of register 1, dated today.
// Unless it goes through the server, the file is released at every detach of
// this process (no linger), so the executable's own embedded engine can open it.
std::unique_ptr<ErpDatabase> salesDatabase(int count, QString* serverName = nullptr) {
    auto db = std::make_unique<ErpDatabase>();
    if (serverName)
        *serverName = db->overTcp();
    else
        db->exec(QStringLiteral("ALTER DATABASE DROP LINGER"));
    erprows::goods(*db);
    erprows::tickets(*db, 1, count, 1, today());
    return db;
}

class FaultTest : public ::testing::Test {
  protected:
    static constexpr int kTickets = 30;
    static constexpr int kAnswered = 10;
    // Longer than any test runs; the service's stop cuts it short.
    static constexpr int kHeldMs = 600'000;

    // 30 pending tickets and a sales upload of the executable that had ten
    // posts answered and waits for the reply to its eleventh: the service took
    // that ticket and holds its reply back. However fast or slow the machine,
    // an interruption from here on finds that ticket taken but not flagged and
    // the rest not yet posted.
    void startUpload() {
        db = salesDatabase(kTickets);
        service = std::make_unique<FakeService>();
        service->setDelivery(QStringLiteral("movimientos"), {.holdMs = kHeldMs, .holdAfter = kAnswered});
        writeSettings(folder.path(), settingsFor(db->path(), service->baseUrl()));
        upload = std::make_unique<SyncProcess>(folder.path(), sendSales);
        ASSERT_TRUE(upload->waitUntil([this] {
            return movementPosts(service->journal()).size() > kAnswered;
        })) << text(upload->err());
        const QList<MovementPost> posts = movementPosts(service->journal());
        ASSERT_EQ(posts.size(), kAnswered + 1);
        ASSERT_EQ(posts.last().status, 200);
        held = posts.last().numero;
    }

    // Whether the ERP row of the ticket has this flag.
    bool flagged(const QString& numero, int flag) const {
        return db->integer(QStringLiteral("select sinc_korvanta from cupom_fiscal where nro_cupom = %1")
                               .arg(numero)) == flag;
    }

    TempFolder folder;
    const QStringList sendSales{QStringLiteral("--once"), QStringLiteral("send-sales"),
                                QStringLiteral("pendentes-1")};
    std::unique_ptr<ErpDatabase> db;
    std::unique_ptr<FakeService> service;
    std::unique_ptr<SyncProcess> upload;
    QString held; // the ticket whose reply the service holds back
};

TEST_F(FaultTest, ServiceKilledInTheMiddleOfAnUploadThenRestarted) {
    ASSERT_NO_FATAL_FAILURE(startUpload());
    service->kill();
    ASSERT_TRUE(upload->waitForExit());
    EXPECT_FALSE(upload->crashed());
    EXPECT_EQ(upload->exitCode(), 0) << text(upload->err());
    EXPECT_TRUE(upload->out().contains(QStringLiteral("\tErro gravação: 1 - ") + held + u' '))
        << text(upload->out());
    expectLedger(*db, service->journal(), Ledger::Partial);
    // The held ticket got no reply and keeps its flag, like every one after it.
    EXPECT_TRUE(flagged(held, 1));
    EXPECT_EQ(ticketsFlagged(*db, 1), kTickets - kAnswered);

    service->restart();
    SyncProcess again(folder.path(), sendSales);
    ASSERT_TRUE(again.waitForExit());
    EXPECT_EQ(again.exitCode(), 0) << text(again.err());
    expectLedger(*db, service->journal(), Ledger::Complete);
}

TEST_F(FaultTest, SynchroniserKilledInTheMiddleOfARunThenStartedAgain) {
    ASSERT_NO_FATAL_FAILURE(startUpload());
    upload->sendSignal(SIGKILL);
    ASSERT_TRUE(upload->waitForExit());
    EXPECT_TRUE(upload->crashed());
    const ErpDatabase& erp = *db;
    expectLedger(erp, service->journal(), Ledger::Partial);
    const QList<MovementPost> firstRun = movementPosts(service->journal());
    QSet<QString> unflagged;
    for (const QStringList& row :
         erp.rows(QStringLiteral("select nro_cupom from cupom_fiscal where sinc_korvanta <> 2")))
        unflagged << row.at(0);
    // The service took the held ticket; the kill came before its flag.
    ASSERT_TRUE(unflagged.contains(held));
    EXPECT_EQ(unflagged.size(), kTickets - kAnswered);

    service->setDelivery(QStringLiteral("movimientos"), {});
    SyncProcess again(folder.path(), sendSales);
    ASSERT_TRUE(again.waitForExit());
    EXPECT_EQ(again.exitCode(), 0) << text(again.err());
    expectLedger(erp, service->journal(), Ledger::Complete);
    // A ticket the service took before the kill, whose flag the kill lost, was
    // posted again and answered 208 (already accepted), so it is flagged now.
    const QList<MovementPost> all = movementPosts(service->journal());
    const QList<MovementPost> secondRun = all.mid(firstRun.size());
    for (const MovementPost& p : firstRun) {
        if (p.status != 200 || !unflagged.contains(p.numero)) continue;
        const bool answered208 =
            std::any_of(secondRun.cbegin(), secondRun.cend(),
                        [&](const MovementPost& q) { return q.numero == p.numero && q.status == 208; });
        EXPECT_TRUE(answered208) << "ticket " << text(p.numero);
    }
}

TEST_F(FaultTest, FailoverFollows500And408AtTheNextApplicationOfTheSettings) {
    REQUIRE_SERVER(fbserver::ready(), "no Firebird server from scripts/fbserver");
    QString database;
    const auto owner = salesDatabase(3, &database);
    const ErpDatabase& db = *owner;
    FakeService a, b, c;
    a.queue(QStringLiteral("movimientos"), {500});
    Settings settings = settingsFor(database, a.baseUrl());
    settings << qMakePair(QStringLiteral("URLBASE2"), b.baseUrl())
             << qMakePair(QStringLiteral("URLBASE3"), c.baseUrl());
    writeSettings(folder.path(), settings);

    SyncProcess run(folder.path(), {QStringLiteral("--headless")}, 100);
    const auto flagged = [&](int count) { return [&db, count] { return ticketsFlagged(db, 2) == count; }; };
    const auto applied = [&](const FakeService& s) {
        return [&run, &s] {
            return run.err().contains(QStringLiteral("settings applied, base URL ") + s.baseUrl());
        };
    };

    // A answers 500 to the first post; until the settings are applied again the
    // program stays with A, which takes the ticket at a later run.
    ASSERT_TRUE(run.waitUntil(flagged(3))) << text(run.out()) << text(run.err());
    const QList<MovementPost> onA = movementPosts(a.journal());
    ASSERT_GE(onA.size(), 4);
    EXPECT_EQ(onA.first().status, 500);
    EXPECT_EQ(onA.last().numero, onA.first().numero);
    EXPECT_EQ(onA.last().status, 200);

    // Applied: the index moved from 1 to 2, so B; B answers 408 once.
    run.sendSignal(SIGHUP);
    ASSERT_TRUE(run.waitUntil(applied(b))) << text(run.err());
    b.queue(QStringLiteral("movimientos"), {408});
    erprows::tickets(db, 4, 2, 1, today());
    ASSERT_TRUE(run.waitUntil(flagged(5))) << text(run.out()) << text(run.err());
    const QList<MovementPost> onB = movementPosts(b.journal());
    ASSERT_GE(onB.size(), 3);
    EXPECT_EQ(onB.first().status, 408);

    // Applied again: 408 moved the index from 2 to 3, so C.
    run.sendSignal(SIGHUP);
    ASSERT_TRUE(run.waitUntil(applied(c))) << text(run.err());
    erprows::tickets(db, 6, 1, 1, today());
    ASSERT_TRUE(run.waitUntil(flagged(6))) << text(run.out()) << text(run.err());
    const QList<MovementPost> onC = movementPosts(c.journal());
    ASSERT_EQ(onC.size(), 1);
    EXPECT_EQ(onC.first().numero, QStringLiteral("6"));
    EXPECT_EQ(movementPosts(a.journal()).size(), onA.size());
    EXPECT_EQ(movementPosts(b.journal()).size(), onB.size());

    run.sendSignal(SIGTERM);
    ASSERT_TRUE(run.waitForExit());
    EXPECT_FALSE(run.crashed());
    EXPECT_EQ(run.exitCode(), 0);
    expectLedger(db, a.journal() + b.journal() + c.journal(), Ledger::Complete);
}

// Starts the server again if a test stopped it and did not get to start it.
struct ServerRestorer {
    bool stopped = false;
    ~ServerRestorer() {
        if (stopped) fbserver::run(QStringLiteral("start"));
    }
};

TEST_F(FaultTest, FirebirdServerStoppedInTheMiddleOfARunThenRestarted) {
    REQUIRE_SERVER(fbserver::ready() && fbserver::startedByScript(),
                   "needs a Firebird server started by scripts/fbserver (which can stop it)");
    QString database;
    const auto owner = salesDatabase(60, &database);
    const ErpDatabase& db = *owner;
    FakeService service({.latencyMs = 30});
    writeSettings(folder.path(), settingsFor(database, service.baseUrl()));

    SyncProcess run(folder.path(), {QStringLiteral("--headless")}, 100);
    ASSERT_TRUE(run.waitUntil([&] { return movementPosts(service.journal()).size() >= 10; }))
        << text(run.err());
    ServerRestorer restorer;
    restorer.stopped = true;
    ASSERT_TRUE(fbserver::run(QStringLiteral("stop")));
    // The error is shown, and shown again at the next ticks: the scheduler goes on.
    ASSERT_TRUE(run.waitUntil([&] { return run.err().count(u'\n') >= 2; })) << text(run.out());
    ASSERT_TRUE(fbserver::run(QStringLiteral("start")));
    restorer.stopped = false;

    ASSERT_TRUE(run.waitUntil([&] { return ticketsFlagged(db, 2) == 60; }))
        << text(run.out()) << text(run.err());
    run.sendSignal(SIGTERM);
    ASSERT_TRUE(run.waitForExit());
    EXPECT_FALSE(run.crashed());
    EXPECT_EQ(run.exitCode(), 0);
    expectLedger(db, service.journal(), Ledger::Complete);
}

TEST_F(FaultTest, LogFolderThatTakesNoFilesKeepsPostsAndFlagsAndReportsTheFailure) {
    const QString monthFolder = QStringLiteral("Korvanta/log/Ano%1_%2")
                                    .arg(today().year())
                                    .arg(today().month(), 2, 10, QLatin1Char('0'));
    struct Case {
        const char* name;
        // Prepares the program folder; returns an empty text or why the case cannot run here.
        std::function<QString(const QString& dir, std::unique_ptr<FullDisk>& disk)> prepare;
    };
    const Case cases[] = {
        {"a file stands where the log folder should be",
         [](const QString& dir, std::unique_ptr<FullDisk>&) {
             QDir(dir).mkpath(QStringLiteral("Korvanta"));
             QFile blocker(dir + QStringLiteral("/Korvanta/log"));
             blocker.open(QIODevice::WriteOnly);
             return QString();
         }},
        {"the disk holding the log folder is full",
         [&monthFolder](const QString& dir, std::unique_ptr<FullDisk>& disk) {
             disk = std::make_unique<FullDisk>(dir + QStringLiteral("/Korvanta"));
             if (!disk->mounted()) return disk->whyNot();
             QDir(dir).mkpath(monthFolder);
             disk->fill();
             return QString();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFolder programFolder;
        std::unique_ptr<FullDisk> disk;
        const QString skip = c.prepare(programFolder.path(), disk);
        if (!skip.isEmpty()) {
            std::printf("[ SKIPPED  ] %s: %s\n", c.name, qPrintable(skip));
            continue;
        }
        const auto owner = salesDatabase(5);
        const ErpDatabase& db = *owner;
        FakeService service;
        service.queue(QStringLiteral("movimientos"), {400});
        Settings settings = settingsFor(db.path(), service.baseUrl());
        settings[4].second = QStringLiteral("SIM"); // promotions on: their copy goes into the log folder too
        writeSettings(programFolder.path(), settings);

        SyncProcess run(programFolder.path(), {QStringLiteral("--once"), QStringLiteral("tick")});
        ASSERT_TRUE(run.waitForExit());
        EXPECT_FALSE(run.crashed());
        // The activity journal cannot be written either: shown once, and, as no
        // task failed, the exit status is still 0.
        EXPECT_EQ(run.exitCode(), 0) << text(run.err());
        EXPECT_EQ(run.err().count(QStringLiteral("Unable to write the activity journal ")), 1) << text(run.err());
        const QString out = run.out();
        EXPECT_TRUE(out.contains(QStringLiteral("\tErro arquivo: "))) << text(out);
        EXPECT_TRUE(out.contains(QStringLiteral("Unable to write ult_get_promo.txt"))) << text(out);

        // The refused ticket is flagged 3, the others 2, as if the folder were fine.
        const QList<MovementPost> posts = movementPosts(service.journal());
        ASSERT_EQ(posts.size(), 5);
        EXPECT_EQ(posts.first().status, 400);
        EXPECT_EQ(db.integer(QStringLiteral("select sinc_korvanta from cupom_fiscal where nro_cupom = %1")
                                 .arg(posts.first().numero)),
                  3);
        EXPECT_EQ(ticketsFlagged(db, 2), 4);
        expectLedger(db, service.journal(), Ledger::Partial);
    }
}

} // namespace
