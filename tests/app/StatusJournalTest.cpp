// --status reads the activity journal backwards: each task's last success and
// failure across days and month folders, within the newest days.

#include "app/StatusJournal.h"

#include "StatusTestSupport.h"

namespace {

using statustest::at;
using statustest::logRow;
using statustest::StatusTest;
using statustest::Today;

TEST_F(StatusTest, TheJournalIsReadBackwardsAcrossDaysAndMonthFolders) {
    // Started in March and ran into April (its rows of 1 April in the March folder),
    // restarted on 1 April (rows of that day in the April folder too), then ran to today.
    journalRows(QStringLiteral("Ano2023_3"),
                {logRow(at(10, 0, QDate(2023, 3, 31)), QStringLiteral("Leitura de reenvio-venda"),
                        QStringLiteral("Ok")),
                 logRow(at(10, 1, QDate(2023, 3, 31)), QStringLiteral("Erro na operação"),
                        QStringLiteral("The reply holds no list of requests")),
                 logRow(at(11, 0, QDate(2023, 4, 1)), QStringLiteral("Fechamento: 31/03/2023 / Cx: 1"),
                        QStringLiteral("200: ok")),
                 logRow(at(13, 0, QDate(2023, 4, 1)), QStringLiteral("Erro fechamento: 31/03/2023 / Cx: 2"),
                        QStringLiteral("HTTP/1.1 500 Internal Server Error"))});
    journalRows(QStringLiteral("Ano2023_4"),
                {logRow(at(12, 0, QDate(2023, 4, 1)), QStringLiteral("Erro na operação"),
                        QStringLiteral("Cannot connect to the database (database erp.fdb)")),
                 logRow(at(14, 0, QDate(2023, 4, 1)), QStringLiteral("Fechamento: 31/03/2023 / Cx: 2"),
                        QStringLiteral("200: ok")),
                 logRow(at(8, 0), QStringLiteral("Erro Gravação: 1 - 5 - 10/04/2023"),
                        QStringLiteral("erro API=201: erro nao catalogado")),
                 logRow(at(8, 1), QStringLiteral("Venda cancelada p.2 (-): 1 - 6 - 10/04/2023"),
                        QStringLiteral("200: Ok")),
                 logRow(at(8, 2), QStringLiteral("Promoções processada sistema ZYR"),
                        QStringLiteral("Json= 3 / Gravadas: 3")),
                 logRow(at(8, 3), QStringLiteral("Erro na promoção: 77"),
                        QStringLiteral("limit 'x' is not a number")),
                 logRow(at(8, 4), QStringLiteral("Resp-Ping.txt"))});
    // Neither a journal file nor a month folder.
    QFile(dir() + QStringLiteral("Korvanta/log/Ano2023_4/Vda5_1.txt")).open(QIODevice::WriteOnly);
    QDir().mkpath(dir() + QStringLiteral("Korvanta/log/outra"));

    const status::JournalFindings found = status::readJournal(dir());
    const auto op = [](const std::optional<journal::Row>& row) {
        return row ? row->operation : QStringLiteral("-");
    };
    const auto task = [&found](status::Task t) { return found.tasks[static_cast<std::size_t>(t)]; };
    EXPECT_EQ(op(task(status::Task::Sales).lastSuccess),
              QStringLiteral("Venda cancelada p.2 (-): 1 - 6 - 10/04/2023"));
    EXPECT_EQ(op(task(status::Task::Sales).lastFailure), QStringLiteral("Erro Gravação: 1 - 5 - 10/04/2023"));
    EXPECT_FALSE(task(status::Task::Sales).failedLast);
    // The two files of 1 April are one day, in the order of their times.
    EXPECT_EQ(op(task(status::Task::Closing).lastSuccess), QStringLiteral("Fechamento: 31/03/2023 / Cx: 2"));
    EXPECT_EQ(op(task(status::Task::Closing).lastFailure),
              QStringLiteral("Erro fechamento: 31/03/2023 / Cx: 2"));
    EXPECT_FALSE(task(status::Task::Closing).failedLast);
    EXPECT_EQ(op(task(status::Task::Promotions).lastSuccess),
              QStringLiteral("Promoções processada sistema ZYR"));
    EXPECT_EQ(op(task(status::Task::Promotions).lastFailure), QStringLiteral("Erro na promoção: 77"));
    EXPECT_TRUE(task(status::Task::Promotions).failedLast);
    EXPECT_EQ(op(task(status::Task::Resend).lastSuccess), QStringLiteral("Leitura de reenvio-venda"));
    ASSERT_TRUE(task(status::Task::Resend).lastFailure.has_value());
    EXPECT_EQ(task(status::Task::Resend).lastFailure->message,
              QStringLiteral("The reply holds no list of requests"));
    EXPECT_TRUE(task(status::Task::Resend).failedLast);
    ASSERT_TRUE(found.lastError.has_value());
    EXPECT_EQ(found.lastError->message, QStringLiteral("Cannot connect to the database (database erp.fdb)"));
    EXPECT_EQ(op(found.newestRow), QStringLiteral("Resp-Ping.txt"));
    EXPECT_EQ(found.daysRead, 3); // every file was needed for the resend requests' failure
}

TEST_F(StatusTest, OnlyTheNewestDaysOfTheJournalAreRead) {
    QList<journal::Row> rows;
    for (int back = status::kJournalDays; back >= 0; --back)
        rows << logRow(at(8, 0, Today.addDays(-back)), back == status::kJournalDays
                                                           ? QStringLiteral("Fechamento: 01/03/2023 / Cx: 1")
                                                           : QStringLiteral("Abriu post-vendas"));
    journalRows(QStringLiteral("Ano2023_3"), rows.mid(0, 10));
    journalRows(QStringLiteral("Ano2023_4"), rows.mid(10));

    const status::JournalFindings found = status::readJournal(dir());
    EXPECT_EQ(found.daysRead, status::kJournalDays);
    EXPECT_FALSE(found.tasks[static_cast<std::size_t>(status::Task::Closing)].lastSuccess.has_value());
    ASSERT_TRUE(found.newestRow.has_value());
    EXPECT_EQ(found.newestRow->when, at(8, 0));
}

} // namespace
