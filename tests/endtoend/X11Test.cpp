// The tray program on a real X display (Xvfb, with a tray host), after a tick
// that worked through its ERP database over the server, as shops reach it:
// SIGTERM, what a logout or `kill` sends, ends it cleanly within seconds. The
// Firebird client installs handlers of its own at its first attachment, and
// the window system's threads (which the offscreen platform does not start)
// once let those take the signal, so this runs on xcb.

#include "EndToEnd.h"
#include "VirtualDisplay.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/ErpRows.h"
#include "support/fixtures/FakeService.h"
#include "support/fixtures/FbServer.h"
#include "support/fixtures/TestPaths.h"

#include <QDate>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

using namespace endtoend;
using xdisplay::waitFor;

namespace {

TEST(X11Test, SigtermEndsTheTrayProgramAfterItUsedItsDatabase) {
    const bool ci = fbserver::underCi();
    if (const QString tool = VirtualDisplay::missingTool(); !tool.isEmpty()) {
        if (ci) FAIL() << tool.toStdString() << " is missing (scripts/bootstrap installs it)";
        GTEST_SKIP() << tool.toStdString() << " is not installed";
    }
    if (!fbserver::ready()) {
        if (ci) FAIL() << "the Firebird server of scripts/fbserver is not ready";
        GTEST_SKIP() << "no Firebird server (scripts/fbserver start)";
    }
    const VirtualDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";

    const TempFolder folder;
    const FakeService service;
    ErpDatabase db;
    const QString database = db.overTcp();
    erprows::goods(db);
    erprows::tickets(db, 1, 3, 1, QDate::currentDate());
    // Days to close too, so that the first tick uses every statement of the upload.
    writeSettings(folder.path(), shopSettings(database, service.baseUrl(), QDate::currentDate().addDays(-3)));

    QProcess tray;
    tray.setProcessEnvironment(display.environment());
    tray.start(testpaths::binary(QStringLiteral("src/korvanta-sync")), {QStringLiteral("--dir"), folder.path()});
    ASSERT_TRUE(tray.waitForStarted(30'000));

    // The first tick comes 10 seconds after the start.
    const auto closed = [&] {
        for (const JournalRecord& r : service.journal())
            if (r.path.endsWith(QStringLiteral("/cierresDiarios"))) return true;
        return false;
    };
    const auto flagged = [&] {
        return db.integer(QStringLiteral("select count(*) from cupom_fiscal where sinc_korvanta = 2")) == 3;
    };
    ASSERT_TRUE(waitFor([&] { return movementPosts(service.journal()).size() == 3 && closed() && flagged(); }, 60'000))
        << "posts " << movementPosts(service.journal()).size() << ", closing posted " << closed() << "; "
        << tray.readAllStandardError().toStdString();
    // The tick's end: the session is closed again.
    ASSERT_TRUE(waitFor(
        [&] {
            return db.integer(QStringLiteral("select count(*) from mon$attachments "
                                             "where mon$remote_process containing 'korvanta-sync'")) == 0;
        },
        30'000));
    ASSERT_EQ(tray.state(), QProcess::Running);

    ::kill(static_cast<pid_t>(tray.processId()), SIGTERM);
    ASSERT_TRUE(tray.waitForFinished(5'000)) << "SIGTERM did not end the tray program within 5 s";
    EXPECT_EQ(tray.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tray.exitCode(), 0) << tray.readAllStandardError().toStdString();
}

} // namespace
