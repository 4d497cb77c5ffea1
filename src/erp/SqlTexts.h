#pragma once
// Every statement the program sends to the ERP, built in one place so tests can
// compare it line by line. A statement's text holds table and column names
// only; every value is a parameter ('?'), bound as a text the server converts
// as it converted the quoted literal it replaces. Dates are month-first texts
// ("03/15/2023"); ticket, register and company numbers are their decimal texts.

#include "erp/SqlStatement.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace sqltexts {

// ---- Values ---------------------------------------------------------------------
// A date as the month-first text the ERP has always received: 15 March 2023 -> "03/15/2023".
[[nodiscard]] QString dateText(const QDate& date);

// Company filter of the ticket and cancellation selections: c.cod_emp = "0" + code
// (code "5" -> "05", "" -> "0").
[[nodiscard]] SqlTerm companyTerm(const QString& companyCode);
// Company filter of the daily closing's statements: cod_emp = "0" + code.
[[nodiscard]] SqlTerm closingCompanyTerm(const QString& companyCode);

// ---- Selection conditions of the sales upload modes ---------------------------
// "Pendentes-1" -> c.sinc_korvanta = 1, "Pendentes-3" -> c.sinc_korvanta = 3,
// "Data" -> c.data_cupom = the date. Another mode gives std::nullopt.
[[nodiscard]] std::optional<SqlWhere> ticketModeCondition(const QString& mode, const QDate& date);
// "Pendentes-1" -> c.sinc_korv = 1, "Pendentes-3" -> c.sinc_korv = 3,
// "Data" -> c.sinc_korv <> 99 and c.data_cupom = the date.
[[nodiscard]] std::optional<SqlWhere> cancellationModeCondition(const QString& mode, const QDate& date);

// ---- Statements of the data module's queries ----------------------------------
// The registers that have rows in `table` ("cupom_fiscal" or "KORVANTA_DELETE",
// alias c) under the condition: "select distinct c.nro_cx from <table> c" / "where ...".
[[nodiscard]] SqlStatement registerList(const QString& table, const SqlWhere& condition);
// The ticket statement (qryCupom): tickets of one register with their first
// payment-forms text as FORMASPGTO.
[[nodiscard]] SqlStatement ticketStatement(const SqlWhere& condition, int cashRegister, bool companyFilter);
// The cancellation statement (qryCupomDelete).
[[nodiscard]] SqlStatement cancellationStatement(const SqlWhere& condition, int cashRegister, bool companyFilter);
// The item statement (qryItensCupom); its parameters come from itemParams.
[[nodiscard]] QStringList itemStatement();
// The parameters of the item statement for one ticket: number, register, date.
[[nodiscard]] QStringList itemParams(int ticket, int cashRegister, const QDate& date);

// ---- The flag updates ----------------------------------------------------------
inline const QString kTicketTable = QStringLiteral("Cupom_fiscal");
inline const QString kTicketFlag = QStringLiteral("sinc_korvanta");
inline const QString kCancellationTable = QStringLiteral("KORVANTA_DELETE");
inline const QString kCancellationFlag = QStringLiteral("sinc_korv");

// nro_cupom = N and nro_cx = R [and cod_emp = E] and data_cupom = the date;
// company is the row's own cod_emp, given only when company filtering is on.
[[nodiscard]] SqlWhere ticketFlagCondition(int ticket, int cashRegister, const QDate& date,
                                           std::optional<int> company);
// nro_cupom = N and nro_cx = R and sinc_korv < 99 [and cod_emp = E] and data_cupom = the date
[[nodiscard]] SqlWhere cancellationFlagCondition(int ticket, int cashRegister, const QDate& date,
                                                 std::optional<int> company);

// ---- The daily closing -----------------------------------------------------------
// The totals of every day from `first` to `last` and every register, one row per
// day and register that has tickets, ordered by day, then register:
// DATA_CUPOM, NRO_CX, VENDAS (sum of sub_tot), NROVENDAS (count of sub_tot).
// `filter` adds its terms (register, company) to the days.
[[nodiscard]] SqlStatement closingSalesTotals(const QDate& first, const QDate& last, const SqlWhere& filter);
// The same for the cancellations (payment-forms rows left out):
// DATA_CUPOM, NRO_CX, CANCELA, NROCANCELA.
[[nodiscard]] SqlStatement closingCancellationTotals(const QDate& first, const QDate& last, const SqlWhere& filter);

// ---- The status report (--status) ------------------------------------------------
// Per register, the tickets whose sinc_korvanta is `flag`, with `filter`'s terms
// (alias c; the company term): NRO_CX, QUANTOS (rows), DIA_ANTIGO (the oldest
// data_cupom), MOMENTO_ANTIGO (the oldest data_cupom + hora; null when no such
// row has an hora), ordered by register.
[[nodiscard]] SqlStatement statusTicketFigures(const QString& flag, const SqlWhere& filter);
// The same for the cancellations by sinc_korv (a flag of 1 or 3 never takes the
// payment-forms rows, which hold 99): NRO_CX, QUANTOS, DIA_ANTIGO.
[[nodiscard]] SqlStatement statusCancellationFigures(const QString& flag, const SqlWhere& filter);

// ---- The generic statements of the data module ---------------------------------
// SelectFile: "Select * From " + table + " Where ( " + condition + " )"
[[nodiscard]] SqlStatement selectFileStatement(const QString& table, const SqlWhere& condition);
// UPDATEFILE_Matriz: "UPDATE table SET" / assignments / "WHERE" / "( condition )",
// the assignments "name=?" for each pair (name, value, name, value, ...) with the
// value cleaned (',' -> '.', quotes -> blanks); an empty value sets the empty
// text; a pair with an empty name and value is left out. Without assignments
// the statement has no lines.
[[nodiscard]] SqlStatement updateStatement(const QString& table, const QStringList& pairs, const SqlWhere& condition);
// UPDATEFILE_Matriz's cleaning of one value: ',' -> '.', ' and " -> blanks.
[[nodiscard]] QString cleanedUpdateValue(QString value);
// INSERTFILE: "Insert into table" / "( columns )  " / " Values ( ?,... )  " with the
// values as they are (the insert never changed them beyond quoting).
[[nodiscard]] SqlStatement insertStatement(const QString& table, const QStringList& pairs);

} // namespace sqltexts
