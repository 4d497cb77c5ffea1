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
    : qrySelect1(&dtbDolvex, &ibtDolvex, QStringLiteral("qrySelect1")),
      qryProcesso(&dtbDolvex, &ibtDolvex, QStringLiteral("qryProcesso")),
      qryCupom(&dtbDolvex, &ibtDolvex, QStringLiteral("qryCupom")),
      qryItensCupom(&dtbDolvex, &ibtDolvex, QStringLiteral("qryItensCupom")),
      qryCupomDelete(&dtbDolvex, &ibtDolvex, QStringLiteral("qryCupomDelete")),
      qryFecha(&dtbDolvex, &ibtDolvex, QStringLiteral("qryFecha")) {
    dtbDolvex.UserName = loginUser();
    dtbDolvex.Password = loginPassword();
    dtbDolvex.CharacterSet = QStringLiteral("WIN1252");
    dtbDolvex.ConnectTimeoutSeconds = 15;
    dtbDolvex.DefaultTransaction = &ibtDolvex;
    ibtDolvex.DefaultDatabase = &dtbDolvex;
    ibtDolvex.DefaultAction = TFbTransaction::Action::CommitRetaining;

    qryCupom.setFieldList(erpfields::ticketFields());
    qryCupomDelete.setFieldList(erpfields::cancellationFields());
    qryItensCupom.setFieldList(erpfields::itemFields());
    // The item statement's fixed lines; each ticket gives its parameters.
    qryItensCupom.SQL = sqltexts::itemStatement();
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
        dtbDolvex.CloseDataSets();
        dtbDolvex.Close(); // an active transaction is committed here
        dtbDolvex.DatabaseName = pathBancoDolvex;
        dtbDolvex.UserName = loginUser();
        dtbDolvex.Password = loginPassword();
        dtbDolvex.Open();
        ibtDolvex.StartTransaction();
        return;
    }
    std::optional<DatabaseError> failure;
    try {
        ibtDolvex.setActive(false); // rolls back what is uncommitted
    } catch (const DatabaseError& e) {
        failure = e;
    }
    dtbDolvex.CloseDataSets();
    dtbDolvex.Close();
    if (failure) throw *failure;
}

bool TdtmApi::SelectFile(const QString& qualSel, const QString& nomeFile, const SqlWhere& condicao) {
    bool found = false;
    if (qualSel == QLatin1String("1")) {
        qrySelect1.Close();
        qrySelect1.setStatement(sqltexts::selectFileStatement(nomeFile, condicao));
        qrySelect1.Open();
        found = !qrySelect1.Eof();
    }
    if (asciiUpper(qualSel) == QLatin1String("CLOSE")) qrySelect1.Close();
    return found;
}

void TdtmApi::UPDATEFILE_Matriz(const QString& nomeFile, const SqlWhere& condicao, const QStringList& mDados) {
    const SqlStatement update = sqltexts::updateStatement(nomeFile, mDados, condicao);
    if (update.lines.isEmpty()) return;
    qryProcesso.Close();
    qryProcesso.setStatement(update);
    qryProcesso.ExecSQL();
}

void TdtmApi::INSERTFILE(const QString& nomeFile, const QStringList& mDados) {
    qryProcesso.Close();
    qryProcesso.setStatement(sqltexts::insertStatement(nomeFile, mDados));
    qryProcesso.ExecSQL();
}

bool TdtmApi::dtmApiCommit() {
    try {
        ibtDolvex.CommitRetaining();
        m_lastCommitError.clear();
        return true;
    } catch (const DatabaseError& e) {
        m_lastCommitError = e.message();
        try {
            ibtDolvex.RollbackRetaining();
        } catch (const DatabaseError&) {
            // Nothing more can be done; the result says the commit failed.
        }
        return false;
    }
}
