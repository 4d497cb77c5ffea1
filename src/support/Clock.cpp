#include "support/Clock.h"

namespace {
class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
SystemClock g_system;
Clock* g_clock = &g_system;
} // namespace

Clock& appClock() { return *g_clock; }

void setAppClock(Clock* c) { g_clock = c ? c : &g_system; }

qint64 clockSeconds() {
    const QDateTime t = appClock().now();
    const QTime tod = t.time();
    return t.date().toJulianDay() * 86400 + tod.hour() * 3600 + tod.minute() * 60 + tod.second();
}
