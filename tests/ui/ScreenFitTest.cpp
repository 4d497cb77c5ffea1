// The main window on screens of several sizes: the designed size where it fits,
// shrunk to the free area and centred where it does not, never below its minimum.

#include "app/gui/ScreenFit.h"

#include "UiTestSupport.h"
#include "app/gui/SupportStrip.h"

namespace {

TEST(ScreenFit, DesignedSizeShrunkToTheFreeAreaAndCentred) {
    const QSize designed(1013, 725);
    const QSize minimum(640, 400);
    struct Case {
        const char* name;
        QRect available;
        QMargins frame;
        QRect expected;
    };
    const Case cases[] = {
        {"large screen", QRect(0, 0, 1920, 1080), {}, QRect(453, 177, 1013, 725)},
        {"large screen with a panel and a frame", QRect(0, 40, 1920, 1040), QMargins(4, 30, 4, 4),
         QRect(453, 210, 1013, 725)},
        {"800 x 600", QRect(0, 0, 800, 600), {}, QRect(0, 0, 800, 600)},
        {"800 x 600 with a frame", QRect(0, 0, 800, 600), QMargins(2, 24, 2, 2), QRect(2, 24, 796, 574)},
        {"1024 x 768 with a panel below", QRect(0, 0, 1024, 740), QMargins(1, 20, 1, 1),
         QRect(5, 20, 1013, 719)},
        {"second screen on the right", QRect(1920, 0, 800, 600), {}, QRect(1920, 0, 800, 600)},
        {"smaller than the minimum", QRect(100, 50, 600, 350), {}, QRect(100, 50, 640, 400)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fitOnScreen(designed, minimum, c.available, c.frame), c.expected) << c.name;
}

using MainWindowFitTest = uitest::WindowTest;

TEST_F(MainWindowFitTest, OnALargeScreenTheClientAreaHasItsDesignedSizeAboveTheStrip) {
    start();
    EXPECT_EQ(window->size(), window->designedSize());
    window->restauraClick();
    uitest::settle();
    EXPECT_EQ(window->clientArea()->size(), QSize(1013, 675));
    const QRect strip = window->faixaSuporte->geometry();
    EXPECT_EQ(strip.top(), window->clientArea()->geometry().bottom() + 1);
    EXPECT_EQ(strip.width(), window->width());
    EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
    EXPECT_EQ(window->frameGeometry().center(), window->screen()->availableGeometry().center());
}

TEST_F(MainWindowFitTest, OnAnEightHundredBySixHundredScreenTheWholeWindowIsVisible) {
    QScreen* small = uitest::smallScreen();
    ASSERT_NE(small, nullptr);
    ASSERT_EQ(small->availableGeometry().size(), QSize(800, 600));
    start();
    window->setScreen(small);
    window->restauraClick();
    uitest::settle();
    EXPECT_EQ(window->screen(), small);
    EXPECT_TRUE(small->availableGeometry().contains(window->frameGeometry()))
        << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
        << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    // The log and the strip keep room to be read.
    const QRect area = window->clientArea()->geometry();
    EXPECT_TRUE(area.contains(window->GridList->geometry().translated(area.topLeft())));
    EXPECT_GE(window->GridList->height(), 300);
    EXPECT_GE(window->GridList->width(), 500);
    EXPECT_TRUE(window->faixaSuporte->isVisible());
    EXPECT_EQ(window->faixaSuporte->geometry().bottom(), window->centralWidget()->height() - 1);
    EXPECT_GE(window->faixaSuporte->edtPastaLog->width(), 100);
}

TEST_F(MainWindowFitTest, TheMinimumKeepsTheCommandsTheLogAndTheStripUsable) {
    start();
    EXPECT_EQ(window->minimumSize(), QSize(640, 400));
    window->restauraClick();
    window->resize(640, 400);
    uitest::settle();
    EXPECT_EQ(window->size(), QSize(640, 400));
    EXPECT_GE(window->GridList->width(), 400);
    EXPECT_GE(window->GridList->height(), 200);
    const QWidget* last = window->btnEnviaFecha;
    EXPECT_LE(last->mapTo(window->clientArea(), QPoint(0, last->height())).y(),
              window->clientArea()->height());
    EXPECT_GE(window->faixaSuporte->height(), window->faixaSuporte->sizeHint().height());
}

} // namespace
