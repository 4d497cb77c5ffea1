// What the executable leaves on disk is for the user it runs as: the log
// folders it makes are 0700, the files it makes 0600 (the error files hold
// customers' document numbers), and configAPI.ini, which it rewrites
// to store the last closed day, keeps the mode it had. The run starts with a
// file-creation mask of 0, so only the program's own choice gives these modes.

#include "EndToEnd.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/ErpRows.h"
#include "support/fixtures/FakeService.h"
#include "support/fixtures/FileModes.h"
#include "support/fixtures/TestPaths.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace endtoend;

TEST(FileModes, WhatTheProgramWritesIsForItsOwner) {
    const QDate today = QDate::currentDate();
    ErpDatabase db;
    db.exec(QStringLiteral("ALTER DATABASE DROP LINGER")); // the executable's own engine opens it
    erprows::goods(db);
    erprows::tickets(db, 1, 2, 1, today);
    FakeService service;
    service.queue(QStringLiteral("movimientos"), {400}); // an error file for the first ticket

    const TempFolder folder;
    // "01/01/2020": the first accepted sale stores today as the last closed day.
    writeSettings(folder.path(), {{QStringLiteral("PATH DOLVEX"), db.path()},
                                  {QStringLiteral("IDEMRPESA"), QStringLiteral("1")},
                                  {QStringLiteral("IDLOCAL"), QStringLiteral("2")},
                                  {QStringLiteral("URLBASE"), service.baseUrl()},
                                  {QStringLiteral("chkGetPromo"), QStringLiteral("SIM")},
                                  {QStringLiteral("DataUltFecha"), QStringLiteral("01/01/2020")}});
    const QString settings = folder.file(QStringLiteral("configAPI.ini"));
    filemodes::set(settings, 0640);

    std::unique_ptr<SyncProcess> run;
    {
        const filemodes::NoUmask noMask; // inherited by the executable
        run = std::make_unique<SyncProcess>(folder.path(),
                                            QStringList{QStringLiteral("--once"), QStringLiteral("tick")});
    }
    ASSERT_TRUE(run->waitForExit());
    ASSERT_EQ(run->exitCode(), 0) << run->err().toStdString();

    QFile stored(settings);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        stored.readAll().contains("DataUltFecha=" + today.toString(QStringLiteral("dd/MM/yyyy")).toLatin1()))
        << run->out().toStdString();
    EXPECT_EQ(filemodes::of(settings), "0640");

    const QString log = folder.file(QStringLiteral("Korvanta/log"));
    const QStringList months = QDir(log).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(months.size(), 1);
    const QString month = log + u'/' + months.first();
    for (const QString& made : {folder.file(QStringLiteral("Korvanta")), log, month}) {
        SCOPED_TRACE(made.toStdString());
        EXPECT_EQ(filemodes::of(made), "0700");
    }
    // Every file of the month's folder, whichever part of the program wrote it.
    const QStringList written = QDir(month).entryList(QDir::Files);
    for (const char* expected : {"Vda1_1.txt", "ult_get_promo.txt"})
        EXPECT_TRUE(written.contains(QLatin1String(expected)))
            << expected << " is not among " << written.join(u' ').toStdString() << "\n"
            << run->out().toStdString();
    for (const QString& name : written) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(filemodes::of(month + u'/' + name), "0600");
    }
}
