#pragma once
// LatencyProbe: measures how long the GUI thread keeps the window waiting, for
// the latency benchmark and its test. It exists only when the environment
// variable KORVANTA_GUI_PROBE names a file.
//
// A timer on the GUI thread fires every PeriodMs milliseconds; each firing
// appends one line "<monotonic_ms> <gap_ms>" to the file: the steady clock's
// reading in milliseconds (the system's monotonic clock, which every process of
// the machine reads alike, so a harness outside can lay its own moments beside
// it), and by how much the firing came later than PeriodMs after the previous
// one. A responsive window gives gaps of a millisecond or two; a gap of a second
// is a second in which the window neither painted nor took a click. Lines that
// begin with '#' are comments.
//
// Every line is written at once (unbuffered), so a process that is killed keeps
// what it measured until then. When the program ends (aboutToQuit, or the
// probe's destruction), the time since the last firing goes in as a last line,
// followed by "# end".

#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>

class LatencyProbe : public QObject {
  public:
    static constexpr int PeriodMs = 20;
    static constexpr const char* EnvironmentVariable = "KORVANTA_GUI_PROBE";

    // The probe the environment asks for, already running; none without the
    // variable, or when its file cannot be made (said on standard error).
    [[nodiscard]] static std::unique_ptr<LatencyProbe> fromEnvironment();

    // Starts measuring into `path` (made anew); isOpen() tells whether it could.
    explicit LatencyProbe(const QString& path);
    ~LatencyProbe() override;
    LatencyProbe(const LatencyProbe&) = delete;
    LatencyProbe& operator=(const LatencyProbe&) = delete;

    [[nodiscard]] bool isOpen() const { return m_file.isOpen(); }
    [[nodiscard]] QString errorString() const { return m_file.errorString(); }

  private:
    using Clock = std::chrono::steady_clock;

    void fired();
    // Writes the time since the last firing and the end mark, once.
    void finish();
    void writeSample(Clock::time_point at, double gapMs);

    QFile m_file;
    QTimer m_timer;
    std::optional<Clock::time_point> m_last; // the previous firing; none before the first
};
