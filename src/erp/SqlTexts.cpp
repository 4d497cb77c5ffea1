#include "erp/SqlTexts.h"

#include <cstdio>

namespace sqltexts {

namespace {

QString number(int value) {
    return QString::number(value);
}

QStringList closingTotals(const QString& select, const QString& table, const SqlWhere& where) {
    return {select + QStringLiteral(" from ") + table, QStringLiteral("where ") + where.text(),
            QStringLiteral("group by data_cupom, nro_cx"), QStringLiteral("order by data_cupom, nro_cx")};
}

SqlWhere closingDays(const QDate& first, const QDate& last) {
    return SqlWhere{}
        .add(QStringLiteral("data_cupom"), QStringLiteral(">="), dateText(first))
        .add(QStringLiteral("data_cupom"), QStringLiteral("<="), dateText(last));
}

} // namespace

QString dateText(const QDate& date) {
    // Month, day and four-digit year, whatever the regional settings (a flag
    // write needs one per ticket: no formatting machinery).
    char text[24];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", date.month(), date.day(), date.year());
    return QString::fromLatin1(text);
}

SqlTerm companyTerm(const QString& companyCode) {
    return {QStringLiteral("c.cod_emp"), QStringLiteral("="), QStringLiteral("0") + companyCode};
}

SqlTerm closingCompanyTerm(const QString& companyCode) {
    return {QStringLiteral("cod_emp"), QStringLiteral("="), QStringLiteral("0") + companyCode};
}

std::optional<SqlWhere> ticketModeCondition(const QString& mode, const QDate& date) {
    const QString flag = QStringLiteral("c.sinc_korvanta");
    if (mode == QLatin1String("Pendentes-1")) return SqlWhere{}.add(flag, QStringLiteral("="), QStringLiteral("1"));
    if (mode == QLatin1String("Pendentes-3")) return SqlWhere{}.add(flag, QStringLiteral("="), QStringLiteral("3"));
    if (mode == QLatin1String("Data"))
        return SqlWhere{}.add(QStringLiteral("c.data_cupom"), QStringLiteral("="), dateText(date));
    return std::nullopt;
}

std::optional<SqlWhere> cancellationModeCondition(const QString& mode, const QDate& date) {
    const QString flag = QStringLiteral("c.sinc_korv");
    if (mode == QLatin1String("Pendentes-1")) return SqlWhere{}.add(flag, QStringLiteral("="), QStringLiteral("1"));
    if (mode == QLatin1String("Pendentes-3")) return SqlWhere{}.add(flag, QStringLiteral("="), QStringLiteral("3"));
    if (mode == QLatin1String("Data"))
        return SqlWhere{}
            .add(flag, QStringLiteral("<>"), QStringLiteral("99"))
            .add(QStringLiteral("c.data_cupom"), QStringLiteral("="), dateText(date));
    return std::nullopt;
}

SqlStatement registerList(const QString& table, const SqlWhere& condition) {
    sqlnames::require(table, "table");
    return {{QStringLiteral("select distinct c.nro_cx from ") + table + QStringLiteral(" c"),
             QStringLiteral("where ") + condition.text()},
            condition.values()};
}

SqlStatement ticketStatement(const SqlWhere& condition, int cashRegister, bool companyFilter) {
    QStringList lines{
        QStringLiteral("Select c.*, "),
        QStringLiteral("( select first 1 f.memo_korv formasPgto from korvanta_delete f "),
        QStringLiteral("  where f.nro_cupom =  c.nro_cupom "),
        QStringLiteral("    and f.nro_cx =     c.nro_cx "),
        QStringLiteral("    and f.data_cupom = c.data_cupom "),
    };
    if (companyFilter) lines << QStringLiteral("and f.cod_emp = c.cod_emp ");
    lines << QStringLiteral("    and f. sinc_korv = 99 ) formasPgto ")
          << QStringLiteral("from cupom_fiscal c")
          << QStringLiteral("where ") + condition.text()
          << QStringLiteral(" and c.nro_cx=?")
          << QStringLiteral("order by c.nro_cupom");
    return {lines, condition.values() << number(cashRegister)};
}

SqlStatement cancellationStatement(const SqlWhere& condition, int cashRegister, bool companyFilter) {
    QStringList lines{
        QStringLiteral("Select "),
        QStringLiteral("( select first 1 f.memo_korv formasPgto from korvanta_delete f "),
        QStringLiteral("where f.nro_cupom = c.nro_cupom "),
        QStringLiteral("and f.nro_cx = c.nro_cx "),
        QStringLiteral("and f.data_cupom = c.data_cupom "),
    };
    if (companyFilter) lines << QStringLiteral("and f.cod_emp = c.cod_emp ");
    lines << QStringLiteral("and f. sinc_korv = 99 ) formasPgto, ")
          << QStringLiteral("c.* ")
          << QStringLiteral("from KORVANTA_DELETE c ")
          << QStringLiteral("where ") + condition.text()
          << QStringLiteral(" and c.nro_cx=?")
          << QStringLiteral("order by c.nro_cupom");
    return {lines, condition.values() << number(cashRegister)};
}

QStringList itemStatement() {
    return {
        QStringLiteral("Select  i.COD_MER, i.VLR_UNI,  i.SUB_TOT, i.QTD_VEN, i.VLR_UNI_O, i.vlr_des_i_korv,"),
        QStringLiteral("            m.cod_bar, m.nom_mer from itensCupom i"),
        QStringLiteral("left join mercadorias m on m.cod_red = i.cod_mer"),
        QStringLiteral("Where nro_cupom=? and  nro_cx   =? and  data_cupom=?"),
        QStringLiteral("order by i.nro_item"),
    };
}

QStringList itemParams(int ticket, int cashRegister, const QDate& date) {
    return {number(ticket), number(cashRegister), dateText(date)};
}

SqlWhere ticketFlagCondition(int ticket, int cashRegister, const QDate& date, std::optional<int> company) {
    SqlWhere where;
    where.add(QStringLiteral("nro_cupom"), QStringLiteral("="), number(ticket))
        .add(QStringLiteral("nro_cx"), QStringLiteral("="), number(cashRegister));
    if (company) where.add(QStringLiteral("cod_emp"), QStringLiteral("="), number(*company));
    return where.add(QStringLiteral("data_cupom"), QStringLiteral("="), dateText(date));
}

SqlWhere cancellationFlagCondition(int ticket, int cashRegister, const QDate& date, std::optional<int> company) {
    SqlWhere where;
    where.add(QStringLiteral("nro_cupom"), QStringLiteral("="), number(ticket))
        .add(QStringLiteral("nro_cx"), QStringLiteral("="), number(cashRegister))
        .add(QStringLiteral("sinc_korv"), QStringLiteral("<"), QStringLiteral("99"));
    if (company) where.add(QStringLiteral("cod_emp"), QStringLiteral("="), number(*company));
    return where.add(QStringLiteral("data_cupom"), QStringLiteral("="), dateText(date));
}

SqlStatement closingSalesTotals(const QDate& first, const QDate& last, const SqlWhere& filter) {
    const SqlWhere where = closingDays(first, last).add(filter);
    return {closingTotals(QStringLiteral("Select data_cupom, nro_cx, sum(sub_tot) vendas, count(sub_tot) nroVendas"),
                          QStringLiteral("cupom_fiscal"), where),
            where.values()};
}

SqlStatement closingCancellationTotals(const QDate& first, const QDate& last, const SqlWhere& filter) {
    const SqlWhere where = closingDays(first, last)
                               .add(QStringLiteral("sinc_korv"), QStringLiteral("<>"), QStringLiteral("99"))
                               .add(filter);
    return {closingTotals(QStringLiteral("Select data_cupom, nro_cx, sum(sub_tot) Cancela, count(sub_tot) nroCancela"),
                          QStringLiteral("KORVANTA_DELETE"), where),
            where.values()};
}

SqlStatement statusTicketFigures(const QString& flag, const SqlWhere& filter) {
    const SqlWhere where = SqlWhere{}.add(QStringLiteral("c.sinc_korvanta"), QStringLiteral("="), flag).add(filter);
    return {{QStringLiteral("select c.nro_cx, count(*) quantos, min(c.data_cupom) dia_antigo,"),
             QStringLiteral("       min(c.data_cupom + c.hora) momento_antigo"),
             QStringLiteral("from cupom_fiscal c"), QStringLiteral("where ") + where.text(),
             QStringLiteral("group by c.nro_cx"), QStringLiteral("order by c.nro_cx")},
            where.values()};
}

SqlStatement statusCancellationFigures(const QString& flag, const SqlWhere& filter) {
    const SqlWhere where = SqlWhere{}.add(QStringLiteral("c.sinc_korv"), QStringLiteral("="), flag).add(filter);
    return {{QStringLiteral("select c.nro_cx, count(*) quantos, min(c.data_cupom) dia_antigo"),
             QStringLiteral("from KORVANTA_DELETE c"), QStringLiteral("where ") + where.text(),
             QStringLiteral("group by c.nro_cx"), QStringLiteral("order by c.nro_cx")},
            where.values()};
}

SqlStatement selectFileStatement(const QString& table, const SqlWhere& condition) {
    sqlnames::require(table, "table");
    return {{QStringLiteral("Select * From ") + table + QStringLiteral(" Where ( ") + condition.text() +
             QStringLiteral(" )")},
            condition.values()};
}

QString cleanedUpdateValue(QString value) {
    value.replace(QLatin1Char(','), QLatin1Char('.'));
    value.replace(QLatin1Char('\''), QLatin1Char(' '));
    value.replace(QLatin1Char('"'), QLatin1Char(' '));
    return value;
}

SqlStatement updateStatement(const QString& table, const QStringList& pairs, const SqlWhere& condition) {
    QStringList assignments;
    QStringList values;
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
        const QString& name = pairs[i];
        const QString& value = pairs[i + 1];
        if (name.isEmpty() && value.isEmpty()) continue;
        sqlnames::require(name, "column");
        assignments << name + QStringLiteral("=?");
        values << cleanedUpdateValue(value);
    }
    if (assignments.isEmpty()) return {};
    sqlnames::require(table, "table");
    return {{QStringLiteral("UPDATE ") + table + QStringLiteral(" SET"), assignments.join(QLatin1Char(',')),
             QStringLiteral("WHERE"), QStringLiteral("( ") + condition.text() + QStringLiteral(" )")},
            values << condition.values()};
}

SqlStatement insertStatement(const QString& table, const QStringList& pairs) {
    sqlnames::require(table, "table");
    QStringList columns;
    QStringList marks;
    QStringList values;
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
        sqlnames::require(pairs[i], "column");
        columns << pairs[i];
        marks << QStringLiteral("?");
        values << pairs[i + 1];
    }
    return {{QStringLiteral("Insert into ") + table,
             QStringLiteral("( ") + columns.join(QLatin1Char(',')) + QStringLiteral(" )  "),
             QStringLiteral(" Values ( ") + marks.join(QLatin1Char(',')) + QStringLiteral(" )  ")},
            values};
}

} // namespace sqltexts
