// TField: reading and writing one field of a memory table's current row.

#include "support/DecimalText.h"
#include "support/Errors.h"
#include "support/MemTable.h"

#include <cmath>
#include <limits>

const FieldDef& TField::def() const { return m_table->m_fields.at(m_column); }

QVariant TField::value() const { return m_table->fieldValue(m_column); }

bool TField::IsNull() const { return !value().isValid(); }

QString TField::AsString() const { return TMemTable::displayText(value()); }

double TField::AsFloat() const {
    const QVariant v = value();
    if (!v.isValid()) return 0;
    switch (v.typeId()) {
    case QMetaType::Double: return v.toDouble();
    case QMetaType::Bool: return v.toBool() ? 1 : 0;
    case QMetaType::QString: {
        const QString text = v.toString();
        if (text.trimmed().isEmpty()) return 0;
        if (const auto number = parseDecimalText(QStringView(text))) return *number;
        throw ConversionError(QStringLiteral("%1.%2: '%3' is not a valid floating point value")
                                  .arg(m_table->Name(), def().name, text));
    }
    default:
        throw ConversionError(QStringLiteral("%1.%2: a %3 field cannot be read as a number")
                                  .arg(m_table->Name(), def().name, fieldTypeName(def().type)));
    }
}

int TField::AsInteger() const {
    const QVariant v = value();
    if (!v.isValid()) return 0;
    if (v.typeId() == QMetaType::QString) {
        const QString text = v.toString().trimmed();
        if (text.isEmpty()) return 0;
        bool ok = false;
        const int n = text.toInt(&ok);
        if (!ok)
            throw ConversionError(QStringLiteral("%1.%2: '%3' is not a valid integer value")
                                      .arg(m_table->Name(), def().name, v.toString()));
        return n;
    }
    const double rounded = std::nearbyint(AsFloat());
    if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max()))
        throw ConversionError(QStringLiteral("%1.%2: %3 is out of the range of an integer")
                                  .arg(m_table->Name(), def().name, AsString()));
    return static_cast<int>(rounded);
}

QDate TField::AsDate() const {
    const QVariant v = value();
    if (!v.isValid()) return {};
    if (v.typeId() == QMetaType::QDate) return v.toDate();
    if (v.typeId() == QMetaType::QString) {
        if (v.toString().trimmed().isEmpty()) return {};
        const QDate d = dateFromFieldText(v.toString());
        if (d.isValid()) return d;
        throw ConversionError(QStringLiteral("%1.%2: '%3' is not a valid date")
                                  .arg(m_table->Name(), def().name, v.toString()));
    }
    throw ConversionError(QStringLiteral("%1.%2: a %3 field cannot be read as a date")
                              .arg(m_table->Name(), def().name, fieldTypeName(def().type)));
}

QTime TField::AsTime() const {
    const QVariant v = value();
    if (!v.isValid()) return {};
    if (v.typeId() == QMetaType::QTime) return v.toTime();
    if (v.typeId() == QMetaType::QString) {
        if (v.toString().trimmed().isEmpty()) return {};
        const QTime t = timeFromFieldText(v.toString());
        if (t.isValid()) return t;
        throw ConversionError(QStringLiteral("%1.%2: '%3' is not a valid time")
                                  .arg(m_table->Name(), def().name, v.toString()));
    }
    throw ConversionError(QStringLiteral("%1.%2: a %3 field cannot be read as a time")
                              .arg(m_table->Name(), def().name, fieldTypeName(def().type)));
}

void TField::setValue(const QVariant& value) { m_table->setFieldValue(m_column, value); }
