// gera_json_venda_delete: the movement document of one cancelled-ticket row,
// built from the cancelled-ticket text (canceldoc) and the ticket's
// payment-forms row. strOper "" is pass 1 (the ticket as a sale), "-" pass 2
// (its cancellation). The text being read stays in the diagnostics'
// textoDoItem when it cannot be read.

#include "erp/uDtmApi.h"
#include "support/Memo.h"
#include "sync/CancelledTicket.h"
#include "sync/Diagnostico.h"
#include "sync/EnvioDeVendas.h"
#include "sync/MovementDocument.h"

QString TEnvioDeVendas::gera_json_venda_delete(const TFbQuery& cancelado, const QString& strOper) {
    TMemo& texto = m_diagnostico.textoDoItem();
    texto.Clear();
    texto.SetText(cancelado.FieldByName(QStringLiteral("MEMO_KORV")).AsString());

    const canceldoc::Cancelamento c = canceldoc::lerTextoCancelado(
        texto.Lines(), cancelado.FieldByName(QStringLiteral("NRO_CUPOM")).AsInteger(), strOper);
    const movdoc::Abertura abertura = movdoc::abertura(c.movimento);
    TMemo& documento = m_diagnostico.documentoEnviado();
    documento.Clear();
    for (const QString& linha : abertura.linhas)
        documento.Add(linha);

    // No change is deducted from the payments of a cancellation.
    gera_json_Forma_pgto(
        canceldoc::formasDoCancelamento(c, cancelado.FieldByName(QStringLiteral("FORMASPGTO")).AsString()),
        0);
    for (const QString& linha : movdoc::fecho())
        documento.Add(linha);
    texto.Clear();
    return documento.Text();
}
