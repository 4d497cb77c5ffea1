#include "erp/FbDatabase.h"

#include "erp/FbError.h"
#include "erp/FbMaster.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"

#include <ibase.h>

#include <optional>

using namespace Firebird;

namespace {

// The parameter block of an attachment or a database creation.
QByteArray parameterBlock(const TFbDatabase& db, bool create, bool forcedWrites) {
    fb::Status status;
    IXpbBuilder* dpb = fb::util()->getXpbBuilder(status.get(), IXpbBuilder::DPB, nullptr, 0);
    struct Dispose {
        IXpbBuilder* b;
        ~Dispose() { b->dispose(); }
    } guard{dpb};
    dpb->insertString(status.get(), isc_dpb_user_name, db.userName().toUtf8().constData());
    dpb->insertString(status.get(), isc_dpb_password, db.password().toUtf8().constData());
    dpb->insertString(status.get(), isc_dpb_lc_ctype, db.characterSet().toLatin1().constData());
    dpb->insertTag(status.get(), isc_dpb_utf8_filename);
    if (db.connectTimeoutSeconds() > 0)
        dpb->insertInt(status.get(), isc_dpb_connect_timeout, db.connectTimeoutSeconds());
    if (create) {
        dpb->insertString(status.get(), isc_dpb_set_db_charset, db.characterSet().toLatin1().constData());
        dpb->insertInt(status.get(), isc_dpb_sql_dialect, 3);
        dpb->insertInt(status.get(), isc_dpb_force_write, forcedWrites ? 1 : 0);
    }
    return QByteArray(reinterpret_cast<const char*>(dpb->getBuffer(status.get())),
                      int(dpb->getBufferLength(status.get())));
}

} // namespace

TFbDatabase::~TFbDatabase() {
    if (!m_attachment) return;
    if (m_defaultTransaction && m_defaultTransaction->InTransaction()) {
        try {
            m_defaultTransaction->Rollback();
        } catch (const DatabaseError&) {
            m_defaultTransaction->Forget();
        }
    }
    dropHandles();
}

void TFbDatabase::attach(bool create, bool forcedWrites) {
    const QByteArray name = m_databaseName.toUtf8();
    IProvider* provider = fb::master()->getDispatcher();
    try {
        fb::Status status;
        const QByteArray dpb = parameterBlock(*this, create, forcedWrites);
        const auto* block = reinterpret_cast<const unsigned char*>(dpb.constData());
        m_attachment = create
                           ? provider->createDatabase(status.get(), name.constData(), unsigned(dpb.size()), block)
                           : provider->attachDatabase(status.get(), name.constData(), unsigned(dpb.size()), block);
        provider->release();
    } catch (const FbException& e) {
        provider->release();
        m_attachment = nullptr;
        throw ConnectionError(create ? QStringLiteral("Cannot create the database")
                                     : QStringLiteral("Cannot connect to the database"),
                              m_databaseName, fb::statusText(e.getStatus()), fb::statusCode(e.getStatus()));
    }
}

void TFbDatabase::Open() {
    if (m_attachment) return;
    attach(false, true);
}

void TFbDatabase::CreateDatabase(bool forcedWrites) {
    if (m_attachment) Close();
    attach(true, forcedWrites);
}

void TFbDatabase::Close() {
    if (!m_attachment) return;
    CloseDataSets();
    std::optional<DatabaseError> failure;
    if (m_defaultTransaction && m_defaultTransaction->InTransaction()) {
        try {
            m_defaultTransaction->EndByDefaultAction();
        } catch (const DatabaseError& e) {
            // With the connection gone the server has dropped the transaction
            // already; the failure that broke the connection was reported where
            // it happened, and the connection is simply let go.
            if (!fb::isConnectionLost(e.errorCode())) failure = e;
            try {
                m_defaultTransaction->Rollback();
            } catch (const DatabaseError&) {
                m_defaultTransaction->Forget();
            }
        }
    }
    dropHandles();
    if (failure) throw *failure;
}

void TFbDatabase::dropHandles() {
    for (TFbQuery* q : m_queries) q->Unprepare();
    m_statements.clear(); // statements belong to the attachment: freed before it goes
    fb::QuietStatus status;
    m_attachment->detach(status.get());
    if (status.failed()) m_attachment->release(); // the server is gone: let go of the handle
    m_attachment = nullptr;
}

void TFbDatabase::CloseDataSets() {
    for (TFbQuery* q : m_queries) q->Close();
}

void TFbDatabase::CheckConnected(const QString& what) const {
    if (!m_attachment)
        throw DatabaseError(what + QStringLiteral(": the connection is closed"), m_databaseName);
}

void TFbDatabase::registerQuery(TFbQuery* query) {
    if (!m_queries.contains(query)) m_queries.append(query);
}

void TFbDatabase::unregisterQuery(TFbQuery* query) {
    m_queries.removeAll(query);
}
