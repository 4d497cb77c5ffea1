#include "app/StatusJournal.h"

#include "app/JournalReader.h"

#include <QStringList>

namespace status {

namespace {

struct Rule {
    Task task;
    Outcome outcome;
    QStringList prefixes;
};

const std::array<Rule, 7>& rules() {
    static const std::array<Rule, 7> table{{
        {Task::Sales,
         Outcome::Success,
         {QStringLiteral("Gravação venda: "), QStringLiteral("Venda cancelada p.1 (+): "),
          QStringLiteral("Venda cancelada p.2 (-): ")}},
        {Task::Sales,
         Outcome::Failure,
         {QStringLiteral("Erro Gravação: "), QStringLiteral("Erro gravação: "),
          QStringLiteral("Erro Venda cancelada p."), QStringLiteral("Erro cancelamento p."),
          QStringLiteral("Erro documento: "), QStringLiteral("Erro arquivo: ")}},
        {Task::Closing, Outcome::Success, {QStringLiteral("Fechamento: ")}},
        {Task::Closing,
         Outcome::Failure,
         {QStringLiteral("Erro fechamento: "), QStringLiteral("Erro DataUltFecha: ")}},
        {Task::Promotions,
         Outcome::Success,
         {QStringLiteral("Leitura de promoções"), QStringLiteral("Promoções processada sistema ZYR")}},
        {Task::Promotions, Outcome::Failure, {QStringLiteral("Erro na promoção: ")}},
        {Task::Resend,
         Outcome::Success,
         {QStringLiteral("Leitura de reenvio-venda"), QStringLiteral("Leitura de reenvio-fecha")}},
    }};
    return table;
}

// The task an "Erro na operação" message names, when it names one.
std::optional<Task> taskOfError(const QString& message) {
    for (const char* marker : {"promocionesConLimitePorTicket", "ult_get_promo.txt", "promotions"})
        if (message.contains(QLatin1String(marker))) return Task::Promotions;
    for (const char* marker : {"/solicitudes/", "list of requests", "Resend request"})
        if (message.contains(QLatin1String(marker))) return Task::Resend;
    return std::nullopt;
}

bool complete(const JournalFindings& found) {
    if (!found.lastError || !found.newestRow) return false;
    for (const TaskHistory& history : found.tasks)
        if (!history.lastSuccess || !history.lastFailure) return false;
    return true;
}

} // namespace

Classification classify(const journal::Row& row) {
    if (row.operation == QStringLiteral("Erro na operação"))
        return {taskOfError(row.message), taskOfError(row.message) ? Outcome::Failure : Outcome::Other, true};
    for (const Rule& rule : rules())
        for (const QString& prefix : rule.prefixes)
            if (row.operation.startsWith(prefix)) return {rule.task, rule.outcome, false};
    return {};
}

JournalFindings readJournal(const QString& workingFolder) {
    JournalFindings found;
    found.daysRead =
        journal::Reader(workingFolder, kJournalDays).readBackwards([&found](const journal::Row& row) {
            if (!found.newestRow) found.newestRow = row;
            const Classification c = classify(row);
            if (c.error && !found.lastError) found.lastError = row;
            if (c.task) {
                TaskHistory& history = found.tasks[static_cast<std::size_t>(*c.task)];
                std::optional<journal::Row>& slot =
                    c.outcome == Outcome::Success ? history.lastSuccess : history.lastFailure;
                if (c.outcome != Outcome::Other && !history.lastSuccess && !history.lastFailure)
                    history.failedLast = c.outcome == Outcome::Failure;
                if (c.outcome != Outcome::Other && !slot) slot = row;
            }
            return !complete(found);
        });
    return found;
}

QString taskKey(Task task) {
    switch (task) {
    case Task::Sales:
        return QStringLiteral("sales");
    case Task::Closing:
        return QStringLiteral("closing");
    case Task::Promotions:
        return QStringLiteral("promotions");
    case Task::Resend:
        return QStringLiteral("resend");
    }
    return {};
}

QString taskTitle(Task task) {
    switch (task) {
    case Task::Sales:
        return QStringLiteral("sales upload");
    case Task::Closing:
        return QStringLiteral("daily closing");
    case Task::Promotions:
        return QStringLiteral("promotions");
    case Task::Resend:
        return QStringLiteral("resend requests");
    }
    return {};
}

} // namespace status
