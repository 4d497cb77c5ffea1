// The statements sent to the ERP, compared line by line with their parameters.

#include "erp/SqlTexts.h"
#include "support/Errors.h"

#include <gtest/gtest.h>

using namespace sqltexts;

namespace {

const QDate kJune10{2020, 6, 10};

TEST(SqlTexts, DatesAreMonthFirstTexts) {
    EXPECT_EQ(dateText(QDate(2023, 3, 15)), "03/15/2023");
    EXPECT_EQ(dateText(kJune10), "06/10/2020");
    EXPECT_EQ(dateText(QDate(2024, 12, 1)), "12/01/2024");
}

TEST(SqlTexts, CompanyFiltersKeepTheLeadingZero) {
    EXPECT_EQ(companyTerm("12").value, "012");
    EXPECT_EQ(companyTerm("5").value, "05");
    EXPECT_EQ(companyTerm("").value, "0");
    EXPECT_EQ(companyTerm("12").column, "c.cod_emp");
    EXPECT_EQ(closingCompanyTerm("12").column, "cod_emp");
    EXPECT_EQ(closingCompanyTerm("12").value, "012");
}

TEST(SqlTexts, ModeConditions) {
    struct Case {
        std::optional<SqlWhere> where;
        QString text;
        QStringList values;
    };
    const Case cases[] = {
        {ticketModeCondition("Pendentes-1", kJune10), "c.sinc_korvanta=?", {"1"}},
        {ticketModeCondition("Pendentes-3", kJune10), "c.sinc_korvanta=?", {"3"}},
        {ticketModeCondition("Data", kJune10), "c.data_cupom=?", {"06/10/2020"}},
        {cancellationModeCondition("Pendentes-1", kJune10), "c.sinc_korv=?", {"1"}},
        {cancellationModeCondition("Pendentes-3", kJune10), "c.sinc_korv=?", {"3"}},
        {cancellationModeCondition("Data", kJune10), "c.sinc_korv<>? and c.data_cupom=?", {"99", "06/10/2020"}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.where) << c.text.toStdString();
        EXPECT_EQ(c.where->text(), c.text);
        EXPECT_EQ(c.where->values(), c.values);
    }
    EXPECT_FALSE(ticketModeCondition("pendentes-1", kJune10)) << "modes are compared exactly";
    EXPECT_FALSE(cancellationModeCondition("", kJune10));
}

TEST(SqlTexts, TicketStatementWithAndWithoutCompanyFilter) {
    const SqlStatement plain = ticketStatement(*ticketModeCondition("Pendentes-1", kJune10), 3, false);
    const QStringList expected{"Select c.*, ",
                               "( select first 1 f.memo_korv formasPgto from korvanta_delete f ",
                               "  where f.nro_cupom =  c.nro_cupom ",
                               "    and f.nro_cx =     c.nro_cx ",
                               "    and f.data_cupom = c.data_cupom ",
                               "    and f. sinc_korv = 99 ) formasPgto ",
                               "from cupom_fiscal c",
                               "where c.sinc_korvanta=?",
                               " and c.nro_cx=?",
                               "order by c.nro_cupom"};
    EXPECT_EQ(plain.lines, expected);
    EXPECT_EQ(plain.params, QStringList({"1", "3"}));

    SqlWhere where = *ticketModeCondition("Pendentes-1", kJune10);
    where.add(companyTerm("12"));
    const SqlStatement filtered = ticketStatement(where, 3, true);
    ASSERT_EQ(filtered.lines.size(), 11);
    EXPECT_EQ(filtered.lines[5], "and f.cod_emp = c.cod_emp ");
    EXPECT_EQ(filtered.lines[8], "where c.sinc_korvanta=? and c.cod_emp=?");
    EXPECT_EQ(filtered.params, QStringList({"1", "012", "3"}));
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
                               "where c.sinc_korv=? and c.cod_emp=?",
                               " and c.nro_cx=?",
                               "order by c.nro_cupom"};
    SqlWhere where = *cancellationModeCondition("Pendentes-1", kJune10);
    where.add(companyTerm(""));
    const SqlStatement filtered = cancellationStatement(where, 12, true);
    EXPECT_EQ(filtered.lines, expected);
    EXPECT_EQ(filtered.params, QStringList({"1", "0", "12"}));
    QStringList plain = expected;
    plain.removeAt(5);
    plain[8] = "where c.sinc_korv=?";
    EXPECT_EQ(cancellationStatement(*cancellationModeCondition("Pendentes-1", kJune10), 12, false).lines, plain);
}

TEST(SqlTexts, ItemStatementAndItsTicketParameters) {
    const QStringList expected{
        "Select  i.COD_MER, i.VLR_UNI,  i.SUB_TOT, i.QTD_VEN, i.VLR_UNI_O, i.vlr_des_i_korv,",
        "            m.cod_bar, m.nom_mer from itensCupom i",
        "left join mercadorias m on m.cod_red = i.cod_mer",
        "Where nro_cupom=? and  nro_cx   =? and  data_cupom=?",
        "order by i.nro_item"};
    EXPECT_EQ(itemStatement(), expected);
    EXPECT_EQ(itemParams(2935, 1, kJune10), QStringList({"2935", "1", "06/10/2020"}));
}

TEST(SqlTexts, FlagUpdateConditions) {
    struct Case {
        SqlWhere where;
        QString text;
        QStringList values;
    };
    const Case cases[] = {
        {ticketFlagCondition(2935, 1, kJune10, std::nullopt), "nro_cupom=? and nro_cx=? and data_cupom=?",
         {"2935", "1", "06/10/2020"}},
        {ticketFlagCondition(2935, 1, kJune10, 7), "nro_cupom=? and nro_cx=? and cod_emp=? and data_cupom=?",
         {"2935", "1", "7", "06/10/2020"}},
        {cancellationFlagCondition(2935, 1, kJune10, std::nullopt),
         "nro_cupom=? and nro_cx=? and sinc_korv<? and data_cupom=?", {"2935", "1", "99", "06/10/2020"}},
        {cancellationFlagCondition(2935, 1, kJune10, 7),
         "nro_cupom=? and nro_cx=? and sinc_korv<? and cod_emp=? and data_cupom=?",
         {"2935", "1", "99", "7", "06/10/2020"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.where.text(), c.text);
        EXPECT_EQ(c.where.values(), c.values);
    }
}

TEST(SqlTexts, GenericSelectAndUpdate) {
    const SqlStatement select = selectFileStatement("Korvanta_promo", {{"id_prom", "=", "7"}});
    EXPECT_EQ(select.lines, QStringList({"Select * From Korvanta_promo Where ( id_prom=? )"}));
    EXPECT_EQ(select.params, QStringList({"7"}));
    const SqlStatement update = updateStatement("Cupom_fiscal", {"sinc_korvanta", "2"}, {{"nro_cupom", "=", "1"}});
    EXPECT_EQ(update.lines, QStringList({"UPDATE Cupom_fiscal SET", "sinc_korvanta=?", "WHERE", "( nro_cupom=? )"}));
    EXPECT_EQ(update.params, QStringList({"2", "1"}));
}

TEST(SqlTexts, UpdateAssignmentsCleanTheValues) {
    struct Case {
        QStringList pairs;
        QString assignments;
        QStringList values;
    };
    const Case cases[] = {
        {{"sinc_korvanta", "2"}, "sinc_korvanta=?", {"2"}},
        {{"preco", "12,5"}, "preco=?", {"12.5"}},
        {{"nome", "O'Brien"}, "nome=?", {"O Brien"}},
        {{"tit", "Leve 3, pague \"2\""}, "tit=?", {"Leve 3. pague  2 "}},
        {{"a", "", "b", "x"}, "a=?,b=?", {"", "x"}},
        {{"", "", "b", "x"}, "b=?", {"x"}},
        {{"a", "1", "b"}, "a=?", {"1"}}, // a lone last element is ignored
    };
    for (const Case& c : cases) {
        const SqlStatement s = updateStatement("T", c.pairs, {{"k", "=", "9"}});
        ASSERT_EQ(s.lines.size(), 4) << c.pairs.join('|').toStdString();
        EXPECT_EQ(s.lines[1], c.assignments);
        EXPECT_EQ(s.params, c.values + QStringList{"9"});
    }
    for (const QStringList& nothing : {QStringList{"a"}, QStringList{}, QStringList{"", ""}})
        EXPECT_TRUE(updateStatement("T", nothing, {{"k", "=", "9"}}).lines.isEmpty());
}

TEST(SqlTexts, InsertKeepsValuesAsTheyAre) {
    const SqlStatement insert = insertStatement("Korvanta_promo", {"id_prom", "7", "tit_prom", "O'Brien 12,5 \"x\""});
    EXPECT_EQ(insert.lines, QStringList({"Insert into Korvanta_promo", "( id_prom,tit_prom )  ", " Values ( ?,? )  "}));
    EXPECT_EQ(insert.params, QStringList({"7", "O'Brien 12,5 \"x\""}));
    EXPECT_EQ(insertStatement("T", {"a", "", "b"}).lines, QStringList({"Insert into T", "( a )  ", " Values ( ? )  "}));
    EXPECT_EQ(insertStatement("T", {}).lines, QStringList({"Insert into T", "(  )  ", " Values (  )  "}));
}

TEST(SqlTexts, ClosingTotalsAreGroupedByDayThenRegister) {
    const SqlStatement sales =
        closingSalesTotals(QDate(2025, 12, 1), QDate(2025, 12, 7), SqlWhere{{"nro_cx", "=", "2"}});
    EXPECT_EQ(sales.lines, QStringList({"Select data_cupom, nro_cx, sum(sub_tot) vendas, count(sub_tot) nroVendas "
                                        "from cupom_fiscal",
                                        "where data_cupom>=? and data_cupom<=? and nro_cx=?",
                                        "group by data_cupom, nro_cx", "order by data_cupom, nro_cx"}));
    EXPECT_EQ(sales.params, QStringList({"12/01/2025", "12/07/2025", "2"}));
    const SqlStatement cancellations = closingCancellationTotals(QDate(2025, 12, 1), QDate(2025, 12, 1), {});
    EXPECT_EQ(cancellations.lines[1], "where data_cupom>=? and data_cupom<=? and sinc_korv<>?");
    EXPECT_EQ(cancellations.params, QStringList({"12/01/2025", "12/01/2025", "99"}));
}

TEST(SqlTexts, OnlyNamesReachTheText) {
    // Names come from the program; anything else is refused before it becomes SQL.
    for (const char* bad : {"", "1abc", "id_prom=1 or 1", "a b", "x;drop", "a.b.c", "o'x", ".a"}) {
        EXPECT_THROW(SqlWhere{}.add(bad, "=", "1"), AppError) << bad;
        EXPECT_THROW((void)insertStatement(bad, {"a", "1"}), AppError) << bad;
        EXPECT_THROW((void)updateStatement("T", {bad, "1"}, {}), AppError) << bad;
    }
    EXPECT_THROW(SqlWhere{}.add("a", "= 1 or a", "1"), AppError);
    EXPECT_NO_THROW(SqlWhere{}.add("c.nro_cx", "=", "1"));
    EXPECT_NO_THROW(SqlWhere{}.add("MON$ATTACHMENT_ID", "<>", "1"));
}

} // namespace
