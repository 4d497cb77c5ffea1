#pragma once
// Pending sale tickets for the benchmarks: three items of three goods and a
// payment-forms row of two lines each, flag 1, register by register.

#include "erp/FbDatabase.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"

#include <QDate>
#include <QList>
#include <QString>

namespace bench {

// One register's pending tickets: numbers 1 to `count`.
struct PendingRegister {
    int register_;
    int count;
};

// The three goods, then the tickets of each register on `day`.
inline void fillPendingTickets(TFbDatabase& db, TFbTransaction& tr, const QList<PendingRegister>& registers,
                               const QDate& day) {
    const QString date = QStringLiteral("'%1'").arg(day.toString(QStringLiteral("MM/dd/yyyy")));
    QString block = QStringLiteral(
        "execute block as declare i integer; begin "
        "insert into mercadorias (cod_red, cod_bar, nom_mer) values (1001, '7896006700017', 'ARROZ TIPO 1 5KG'); "
        "insert into mercadorias (cod_red, cod_bar, nom_mer) values (1002, '7891000010860', 'CAFE SOLUVEL 50G'); "
        "insert into mercadorias (cod_red, cod_bar, nom_mer) values (1003, '7891234567895', 'LEITE INTEGRAL 1L'); ");
    for (const PendingRegister& r : registers)
        block += QStringLiteral(
                     "i = 1; while (i <= %1) do begin "
                     "insert into cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, "
                     "sub_tot, vlr_pag, vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp) "
                     "values (:i, %3, %2, 0, 31.00, 0, 1.00, 30.00, 40.00, 10.00, 'V', 'DINHEIRO', "
                     "'123.456.789-09', '10:00:00', 1, 1); "
                     "insert into itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, "
                     "qtd_ven, vlr_uni_o, vlr_des_i_korv) values (:i, %3, %2, 1, 1001, 5.00, 10.00, 2, 5.00, 0); "
                     "insert into itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, "
                     "qtd_ven, vlr_uni_o, vlr_des_i_korv) values (:i, %3, %2, 2, 1002, 11.90, 9.00, 1, 11.90, 2.90); "
                     "insert into itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, "
                     "qtd_ven, vlr_uni_o, vlr_des_i_korv) values (:i, %3, %2, 3, 1003, 5.50, 11.00, 2, 5.50, 0); "
                     "insert into KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, sinc_korv, "
                     "sub_tot) values (:i, %3, %2, 1, "
                     "'Dinheiro^20.00' || ascii_char(13) || ascii_char(10) || 'Cartao Credito^20,00', 99, 30.00); "
                     "i = i + 1; end ")
                     .arg(r.count)
                     .arg(date)
                     .arg(r.register_);
    block += QStringLiteral("end");
    TFbQuery fill(&db, &tr, QStringLiteral("fill"));
    fill.sql().setText(block);
    fill.ExecSQL();
}

} // namespace bench
