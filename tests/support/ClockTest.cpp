#include "support/Clock.h"

#include <gtest/gtest.h>

TEST(Clock, ClockSecondsKeepCountingAcrossMidnight) {
    ManualClock c(QDateTime(QDate(2023, 3, 5), QTime(23, 59, 50)));
    setAppClock(&c);
    const qint64 before = clockSeconds();
    c.advance(20);
    const qint64 after = clockSeconds();
    setAppClock(nullptr);
    EXPECT_EQ(after - before, 20);
}
