// The data module's connection, transaction and generic statement operations.

#include "support/fixtures/ErpDatabase.h"

#include "erp/FbError.h"
#include "erp/uDtmApi.h"

#include <gtest/gtest.h>

namespace {

class DtmApiSession : public ::testing::Test {
protected:
    DtmApiSession() {
        dtm.pathBancoDolvex = db.path();
        dtm.dtmConectDolvex(true);
    }

    [[nodiscard]] int flagOf(int ticket) const {
        return db.integer(QStringLiteral("select sinc_korvanta from cupom_fiscal where nro_cupom=%1 and cod_emp=1")
                              .arg(ticket));
    }
    void setFlag(int ticket, const QString& value) {
        dtm.UPDATEFILE_Matriz(QStringLiteral("Cupom_fiscal"), QStringLiteral("nro_cupom=%1 and cod_emp=1").arg(ticket),
                              {QStringLiteral("sinc_korvanta"), value});
    }

    ErpDatabase db{ErpDatabase::Content::Demo};
    TdtmApi dtm;
};

TEST_F(DtmApiSession, OpeningAnOpenConnectionCommitsWhatTheTransactionHeld) {
    setFlag(2935, QStringLiteral("2"));
    EXPECT_EQ(flagOf(2935), 1) << "not visible before the commit";
    dtm.dtmConectDolvex(true);
    EXPECT_EQ(flagOf(2935), 2);
    EXPECT_TRUE(dtm.dtbDolvex.Connected());
    EXPECT_TRUE(dtm.ibtDolvex.InTransaction());
}

TEST_F(DtmApiSession, ClosingLosesWhatIsUncommitted) {
    setFlag(2935, QStringLiteral("2"));
    setFlag(2936, QStringLiteral("3"));
    EXPECT_TRUE(dtm.dtmApiCommit());
    setFlag(2935, QStringLiteral("3"));
    dtm.dtmConectDolvex(false);
    EXPECT_FALSE(dtm.dtbDolvex.Connected());
    EXPECT_EQ(flagOf(2935), 2);
    EXPECT_EQ(flagOf(2936), 3);
}

} // namespace
