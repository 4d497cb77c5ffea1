#pragma once
// Shared by the tests of --status: running the report into strings, rows of
// the ERP and of the journal, and a working folder with its settings and clock.

#include "AppTestSupport.h"
#include "app/JournalLine.h"
#include "app/StatusReport.h"
#include "support/fixtures/ErpDatabase.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdio>

namespace statustest {

struct Output {
    int code = -1;
    QString out;
    QString err;
    [[nodiscard]] QString summary() const {
        return out.section(u'\n', 0, 0).section(QStringLiteral(" | "), 0, 0);
    }
};

inline QString readBack(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    QByteArray bytes;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, static_cast<qsizetype>(n));
    std::fclose(file);
    return QString::fromUtf8(bytes);
}

inline Output runStatus(bool json = false) {
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

inline const QDate Today(2023, 4, 10);

inline QDateTime at(int hour, int minute, const QDate& day = Today) {
    return QDateTime(day, QTime(hour, minute));
}

inline journal::Row logRow(const QDateTime& when, const QString& operation,
                           const QString& message = QString()) {
    return {when, operation, message};
}

// A ticket at `when`; `withHora` false leaves its hora null.
inline void ticket(const ErpDatabase& db, int number, int cx, const QDateTime& when, int flag,
                   int company = 1, bool withHora = true) {
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

inline void cancellation(const ErpDatabase& db, int number, int cx, const QDate& day, int flag) {
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
inline const QList<journal::Row> Alive{logRow(at(8, 59), QStringLiteral("Abriu post-vendas"))};

} // namespace statustest
