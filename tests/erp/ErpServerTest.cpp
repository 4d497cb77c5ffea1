// The data module through a real Firebird server over TCP ("localhost:/path").
// scripts/fbserver starts the server (scripts/test does it before the tests)
// and writes ${TMPDIR}/korvanta-fbserver/ready once SYSDBA can log in. With that
// file present, or under CI, the test must pass; elsewhere it is skipped when no
// server answers on 127.0.0.1:3050.

#include "support/fixtures/ErpDatabase.h"
#include "support/fixtures/FbServer.h"

#include "erp/FbError.h"
#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"

#include <gtest/gtest.h>

namespace {

bool serverRequired() {
    return fbserver::ready() || fbserver::underCi();
}

// The demo database in a folder the server's own user may read and write.
class ServerDatabase {
public:
    [[nodiscard]] QString name() const { return m_name; }

private:
    ErpDatabase db{ErpDatabase::Content::Demo};
    QString m_name = db.overTcp();
};

TEST(ErpServer, TicketsAreReadAndFlaggedThroughTheServer) {
    ServerDatabase server;
    TdtmApi dtm;
    dtm.setPathBancoDolvex(server.name());
    try {
        dtm.dtmConectDolvex(true);
    } catch (const ConnectionError& e) {
        if (serverRequired()) FAIL() << "the Firebird server started by scripts/fbserver is not usable: "
                                     << e.message().toStdString();
        GTEST_SKIP() << "no Firebird server on 127.0.0.1:3050 (scripts/fbserver start): " << e.message().toStdString();
    }

    const QDate day(2025, 12, 8);
    dtm.qryCupom().setStatement(
        sqltexts::ticketStatement(*sqltexts::ticketModeCondition("Pendentes-1", day), 1, false));
    QList<int> tickets;
    QString paymentForms;
    for (dtm.qryCupom().Open(); !dtm.qryCupom().Eof(); dtm.qryCupom().Next()) {
        tickets << dtm.qryCupom().FieldByName("NRO_CUPOM").AsInteger();
        if (tickets.last() == 2936) paymentForms = dtm.qryCupom().FieldByName("FORMASPGTO").AsString();
    }
    EXPECT_EQ(tickets, QList<int>({2901, 2935, 2936}));
    EXPECT_EQ(paymentForms, "Dinheiro^50.00\r\nCartao Credito^20,00");

    dtm.UPDATEFILE_Matriz(sqltexts::kTicketTable, sqltexts::ticketFlagCondition(2935, 1, day, std::nullopt),
                          {sqltexts::kTicketFlag, "2"});
    EXPECT_TRUE(dtm.dtmApiCommit());
    dtm.UPDATEFILE_Matriz(sqltexts::kTicketTable, sqltexts::ticketFlagCondition(2936, 1, day, std::nullopt),
                          {sqltexts::kTicketFlag, "3"});
    dtm.dtmConectDolvex(false); // 2936's flag is lost

    dtm.dtmConectDolvex(true);
    ASSERT_TRUE(dtm.SelectFile("1", "cupom_fiscal", {{"nro_cx", "=", "1"}, {"cod_emp", "=", "1"}, {"data_cupom", "=", "12/08/2025"}}));
    QStringList flags;
    for (; !dtm.qrySelect1().Eof(); dtm.qrySelect1().Next())
        flags << dtm.qrySelect1().FieldByName("nro_cupom").AsString() + "=" +
                     dtm.qrySelect1().FieldByName("sinc_korvanta").AsString();
    flags.sort();
    EXPECT_EQ(flags, QStringList({"2935=2", "2936=1", "2937=2"}));
    EXPECT_TRUE(dtm.SelectFile("1", "mercadorias", {{"cod_red", "=", "1004"}}));
    EXPECT_EQ(dtm.qrySelect1().FieldByName("nom_mer").AsString(), QStringLiteral("PÃO DE QUEIJO 400G"));
    dtm.dtmConectDolvex(false);
}

TEST(ErpServer, AWrongPasswordIsRefusedWithFirebirdsMessage) {
    ServerDatabase server;
    TFbDatabase database;
    database.setDatabaseName(server.name());
    database.setUserName(TdtmApi::kUserName);
    database.setPassword(QStringLiteral("not-the-password"));
    try {
        database.Open();
        FAIL() << "a wrong password must be refused";
    } catch (const ConnectionError& e) {
        if (!serverRequired() && e.message().contains("network", Qt::CaseInsensitive))
            GTEST_SKIP() << "no Firebird server on 127.0.0.1:3050";
        EXPECT_TRUE(e.message().contains(server.name())) << e.message().toStdString();
        EXPECT_TRUE(e.firebirdMessage().contains("user name and password", Qt::CaseInsensitive))
            << e.firebirdMessage().toStdString();
    }
    EXPECT_FALSE(database.Connected());
}

} // namespace
