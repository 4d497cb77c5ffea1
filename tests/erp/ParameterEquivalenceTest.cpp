// Values bound as parameters store exactly what the quoted literals of the
// earlier statement texts stored. Each case writes the same pairs twice: into
// EQ_LITERAL through the literal text the data module used to build (kept here
// as the reference) and into EQ_PARAM through INSERTFILE / UPDATEFILE_Matriz.
// Both must succeed or fail alike (with the same Firebird message), and in the
// end both tables must hold the same rows, column by column.

#include "support/fixtures/ErpDatabase.h"

#include "erp/FbError.h"
#include "erp/uDtmApi.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <optional>

namespace {

// ---- The literal statements of the earlier data module (the reference) ----------

QString quoted(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QStringList literalInsert(const QString& table, const QStringList& pairs) {
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

QString literalAssignments(const QStringList& pairs) {
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

QStringList literalUpdate(const QString& table, const QStringList& pairs, const QString& condition) {
    return {QStringLiteral("UPDATE ") + table + QStringLiteral(" SET"), literalAssignments(pairs),
            QStringLiteral("WHERE"), QStringLiteral("( ") + condition + QStringLiteral(" )")};
}

// ---- The cases -------------------------------------------------------------------

const QString kTwinColumns = QStringLiteral(
    "(k integer not null, i integer, n0 numeric(18,0), n2 numeric(18,2), n3 numeric(18,3), n4 numeric(18,4), "
    "dbl double precision, d date, ts timestamp, tm time, v60 varchar(60), v10 varchar(10), c1 char(1), "
    "nn varchar(10) not null, bl blob sub_type text)");

struct InsertCase {
    const char* what;
    QStringList pairs; // k first; nn is required by the table
};

struct UpdateCase {
    const char* what;
    QStringList pairs;
    QString literalCondition; // as the earlier callers wrote it
    SqlWhere condition;       // as they pass it now
};

QStringList row(int k, const QStringList& more) {
    return QStringList{QStringLiteral("k"), QString::number(k), QStringLiteral("nn"), QStringLiteral("x")} + more;
}

const QString k60 = QString(60, QLatin1Char('T'));

std::vector<InsertCase> insertCases() {
    return {
        {"numbers at their scales, rounded by the server", row(1, {"n2", "12.345", "n3", "0.0005", "n4", "3.33333",
                                                                   "n0", "7.5", "dbl", "0.1", "i", "-42"})},
        {"codes with leading zeros", row(2, {"i", "007", "n0", "0012", "v10", "007"})},
        {"month-first dates, a timestamp, a time", row(3, {"d", "06/10/2020", "ts", "03/01/2023 08:30:00",
                                                            "tm", "15:12:00"})},
        {"empty texts", row(4, {"v10", "", "v60", "", "c1", ""})},
        {"an empty text into a number", row(5, {"i", ""})},
        {"commas, quotes and double quotes kept by the insert", row(6, {"v60", "Leve 3, pague 2 \"já\" O'Brien"})},
        {"backslashes, control characters and SQL fragments",
         row(7, {"v60", "a\\b\t\r\nc", "v10", "'); --", "bl", "x' ); drop table EQ_LITERAL; --"})},
        {"the 60-character title", row(8, {"v60", k60})},
        {"a title one character too long", row(9, {"v60", k60 + "T"})},
        {"a title too long by trailing blanks only", row(19, {"v60", QString(58, QLatin1Char('B')) + "   "})},
        {"10,000 characters", row(10, {"v60", QString(10000, QLatin1Char('x'))})},
        {"10,000 characters into a text blob", row(11, {"bl", QString(10000, QLatin1Char('y'))})},
        {"a number too large for its column", row(12, {"n2", "99999999999999999999"})},
        {"a comma as decimal separator", row(13, {"n2", "12,5"})},
        {"a NULL where the column allows none", {"k", "14", "i", "1"}},
        {"characters outside the code page", row(15, {"v60", QStringLiteral("Łódź café ☺")})},
        {"a date that does not exist", row(16, {"d", "02/30/2023"})},
        {"a boolean-looking and a char value", row(17, {"c1", "T", "v10", "null"})},
        {"a duplicate of row 1 (no key: both keep it)", row(1, {"v10", "again"})},
    };
}

std::vector<UpdateCase> updateCases() {
    return {
        {"a flag by number and month-first date", {"i", "2"}, "k=3 and  d='06/10/2020'",
         SqlWhere{{"k", "=", "3"}, {"d", "=", "06/10/2020"}}},
        {"a date condition that matches nothing", {"i", "3"}, "k=3 and  d='10/06/2020'",
         SqlWhere{{"k", "=", "3"}, {"d", "=", "10/06/2020"}}},
        {"commas to points and quotes to blanks", {"v60", "Leve 3, pague \"2\" O'Brien", "n2", "12,5"}, "k=6",
         SqlWhere{{"k", "=", "6"}}},
        {"empty values set the empty text", {"v10", "", "v60", ""}, "k=7", SqlWhere{{"k", "=", "7"}}},
        {"a code with leading zeros in the condition", {"v60", "by code"}, "v10='007'", SqlWhere{{"v10", "=", "007"}}},
        {"a text key with a quote in the condition", {"n4", "1,25"}, "v60='Leve 3. pague  2  O Brien'",
         SqlWhere{{"v60", "=", "Leve 3. pague  2  O Brien"}}},
        {"an inequality on a stamp", {"c1", "F"}, "k<>1", SqlWhere{{"k", "<>", "1"}}},
        {"a value too large", {"n2", "99999999999999999999"}, "k=2", SqlWhere{{"k", "=", "2"}}},
        {"a value the column refuses", {"d", "//"}, "k=2", SqlWhere{{"k", "=", "2"}}},
        {"a lone name and an empty pair", {"", "", "v10", "z", "n3"}, "k=8", SqlWhere{{"k", "=", "8"}}},
        {"SQL in a value", {"v60", "x', v10='hacked"}, "k=8", SqlWhere{{"k", "=", "8"}}},
    };
}

class ParameterEquivalence : public ::testing::Test {
protected:
    ParameterEquivalence() {
        db.exec(QStringLiteral("create table EQ_LITERAL ") + kTwinColumns);
        db.exec(QStringLiteral("create table EQ_PARAM ") + kTwinColumns);
        dtm.setPathBancoDolvex(db.path());
        dtm.dtmConectDolvex(true);
    }

    // Runs f; the Firebird message of its DatabaseError, or nothing when it
    // succeeded. Two things differ by nature and are left out: a parameter the
    // server cannot convert is reported by the statement layer ("Dynamic SQL
    // Error" / "SQL error code = -303" before the same message), and a text too
    // long for its column gives the column's length as the "actual" one.
    template <typename F>
    std::optional<QString> failureOf(F&& f, const QString& table) {
        try {
            f();
            return std::nullopt;
        } catch (const DatabaseError& e) {
            QString message = e.firebirdMessage();
            message.replace(table, QStringLiteral("<table>"));
            message.remove(QStringLiteral("Dynamic SQL Error\n-SQL error code = -303\n-"));
            message.remove(QRegularExpression(QStringLiteral("\n-expected length \\d+, actual \\d+$")));
            return message;
        }
    }
    std::optional<QString> runLiteral(const QStringList& lines) {
        return failureOf(
            [&] {
                dtm.qryProcesso().setStatement({lines, {}});
                dtm.qryProcesso().ExecSQL();
            },
            QStringLiteral("EQ_LITERAL"));
    }
    void expectSameOutcome(const char* what, const std::optional<QString>& literal,
                           const std::optional<QString>& param) {
        EXPECT_EQ(literal.has_value(), param.has_value())
            << what << ": literal " << literal.value_or("ok").toStdString() << " / parameter "
            << param.value_or("ok").toStdString();
        if (literal && param) {
            EXPECT_EQ(literal->toStdString(), param->toStdString()) << what;
        }
        ASSERT_TRUE(dtm.dtmApiCommit());
    }

    ErpDatabase db{ErpDatabase::Content::Schema};
    TdtmApi dtm;
};

TEST_F(ParameterEquivalence, InsertsAndUpdatesStoreTheSameRowsAsTheLiteralTexts) {
    int failures = 0;
    for (const InsertCase& c : insertCases()) {
        const auto literal = runLiteral(literalInsert(QStringLiteral("EQ_LITERAL"), c.pairs));
        const auto param =
            failureOf([&] { dtm.INSERTFILE(QStringLiteral("EQ_PARAM"), c.pairs); }, QStringLiteral("EQ_PARAM"));
        if (param) ++failures;
        expectSameOutcome(c.what, literal, param);
    }
    for (const UpdateCase& c : updateCases()) {
        const auto literal = runLiteral(literalUpdate(QStringLiteral("EQ_LITERAL"), c.pairs, c.literalCondition));
        const qint64 literalRows = literal ? -1 : dtm.qryProcesso().RowsAffected();
        const auto param = failureOf([&] { dtm.UPDATEFILE_Matriz(QStringLiteral("EQ_PARAM"), c.condition, c.pairs); },
                                     QStringLiteral("EQ_PARAM"));
        if (param) ++failures;
        if (!literal && !param) {
            EXPECT_EQ(dtm.qryProcesso().RowsAffected(), literalRows) << c.what;
        }
        expectSameOutcome(c.what, literal, param);
    }
    // The table does fail where a literal failed (too long, too large, refused, NULL...).
    EXPECT_GE(failures, 8);

    const QString columns = QStringLiteral("k, i, n0, n2, n3, n4, dbl, d, ts, tm, v60, v10, c1, nn, bl");
    const QList<QStringList> literalRows =
        db.rows(QStringLiteral("select %1 from EQ_LITERAL order by k, v10, v60").arg(columns));
    const QList<QStringList> paramRows = db.rows(QStringLiteral("select %1 from EQ_PARAM order by k, v10, v60").arg(columns));
    ASSERT_EQ(literalRows.size(), paramRows.size());
    ASSERT_GE(literalRows.size(), 10);
    const QStringList names = columns.split(QStringLiteral(", "));
    for (qsizetype r = 0; r < literalRows.size(); ++r)
        for (qsizetype c = 0; c < names.size(); ++c)
            EXPECT_EQ(literalRows[r][c], paramRows[r][c]) << "row " << r << ", column " << names[c].toStdString();
    // Spot checks that the comparison looked at real values.
    EXPECT_EQ(db.text("select n2 from EQ_PARAM where k=6"), "12.50");
    EXPECT_EQ(db.text("select v60 from EQ_PARAM where k=8"), "x . v10= hacked");
    EXPECT_EQ(db.text("select d from EQ_PARAM where k=3"), db.text("select d from EQ_LITERAL where k=3"));
}

} // namespace
