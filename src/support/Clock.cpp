#include "support/Clock.h"

namespace {
class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
SystemClock g_system;
Clock* g_clock = &g_system;
} // namespace

ScaledClock::ScaledClock(double factor)
    : m_start(QDateTime::currentDateTime()), m_startMs(QDateTime::currentMSecsSinceEpoch()),
      m_factor(factor > 0 ? factor : 1.0) {}

QDateTime ScaledClock::now() const {
    const qint64 elapsed = QDateTime::currentMSecsSinceEpoch() - m_startMs;
    return m_start.addMSecs(static_cast<qint64>(static_cast<double>(elapsed) * m_factor));
}

Clock& appClock() { return *g_clock; }

void setAppClock(Clock* c) { g_clock = c ? c : &g_system; }

qint64 clockSeconds() {
    const QDateTime t = appClock().now();
    const QTime tod = t.time();
    return t.date().toJulianDay() * 86400 + tod.hour() * 3600 + tod.minute() * 60 + tod.second();
}
