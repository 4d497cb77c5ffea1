// The SQL texts sent to the ERP, compared line by line.

#include "erp/SqlTexts.h"

#include <gtest/gtest.h>

using namespace sqltexts;

namespace {

const QDate kJune10{2020, 6, 10};

TEST(SqlTexts, DatesAreQuotedMonthFirstLiterals) {
    EXPECT_EQ(dateLiteral(QDate(2023, 3, 15)), "'03/15/2023'");
    EXPECT_EQ(dateLiteral(kJune10), "'06/10/2020'");
    EXPECT_EQ(dateLiteral(QDate(2024, 12, 1)), "'12/01/2024'");
    EXPECT_EQ(quoted("O'Brien"), "'O''Brien'");
}

TEST(SqlTexts, CompanyFiltersKeepTheLeadingZero) {
    EXPECT_EQ(companyCondition("12"), " and c.cod_emp=012");
    EXPECT_EQ(companyCondition("5"), " and c.cod_emp=05");
    EXPECT_EQ(companyCondition(""), " and c.cod_emp=0");
    EXPECT_EQ(closingCompanyCondition("12"), " and cod_emp=012");
}

TEST(SqlTexts, ModeConditions) {
    EXPECT_EQ(ticketModeCondition("Pendentes-1", kJune10), "c.sinc_korvanta = 1");
    EXPECT_EQ(ticketModeCondition("Pendentes-3", kJune10), "c.sinc_korvanta = 3");
    EXPECT_EQ(ticketModeCondition("Data", kJune10), "c.data_cupom='06/10/2020'");
    EXPECT_EQ(cancellationModeCondition("Pendentes-1", kJune10), "c.sinc_korv = 1");
    EXPECT_EQ(cancellationModeCondition("Pendentes-3", kJune10), "c.sinc_korv = 3");
    EXPECT_EQ(cancellationModeCondition("Data", kJune10), "c.sinc_korv <> 99 and c.data_cupom='06/10/2020'");
    EXPECT_FALSE(ticketModeCondition("pendentes-1", kJune10)) << "modes are compared exactly";
    EXPECT_FALSE(cancellationModeCondition("", kJune10));
}

TEST(SqlTexts, TicketStatementWithAndWithoutCompanyFilter) {
    const QStringList plain = ticketStatement("c.sinc_korvanta = 1", 3, false);
    const QStringList expected{"Select c.*, ",
                               "( select first 1 f.memo_korv formasPgto from korvanta_delete f ",
                               "  where f.nro_cupom =  c.nro_cupom ",
                               "    and f.nro_cx =     c.nro_cx ",
                               "    and f.data_cupom = c.data_cupom ",
                               "    and f. sinc_korv = 99 ) formasPgto ",
                               "from cupom_fiscal c",
                               "where c.sinc_korvanta = 1",
                               " and c.nro_cx=3",
                               "order by c.nro_cupom"};
    EXPECT_EQ(plain, expected);

    const QStringList filtered = ticketStatement("c.sinc_korvanta = 1 and c.cod_emp=012", 3, true);
    ASSERT_EQ(filtered.size(), 11);
    EXPECT_EQ(filtered[5], "and f.cod_emp = c.cod_emp ");
    EXPECT_EQ(filtered[8], "where c.sinc_korvanta = 1 and c.cod_emp=012");
}

TEST(SqlTexts, CancellationStatementWithAndWithoutCompanyFilter) {
    const QStringList expected{"Select ",
                               "( select first 1 f.memo_korv formasPgto from korvanta_delete f ",
                               "where f.nro_cupom = c.nro_cupom ",
                               "and f.nro_cx = c.nro_cx ",
                               "and f.data_cupom = c.data_cupom ",
                               "and f.cod_emp = c.cod_emp ",
                               "and f. sinc_korv = 99 ) formasPgto, ",
                               "c.* ",
                               "from KORVANTA_DELETE c ",
                               "where c.sinc_korv = 1 and c.cod_emp=0",
                               " and c.nro_cx=12",
                               "order by c.nro_cupom"};
    EXPECT_EQ(cancellationStatement("c.sinc_korv = 1 and c.cod_emp=0", 12, true), expected);
    QStringList plain = expected;
    plain.removeAt(5);
    plain[8] = "where c.sinc_korv = 1";
    EXPECT_EQ(cancellationStatement("c.sinc_korv = 1", 12, false), plain);
}

TEST(SqlTexts, ItemStatementAndItsTicketLine) {
    const QStringList expected{
        "Select  i.COD_MER, i.VLR_UNI,  i.SUB_TOT, i.QTD_VEN, i.VLR_UNI_O, i.vlr_des_i_korv,",
        "            m.cod_bar, m.nom_mer from itensCupom i",
        "left join mercadorias m on m.cod_red = i.cod_mer",
        "Where nro_cupom=2935 and  nro_cx   =1 and  data_cupom='06/10/2020'",
        "order by i.nro_item"};
    EXPECT_EQ(itemStatement(itemCondition(2935, 1, kJune10)), expected);
    EXPECT_EQ(expected[kItemConditionLine], itemCondition(2935, 1, kJune10));
}

TEST(SqlTexts, FlagUpdateConditions) {
    EXPECT_EQ(ticketFlagCondition(2935, 1, kJune10, std::nullopt),
              "nro_cupom=2935 and nro_cx=1 and  data_cupom='06/10/2020'");
    EXPECT_EQ(ticketFlagCondition(2935, 1, kJune10, 7),
              "nro_cupom=2935 and nro_cx=1 and cod_emp=7 and  data_cupom='06/10/2020'");
    EXPECT_EQ(cancellationFlagCondition(2935, 1, kJune10, std::nullopt),
              "nro_cupom=2935 and nro_cx=1 and sinc_korv<99  and  data_cupom='06/10/2020'");
    EXPECT_EQ(cancellationFlagCondition(2935, 1, kJune10, 7),
              "nro_cupom=2935 and nro_cx=1 and sinc_korv<99  and cod_emp=7 and  data_cupom='06/10/2020'");
}

TEST(SqlTexts, GenericSelectAndUpdate) {
    EXPECT_EQ(selectFileStatement("Korvanta_promo", "id_prom=7"), "Select * From Korvanta_promo Where ( id_prom=7 )");
    EXPECT_EQ(updateStatement("Cupom_fiscal", "sinc_korvanta='2'", "nro_cupom=1"),
              QStringList({"UPDATE Cupom_fiscal SET", "sinc_korvanta='2'", "WHERE", "( nro_cupom=1 )"}));
}

TEST(SqlTexts, UpdateAssignmentsCleanAndQuoteTheValues) {
    struct Case {
        QStringList pairs;
        QString assignments;
    };
    const Case cases[] = {
        {{"sinc_korvanta", "2"}, "sinc_korvanta='2'"},
        {{"preco", "12,5"}, "preco='12.5'"},
        {{"nome", "O'Brien"}, "nome='O Brien'"},
        {{"tit", "Leve 3, pague \"2\""}, "tit='Leve 3. pague  2 '"},
        {{"a", "", "b", "x"}, "a='',b='x'"},
        {{"", "", "b", "x"}, "b='x'"},
        {{"a", "1", "b"}, "a='1'"},  // a lone last element is ignored
        {{"a"}, ""},
        {{}, ""},
        {{"", ""}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(assignmentsFromPairs(c.pairs), c.assignments) << c.pairs.join('|').toStdString();
}

TEST(SqlTexts, InsertQuotesValuesAndKeepsCommas) {
    EXPECT_EQ(insertStatement("Korvanta_promo", {"id_prom", "7", "tit_prom", "O'Brien 12,5 \"x\""}),
              QStringList({"Insert into Korvanta_promo", "( id_prom,tit_prom )  ",
                           " Values ( '7','O''Brien 12,5 \"x\"' )  "}));
    EXPECT_EQ(insertStatement("T", {"a", "", "b"}), QStringList({"Insert into T", "( a )  ", " Values ( '' )  "}));
    EXPECT_EQ(insertStatement("T", {}), QStringList({"Insert into T", "(  )  ", " Values (  )  "}));
}

} // namespace
