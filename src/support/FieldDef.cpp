#include "support/FieldDef.h"

QString fieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::Text: return QStringLiteral("text");
    case FieldType::LongText: return QStringLiteral("long text");
    case FieldType::Float: return QStringLiteral("floating point");
    case FieldType::Date: return QStringLiteral("date");
    case FieldType::Time: return QStringLiteral("time");
    case FieldType::Boolean: return QStringLiteral("boolean");
    }
    return {};
}

QDate dateFromFieldText(const QString& text) {
    const QString t = text.trimmed();
    QDate d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid()) d = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    if (!d.isValid()) d = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    return d;
}

QTime timeFromFieldText(const QString& text) {
    const QString t = text.trimmed();
    QTime time = QTime::fromString(t, QStringLiteral("hh:mm:ss"));
    if (!time.isValid()) time = QTime::fromString(t, QStringLiteral("h:mm:ss"));
    if (!time.isValid()) time = QTime::fromString(t, QStringLiteral("hh:mm"));
    return time;
}
