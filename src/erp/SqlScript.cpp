#include "erp/SqlScript.h"

#include "erp/FbDatabase.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"
#include "support/Errors.h"

#include <QFile>
#include <QRegularExpression>

namespace sqlscript {

QStringList split(const QString& script) {
    QStringList statements;
    QString current;
    const qsizetype n = script.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = script[i];
        const QChar next = i + 1 < n ? script[i + 1] : QChar();
        if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            while (i < n && script[i] != QLatin1Char('\n')) ++i;
            current += QLatin1Char('\n');
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = script.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 1;
            current += QLatin1Char(' ');
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A quoted literal or name; a doubled quote stays inside it.
            qsizetype j = i + 1;
            for (; j < n; ++j) {
                if (script[j] == c) {
                    if (j + 1 < n && script[j + 1] == c) ++j;
                    else break;
                }
            }
            current += script.mid(i, j - i + 1);
            i = j;
        } else if (c == QLatin1Char(';')) {
            if (!current.trimmed().isEmpty()) statements.append(current.trimmed());
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty()) statements.append(current.trimmed());
    return statements;
}

void run(TFbDatabase& database, TFbTransaction& transaction, const QString& script) {
    static const QRegularExpression commit(QStringLiteral("^COMMIT(\\s+WORK)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression ddl(QStringLiteral("^(CREATE|ALTER|DROP|RECREATE|COMMENT)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    TFbQuery query(&database, &transaction, QStringLiteral("script statement"));
    if (!transaction.InTransaction()) transaction.StartTransaction();
    for (const QString& statement : split(script)) {
        if (commit.match(statement).hasMatch()) {
            transaction.CommitRetaining();
            continue;
        }
        query.sql() = QStringList{statement}; // one piece: line breaks inside literals stay as written
        query.ExecSQL();
        // Tables and indexes exist for later statements only once committed.
        if (ddl.match(statement).hasMatch()) transaction.CommitRetaining();
    }
    transaction.CommitRetaining();
}

void runFile(TFbDatabase& database, TFbTransaction& transaction, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot read the SQL script %1: %2").arg(path, file.errorString()));
    run(database, transaction, QString::fromUtf8(file.readAll()));
}

} // namespace sqlscript
