// Flag writes on the embedded ERP database: the data module's way (one
// UPDATEFILE_Matriz and one dtmApiCommit per ticket, the statement text built
// and prepared anew each time) against one prepared parameterised UPDATE with a
// commit-retaining per ticket, in the same run, on the same tickets.
//
//   flag_updates [count] [--forced-writes]      (count defaults to 10000)
//
// By default the database has forced writes off, so the cost of the statements
// and commits shows rather than the disk's. With --forced-writes every commit
// waits for the disk, as on a store's ERP database; on a slow disk that takes
// some 20 ms a commit, so give a smaller count.
//
// The last line, "RESULT flag_updates key=value ...", holds the figures for
// scripts/bench (goal: ratio at most 2).

#include "erp/FbDatabase.h"
#include "erp/FbError.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"
#include "erp/SqlScript.h"
#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"
#include "BenchSupport.h"

#include <firebird/Interface.h>

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const QDate kDay(2025, 12, 8);

// A database with `count` tickets 1..count of register 1 on kDay, all flag 1.
void createDatabase(const QString& path, int count, bool forcedWrites) {
    TFbDatabase db;
    TFbTransaction tr;
    bench::createSchemaDatabase(db, tr, path, forcedWrites);
    TFbQuery fill(&db, &tr, QStringLiteral("fill"));
    fill.SQL.setText(QStringLiteral("execute block as declare i integer = 1; begin "
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

// One prepared parameterised UPDATE, executed and committed (retaining) per ticket.
double preparedWrites(TdtmApi& dtm, int count, int flag) {
    using namespace Firebird;
    IMaster* master = fb_get_master_interface();
    ThrowStatusWrapper status(master->getStatus());
    IAttachment* att = dtm.dtbDolvex.attachment();
    ITransaction* tra = dtm.ibtDolvex.handle();
    // Input message: flag, ticket, register (INTEGER) and day (DATE).
    IMetadataBuilder* builder = master->getMetadataBuilder(&status, 4);
    for (unsigned i = 0; i < 3; ++i) {
        builder->setType(&status, i, SQL_LONG + 1);
        builder->setLength(&status, i, sizeof(ISC_LONG));
    }
    builder->setType(&status, 3, SQL_TYPE_DATE + 1);
    builder->setLength(&status, 3, sizeof(ISC_DATE));
    IMessageMetadata* meta = builder->getMetadata(&status);
    builder->release();
    std::vector<unsigned char> message(meta->getMessageLength(&status), 0);
    const auto at = [&](unsigned i) { return message.data() + meta->getOffset(&status, i); };
    for (unsigned i = 0; i < 4; ++i) *reinterpret_cast<short*>(message.data() + meta->getNullOffset(&status, i)) = 0;
    *reinterpret_cast<ISC_LONG*>(at(0)) = flag;
    *reinterpret_cast<ISC_LONG*>(at(2)) = 1;
    *reinterpret_cast<ISC_DATE*>(at(3)) = ISC_DATE(kDay.toJulianDay() - 2400001);
    ISC_LONG* ticketField = reinterpret_cast<ISC_LONG*>(at(1));

    QElapsedTimer timer;
    timer.start();
    IStatement* stmt = att->prepare(&status, tra, 0,
                                    "UPDATE Cupom_fiscal SET sinc_korvanta=? "
                                    "WHERE nro_cupom=? and nro_cx=? and data_cupom=?",
                                    SQL_DIALECT_V6, 0);
    for (int ticket = 1; ticket <= count; ++ticket) {
        *ticketField = ticket;
        stmt->execute(&status, tra, meta, message.data(), nullptr, nullptr);
        tra->commitRetaining(&status);
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    stmt->free(&status);
    meta->release();
    status.dispose();
    return seconds;
}

int countFlag(TdtmApi& dtm, int flag) {
    dtm.qrySelect1.SQL = QStringList{QStringLiteral("select count(*) n from cupom_fiscal where sinc_korvanta=%1").arg(flag)};
    dtm.qrySelect1.Open();
    const int n = dtm.qrySelect1.FieldByName("N").AsInteger();
    dtm.qrySelect1.Close();
    return n;
}

// One side on a database of its own, so both start from the same state: the
// engine's cost per commit grows as the run goes on (its transaction bookkeeping),
// which would otherwise weigh on whichever side runs second.
template <typename Writes>
double measure(const QString& path, int count, Writes writes) {
    TdtmApi dtm;
    dtm.pathBancoDolvex = path;
    dtm.dtmConectDolvex(true);
    const double seconds = writes(dtm);
    const int flagged = countFlag(dtm, 2);
    dtm.dtmConectDolvex(false);
    if (flagged != count)
        throw AppError(QStringLiteral("%1 of %2 tickets were flagged in %3").arg(flagged).arg(count).arg(path));
    return seconds;
}

void runOnce(int count, bool forcedWrites) {
    QTemporaryDir dir;
    const QString pristine = dir.filePath(QStringLiteral("pristine.fdb"));
    createDatabase(pristine, count, forcedWrites);
    const QString first = dir.filePath(QStringLiteral("module.fdb"));
    const QString second = dir.filePath(QStringLiteral("prepared.fdb"));
    if (!QFile::copy(pristine, first) || !QFile::copy(pristine, second))
        throw AppError(QStringLiteral("cannot copy ") + pristine);

    const double module = measure(first, count, [&](TdtmApi& dtm) {
        (void)dataModuleWrites(dtm, 50, QStringLiteral("1")); // warm-up on the same rows
        return dataModuleWrites(dtm, count, QStringLiteral("2"));
    });
    const double prepared = measure(second, count, [&](TdtmApi& dtm) {
        (void)preparedWrites(dtm, 50, 1);
        return preparedWrites(dtm, count, 2);
    });

    std::printf("forced writes %s, %d flag writes, each followed by a commit\n", forcedWrites ? "on" : "off", count);
    std::printf("  UPDATEFILE_Matriz + dtmApiCommit   %8.3f s  %8.1f us/write\n", module, module * 1e6 / count);
    std::printf("  prepared UPDATE + commitRetaining  %8.3f s  %8.1f us/write\n", prepared, prepared * 1e6 / count);
    std::printf("  ratio                              %8.2f\n", module / prepared);
    std::printf("RESULT flag_updates count=%d forced_writes=%d module_s=%.3f prepared_s=%.3f module_us=%.1f "
                "prepared_us=%.1f ratio=%.3f\n",
                count, forcedWrites ? 1 : 0, module, prepared, module * 1e6 / count, prepared * 1e6 / count,
                module / prepared);
}

} // namespace

int main(int argc, char** argv) {
    int count = 10000;
    bool forcedWrites = false;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--forced-writes")
            forcedWrites = true;
        else if (std::atoi(argv[i]) > 0)
            count = std::atoi(argv[i]);
        else {
            std::fprintf(stderr, "usage: flag_updates [count] [--forced-writes]\n");
            return 2;
        }
    }
    try {
        runOnce(count, forcedWrites);
    } catch (const AppError& e) {
        std::fprintf(stderr, "flag_updates: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
