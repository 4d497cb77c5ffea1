#include "erp/FbStatementCache.h"

#include "erp/FbMaster.h"

#include <ibase.h>

#include <algorithm>
#include <cstring>

using namespace Firebird;

namespace fb {

namespace {

// The character set of the connection (lc_ctype), whatever it is.
constexpr unsigned kConnectionCharset = 127;

// More shapes than the tasks have; past this the unused ones are dropped.
constexpr int kMaxCachedStatements = 256;

unsigned roundedCapacity(qsizetype bytes) {
    unsigned capacity = 32;
    while (capacity < unsigned(bytes)) capacity *= 2;
    return std::min(capacity, PreparedStatement::kMaxValueBytes);
}

} // namespace

PreparedStatement::PreparedStatement(IStatement* statement, unsigned type, QByteArray text)
    : m_statement(statement), m_type(type), m_text(std::move(text)) {}

PreparedStatement::~PreparedStatement() {
    if (m_output) m_output->release();
    if (m_input) m_input->release();
    if (m_statement) {
        QuietStatus status;
        m_statement->free(status.get());
        if (status.failed()) m_statement->release(); // the connection is gone
    }
}

void PreparedStatement::describeOutput(ThrowStatusWrapper* status) {
    if (m_output) return;
    IMessageMetadata* output = m_statement->getOutputMetadata(status);
    try {
        m_columns = describeColumns(status, output);
        m_outputLength = output->getMessageLength(status);
    } catch (...) {
        output->release();
        m_columns.clear();
        throw;
    }
    m_output = output;
}

bool PreparedStatement::returnsRows(ThrowStatusWrapper* status) {
    if (m_returnsRows < 0) {
        switch (m_type) {
        case isc_info_sql_stmt_insert:
        case isc_info_sql_stmt_update:
        case isc_info_sql_stmt_delete: {
            IMessageMetadata* output = m_statement->getOutputMetadata(status);
            unsigned count = 0;
            try {
                count = output->getCount(status);
            } catch (...) {
                output->release();
                throw;
            }
            output->release();
            m_returnsRows = count > 0 ? 1 : 0;
            break;
        }
        case isc_info_sql_stmt_ddl:
        case isc_info_sql_stmt_start_trans:
        case isc_info_sql_stmt_commit:
        case isc_info_sql_stmt_rollback:
        case isc_info_sql_stmt_set_generator:
        case isc_info_sql_stmt_savepoint:
            m_returnsRows = 0;
            break;
        default:
            m_returnsRows = 1;
        }
    }
    return m_returnsRows == 1;
}

unsigned PreparedStatement::parameterCount(ThrowStatusWrapper* status) {
    if (m_parameterCount < 0) {
        IMessageMetadata* input = m_statement->getInputMetadata(status);
        try {
            m_parameterCount = int(input->getCount(status));
        } catch (...) {
            input->release();
            throw;
        }
        input->release();
    }
    return unsigned(m_parameterCount);
}

void PreparedStatement::layInput(ThrowStatusWrapper* status, const std::vector<QByteArray>& values) {
    const size_t count = values.size();
    std::vector<unsigned> capacity(count);
    for (size_t i = 0; i < count; ++i)
        capacity[i] = std::max(i < m_capacity.size() ? m_capacity[i] : 0u, roundedCapacity(values[i].size()));

    IMessageMetadata* described = m_statement->getInputMetadata(status);
    IMetadataBuilder* builder = nullptr;
    IMessageMetadata* laid = nullptr;
    try {
        builder = described->getBuilder(status);
        for (unsigned i = 0; i < count; ++i) {
            builder->setType(status, i, SQL_VARYING + 1);
            builder->setSubType(status, i, 0);
            builder->setScale(status, i, 0);
            builder->setLength(status, i, capacity[i]);
            builder->setCharSet(status, i, kConnectionCharset);
        }
        laid = builder->getMetadata(status);
        std::vector<unsigned> offset(count), nullOffset(count);
        for (unsigned i = 0; i < count; ++i) {
            offset[i] = laid->getOffset(status, i);
            nullOffset[i] = laid->getNullOffset(status, i);
        }
        m_inputMessage.assign(laid->getMessageLength(status), 0);
        m_offset = std::move(offset);
        m_nullOffset = std::move(nullOffset);
    } catch (...) {
        if (laid) laid->release();
        if (builder) builder->release();
        described->release();
        throw;
    }
    builder->release();
    described->release();
    if (m_input) m_input->release();
    m_input = laid;
    m_capacity = std::move(capacity);
}

PreparedStatement::Input PreparedStatement::bind(ThrowStatusWrapper* status, const std::vector<QByteArray>& values) {
    if (values.empty()) return {};
    bool fits = m_input && m_capacity.size() == values.size();
    for (size_t i = 0; fits && i < values.size(); ++i) fits = unsigned(values[i].size()) <= m_capacity[i];
    if (!fits) layInput(status, values);
    for (size_t i = 0; i < values.size(); ++i) {
        unsigned char* field = m_inputMessage.data() + m_offset[i];
        const auto length = ISC_USHORT(values[i].size());
        std::memcpy(field, &length, sizeof length);
        std::memcpy(field + sizeof length, values[i].constData(), length);
        const ISC_SHORT notNull = 0;
        std::memcpy(m_inputMessage.data() + m_nullOffset[i], &notNull, sizeof notNull);
    }
    return {m_input, m_inputMessage.data()};
}

std::shared_ptr<PreparedStatement> StatementCache::acquire(ThrowStatusWrapper* status, IAttachment* attachment,
                                                           ITransaction* transaction, const QByteArray& text,
                                                           const void* owner) {
    const auto found = m_entries.constFind(text);
    if (found != m_entries.constEnd() &&
        (!found.value()->cursorOwner() || found.value()->cursorOwner() == owner))
        return found.value();

    IStatement* statement = attachment->prepare(status, transaction, 0, text.constData(), SQL_DIALECT_V6,
                                                IStatement::PREPARE_PREFETCH_METADATA);
    unsigned type = 0;
    try {
        type = statement->getType(status);
    } catch (...) {
        QuietStatus quiet;
        statement->free(quiet.get());
        if (quiet.failed()) statement->release();
        throw;
    }
    ++m_preparations;
    auto prepared = std::make_shared<PreparedStatement>(statement, type, text);
    if (found == m_entries.constEnd()) {
        trim();
        m_entries.insert(text, prepared);
    }
    return prepared;
}

void StatementCache::trim() {
    if (m_entries.size() < kMaxCachedStatements) return;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it.value().use_count() == 1)
            it = m_entries.erase(it);
        else
            ++it;
    }
}

void StatementCache::clear() {
    m_entries.clear();
    m_preparations = 0;
}

} // namespace fb
