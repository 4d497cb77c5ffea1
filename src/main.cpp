// korvanta-sync: reads the command line and starts the tray program, the
// headless runner or one command.

#include "app/Headless.h"
#include "app/gui/GuiApp.h"
#include "app/uPrincipal.h"
#include "support/Clock.h"
#include "support/Platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace {

const char* const Usage =
    "Usage: korvanta-sync [--dir DIR] [--headless | --once COMMAND]\n"
    "\n"
    "Without options the synchroniser starts hidden behind its notification icon.\n"
    "\n"
    "  --dir DIR        use DIR instead of the executable's folder for configAPI.ini,\n"
    "                   test-ping.txt / resp-ping.txt and the Korvanta\\log folders\n"
    "  --headless       run the scheduler and the tasks without a window or icon;\n"
    "                   every activity-log row is written to standard output;\n"
    "                   SIGINT/SIGTERM end it after the task at work, SIGHUP applies\n"
    "                   the settings anew (reported on standard error)\n"
    "  --once COMMAND   apply the settings, run one command, print the log rows, exit:\n"
    "                     tick                                  one general tick (every task due)\n"
    "                     send-sales pendentes-1|pendentes-3|DD/MM/AAAA\n"
    "                     send-closing pendente|DD/MM/AAAA\n"
    "                     promotions                            read and import the promotions\n"
    "                     resend                                read and honour the resend requests\n"
    "  --help           show this text\n"
    "\n"
    "A log row on standard output: DD/MM/AAAA<TAB>HH:MM:SS<TAB>Operacao<TAB>Mensagem.\n"
    "In the modes without a window, KORVANTA_TIME_SCALE=N (N > 1) makes time run N times\n"
    "faster, timers and clock alike: for tests and demonstrations only.\n"
    "Exit status: 0 normal end, 1 an error that no task handled (text on standard error),\n"
    "2 usage error.\n";

int usageError(const QString& why) {
    std::fprintf(stderr, "korvanta-sync: %s\n\n%s", why.toLocal8Bit().constData(), Usage);
    return 2;
}

struct Options {
    QString dir;
    bool headless = false;
    std::optional<headless::OnceCommand> once;
};

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    Options options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == u"--help" || arg == u"-h") {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (arg == u"--dir" || arg.startsWith(u"--dir=")) {
            if (arg == u"--dir" && i + 1 >= args.size())
                return usageError(QStringLiteral("--dir needs a folder"));
            options.dir = arg == u"--dir" ? args.at(++i) : arg.mid(6);
            if (options.dir.isEmpty() || !QDir(options.dir).exists())
                return usageError(QStringLiteral("--dir: folder not found: '%1'").arg(options.dir));
        } else if (arg == u"--headless") {
            options.headless = true;
        } else if (arg == u"--once") {
            // The command and, for the two send commands, its argument.
            const QString name = i + 1 < args.size() ? args.at(i + 1) : QString();
            const qsizetype words = name == u"send-sales" || name == u"send-closing" ? 2 : 1;
            QString error;
            options.once = headless::parseOnce(args.mid(i + 1, words), &error);
            if (!options.once) return usageError(error);
            i += words;
        } else {
            return usageError(QStringLiteral("unknown option '%1'").arg(arg));
        }
    }
    if (options.headless && options.once)
        return usageError(QStringLiteral("--headless and --once exclude each other"));

    // Before anything reads a file.
    if (!options.dir.isEmpty()) platform::setBaseDir(options.dir);

    // Time running faster, for tests and demonstrations of the modes without a window.
    std::optional<ScaledClock> fastClock;
    struct ClockReset {
        ~ClockReset() { setAppClock(nullptr); }
    } clockReset;
    if (options.once || options.headless) {
        bool ok = false;
        const double scale = qEnvironmentVariable("KORVANTA_TIME_SCALE").toDouble(&ok);
        if (ok && scale > 1.0) {
            fastClock.emplace(scale);
            setAppClock(&*fastClock);
            TPrincipal::setTimerScale(1.0 / scale);
        }
    }

    if (options.once) {
        QCoreApplication app(argc, argv);
        return headless::THeadlessRunner().runOnce(*options.once);
    }
    if (options.headless) {
        QCoreApplication app(argc, argv);
        return headless::THeadlessRunner().runLoop();
    }
    QApplication app(argc, argv);
    return runGui();
}
