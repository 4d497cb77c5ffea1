#pragma once
// The totals the daily closing posts, read for a whole span of days at once:
// one grouped selection over the tickets and one over the cancellations, each
// ordered by day, then register. A day and register appear when the day has
// tickets of that register; its cancellation totals are 0 when it has none.

#include "erp/SqlStatement.h"

#include <QDate>
#include <QMap>
#include <QString>

#include <vector>

class TdtmApi;

namespace fechamento {

struct TotaisDoCaixa {
    QString caixa;          // the register number as text
    double somaVenda = 0;   // sum of the tickets' sub_tot (0 when all are null)
    double contaVenda = 0;  // count of the tickets' sub_tot
    double somaCancel = 0;  // the same over the cancellations (payment-forms rows left out)
    double contaCancel = 0;
};

// For each day, its registers in ascending order.
using TotaisPorDia = QMap<QDate, std::vector<TotaisDoCaixa>>;

// Reads the totals of every day from `primeiro` to `ultimo` through qryFecha;
// `filtro` restricts the rows further (register, company). Throws DatabaseError.
[[nodiscard]] TotaisPorDia lerTotais(TdtmApi& dtm, const QDate& primeiro, const QDate& ultimo, const SqlWhere& filtro);

} // namespace fechamento
