#pragma once
// An X display of its own (Xvfb) with a notification-area host on it (trayer),
// for running the tray program on a real window system, and the environment
// that puts a program on it (DISPLAY, QT_QPA_PLATFORM=xcb).
//
//   const VirtualDisplay display;
//   ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
//   tray.setProcessEnvironment(display.environment());
//
// Qt alone: bench/gui_latency includes it too, so nothing of GoogleTest or the
// test fixtures may come in here.

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QThread>
#include <functional>

namespace xdisplay {

// Asks `done` every 50 ms until it holds (true) or `limitMs` passed (false).
inline bool waitFor(const std::function<bool()>& done, int limitMs) {
    for (int waited = 0; waited < limitMs; waited += 50) {
        if (done()) return true;
        QThread::msleep(50);
    }
    return done();
}

} // namespace xdisplay

class VirtualDisplay {
  public:
    VirtualDisplay() {
        for (int n = 71; n < 99 && m_name.isEmpty(); ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
                QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            m_server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"),
                                                    QStringLiteral("0"), QStringLiteral("1024x768x24"),
                                                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (!m_server.waitForStarted(10'000)) return;
            if (xdisplay::waitFor([n] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)); },
                                  10'000))
                m_name = QStringLiteral(":%1").arg(n);
            else
                m_server.kill();
        }
        if (m_name.isEmpty()) return;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_name);
        m_trayHost.setProcessEnvironment(env);
        m_trayHost.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("top")});
        m_trayHost.waitForStarted(10'000);
    }
    ~VirtualDisplay() {
        for (QProcess* p : {&m_trayHost, &m_server}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(5'000)) {
                p->kill();
                p->waitForFinished(5'000);
            }
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // "Xvfb" or "trayer" when that program is not installed; empty when both are.
    [[nodiscard]] static QString missingTool() {
        for (const char* tool : {"Xvfb", "trayer"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                return QString::fromLatin1(tool);
        return {};
    }

    // ":71"...; empty when no display could be started.
    [[nodiscard]] const QString& name() const { return m_name; }

    // This process's environment with the display and the xcb platform: the
    // window system's threads, which the offscreen platform does not start, are
    // part of what a program on a real session lives with.
    [[nodiscard]] QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_name);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }

  private:
    QProcess m_server;
    QProcess m_trayHost;
    QString m_name;
};
