#include "erp/SqlTexts.h"

namespace sqltexts {

namespace {

QString number(int value) {
    return QString::number(value);
}

} // namespace

QString quoted(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString dateLiteral(const QDate& date) {
    // Month, day and four-digit year, whatever the regional settings.
    return quoted(QStringLiteral("%1/%2/%3")
                      .arg(date.month(), 2, 10, QLatin1Char('0'))
                      .arg(date.day(), 2, 10, QLatin1Char('0'))
                      .arg(date.year(), 4, 10, QLatin1Char('0')));
}

QString companyCondition(const QString& companyCode) {
    return QStringLiteral(" and c.cod_emp=0") + companyCode;
}

QString closingCompanyCondition(const QString& companyCode) {
    return QStringLiteral(" and cod_emp=0") + companyCode;
}

std::optional<QString> ticketModeCondition(const QString& mode, const QDate& date) {
    if (mode == QLatin1String("Pendentes-1")) return QStringLiteral("c.sinc_korvanta = 1");
    if (mode == QLatin1String("Pendentes-3")) return QStringLiteral("c.sinc_korvanta = 3");
    if (mode == QLatin1String("Data")) return QStringLiteral("c.data_cupom=") + dateLiteral(date);
    return std::nullopt;
}

std::optional<QString> cancellationModeCondition(const QString& mode, const QDate& date) {
    if (mode == QLatin1String("Pendentes-1")) return QStringLiteral("c.sinc_korv = 1");
    if (mode == QLatin1String("Pendentes-3")) return QStringLiteral("c.sinc_korv = 3");
    if (mode == QLatin1String("Data")) return QStringLiteral("c.sinc_korv <> 99 and c.data_cupom=") + dateLiteral(date);
    return std::nullopt;
}

QStringList ticketStatement(const QString& condition, int cashRegister, bool companyFilter) {
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
          << QStringLiteral("where ") + condition
          << QStringLiteral(" and c.nro_cx=") + number(cashRegister)
          << QStringLiteral("order by c.nro_cupom");
    return lines;
}

QStringList cancellationStatement(const QString& condition, int cashRegister, bool companyFilter) {
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
          << QStringLiteral("where ") + condition
          << QStringLiteral(" and c.nro_cx=") + number(cashRegister)
          << QStringLiteral("order by c.nro_cupom");
    return lines;
}

QStringList itemStatement(const QString& conditionLine) {
    return {
        QStringLiteral("Select  i.COD_MER, i.VLR_UNI,  i.SUB_TOT, i.QTD_VEN, i.VLR_UNI_O, i.vlr_des_i_korv,"),
        QStringLiteral("            m.cod_bar, m.nom_mer from itensCupom i"),
        QStringLiteral("left join mercadorias m on m.cod_red = i.cod_mer"),
        conditionLine,
        QStringLiteral("order by i.nro_item"),
    };
}

QString itemCondition(int ticket, int cashRegister, const QDate& date) {
    return QStringLiteral("Where nro_cupom=") + number(ticket) + QStringLiteral(" and  nro_cx   =") +
           number(cashRegister) + QStringLiteral(" and  data_cupom=") + dateLiteral(date);
}

QString ticketFlagCondition(int ticket, int cashRegister, const QDate& date, std::optional<int> company) {
    QString condition = QStringLiteral("nro_cupom=") + number(ticket) + QStringLiteral(" and nro_cx=") +
                        number(cashRegister);
    if (company) condition += QStringLiteral(" and cod_emp=") + number(*company);
    return condition + QStringLiteral(" and  data_cupom=") + dateLiteral(date);
}

QString cancellationFlagCondition(int ticket, int cashRegister, const QDate& date, std::optional<int> company) {
    QString condition = QStringLiteral("nro_cupom=") + number(ticket) + QStringLiteral(" and nro_cx=") +
                        number(cashRegister) + QStringLiteral(" and sinc_korv<99 ");
    if (company) condition += QStringLiteral(" and cod_emp=") + number(*company);
    return condition + QStringLiteral(" and  data_cupom=") + dateLiteral(date);
}

QString selectFileStatement(const QString& table, const QString& condition) {
    return QStringLiteral("Select * From ") + table + QStringLiteral(" Where ( ") + condition + QStringLiteral(" )");
}

QStringList updateStatement(const QString& table, const QString& assignments, const QString& condition) {
    return {QStringLiteral("UPDATE ") + table + QStringLiteral(" SET"), assignments, QStringLiteral("WHERE"),
            QStringLiteral("( ") + condition + QStringLiteral(" )")};
}

QString assignmentsFromPairs(const QStringList& pairs) {
    QString text;
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
        const QString& name = pairs[i];
        QString value = pairs[i + 1];
        if (!value.isEmpty()) {
            value.replace(QLatin1Char(','), QLatin1Char('.'));
            value.replace(QLatin1Char('\''), QLatin1Char(' '));
            value.replace(QLatin1Char('"'), QLatin1Char(' '));
            text += name + QStringLiteral("='") + value + QStringLiteral("',");
        } else if (!name.isEmpty()) {
            text += name + QStringLiteral("='',");
        }
    }
    text.chop(1);
    return text;
}

QStringList insertStatement(const QString& table, const QStringList& pairs) {
    QString columns;
    QString values;
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
        columns += pairs[i] + QLatin1Char(',');
        values += quoted(pairs[i + 1]) + QLatin1Char(',');
    }
    columns.chop(1);
    values.chop(1);
    return {QStringLiteral("Insert into ") + table, QStringLiteral("( ") + columns + QStringLiteral(" )  "),
            QStringLiteral(" Values ( ") + values + QStringLiteral(" )  ")};
}

} // namespace sqltexts
