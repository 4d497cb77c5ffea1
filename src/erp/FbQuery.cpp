#include "erp/FbQuery.h"

#include "erp/FbColumns.h"
#include "erp/FbDatabase.h"
#include "erp/FbError.h"
#include "erp/FbMaster.h"
#include "erp/FbTransaction.h"
#include "support/Codepage.h"

#include <ibase.h>

using namespace Firebird;

struct TFbQuery::Impl {
    // The prepared statement and what it returns.
    IStatement* statement = nullptr;
    IMessageMetadata* output = nullptr;
    QByteArray preparedText;
    unsigned statementType = 0;
    std::vector<fb::Column> columns;
    std::vector<unsigned char> message;

    // The open result.
    IResultSet* cursor = nullptr;
    bool active = false;
    bool cursorDone = false;
    bool eof = true;
    qsizetype position = -1;
    std::vector<std::vector<FbValue>> rows;

    void closeCursor() {
        if (cursor) {
            fb::QuietStatus status;
            cursor->close(status.get());
            if (status.failed()) cursor->release();
            cursor = nullptr;
        }
        active = false;
        cursorDone = false;
        eof = true;
        position = -1;
        rows.clear();
    }

    void freeStatement() {
        closeCursor();
        if (output) {
            output->release();
            output = nullptr;
        }
        if (statement) {
            fb::QuietStatus status;
            statement->free(status.get());
            if (status.failed()) statement->release();
            statement = nullptr;
        }
        preparedText.clear();
        columns.clear();
        message.clear();
        statementType = 0;
    }
};

TFbQuery::TFbQuery(TFbDatabase* database, TFbTransaction* transaction, QString name)
    : Name(std::move(name)), SQL([this] { Close(); }), m_transaction(transaction), d(std::make_unique<Impl>()) {
    setDatabase(database);
}

TFbQuery::~TFbQuery() {
    Unprepare();
    if (m_database) m_database->unregisterQuery(this);
}

void TFbQuery::setDatabase(TFbDatabase* database) {
    if (database == m_database) return;
    Unprepare();
    if (m_database) m_database->unregisterQuery(this);
    m_database = database;
    if (m_database) m_database->registerQuery(this);
}

QString TFbQuery::databaseName() const {
    return m_database ? m_database->DatabaseName : QString();
}

void TFbQuery::ensureReady(const QString& what) {
    if (!m_database) throw DatabaseError(what + QStringLiteral(": the query has no database"), QString());
    m_database->CheckConnected(what);
    if (!m_transaction) throw DatabaseError(what + QStringLiteral(": the query has no transaction"), databaseName());
    if (!m_transaction->InTransaction()) m_transaction->StartTransaction();
}

bool TFbQuery::Prepared() const {
    return d->statement != nullptr;
}

void TFbQuery::Prepare() {
    const QString what = QStringLiteral("Cannot prepare the statement of %1").arg(Name);
    ensureReady(what);
    const QByteArray text = ansi::fromUnicode(SQL.Text());
    if (d->statement && d->preparedText == text) return;
    d->freeStatement();
    try {
        fb::Status status;
        // Only the statement's type is asked for here; what a selection returns
        // is described on demand (describeOutput), so a write prepared once for
        // one execution costs no more than the engine's own work.
        d->statement = m_database->attachment()->prepare(status.get(), m_transaction->handle(), 0,
                                                         text.constData(), SQL_DIALECT_V6,
                                                         IStatement::PREPARE_PREFETCH_TYPE);
        d->statementType = d->statement->getType(status.get());
        d->preparedText = text;
    } catch (const FbException& e) {
        d->freeStatement();
        throw DatabaseError(QStringLiteral("SQL error in %1").arg(Name), databaseName(), fb::statusText(e.getStatus()),
                            fb::statusCode(e.getStatus()), SQL.Text());
    }
}

bool TFbQuery::returnsValues() const {
    switch (d->statementType) {
    case isc_info_sql_stmt_insert:
    case isc_info_sql_stmt_update:
    case isc_info_sql_stmt_delete:
        // "... RETURNING ..." hands back one row.
        return QString::fromLatin1(d->preparedText).contains(QLatin1String("returning"), Qt::CaseInsensitive);
    case isc_info_sql_stmt_ddl:
    case isc_info_sql_stmt_start_trans:
    case isc_info_sql_stmt_commit:
    case isc_info_sql_stmt_rollback:
    case isc_info_sql_stmt_set_generator:
    case isc_info_sql_stmt_savepoint:
        return false;
    default:
        return true;
    }
}

void TFbQuery::describeOutput() {
    if (d->output) return;
    try {
        fb::Status status;
        d->output = d->statement->getOutputMetadata(status.get());
        d->columns = fb::describeColumns(status.get(), d->output);
        d->message.assign(d->output->getMessageLength(status.get()), 0);
    } catch (const FbException& e) {
        throw DatabaseError(QStringLiteral("Cannot describe the result of %1").arg(Name), databaseName(),
                            fb::statusText(e.getStatus()), fb::statusCode(e.getStatus()), SQL.Text());
    }
}

void TFbQuery::Unprepare() {
    d->freeStatement();
}

void TFbQuery::checkFieldList() const {
    for (const FieldSpec& wanted : m_fieldList) {
        const int i = columnIndex(wanted.name);
        if (i < 0)
            throw DatabaseError(QStringLiteral("Field %1 of %2 is missing from the result").arg(wanted.name, Name),
                                databaseName(), QString(), 0, SQL.Text());
        const fb::Column& c = d->columns[size_t(i)];
        if (!fb::compatible(wanted.kind, c))
            throw DatabaseError(QStringLiteral("Field %1 of %2 has the type %3, expected %4")
                                    .arg(wanted.name, Name, fb::typeName(c), fb::kindName(wanted.kind)),
                                databaseName(), QString(), 0, SQL.Text());
    }
}

void TFbQuery::Open() {
    if (d->active) return;
    Prepare();
    describeOutput();
    if (d->columns.empty())
        throw DatabaseError(QStringLiteral("%1 cannot be opened: the statement returns no rows").arg(Name),
                            databaseName(), QString(), 0, SQL.Text());
    checkFieldList();
    try {
        fb::Status status;
        d->cursor = d->statement->openCursor(status.get(), m_transaction->handle(), nullptr, nullptr, d->output, 0);
    } catch (const FbException& e) {
        d->closeCursor();
        throw DatabaseError(QStringLiteral("SQL error in %1").arg(Name), databaseName(), fb::statusText(e.getStatus()),
                            fb::statusCode(e.getStatus()), SQL.Text());
    }
    d->active = true;
    d->eof = !fetchRow();
    d->position = d->eof ? -1 : 0;
}

bool TFbQuery::fetchRow() {
    if (d->cursorDone) return false;
    try {
        fb::Status status;
        if (d->cursor->fetchNext(status.get(), d->message.data()) != IStatus::RESULT_OK) {
            d->cursorDone = true;
            return false;
        }
        std::vector<FbValue> row;
        row.reserve(d->columns.size());
        for (const fb::Column& c : d->columns)
            row.push_back(fb::readValue(status.get(), c, d->message.data(), m_database->attachment(),
                                        m_transaction->handle()));
        d->rows.push_back(std::move(row));
        return true;
    } catch (const FbException& e) {
        d->cursorDone = true;
        throw DatabaseError(QStringLiteral("Cannot read the rows of %1").arg(Name), databaseName(),
                            fb::statusText(e.getStatus()), fb::statusCode(e.getStatus()), SQL.Text());
    }
}

void TFbQuery::Close() {
    d->closeCursor();
}

void TFbQuery::ExecSQL() {
    Close();
    Prepare();
    if (returnsValues()) describeOutput();
    try {
        fb::Status status;
        const bool hasOutput = !d->columns.empty();
        d->statement->execute(status.get(), m_transaction->handle(), nullptr, nullptr,
                              hasOutput ? d->output : nullptr, hasOutput ? d->message.data() : nullptr);
        m_rowsAffected = qint64(d->statement->getAffectedRecords(status.get()));
    } catch (const FbException& e) {
        throw DatabaseError(QStringLiteral("SQL error in %1").arg(Name), databaseName(), fb::statusText(e.getStatus()),
                            fb::statusCode(e.getStatus()), SQL.Text());
    }
}

bool TFbQuery::Active() const {
    return d->active;
}

bool TFbQuery::Eof() const {
    return !d->active || d->eof;
}

bool TFbQuery::IsEmpty() const {
    return !d->active || d->rows.empty();
}

void TFbQuery::First() {
    if (!d->active) return;
    d->position = d->rows.empty() ? -1 : 0;
    d->eof = d->rows.empty();
}

void TFbQuery::Next() {
    if (!d->active || d->eof) return;
    if (d->position + 1 < qsizetype(d->rows.size()) || fetchRow())
        ++d->position;
    else
        d->eof = true; // the last row stays current
}

namespace {

// Equal without regard to the case of the 26 ASCII letters.
bool sameName(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= u'a' && x <= u'z') x -= 32;
        if (y >= u'a' && y <= u'z') y -= 32;
        if (x != y) return false;
    }
    return true;
}

} // namespace

int TFbQuery::columnIndex(const QString& name) const {
    for (size_t i = 0; i < d->columns.size(); ++i)
        if (sameName(d->columns[i].name, name)) return int(i);
    return -1;
}

TFbField TFbQuery::fieldAt(int column) const {
    const fb::Column& c = d->columns[size_t(column)];
    FbValue value;
    if (d->position >= 0) value = d->rows[size_t(d->position)][size_t(column)];
    return TFbField(c.name, c.kind, std::move(value), databaseName());
}

TFbField TFbQuery::FieldByName(const QString& name) const {
    if (!d->active)
        throw DatabaseError(QStringLiteral("Field %1 cannot be read: %2 is not open").arg(name, Name), databaseName());
    const int i = columnIndex(name);
    if (i < 0)
        throw DatabaseError(QStringLiteral("Field %1 not found in %2").arg(name, Name), databaseName(), QString(), 0,
                            SQL.Text());
    return fieldAt(i);
}

bool TFbQuery::hasField(const QString& name) const {
    return columnIndex(name) >= 0;
}

int TFbQuery::FieldCount() const {
    return int(d->columns.size());
}

TFbField TFbQuery::Fields(int index) const {
    if (!d->active || index < 0 || index >= FieldCount())
        throw DatabaseError(QStringLiteral("Field %1 of %2 does not exist or the query is not open").arg(index).arg(Name),
                            databaseName());
    return fieldAt(index);
}

QStringList TFbQuery::FieldNames() const {
    QStringList names;
    for (const fb::Column& c : d->columns) names.append(c.name);
    return names;
}
