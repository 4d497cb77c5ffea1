#include "sync/ClosingTotals.h"

#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"

#include <utility>

namespace fechamento {

TotaisPorDia lerTotais(TdtmApi& dtm, const QDate& primeiro, const QDate& ultimo, const SqlWhere& filtro) {
    TFbQuery& totais = dtm.qryFecha();
    TotaisPorDia porDia;

    totais.setStatement(sqltexts::closingSalesTotals(primeiro, ultimo, filtro));
    totais.Open();
    for (; !totais.Eof(); totais.Next()) {
        TotaisDoCaixa t;
        t.caixa = totais.FieldByName(QStringLiteral("NRO_CX")).AsString();
        t.somaVenda = totais.FieldByName(QStringLiteral("Vendas")).AsFloat(); // null: 0
        t.contaVenda = totais.FieldByName(QStringLiteral("nroVendas")).AsFloat();
        porDia[totais.FieldByName(QStringLiteral("DATA_CUPOM")).AsDate()].push_back(std::move(t));
    }

    totais.setStatement(sqltexts::closingCancellationTotals(primeiro, ultimo, filtro));
    totais.Open();
    for (; !totais.Eof(); totais.Next()) {
        const auto dia = porDia.find(totais.FieldByName(QStringLiteral("DATA_CUPOM")).AsDate());
        if (dia == porDia.end()) continue; // a day without tickets is not closed
        const QString caixa = totais.FieldByName(QStringLiteral("NRO_CX")).AsString();
        for (TotaisDoCaixa& t : dia.value()) {
            if (t.caixa != caixa) continue;
            t.somaCancel = totais.FieldByName(QStringLiteral("Cancela")).AsFloat();
            t.contaCancel = totais.FieldByName(QStringLiteral("nroCancela")).AsFloat();
            break;
        }
    }
    totais.Close();
    return porDia;
}

} // namespace fechamento
