#pragma once
// The prepared statements of one connection. Each statement text (with '?'
// where values go) is prepared once per opening of the connection and reused by
// every query that runs it; the cache is emptied, and every statement freed,
// before the connection is detached. The values travel in an input message in
// which every parameter is a text in the connection's character set, so the
// server converts them as it converts quoted literals.

#include "erp/FbColumns.h"

#include <QByteArray>
#include <QHash>

#include <memory>
#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IMessageMetadata;
class ThrowStatusWrapper;
} // namespace Firebird

namespace fb {

class PreparedStatement {
public:
    PreparedStatement(Firebird::IStatement* statement, unsigned type, QByteArray text);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    [[nodiscard]] Firebird::IStatement* handle() const { return m_statement; }
    // isc_info_sql_stmt_select, _insert, _update...
    [[nodiscard]] unsigned type() const { return m_type; }
    [[nodiscard]] const QByteArray& text() const { return m_text; }

    // What a selection returns (described once).
    void describeOutput(Firebird::ThrowStatusWrapper* status);
    [[nodiscard]] Firebird::IMessageMetadata* output() const { return m_output; }
    [[nodiscard]] const std::vector<Column>& columns() const { return m_columns; }
    [[nodiscard]] unsigned outputLength() const { return m_outputLength; }

    // Whether running it hands back rows: a selection, a procedure, or an
    // INSERT/UPDATE/DELETE with RETURNING (decided once).
    [[nodiscard]] bool returnsRows(Firebird::ThrowStatusWrapper* status);

    // Counts the runs of the statement, so a query can tell whether the rows
    // affected it asks for are still those of its own run.
    quint64 executed() { return ++m_executions; }
    [[nodiscard]] quint64 executions() const { return m_executions; }

    // The number of '?' marks of the statement.
    [[nodiscard]] unsigned parameterCount(Firebird::ThrowStatusWrapper* status);
    // Writes the values (encoded in the connection's character set) into the
    // input message, growing its layout when a value is longer than any before.
    // Returns the metadata and buffer to execute with; both null without parameters.
    struct Input {
        Firebird::IMessageMetadata* metadata = nullptr;
        unsigned char* buffer = nullptr;
    };
    [[nodiscard]] Input bind(Firebird::ThrowStatusWrapper* status, const std::vector<QByteArray>& values);

    // A statement runs at most one cursor at a time; the query that has one open
    // (nullptr when none has).
    [[nodiscard]] const void* cursorOwner() const { return m_cursorOwner; }
    void setCursorOwner(const void* owner) { m_cursorOwner = owner; }

    // The longest value a text parameter takes, in bytes.
    static constexpr unsigned kMaxValueBytes = 32765;

private:
    void layInput(Firebird::ThrowStatusWrapper* status, const std::vector<QByteArray>& values);

    Firebird::IStatement* m_statement = nullptr;
    unsigned m_type = 0;
    QByteArray m_text;

    Firebird::IMessageMetadata* m_output = nullptr;
    std::vector<Column> m_columns;
    unsigned m_outputLength = 0;

    const void* m_cursorOwner = nullptr;
    int m_parameterCount = -1;
    int m_returnsRows = -1;
    quint64 m_executions = 0;
    Firebird::IMessageMetadata* m_input = nullptr;
    std::vector<unsigned> m_capacity;
    std::vector<unsigned> m_offset;
    std::vector<unsigned> m_nullOffset;
    std::vector<unsigned char> m_inputMessage;
};

class StatementCache {
public:
    StatementCache() = default;
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The prepared statement of `text`, prepared now when the cache has none.
    // When another query has a cursor open on the cached one, a statement of
    // its own is prepared for `owner` and not kept. Throws FbException.
    [[nodiscard]] std::shared_ptr<PreparedStatement> acquire(Firebird::ThrowStatusWrapper* status,
                                                             Firebird::IAttachment* attachment,
                                                             Firebird::ITransaction* transaction,
                                                             const QByteArray& text, const void* owner);
    // Frees every statement; call before the attachment goes.
    void clear();

    [[nodiscard]] int size() const { return int(m_entries.size()); }
    // Statements prepared since the cache was last cleared.
    [[nodiscard]] int preparations() const { return m_preparations; }

private:
    void trim();

    QHash<QByteArray, std::shared_ptr<PreparedStatement>> m_entries;
    int m_preparations = 0;
};

} // namespace fb
