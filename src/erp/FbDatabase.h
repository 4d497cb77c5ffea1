#pragma once
// A connection to a Firebird database (the data module's dtbDolvex). The
// database name goes to the client unchanged: a file path opens through the
// embedded engine, "host:path" or "host/port:path" through a server.

#include "erp/FbStatementCache.h"

#include <QList>
#include <QString>

namespace Firebird {
class IAttachment;
}

class TFbTransaction;
class TFbQuery;

class TFbDatabase {
public:
    TFbDatabase() = default;
    // Disconnects: an active default transaction is rolled back; errors are ignored.
    ~TFbDatabase();
    TFbDatabase(const TFbDatabase&) = delete;
    TFbDatabase& operator=(const TFbDatabase&) = delete;

    // Settings, read at each Open.
    [[nodiscard]] const QString& databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString& name) { m_databaseName = name; }
    [[nodiscard]] const QString& userName() const { return m_userName; }
    void setUserName(const QString& name) { m_userName = name; }
    [[nodiscard]] const QString& password() const { return m_password; }
    void setPassword(const QString& password) { m_password = password; }
    // "WIN1252" unless set.
    [[nodiscard]] const QString& characterSet() const { return m_characterSet; }
    void setCharacterSet(const QString& characterSet) { m_characterSet = characterSet; }
    // Seconds to wait for a server to answer the connection request; 15 unless set.
    [[nodiscard]] int connectTimeoutSeconds() const { return m_connectTimeoutSeconds; }
    void setConnectTimeoutSeconds(int seconds) { m_connectTimeoutSeconds = seconds; }
    // The transaction ended by Close() with its default action.
    [[nodiscard]] TFbTransaction* defaultTransaction() const { return m_defaultTransaction; }
    void setDefaultTransaction(TFbTransaction* transaction) { m_defaultTransaction = transaction; }

    // Connects with the settings above; never asks the operator anything.
    // Throws ConnectionError with Firebird's message and the database name.
    // Opening an open connection does nothing.
    void Open();
    // Disconnects: closes every query's open result and prepared statement, ends
    // an active default transaction by its default action (a commit for the
    // commit actions, a rollback for the others), then detaches. The connection
    // is closed afterwards even when the commit failed; that failure is then
    // thrown as a DatabaseError, unless the connection itself was lost (the
    // server has dropped the transaction then). Closing a closed connection
    // does nothing.
    void Close();
    // Creates the database file databaseName() (default character set characterSet())
    // and leaves it connected. forcedWrites false makes commits skip the flush to
    // disk (for scratch databases). Throws ConnectionError when it cannot.
    void CreateDatabase(bool forcedWrites = true);

    [[nodiscard]] bool Connected() const { return m_attachment != nullptr; }
    // Closes the open result of every query on this connection.
    void CloseDataSets();
    // Throws DatabaseError "<what>: the connection is closed" unless connected.
    void CheckConnected(const QString& what) const;

    // The client's attachment (nullptr while closed), for code that needs the API itself.
    [[nodiscard]] Firebird::IAttachment* attachment() const { return m_attachment; }

    // The statements prepared on this connection since it was opened; emptied
    // (every statement freed) when it closes.
    [[nodiscard]] fb::StatementCache& statements() { return m_statements; }
    [[nodiscard]] const fb::StatementCache& statements() const { return m_statements; }

    // Queries register themselves so Close() and transaction ends reach them.
    void registerQuery(TFbQuery* query);
    void unregisterQuery(TFbQuery* query);

private:
    void attach(bool create, bool forcedWrites);
    void dropHandles();

    QString m_databaseName;
    QString m_userName;
    QString m_password;
    QString m_characterSet = QStringLiteral("WIN1252");
    int m_connectTimeoutSeconds = 15;
    TFbTransaction* m_defaultTransaction = nullptr;

    Firebird::IAttachment* m_attachment = nullptr;
    QList<TFbQuery*> m_queries;
    fb::StatementCache m_statements;
};
