#include "erp/SqlStatement.h"

#include "support/Errors.h"

#include <array>

namespace sqlnames {

namespace {

bool isPart(QStringView part) {
    if (part.isEmpty()) return false;
    for (qsizetype i = 0; i < part.size(); ++i) {
        const char16_t c = part[i].unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'$';
        const bool digit = c >= u'0' && c <= u'9';
        if (!letter && !(digit && i > 0)) return false;
    }
    return true;
}

} // namespace

bool isName(const QString& name) {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot < 0) return isPart(name);
    return isPart(QStringView(name).left(dot)) && isPart(QStringView(name).mid(dot + 1));
}

void require(const QString& name, const char* what) {
    if (!isName(name))
        throw AppError(QStringLiteral("'%1' is not a valid %2 name").arg(name, QLatin1String(what)));
}

} // namespace sqlnames

namespace {

bool isComparison(const QString& op) {
    static const std::array<QString, 6> comparisons = {QStringLiteral("="),  QStringLiteral("<>"),
                                                       QStringLiteral("<"),  QStringLiteral(">"),
                                                       QStringLiteral("<="), QStringLiteral(">=")};
    for (const QString& c : comparisons)
        if (op == c) return true;
    return false;
}

} // namespace

SqlWhere::SqlWhere(std::initializer_list<SqlTerm> terms) {
    m_terms.reserve(terms.size());
    for (const SqlTerm& t : terms) add(t);
}

SqlWhere& SqlWhere::add(const QString& column, const QString& op, const QString& value) {
    sqlnames::require(column, "column");
    if (!isComparison(op)) throw AppError(QStringLiteral("'%1' is not a comparison").arg(op));
    m_terms.push_back({column, op, value});
    return *this;
}

SqlWhere& SqlWhere::add(const SqlWhere& other) {
    for (const SqlTerm& t : other.m_terms) add(t);
    return *this;
}

QString SqlWhere::text() const {
    QStringList parts;
    parts.reserve(qsizetype(m_terms.size()));
    for (const SqlTerm& t : m_terms) parts << t.column + t.op + QLatin1Char('?');
    return parts.join(QStringLiteral(" and "));
}

QStringList SqlWhere::values() const {
    QStringList list;
    list.reserve(qsizetype(m_terms.size()));
    for (const SqlTerm& t : m_terms) list << t.value;
    return list;
}
