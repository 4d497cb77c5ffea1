#include "erp/FbColumns.h"

#include "support/Codepage.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <cstring>

using namespace Firebird;

namespace {

template <typename T>
T load(const unsigned char* p) {
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}

// Firebird counts dates from 17 November 1858 (Julian day 2400001).
constexpr qint64 kFirebirdEpochJulianDay = 2400001;

QDate decodeDate(ISC_DATE d) {
    return QDate::fromJulianDay(qint64(d) + kFirebirdEpochJulianDay);
}

// Firebird times count ten-thousandths of a second since midnight.
QTime decodeTime(ISC_TIME t) {
    return QTime::fromMSecsSinceStartOfDay(int(t / 10));
}

FbValueKind kindOf(unsigned sqlType) {
    switch (sqlType) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: return FbValueKind::Exact;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return FbValueKind::Real;
    case SQL_TEXT:
    case SQL_VARYING: return FbValueKind::Text;
    case SQL_TYPE_DATE: return FbValueKind::Date;
    case SQL_TYPE_TIME: return FbValueKind::Time;
    case SQL_TIMESTAMP: return FbValueKind::Timestamp;
    case SQL_BLOB: return FbValueKind::Blob;
    case SQL_BOOLEAN: return FbValueKind::Boolean;
    default: return FbValueKind::Other;
    }
}

QByteArray readBlob(ThrowStatusWrapper* status, const ISC_QUAD* id, IAttachment* attachment,
                    ITransaction* transaction) {
    IBlob* blob = attachment->openBlob(status, transaction, const_cast<ISC_QUAD*>(id), 0, nullptr);
    QByteArray bytes;
    try {
        char segment[32768];
        for (;;) {
            unsigned length = 0;
            const int rc = blob->getSegment(status, sizeof segment, segment, &length);
            if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT) break;
            bytes.append(segment, qsizetype(length));
        }
        blob->close(status);
    } catch (...) {
        blob->release();
        throw;
    }
    return bytes;
}

} // namespace

namespace fb {

std::vector<Column> describeColumns(ThrowStatusWrapper* status, IMessageMetadata* meta) {
    std::vector<Column> columns;
    const unsigned count = meta->getCount(status);
    columns.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        Column c;
        c.name = ansi::toUnicode(QByteArray(meta->getAlias(status, i)));
        if (c.name.isEmpty()) c.name = ansi::toUnicode(QByteArray(meta->getField(status, i)));
        c.sqlType = meta->getType(status, i) & ~1u;
        c.subType = meta->getSubType(status, i);
        c.scale = meta->getScale(status, i);
        c.length = meta->getLength(status, i);
        c.offset = meta->getOffset(status, i);
        c.nullOffset = meta->getNullOffset(status, i);
        c.kind = kindOf(c.sqlType);
        columns.push_back(std::move(c));
    }
    return columns;
}

FbValue readValue(ThrowStatusWrapper* status, const Column& c, const unsigned char* message,
                  IAttachment* attachment, ITransaction* transaction) {
    FbValue v;
    if (load<short>(message + c.nullOffset) != 0) return v;
    v.isNull = false;
    const unsigned char* p = message + c.offset;
    switch (c.sqlType) {
    case SQL_SHORT: v.exact = load<qint16>(p); v.scale = c.scale; break;
    case SQL_LONG: v.exact = load<qint32>(p); v.scale = c.scale; break;
    case SQL_INT64: v.exact = load<qint64>(p); v.scale = c.scale; break;
    case SQL_FLOAT: v.real = load<float>(p); break;
    case SQL_DOUBLE:
    case SQL_D_FLOAT: v.real = load<double>(p); break;
    case SQL_TEXT: {
        // CHAR columns come padded with blanks up to their length.
        QByteArray bytes(reinterpret_cast<const char*>(p), qsizetype(c.length));
        while (!bytes.isEmpty() && bytes.endsWith(' ')) bytes.chop(1);
        v.text = ansi::toUnicode(bytes);
        break;
    }
    case SQL_VARYING: {
        const auto length = load<quint16>(p);
        v.text = ansi::toUnicode(QByteArray(reinterpret_cast<const char*>(p + 2), qsizetype(length)));
        break;
    }
    case SQL_TYPE_DATE: v.date = decodeDate(load<ISC_DATE>(p)); break;
    case SQL_TYPE_TIME: v.time = decodeTime(load<ISC_TIME>(p)); break;
    case SQL_TIMESTAMP: {
        const auto ts = load<ISC_TIMESTAMP>(p);
        v.date = decodeDate(ts.timestamp_date);
        v.time = decodeTime(ts.timestamp_time);
        break;
    }
    case SQL_BLOB: {
        const auto id = load<ISC_QUAD>(p);
        v.text = ansi::toUnicode(readBlob(status, &id, attachment, transaction));
        break;
    }
    case SQL_BOOLEAN: v.boolean = *p != 0; break;
    default: v.text = QStringLiteral("(type %1)").arg(c.sqlType); break;
    }
    return v;
}

QString typeName(const Column& c) {
    const auto exact = [&](const char* plain) {
        if (c.scale == 0) return QString::fromLatin1(plain);
        return QStringLiteral("NUMERIC with %1 decimals").arg(-c.scale);
    };
    switch (c.sqlType) {
    case SQL_SHORT: return exact("SMALLINT");
    case SQL_LONG: return exact("INTEGER");
    case SQL_INT64: return exact("BIGINT");
    case SQL_FLOAT: return QStringLiteral("FLOAT");
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return QStringLiteral("DOUBLE PRECISION");
    case SQL_TEXT: return QStringLiteral("CHAR(%1)").arg(c.length);
    case SQL_VARYING: return QStringLiteral("VARCHAR(%1)").arg(c.length);
    case SQL_TYPE_DATE: return QStringLiteral("DATE");
    case SQL_TYPE_TIME: return QStringLiteral("TIME");
    case SQL_TIMESTAMP: return QStringLiteral("TIMESTAMP");
    case SQL_BLOB: return QStringLiteral("BLOB SUB_TYPE %1").arg(c.subType);
    case SQL_BOOLEAN: return QStringLiteral("BOOLEAN");
    default: return QStringLiteral("type %1").arg(c.sqlType);
    }
}

QString kindName(FieldKind kind) {
    switch (kind) {
    case FieldKind::Integer: return QStringLiteral("integer");
    case FieldKind::Numeric: return QStringLiteral("numeric");
    case FieldKind::Date: return QStringLiteral("date");
    case FieldKind::Time: return QStringLiteral("time");
    case FieldKind::Text: return QStringLiteral("text");
    case FieldKind::Blob: return QStringLiteral("blob");
    }
    return {};
}

bool compatible(FieldKind kind, const Column& c) {
    switch (kind) {
    case FieldKind::Integer: return c.kind == FbValueKind::Exact && c.scale == 0;
    case FieldKind::Numeric: return c.kind == FbValueKind::Exact;
    case FieldKind::Date: return c.sqlType == SQL_TYPE_DATE;
    case FieldKind::Time: return c.sqlType == SQL_TYPE_TIME;
    case FieldKind::Text: return c.kind == FbValueKind::Text;
    case FieldKind::Blob: return c.kind == FbValueKind::Blob;
    }
    return false;
}

} // namespace fb
