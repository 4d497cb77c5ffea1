// Flag writes on the ERP database: the data module's way (one
// UPDATEFILE_Matriz and one dtmApiCommit per ticket: the statement built from
// its terms, taken from the connection's prepared statements and run with its
// values bound as texts) against one prepared UPDATE with typed parameters and
// a commit-retaining per ticket, in the same run, on the same tickets. Both
// sides run on the embedded engine, then through the Firebird server over TCP
// ("localhost:/path") when one answers (scripts/fbserver start).
//
//   flag_updates [count] [--rounds R] [--forced-writes]   (count 10000, R 3; the median round counts)
//
// By default the database has forced writes off, so the cost of the statements
// and commits shows rather than the disk's. With --forced-writes every commit
// waits for the disk, as on a store's ERP database; on a slow disk that takes
// some 20 ms a commit, so give a smaller count.
//
// "RESULT flag_updates key=value ..." and "RESULT flag_updates_tcp ..." hold the
// figures for scripts/bench (goal: ratio at most 1.3).

#include "erp/FbDatabase.h"
#include "erp/FbError.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"
#include "erp/SqlScript.h"
#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"
#include "BenchSupport.h"
#include "RawStatement.h"
#include "ServerDatabase.h"

#include <firebird/Interface.h>

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

namespace {

const QDate kDay(2025, 12, 8);

// A database with `count` tickets 1..count of register 1 on kDay, all flag 1.
void createDatabase(const QString& path, int count, bool forcedWrites) {
    TFbDatabase db;
    TFbTransaction tr;
    bench::createSchemaDatabase(db, tr, path, forcedWrites);
    TFbQuery fill(&db, &tr, QStringLiteral("fill"));
    fill.sql().setText(QStringLiteral("execute block as declare i integer = 1; begin "
                                  "while (i <= %1) do begin "
                                  "insert into cupom_fiscal (nro_cupom, nro_cx, data_cupom, sub_tot, sinc_korvanta, cod_emp) "
                                  "values (:i, 1, '12/08/2025', 10.00, 1, 1); i = i + 1; end end")
                         .arg(count));
    fill.ExecSQL();
    db.Close();
}

// The data module's way: UPDATEFILE_Matriz + dtmApiCommit per ticket.
double dataModuleWrites(TdtmApi& dtm, int count, const QString& flag) {
    QElapsedTimer timer;
    timer.start();
    for (int ticket = 1; ticket <= count; ++ticket) {
        dtm.UPDATEFILE_Matriz(sqltexts::kTicketTable,
                              sqltexts::ticketFlagCondition(ticket, 1, kDay, std::nullopt),
                              {sqltexts::kTicketFlag, flag});
        if (!dtm.dtmApiCommit()) throw AppError(QStringLiteral("commit failed: ") + dtm.lastCommitError());
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

// One prepared UPDATE with typed parameters, executed and committed (retaining)
// per ticket.
double preparedWrites(TdtmApi& dtm, int count, int flag) {
    QElapsedTimer timer;
    timer.start();
    bench::RawStatement update(dtm.dtbDolvex().attachment(), dtm.ibtDolvex().handle(),
                               "UPDATE Cupom_fiscal SET sinc_korvanta=? "
                               "WHERE nro_cupom=? and nro_cx=? and data_cupom=?");
    update.setInt(0, flag);
    update.setInt(2, 1);
    update.setDate(3, kDay);
    Firebird::ITransaction* tra = dtm.ibtDolvex().handle();
    Firebird::ThrowStatusWrapper status(fb::master()->getStatus());
    for (int ticket = 1; ticket <= count; ++ticket) {
        update.setInt(1, ticket);
        update.execute();
        tra->commitRetaining(&status);
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    status.dispose();
    return seconds;
}

int countFlag(TdtmApi& dtm, int flag) {
    dtm.qrySelect1().setStatement({{QStringLiteral("select count(*) n from cupom_fiscal where sinc_korvanta=?")},
                                 {QString::number(flag)}});
    dtm.qrySelect1().Open();
    const int n = dtm.qrySelect1().FieldByName("N").AsInteger();
    dtm.qrySelect1().Close();
    return n;
}

// One side on a database of its own, so both start from the same state: the
// engine's cost per commit grows as the run goes on (its transaction bookkeeping),
// which would otherwise weigh on whichever side runs second.
template <typename Writes>
double measure(const QString& name, int count, Writes writes) {
    TdtmApi dtm;
    dtm.setPathBancoDolvex(name);
    dtm.dtmConectDolvex(true);
    const double seconds = writes(dtm);
    const int flagged = countFlag(dtm, 2);
    dtm.dtmConectDolvex(false);
    if (flagged != count)
        throw AppError(QStringLiteral("%1 of %2 tickets were flagged in %3").arg(flagged).arg(count).arg(name));
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Both sides `rounds` times, each round on fresh copies of `pristine`; `name`
// turns a file into the name to attach with. Answers the medians.
std::pair<double, double> compare(const QString& pristine, int count, int rounds,
                                  const std::function<QString(const QString&)>& name) {
    std::vector<double> module, prepared;
    for (int r = 0; r < rounds; ++r) {
        const QString first = pristine + QStringLiteral(".module.fdb");
        const QString second = pristine + QStringLiteral(".prepared.fdb");
        QFile::remove(first);
        QFile::remove(second);
        if (!QFile::copy(pristine, first) || !QFile::copy(pristine, second))
            throw AppError(QStringLiteral("cannot copy ") + pristine);
        module.push_back(measure(name(first), count, [&](TdtmApi& dtm) {
            (void)dataModuleWrites(dtm, 50, QStringLiteral("1")); // warm-up on the same rows
            return dataModuleWrites(dtm, count, QStringLiteral("2"));
        }));
        prepared.push_back(measure(name(second), count, [&](TdtmApi& dtm) {
            (void)preparedWrites(dtm, 50, 1);
            return preparedWrites(dtm, count, 2);
        }));
    }
    return {median(module), median(prepared)};
}

void report(const char* label, int count, int rounds, bool forcedWrites, std::pair<double, double> medians) {
    const auto [module, prepared] = medians;
    std::printf("%s: forced writes %s, %d flag writes, each followed by a commit (median of %d rounds)\n", label,
                forcedWrites ? "on" : "off", count, rounds);
    std::printf("  UPDATEFILE_Matriz + dtmApiCommit   %8.3f s  %8.1f us/write\n", module, module * 1e6 / count);
    std::printf("  prepared UPDATE + commitRetaining  %8.3f s  %8.1f us/write\n", prepared, prepared * 1e6 / count);
    std::printf("  ratio                              %8.2f (goal <= 1.3)\n", module / prepared);
    std::printf("RESULT %s count=%d rounds=%d forced_writes=%d module_s=%.3f prepared_s=%.3f module_us=%.1f "
                "prepared_us=%.1f ratio=%.3f\n",
                label, count, rounds, forcedWrites ? 1 : 0, module, prepared, module * 1e6 / count,
                prepared * 1e6 / count, module / prepared);
}

void run(int count, int rounds, bool forcedWrites) {
    QTemporaryDir dir;
    const QString pristine = dir.filePath(QStringLiteral("pristine.fdb"));
    createDatabase(pristine, count, forcedWrites);
    report("flag_updates", count, rounds, forcedWrites,
           compare(pristine, count, rounds, [](const QString& file) { return file; }));
    if (!bench::serverName("flag_updates", pristine)) return;
    report("flag_updates_tcp", count, rounds, forcedWrites, compare(pristine, count, rounds, [](const QString& file) {
               bench::openToServer(file);
               return QStringLiteral("localhost:") + file;
           }));
}

} // namespace

int main(int argc, char** argv) {
    int count = 10000;
    int rounds = 3;
    bool forcedWrites = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--forced-writes")
            forcedWrites = true;
        else if (arg == "--rounds" && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            rounds = std::atoi(argv[++i]);
        else if (std::atoi(argv[i]) > 0)
            count = std::atoi(argv[i]);
        else {
            std::fprintf(stderr, "usage: flag_updates [count] [--rounds R] [--forced-writes]\n");
            return 2;
        }
    }
    try {
        run(count, rounds, forcedWrites);
    } catch (const AppError& e) {
        std::fprintf(stderr, "flag_updates: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    } catch (const Firebird::FbException& e) {
        std::fprintf(stderr, "flag_updates: %s\n", bench::fbMessage(e).toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
