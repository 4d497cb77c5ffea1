#include "erp/FbTransaction.h"

#include "erp/FbDatabase.h"
#include "erp/FbError.h"
#include "erp/FbMaster.h"

#include <ibase.h>

using namespace Firebird;

namespace {

[[noreturn]] void fail(const QString& what, const QString& database, const FbException& e) {
    throw DatabaseError(what, database, fb::statusText(e.getStatus()), fb::statusCode(e.getStatus()));
}

} // namespace

TFbTransaction::~TFbTransaction() {
    if (m_defaultDatabase && m_defaultDatabase->defaultTransaction() == this)
        m_defaultDatabase->setDefaultTransaction(nullptr);
    if (!m_transaction) return;
    fb::QuietStatus status;
    m_transaction->rollback(status.get());
    if (status.failed()) m_transaction->release();
    m_transaction = nullptr;
}

QString TFbTransaction::databaseName() const {
    return m_defaultDatabase ? m_defaultDatabase->databaseName() : QString();
}

void TFbTransaction::checkActive(const QString& what) const {
    if (!m_transaction)
        throw DatabaseError(what + QStringLiteral(": no transaction is active"), databaseName());
}

void TFbTransaction::closeResults() {
    if (m_defaultDatabase) m_defaultDatabase->CloseDataSets();
}

void TFbTransaction::StartTransaction() {
    const QString what = QStringLiteral("Cannot start a transaction");
    if (!m_defaultDatabase) throw DatabaseError(what + QStringLiteral(": no database is set"), QString());
    m_defaultDatabase->CheckConnected(what);
    if (m_transaction)
        throw DatabaseError(what + QStringLiteral(": a transaction is active already"), databaseName());
    try {
        fb::Status status;
        IXpbBuilder* tpb = fb::util()->getXpbBuilder(status.get(), IXpbBuilder::TPB, nullptr, 0);
        struct Dispose {
            IXpbBuilder* b;
            ~Dispose() { b->dispose(); }
        } guard{tpb};
        tpb->insertTag(status.get(), isc_tpb_read_committed);
        tpb->insertTag(status.get(), isc_tpb_rec_version);
        tpb->insertTag(status.get(), isc_tpb_write);
        tpb->insertTag(status.get(), isc_tpb_wait);
        if (m_lockTimeoutSeconds > 0)
            tpb->insertInt(status.get(), isc_tpb_lock_timeout, m_lockTimeoutSeconds);
        m_transaction = m_defaultDatabase->attachment()->startTransaction(
            status.get(), tpb->getBufferLength(status.get()), tpb->getBuffer(status.get()));
    } catch (const FbException& e) {
        fail(what, databaseName(), e);
    }
}

void TFbTransaction::Commit() {
    const QString what = QStringLiteral("Commit failed");
    checkActive(what);
    closeResults();
    try {
        fb::Status status;
        m_transaction->commit(status.get());
        m_transaction = nullptr;
    } catch (const FbException& e) {
        fail(what, databaseName(), e);
    }
}

void TFbTransaction::CommitRetaining() {
    const QString what = QStringLiteral("Commit failed");
    checkActive(what);
    try {
        fb::Status status;
        m_transaction->commitRetaining(status.get());
    } catch (const FbException& e) {
        fail(what, databaseName(), e);
    }
}

void TFbTransaction::Rollback() {
    const QString what = QStringLiteral("Rollback failed");
    checkActive(what);
    closeResults();
    try {
        fb::Status status;
        m_transaction->rollback(status.get());
        m_transaction = nullptr;
    } catch (const FbException& e) {
        // The transaction cannot be used any more; the server rolls it back when
        // the connection ends.
        Forget();
        fail(what, databaseName(), e);
    }
}

void TFbTransaction::RollbackRetaining() {
    const QString what = QStringLiteral("Rollback failed");
    checkActive(what);
    try {
        fb::Status status;
        m_transaction->rollbackRetaining(status.get());
    } catch (const FbException& e) {
        fail(what, databaseName(), e);
    }
}

void TFbTransaction::setActive(bool active) {
    if (active && !m_transaction) StartTransaction();
    if (!active && m_transaction) Rollback();
}

void TFbTransaction::EndByDefaultAction() {
    if (!m_transaction) return;
    if (m_defaultAction == Action::Commit || m_defaultAction == Action::CommitRetaining)
        Commit();
    else
        Rollback();
}

void TFbTransaction::Forget() {
    if (m_transaction) m_transaction->release();
    m_transaction = nullptr;
}
