#pragma once
// Every "now" of the program comes from here, so tests can move time instead of
// sleeping. The system clock is used unless a test installs another one.

#include <QDateTime>

class Clock {
public:
    virtual ~Clock() = default;
    // The local date and time of the workstation.
    [[nodiscard]] virtual QDateTime now() const = 0;
};

// A clock that stands still until it is set or advanced.
class ManualClock : public Clock {
public:
    explicit ManualClock(QDateTime start) : m_now(std::move(start)) {}
    [[nodiscard]] QDateTime now() const override { return m_now; }
    void set(const QDateTime& t) { m_now = t; }
    void advance(qint64 seconds) { m_now = m_now.addSecs(seconds); }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

// The system clock running `factor` times faster from the moment it is made:
// a test or a demo can live through days of scheduling in minutes.
class ScaledClock : public Clock {
public:
    explicit ScaledClock(double factor);
    [[nodiscard]] QDateTime now() const override;

private:
    QDateTime m_start;
    qint64 m_startMs;
    double m_factor;
};

// The clock in use (the system clock by default).
[[nodiscard]] Clock& appClock();
// Installs a clock; nullptr goes back to the system clock. The caller keeps ownership.
void setAppClock(Clock* c);

// Seconds of local wall-clock time counted without restarting at midnight:
// the day number times 86400 plus the seconds of the day. The scheduler's
// countdowns compare against it, so tasks keep coming due across midnight,
// while a clock set back makes them wait and one set forward makes them due.
[[nodiscard]] qint64 clockSeconds();
