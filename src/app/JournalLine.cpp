#include "app/JournalLine.h"

#include "support/Codepage.h"

#include <QList>

namespace journal {

namespace {

const QString kPrefix = QStringLiteral("Atividade_");
const QString kSuffix = QStringLiteral(".txt");
const QString kDayFormat = QStringLiteral("yyyy-MM-dd");
const QString kDateFormat = QStringLiteral("dd/MM/yyyy");
const QString kTimeFormat = QStringLiteral("hh:mm:ss");

QString oneLine(QString text) {
    for (QChar& c : text)
        if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
    return text;
}

} // namespace

QString fileName(const QDate& day) {
    return kPrefix + day.toString(kDayFormat) + kSuffix;
}

std::optional<QDate> dayOfFile(const QString& name) {
    if (!name.startsWith(kPrefix) || !name.endsWith(kSuffix)) return std::nullopt;
    const QString middle = name.mid(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    const QDate day = QDate::fromString(middle, kDayFormat);
    if (!day.isValid() || middle.size() != kDayFormat.size()) return std::nullopt;
    return day;
}

QString text(const QDateTime& when, const QString& operation, const QString& message) {
    return when.date().toString(kDateFormat) + u'\t' + when.time().toString(kTimeFormat) + u'\t' +
           oneLine(operation) + u'\t' + oneLine(message);
}

QByteArray line(const QDateTime& when, const QString& operation, const QString& message) {
    return ansi::fromUnicode(text(when, operation, message) + QStringLiteral("\r\n"));
}

std::optional<Row> parse(QByteArray line) {
    if (line.endsWith('\r')) line.chop(1);
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 4) return std::nullopt;
    const QDate date = QDate::fromString(QString::fromLatin1(fields[0]), kDateFormat);
    const QTime time = QTime::fromString(QString::fromLatin1(fields[1]), kTimeFormat);
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    return Row{QDateTime(date, time), ansi::toUnicode(fields[2]), ansi::toUnicode(fields[3])};
}

} // namespace journal
