#pragma once
// The database of bench/closing_backlog: tickets spread evenly over a span of
// days on 4 registers, all sent already (flag 2), with a payment-forms row for
// every 25th ticket and, on 6 days of 7, 3 cancelled tickets a register. The
// server fills it itself (execute block, a hundred days a statement), forced
// writes off. With `dateIndexes` it also gets the two indexes a shop's
// database administrator would add for the daily closing (README.md):
// cupom_fiscal (data_cupom) and KORVANTA_DELETE (data_cupom).

#include "BenchSupport.h"
#include "erp/FbDatabase.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"

#include <QDate>
#include <QString>

#include <algorithm>

namespace bench {

struct Backlog {
    int tickets = 1'000'000;
    int days = 1'000;
    QDate lastDay;            // the last day with tickets
    bool dateIndexes = true;
    static constexpr int kRegisters = 4;

    [[nodiscard]] int ticketsPerRegisterAndDay() const { return std::max(1, tickets / (days * kRegisters)); }
    [[nodiscard]] QDate firstDay() const { return lastDay.addDays(1 - days); }
};

inline void createBacklogDatabase(const QString& path, const Backlog& b) {
    TFbDatabase db;
    TFbTransaction tr;
    createSchemaDatabase(db, tr, path, false);
    TFbQuery fill(&db, &tr, QStringLiteral("fill"));
    const auto exec = [&](const QString& sql) {
        fill.setStatement({{sql}, {}});
        fill.ExecSQL();
        tr.Commit();
    };
    const QString first = b.firstDay().toString(QStringLiteral("MM/dd/yyyy"));
    for (int from = 0; from < b.days; from += 100) {
        exec(QStringLiteral(
                 "execute block as "
                 "declare d integer; declare cx integer; declare i integer; declare dt date; begin "
                 "d = %1; "
                 "while (d < %2) do begin "
                 "  dt = cast('%3' as date) + d; cx = 1; "
                 "  while (cx <= %4) do begin "
                 "    i = 1; "
                 "    while (i <= %5) do begin "
                 "      insert into cupom_fiscal (nro_cupom, nro_cx, data_cupom, sub_tot, sinc_korvanta, cod_emp) "
                 "        values (:i, :cx, :dt, (mod(:i * 7 + :d * 3 + :cx, 400) + 1) * 0.25, 2, 1); "
                 "      if (mod(i, 25) = 0) then "
                 "        insert into KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, sinc_korv, sub_tot) "
                 "          values (:i, :cx, :dt, 1, 99, 1.00); "
                 "      i = i + 1; "
                 "    end "
                 "    if (mod(d, 7) <> 0) then begin "
                 "      i = 1; "
                 "      while (i <= 3) do begin "
                 "        insert into KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, sinc_korv, sub_tot) "
                 "          values (100000 + :i, :cx, :dt, 1, 2, (mod(:d + :i, 40) + 1) * 0.75); "
                 "        i = i + 1; "
                 "      end "
                 "    end "
                 "    cx = cx + 1; "
                 "  end "
                 "  d = d + 1; "
                 "end end")
                 .arg(from)
                 .arg(std::min(from + 100, b.days))
                 .arg(first)
                 .arg(Backlog::kRegisters)
                 .arg(b.ticketsPerRegisterAndDay()));
    }
    if (b.dateIndexes) {
        exec(QStringLiteral("create index ix_bench_cupom_fiscal_data on cupom_fiscal (data_cupom)"));
        exec(QStringLiteral("create index ix_bench_korvanta_delete_data on KORVANTA_DELETE (data_cupom)"));
    }
    db.Close();
}

} // namespace bench
