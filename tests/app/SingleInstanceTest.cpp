// One instance per working folder: the lock, who holds it, and the request to
// show the running one's window over the folder's local socket.

#include "app/SingleInstance.h"
#include "support/fixtures/CoreApplication.h"
#include "support/fixtures/TestPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Asks from another thread, as a second process would, while this thread's
// event loop lets the holder answer.
TSingleInstance::Answer askFromAnotherStart(const QString& folder) {
    std::atomic<int> answer{-1};
    std::thread second([&] {
        TSingleInstance other(folder);
        answer = int(other.askToShow(3000));
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (answer >= 0) loop.quit();
    });
    poll.start(10);
    loop.exec();
    second.join();
    return TSingleInstance::Answer(answer.load());
}

TEST(SingleInstance, TheSecondFindsTheFirstAndAsksItToShowItsWindow) {
    ensureCoreApplication();
    const TempFolder folder;
    TSingleInstance first(folder.path());
    ASSERT_EQ(first.acquire(), TSingleInstance::Outcome::Acquired);
    EXPECT_TRUE(QFile::exists(TSingleInstance::lockPath(folder.path())));

    TSingleInstance second(folder.path());
    EXPECT_EQ(second.acquire(), TSingleInstance::Outcome::HeldByOther);
    EXPECT_EQ(second.holderPid(), QCoreApplication::applicationPid());
    EXPECT_TRUE(second.problem().contains("already running")) << second.problem().toStdString();
    EXPECT_TRUE(second.problem().contains(QString::number(QCoreApplication::applicationPid())));

    // Nobody listens yet: no answer, after the wait.
    EXPECT_EQ(second.askToShow(300), TSingleInstance::Answer::NoAnswer);

    int shown = 0;
    QObject::connect(&first, &TSingleInstance::showRequested, [&] { ++shown; });
    ASSERT_TRUE(first.listen(TSingleInstance::Role::Window));
    EXPECT_EQ(askFromAnotherStart(folder.path()), TSingleInstance::Answer::Shown);
    EXPECT_EQ(shown, 1);

    ASSERT_TRUE(first.listen(TSingleInstance::Role::NoWindow));
    EXPECT_EQ(askFromAnotherStart(folder.path()), TSingleInstance::Answer::NoWindow);
    EXPECT_EQ(shown, 1);
}

TEST(SingleInstance, ReleasedWithItsOwnerAndNamedAfterTheFolder) {
    ensureCoreApplication();
    const TempFolder folder;
    const TempFolder other;
    {
        TSingleInstance first(folder.path());
        ASSERT_EQ(first.acquire(), TSingleInstance::Outcome::Acquired);
        TSingleInstance elsewhere(other.path());
        EXPECT_EQ(elsewhere.acquire(), TSingleInstance::Outcome::Acquired) << "another folder, another lock";
    }
    TSingleInstance next(folder.path());
    EXPECT_EQ(next.acquire(), TSingleInstance::Outcome::Acquired);
    EXPECT_NE(TSingleInstance::serverName(folder.path()), TSingleInstance::serverName(other.path()));
    EXPECT_EQ(TSingleInstance::serverName(folder.path()), TSingleInstance::serverName(folder.path() + "/."));
}

TEST(SingleInstance, ALockThatCannotBeWrittenIsAFailureThatSaysWhere) {
    ensureCoreApplication();
    const TempFolder folder;
    // Something that is no lock file stands in its place.
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("korvanta-sync.lock/x")));
    TSingleInstance instance(folder.path());
    EXPECT_EQ(instance.acquire(), TSingleInstance::Outcome::Failed);
    EXPECT_TRUE(instance.problem().contains("korvanta-sync.lock")) << instance.problem().toStdString();
    EXPECT_FALSE(instance.listen(TSingleInstance::Role::Window));
}

} // namespace
