// --status: the judgement and its exit status against a real ERP database, a
// database that cannot be reached, settings that cannot be used, the JSON
// object, and what the journal files tell of each task.

#include "AppTestSupport.h"
#include "app/JournalLine.h"
#include "app/StatusJournal.h"
#include "app/StatusReport.h"
#include "support/fixtures/ErpDatabase.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

struct Output {
    int code = -1;
    QString out;
    QString err;
    [[nodiscard]] QString summary() const {
        return out.section(u'\n', 0, 0).section(QStringLiteral(" | "), 0, 0);
    }
};

QString readBack(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    QByteArray bytes;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, static_cast<qsizetype>(n));
    std::fclose(file);
    return QString::fromUtf8(bytes);
}

Output runStatus(bool json = false) {
    status::Options options;
    options.json = json;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Output result;
    result.code = status::run(options, out, err);
    result.out = readBack(out);
    result.err = readBack(err);
    return result;
}

const QDate Today(2023, 4, 10);

QDateTime at(int hour, int minute, const QDate& day = Today) {
    return QDateTime(day, QTime(hour, minute));
}

journal::Row logRow(const QDateTime& when, const QString& operation, const QString& message = QString()) {
    return {when, operation, message};
}

// A ticket at `when`; `withHora` false leaves its hora null.
void ticket(const ErpDatabase& db, int number, int cx, const QDateTime& when, int flag, int company = 1,
            bool withHora = true) {
    const QString hora =
        withHora ? u'\'' + when.time().toString(QStringLiteral("hh:mm:ss")) + u'\'' : QStringLiteral("null");
    db.exec(QStringLiteral(
                "insert into cupom_fiscal (nro_cupom, nro_cx, data_cupom, hora, sinc_korvanta, cod_emp) "
                "values (%1, %2, '%3', %4, %5, %6)")
                .arg(number)
                .arg(cx)
                .arg(when.date().toString(Qt::ISODate), hora)
                .arg(flag)
                .arg(company));
}

void cancellation(const ErpDatabase& db, int number, int cx, const QDate& day, int flag) {
    db.exec(QStringLiteral("insert into KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, sinc_korv, sub_tot) "
                           "values (%1, %2, '%3', %4, 10)")
                .arg(number)
                .arg(cx)
                .arg(day.toString(Qt::ISODate))
                .arg(flag));
}

class StatusTest : public apptest::ShellTest {
  protected:
    StatusTest() { clock.set(at(9, 0)); }

    // configAPI.ini for `database` with the closing up to date, `extra` over it.
    void settings(const QString& database, const apptest::Settings& extra = {}) {
        apptest::Settings all{{QStringLiteral("PATH DOLVEX"), database},
                              {QStringLiteral("URLBASE"), QStringLiteral("http://127.0.0.1:9/")},
                              {QStringLiteral("DataUltFecha"), QStringLiteral("09/04/2023")}};
        for (const auto& [key, value] : extra) {
            auto same = std::find_if(all.begin(), all.end(),
                                     [&key = key](const auto& kv) { return kv.first == key; });
            if (same != all.end())
                same->second = value;
            else
                all.push_back({key, value});
        }
        writeSettings(all);
    }

    // Appends rows to the journal file of their day in month folder `month` ("Ano2023_4").
    void journalRows(const QString& month, const QList<journal::Row>& rows) const {
        const QString folder = dir() + QStringLiteral("Korvanta/log/") + month + u'/';
        QDir().mkpath(folder);
        for (const journal::Row& row : rows) {
            QFile file(folder + journal::fileName(row.when.date()));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append));
            file.write(journal::line(row.when, row.operation, row.message));
        }
    }

    void clearJournal() const { QDir(dir() + QStringLiteral("Korvanta")).removeRecursively(); }
};

// A running program's rows: the sales upload opened a minute ago.
const QList<journal::Row> Alive{logRow(at(8, 59), QStringLiteral("Abriu post-vendas"))};

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
