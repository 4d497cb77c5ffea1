// One synchroniser per working folder, tried with the executable: a second
// headless or one-command start ends at once and touches nothing, a lock left
// by a killed process is taken over, a second tray start shows the running
// one's window, and a lock that cannot be taken is a clear failure.

#include "EndToEnd.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/ErpRows.h"
#include "support/fixtures/FakeService.h"
#include "support/fixtures/TestPaths.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>

using namespace endtoend;

namespace {

const QString kLock = QStringLiteral("korvanta-sync.lock");

// The process id written in a folder's lock file (its first line).
QString lockHolder(const QString& folder) {
    QFile file(QDir(folder).filePath(kLock));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readLine()).trimmed();
}

class InstanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db = std::make_unique<ErpDatabase>();
        // Released at every detach, so the executables' engines can open it in turn.
        db->exec(QStringLiteral("ALTER DATABASE DROP LINGER"));
        erprows::goods(*db);
        erprows::tickets(*db, 1, 5, 1, QDate::currentDate());
        writeSettings(folder.path(), shopSettings(db->path(), service.baseUrl()));
    }

    TempFolder folder;
    FakeService service;
    std::unique_ptr<ErpDatabase> db;
};

TEST_F(InstanceTest, ASecondHeadlessOrOnceStartEndsAtOnceAndALockLeftByAKilledProcessIsTakenOver) {
    SyncProcess first(folder.path(), {QStringLiteral("--headless")}, 100);
    ASSERT_TRUE(first.waitUntil([&] { return movementPosts(service.journal()).size() == 5; })) << first.err().toStdString();
    const QString holder = lockHolder(folder.path());
    ASSERT_FALSE(holder.isEmpty());
    const QByteArray settings = [&] {
        QFile f(QDir(folder.path()).filePath(QStringLiteral("configAPI.ini")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    for (const QStringList& args : {QStringList{QStringLiteral("--once"), QStringLiteral("tick")},
                                    QStringList{QStringLiteral("--headless")}}) {
        SyncProcess second(folder.path(), args, 100);
        ASSERT_TRUE(second.waitForExit(30'000)) << args.join(' ').toStdString();
        EXPECT_EQ(second.exitCode(), 1) << args.join(' ').toStdString();
        EXPECT_TRUE(second.err().contains(QStringLiteral("already running"))) << second.err().toStdString();
        EXPECT_TRUE(second.err().contains(QStringLiteral("process ") + holder)) << second.err().toStdString();
        EXPECT_TRUE(second.out().isEmpty()) << "no task ran: " << second.out().toStdString();
    }
    EXPECT_EQ(movementPosts(service.journal()).size(), 5) << "nothing was posted twice";
    QFile f(QDir(folder.path()).filePath(QStringLiteral("configAPI.ini")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), settings);

    // Killed, the first leaves its lock file behind; the next start takes it over.
    first.sendSignal(SIGKILL);
    ASSERT_TRUE(first.waitForExit());
    ASSERT_TRUE(QFile::exists(QDir(folder.path()).filePath(kLock)));
    SyncProcess next(folder.path(), {QStringLiteral("--once"), QStringLiteral("tick")}, 100);
    ASSERT_TRUE(next.waitForExit());
    EXPECT_EQ(next.exitCode(), 0) << next.err().toStdString();
    EXPECT_TRUE(next.out().contains(QStringLiteral("Abriu post-vendas"))) << next.out().toStdString();
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath(kLock))) << "released at the end";
}

TEST_F(InstanceTest, ASecondTrayStartShowsTheRunningOnesWindowAndEnds) {
    SyncProcess tray(folder.path(), {});
    ASSERT_TRUE(tray.waitUntil([&] { return !lockHolder(folder.path()).isEmpty(); }));

    SyncProcess second(folder.path(), {});
    ASSERT_TRUE(second.waitForExit(30'000));
    EXPECT_EQ(second.exitCode(), 0) << second.err().toStdString();
    EXPECT_TRUE(tray.waitUntil([&] { return tray.err().contains(QStringLiteral("window shown at the request")); }))
        << tray.err().toStdString();

    // While the tray program runs, a one-command start is refused: it has no window to show.
    SyncProcess once(folder.path(), {QStringLiteral("--once"), QStringLiteral("tick")});
    ASSERT_TRUE(once.waitForExit(30'000));
    EXPECT_EQ(once.exitCode(), 1);

    tray.sendSignal(SIGTERM);
    ASSERT_TRUE(tray.waitForExit(30'000));
    EXPECT_EQ(tray.exitCode(), 0) << tray.err().toStdString();
}

TEST_F(InstanceTest, ALockThatCannotBeTakenIsReportedAndNothingRuns) {
    ASSERT_TRUE(QDir(folder.path()).mkpath(kLock + QStringLiteral("/in-the-way")));
    for (const QStringList& args : {QStringList{QStringLiteral("--once"), QStringLiteral("tick")}, QStringList{}}) {
        SyncProcess start(folder.path(), args);
        ASSERT_TRUE(start.waitForExit(30'000));
        EXPECT_EQ(start.exitCode(), 1) << args.join(' ').toStdString();
        EXPECT_TRUE(start.err().contains(kLock)) << start.err().toStdString();
        EXPECT_TRUE(start.out().isEmpty());
    }
    EXPECT_TRUE(service.journal().isEmpty());
}

} // namespace
