#pragma once
// Pending sale tickets for the benchmarks that run the program itself: the
// tickets of bench/sales_upload (three items of three goods and a payment-forms
// row of two lines each, flag 1), `count` of them on register 1 on `day`.

#include "erp/FbDatabase.h"
#include "erp/FbQuery.h"
#include "erp/FbTransaction.h"

#include <QDate>
#include <QString>

namespace bench {

inline void fillPendingTickets(TFbDatabase& db, TFbTransaction& tr, int count, const QDate& day) {
    const QString date = QStringLiteral("'%1'").arg(day.toString(QStringLiteral("MM/dd/yyyy")));
    TFbQuery fill(&db, &tr, QStringLiteral("fill"));
    fill.sql().setText(
        QStringLiteral(
            "execute block as declare i integer; begin "
            "insert into mercadorias (cod_red, cod_bar, nom_mer) "
            "values (1001, '7896006700017', 'ARROZ TIPO 1 5KG'); "
            "insert into mercadorias (cod_red, cod_bar, nom_mer) "
            "values (1002, '7891000010860', 'CAFE SOLUVEL 50G'); "
            "insert into mercadorias (cod_red, cod_bar, nom_mer) "
            "values (1003, '7891234567895', 'LEITE INTEGRAL 1L'); "
            "i = 1; while (i <= %1) do begin "
            "insert into cupom_fiscal (nro_cupom, nro_cx, data_cupom, cod_cli, vlr_pro, vlr_acr, vlr_des, "
            "sub_tot, vlr_pag, vlr_tro, tip_ven, forma_pag, cpf_cli, hora, sinc_korvanta, cod_emp) "
            "values (:i, 1, %2, 0, 31.00, 0, 1.00, 30.00, 40.00, 10.00, 'V', 'DINHEIRO', '123.456.789-09', "
            "'10:00:00', 1, 1); "
            "insert into itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, "
            "qtd_ven, vlr_uni_o, vlr_des_i_korv) values (:i, 1, %2, 1, 1001, 5.00, 10.00, 2, 5.00, 0); "
            "insert into itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, "
            "qtd_ven, vlr_uni_o, vlr_des_i_korv) values (:i, 1, %2, 2, 1002, 11.90, 9.00, 1, 11.90, 2.90); "
            "insert into itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, sub_tot, "
            "qtd_ven, vlr_uni_o, vlr_des_i_korv) values (:i, 1, %2, 3, 1003, 5.50, 11.00, 2, 5.50, 0); "
            "insert into KORVANTA_DELETE (nro_cupom, nro_cx, data_cupom, cod_emp, memo_korv, sinc_korv, "
            "sub_tot) values (:i, 1, %2, 1, "
            "'Dinheiro^20.00' || ascii_char(13) || ascii_char(10) || 'Cartao Credito^20,00', 99, 30.00); "
            "i = i + 1; end end")
            .arg(count)
            .arg(date));
    fill.ExecSQL();
}

} // namespace bench
