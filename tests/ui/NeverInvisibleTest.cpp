// Where no system tray comes up, the window stands in for the icon: after the
// icon's last attempt it shows itself minimised, says why on standard error,
// and from then on closing it minimises it.

#include "UiTestSupport.h"
#include "app/gui/TrayIcon.h"

#include <QEventLoop>
#include <QSystemTrayIcon>
#include <QTimer>
#include <string>

namespace {

using NeverInvisibleTest = uitest::WindowTest;

TEST_F(NeverInvisibleTest, WithoutASystemTrayTheWindowStaysOnTheTaskbar) {
    start();
    if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "this session has a system tray";
    TTrayIcon& tray = window->tray();
    ASSERT_FALSE(window->isVisible());

    int reports = 0;
    QEventLoop waiting;
    QObject::connect(&tray, &TTrayIcon::unavailable, &waiting, [&] {
        ++reports;
        waiting.quit();
    });
    QTimer guard; // only against a hang: the attempts come a millisecond apart
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &waiting, &QEventLoop::quit);
    guard.start(30000);
    testing::internal::CaptureStderr();
    tray.setRetryInterval(1); // the attempt already waiting too
    waiting.exec();
    uitest::settle();
    const std::string err = testing::internal::GetCapturedStderr();

    ASSERT_EQ(reports, 1);
    EXPECT_EQ(tray.attemptsLeft(), 0);
    EXPECT_FALSE(tray.isShown());
    EXPECT_TRUE(window->withoutTray());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_NE(err.find("korvanta-sync: no system tray is available; the window stays on the taskbar\n"),
              std::string::npos)
        << err;

    window->restauraClick();
    uitest::settle();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_FALSE(window->close()); // refused: minimised, not hidden
    uitest::settle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    sync();
    EXPECT_TRUE(engine->state().timersRunning());
}

} // namespace
