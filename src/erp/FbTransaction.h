#pragma once
// A transaction on one connection (the data module's ibtDolvex): read committed,
// waiting at most LockTimeoutSeconds for a row another program holds locked.
// Ending it (commit or rollback, not the retaining forms) closes the open
// results of the connection's queries, as the server closes their cursors.

#include <QString>

namespace Firebird {
class ITransaction;
}

class TFbDatabase;

class TFbTransaction {
public:
    enum class Action { Rollback, Commit, RollbackRetaining, CommitRetaining };

    TFbTransaction() = default;
    // Rolls an active transaction back; errors are ignored. Declare the database
    // before its transaction, so that the database outlives it.
    ~TFbTransaction();
    TFbTransaction(const TFbTransaction&) = delete;
    TFbTransaction& operator=(const TFbTransaction&) = delete;

    TFbDatabase* DefaultDatabase = nullptr;
    // How the connection's Close() ends the transaction when it is still active:
    // the commit actions commit, the rollback actions roll back.
    Action DefaultAction = Action::CommitRetaining;
    int LockTimeoutSeconds = 30;

    // Starts the transaction; throws DatabaseError when the connection is closed
    // or a transaction is active already.
    void StartTransaction();
    // Commit and Rollback end the transaction; the retaining forms keep it (and
    // the open results) going. Each throws DatabaseError with Firebird's message;
    // a failed Commit or CommitRetaining leaves the transaction active with its work.
    void Commit();
    void CommitRetaining();
    void Rollback();
    void RollbackRetaining();
    [[nodiscard]] bool InTransaction() const { return m_transaction != nullptr; }
    // Active false: an active transaction is rolled back. Active true: started when
    // not yet active.
    void setActive(bool active);
    // Ends an active transaction by DefaultAction (the connection's Close()).
    void EndByDefaultAction();
    // Lets go of the transaction without asking the server (the connection is gone).
    void Forget();

    [[nodiscard]] Firebird::ITransaction* handle() const { return m_transaction; }

private:
    void checkActive(const QString& what) const;
    [[nodiscard]] QString databaseName() const;
    void closeResults();

    Firebird::ITransaction* m_transaction = nullptr;
};
