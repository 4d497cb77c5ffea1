#pragma once
// The tray program on a virtual display with its latency probe on
// (KORVANTA_GUI_PROBE), ended by SIGTERM as a session's end does; it notes on
// the probe's clock when it started, and how long it took to end.
//
//   ProbedTray tray(program, display, folder, probeFile);
//   ... wait for the work; note guigaps::nowMs() ...
//   tray.terminate();
//   tray.waitForEnd(10'000);
//   const auto figures = guigaps::within(guigaps::read(probeFile), from, to);
//
// Qt alone: bench/gui_latency includes it too.

#include "GuiGaps.h"
#include "VirtualDisplay.h"

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <csignal>

// Whether the file holds `bytes` (false when it cannot be read).
[[nodiscard]] inline bool fileHolds(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains(bytes);
}

class ProbedTray {
  public:
    ProbedTray(const QString& program, const VirtualDisplay& display, const QString& dir,
               const QString& probeFile)
        : m_dir(dir) {
        QProcessEnvironment env = display.environment();
        env.insert(QStringLiteral("KORVANTA_GUI_PROBE"), probeFile);
        m_process.setProcessEnvironment(env);
        m_startedAtMs = guigaps::nowMs();
        m_process.start(program, {QStringLiteral("--dir"), dir});
        m_process.waitForStarted(30'000);
    }
    // A program still running is killed.
    ~ProbedTray() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.kill();
        m_process.waitForFinished(10'000);
    }
    ProbedTray(const ProbedTray&) = delete;
    ProbedTray& operator=(const ProbedTray&) = delete;

    [[nodiscard]] bool running() const { return m_process.state() == QProcess::Running; }
    // When it was started, on the probe's clock.
    [[nodiscard]] double startedAtMs() const { return m_startedAtMs; }

    // Whether a file of its activity journal (<dir>/Korvanta/log/) holds `row`, a
    // text in ASCII (the journal is in Windows-1252).
    [[nodiscard]] bool logged(const QByteArray& row) const {
        QDirIterator files(m_dir + QStringLiteral("/Korvanta/log"), {QStringLiteral("Atividade_*.txt")},
                           QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            if (fileHolds(files.next(), row)) return true;
        return false;
    }

    // Sends SIGTERM and notes when.
    void terminate() {
        m_terminatedAtMs = guigaps::nowMs();
        if (m_process.processId() > 0) ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
    }
    // Waits up to `limitMs` for the program to end; whether it did.
    bool waitForEnd(int limitMs) {
        const bool ended = m_process.state() == QProcess::NotRunning || m_process.waitForFinished(limitMs);
        if (ended && m_endedAtMs < 0) m_endedAtMs = guigaps::nowMs();
        return ended;
    }
    // Ends it at once (SIGKILL) and waits for that.
    void kill() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.kill();
        m_process.waitForFinished(10'000);
    }

    // From SIGTERM to the end seen by waitForEnd(); -1 while that has not been seen.
    [[nodiscard]] double endingMs() const { return m_endedAtMs < 0 ? -1 : m_endedAtMs - m_terminatedAtMs; }
    [[nodiscard]] bool crashed() const { return m_process.exitStatus() == QProcess::CrashExit; }
    [[nodiscard]] int exitCode() const { return m_process.exitCode(); }
    [[nodiscard]] QString standardError() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

  private:
    QString m_dir;
    QProcess m_process;
    double m_startedAtMs = 0;
    double m_terminatedAtMs = 0;
    double m_endedAtMs = -1;
};
