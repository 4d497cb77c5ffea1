// The articles of the promotion being imported: Ler_condicao_beneficio loads
// one side (condition or benefit) into the groups and articles tables, and
// grava_condicao_beneficio writes the articles loaded into Korvanta_item.

#include "erp/uDtmApi.h"
#include "support/JsonToDataset.h"
#include "support/MemTable.h"
#include "sync/Diagnostico.h"
#include "sync/NiveisPromocao.h"
#include "sync/PromocaoLinhas.h"
#include "sync/Promocoes.h"

using promocao::textoAtual;
using promocao::valorAtual;

void TPromocoes::Ler_condicao_beneficio(const QString& OqueLerin) {
    TMemTable& grupos = m_diagnostico.grupos();
    TMemTable& artigos = m_diagnostico.artigos();
    // The array of groups; a side that is missing or null loads nothing.
    grupos.Close();
    JsonToDataset(grupos, promocao::arrayDoMembro(textoAtual(m_diagnostico.detalhes(), OqueLerin)));
    // Only the first group is imported.
    artigos.Close();
    JsonToDataset(artigos, textoAtual(grupos, QStringLiteral("articulos")));
}

void TPromocoes::grava_condicao_beneficio(const QString& OqueLerin, const QString& tipoPromocao) {
    TMemTable& artigos = m_diagnostico.artigos();
    if (!artigos.Active()) return;
    promocao::LinhaItem item;
    item.id = m_diagnostico.promocoes().FieldByName(QStringLiteral("id")).AsString();
    item.tipoItem = OqueLerin;
    item.desconto = valorAtual(m_diagnostico.detalhes(), QStringLiteral("descuento"));
    item.paga = valorAtual(m_diagnostico.detalhes(), QStringLiteral("paga"));
    item.quantidade = valorAtual(m_diagnostico.grupos(), QStringLiteral("cantidad"));
    item.preco = promocao::precoDoItem(
        tipoPromocao, valorAtual(m_diagnostico.detalhes(), QStringLiteral("precio")), item.quantidade);
    for (artigos.First(); !artigos.Eof(); artigos.Next()) {
        item.nome = artigos.FieldByName(QStringLiteral("nombre")).AsString();
        item.codigoBarras = artigos.FieldByName(QStringLiteral("codigoBarras")).AsString();
        Sinc_Itens(promocao::condicaoItem(item.id, item.codigoBarras, OqueLerin), promocao::paresItem(item));
    }
}
