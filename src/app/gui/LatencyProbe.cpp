#include "app/gui/LatencyProbe.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>

namespace {

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

std::unique_ptr<LatencyProbe> LatencyProbe::fromEnvironment() {
    const QString path = qEnvironmentVariable(EnvironmentVariable);
    if (path.isEmpty()) return nullptr;
    auto probe = std::make_unique<LatencyProbe>(path);
    if (probe->isOpen()) return probe;
    const QByteArray text = QStringLiteral("korvanta-sync: the GUI latency probe cannot write %1: %2\n")
                                .arg(path, probe->errorString())
                                .toLocal8Bit();
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    return nullptr;
}

LatencyProbe::LatencyProbe(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) return;
    m_file.write(QByteArrayLiteral("# korvanta-sync GUI latency probe: monotonic_ms gap_ms (period ") +
                 QByteArray::number(PeriodMs) + QByteArrayLiteral(" ms)\n"));
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(PeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &LatencyProbe::fired);
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &LatencyProbe::finish);
    m_timer.start();
}

LatencyProbe::~LatencyProbe() {
    finish();
}

void LatencyProbe::fired() {
    const Clock::time_point now = Clock::now();
    // The first firing only sets the mark: what ran before the event loop
    // (the window's making) is not a wait of a running window.
    if (m_last) writeSample(now, std::max(0.0, milliseconds(now - *m_last) - PeriodMs));
    m_last = now;
}

void LatencyProbe::finish() {
    if (!m_file.isOpen()) return;
    m_timer.stop();
    const Clock::time_point now = Clock::now();
    if (m_last) writeSample(now, std::max(0.0, milliseconds(now - *m_last) - PeriodMs));
    m_file.write(QByteArrayLiteral("# end\n"));
    m_file.close();
}

void LatencyProbe::writeSample(Clock::time_point at, double gapMs) {
    m_file.write(QByteArray::number(milliseconds(at.time_since_epoch()), 'f', 3) + ' ' +
                 QByteArray::number(gapMs, 'f', 3) + '\n');
}
