// The connection's prepared statements: each statement text is prepared once
// per opening and run again with new values; two queries may run the same text
// at once; everything is prepared afresh after a reopening, also when the
// server dropped the connection in between.

#include "support/fixtures/ErpDatabase.h"

#include "erp/FbError.h"
#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"

#include <QThread>

#include <gtest/gtest.h>

namespace {

const QDate kDec8{2025, 12, 8};

SqlWhere promocaoDe(const QString& id) {
    return SqlWhere{{"id_prom", "=", id}};
}

class StatementCache : public ::testing::Test {
protected:
    void open(const QString& name) {
        dtm.setPathBancoDolvex(name);
        dtm.dtmConectDolvex(true);
    }
    void flag(int ticket, int cashRegister, const QDate& day, const QString& value) {
        dtm.UPDATEFILE_Matriz(sqltexts::kTicketTable, sqltexts::ticketFlagCondition(ticket, cashRegister, day, 1),
                              {sqltexts::kTicketFlag, value});
        ASSERT_TRUE(dtm.dtmApiCommit());
    }
    // What a task does when its run failed: it closes the session, and a
    // failure of the rollback on the lost connection is not the one to report.
    void endTheRun() {
        try {
            dtm.dtmConectDolvex(false);
        } catch (const DatabaseError&) {
        }
        EXPECT_FALSE(dtm.dtbDolvex().Connected());
    }
    [[nodiscard]] int preparations() const { return dtm.dtbDolvex().statements().preparations(); }

    // The data module's attachment, ended from another connection as a
    // server's administrator (or a restart) would end it.
    void dropTheConnection() {
        dtm.qrySelect1().setStatement({{"select current_connection from rdb$database"}, {}});
        dtm.qrySelect1().Open();
        const QString id = dtm.qrySelect1().Fields(0).AsString();
        dtm.qrySelect1().Close();
        db.exec(QStringLiteral("delete from mon$attachments where mon$attachment_id = ") + id);
        // Gone for good, as after a restart: a server still ending it may
        // leave the next request of that attachment without an answer.
        for (int tries = 0; tries < 200; ++tries) {
            if (db.integer(QStringLiteral("select count(*) from mon$attachments where mon$attachment_id = ") + id) == 0)
                return;
            QThread::msleep(50);
        }
        ADD_FAILURE() << "attachment " << id.toStdString() << " is still there";
    }

    ErpDatabase db{ErpDatabase::Content::Demo};
    TdtmApi dtm;
};

TEST_F(StatementCache, EachStatementTextIsPreparedOncePerOpening) {
    open(db.path());
    for (int round = 0; round < 20; ++round) {
        flag(2935, 1, kDec8, round % 2 ? "2" : "3");
        flag(2936, 1, kDec8, "2");
    }
    EXPECT_EQ(preparations(), 1) << "one update text for every flag";
    EXPECT_EQ(db.integer("select sinc_korvanta from cupom_fiscal where nro_cupom=2935 and cod_emp=1"), 2);

    ASSERT_TRUE(dtm.SelectFile("1", "Korvanta_promo", promocaoDe("101")));
    ASSERT_TRUE(dtm.SelectFile("1", "Korvanta_promo", promocaoDe("102")));
    dtm.INSERTFILE("Korvanta_promo", {"id_prom", "7", "atv_prom", "T"});
    dtm.INSERTFILE("Korvanta_promo", {"id_prom", "8", "atv_prom", "F"});
    EXPECT_EQ(preparations(), 3);
    EXPECT_EQ(dtm.dtbDolvex().statements().size(), 3);

    // A reopening frees them all; the next use prepares again.
    open(db.path());
    EXPECT_EQ(dtm.dtbDolvex().statements().size(), 0);
    flag(2935, 1, kDec8, "1");
    EXPECT_EQ(preparations(), 1);
    dtm.dtmConectDolvex(false);
    EXPECT_EQ(dtm.dtbDolvex().statements().size(), 0);
}

TEST_F(StatementCache, TwoQueriesRunTheSameTextAtOnce) {
    open(db.path());
    ASSERT_TRUE(dtm.SelectFile("1", "Korvanta_promo", promocaoDe("101")));
    // The same text in another query while qrySelect1's rows are open.
    dtm.qryFecha().setStatement(sqltexts::selectFileStatement("Korvanta_promo", promocaoDe("102")));
    dtm.qryFecha().Open();
    EXPECT_EQ(dtm.qryFecha().FieldByName("ID_PROM").AsInteger(), 102);
    EXPECT_EQ(dtm.qrySelect1().FieldByName("ID_PROM").AsInteger(), 101);
    dtm.qrySelect1().Next();
    EXPECT_TRUE(dtm.qrySelect1().Eof());
    dtm.qryFecha().Close();
    // Once both are closed, the cached statement serves again.
    ASSERT_TRUE(dtm.SelectFile("1", "Korvanta_promo", promocaoDe("102")));
    EXPECT_EQ(dtm.qrySelect1().FieldByName("ID_PROM").AsInteger(), 102);
}

TEST_F(StatementCache, AParameterCountThatDoesNotMatchIsAnError) {
    open(db.path());
    dtm.qrySelect1().setStatement({{"select * from Korvanta_promo where id_prom=?"}, {"101", "102"}});
    try {
        dtm.qrySelect1().Open();
        FAIL() << "two values for one parameter must fail";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains("1 parameters, 2 given")) << e.message().toStdString();
    }
    dtm.qrySelect1().setParams({"101"});
    dtm.qrySelect1().Open();
    EXPECT_FALSE(dtm.qrySelect1().Eof());
}

TEST_F(StatementCache, AConnectionDroppedBetweenTwoExecutionsEndsInAnErrorAndTheNextOpeningPreparesAfresh) {
    open(db.path());
    flag(2935, 1, kDec8, "2");
    dropTheConnection();
    EXPECT_THROW(flag(2936, 1, kDec8, "2"), DatabaseError);
    endTheRun();
    EXPECT_EQ(dtm.dtbDolvex().statements().size(), 0);

    open(db.path());
    flag(2936, 1, kDec8, "3");
    EXPECT_EQ(preparations(), 1);
    EXPECT_EQ(db.integer("select sinc_korvanta from cupom_fiscal where nro_cupom=2935 and cod_emp=1"), 2);
    EXPECT_EQ(db.integer("select sinc_korvanta from cupom_fiscal where nro_cupom=2936 and cod_emp=1"), 3);
}

} // namespace
