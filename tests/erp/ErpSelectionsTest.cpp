// The ticket, cancellation and item statements on the demo database: which rows
// each mode picks, the payment-forms rows (99) kept apart from cancellations,
// the company filter, and items whose goods row is missing.

#include "support/fixtures/ErpDatabase.h"

#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"

#include <gtest/gtest.h>

namespace {

const QDate kDec8{2025, 12, 8};

class ErpSelections : public ::testing::Test {
protected:
    ErpSelections() {
        dtm.setPathBancoDolvex(db.path());
        dtm.dtmConectDolvex(true);
    }

    // Ticket numbers the ticket statement picks for a mode and register.
    QList<int> tickets(const QString& mode, int cashRegister, const QString& companyCode = QString()) {
        SqlWhere condition = *sqltexts::ticketModeCondition(mode, kDec8);
        const bool filter = !companyCode.isNull();
        if (filter) condition.add(sqltexts::companyTerm(companyCode));
        dtm.qryCupom().setStatement(sqltexts::ticketStatement(condition, cashRegister, filter));
        return numbers(dtm.qryCupom());
    }
    QList<int> cancellations(const QString& mode, int cashRegister) {
        dtm.qryCupomDelete().setStatement(sqltexts::cancellationStatement(
            *sqltexts::cancellationModeCondition(mode, kDec8), cashRegister, false));
        return numbers(dtm.qryCupomDelete());
    }
    static QList<int> numbers(TFbQuery& q) {
        QList<int> found;
        for (q.Open(); !q.Eof(); q.Next()) found << q.FieldByName("NRO_CUPOM").AsInteger();
        return found;
    }
    // The registers listed by a distinct selection on a table.
    QList<int> registers(const QString& table, const SqlWhere& condition) {
        dtm.qrySelect1().setStatement(sqltexts::registerList(table, condition));
        QList<int> found;
        for (dtm.qrySelect1().Open(); !dtm.qrySelect1().Eof(); dtm.qrySelect1().Next())
            found << dtm.qrySelect1().FieldByName("nro_cx").AsInteger();
        return found;
    }

    ErpDatabase db{ErpDatabase::Content::Demo};
    TdtmApi dtm;
};

TEST_F(ErpSelections, PendingModesPickOnlyTheirFlagAndTheDateModePicksEveryFlag) {
    EXPECT_EQ(tickets("Pendentes-1", 1), QList<int>({2901, 2935, 2936})) << "2937 has flag 2";
    EXPECT_EQ(tickets("Pendentes-1", 2), QList<int>({1501})) << "1502 has flag 3, 1503 flag 0";
    EXPECT_EQ(tickets("Pendentes-3", 2), QList<int>({1502}));
    EXPECT_EQ(tickets("Pendentes-3", 1), QList<int>());
    EXPECT_EQ(tickets("Data", 1), QList<int>({2935, 2936, 2937}));
    EXPECT_EQ(tickets("Data", 2), QList<int>({1501, 1502, 1503}));
    EXPECT_EQ(registers("cupom_fiscal", *sqltexts::ticketModeCondition("Pendentes-1", kDec8)), QList<int>({1, 2, 3, 4}));
}

TEST_F(ErpSelections, CompanyFilterUsesTheCodeWithALeadingZero) {
    EXPECT_EQ(tickets("Pendentes-1", 4, "2"), QList<int>({2935})) << "c.cod_emp=02";
    EXPECT_EQ(tickets("Pendentes-1", 4, "1"), QList<int>());
    EXPECT_EQ(tickets("Pendentes-1", 1, "1"), QList<int>({2901, 2935, 2936}));
    EXPECT_EQ(tickets("Pendentes-1", 1, ""), QList<int>()) << "c.cod_emp=0";
    db.exec("update cupom_fiscal set cod_emp=12 where nro_cupom=2936");
    db.exec("update KORVANTA_DELETE set cod_emp=12 where nro_cupom=2936");
    EXPECT_EQ(tickets("Pendentes-1", 1, "12"), QList<int>({2936})) << "c.cod_emp=012";
    EXPECT_FALSE(dtm.qryCupom().FieldByName("FORMASPGTO").IsNull()) << "payment forms of the same company";
}

TEST_F(ErpSelections, TicketsCarryTheirFirstPaymentFormsText) {
    ASSERT_EQ(tickets("Pendentes-1", 1), QList<int>({2901, 2935, 2936}));
    TFbQuery& q = dtm.qryCupom();
    q.First();
    q.Next();
    EXPECT_TRUE(q.FieldByName("formasPgto").IsNull()) << "2935 has no payment-forms row";
    EXPECT_EQ(q.FieldByName("SUB_TOT").AsString(), "45.60");
    EXPECT_EQ(q.FieldByName("HORA").AsTime(), QTime(15, 12));
    EXPECT_EQ(q.FieldByName("FORMA_PAG").AsString(), "DINHEIRO");
    q.Next();
    EXPECT_EQ(q.FieldByName("FORMASPGTO").AsString(), "Dinheiro^50.00\r\nCartao Credito^20,00");
    EXPECT_EQ(q.FieldByName("VLR_TRO").AsFloat(), 4.4);

    // With several payment-forms rows the first one found is taken.
    db.exec("insert into KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, sinc_korv) "
            "values (2936, 1, '12/08/2025', 1, 'Cheque^65.60', 99)");
    ASSERT_EQ(tickets("Pendentes-1", 1), QList<int>({2901, 2935, 2936}));
    const QString forms = dtm.qryCupom().FieldByName("FORMASPGTO").AsString();
    EXPECT_TRUE(forms == "Cheque^65.60" || forms == "Dinheiro^50.00\r\nCartao Credito^20,00") << forms.toStdString();
}

TEST_F(ErpSelections, PaymentFormsRowsAreNeverCancellations) {
    // Ticket 2930 of register 1 has a cancellation row and a payment-forms row under one key.
    EXPECT_EQ(cancellations("Pendentes-1", 1), QList<int>({2930}));
    EXPECT_EQ(dtm.qryCupomDelete().FieldByName("SINC_KORV").AsInteger(), 1);
    EXPECT_EQ(dtm.qryCupomDelete().FieldByName("FORMASPGTO").AsString(), "Dinheiro^35.38");
    EXPECT_TRUE(dtm.qryCupomDelete()
                    .FieldByName("MEMO_KORV")
                    .AsString()
                    .startsWith("2025-12-08T10:05:00.000-0300\r\nCUPOM 2930 CX 1\r\n"));
    EXPECT_EQ(cancellations("Data", 1), QList<int>({2930})) << "2936's and 2930's payment-forms rows stay out";
    EXPECT_EQ(cancellations("Pendentes-3", 1), QList<int>());
    EXPECT_EQ(cancellations("Data", 2), QList<int>({1490}));
    EXPECT_TRUE(dtm.qryCupomDelete().FieldByName("FORMASPGTO").IsNull());

    // A register with payment-forms rows only is not listed.
    db.exec("insert into KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, sinc_korv) "
            "values (5000, 5, '12/08/2025', 1, 'Dinheiro^1.00', 99)");
    EXPECT_EQ(registers("KORVANTA_DELETE", *sqltexts::cancellationModeCondition("Data", kDec8)), QList<int>({1, 2}));

    // The daily closing counts cancellations only.
    dtm.qryFecha().setStatement(
        sqltexts::closingCancellationTotals(kDec8, kDec8, SqlWhere{{"nro_cx", "=", "1"}}));
    dtm.qryFecha().Open();
    EXPECT_EQ(dtm.qryFecha().FieldByName("Cancela").AsString(), "35.38");
    EXPECT_EQ(dtm.qryFecha().FieldByName("nroCancela").AsInteger(), 1);

    // The flag update changes the cancellation row, never the payment-forms row.
    dtm.UPDATEFILE_Matriz(sqltexts::kCancellationTable, sqltexts::cancellationFlagCondition(2930, 1, kDec8, 1),
                          {sqltexts::kCancellationFlag, "2"});
    ASSERT_TRUE(dtm.dtmApiCommit());
    EXPECT_EQ(db.rows("select sinc_korv from KORVANTA_DELETE where nro_cupom=2930 order by sinc_korv"),
              QList<QStringList>({{"2"}, {"99"}}));
    EXPECT_EQ(cancellations("Pendentes-1", 1), QList<int>());
}

TEST_F(ErpSelections, TicketFlagUpdateTouchesOneCompanysTicket) {
    db.exec("insert into cupom_fiscal (nro_cupom, nro_cx, data_cupom, sub_tot, sinc_korvanta, cod_emp) "
            "values (2935, 1, '12/08/2025', 1.00, 1, 3)");
    dtm.UPDATEFILE_Matriz(sqltexts::kTicketTable, sqltexts::ticketFlagCondition(2935, 1, kDec8, 3),
                          {sqltexts::kTicketFlag, "3"});
    ASSERT_TRUE(dtm.dtmApiCommit());
    EXPECT_EQ(db.rows("select cod_emp, sinc_korvanta from cupom_fiscal where nro_cupom=2935 and nro_cx=1 "
                      "order by cod_emp"),
              QList<QStringList>({{"1", "1"}, {"3", "3"}}));
}

TEST_F(ErpSelections, ItemsComeInOrderAndAMissingGoodsRowLeavesBarcodeAndNameEmpty) {
    TFbQuery& items = dtm.qryItensCupom();
    items.setParams(sqltexts::itemParams(2936, 1, kDec8));
    items.Open();
    ASSERT_FALSE(items.Eof());
    EXPECT_EQ(items.FieldByName("COD_MER").AsInteger(), 1004);
    EXPECT_EQ(items.FieldByName("COD_BAR").AsString(), "7894900011517");
    EXPECT_EQ(items.FieldByName("NOM_MER").AsString(), QStringLiteral("PÃO DE QUEIJO 400G"));
    EXPECT_EQ(items.FieldByName("QTD_VEN").AsString(), "2.000");
    EXPECT_EQ(items.FieldByName("VLR_DES_I_KORV").AsFloat(), 0.0);
    items.Next();
    ASSERT_FALSE(items.Eof());
    EXPECT_EQ(items.FieldByName("COD_MER").AsInteger(), 9999);
    EXPECT_EQ(items.FieldByName("COD_BAR").AsString(), "");
    EXPECT_EQ(items.FieldByName("NOM_MER").AsString(), "");
    EXPECT_TRUE(items.FieldByName("VLR_DES_I_KORV").IsNull());
    EXPECT_EQ(items.FieldByName("SUB_TOT").AsString(), "33.80");
    items.Next();
    EXPECT_TRUE(items.Eof());

    // The next ticket gives its parameters only: the statement stays prepared.
    const int prepared = dtm.dtbDolvex().statements().preparations();
    items.setParams(sqltexts::itemParams(2935, 1, kDec8));
    items.Open();
    EXPECT_EQ(items.FieldByName("VLR_DES_I_KORV").AsString(), "2.00");
    EXPECT_EQ(items.FieldByName("QTD_VEN").AsFloat(), 4.0);
    EXPECT_EQ(items.sql().Count(), 5);
    EXPECT_EQ(dtm.dtbDolvex().statements().preparations(), prepared);
}

} // namespace
