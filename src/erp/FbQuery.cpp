#include "erp/FbQuery.h"

#include "erp/FbColumns.h"
#include "erp/FbDatabase.h"
#include "erp/FbError.h"
#include "erp/FbMaster.h"
#include "erp/FbStatementCache.h"
#include "erp/FbTransaction.h"
#include "support/Codepage.h"

#include <ibase.h>

#include <optional>

using namespace Firebird;

struct TFbQuery::Impl {
    // The prepared statement (shared through the connection's cache) and the
    // buffer a fetched row lands in.
    std::shared_ptr<fb::PreparedStatement> prepared;
    QStringList preparedLines; // the text as given, to skip encoding it again
    // The run of `prepared` whose rows affected RowsAffected() reports.
    quint64 execution = 0;
    std::optional<qint64> rowsAffected;
    std::vector<unsigned char> message;

    // The open result.
    IResultSet* cursor = nullptr;
    bool active = false;
    bool cursorDone = false;
    bool eof = true;
    qsizetype position = -1;
    std::vector<std::vector<FbValue>> rows;

    [[nodiscard]] const std::vector<fb::Column>& columns() const {
        static const std::vector<fb::Column> none;
        return prepared && prepared->output() ? prepared->columns() : none;
    }

    void closeCursor() {
        if (cursor) {
            fb::QuietStatus status;
            cursor->close(status.get());
            if (status.failed()) cursor->release();
            cursor = nullptr;
        }
        if (prepared && prepared->cursorOwner() == this) prepared->setCursorOwner(nullptr);
        active = false;
        cursorDone = false;
        eof = true;
        position = -1;
        rows.clear();
    }

    void freeStatement() {
        closeCursor();
        prepared.reset();
        preparedLines.clear();
        message.clear();
    }
};

TFbQuery::TFbQuery(TFbDatabase* database, TFbTransaction* transaction, QString name)
    : m_name(std::move(name)), m_sql([this] {
          // A new text: the open result and the values of the old one go.
          Close();
          m_params.clear();
      }),
      m_transaction(transaction), d(std::make_unique<Impl>()) {
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
    return m_database ? m_database->databaseName() : QString();
}

void TFbQuery::ensureReady(const QString& what) {
    if (!m_database) throw DatabaseError(what + QStringLiteral(": the query has no database"), QString());
    m_database->CheckConnected(what);
    if (!m_transaction) throw DatabaseError(what + QStringLiteral(": the query has no transaction"), databaseName());
    if (!m_transaction->InTransaction()) m_transaction->StartTransaction();
}

bool TFbQuery::Prepared() const {
    return d->prepared != nullptr;
}

void TFbQuery::setParams(QStringList values) {
    Close();
    m_params = std::move(values);
}

void TFbQuery::setStatement(const SqlStatement& statement) {
    m_sql = statement.lines;
    setParams(statement.params);
}

QString TFbQuery::statementText() const {
    QString text = m_sql.Text();
    if (m_params.isEmpty()) return text;
    QStringList shown;
    for (const QString& value : m_params) {
        QString quoted = value;
        quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
        shown << QLatin1Char('\'') + quoted + QLatin1Char('\'');
    }
    return text + QStringLiteral("\nParameters: ") + shown.join(QStringLiteral(", "));
}

DatabaseError TFbQuery::statementError(const QString& what, const FbException& e) const {
    return DatabaseError(what, databaseName(), fb::statusText(e.getStatus()), fb::statusCode(e.getStatus()),
                         statementText());
}

void TFbQuery::Prepare() {
    const QString what = QStringLiteral("Cannot prepare the statement of %1").arg(m_name);
    ensureReady(what);
    if (d->prepared && d->prepared->handle() && d->preparedLines == m_sql.lines()) return;
    // Another text, or the same one given anew: the connection's cache has it
    // prepared already unless it is new.
    const QByteArray text = ansi::fromUnicode(m_sql.Text());
    d->freeStatement();
    try {
        fb::Status status;
        d->prepared = m_database->statements().acquire(status.get(), m_database->attachment(),
                                                       m_transaction->handle(), text, d.get());
        d->preparedLines = m_sql.lines();
    } catch (const FbException& e) {
        d->freeStatement();
        throw DatabaseError(QStringLiteral("SQL error in %1").arg(m_name), databaseName(),
                            fb::statusText(e.getStatus()), fb::statusCode(e.getStatus()), m_sql.Text());
    }
}

bool TFbQuery::returnsValues() const {
    try {
        fb::Status status;
        return d->prepared->returnsRows(status.get());
    } catch (const FbException& e) {
        throw statementError(QStringLiteral("Cannot describe the result of %1").arg(m_name), e);
    }
}

qint64 TFbQuery::RowsAffected() const {
    // Asked of the server when read (a round trip over the network), and only
    // while the statement has not run again since this query ran it.
    if (!d->rowsAffected && d->prepared && d->prepared->handle() && d->prepared->executions() == d->execution) {
        try {
            fb::Status status;
            d->rowsAffected = qint64(d->prepared->handle()->getAffectedRecords(status.get()));
        } catch (const FbException&) {
            d->rowsAffected = -1;
        }
    }
    return d->rowsAffected.value_or(-1);
}

void TFbQuery::describeOutput() {
    try {
        fb::Status status;
        d->prepared->describeOutput(status.get());
        d->message.assign(d->prepared->outputLength(), 0);
    } catch (const FbException& e) {
        throw DatabaseError(QStringLiteral("Cannot describe the result of %1").arg(m_name), databaseName(),
                            fb::statusText(e.getStatus()), fb::statusCode(e.getStatus()), m_sql.Text());
    }
}

std::pair<IMessageMetadata*, unsigned char*> TFbQuery::bindParams(ThrowStatusWrapper* status) {
    const unsigned expected = d->prepared->parameterCount(status);
    if (expected != unsigned(m_params.size()))
        throw DatabaseError(
            QStringLiteral("%1 has %2 parameters, %3 given").arg(m_name).arg(expected).arg(m_params.size()),
            databaseName(), QString(), 0, statementText());
    std::vector<QByteArray> values;
    values.reserve(size_t(m_params.size()));
    for (const QString& value : m_params) {
        values.push_back(ansi::fromUnicode(value));
        if (unsigned(values.back().size()) > fb::PreparedStatement::kMaxValueBytes)
            throw DatabaseError(QStringLiteral("A value of %1 is longer than %2 bytes")
                                    .arg(m_name)
                                    .arg(fb::PreparedStatement::kMaxValueBytes),
                                databaseName(), QString(), 0, m_sql.Text());
    }
    const fb::PreparedStatement::Input input = d->prepared->bind(status, values);
    return {input.metadata, input.buffer};
}

void TFbQuery::Unprepare() {
    d->freeStatement();
}

void TFbQuery::checkFieldList() const {
    for (const FieldSpec& wanted : m_fieldList) {
        const int i = columnIndex(wanted.name);
        if (i < 0)
            throw DatabaseError(
                QStringLiteral("Field %1 of %2 is missing from the result").arg(wanted.name, m_name),
                databaseName(), QString(), 0, m_sql.Text());
        const fb::Column& c = d->columns()[size_t(i)];
        if (!fb::compatible(wanted.kind, c))
            throw DatabaseError(QStringLiteral("Field %1 of %2 has the type %3, expected %4")
                                    .arg(wanted.name, m_name, fb::typeName(c), fb::kindName(wanted.kind)),
                                databaseName(), QString(), 0, m_sql.Text());
    }
}

void TFbQuery::Open() {
    if (d->active) return;
    Prepare();
    describeOutput();
    if (d->columns().empty())
        throw DatabaseError(QStringLiteral("%1 cannot be opened: the statement returns no rows").arg(m_name),
                            databaseName(), QString(), 0, m_sql.Text());
    checkFieldList();
    try {
        fb::Status status;
        const auto [inputMetadata, inputBuffer] = bindParams(status.get());
        d->cursor = d->prepared->handle()->openCursor(status.get(), m_transaction->handle(), inputMetadata,
                                                      inputBuffer, d->prepared->output(), 0);
        d->prepared->setCursorOwner(d.get());
    } catch (const FbException& e) {
        d->closeCursor();
        throw statementError(QStringLiteral("SQL error in %1").arg(m_name), e);
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
        row.reserve(d->columns().size());
        for (const fb::Column& c : d->columns())
            row.push_back(fb::readValue(status.get(), c, d->message.data(), m_database->attachment(),
                                        m_transaction->handle()));
        d->rows.push_back(std::move(row));
        return true;
    } catch (const FbException& e) {
        d->cursorDone = true;
        throw statementError(QStringLiteral("Cannot read the rows of %1").arg(m_name), e);
    }
}

void TFbQuery::Close() {
    d->closeCursor();
}

void TFbQuery::ExecSQL() {
    Close();
    d->rowsAffected = -1;
    Prepare();
    if (returnsValues()) describeOutput();
    try {
        fb::Status status;
        const bool hasOutput = !d->columns().empty();
        const auto [inputMetadata, inputBuffer] = bindParams(status.get());
        d->prepared->handle()->execute(status.get(), m_transaction->handle(), inputMetadata, inputBuffer,
                                       hasOutput ? d->prepared->output() : nullptr,
                                       hasOutput ? d->message.data() : nullptr);
        d->execution = d->prepared->executed();
        d->rowsAffected.reset();
    } catch (const FbException& e) {
        throw statementError(QStringLiteral("SQL error in %1").arg(m_name), e);
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
    for (size_t i = 0; i < d->columns().size(); ++i)
        if (sameName(d->columns()[i].name, name)) return int(i);
    return -1;
}

TFbField TFbQuery::fieldAt(int column) const {
    const fb::Column& c = d->columns()[size_t(column)];
    FbValue value;
    if (d->position >= 0) value = d->rows[size_t(d->position)][size_t(column)];
    return TFbField(c.name, c.kind, std::move(value), databaseName());
}

TFbField TFbQuery::FieldByName(const QString& name) const {
    if (!d->active)
        throw DatabaseError(QStringLiteral("Field %1 cannot be read: %2 is not open").arg(name, m_name),
                            databaseName());
    const int i = columnIndex(name);
    if (i < 0)
        throw DatabaseError(QStringLiteral("Field %1 not found in %2").arg(name, m_name), databaseName(),
                            QString(), 0, m_sql.Text());
    return fieldAt(i);
}

bool TFbQuery::hasField(const QString& name) const {
    return columnIndex(name) >= 0;
}

int TFbQuery::FieldCount() const {
    return int(d->columns().size());
}

TFbField TFbQuery::Fields(int index) const {
    if (!d->active || index < 0 || index >= FieldCount())
        throw DatabaseError(
            QStringLiteral("Field %1 of %2 does not exist or the query is not open").arg(index).arg(m_name),
            databaseName());
    return fieldAt(index);
}

QStringList TFbQuery::FieldNames() const {
    QStringList names;
    for (const fb::Column& c : d->columns()) names.append(c.name);
    return names;
}
