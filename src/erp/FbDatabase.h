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
    QString DatabaseName;
    QString UserName;
    QString Password;
    QString CharacterSet = QStringLiteral("WIN1252");
    // Seconds to wait for a server to answer the connection request.
    int ConnectTimeoutSeconds = 15;
    // The transaction ended by Close() with its default action.
    TFbTransaction* DefaultTransaction = nullptr;

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
    // Creates the database file DatabaseName (default character set CharacterSet)
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

    Firebird::IAttachment* m_attachment = nullptr;
    QList<TFbQuery*> m_queries;
    fb::StatementCache m_statements;
};
