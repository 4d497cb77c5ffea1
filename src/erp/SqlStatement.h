#pragma once
// A statement as the ERP receives it: its text, built from table and column
// names only, with a '?' wherever a value goes, and the values in the order of
// the '?' marks. Values are always texts; the server converts each one to the
// type the statement needs there, exactly as it converts a quoted literal, so
// '2935', '06/10/2020' (month first) and '12.5' reach INTEGER, DATE and NUMERIC
// columns as they always did.
//
//   SqlWhere where{{"nro_cupom", "=", "2935"}, {"data_cupom", "=", "06/10/2020"}};
//   where.text()    -> "nro_cupom=? and data_cupom=?"
//   where.values()  -> {"2935", "06/10/2020"}

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <vector>

// One term of a condition: column, comparison and the value compared with.
struct SqlTerm {
    QString column; // a column name, possibly with its table alias ("c.nro_cx")
    QString op;     // "=", "<>", "<", ">", "<=", ">="
    QString value;  // bound as a text parameter
};

// Terms joined by " and ".
class SqlWhere {
public:
    SqlWhere() = default;
    // Each term is checked as add() checks it.
    SqlWhere(std::initializer_list<SqlTerm> terms);

    // Appends a term; `op` must be one of the comparisons above.
    SqlWhere& add(const QString& column, const QString& op, const QString& value);
    SqlWhere& add(const SqlTerm& term) { return add(term.column, term.op, term.value); }
    // Appends the terms of another condition.
    SqlWhere& add(const SqlWhere& other);

    [[nodiscard]] bool isEmpty() const { return m_terms.empty(); }
    [[nodiscard]] const std::vector<SqlTerm>& terms() const { return m_terms; }
    // "column op ?" for each term, joined by " and ".
    [[nodiscard]] QString text() const;
    [[nodiscard]] QStringList values() const;

private:
    std::vector<SqlTerm> m_terms;
};

// A statement's lines and its parameter values.
struct SqlStatement {
    QStringList lines;
    QStringList params;
};

namespace sqlnames {

// True for a name that may go into a statement's text as a table or column
// name: letters, digits, '_' and '$', optionally behind one "alias.", not
// starting with a digit. Anything else is refused before it reaches the text.
[[nodiscard]] bool isName(const QString& name);
// Throws AppError naming `what` when `name` is not a name.
void require(const QString& name, const char* what);

} // namespace sqlnames
