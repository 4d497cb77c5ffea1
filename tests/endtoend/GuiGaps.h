#pragma once
// What the tray program's latency probe (src/app/gui/LatencyProbe.h) wrote, read
// back, and the figures of a window of time: the longest gap and the 99th
// percentile. Moments are the steady clock's milliseconds, which the probe and
// this process read alike (nowMs()).
//
// A line "<at> <gap>" stands for a wait of the window from at - gap to at. Within
// a window [from, to] each wait counts for the part of it inside the window, so a
// wait that began before or ended after counts cut to it. When the program wrote
// nothing after some moment before `to` (it was killed while it waited), the time
// from its last line to `to` counts as one more wait.
//
// Qt and the probe's header alone: bench/gui_latency includes it too.

#include "app/gui/LatencyProbe.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace guigaps {

// The probe's period, in milliseconds.
inline constexpr double kPeriodMs = LatencyProbe::PeriodMs;

struct Sample {
    double atMs = 0;
    double gapMs = 0;
};

struct Figures {
    double longestMs = 0;
    double p99Ms = 0;
    int samples = 0;
};

// The steady clock now, in milliseconds: the probe's clock.
[[nodiscard]] inline double nowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The probe's lines in `path`, in order; `ended` tells whether its end mark was
// written (the program ended through its event loop).
[[nodiscard]] inline std::vector<Sample> read(const QString& path, bool* ended = nullptr) {
    std::vector<Sample> samples;
    if (ended) *ended = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return samples;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith('#')) {
            if (ended && line.trimmed() == "# end") *ended = true;
            continue;
        }
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() != 2) continue;
        bool okAt = false, okGap = false;
        const Sample s{fields[0].toDouble(&okAt), fields[1].toDouble(&okGap)};
        if (okAt && okGap) samples.push_back(s);
    }
    return samples;
}

// The figures of [fromMs, toMs] (see above).
[[nodiscard]] inline Figures within(const std::vector<Sample>& samples, double fromMs, double toMs) {
    std::vector<double> gaps;
    double lastAt = fromMs;
    for (const Sample& s : samples) {
        const double begin = std::max(s.atMs - s.gapMs, fromMs);
        const double end = std::min(s.atMs, toMs);
        if (s.atMs >= fromMs && begin <= toMs) gaps.push_back(std::max(0.0, end - begin));
        lastAt = std::max(lastAt, std::min(s.atMs, toMs));
    }
    if (toMs - lastAt > kPeriodMs) gaps.push_back(toMs - lastAt - kPeriodMs);
    Figures f;
    f.samples = int(gaps.size());
    if (gaps.empty()) return f;
    std::sort(gaps.begin(), gaps.end());
    f.longestMs = gaps.back();
    const auto rank = std::size_t(std::ceil(0.99 * double(gaps.size())));
    f.p99Ms = gaps[std::max<std::size_t>(rank, 1) - 1];
    return f;
}

} // namespace guigaps
