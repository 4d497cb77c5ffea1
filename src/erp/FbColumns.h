#pragma once
// The columns of a statement's result: their description from the client's
// metadata, the decoding of one column of a fetched row into an FbValue, and
// the compatibility rules of typed field lists.

#include "erp/FbField.h"
#include "erp/FbQuery.h"

#include <QString>

#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
class IMessageMetadata;
class ThrowStatusWrapper;
} // namespace Firebird

namespace fb {

struct Column {
    QString name;        // the column's alias as the server reports it (upper case unless quoted)
    unsigned sqlType = 0; // SQL_* without the nullable bit
    int subType = 0;
    int scale = 0;
    unsigned length = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
    FbValueKind kind = FbValueKind::Other;
};

[[nodiscard]] std::vector<Column> describeColumns(Firebird::ThrowStatusWrapper* status,
                                                  Firebird::IMessageMetadata* meta);

// Decodes one column of a fetched message; BLOBs are read whole through the
// attachment and transaction.
[[nodiscard]] FbValue readValue(Firebird::ThrowStatusWrapper* status, const Column& column,
                                const unsigned char* message, Firebird::IAttachment* attachment,
                                Firebird::ITransaction* transaction);

// "INTEGER", "NUMERIC(18,2)", "VARCHAR(15)", "BLOB SUB_TYPE 1", ...
[[nodiscard]] QString typeName(const Column& column);
// "integer", "numeric", "date", "time", "text", "blob"
[[nodiscard]] QString kindName(FieldKind kind);
[[nodiscard]] bool compatible(FieldKind kind, const Column& column);

} // namespace fb
