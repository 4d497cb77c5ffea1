#pragma once
// Failures of the ERP database. Each carries Firebird's own message and the
// database name, so the error display and the log say what failed and where.

#include "support/Errors.h"

#include <QString>

namespace Firebird {
class IStatus;
}

// A failed database operation: an SQL error, a field that is missing or of the
// wrong type, a commit that did not go through, a statement on a closed connection.
class DatabaseError : public AppError {
public:
    // message(): what + " (database " + databaseName + ")" + ": " + firebirdMessage
    // (the last part only when Firebird said something), then a line
    // "Statement: ..." when a statement text is given.
    DatabaseError(const QString& what, const QString& databaseName,
                  const QString& firebirdMessage = {}, long errorCode = 0,
                  const QString& statement = {});

    [[nodiscard]] const QString& databaseName() const { return m_databaseName; }
    // Firebird's message, its lines separated by "\n-", as the client formats it.
    [[nodiscard]] const QString& firebirdMessage() const { return m_firebirdMessage; }
    // Firebird's first error code (isc_...), 0 when the failure is the program's own.
    [[nodiscard]] long errorCode() const { return m_errorCode; }

private:
    QString m_databaseName;
    QString m_firebirdMessage;
    long m_errorCode;
};

// The connection could not be made: server unreachable or down, wrong database
// name, login refused, client library or engine missing.
class ConnectionError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

namespace fb {

// Firebird's text for a status vector ("\n-" between its lines).
[[nodiscard]] QString statusText(Firebird::IStatus* status);
// The first error code of a status vector, 0 when there is none.
[[nodiscard]] long statusCode(Firebird::IStatus* status);

// True for the codes that mean the connection itself is gone (network errors,
// server shut down, connection lost).
[[nodiscard]] bool isConnectionLost(long errorCode);

} // namespace fb
