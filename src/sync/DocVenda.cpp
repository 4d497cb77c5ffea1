// gera_json_venda and gera_json_Forma_pgto: the sale movement document of one
// ticket row. The lines themselves come from movdoc (MovementDocument.h); this
// file reads the ERP rows for it. The document is built in the diagnostics'
// documentoEnviado, where the test console shows it.

#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"
#include "support/Memo.h"
#include "support/frmFunczyr.h"
#include "sync/Diagnostico.h"
#include "sync/DocText.h"
#include "sync/EnvioDeVendas.h"
#include "sync/MovementDocument.h"

QString TEnvioDeVendas::gera_json_venda(const TFbQuery& cupom) {
    const int nroCupom = cupom.FieldByName(QStringLiteral("NRO_CUPOM")).AsInteger();
    const int nroCx = cupom.FieldByName(QStringLiteral("NRO_CX")).AsInteger();
    const QDate data = cupom.FieldByName(QStringLiteral("DATA_CUPOM")).AsDate();
    const TFbField hora = cupom.FieldByName(QStringLiteral("HORA"));

    movdoc::Movimento m;
    // The time of day as stored, with no time zone or daylight-saving shift.
    const QTime horaDoCupom = hora.IsNull() ? QTime(0, 0) : hora.AsTime();
    m.fecha = Funcoes_da_ZYR::Formata_Data(data, QStringLiteral("AAAA-MM-DD")) + QStringLiteral("T") +
              horaDoCupom.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(".000-0300");
    m.numero = QString::number(nroCupom);
    m.descontoTicket = cupom.FieldByName(QStringLiteral("VLR_DES")).AsFloat();
    m.recargo = cupom.FieldByName(QStringLiteral("VLR_ACR")).AsFloat();
    m.total = cupom.FieldByName(QStringLiteral("SUB_TOT")).AsFloat();
    m.documentoCliente = cupom.FieldByName(QStringLiteral("CPF_CLI")).AsString();

    // The items of this ticket, in the order of nro_item.
    TFbQuery& itens = m_erp.qryItensCupom();
    itens.setParams(sqltexts::itemParams(nroCupom, nroCx, data));
    itens.Open();
    while (!itens.Eof()) {
        movdoc::Item item;
        item.codigoArticulo = itens.FieldByName(QStringLiteral("COD_MER")).AsString();
        item.codigoBarras = itens.FieldByName(QStringLiteral("COD_BAR")).AsString();
        item.nome = itens.FieldByName(QStringLiteral("NOM_MER")).AsString();
        item.quantidade = itens.FieldByName(QStringLiteral("QTD_VEN")).AsFloat();
        item.cantidad = doctext::quantity(item.quantidade);
        item.vlrUni = itens.FieldByName(QStringLiteral("VLR_UNI")).AsFloat();
        item.subTot = itens.FieldByName(QStringLiteral("SUB_TOT")).AsFloat();
        item.desconto = itens.FieldByName(QStringLiteral("VLR_DES_I_KORV")).AsFloat(); // null: 0
        m.itens << item;
        itens.Next();
    }

    const movdoc::Abertura abertura = movdoc::abertura(m);
    TMemo& documento = m_diagnostico.documentoEnviado();
    documento.Clear();
    for (const QString& linha : abertura.linhas)
        documento.Add(linha);

    const QString formasPgto = cupom.FieldByName(QStringLiteral("FORMASPGTO")).AsString();
    if (!formasPgto.trimmed().isEmpty())
        gera_json_Forma_pgto(formasPgto, cupom.FieldByName(QStringLiteral("VLR_TRO")).AsFloat());
    else
        gera_json_Forma_pgto(cupom.FieldByName(QStringLiteral("FORMA_PAG")).AsString() + QStringLiteral("^") +
                                 doctext::quantity(m.total),
                             0);
    for (const QString& linha : movdoc::fecho())
        documento.Add(linha);
    return documento.Text();
}

void TEnvioDeVendas::gera_json_Forma_pgto(const QString& strformasIn, double vlrTrocoIn) {
    TMemo& formas = m_diagnostico.formasDePagamento();
    formas.Clear();
    formas.SetText(strformasIn);
    for (const QString& linha : movdoc::pagamentos(formas.Lines(), vlrTrocoIn))
        m_diagnostico.documentoEnviado().Add(linha);
}
