// The data module's connection, transaction and generic statement operations.

#include "support/fixtures/ErpDatabase.h"

#include "erp/FbError.h"
#include "erp/uDtmApi.h"

#include <gtest/gtest.h>

namespace {

class DtmApiSession : public ::testing::Test {
protected:
    DtmApiSession() {
        dtm.setPathBancoDolvex(db.path());
        dtm.dtmConectDolvex(true);
    }

    [[nodiscard]] int flagOf(int ticket) const {
        return db.integer(QStringLiteral("select sinc_korvanta from cupom_fiscal where nro_cupom=%1 and cod_emp=1")
                              .arg(ticket));
    }
    void setFlag(int ticket, const QString& value) {
        dtm.UPDATEFILE_Matriz("Cupom_fiscal", {{"nro_cupom", "=", QString::number(ticket)}, {"cod_emp", "=", "1"}},
                              {"sinc_korvanta", value});
    }
    [[nodiscard]] QString titleOf(int promotion) const {
        return db.text(QStringLiteral("select tit_prom from Korvanta_promo where id_prom=%1").arg(promotion));
    }

    ErpDatabase db{ErpDatabase::Content::Demo};
    TdtmApi dtm;
};

TEST_F(DtmApiSession, OpeningAnOpenConnectionCommitsWhatTheTransactionHeld) {
    setFlag(2935, "2");
    EXPECT_EQ(flagOf(2935), 1) << "not visible before the commit";
    dtm.dtmConectDolvex(true);
    EXPECT_EQ(flagOf(2935), 2);
    EXPECT_TRUE(dtm.dtbDolvex().Connected());
    EXPECT_TRUE(dtm.ibtDolvex().InTransaction());
}

TEST_F(DtmApiSession, ClosingLosesWhatIsUncommitted) {
    setFlag(2935, "2");
    setFlag(2936, "3");
    EXPECT_TRUE(dtm.dtmApiCommit());
    setFlag(2935, "3");
    dtm.dtmConectDolvex(false);
    EXPECT_FALSE(dtm.dtbDolvex().Connected());
    EXPECT_FALSE(dtm.ibtDolvex().InTransaction());
    EXPECT_EQ(flagOf(2935), 2);
    EXPECT_EQ(flagOf(2936), 3);
    dtm.dtmConectDolvex(false); // closing a closed connection is harmless
}

TEST_F(DtmApiSession, ACommitThatFailsRollsBackAndAnswersFalse) {
    // A commit trigger refuses the commit while the session's "block" is set.
    db.exec("create exception commit_blocked 'commit blocked by the test'");
    db.exec("create trigger refuse_commit on transaction commit as begin "
            "if (rdb$get_context('USER_SESSION', 'block') = '1') then exception commit_blocked; end");
    dtm.dtmConectDolvex(true);
    const auto block = [&](const char* value) {
        dtm.qrySelect1().sql() = QStringList{
            QStringLiteral("select rdb$set_context('USER_SESSION', 'block', '%1') from rdb$database")
                .arg(value)};
        dtm.qrySelect1().Open();
        dtm.qrySelect1().Close();
    };

    block("1");
    setFlag(2935, "2");
    EXPECT_FALSE(dtm.dtmApiCommit());
    EXPECT_TRUE(dtm.lastCommitError().contains("commit blocked by the test")) << dtm.lastCommitError().toStdString();
    EXPECT_TRUE(dtm.ibtDolvex().InTransaction()) << "the transaction goes on";

    block("0");
    setFlag(2936, "3");
    EXPECT_TRUE(dtm.dtmApiCommit());
    EXPECT_EQ(flagOf(2935), 1) << "rolled back with the failed commit";
    EXPECT_EQ(flagOf(2936), 3);
    EXPECT_TRUE(dtm.lastCommitError().isEmpty());
}

TEST_F(DtmApiSession, ACommitWithoutAConnectionAnswersFalse) {
    dtm.dtmConectDolvex(false);
    EXPECT_FALSE(dtm.dtmApiCommit());
}

TEST_F(DtmApiSession, SelectFileModes) {
    // "1": the rows stay open for the caller.
    EXPECT_TRUE(dtm.SelectFile("1", "Korvanta_promo", {{"atv_prom", "=", "T"}}));
    EXPECT_EQ(dtm.qrySelect1().sql().lines(),
              QStringList{"Select * From Korvanta_promo Where ( atv_prom=? )"});
    EXPECT_EQ(dtm.qrySelect1().params(), QStringList{"T"});
    EXPECT_EQ(dtm.qrySelect1().FieldByName("ID_PROM").AsInteger(), 101);
    dtm.qrySelect1().Next();
    EXPECT_TRUE(dtm.qrySelect1().Eof());

    // "1" without a match: false, and an empty open result.
    EXPECT_FALSE(dtm.SelectFile("1", "Korvanta_promo", {{"id_prom", "=", "999"}}));
    EXPECT_TRUE(dtm.qrySelect1().Active());
    EXPECT_TRUE(dtm.qrySelect1().Eof());

    // Any other text: false, and qrySelect1 as it was.
    ASSERT_TRUE(dtm.SelectFile("1", "Korvanta_promo", {{"id_prom", "=", "102"}}));
    for (const char* other : {"2", "", " 1", "select", "CLOSE "}) {
        EXPECT_FALSE(dtm.SelectFile(other, "Korvanta_promo", {{"id_prom", "=", "101"}})) << other;
        EXPECT_TRUE(dtm.qrySelect1().Active()) << other;
        EXPECT_EQ(dtm.qrySelect1().FieldByName("id_prom").AsInteger(), 102) << other;
    }

    // "close" in any case closes qrySelect1.
    for (const char* close : {"close", "CLOSE", "Close"}) {
        ASSERT_TRUE(dtm.SelectFile("1", "Korvanta_promo", {{"id_prom", "=", "102"}}));
        EXPECT_FALSE(dtm.SelectFile(close, "", {}));
        EXPECT_FALSE(dtm.qrySelect1().Active()) << close;
    }
}

TEST_F(DtmApiSession, UpdateFromPairsRunsFourLines) {
    dtm.UPDATEFILE_Matriz("Cupom_fiscal", {{"nro_cupom", "=", "2935"}, {"nro_cx", "=", "1"}, {"data_cupom", "=", "12/08/2025"}},
                          {"sinc_korvanta", "2"});
    EXPECT_EQ(dtm.qryProcesso().sql().lines(),
              QStringList({"UPDATE Cupom_fiscal SET", "sinc_korvanta=?", "WHERE",
                           "( nro_cupom=? and nro_cx=? and data_cupom=? )"}));
    EXPECT_EQ(dtm.qryProcesso().params(), QStringList({"2", "2935", "1", "12/08/2025"}));
    EXPECT_EQ(dtm.qryProcesso().RowsAffected(), 1);
    ASSERT_TRUE(dtm.dtmApiCommit());
    EXPECT_EQ(flagOf(2935), 2);
    EXPECT_EQ(db.integer("select sinc_korvanta from cupom_fiscal where nro_cupom=2935 and cod_emp=2"), 1);
}

TEST_F(DtmApiSession, InsertAndUpdateWriteTheSameValueDifferently) {
    const QString title = QStringLiteral("O'Brien leve 12,5 \"kg\"");
    dtm.INSERTFILE("Korvanta_promo", {"id_prom", "7", "tit_prom", title, "desc_prom", ""});
    EXPECT_EQ(dtm.qryProcesso().sql().lines(),
              QStringList(
                  {"Insert into Korvanta_promo", "( id_prom,tit_prom,desc_prom )  ", " Values ( ?,?,? )  "}));
    EXPECT_EQ(dtm.qryProcesso().params(), QStringList({"7", title, ""}));
    ASSERT_TRUE(dtm.dtmApiCommit());
    EXPECT_EQ(titleOf(7), title);
    EXPECT_EQ(db.text("select desc_prom from Korvanta_promo where id_prom=7"), "");

    dtm.UPDATEFILE_Matriz("Korvanta_promo", {{"id_prom", "=", "7"}}, {"tit_prom", title, "desc_prom", ""});
    EXPECT_EQ(dtm.qryProcesso().sql()[1], "tit_prom=?,desc_prom=?");
    EXPECT_EQ(dtm.qryProcesso().params(), QStringList({"O Brien leve 12.5  kg ", "", "7"}));
    ASSERT_TRUE(dtm.dtmApiCommit());
    EXPECT_EQ(titleOf(7), "O Brien leve 12.5  kg ");
}

TEST_F(DtmApiSession, PairListsWithoutAWholePair) {
    // Three elements: one pair, the lone name ignored.
    dtm.UPDATEFILE_Matriz("Korvanta_promo", {{"id_prom", "=", "101"}}, {"tit_prom", "Novo", "desc_prom"});
    EXPECT_EQ(dtm.qryProcesso().sql()[1], "tit_prom=?");
    ASSERT_TRUE(dtm.dtmApiCommit());
    EXPECT_EQ(titleOf(101), "Novo");
    EXPECT_EQ(db.text("select desc_prom from Korvanta_promo where id_prom=101"), "Café solúvel 50g");

    // No pair (or only empty ones): nothing runs.
    const QStringList before = dtm.qryProcesso().sql();
    dtm.UPDATEFILE_Matriz("Korvanta_promo", {{"id_prom", "=", "101"}}, {});
    dtm.UPDATEFILE_Matriz("Korvanta_promo", {{"id_prom", "=", "101"}}, {"", ""});
    dtm.UPDATEFILE_Matriz("tabela_que_nao_existe", {{"id", "=", "1"}}, {"x"});
    EXPECT_EQ(dtm.qryProcesso().sql().lines(), before);

    // An insert without pairs is refused by the database, and inserts nothing.
    const int rows = db.integer("select count(*) from Korvanta_promo");
    try {
        dtm.INSERTFILE("Korvanta_promo", {});
        FAIL() << "an insert without columns must fail";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(dtm.qryProcesso().sql().lines(),
                  QStringList({"Insert into Korvanta_promo", "(  )  ", " Values (  )  "}));
        EXPECT_FALSE(e.firebirdMessage().isEmpty());
        EXPECT_TRUE(e.message().contains(db.path()));
    }
    EXPECT_TRUE(dtm.dtmApiCommit());
    EXPECT_EQ(db.integer("select count(*) from Korvanta_promo"), rows);
}

TEST_F(DtmApiSession, AFailedStatementKeepsEarlierUncommittedWork) {
    setFlag(2935, "2");
    EXPECT_THROW(dtm.UPDATEFILE_Matriz("Cupom_fiscal", {{"nro_cupom", "=", "2936"}}, {"coluna_x", "1"}), DatabaseError);
    EXPECT_THROW(dtm.INSERTFILE("Korvanta_promo", {"id_prom", "101"}), DatabaseError) << "duplicate key";
    EXPECT_TRUE(dtm.dtmApiCommit());
    EXPECT_EQ(flagOf(2935), 2);
}

TEST_F(DtmApiSession, StatementsNeedAnOpenConnection) {
    dtm.dtmConectDolvex(false);
    try {
        dtm.SelectFile("1", "Korvanta_promo", {{"id_prom", "=", "101"}});
        FAIL() << "a selection on a closed connection must fail";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains("closed")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(db.path()));
    }
    EXPECT_THROW(setFlag(2935, "2"), DatabaseError);
}

} // namespace
