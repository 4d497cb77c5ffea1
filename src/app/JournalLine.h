#pragma once
// One row of the activity journal as it stands in its daily file: the date
// DD/MM/AAAA, the time HH:MM:SS, the operation and the message, separated by
// tabs, in Windows-1252, ended by CR LF. Tabs and line breaks inside the texts
// become blanks, so a row is always one line of four fields.
//
//   "10/04/2023\t09:00:05\tLeitura de promoções\tOk\r\n"
//
// The files are named after the rows' date: "Atividade_2023-04-10.txt".

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

namespace journal {

struct Row {
    QDateTime when; // to the second
    QString operation;
    QString message;
};

// "Atividade_" + YYYY-MM-DD + ".txt"
[[nodiscard]] QString fileName(const QDate& day);
// The day a file name stands for; std::nullopt for any other name.
[[nodiscard]] std::optional<QDate> dayOfFile(const QString& name);

// The row as its line, line end included.
[[nodiscard]] QByteArray line(const QDateTime& when, const QString& operation, const QString& message);
// The same row as text, without the line end: the line the headless modes print.
[[nodiscard]] QString text(const QDateTime& when, const QString& operation, const QString& message);
// A line read back (without its line end, a trailing CR tolerated); std::nullopt
// when it is not a row (a cut line, another file's text).
[[nodiscard]] std::optional<Row> parse(QByteArray line);

} // namespace journal
