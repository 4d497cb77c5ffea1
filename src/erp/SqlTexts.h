#pragma once
// Every SQL text the program sends to the ERP, built in one place so tests can
// compare it line by line. Conventions: dates are quoted month-first literals
// ('03/15/2023'); ticket, register and company numbers are bare integers; a
// statement is a list of lines joined with line breaks when it runs.

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace sqltexts {

// ---- Literals and fragments ---------------------------------------------------
// A text as an SQL literal: every single quote doubled, wrapped in single quotes.
[[nodiscard]] QString quoted(const QString& text);
// A date as a quoted month-first literal: 15 March 2023 -> '03/15/2023'.
[[nodiscard]] QString dateLiteral(const QDate& date);

// Company filter of the ticket and cancellation selections:
// " and c.cod_emp=0" + code (code "5" -> " and c.cod_emp=05", "" -> " and c.cod_emp=0").
[[nodiscard]] QString companyCondition(const QString& companyCode);
// Company filter of the daily closing's statements: " and cod_emp=0" + code.
[[nodiscard]] QString closingCompanyCondition(const QString& companyCode);

// ---- Selection conditions of the sales upload modes ---------------------------
// "Pendentes-1" -> "c.sinc_korvanta = 1", "Pendentes-3" -> "c.sinc_korvanta = 3",
// "Data" -> "c.data_cupom=" + the date literal. Another mode gives std::nullopt.
[[nodiscard]] std::optional<QString> ticketModeCondition(const QString& mode, const QDate& date);
// "Pendentes-1" -> "c.sinc_korv = 1", "Pendentes-3" -> "c.sinc_korv = 3",
// "Data" -> "c.sinc_korv <> 99 and c.data_cupom=" + the date literal.
[[nodiscard]] std::optional<QString> cancellationModeCondition(const QString& mode, const QDate& date);

// ---- Statements of the data module's queries ----------------------------------
// The ticket statement (qryCupom): tickets of one register with their first
// payment-forms text as FORMASPGTO.
[[nodiscard]] QStringList ticketStatement(const QString& condition, int cashRegister, bool companyFilter);
// The cancellation statement (qryCupomDelete).
[[nodiscard]] QStringList cancellationStatement(const QString& condition, int cashRegister, bool companyFilter);
// The item statement (qryItensCupom) with its per-ticket condition line (line 4).
[[nodiscard]] QStringList itemStatement(const QString& conditionLine);
// Index of the per-ticket condition line in the item statement (0-based).
inline constexpr int kItemConditionLine = 3;
// "Where nro_cupom=2935 and  nro_cx   =1 and  data_cupom='06/10/2020'"
[[nodiscard]] QString itemCondition(int ticket, int cashRegister, const QDate& date);

// ---- The flag updates ----------------------------------------------------------
inline const QString kTicketTable = QStringLiteral("Cupom_fiscal");
inline const QString kTicketFlag = QStringLiteral("sinc_korvanta");
inline const QString kCancellationTable = QStringLiteral("KORVANTA_DELETE");
inline const QString kCancellationFlag = QStringLiteral("sinc_korv");

// "nro_cupom=N and nro_cx=R[ and cod_emp=E] and  data_cupom='MM/DD/YYYY'";
// company is the row's own cod_emp, given only when company filtering is on.
[[nodiscard]] QString ticketFlagCondition(int ticket, int cashRegister, const QDate& date,
                                          std::optional<int> company);
// "nro_cupom=N and nro_cx=R and sinc_korv<99 [ and cod_emp=E] and  data_cupom='MM/DD/YYYY'"
[[nodiscard]] QString cancellationFlagCondition(int ticket, int cashRegister, const QDate& date,
                                                std::optional<int> company);

// ---- The generic statements of the data module ---------------------------------
// SelectFile: "Select * From " + table + " Where ( " + condition + " )"
[[nodiscard]] QString selectFileStatement(const QString& table, const QString& condition);
// UPDATEFILE: "UPDATE table SET" / assignments / "WHERE" / "( condition )"
[[nodiscard]] QStringList updateStatement(const QString& table, const QString& assignments,
                                          const QString& condition);
// UPDATEFILE_Matriz's assignment text from a pair list (name, value, name, value, ...):
// values cleaned (',' -> '.', quotes -> blanks) and quoted; "name=''" for an empty
// value; nothing for an empty name and value; the trailing comma dropped.
[[nodiscard]] QString assignmentsFromPairs(const QStringList& pairs);
// INSERTFILE: "Insert into table" / "( columns )  " / " Values ( values )  " with the
// values quoted (single quotes doubled, nothing else changed).
[[nodiscard]] QStringList insertStatement(const QString& table, const QStringList& pairs);

} // namespace sqltexts
