#include "erp/FbError.h"

#include "erp/FbMaster.h"
#include "support/Codepage.h"

#include <ibase.h>

#include <array>

namespace {

QString composeMessage(const QString& what, const QString& databaseName,
                       const QString& firebirdMessage, const QString& statement) {
    QString text = what + QStringLiteral(" (database ") + databaseName + QStringLiteral(")");
    if (!firebirdMessage.isEmpty()) text += QStringLiteral(": ") + firebirdMessage;
    if (!statement.isEmpty()) {
        constexpr qsizetype kMaxStatement = 600;
        QString shown = statement;
        if (shown.size() > kMaxStatement) shown = shown.left(kMaxStatement) + QStringLiteral("...");
        text += QStringLiteral("\nStatement: ") + shown;
    }
    return text;
}

} // namespace

DatabaseError::DatabaseError(const QString& what, const QString& databaseName,
                             const QString& firebirdMessage, long errorCode,
                             const QString& statement)
    : AppError(composeMessage(what, databaseName, firebirdMessage, statement)),
      m_databaseName(databaseName),
      m_firebirdMessage(firebirdMessage),
      m_errorCode(errorCode) {}

namespace fb {

QString statusText(Firebird::IStatus* status) {
    if (!status) return {};
    std::array<char, 4096> buffer{};
    util()->formatStatus(buffer.data(), unsigned(buffer.size()), status);
    // Messages quote names and values in the connection's character set.
    return ansi::toUnicode(QByteArray(buffer.data())).trimmed();
}

long statusCode(Firebird::IStatus* status) {
    if (!status) return 0;
    const intptr_t* errors = status->getErrors();
    if (!errors || errors[0] != isc_arg_gds) return 0;
    return long(errors[1]);
}

bool isConnectionLost(long errorCode) {
    switch (errorCode) {
    case isc_network_error:
    case isc_net_read_err:
    case isc_net_write_err:
    case isc_net_connect_err:
    case isc_lost_db_connection:
    case isc_att_shutdown:
    case isc_shutdown:
    case isc_conn_lost:
        return true;
    default:
        return false;
    }
}

} // namespace fb
