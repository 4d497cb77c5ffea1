#pragma once
// The column list of a memory table (TMemTable): name, type and, for short
// texts, the size in characters.

#include <QString>

enum class FieldType {
    Text,      // text of at most `size` characters (longer texts are cut on store)
    LongText,  // text of any length
    Float,     // 64-bit floating point
    Date,      // QDate
    Time,      // QTime
    Boolean,   // bool
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;  // characters, for FieldType::Text only
};
