// --status: the judgement and its exit status against a real ERP database, a
// database that cannot be reached, settings that cannot be used, and the JSON
// object.

#include "StatusTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <optional>

namespace {

using statustest::Alive;
using statustest::at;
using statustest::cancellation;
using statustest::logRow;
using statustest::Output;
using statustest::runStatus;
using statustest::StatusTest;
using statustest::ticket;
using statustest::Today;

TEST_F(StatusTest, ExitStatusAndSummaryFollowThePendingRowsTheClosingAndTheJournal) {
    struct Case {
        const char* name;
        std::function<void(const ErpDatabase&)> rows;
        apptest::Settings settings;
        QList<journal::Row> journal;
        int code;
        QString summary;
    };
    const auto none = [](const ErpDatabase&) {};
    const Case cases[] = {
        {"nothing pending",
         none,
         {},
         Alive,
         0,
         QStringLiteral(
             "KORVANTA OK - 0 tickets and 0 cancellations pending, none refused, daily closing up to date")},
        {"tickets pending for ten minutes",
         [](const ErpDatabase& db) {
             ticket(db, 1, 1, at(8, 50), 1);
             ticket(db, 2, 1, at(8, 55), 1);
         },
         {},
         Alive,
         0,
         QStringLiteral(
             "KORVANTA OK - 2 tickets and 0 cancellations pending (oldest 10 min), none refused, daily "
             "closing up to date")},
        {"a ticket pending longer than the warning age",
         [](const ErpDatabase& db) { ticket(db, 1, 1, at(8, 15), 1); },
         {},
         Alive,
         1,
         QStringLiteral("KORVANTA WARNING - register 1: 1 ticket pending for 45 min")},
        {"tickets pending longer than the critical age on one register",
         [](const ErpDatabase& db) {
             ticket(db, 1, 1, at(8, 58), 1);
             ticket(db, 7, 2, at(6, 0), 1);
             ticket(db, 8, 2, at(7, 0), 1);
         },
         {},
         Alive,
         2,
         QStringLiteral("KORVANTA CRITICAL - register 2: 2 tickets pending for 180 min")},
        {"a ticket without hora counts from the end of its day",
         [](const ErpDatabase& db) { ticket(db, 1, 1, at(23, 0, Today.addDays(-1)), 1, 1, false); },
         {},
         Alive,
         2,
         QStringLiteral("KORVANTA CRITICAL - register 1: 1 ticket pending for 540 min")},
        {"a cancellation of today is not late yet",
         [](const ErpDatabase& db) { cancellation(db, 5, 1, Today, 1); },
         {},
         Alive,
         0,
         QStringLiteral(
             "KORVANTA OK - 0 tickets and 1 cancellation pending (oldest 0 min), none refused, daily "
             "closing up to date")},
        {"a cancellation of an earlier day",
         [](const ErpDatabase& db) { cancellation(db, 5, 3, Today.addDays(-2), 1); },
         {},
         Alive,
         2,
         QStringLiteral("KORVANTA CRITICAL - register 3: 1 cancellation pending for 1980 min")},
        {"refused tickets and cancellations",
         [](const ErpDatabase& db) {
             ticket(db, 1, 1, at(8, 0, Today.addDays(-30)), 3);
             ticket(db, 2, 2, at(8, 0), 3);
             cancellation(db, 3, 1, Today.addDays(-3), 3);
         },
         {},
         Alive,
         1,
         QStringLiteral("KORVANTA WARNING - 2 tickets refused; 1 cancellation refused")},
        {"sent rows and payment-forms rows count for nothing",
         [](const ErpDatabase& db) {
             ticket(db, 1, 1, at(8, 0, Today.addDays(-3)), 2);
             cancellation(db, 1, 1, Today.addDays(-3), 99);
             cancellation(db, 2, 1, Today.addDays(-3), 2);
         },
         {},
         Alive,
         0,
         QStringLiteral(
             "KORVANTA OK - 0 tickets and 0 cancellations pending, none refused, daily closing up to date")},
        {"another company's rows with the company filter on",
         [](const ErpDatabase& db) { ticket(db, 1, 1, at(5, 0), 1, 2); },
         {{QStringLiteral("chkCodEmpDolvex"), QStringLiteral("SIM")},
          {QStringLiteral("edtcodempdolvex"), QStringLiteral("1")}},
         Alive,
         0,
         QStringLiteral(
             "KORVANTA OK - 0 tickets and 0 cancellations pending, none refused, daily closing up to date")},
        {"the same rows with the company filter off",
         [](const ErpDatabase& db) { ticket(db, 1, 1, at(5, 0), 1, 2); },
         {},
         Alive,
         2,
         QStringLiteral("KORVANTA CRITICAL - register 1: 1 ticket pending for 240 min")},
        {"the closing one day behind (yesterday not closed yet)",
         none,
         {{QStringLiteral("DataUltFecha"), QStringLiteral("08/04/2023")}},
         Alive,
         0,
         QStringLiteral("KORVANTA OK - 0 tickets and 0 cancellations pending, none refused, daily closing 1 "
                        "day behind")},
        {"the closing three days behind",
         none,
         {{QStringLiteral("DataUltFecha"), QStringLiteral("06/04/2023")}},
         Alive,
         1,
         QStringLiteral("KORVANTA WARNING - daily closing 3 days behind")},
        {"a last closed day that is not a date",
         none,
         {{QStringLiteral("DataUltFecha"), QStringLiteral("31/02/2023")}},
         Alive,
         1,
         QStringLiteral("KORVANTA WARNING - last closed day (DataUltFecha) '31/02/2023' is not a date")},
        {"no journal row for longer than the warning age",
         none,
         {},
         {logRow(at(8, 14), QStringLiteral("Abriu post-vendas"))},
         1,
         QStringLiteral("KORVANTA WARNING - no activity logged for 46 min")},
        {"no journal at all",
         none,
         {},
         {},
         1,
         QStringLiteral("KORVANTA WARNING - no activity journal found")},
        {"a task whose newest outcome is a failure",
         none,
         {},
         {logRow(at(8, 0), QStringLiteral("Fechamento: 08/04/2023 / Cx: 1"), QStringLiteral("200: ok")),
          logRow(at(8, 58), QStringLiteral("Erro fechamento: 09/04/2023 / Cx: 1"),
                 QStringLiteral("erro fecha")),
          logRow(at(8, 59), QStringLiteral("Abriu post-vendas"))},
         1,
         QStringLiteral(
             "KORVANTA WARNING - daily closing failed last (Erro fechamento: 09/04/2023 / Cx: 1)")},
        {"the worst problem comes first",
         [](const ErpDatabase& db) {
             ticket(db, 1, 1, at(8, 0), 3);
             ticket(db, 2, 1, at(6, 0), 1);
         },
         {},
         Alive,
         2,
         QStringLiteral("KORVANTA CRITICAL - register 1: 1 ticket pending for 180 min; 1 ticket refused")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ErpDatabase db;
        c.rows(db);
        settings(db.path(), c.settings);
        clearJournal();
        journalRows(QStringLiteral("Ano2023_4"), c.journal);

        const Output result = runStatus();
        EXPECT_EQ(result.code, c.code) << result.out.toStdString();
        EXPECT_EQ(result.summary(), c.summary);
        EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
    }
}

TEST_F(StatusTest, ADatabaseThatCannotBeReachedIsCritical) {
    const TempFolder nowhere;
    for (const QString& database :
         {nowhere.file(QStringLiteral("missing.fdb")), QStringLiteral("127.0.0.1/3059:/srv/erp/ERP.FDB")}) {
        SCOPED_TRACE(database.toStdString());
        settings(database);
        journalRows(QStringLiteral("Ano2023_4"), Alive);
        const Output result = runStatus();
        EXPECT_EQ(result.code, 2);
        EXPECT_EQ(result.summary(),
                  QStringLiteral("KORVANTA CRITICAL - ERP database %1 unreachable").arg(database));
        EXPECT_TRUE(result.out.contains(QStringLiteral("(unreachable: Cannot connect to the database")))
            << result.out.toStdString();
        // The whole failure on the error stream, naming the database.
        EXPECT_TRUE(result.err.contains(database)) << result.err.toStdString();

        const QJsonObject json = QJsonDocument::fromJson(runStatus(true).out.toUtf8()).object();
        EXPECT_EQ(json[QStringLiteral("exitCode")].toInt(), 2);
        EXPECT_FALSE(json[QStringLiteral("database")][QStringLiteral("reachable")].toBool(true));
        EXPECT_TRUE(json[QStringLiteral("registers")].isNull());
    }
}

TEST_F(StatusTest, SettingsThatCannotBeUsedAreUnknown) {
    struct Case {
        const char* name;
        std::optional<QByteArray> content; // std::nullopt: no file
        QString problem;
    };
    const QString file = dir() + QStringLiteral("configAPI.ini");
    static const char Garbage[] = "\x00\x01\xff garbage \x02\r\n=\r\n";
    const Case cases[] = {
        {"no settings file", std::nullopt, QStringLiteral("settings file %1 not found").arg(file)},
        {"garbage", QByteArray(Garbage, sizeof Garbage - 1),
         QStringLiteral("settings file %1 names no ERP database (PATH DOLVEX in section [CONF])").arg(file)},
        {"no database named", QByteArray("[CONF]\r\nURLBASE=http://127.0.0.1:9/\r\nPATH DOLVEX=\r\n"),
         QStringLiteral("settings file %1 names no ERP database (PATH DOLVEX in section [CONF])").arg(file)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(file);
        journalRows(QStringLiteral("Ano2023_4"), Alive);
        if (c.content) {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(*c.content);
        }
        const Output result = runStatus();
        EXPECT_EQ(result.code, 3);
        EXPECT_EQ(result.summary(), QStringLiteral("KORVANTA UNKNOWN - ") + c.problem);
        EXPECT_EQ(result.err, c.problem + u'\n');
        const QJsonObject json = QJsonDocument::fromJson(runStatus(true).out.toUtf8()).object();
        EXPECT_EQ(json[QStringLiteral("status")].toString(), QStringLiteral("UNKNOWN"));
        EXPECT_EQ(json[QStringLiteral("exitCode")].toInt(), 3);
    }
}

TEST_F(StatusTest, TheJsonObjectCarriesTheFiguresOfEachRegisterAndTask) {
    const ErpDatabase db;
    ticket(db, 10, 1, at(8, 40), 1);
    ticket(db, 11, 1, at(8, 50), 1);
    ticket(db, 12, 1, at(7, 0, Today.addDays(-5)), 3);
    cancellation(db, 20, 2, Today, 1);
    cancellation(db, 21, 2, Today, 99);
    cancellation(db, 22, 2, Today.addDays(-1), 3);
    settings(db.path(), {{QStringLiteral("DataUltFecha"), QStringLiteral("07/04/2023")}});
    const QString quoted = QStringLiteral("GET http://127.0.0.1:9/pmkt-rest-api/minoristas/1/locales/2/"
                                          "promocionesConLimitePorTicket failed: \"refused\" \\ ção");
    journalRows(
        QStringLiteral("Ano2023_4"),
        {logRow(at(8, 0), QStringLiteral("Gravação venda: 1 - 9 - 10/04/2023"), QStringLiteral("200: Ok")),
         logRow(at(8, 30), QStringLiteral("Erro na operação"), quoted),
         logRow(at(8, 59), QStringLiteral("Abriu post-vendas"))});

    const Output result = runStatus(true);
    EXPECT_EQ(result.code, 1);
    ASSERT_TRUE(result.out.endsWith(u'\n'));
    EXPECT_EQ(result.out.count(u'\n'), 1) << "one line";
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();

    EXPECT_EQ(json[QStringLiteral("status")].toString(), QStringLiteral("WARNING"));
    EXPECT_EQ(json[QStringLiteral("exitCode")].toInt(), 1);
    EXPECT_EQ(
        json[QStringLiteral("summary")].toString(),
        QStringLiteral("KORVANTA WARNING - 1 ticket refused; 1 cancellation refused; daily closing 2 days "
                       "behind; promotions failed last (Erro na operação)"));
    EXPECT_EQ(json[QStringLiteral("problems")].toArray().size(), 4);
    EXPECT_EQ(json[QStringLiteral("checkedAt")].toString(), QStringLiteral("2023-04-10T09:00:00"));
    EXPECT_EQ(json[QStringLiteral("version")].toString(), QStringLiteral("2020.1104"));
    EXPECT_EQ(json[QStringLiteral("database")][QStringLiteral("name")].toString(), db.path());
    EXPECT_TRUE(json[QStringLiteral("database")][QStringLiteral("reachable")].toBool());
    EXPECT_EQ(json[QStringLiteral("baseUrl")][QStringLiteral("url")].toString(),
              QStringLiteral("http://127.0.0.1:9/"));
    EXPECT_EQ(json[QStringLiteral("baseUrl")][QStringLiteral("source")].toString(),
              QStringLiteral("configured"));
    EXPECT_EQ(json[QStringLiteral("thresholds")][QStringLiteral("critAgeMinutes")].toInt(), 120);

    const QJsonObject totals = json[QStringLiteral("totals")].toObject();
    EXPECT_EQ(totals[QStringLiteral("ticketsPending")].toInt(), 2);
    EXPECT_EQ(totals[QStringLiteral("ticketsRefused")].toInt(), 1);
    EXPECT_EQ(totals[QStringLiteral("cancellationsPending")].toInt(), 1);
    EXPECT_EQ(totals[QStringLiteral("cancellationsRefused")].toInt(), 1);
    EXPECT_EQ(totals[QStringLiteral("oldestPendingAgeMinutes")].toInt(), 20);

    const QJsonArray registers = json[QStringLiteral("registers")].toArray();
    ASSERT_EQ(registers.size(), 2);
    const QJsonObject one = registers[0].toObject();
    EXPECT_EQ(one[QStringLiteral("register")].toInt(), 1);
    EXPECT_EQ(one[QStringLiteral("tickets")][QStringLiteral("pending")].toInt(), 2);
    EXPECT_EQ(one[QStringLiteral("tickets")][QStringLiteral("refused")].toInt(), 1);
    EXPECT_EQ(one[QStringLiteral("tickets")][QStringLiteral("oldestPending")].toString(),
              QStringLiteral("2023-04-10T08:40:00"));
    EXPECT_EQ(one[QStringLiteral("tickets")][QStringLiteral("oldestPendingAgeMinutes")].toInt(), 20);
    EXPECT_EQ(one[QStringLiteral("cancellations")][QStringLiteral("pending")].toInt(), 0);
    EXPECT_TRUE(one[QStringLiteral("cancellations")][QStringLiteral("oldestPending")].isNull());
    const QJsonObject two = registers[1].toObject();
    EXPECT_EQ(two[QStringLiteral("register")].toInt(), 2);
    EXPECT_EQ(two[QStringLiteral("cancellations")][QStringLiteral("pending")].toInt(), 1);
    EXPECT_EQ(two[QStringLiteral("cancellations")][QStringLiteral("refused")].toInt(), 1);
    EXPECT_EQ(two[QStringLiteral("cancellations")][QStringLiteral("oldestPending")].toString(),
              QStringLiteral("2023-04-10"));

    const QJsonObject closing = json[QStringLiteral("closing")].toObject();
    EXPECT_EQ(closing[QStringLiteral("lastClosedDay")].toString(), QStringLiteral("2023-04-07"));
    EXPECT_EQ(closing[QStringLiteral("daysBehind")].toInt(), 2);

    const QJsonObject tasks = json[QStringLiteral("tasks")].toObject();
    EXPECT_EQ(
        tasks[QStringLiteral("sales")][QStringLiteral("lastSuccess")][QStringLiteral("operation")].toString(),
        QStringLiteral("Gravação venda: 1 - 9 - 10/04/2023"));
    EXPECT_EQ(tasks[QStringLiteral("sales")][QStringLiteral("lastSuccess")][QStringLiteral("at")].toString(),
              QStringLiteral("2023-04-10T08:00:00"));
    EXPECT_TRUE(tasks[QStringLiteral("sales")][QStringLiteral("lastFailure")].isNull());
    EXPECT_EQ(tasks[QStringLiteral("promotions")][QStringLiteral("lastFailure")][QStringLiteral("message")]
                  .toString(),
              quoted);
    EXPECT_TRUE(tasks[QStringLiteral("promotions")][QStringLiteral("failedLast")].toBool());
    EXPECT_TRUE(tasks[QStringLiteral("resend")][QStringLiteral("lastSuccess")].isNull());
    EXPECT_EQ(json[QStringLiteral("lastError")][QStringLiteral("message")].toString(), quoted);
    EXPECT_EQ(
        json[QStringLiteral("journal")][QStringLiteral("newestRow")][QStringLiteral("operation")].toString(),
        QStringLiteral("Abriu post-vendas"));
    EXPECT_EQ(json[QStringLiteral("journal")][QStringLiteral("daysRead")].toInt(), 1);

    // The same figures in the text, and as performance data on its first line.
    const Output text = runStatus();
    EXPECT_EQ(text.code, 1);
    const QString first = text.out.section(u'\n', 0, 0);
    EXPECT_TRUE(
        first.endsWith(QStringLiteral(" | tickets_pending=2 tickets_refused=1;0 cancellations_pending=1 "
                                      "cancellations_refused=1;0 oldest_pending_age=1200s;1800;7200;0 "
                                      "closing_days_behind=2;1")))
        << first.toStdString();
    for (const char* line :
         {"Register 1: tickets 2 pending since 10/04/2023 08:40:00 (20 min), 1 refused; "
          "cancellations 0 pending, 0 refused",
          "Register 2: tickets 0 pending, 0 refused; cancellations 1 pending since 10/04/2023 "
          "(0 min), 1 refused",
          "Daily closing: last closed day 07/04/2023, 2 days behind"})
        EXPECT_TRUE(text.out.contains(QString::fromUtf8(line))) << line << "\n" << text.out.toStdString();
}

} // namespace
