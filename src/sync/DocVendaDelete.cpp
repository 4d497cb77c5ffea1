// gera_json_venda_delete: the movement document of the current row of
// qryCupomDelete, built from the cancelled-ticket text (canceldoc) and the
// ticket's payment-forms row. strOper "" is pass 1 (the ticket as a sale), "-"
// pass 2 (its cancellation).

#include "app/uPrincipal.h"
#include "erp/uDtmApi.h"
#include "sync/CancelledTicket.h"
#include "sync/MovementDocument.h"

void TPrincipal::gera_json_venda_delete(const QString& strOper) {
    const TFbQuery& cancelado = dtmApi->qryCupomDelete();
    memoItem.Clear();
    memoItem.SetText(cancelado.FieldByName(QStringLiteral("MEMO_KORV")).AsString());

    // On a text that cannot be read memoItem keeps it for the test console.
    const canceldoc::Cancelamento c = canceldoc::lerTextoCancelado(
        memoItem.Lines(), cancelado.FieldByName(QStringLiteral("NRO_CUPOM")).AsInteger(), strOper);
    const movdoc::Abertura abertura = movdoc::abertura(c.movimento);
    mmoRequest.Clear();
    for (const QString& linha : abertura.linhas)
        mmoRequest.Add(linha);
    addVirgula = c.movimento.itens.isEmpty() ? QString() : QStringLiteral(",");
    soma_os_descontos = abertura.somaDescontos;

    // No change is deducted from the payments of a cancellation.
    gera_json_Forma_pgto(
        canceldoc::formasDoCancelamento(c, cancelado.FieldByName(QStringLiteral("FORMASPGTO")).AsString()),
        0);
    for (const QString& linha : movdoc::fecho())
        mmoRequest.Add(linha);
    memoItem.Clear();
}
