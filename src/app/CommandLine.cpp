#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QDir>

namespace cli {

const char* usage() {
    return "Usage: korvanta-sync [--dir DIR] [--headless | --once COMMAND | --status [--json]]\n"
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
           "  --status         print the state for support and monitoring: pending and refused\n"
           "                   tickets per register, the oldest pending one, the closing days\n"
           "                   behind, the last success and failure of each task, and exit\n"
           "                   0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN (a monitoring plugin's codes)\n"
           "  --json           with --status: one JSON object instead of text\n"
           "  --warn-age MIN   with --status: pending tickets older than MIN minutes warn (30)\n"
           "  --crit-age MIN   with --status: pending tickets older than MIN minutes are\n"
           "                   critical (120)\n"
           "  --version        show the version\n"
           "  --help           show this text\n"
           "\n"
           "One instance runs per folder: a second start of the tray program shows the running\n"
           "one's window; a second --headless or --once ends at once with exit status 1.\n"
           "A log row on standard output: DD/MM/AAAA<TAB>HH:MM:SS<TAB>Operacao<TAB>Mensagem.\n"
           "In the modes without a window, KORVANTA_TIME_SCALE=N (N > 1) makes time run N times\n"
           "faster, timers and clock alike: for tests and demonstrations only.\n"
           "KORVANTA_ERP_USER and KORVANTA_ERP_PASSWORD replace the ERP database's login.\n"
           "Exit status: 0 normal end, 1 an error that no task handled (text on standard error)\n"
           "or another instance at work in the folder, 2 usage error (3 with --status).\n";
}

namespace {

// The words --once takes: the command, and for the two send commands its argument.
qsizetype onceWords(const QString& command) {
    return command == u"send-sales" || command == u"send-closing" ? 2 : 1;
}

std::optional<int> minutes(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0) return std::nullopt;
    return value;
}

} // namespace

Parsed parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption dir(QStringLiteral("dir"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption headlessMode(QStringLiteral("headless"));
    const QCommandLineOption once(QStringLiteral("once"), QString(), QStringLiteral("COMMAND"));
    const QCommandLineOption status(QStringLiteral("status"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption warnAge(QStringLiteral("warn-age"), QString(), QStringLiteral("MIN"));
    const QCommandLineOption critAge(QStringLiteral("crit-age"), QString(), QStringLiteral("MIN"));
    parser.addOptions({help, version, dir, headlessMode, once, status, json, warnAge, critAge});

    Parsed result;
    // Usage errors of a status query are UNKNOWN for a monitoring agent.
    if (arguments.contains(QStringLiteral("--status"))) result.errorStatus = 3;
    const auto fail = [&result](const QString& why) {
        result.options.reset();
        result.error = why;
        return result;
    };

    if (!parser.parse(QStringList{QStringLiteral("korvanta-sync")} + arguments)) {
        QString why = parser.errorText();
        if (why.startsWith(QLatin1String("Unknown option"))) why = why.left(1).toLower() + why.mid(1);
        if (why.endsWith(u'.')) why.chop(1);
        if (why.startsWith(QLatin1String("Missing value after '--dir'"))) why = QStringLiteral("--dir needs a folder");
        if (why.startsWith(QLatin1String("Missing value after '--once'"))) why = QStringLiteral("--once needs a command");
        return fail(why);
    }

    Options options;
    if (parser.isSet(help)) {
        options.mode = Options::Mode::Help;
        result.options = options;
        return result;
    }
    if (parser.isSet(version)) {
        options.mode = Options::Mode::Version;
        result.options = options;
        return result;
    }
    for (const QCommandLineOption* single : {&dir, &once, &warnAge, &critAge})
        if (parser.values(*single).size() > 1)
            return fail(QStringLiteral("--%1 is given more than once").arg(single->names().constLast()));

    if (parser.isSet(dir)) {
        options.dir = parser.value(dir);
        if (options.dir.isEmpty() || !QDir(options.dir).exists())
            return fail(QStringLiteral("--dir: folder not found: '%1'").arg(options.dir));
    }

    const int modes = int(parser.isSet(headlessMode)) + int(parser.isSet(once)) + int(parser.isSet(status));
    if (modes > 1) {
        if (parser.isSet(headlessMode) && parser.isSet(once))
            return fail(QStringLiteral("--headless and --once exclude each other"));
        return fail(QStringLiteral("--status excludes --headless and --once"));
    }

    QStringList positional = parser.positionalArguments();
    if (parser.isSet(once)) {
        const QString command = parser.value(once);
        QStringList words{command};
        if (onceWords(command) == 2 && !positional.isEmpty()) words << positional.takeFirst();
        QString error;
        options.once = headless::parseOnce(words, &error);
        if (!options.once) return fail(error);
        options.mode = Options::Mode::Once;
    } else if (parser.isSet(headlessMode)) {
        options.mode = Options::Mode::Headless;
    } else if (parser.isSet(status)) {
        options.mode = Options::Mode::Status;
    }
    if (!positional.isEmpty()) {
        if (options.mode == Options::Mode::Once)
            return fail(QStringLiteral("--once %1 takes no argument").arg(parser.value(once)));
        return fail(QStringLiteral("unknown option '%1'").arg(positional.first()));
    }

    const bool statusOptions = parser.isSet(json) || parser.isSet(warnAge) || parser.isSet(critAge);
    if (statusOptions && options.mode != Options::Mode::Status)
        return fail(QStringLiteral("--json, --warn-age and --crit-age go with --status"));
    options.json = parser.isSet(json);
    for (const auto& [option, target] : {std::pair{&warnAge, &options.warnAgeMinutes},
                                         std::pair{&critAge, &options.critAgeMinutes}}) {
        if (!parser.isSet(*option)) continue;
        const std::optional<int> value = minutes(parser.value(*option));
        if (!value)
            return fail(QStringLiteral("--%1 needs a whole number of minutes, not '%2'")
                            .arg(option->names().constFirst(), parser.value(*option)));
        *target = *value;
    }
    if (options.warnAgeMinutes > options.critAgeMinutes)
        return fail(QStringLiteral("--warn-age (%1) is above --crit-age (%2)")
                        .arg(options.warnAgeMinutes)
                        .arg(options.critAgeMinutes));

    result.options = options;
    return result;
}

} // namespace cli
