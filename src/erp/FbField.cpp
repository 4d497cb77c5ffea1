#include "erp/FbField.h"

#include "support/Errors.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

constexpr qint64 kPow10[] = {1LL,
                             10LL,
                             100LL,
                             1000LL,
                             10000LL,
                             100000LL,
                             1000000LL,
                             10000000LL,
                             100000000LL,
                             1000000000LL,
                             10000000000LL,
                             100000000000LL,
                             1000000000000LL,
                             10000000000000LL,
                             100000000000000LL,
                             1000000000000000LL,
                             10000000000000000LL,
                             100000000000000000LL,
                             1000000000000000000LL};

// value * 10^scale rounded half away from zero to an integer.
qint64 roundExact(qint64 value, int scale) {
    if (scale >= 0) return value; // Firebird scales are never positive
    const int digits = -scale;
    if (digits > 18) return 0;
    const qint64 p = kPow10[digits];
    const qint64 q = value / p;
    const qint64 r = value % p;
    if (r >= 0 ? 2 * quint64(r) >= quint64(p) : 2 * quint64(-r) >= quint64(p)) return q + (r > 0 ? 1 : -1);
    return q;
}

} // namespace

QString exactDecimalText(qint64 value, int scale) {
    const bool negative = value < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
    QString digits = QString::number(magnitude);
    if (scale < 0) {
        const int decimals = -scale;
        if (digits.size() <= decimals) digits = QString(decimals - digits.size() + 1, QLatin1Char('0')) + digits;
        digits.insert(digits.size() - decimals, QLatin1Char('.'));
    }
    return negative ? QLatin1Char('-') + digits : digits;
}

TFbField::TFbField(QString name, FbValueKind kind, FbValue value, QString databaseName)
    : m_name(std::move(name)), m_kind(kind), m_value(std::move(value)), m_databaseName(std::move(databaseName)) {}

void TFbField::cannotConvert(const char* target) const {
    throw ConversionError(QStringLiteral("Field %1 (database %2): '%3' cannot be read as %4")
                              .arg(m_name, m_databaseName, AsString(), QLatin1String(target)));
}

QString TFbField::AsString() const {
    if (m_value.isNull) return {};
    switch (m_kind) {
    case FbValueKind::Exact: return exactDecimalText(m_value.exact, m_value.scale);
    case FbValueKind::Real: return QString::number(m_value.real, 'g', QLocale::FloatingPointShortest);
    case FbValueKind::Text:
    case FbValueKind::Blob: return m_value.text;
    case FbValueKind::Date: return m_value.date.toString(QStringLiteral("yyyy-MM-dd"));
    case FbValueKind::Time: return m_value.time.toString(QStringLiteral("HH:mm:ss"));
    case FbValueKind::Timestamp:
        return m_value.date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
               m_value.time.toString(QStringLiteral("HH:mm:ss"));
    case FbValueKind::Boolean: return m_value.boolean ? QStringLiteral("True") : QStringLiteral("False");
    case FbValueKind::Other: return m_value.text;
    }
    return {};
}

qint64 TFbField::AsLargeInt() const {
    if (m_value.isNull) return 0;
    switch (m_kind) {
    case FbValueKind::Exact: return roundExact(m_value.exact, m_value.scale);
    case FbValueKind::Real: {
        const double r = std::round(m_value.real);
        if (!std::isfinite(r) || std::fabs(r) >= 9.2e18) cannotConvert("an integer");
        return qint64(r);
    }
    case FbValueKind::Text:
    case FbValueKind::Blob: {
        bool ok = false;
        const qint64 v = m_value.text.trimmed().toLongLong(&ok);
        if (!ok) cannotConvert("an integer");
        return v;
    }
    case FbValueKind::Boolean: return m_value.boolean ? 1 : 0;
    default: cannotConvert("an integer");
    }
}

int TFbField::AsInteger() const {
    const qint64 v = AsLargeInt();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        cannotConvert("a 32-bit integer");
    return int(v);
}

double TFbField::AsFloat() const {
    if (m_value.isNull) return 0;
    switch (m_kind) {
    case FbValueKind::Exact:
        if (m_value.scale >= 0 || -m_value.scale > 18) return double(m_value.exact);
        return double(m_value.exact) / double(kPow10[-m_value.scale]);
    case FbValueKind::Real: return m_value.real;
    case FbValueKind::Text:
    case FbValueKind::Blob: {
        QString t = m_value.text.trimmed();
        t.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (!ok) cannotConvert("a number");
        return v;
    }
    case FbValueKind::Boolean: return m_value.boolean ? 1 : 0;
    default: cannotConvert("a number");
    }
}

QDate TFbField::AsDate() const {
    if (m_value.isNull) return {};
    if (m_kind == FbValueKind::Date || m_kind == FbValueKind::Timestamp) return m_value.date;
    cannotConvert("a date");
}

QTime TFbField::AsTime() const {
    if (m_value.isNull) return {};
    if (m_kind == FbValueKind::Time || m_kind == FbValueKind::Timestamp) return m_value.time;
    cannotConvert("a time");
}

QDateTime TFbField::AsDateTime() const {
    if (m_value.isNull) return {};
    switch (m_kind) {
    case FbValueKind::Timestamp: return QDateTime(m_value.date, m_value.time);
    case FbValueKind::Date: return QDateTime(m_value.date, QTime(0, 0));
    case FbValueKind::Time: return QDateTime(QDate(1899, 12, 30), m_value.time);
    default: cannotConvert("a date and time");
    }
}

bool TFbField::AsBoolean() const {
    if (m_value.isNull) return false;
    switch (m_kind) {
    case FbValueKind::Boolean: return m_value.boolean;
    case FbValueKind::Exact: return m_value.exact != 0;
    case FbValueKind::Text: {
        const QString t = m_value.text.trimmed().toUpper();
        if (t == QLatin1String("T") || t == QLatin1String("TRUE") || t == QLatin1String("1")) return true;
        if (t == QLatin1String("F") || t == QLatin1String("FALSE") || t == QLatin1String("0")) return false;
        cannotConvert("a boolean");
    }
    default: cannotConvert("a boolean");
    }
}
