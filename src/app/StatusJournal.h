#pragma once
// What the activity journal tells of each task: its last success and its last
// failure, told apart by the rows' operation texts.
//
// - sales upload: success "Gravação venda: ", "Venda cancelada p.1 (+): ",
//   "Venda cancelada p.2 (-): "; failure "Erro Gravação: ", "Erro gravação: ",
//   "Erro Venda cancelada p.", "Erro cancelamento p.", "Erro documento: ",
//   "Erro arquivo: ";
// - daily closing: success "Fechamento: "; failure "Erro fechamento: ",
//   "Erro DataUltFecha: ";
// - promotions: success "Leitura de promoções", "Promoções processada sistema
//   ZYR"; failure "Erro na promoção: ";
// - resend requests: success "Leitura de reenvio-venda", "Leitura de
//   reenvio-fecha".
//
// "Erro na operação" serves several tasks and the errors no task handled; such a
// row is always the report's last error, and counts as a failure of the
// promotions or the resend requests when its message names their address or
// their reply ("promocionesConLimitePorTicket", "ult_get_promo.txt", "promotions";
// "/solicitudes/", "list of requests", "Resend request"). A refusal whose
// message is only the reply's status line cannot be told apart and stays a
// last error alone.

#include "app/StatusFigures.h"

#include <QString>
#include <optional>

namespace status {

enum class Outcome { Other, Success, Failure };

struct Classification {
    std::optional<Task> task;
    Outcome outcome = Outcome::Other;
    bool error = false; // an "Erro na operação" row
};

[[nodiscard]] Classification classify(const journal::Row& row);

// The days of journal files a report reads at most: a check that runs every
// minute reads a few megabytes at worst.
inline constexpr int kJournalDays = 31;

// Reads the journal of the working folder backwards until every task's last
// success and failure, the last error and the newest row are found, or the
// files of the newest kJournalDays days run out.
[[nodiscard]] JournalFindings readJournal(const QString& workingFolder);

// "sales", "closing", "promotions", "resend" (the JSON members).
[[nodiscard]] QString taskKey(Task task);
// "sales upload", "daily closing", "promotions", "resend requests".
[[nodiscard]] QString taskTitle(Task task);

} // namespace status
