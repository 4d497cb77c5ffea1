// The tray program on a real X display (Xvfb, with a tray host), after a tick
// that worked through its ERP database over the server, as shops reach it:
// SIGTERM, what a logout or `kill` sends, ends it cleanly within seconds. The
// Firebird client installs handlers of its own at its first attachment, and
// the window system's threads (which the offscreen platform does not start)
// once let those take the signal, so this runs on xcb.

#include "EndToEnd.h"
#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/ErpRows.h"
#include "support/fixtures/FakeService.h"
#include "support/fixtures/FbServer.h"
#include "support/fixtures/TestPaths.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

using namespace endtoend;

namespace {

bool waitFor(const std::function<bool()>& done, int limitMs) {
    for (int waited = 0; waited < limitMs; waited += 50) {
        if (done()) return true;
        QThread::msleep(50);
    }
    return done();
}

// A display of its own for the test, and a tray host on it.
class VirtualDisplay {
  public:
    VirtualDisplay() {
        for (int n = 71; n < 99 && m_name.isEmpty(); ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
                QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            m_server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"),
                                                    QStringLiteral("0"), QStringLiteral("1024x768x24"),
                                                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (!m_server.waitForStarted(10'000)) return;
            if (waitFor([n] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)); }, 10'000))
                m_name = QStringLiteral(":%1").arg(n);
            else
                m_server.kill();
        }
        if (m_name.isEmpty()) return;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_name);
        m_trayHost.setProcessEnvironment(env);
        m_trayHost.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("top")});
        m_trayHost.waitForStarted(10'000);
    }
    ~VirtualDisplay() {
        for (QProcess* p : {&m_trayHost, &m_server}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(5'000)) {
                p->kill();
                p->waitForFinished(5'000);
            }
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    [[nodiscard]] const QString& name() const { return m_name; }

  private:
    QProcess m_server;
    QProcess m_trayHost;
    QString m_name;
};

TEST(X11Test, SigtermEndsTheTrayProgramAfterItUsedItsDatabase) {
    const bool ci = fbserver::underCi();
    for (const char* tool : {"Xvfb", "trayer"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            if (ci) FAIL() << tool << " is missing (scripts/bootstrap installs it)";
            GTEST_SKIP() << tool << " is not installed";
        }
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
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display.name());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    tray.setProcessEnvironment(env);
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
