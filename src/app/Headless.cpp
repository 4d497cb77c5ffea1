// The headless runner and --once.

#include "app/Headless.h"

#include "app/JournalLine.h"
#include "app/ProcessRequests.h"
#include "app/ActivityLog.h"
#include "app/Commands.h"
#include "app/ErrorDisplay.h"
#include "app/Scheduler.h"
#include "app/uPrincipal.h"
#include "api/ServiceFrame.h"
#include "support/Clock.h"
#include "support/MemTable.h"

#include <QCoreApplication>
#include <cstdio>

namespace headless {

namespace {

QDate dataDoComando(const QString& text) {
    return QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
}

void escreve(std::FILE* stream, const QString& line) {
    const QByteArray bytes = (line + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

std::optional<OnceCommand> parseOnce(const QStringList& words, QString* error) {
    const auto falha = [error](const QString& why) -> std::optional<OnceCommand> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (words.isEmpty()) return falha(QStringLiteral("--once needs a command"));
    const QString name = words.first();
    const QString arg = words.size() > 1 ? words.at(1) : QString();
    const auto semArgumento = [&](OnceCommand::Kind kind) -> std::optional<OnceCommand> {
        if (words.size() != 1) return falha(QStringLiteral("--once %1 takes no argument").arg(name));
        return OnceCommand{kind, {}};
    };
    if (name == u"tick") return semArgumento(OnceCommand::Kind::Tick);
    if (name == u"promotions") return semArgumento(OnceCommand::Kind::Promotions);
    if (name == u"resend") return semArgumento(OnceCommand::Kind::Resend);
    if (name == u"send-sales" || name == u"send-closing") {
        const bool vendas = name == u"send-sales";
        if (words.size() != 2)
            return falha(QStringLiteral("--once %1 needs one argument: %2")
                             .arg(name, vendas ? QStringLiteral("pendentes-1, pendentes-3 or DD/MM/AAAA")
                                               : QStringLiteral("pendente or DD/MM/AAAA")));
        const QString modo = arg.toLower();
        const bool valido = vendas ? (modo == u"pendentes-1" || modo == u"pendentes-3") : modo == u"pendente";
        if (!valido && !dataDoComando(arg).isValid())
            return falha(
                QStringLiteral("--once %1: '%2' is neither a mode nor a date DD/MM/AAAA").arg(name, arg));
        return OnceCommand{vendas ? OnceCommand::Kind::SendSales : OnceCommand::Kind::SendClosing,
                           valido ? modo : arg};
    }
    return falha(QStringLiteral("--once: unknown command '%1'").arg(name));
}

QString logLine(const TMemTable& tabela, int row) {
    return journal::text(QDateTime(tabela.cell(row, 1).toDate(), tabela.cell(row, 2).toTime()),
                         tabela.cell(row, 0).toString(), tabela.cell(row, 3).toString());
}

THeadlessRunner::THeadlessRunner(std::FILE* out, std::FILE* err)
    : m_core(std::make_unique<TPrincipal>()), m_out(out), m_err(err) {
    TPrincipal& core = *m_core;
    QObject::connect(&core.log(), &TActivityLog::rowAdded, &core, [this] {
        const TMemTable& tbl = m_core->log().tabela();
        if (tbl.Active() && tbl.RecordCount() > 0) escreve(m_out, logLine(tbl, tbl.RecordCount() - 1));
    });
    QObject::connect(&core.erros(), &TErrorDisplay::errorRaised, &core, [this](const QString& text) {
        ++m_erros;
        escreve(m_err, text);
    });
    // Told like an error, but not counted as one: no work failed.
    QObject::connect(&core.log(), &TActivityLog::noticeRaised, &core, [this](const QString& text) { escreve(m_err, text); });
}

THeadlessRunner::~THeadlessRunner() = default;

int THeadlessRunner::runOnce(const OnceCommand& command) {
    TPrincipal& core = *m_core;
    core.FormCreate();
    TCommands& comandos = core.comandos();
    comandos.setDia(appClock().now().date());
    const auto escolhe = [&comandos](const QString& argument, const QString& pendente3) {
        const QDate data = dataDoComando(argument);
        if (data.isValid()) {
            comandos.setSelecao(TCommands::Selecao::Data);
            comandos.setDia(data);
        } else {
            comandos.setSelecao(argument == pendente3 ? TCommands::Selecao::Pendente3
                                                      : TCommands::Selecao::Pendente1);
        }
    };
    switch (command.kind) {
    case OnceCommand::Kind::Tick:
        core.scheduler().timerGeralTimer();
        break;
    case OnceCommand::Kind::SendSales:
        escolhe(command.argument, QStringLiteral("pendentes-3"));
        comandos.enviaVendas();
        break;
    case OnceCommand::Kind::SendClosing:
        escolhe(command.argument, QString());
        comandos.enviaFechamento();
        break;
    case OnceCommand::Kind::Promotions:
        comandos.buscaPromocoes();
        break;
    case OnceCommand::Kind::Resend:
        comandos.leReenvios();
        break;
    }
    core.scheduler().habilTimer(0);
    return m_erros > 0 ? 1 : 0;
}

int THeadlessRunner::runLoop() {
    TPrincipal& core = *m_core;
    // SIGINT/SIGTERM end the loop; a task at work (in its message pass) finishes first.
    TProcessRequests requests;
    QObject::connect(&requests, &TProcessRequests::endRequested, &core, [] { QCoreApplication::exit(0); });
    QObject::connect(&requests, &TProcessRequests::reloadRequested, &core, &TPrincipal::FormActivate);
    core.FormCreate();
    // From here on, tell the operator when a reload request has taken effect
    // (it waits for the end of a task at work).
    QObject::connect(&core, &TPrincipal::settingsApplied, &core, [this] {
        escreve(m_err, QStringLiteral("korvanta-sync: settings applied, base URL %1").arg(m_core->frame().baseUrl()));
    });
    core.comandos().setDia(appClock().now().date());
    QCoreApplication::exec();
    core.scheduler().habilTimer(0);
    return 0;
}

} // namespace headless
