// Reading fields through the data module's queries: exact numbers, dates and
// times, texts in the connection's character set, whole BLOBs, nulls, names
// without regard to case, and moving through the rows.

#include "support/fixtures/ErpDatabase.h"

#include "erp/FbError.h"
#include "erp/uDtmApi.h"

#include <gtest/gtest.h>

namespace {

class FbQueryRead : public ::testing::Test {
protected:
    FbQueryRead() {
        dtm.setPathBancoDolvex(db.path());
        dtm.dtmConectDolvex(true);
    }
    // Opens qrySelect1 on one statement.
    TFbQuery& select(const QString& sql) {
        dtm.qrySelect1().sql() = QStringList{sql};
        dtm.qrySelect1().Open();
        return dtm.qrySelect1();
    }

    ErpDatabase db;
    TdtmApi dtm;
};

TEST_F(FbQueryRead, ExactNumbersKeepEveryDecimal) {
    struct Case {
        const char* stored; // NUMERIC(18,2) or, with three decimals, NUMERIC(18,3)
        const char* text;
        double real;
        int integer;
    };
    const Case money[] = {
        {"0.29", "0.29", 0.29, 0},
        {"45.60", "45.60", 45.6, 46},
        {"-0.05", "-0.05", -0.05, 0},
        {"2.50", "2.50", 2.5, 3},
        {"-2.50", "-2.50", -2.5, -3},
        {"1234567890123456.78", "1234567890123456.78", 1234567890123456.78, 0},
    };
    int item = 0;
    for (const Case& c : money) {
        db.exec(QStringLiteral("insert into itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, sub_tot, qtd_ven) "
                               "values (1, 1, '01/02/2024', %1, %2, %2)")
                    .arg(++item)
                    .arg(QLatin1String(c.stored)));
    }
    TFbQuery& q = select("select sub_tot, qtd_ven from itensCupom order by nro_item");
    for (const Case& c : money) {
        ASSERT_FALSE(q.Eof());
        const TFbField f = q.FieldByName("SUB_TOT");
        EXPECT_EQ(f.AsString(), QLatin1String(c.text));
        EXPECT_EQ(f.AsFloat(), c.real) << c.stored;
        if (QByteArray(c.stored).size() < 10) {
            EXPECT_EQ(f.AsInteger(), c.integer) << c.stored;
        }
        EXPECT_EQ(q.FieldByName("qtd_ven").AsString(), QLatin1String(c.text) + QLatin1Char('0'));
        q.Next();
    }
    EXPECT_TRUE(q.Eof());
    EXPECT_THROW((void)select("select cast(3000000000 as bigint) big from rdb$database").FieldByName("BIG").AsInteger(),
                 ConversionError);
    EXPECT_EQ(dtm.qrySelect1().FieldByName("BIG").AsLargeInt(), 3000000000LL);
}

TEST_F(FbQueryRead, DatesTimesAndTimestamps) {
    db.exec("insert into Korvanta_promo (id_prom, vig_in_dh, vig_out_dh) "
            "values (1, '03/01/2023 08:30:00', '12/31/9999 23:59:59')");
    db.exec("insert into cupom_fiscal (nro_cupom, nro_cx, data_cupom, hora) values (7, 1, '06/10/2020', '15:12:05')");
    db.exec("insert into cupom_fiscal (nro_cupom, nro_cx, data_cupom, hora) values (8, 1, '01/01/1800', '00:00:00')");

    TFbQuery& promo = select("select vig_in_dh, vig_out_dh from Korvanta_promo");
    EXPECT_EQ(promo.FieldByName("vig_in_dh").AsDateTime(), QDateTime(QDate(2023, 3, 1), QTime(8, 30)));
    EXPECT_EQ(promo.FieldByName("vig_out_dh").AsDateTime(), QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)));
    EXPECT_EQ(promo.FieldByName("vig_in_dh").AsString(), "2023-03-01 08:30:00");

    TFbQuery& tickets = select("select data_cupom, hora from cupom_fiscal order by nro_cupom");
    EXPECT_EQ(tickets.FieldByName("DATA_CUPOM").AsDate(), QDate(2020, 6, 10));
    EXPECT_EQ(tickets.FieldByName("HORA").AsTime(), QTime(15, 12, 5));
    EXPECT_EQ(tickets.FieldByName("DATA_CUPOM").AsString(), "2020-06-10");
    EXPECT_EQ(tickets.FieldByName("HORA").AsString(), "15:12:05");
    EXPECT_THROW((void)tickets.FieldByName("HORA").AsDate(), ConversionError);
    tickets.Next();
    EXPECT_EQ(tickets.FieldByName("DATA_CUPOM").AsDate(), QDate(1800, 1, 1)) << "before Firebird's day 0";
}

TEST_F(FbQueryRead, TextsAreStoredInWindows1252AndReadBack) {
    const QString name = QStringLiteral("PÃO DE QUEIJO €5 “ação”");
    dtm.INSERTFILE("mercadorias", {"cod_red", "1", "nom_mer", name});
    dtm.INSERTFILE("mercadorias", {"cod_red", "2", "nom_mer", QStringLiteral("Łódź")});
    ASSERT_TRUE(dtm.dtmApiCommit());

    // One byte per character, with the code page's values.
    EXPECT_EQ(db.integer("select octet_length(nom_mer) from mercadorias where cod_red=1"), name.size());
    EXPECT_EQ(db.integer("select ascii_val(substring(nom_mer from 2 for 1)) from mercadorias where cod_red=1"), 0xC3);
    EXPECT_EQ(db.integer("select ascii_val(substring(nom_mer from 15 for 1)) from mercadorias where cod_red=1"), 0x80);

    TFbQuery& q = select("select nom_mer from mercadorias order by cod_red");
    EXPECT_EQ(q.FieldByName("nom_mer").AsString(), name);
    q.Next();
    EXPECT_EQ(q.FieldByName("nom_mer").AsString(), QStringLiteral("?ód?")) << "characters the code page lacks";
}

TEST_F(FbQueryRead, CharColumnsLoseTheirPadding) {
    db.exec("insert into Korvanta_promo (id_prom, atv_prom, tit_prom) values (1, 'T', 'Leve  ')");
    TFbQuery& q = select("select atv_prom, cast('ab' as char(5)) padded, tit_prom from Korvanta_promo");
    EXPECT_EQ(q.FieldByName("atv_prom").AsString(), "T");
    EXPECT_EQ(q.FieldByName("padded").AsString(), "ab");
    EXPECT_EQ(q.FieldByName("tit_prom").AsString(), "Leve  ") << "VARCHAR keeps its blanks";
}

TEST_F(FbQueryRead, BlobTextIsReadWhole) {
    // About 90,000 bytes: longer than one segment, with line breaks and accents.
    db.exec("insert into KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, sinc_korv, memo_korv) values "
            "(1, 1, '01/02/2024', 99, cast('Início^1.00' || ascii_char(13) || ascii_char(10) as blob sub_type text)"
            " || rpad('', 30000, 'ab') || rpad('', 30000, 'cd') || rpad('', 30000, 'é') || 'FIM')");
    TFbQuery& q = select("select memo_korv from KORVANTA_DELETE");
    const QString memo = q.FieldByName("MEMO_KORV").AsString();
    EXPECT_EQ(memo.size(), 13 + 90000 + 3);
    EXPECT_TRUE(memo.startsWith(QStringLiteral("Início^1.00\r\nabab")));
    EXPECT_TRUE(memo.endsWith(QStringLiteral("éééFIM")));

    // Line breaks inside a literal of the statement reach the database as written.
    db.exec("update KORVANTA_DELETE set memo_korv = 'Dinheiro^1.00\r\nCheque^2,00\n'");
    EXPECT_EQ(select("select memo_korv from KORVANTA_DELETE").FieldByName("memo_korv").AsString(),
              "Dinheiro^1.00\r\nCheque^2,00\n");
}

TEST_F(FbQueryRead, NullsReadAsEmptyAndZero) {
    db.exec("insert into cupom_fiscal (nro_cupom, nro_cx, data_cupom) values (1, 1, '01/02/2024')");
    TFbQuery& q = select("select cpf_cli, sub_tot, hora, cod_cli, "
                         "(select first 1 memo_korv from KORVANTA_DELETE) memo from cupom_fiscal");
    for (const char* name : {"cpf_cli", "sub_tot", "hora", "cod_cli", "memo"}) {
        const TFbField f = q.FieldByName(name);
        EXPECT_TRUE(f.IsNull()) << name;
        EXPECT_EQ(f.AsString(), "") << name;
        EXPECT_EQ(f.AsInteger(), 0) << name;
        EXPECT_EQ(f.AsFloat(), 0.0) << name;
    }
    EXPECT_FALSE(q.FieldByName("hora").AsTime().isValid());
}

TEST_F(FbQueryRead, FieldNamesIgnoreCase) {
    TFbQuery& q = select("select 1 nro_cx, 'x' \"formasPgto\" from rdb$database");
    EXPECT_EQ(q.FieldByName("NRO_CX").AsInteger(), 1);
    EXPECT_EQ(q.FieldByName("Nro_Cx").AsInteger(), 1);
    EXPECT_EQ(q.FieldByName("FORMASPGTO").AsString(), "x");
    EXPECT_EQ(q.FieldNames(), QStringList({"NRO_CX", "formasPgto"}));
    try {
        (void)q.FieldByName("nro_cupom");
        FAIL() << "an unknown field must fail";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains("nro_cupom")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(db.path()));
    }
}

TEST_F(FbQueryRead, MovingThroughTheRows) {
    for (int i = 1; i <= 3; ++i) db.exec(QStringLiteral("insert into mercadorias (cod_red) values (%1)").arg(i));
    TFbQuery& q = select("select cod_red from mercadorias order by cod_red");
    QList<int> seen;
    for (; !q.Eof(); q.Next()) seen << q.FieldByName("cod_red").AsInteger();
    EXPECT_EQ(seen, QList<int>({1, 2, 3}));
    EXPECT_EQ(q.FieldByName("cod_red").AsInteger(), 3) << "the last row stays current at the end";
    q.First();
    EXPECT_FALSE(q.Eof());
    EXPECT_EQ(q.FieldByName("cod_red").AsInteger(), 1);

    q.sql().setLine(0, "select cod_red from mercadorias where cod_red > 5");
    EXPECT_FALSE(q.Active()) << "changing the text closes the result";
    q.Open();
    EXPECT_TRUE(q.Active());
    EXPECT_TRUE(q.Eof());
    EXPECT_TRUE(q.IsEmpty());
}

TEST_F(FbQueryRead, StatementsRunWithExecSQL) {
    TFbQuery& q = dtm.qryProcesso();
    q.sql() = QStringList{"insert into mercadorias (cod_red, nom_mer) values (1, 'a')"};
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 1);
    q.sql() = QStringList{"update mercadorias set nom_mer='b' where cod_red=1 returning cod_red"};
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 1);
    q.sql() = QStringList{"update mercadorias set nom_mer='c' where cod_red=2"};
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 0);
    q.ExecSQL(); // the same text runs again without a new prepare
    EXPECT_TRUE(q.Prepared());
    EXPECT_TRUE(dtm.dtmApiCommit());
    EXPECT_EQ(db.text("select nom_mer from mercadorias where cod_red=1"), "b");
}

TEST_F(FbQueryRead, OpenResultsSurviveACommitButNotAReconnection) {
    for (int i = 1; i <= 3; ++i) db.exec(QStringLiteral("insert into mercadorias (cod_red) values (%1)").arg(i));
    TFbQuery& q = select("select cod_red from mercadorias order by cod_red");
    dtm.UPDATEFILE_Matriz("mercadorias", {{"cod_red", "=", "1"}}, {"nom_mer", "x"});
    ASSERT_TRUE(dtm.dtmApiCommit());
    q.Next();
    EXPECT_EQ(q.FieldByName("cod_red").AsInteger(), 2);
    dtm.dtmConectDolvex(true);
    EXPECT_FALSE(q.Active());
}

} // namespace
