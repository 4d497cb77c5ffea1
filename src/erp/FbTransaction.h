#pragma once
// A transaction on one connection (the data module's ibtDolvex): read committed,
// waiting at most lockTimeoutSeconds() for a row another program holds locked.
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

    [[nodiscard]] TFbDatabase* defaultDatabase() const { return m_defaultDatabase; }
    void setDefaultDatabase(TFbDatabase* database) { m_defaultDatabase = database; }
    // How the connection's Close() ends the transaction when it is still active:
    // the commit actions commit, the rollback actions roll back. CommitRetaining
    // unless set.
    [[nodiscard]] Action defaultAction() const { return m_defaultAction; }
    void setDefaultAction(Action action) { m_defaultAction = action; }
    // 30 unless set.
    [[nodiscard]] int lockTimeoutSeconds() const { return m_lockTimeoutSeconds; }
    void setLockTimeoutSeconds(int seconds) { m_lockTimeoutSeconds = seconds; }

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
    // Ends an active transaction by defaultAction() (the connection's Close()).
    void EndByDefaultAction();
    // Lets go of the transaction without asking the server (the connection is gone).
    void Forget();

    [[nodiscard]] Firebird::ITransaction* handle() const { return m_transaction; }

private:
    void checkActive(const QString& what) const;
    [[nodiscard]] QString databaseName() const;
    void closeResults();

    TFbDatabase* m_defaultDatabase = nullptr;
    Action m_defaultAction = Action::CommitRetaining;
    int m_lockTimeoutSeconds = 30;
    Firebird::ITransaction* m_transaction = nullptr;
};
