#include "support/Memo.h"

QStringList TMemo::Lines() const {
    QStringList lines;
    QString current;
    const qsizetype n = m_text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = m_text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(current);
            current.clear();
            if (c == u'\r' && i + 1 < n && m_text.at(i + 1) == u'\n') ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty()) lines.append(current);
    return lines;
}

QString TMemo::LinesText() const {
    QString text;
    for (const QString& line : Lines())
        text += line + QStringLiteral("\r\n");
    return text;
}
