#pragma once
// The floors' statements: Firebird's OO API used the plainest way. A statement
// is prepared once; its parameters are bound with the types the server
// describes for them (no conversion from texts); a selection's rows are read
// straight from the output message.
//
//   bench::RawStatement update(att, tra, "update cupom_fiscal set sinc_korvanta = ? where nro_cupom = ?");
//   update.setInt(0, 2);
//   update.setInt(1, 2935);
//   update.execute();
//
// Errors are Firebird::FbException (see bench::fbMessage).

#include "erp/FbError.h"
#include "erp/FbMaster.h"

#include <firebird/Interface.h>

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

// Firebird's text of a failure.
inline QString fbMessage(const Firebird::FbException& e) {
    return fb::statusText(e.getStatus());
}

class RawStatement {
  public:
    RawStatement(Firebird::IAttachment* attachment, Firebird::ITransaction* transaction, const char* sql)
        : m_attachment(attachment), m_transaction(transaction),
          m_status(fb::master()->getStatus()) {
        m_statement = attachment->prepare(&m_status, transaction, 0, sql, SQL_DIALECT_V6,
                                          Firebird::IStatement::PREPARE_PREFETCH_METADATA);
        m_in = m_statement->getInputMetadata(&m_status);
        m_out = m_statement->getOutputMetadata(&m_status);
        m_input.assign(m_in->getMessageLength(&m_status), 0);
        m_output.assign(m_out->getMessageLength(&m_status), 0);
        for (unsigned i = 0; i < m_in->getCount(&m_status); ++i) setNull(i);
    }
    ~RawStatement() {
        if (m_cursor) {
            fb::QuietStatus quiet;
            m_cursor->close(quiet.get());
            if (quiet.failed()) m_cursor->release();
        }
        m_in->release();
        m_out->release();
        fb::QuietStatus quiet;
        m_statement->free(quiet.get());
        if (quiet.failed()) m_statement->release(); // the connection is gone
        m_status.dispose();
    }
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;

    // ---- Parameters, each of its described type -------------------------------
    void setNull(unsigned i) { *nullFlag(m_in, m_input, i) = -1; }
    // SMALLINT, INTEGER, BIGINT and exact numbers of any scale.
    void setNumber(unsigned i, double value) {
        const double scaled = value * std::pow(10.0, -m_in->getScale(&m_status, i));
        switch (m_in->getType(&m_status, i)) {
        case SQL_SHORT: put(i, static_cast<ISC_SHORT>(std::llround(scaled))); break;
        case SQL_LONG: put(i, static_cast<ISC_LONG>(std::llround(scaled))); break;
        case SQL_INT64: put(i, static_cast<ISC_INT64>(std::llround(scaled))); break;
        default: put(i, scaled); break; // DOUBLE PRECISION
        }
    }
    void setInt(unsigned i, qint64 value) { setNumber(i, double(value)); }
    void setDate(unsigned i, const QDate& day) { put(i, static_cast<ISC_DATE>(day.toJulianDay() - 2400001)); }
    void setTimestamp(unsigned i, const QDateTime& moment) {
        ISC_TIMESTAMP ts;
        ts.timestamp_date = static_cast<ISC_DATE>(moment.date().toJulianDay() - 2400001);
        ts.timestamp_time = static_cast<ISC_TIME>(moment.time().msecsSinceStartOfDay() * 10);
        put(i, ts);
    }
    // CHAR or VARCHAR, in the connection's character set; cut to the column's length.
    void setText(unsigned i, std::string_view bytes) {
        const unsigned length = m_in->getLength(&m_status, i);
        unsigned char* p = field(m_in, m_input, i);
        const size_t n = std::min<size_t>(bytes.size(), length);
        if (m_in->getType(&m_status, i) == SQL_TEXT) {
            std::memset(p, ' ', length);
            std::memcpy(p, bytes.data(), n);
        } else {
            const auto shortLength = static_cast<ISC_USHORT>(n);
            std::memcpy(p, &shortLength, sizeof shortLength);
            std::memcpy(p + sizeof shortLength, bytes.data(), n);
        }
        *nullFlag(m_in, m_input, i) = 0;
    }

    // ---- Running -----------------------------------------------------------------
    void execute() {
        m_statement->execute(&m_status, m_transaction, m_in, m_input.data(), nullptr, nullptr);
    }
    void open() {
        close();
        m_cursor = m_statement->openCursor(&m_status, m_transaction, m_in, m_input.data(), m_out, 0);
    }
    // The next row into the output message; false past the last one.
    bool fetch() { return m_cursor->fetchNext(&m_status, m_output.data()) == Firebird::IStatus::RESULT_OK; }
    void close() {
        if (!m_cursor) return;
        m_cursor->close(&m_status);
        m_cursor = nullptr;
    }

    // ---- The current row's columns -----------------------------------------------
    [[nodiscard]] bool isNull(unsigned i) { return *nullFlag(m_out, m_output, i) != 0; }
    // Exact numbers of any scale (null: 0).
    [[nodiscard]] double number(unsigned i) {
        if (isNull(i)) return 0;
        const unsigned char* p = field(m_out, m_output, i);
        double raw = 0;
        switch (m_out->getType(&m_status, i)) {
        case SQL_SHORT: raw = get<ISC_SHORT>(p); break;
        case SQL_LONG: raw = get<ISC_LONG>(p); break;
        case SQL_INT64: raw = double(get<ISC_INT64>(p)); break;
        default: return get<double>(p);
        }
        return raw / std::pow(10.0, -m_out->getScale(&m_status, i));
    }
    [[nodiscard]] qint64 integer(unsigned i) { return std::llround(number(i)); }
    [[nodiscard]] QDate date(unsigned i) {
        return isNull(i) ? QDate() : QDate::fromJulianDay(get<ISC_DATE>(field(m_out, m_output, i)) + 2400001);
    }
    [[nodiscard]] QTime time(unsigned i) {
        return isNull(i) ? QTime() : QTime::fromMSecsSinceStartOfDay(int(get<ISC_TIME>(field(m_out, m_output, i)) / 10));
    }
    // CHAR (trailing blanks kept) or VARCHAR bytes.
    [[nodiscard]] std::string_view text(unsigned i) {
        if (isNull(i)) return {};
        const char* p = reinterpret_cast<const char*>(field(m_out, m_output, i));
        if (m_out->getType(&m_status, i) == SQL_TEXT) return {p, m_out->getLength(&m_status, i)};
        return {p + sizeof(ISC_USHORT), get<ISC_USHORT>(reinterpret_cast<const unsigned char*>(p))};
    }
    // A BLOB read whole.
    [[nodiscard]] std::string blob(unsigned i) {
        std::string bytes;
        if (isNull(i)) return bytes;
        ISC_QUAD id = get<ISC_QUAD>(field(m_out, m_output, i));
        Firebird::IBlob* b = m_attachment->openBlob(&m_status, m_transaction, &id, 0, nullptr);
        char buffer[4096];
        unsigned got = 0;
        for (;;) {
            const int rc = b->getSegment(&m_status, sizeof buffer, buffer, &got);
            if (rc != Firebird::IStatus::RESULT_OK && rc != Firebird::IStatus::RESULT_SEGMENT) break;
            bytes.append(buffer, got);
        }
        b->close(&m_status);
        return bytes;
    }

  private:
    unsigned char* field(Firebird::IMessageMetadata* meta, std::vector<unsigned char>& message, unsigned i) {
        return message.data() + meta->getOffset(&m_status, i);
    }
    short* nullFlag(Firebird::IMessageMetadata* meta, std::vector<unsigned char>& message, unsigned i) {
        return reinterpret_cast<short*>(message.data() + meta->getNullOffset(&m_status, i));
    }
    template <typename T> void put(unsigned i, const T& value) {
        std::memcpy(field(m_in, m_input, i), &value, sizeof value);
        *nullFlag(m_in, m_input, i) = 0;
    }
    template <typename T> static T get(const unsigned char* p) {
        T value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }

    Firebird::IAttachment* m_attachment;
    Firebird::ITransaction* m_transaction;
    Firebird::ThrowStatusWrapper m_status;
    Firebird::IStatement* m_statement = nullptr;
    Firebird::IMessageMetadata* m_in = nullptr;
    Firebird::IMessageMetadata* m_out = nullptr;
    Firebird::IResultSet* m_cursor = nullptr;
    std::vector<unsigned char> m_input;
    std::vector<unsigned char> m_output;
};

} // namespace bench
