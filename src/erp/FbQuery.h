#pragma once
// A query on one connection and transaction (the data module's qry* objects).
//
//   q.sql() = QStringList{"select nro_cx from cupom_fiscal", "where sinc_korvanta = ?"};
//   q.setParams({"1"});
//   q.Open();                       // first row is current; Eof() when none
//   while (!q.Eof()) { int cx = q.FieldByName("NRO_CX").AsInteger(); q.Next(); }
//
// Changing sql() or the parameters closes the open result. A statement text is
// prepared once per opening of the connection (TFbDatabase keeps the prepared
// statements) and run again with new parameters as often as needed. Rows are fetched as the
// caller moves on and kept, so First() goes back to the first row. BLOBs are
// read whole as they are fetched. Texts come in the connection's character set
// (WIN1252) and are decoded with the code page of the workstation.
//
// A typed field list (setFieldList) is checked at each opening: every listed
// field must be in the result with a compatible type, or Open() throws a
// DatabaseError naming the field.

#include "erp/FbField.h"
#include "erp/SqlLines.h"
#include "erp/SqlStatement.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

namespace Firebird {
class FbException;
class IMessageMetadata;
class ThrowStatusWrapper;
} // namespace Firebird

class DatabaseError;
class TFbDatabase;
class TFbTransaction;

// The kinds of a typed field list and what each accepts:
//   Integer  SMALLINT, INTEGER, BIGINT (no decimals)
//   Numeric  SMALLINT, INTEGER, BIGINT, NUMERIC, DECIMAL (exact numbers, any scale)
//   Date     DATE              Time  TIME
//   Text     CHAR, VARCHAR     Blob  BLOB
enum class FieldKind { Integer, Numeric, Date, Time, Text, Blob };

struct FieldSpec {
    QString name;
    FieldKind kind;
    int size = 0; // Text: declared length; Numeric: decimals (documentation; not enforced)
};

class TFbQuery {
public:
    TFbQuery(TFbDatabase* database = nullptr, TFbTransaction* transaction = nullptr,
             QString name = QString());
    ~TFbQuery();
    TFbQuery(const TFbQuery&) = delete;
    TFbQuery& operator=(const TFbQuery&) = delete;

    void setDatabase(TFbDatabase* database);
    void setTransaction(TFbTransaction* transaction) { m_transaction = transaction; }
    [[nodiscard]] TFbDatabase* database() const { return m_database; }
    [[nodiscard]] TFbTransaction* transaction() const { return m_transaction; }
    // The query's name in error messages ("qryCupom").
    [[nodiscard]] const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

    // The statement text, line by line; '?' where a value goes. A change of the
    // text closes the open result and clears the parameters.
    [[nodiscard]] TSqlLines& sql() { return m_sql; }
    [[nodiscard]] const TSqlLines& sql() const { return m_sql; }
    // The values of the '?' marks, in order, each bound as a text that the server
    // converts to the type needed there. Setting them closes the open result.
    void setParams(QStringList values);
    [[nodiscard]] const QStringList& params() const { return m_params; }
    // sql() and the parameters at once.
    void setStatement(const SqlStatement& statement);

    void setFieldList(std::vector<FieldSpec> fields) { m_fieldList = std::move(fields); }
    [[nodiscard]] const std::vector<FieldSpec>& fieldList() const { return m_fieldList; }

    // Takes the prepared statement of the text from the connection's cache,
    // where it is prepared once per opening of the connection. The transaction
    // is started when it is not active. Throws DatabaseError.
    void Prepare();
    // Closes the result and lets go of the prepared statement; never throws.
    void Unprepare();
    [[nodiscard]] bool Prepared() const;

    // Runs a selection and makes its first row current. Opening an open query
    // does nothing. Throws DatabaseError (SQL error, typed field list not met,
    // connection closed).
    void Open();
    // Closes the open result; never throws.
    void Close();
    // Runs a statement that returns no rows (UPDATE, INSERT, DDL...).
    void ExecSQL();
    // Rows changed by the last ExecSQL; -1 when it failed, or when the same
    // statement has run again since (in another query).
    [[nodiscard]] qint64 RowsAffected() const;

    [[nodiscard]] bool Active() const;
    // True when the result is empty or Next() went past the last row.
    [[nodiscard]] bool Eof() const;
    [[nodiscard]] bool IsEmpty() const;
    void First();
    void Next();

    // The current row's field of that name, without regard to case. Throws
    // DatabaseError when the query is not open or has no such field.
    [[nodiscard]] TFbField FieldByName(const QString& name) const;
    [[nodiscard]] bool hasField(const QString& name) const;
    [[nodiscard]] int FieldCount() const;
    [[nodiscard]] TFbField Fields(int index) const;
    [[nodiscard]] QStringList FieldNames() const;

private:
    struct Impl;
    [[nodiscard]] QString databaseName() const;
    void ensureReady(const QString& what);
    void checkFieldList() const;
    void describeOutput();
    [[nodiscard]] std::pair<Firebird::IMessageMetadata*, unsigned char*> bindParams(Firebird::ThrowStatusWrapper* status);
    // The text and the parameter values, as error messages show them.
    [[nodiscard]] QString statementText() const;
    [[nodiscard]] DatabaseError statementError(const QString& what, const Firebird::FbException& e) const;
    [[nodiscard]] bool returnsValues() const;
    [[nodiscard]] bool fetchRow();
    [[nodiscard]] int columnIndex(const QString& name) const;
    [[nodiscard]] TFbField fieldAt(int column) const;

    QString m_name;
    TSqlLines m_sql;
    TFbDatabase* m_database = nullptr;
    TFbTransaction* m_transaction = nullptr;
    std::vector<FieldSpec> m_fieldList;
    QStringList m_params;
    std::unique_ptr<Impl> d;
};
