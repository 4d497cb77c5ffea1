#pragma once
// Runs SQL scripts such as db/erp-schema.sql and db/demo-data.sql through a
// connection: statements end with ";" (outside quotes and comments), "--" and
// "/* */" comments are skipped, and COMMIT statements commit. SET TERM is not
// supported (write no procedures or triggers with inner ";" in these scripts).

#include <QString>
#include <QStringList>

class TFbDatabase;
class TFbTransaction;

namespace sqlscript {

// The statements of a script, without their ";" and without comments.
[[nodiscard]] QStringList split(const QString& script);

// Runs every statement in the transaction (started when needed), committing
// (retaining) after each schema statement, at each COMMIT and at the end. Throws
// DatabaseError naming the statement that failed.
void run(TFbDatabase& database, TFbTransaction& transaction, const QString& script);

// run() on a UTF-8 file; throws AppError when the file cannot be read.
void runFile(TFbDatabase& database, TFbTransaction& transaction, const QString& path);

} // namespace sqlscript
