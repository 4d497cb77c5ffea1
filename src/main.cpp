// korvanta-sync: reads the command line and starts the tray program, the
// headless runner, one command or the status report.

#include "api/RequestFrame.h"
#include "app/CommandLine.h"
#include "app/Headless.h"
#include "app/ProcessRequests.h"
#include "app/Scheduler.h"
#include "app/SingleInstance.h"
#include "app/StatusReport.h"
#include "app/gui/GuiApp.h"
#include "support/Clock.h"
#include "support/Platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace {

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// Time running faster, for tests and demonstrations of the modes without a window.
class TimeScale {
  public:
    TimeScale() {
        bool ok = false;
        const double scale = qEnvironmentVariable("KORVANTA_TIME_SCALE").toDouble(&ok);
        if (!ok || scale <= 1.0) return;
        m_clock.emplace(scale);
        setAppClock(&*m_clock);
        TScheduler::setTimerScale(1.0 / scale);
    }
    ~TimeScale() { setAppClock(nullptr); }
    TimeScale(const TimeScale&) = delete;
    TimeScale& operator=(const TimeScale&) = delete;

  private:
    std::optional<ScaledClock> m_clock;
};

} // namespace

int main(int argc, char** argv) {
    // Before the application object starts any thread: SIGINT, SIGTERM and
    // SIGHUP become requests read in the event loop, in every mode.
    TProcessRequests::prepare();

    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const cli::Parsed parsed = cli::parse(args);
    if (!parsed.options) {
        if (parsed.errorStatus == 3) platform::attachParentConsole();
        print(stderr, QStringLiteral("korvanta-sync: %1\n\n").arg(parsed.error) + QString::fromLatin1(cli::usage()));
        return parsed.errorStatus;
    }
    const cli::Options& options = *parsed.options;
    using Mode = cli::Options::Mode;
    if (options.mode != Mode::Tray) platform::attachParentConsole();
    if (options.mode == Mode::Help) {
        print(stdout, QString::fromLatin1(cli::usage()));
        return 0;
    }
    if (options.mode == Mode::Version) {
        print(stdout, QStringLiteral("korvanta-sync %1\n").arg(QLatin1String(api::kVersao)));
        return 0;
    }

    // Before anything reads a file.
    if (!options.dir.isEmpty()) platform::setBaseDir(options.dir);

    if (options.mode == Mode::Status) {
        QCoreApplication app(argc, argv);
        return status::run({options.json, options.warnAgeMinutes, options.critAgeMinutes}, stdout, stderr);
    }

    // One synchroniser per working folder.
    std::optional<QCoreApplication> coreApp;
    std::optional<QApplication> guiApp;
    if (options.mode == Mode::Tray)
        guiApp.emplace(argc, argv);
    else
        coreApp.emplace(argc, argv);
    TSingleInstance instance(platform::baseDir());
    switch (instance.acquire()) {
    case TSingleInstance::Outcome::Acquired:
        break;
    case TSingleInstance::Outcome::HeldByOther:
        if (options.mode == Mode::Tray && instance.askToShow() == TSingleInstance::Answer::Shown) return 0;
        print(stderr, QStringLiteral("korvanta-sync: %1\n").arg(instance.problem()));
        return 1;
    case TSingleInstance::Outcome::Failed:
        print(stderr, QStringLiteral("korvanta-sync: %1\n").arg(instance.problem()));
        return 1;
    }

    if (options.mode == Mode::Tray) return runGui(instance);

    instance.listen(TSingleInstance::Role::NoWindow);
    const TimeScale timeScale;
    if (options.mode == Mode::Once) return headless::THeadlessRunner().runOnce(*options.once);
    return headless::THeadlessRunner().runLoop();
}
