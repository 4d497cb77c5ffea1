// The headless runner and --once.

#include "app/Headless.h"

#include "api/HttpClient.h"
#include "app/ActivityLog.h"
#include "app/Commands.h"
#include "app/Engine.h"
#include "app/JournalLine.h"
#include "app/ProcessRequests.h"
#include "app/Scheduler.h"
#include "app/uPrincipal.h"
#include "support/Clock.h"
#include "support/MemTable.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScopeGuard>
#include <cstdio>

namespace headless {

namespace {

QDate dayOf(const QString& text) {
    return QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
}

void writeLine(std::FILE* stream, const QString& line) {
    const QByteArray bytes = (line + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

std::optional<OnceCommand> parseOnce(const QStringList& words, QString* error) {
    const auto fail = [error](const QString& why) -> std::optional<OnceCommand> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (words.isEmpty()) return fail(QStringLiteral("--once needs a command"));
    const QString name = words.first();
    const QString arg = words.size() > 1 ? words.at(1) : QString();
    const auto withoutArgument = [&](OnceCommand::Kind kind) -> std::optional<OnceCommand> {
        if (words.size() != 1) return fail(QStringLiteral("--once %1 takes no argument").arg(name));
        return OnceCommand{kind, {}};
    };
    if (name == u"tick") return withoutArgument(OnceCommand::Kind::Tick);
    if (name == u"promotions") return withoutArgument(OnceCommand::Kind::Promotions);
    if (name == u"resend") return withoutArgument(OnceCommand::Kind::Resend);
    if (name == u"send-sales" || name == u"send-closing") {
        const bool sales = name == u"send-sales";
        if (words.size() != 2)
            return fail(QStringLiteral("--once %1 needs one argument: %2")
                            .arg(name, sales ? QStringLiteral("pendentes-1, pendentes-3 or DD/MM/AAAA")
                                             : QStringLiteral("pendente or DD/MM/AAAA")));
        const QString mode = arg.toLower();
        const bool valid = sales ? (mode == u"pendentes-1" || mode == u"pendentes-3") : mode == u"pendente";
        if (!valid && !dayOf(arg).isValid())
            return fail(
                QStringLiteral("--once %1: '%2' is neither a mode nor a date DD/MM/AAAA").arg(name, arg));
        return OnceCommand{sales ? OnceCommand::Kind::SendSales : OnceCommand::Kind::SendClosing,
                           valid ? mode : arg};
    }
    return fail(QStringLiteral("--once: unknown command '%1'").arg(name));
}

QString logLine(const TMemTable& tabela, int row) {
    return journal::text(QDateTime(tabela.cell(row, 1).toDate(), tabela.cell(row, 2).toTime()),
                         tabela.cell(row, 0).toString(), tabela.cell(row, 3).toString());
}

THeadlessRunner::THeadlessRunner(std::FILE* out, std::FILE* err) : m_out(out), m_err(err) {
    // SIGINT, SIGTERM and SIGHUP are read in the loop; the engine thread made
    // below inherits them blocked.
    TProcessRequests::prepare();
    m_engine = std::make_unique<TEngine>();
    TEngine& engine = *m_engine;
    QObject::connect(&engine, &TEngine::rowAdded, &engine, [this] {
        const TMemTable& tbl = m_engine->log().table();
        if (tbl.RecordCount() > 0) writeLine(m_out, logLine(tbl, tbl.RecordCount() - 1));
    });
    QObject::connect(&engine, &TEngine::errorRaised, &engine, [this](const QString& text) {
        ++m_errors;
        writeLine(m_err, text);
    });
    // Told like an error, but not counted as one: no work failed.
    QObject::connect(&engine, &TEngine::noticeRaised, &engine,
                     [this](const QString& text) { writeLine(m_err, text); });
}

THeadlessRunner::~THeadlessRunner() = default;

int THeadlessRunner::runOnce(const OnceCommand& command) {
    // The rows are written here as the engine tells them, while it works.
    QEventLoop loop;
    m_engine->post([&command, &loop](TPrincipal& core) {
        const auto done = qScopeGuard([&loop] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit); });
        core.FormCreate();
        TCommands& commands = core.commands();
        commands.setDay(appClock().now().date());
        const auto choose = [&commands](const QString& argument, const QString& pending3) {
            const QDate day = dayOf(argument);
            if (day.isValid()) {
                commands.setSelection(TCommands::Selection::Day);
                commands.setDay(day);
            } else {
                commands.setSelection(argument == pending3 ? TCommands::Selection::Pending3
                                                           : TCommands::Selection::Pending1);
            }
        };
        switch (command.kind) {
        case OnceCommand::Kind::Tick:
            core.scheduler().timerGeralTimer();
            break;
        case OnceCommand::Kind::SendSales:
            choose(command.argument, QStringLiteral("pendentes-3"));
            commands.sendSales();
            break;
        case OnceCommand::Kind::SendClosing:
            choose(command.argument, QString());
            commands.sendClosing();
            break;
        case OnceCommand::Kind::Promotions:
            commands.fetchPromotions();
            break;
        case OnceCommand::Kind::Resend:
            commands.readResendRequests();
            break;
        }
        core.scheduler().habilTimer(0);
    });
    loop.exec();
    // What the engine told at the end of the work.
    m_engine->call([](TPrincipal&) {});
    QCoreApplication::sendPostedEvents(m_engine.get());
    return m_errors > 0 ? 1 : 0;
}

int THeadlessRunner::runLoop() {
    TEngine& engine = *m_engine;
    // SIGINT/SIGTERM end the loop; SIGHUP applies the settings after the work at hand.
    TProcessRequests requests;
    QObject::connect(&requests, &TProcessRequests::endRequested, &engine, [] { QCoreApplication::exit(0); });
    QObject::connect(&requests, &TProcessRequests::reloadRequested, &engine,
                     [&engine] { engine.post([](TPrincipal& core) { core.FormActivate(); }); });
    engine.call([](TPrincipal& core) { core.FormCreate(); });
    QCoreApplication::sendPostedEvents(&engine);
    // From here on, tell the operator when a reload request has taken effect.
    const QMetaObject::Connection applied =
        QObject::connect(&engine, &TEngine::settingsApplied, &engine, [this](const QString& baseUrl) {
            writeLine(m_err, QStringLiteral("korvanta-sync: settings applied, base URL %1").arg(baseUrl));
        });
    engine.call([](TPrincipal& core) { core.commands().setDay(appClock().now().date()); });
    QCoreApplication::exec();
    QObject::disconnect(applied);
    // A request waiting for the service is aborted; the work at hand ends at its
    // next step, then the timers stop.
    THttpClient::abortAll();
    engine.call([](TPrincipal& core) { core.scheduler().habilTimer(0); });
    THttpClient::resumeAll();
    QCoreApplication::sendPostedEvents(&engine);
    return 0;
}

} // namespace headless
