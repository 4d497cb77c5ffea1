// The articles of the promotion being imported: Ler_condicao_beneficio loads
// one side (condition or benefit) into tblJson3 and tblJson4, and
// grava_condicao_beneficio writes the articles loaded into Korvanta_item.

#include "app/uPrincipal.h"

#include "support/JsonToDataset.h"
#include "support/MemTable.h"
#include "support/frmFunczyr.h"
#include "sync/PromocaoLinhas.h"

namespace {

// The text of a column of the table's current row; empty when the table is
// closed or has no rows.
QString textoAtual(TMemTable& tabela, const QString& coluna) {
    if (!tabela.Active() || tabela.RecordCount() == 0) return {};
    return tabela.FieldByName(coluna).AsString();
}

double valorAtual(TMemTable& tabela, const QString& coluna) {
    if (!tabela.Active() || tabela.RecordCount() == 0) return 0;
    return tabela.FieldByName(coluna).AsFloat();
}

} // namespace

void TPrincipal::Ler_condicao_beneficio(const QString& OqueLerin) {
    // {"grupos":[...]}: the part after the first ":" without the closing "}"
    // is the array of groups. A side that is missing or null loads nothing.
    QString grupos = Funcoes_da_ZYR::StringDelimitador(textoAtual(*tblJson2, OqueLerin), QStringLiteral(":"),
                                                       QStringLiteral("Resto"));
    grupos.chop(1);
    tblJson3->Close();
    JsonToDataset(*tblJson3, grupos);
    // Only the first group is imported.
    tblJson4->Close();
    JsonToDataset(*tblJson4, textoAtual(*tblJson3, QStringLiteral("articulos")));
}

void TPrincipal::grava_condicao_beneficio(const QString& OqueLerin) {
    if (!tblJson4->Active()) return;
    promocao::LinhaItem item;
    item.id = tblJson1->FieldByName(QStringLiteral("id")).AsString();
    item.tipoItem = OqueLerin;
    item.desconto = valorAtual(*tblJson2, QStringLiteral("descuento"));
    item.paga = valorAtual(*tblJson2, QStringLiteral("paga"));
    item.quantidade = valorAtual(*tblJson3, QStringLiteral("cantidad"));
    item.preco = promocao::precoDoItem(StrTipoPromocao, valorAtual(*tblJson2, QStringLiteral("precio")),
                                       item.quantidade);
    for (tblJson4->First(); !tblJson4->Eof(); tblJson4->Next()) {
        item.nome = tblJson4->FieldByName(QStringLiteral("nombre")).AsString();
        item.codigoBarras = tblJson4->FieldByName(QStringLiteral("codigoBarras")).AsString();
        Sinc_Itens(promocao::condicaoItem(item.id, item.codigoBarras, OqueLerin), promocao::paresItem(item));
    }
}
