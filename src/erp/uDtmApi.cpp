#include "erp/uDtmApi.h"

#include "erp/ErpFieldLists.h"
#include "erp/FbError.h"
#include "erp/SqlTexts.h"

#include <QtGlobal>

#include <optional>

namespace {

// Upper case of the 26 ASCII letters only.
QString asciiUpper(const QString& text) {
    QString upper = text;
    for (QChar& c : upper)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
    return upper;
}

} // namespace

TdtmApi::TdtmApi()
    : m_qrySelect1(&m_dtbDolvex, &m_ibtDolvex, QStringLiteral("qrySelect1")),
      m_qryProcesso(&m_dtbDolvex, &m_ibtDolvex, QStringLiteral("qryProcesso")),
      m_qryCupom(&m_dtbDolvex, &m_ibtDolvex, QStringLiteral("qryCupom")),
      m_qryItensCupom(&m_dtbDolvex, &m_ibtDolvex, QStringLiteral("qryItensCupom")),
      m_qryCupomDelete(&m_dtbDolvex, &m_ibtDolvex, QStringLiteral("qryCupomDelete")),
      m_qryFecha(&m_dtbDolvex, &m_ibtDolvex, QStringLiteral("qryFecha")) {
    m_dtbDolvex.setUserName(loginUser());
    m_dtbDolvex.setPassword(loginPassword());
    m_dtbDolvex.setCharacterSet(QStringLiteral("WIN1252"));
    m_dtbDolvex.setConnectTimeoutSeconds(15);
    m_dtbDolvex.setDefaultTransaction(&m_ibtDolvex);
    m_ibtDolvex.setDefaultDatabase(&m_dtbDolvex);
    m_ibtDolvex.setDefaultAction(TFbTransaction::Action::CommitRetaining);

    m_qryCupom.setFieldList(erpfields::ticketFields());
    m_qryCupomDelete.setFieldList(erpfields::cancellationFields());
    m_qryItensCupom.setFieldList(erpfields::itemFields());
    // The item statement's fixed lines; each ticket gives its parameters.
    m_qryItensCupom.sql() = sqltexts::itemStatement();
}

TdtmApi::~TdtmApi() {
    try {
        dtmConectDolvex(false);
    } catch (const AppError&) {
        // The program is ending; the server rolls back what is left.
    }
}

QString TdtmApi::loginUser() {
    const QString user = qEnvironmentVariable("KORVANTA_ERP_USER");
    return user.isEmpty() ? kUserName : user;
}

QString TdtmApi::loginPassword() {
    const QString password = qEnvironmentVariable("KORVANTA_ERP_PASSWORD");
    return password.isEmpty() ? kPassword : password;
}

void TdtmApi::dtmConectDolvex(bool conect) {
    if (conect) {
        m_dtbDolvex.CloseDataSets();
        m_dtbDolvex.Close(); // an active transaction is committed here
        m_dtbDolvex.setDatabaseName(m_pathBancoDolvex);
        m_dtbDolvex.setUserName(loginUser());
        m_dtbDolvex.setPassword(loginPassword());
        m_dtbDolvex.Open();
        m_ibtDolvex.StartTransaction();
        return;
    }
    std::optional<DatabaseError> failure;
    try {
        m_ibtDolvex.setActive(false); // rolls back what is uncommitted
    } catch (const DatabaseError& e) {
        failure = e;
    }
    m_dtbDolvex.CloseDataSets();
    m_dtbDolvex.Close();
    if (failure) throw *failure;
}

bool TdtmApi::SelectFile(const QString& qualSel, const QString& nomeFile, const SqlWhere& condicao) {
    bool found = false;
    if (qualSel == QLatin1String("1")) {
        m_qrySelect1.Close();
        m_qrySelect1.setStatement(sqltexts::selectFileStatement(nomeFile, condicao));
        m_qrySelect1.Open();
        found = !m_qrySelect1.Eof();
    }
    if (asciiUpper(qualSel) == QLatin1String("CLOSE")) m_qrySelect1.Close();
    return found;
}

void TdtmApi::UPDATEFILE_Matriz(const QString& nomeFile, const SqlWhere& condicao, const QStringList& mDados) {
    const SqlStatement update = sqltexts::updateStatement(nomeFile, mDados, condicao);
    if (update.lines.isEmpty()) return;
    m_qryProcesso.Close();
    m_qryProcesso.setStatement(update);
    m_qryProcesso.ExecSQL();
}

void TdtmApi::INSERTFILE(const QString& nomeFile, const QStringList& mDados) {
    m_qryProcesso.Close();
    m_qryProcesso.setStatement(sqltexts::insertStatement(nomeFile, mDados));
    m_qryProcesso.ExecSQL();
}

bool TdtmApi::dtmApiCommit() {
    try {
        m_ibtDolvex.CommitRetaining();
        m_lastCommitError.clear();
        return true;
    } catch (const DatabaseError& e) {
        m_lastCommitError = e.message();
        try {
            m_ibtDolvex.RollbackRetaining();
        } catch (const DatabaseError&) {
            // Nothing more can be done; the result says the commit failed.
        }
        return false;
    }
}
