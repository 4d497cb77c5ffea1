// The GUI latency probe: it exists only when KORVANTA_GUI_PROBE names a file it
// can write; it writes each wait of the event loop, stamped on the clock the
// harness reads (guigaps::nowMs), and its end mark when it goes; and the
// harness's figures of a window of time count the part of each wait inside it.

#include "app/gui/LatencyProbe.h"

#include "UiTestSupport.h"
#include "endtoend/GuiGaps.h"
#include "support/fixtures/TestPaths.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace {

// Runs the event loop for about `ms` milliseconds.
void spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

class ProbeEnvironment {
  public:
    explicit ProbeEnvironment(const QString& value) {
        qputenv(LatencyProbe::EnvironmentVariable, value.toLocal8Bit());
    }
    ~ProbeEnvironment() { qunsetenv(LatencyProbe::EnvironmentVariable); }
    ProbeEnvironment(const ProbeEnvironment&) = delete;
    ProbeEnvironment& operator=(const ProbeEnvironment&) = delete;
};

TEST(LatencyProbeTest, ExistsOnlyWhenTheVariableNamesAFileItCanWrite) {
    qunsetenv(LatencyProbe::EnvironmentVariable);
    EXPECT_EQ(LatencyProbe::fromEnvironment(), nullptr);
    const TempFolder folder;
    {
        const ProbeEnvironment env(folder.file(QStringLiteral("missing/folder/probe.txt")));
        EXPECT_EQ(LatencyProbe::fromEnvironment(), nullptr);
    }
    const ProbeEnvironment env(folder.file(QStringLiteral("probe.txt")));
    EXPECT_NE(LatencyProbe::fromEnvironment(), nullptr);
}

TEST(LatencyProbeTest, WritesEachWaitOfTheEventLoopOnTheHarnessClock) {
    const TempFolder folder;
    const QString path = folder.file(QStringLiteral("probe.txt"));
    const double before = guigaps::nowMs();
    {
        const ProbeEnvironment env(path);
        const auto probe = LatencyProbe::fromEnvironment();
        ASSERT_NE(probe, nullptr);
        spin(200);
        QThread::msleep(300); // the loop blocked, as a task on the GUI thread blocks it
        spin(200);
    }
    const double after = guigaps::nowMs();

    bool ended = false;
    const std::vector<guigaps::Sample> samples = guigaps::read(path, &ended);
    EXPECT_TRUE(ended) << "no end mark";
    ASSERT_GE(samples.size(), 3u);
    double previous = before;
    double longest = 0;
    for (const guigaps::Sample& s : samples) {
        EXPECT_GE(s.atMs, previous) << "a moment out of order or off the harness's clock";
        EXPECT_GE(s.gapMs, 0);
        previous = s.atMs;
        longest = std::max(longest, s.gapMs);
    }
    EXPECT_LE(previous, after) << "a moment off the harness's clock";
    // 300 ms without the loop: at least 300 ms between two firings, 280 beyond the period.
    EXPECT_GE(longest, 300 - LatencyProbe::PeriodMs);
}

TEST(LatencyProbeTest, AWindowCountsThePartOfEachWaitInsideIt) {
    struct Case {
        const char* name;
        std::vector<guigaps::Sample> samples;
        double from, to;
        double longest;
        int count;
    };
    const Case cases[] = {
        {"waits inside", {{1000, 5}, {1100, 300}, {1200, 1}}, 700, 1210, 300, 3},
        {"samples outside are left out", {{500, 400}, {1100, 2}, {2000, 100}}, 1000, 1500, 2, 1},
        {"a wait begun before the window counts from its start", {{1100, 400}}, 1000, 1100, 100, 1},
        {"a wait ended after the window counts to its end", {{1000, 1}, {3000, 1900}}, 900, 2000, 900, 2},
        {"no line after the last before the end: the silence counts", {{1000, 1}}, 900, 5000, 3980, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const guigaps::Figures f = guigaps::within(c.samples, c.from, c.to);
        EXPECT_DOUBLE_EQ(f.longestMs, c.longest);
        EXPECT_EQ(f.samples, c.count);
    }
}

} // namespace
