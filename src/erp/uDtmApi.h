#pragma once
// The data module dtmApi: the program's one connection to the ERP's Firebird
// database (dtbDolvex), its one transaction (ibtDolvex), the six queries the
// tasks use, and the generic statement operations.
//
// Typical use by a task:
//   dtm.dtmConectDolvex(true);                 // commits what an earlier task left
//   if (dtm.SelectFile("1", "Korvanta_promo", {{"id_prom", "=", "7"}})) ...
//   dtm.UPDATEFILE_Matriz("Cupom_fiscal", condition, {"sinc_korvanta", "2"});
//   dtm.dtmApiCommit();
//   dtm.dtmConectDolvex(false);                // rolls back what is uncommitted
//
// Every statement is built from table and column names; conditions are
// column/comparison/value terms, and every value is a parameter. Each statement
// text is prepared once per opening of the connection and reused.
//
// Failures are DatabaseError (ConnectionError when the connection cannot be
// made), carrying Firebird's message and the database name.

#include "erp/FbDatabase.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"

#include <QString>
#include <QStringList>

class TdtmApi {
public:
    // The fixed administrator login of the ERP database, the default of every
    // opening; KORVANTA_ERP_USER and KORVANTA_ERP_PASSWORD, when set and not
    // empty, override it for shops that changed theirs.
    static inline const QString kUserName = QStringLiteral("SYSDBA");
    static inline const QString kPassword = QStringLiteral("quillfern");
    // The login the next opening uses: the environment's, or the fixed one.
    [[nodiscard]] static QString loginUser();
    [[nodiscard]] static QString loginPassword();

    TdtmApi();
    // Closes the connection; what is uncommitted is rolled back.
    ~TdtmApi();
    TdtmApi(const TdtmApi&) = delete;
    TdtmApi& operator=(const TdtmApi&) = delete;

    // The connection and its transaction.
    [[nodiscard]] TFbDatabase& dtbDolvex() { return m_dtbDolvex; }
    [[nodiscard]] const TFbDatabase& dtbDolvex() const { return m_dtbDolvex; }
    [[nodiscard]] TFbTransaction& ibtDolvex() { return m_ibtDolvex; }
    [[nodiscard]] const TFbTransaction& ibtDolvex() const { return m_ibtDolvex; }
    // General selections; SelectFile.
    [[nodiscard]] TFbQuery& qrySelect1() { return m_qrySelect1; }
    [[nodiscard]] const TFbQuery& qrySelect1() const { return m_qrySelect1; }
    // UPDATE and INSERT statements.
    [[nodiscard]] TFbQuery& qryProcesso() { return m_qryProcesso; }
    [[nodiscard]] const TFbQuery& qryProcesso() const { return m_qryProcesso; }
    // Ticket statement (typed field list).
    [[nodiscard]] TFbQuery& qryCupom() { return m_qryCupom; }
    [[nodiscard]] const TFbQuery& qryCupom() const { return m_qryCupom; }
    // Item statement (typed field list).
    [[nodiscard]] TFbQuery& qryItensCupom() { return m_qryItensCupom; }
    [[nodiscard]] const TFbQuery& qryItensCupom() const { return m_qryItensCupom; }
    // Cancellation statement (typed field list).
    [[nodiscard]] TFbQuery& qryCupomDelete() { return m_qryCupomDelete; }
    [[nodiscard]] const TFbQuery& qryCupomDelete() const { return m_qryCupomDelete; }
    // Totals of the daily closing.
    [[nodiscard]] TFbQuery& qryFecha() { return m_qryFecha; }
    [[nodiscard]] const TFbQuery& qryFecha() const { return m_qryFecha; }

    // The database name used at the next opening ("PATH DOLVEX" of the settings).
    [[nodiscard]] const QString& pathBancoDolvex() const { return m_pathBancoDolvex; }
    void setPathBancoDolvex(const QString& path) { m_pathBancoDolvex = path; }

    // true: closes every open result, disconnects (an active transaction is
    // committed), connects to pathBancoDolvex() as SYSDBA and starts the
    // transaction. Allowed on an open connection. false: rolls the transaction
    // back, closes every open result and disconnects. Throws ConnectionError or
    // DatabaseError.
    void dtmConectDolvex(bool conect);

    // qualSel "1": runs "Select * From <nomeFile> Where ( <condicao> )" in
    // qrySelect1, leaves its rows open and answers whether there is at least one.
    // qualSel "CLOSE" in any letter case: closes qrySelect1. Anything else: nothing.
    // The result is false except for a "1" selection that found rows.
    bool SelectFile(const QString& qualSel, const QString& nomeFile, const SqlWhere& condicao);

    // Runs in qryProcesso: "UPDATE <nomeFile> SET" / assignments / "WHERE" /
    // "( <condicao> )", the assignments built from the pair list mDados (name,
    // value, name, value...; a lone last element is ignored): each value has ","
    // turned into "." and quotes into blanks; an empty value sets the empty text.
    // A list without assignments executes nothing.
    void UPDATEFILE_Matriz(const QString& nomeFile, const SqlWhere& condicao, const QStringList& mDados);

    // Runs in qryProcesso: "Insert into <nomeFile>" / "( columns )  " /
    // " Values ( ?,... )  " with every value as it is. Without pairs the database
    // rejects the statement (DatabaseError).
    void INSERTFILE(const QString& nomeFile, const QStringList& mDados);

    // Commits while keeping the transaction and the open results. When the commit
    // fails: rolls back to the last commit (also retaining), and answers false.
    bool dtmApiCommit();
    // Firebird's message of the last failed dtmApiCommit ("" after a success).
    [[nodiscard]] const QString& lastCommitError() const { return m_lastCommitError; }

private:
    // The database is declared before its transaction and the queries, so that
    // it outlives them.
    TFbDatabase m_dtbDolvex;
    TFbTransaction m_ibtDolvex;
    TFbQuery m_qrySelect1;
    TFbQuery m_qryProcesso;
    TFbQuery m_qryCupom;
    TFbQuery m_qryItensCupom;
    TFbQuery m_qryCupomDelete;
    TFbQuery m_qryFecha;
    QString m_pathBancoDolvex;
    QString m_lastCommitError;
};
