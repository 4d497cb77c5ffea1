#pragma once
// One field of the current row of a query: its value read in the Delphi manner
// (AsString, AsInteger, AsFloat, ...). Exact numbers (INTEGER, BIGINT, NUMERIC,
// DECIMAL) are kept as a 64-bit integer and a decimal scale, so NUMERIC(18,2)
// and NUMERIC(18,3) values reach the program without binary drift.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// What a column holds, as far as reading it is concerned.
enum class FbValueKind { Exact, Real, Text, Date, Time, Timestamp, Blob, Boolean, Other };

// The value of one column in one row.
struct FbValue {
    bool isNull = true;
    qint64 exact = 0;  // Exact: the value is exact * 10^scale
    int scale = 0;     // Exact: 0 or negative (-2 for NUMERIC(18,2))
    double real = 0;   // Real
    bool boolean = false;
    QString text;      // Text and Blob, decoded from the connection's character set
    QDate date;        // Date, Timestamp
    QTime time;        // Time, Timestamp
};

// A field as returned by TFbQuery::FieldByName: a copy of the current row's value
// with the column's name and kind, valid after the query moves on.
class TFbField {
public:
    TFbField(QString name, FbValueKind kind, FbValue value, QString databaseName);

    [[nodiscard]] const QString& FieldName() const { return m_name; }
    [[nodiscard]] FbValueKind kind() const { return m_kind; }
    [[nodiscard]] bool IsNull() const { return m_value.isNull; }

    // Exact numbers: the exact decimal text with all the column's decimals and "."
    // ("12.50", "-0.05", "4.000"); reals: the shortest text that reads back the
    // same; texts and BLOBs: whole; dates "yyyy-MM-dd", times "HH:mm:ss",
    // timestamps "yyyy-MM-dd HH:mm:ss"; booleans "True"/"False"; null: "".
    [[nodiscard]] QString AsString() const;
    // Exact numbers rounded half away from zero; texts read as decimal integers.
    // Null gives 0. Throws ConversionError outside the 32-bit range or for a text
    // that is not an integer.
    [[nodiscard]] int AsInteger() const;
    [[nodiscard]] qint64 AsLargeInt() const;
    // Exact numbers divided once by their power of ten; texts read with "." or ","
    // as decimal separator. Null gives 0.
    [[nodiscard]] double AsFloat() const;
    // Dates and timestamps; null gives an invalid date. Other kinds throw ConversionError.
    [[nodiscard]] QDate AsDate() const;
    // Times and timestamps; null gives an invalid time.
    [[nodiscard]] QTime AsTime() const;
    // Timestamps; a date at midnight; a time on 30 December 1899. Null: invalid.
    [[nodiscard]] QDateTime AsDateTime() const;
    [[nodiscard]] bool AsBoolean() const;

    // The exact value and its scale (Exact kind only; 0 and 0 otherwise).
    [[nodiscard]] qint64 scaledValue() const { return m_value.exact; }
    [[nodiscard]] int scale() const { return m_value.scale; }

private:
    [[noreturn]] void cannotConvert(const char* target) const;

    QString m_name;
    FbValueKind m_kind;
    FbValue m_value;
    QString m_databaseName;
};

// The exact decimal text of value * 10^scale, e.g. (1250, -2) -> "12.50".
[[nodiscard]] QString exactDecimalText(qint64 value, int scale);
