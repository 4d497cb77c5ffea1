#include "app/StatusErp.h"

#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"

#include <map>

namespace status {

namespace {

using Slot = FlagFigures RegisterFigures::*;

// Runs one figures statement and puts its rows into the registers' `slot`.
void collect(TFbQuery& query, const SqlStatement& statement, bool withMoment,
             std::map<int, RegisterFigures>& registers, Slot slot) {
    query.Close();
    query.setStatement(statement);
    query.Open();
    for (; !query.Eof(); query.Next()) {
        const int cx = query.FieldByName(QStringLiteral("NRO_CX")).AsInteger();
        RegisterFigures& figures = registers[cx];
        figures.cashRegister = cx;
        FlagFigures& flag = figures.*slot;
        flag.rows = query.FieldByName(QStringLiteral("QUANTOS")).AsLargeInt();
        flag.oldestDay = query.FieldByName(QStringLiteral("DIA_ANTIGO")).AsDate();
        if (!withMoment) continue;
        // The oldest moment is the oldest row only when it falls on the oldest
        // day; otherwise the rows of that day have no hora.
        const QDateTime moment = query.FieldByName(QStringLiteral("MOMENTO_ANTIGO")).AsDateTime();
        if (moment.isValid() && moment.date() == flag.oldestDay) flag.oldestTime = moment.time();
    }
    query.Close();
}

} // namespace

std::vector<RegisterFigures> readErp(const QString& database, const std::optional<QString>& companyCode) {
    TdtmApi dtm;
    dtm.setPathBancoDolvex(database);
    dtm.dtmConectDolvex(true);
    SqlWhere filter;
    if (companyCode) filter.add(sqltexts::companyTerm(*companyCode));
    const QString pending = QStringLiteral("1");
    const QString refused = QStringLiteral("3");
    std::map<int, RegisterFigures> registers;
    TFbQuery& q = dtm.qrySelect1();
    collect(q, sqltexts::statusTicketFigures(pending, filter), true, registers,
            &RegisterFigures::ticketsPending);
    collect(q, sqltexts::statusTicketFigures(refused, filter), true, registers,
            &RegisterFigures::ticketsRefused);
    collect(q, sqltexts::statusCancellationFigures(pending, filter), false, registers,
            &RegisterFigures::cancellationsPending);
    collect(q, sqltexts::statusCancellationFigures(refused, filter), false, registers,
            &RegisterFigures::cancellationsRefused);
    // Nothing was changed; the transaction is rolled back.
    dtm.dtmConectDolvex(false);
    std::vector<RegisterFigures> result;
    for (auto& [cx, figures] : registers)
        result.push_back(figures);
    return result;
}

} // namespace status
