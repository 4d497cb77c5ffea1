#pragma once
// The column list of a memory table (TMemTable): name, type and, for short
// texts, the size in characters.

#include <QDate>
#include <QString>
#include <QTime>

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

// "text", "floating point", ... for messages.
[[nodiscard]] QString fieldTypeName(FieldType type);
// Texts that date and time columns accept: dd/MM/yyyy (also d/M/yyyy) or
// yyyy-MM-dd (a time part after it is ignored); hh:mm:ss, h:mm:ss or hh:mm.
// Invalid QDate/QTime when the text is none of these.
[[nodiscard]] QDate dateFromFieldText(const QString& text);
[[nodiscard]] QTime timeFromFieldText(const QString& text);
