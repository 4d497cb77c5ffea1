#include "erp/SqlLines.h"

#include "support/Errors.h"

#include <QRegularExpression>

TSqlLines& TSqlLines::assign(const QStringList& lines) {
    m_lines = lines;
    changed();
    return *this;
}

void TSqlLines::Clear() {
    m_lines.clear();
    changed();
}

void TSqlLines::Add(const QString& line) {
    m_lines.append(line);
    changed();
}

void TSqlLines::setLine(int i, const QString& line) {
    if (i < 0 || i >= m_lines.size())
        throw AppError(QStringLiteral("Statement line %1 does not exist (the statement has %2 lines)")
                           .arg(i + 1)
                           .arg(m_lines.size()));
    m_lines[i] = line;
    changed();
}

void TSqlLines::setText(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(breaks);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    assign(lines);
}
