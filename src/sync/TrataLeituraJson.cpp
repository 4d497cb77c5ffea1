// Trata_leitura_Json: the promotion import. It cuts the promotions document the
// fetch left in the result memo into levels, loads each level into a memory
// table, writes one Korvanta_promo row per promotion and one Korvanta_item row
// per article of its condition and benefit, then switches off what the
// document did not list and what is out of its period.
//
// A promotion whose id, validity texts or limit the database could not take
// as they are is not written: it gets an "Erro na promoção" row and the run
// goes on.
// Any other failure ends the run with everything since the session was opened
// rolled back, so that a later opening does not commit half an import.
// The articles are written by Ler_condicao_beneficio and grava_condicao_beneficio
// (TrataLeituraJsonItens.cpp).

#include "app/uPrincipal.h"

#include "erp/FbError.h"
#include "erp/uDtmApi.h"
#include "support/Clock.h"
#include "support/JsonToDataset.h"
#include "support/MemTable.h"
#include "support/frmFunczyr.h"
#include "sync/PromocaoLinhas.h"
#include "sync/TextosCompletos.h"

#include <QDateTime>

#include <vector>

namespace {

using F = Funcoes_da_ZYR;

QString semUltimo(QString texto) {
    texto.chop(1);
    return texto;
}

// The id and limit texts of every promotion in full. The memory table keeps
// at most 10 and 5 characters of them; only when a kept text reaches that size
// can it be a cut one, and only then is the document read again for them.
std::vector<QStringList> idsELimites(TMemTable& promocoes, const QString& textoPromocoes) {
    bool cortado = false;
    for (int linha = 0; linha < promocoes.RecordCount() && !cortado; ++linha) {
        const QString id = TMemTable::displayText(promocoes.cell(linha, promocoes.FindField(QStringLiteral("id"))));
        const QString limite = TMemTable::displayText(
            promocoes.cell(linha, promocoes.FindField(QStringLiteral("limitePromocionesPorTicket"))));
        cortado = id.size() >= promocao::kTamanhoId || limite.size() >= promocao::kTamanhoLimite;
    }
    if (!cortado) return {};
    return textosCompletos(textoPromocoes, {QStringLiteral("id"), QStringLiteral("limitePromocionesPorTicket")});
}

} // namespace

void TPrincipal::Trata_leitura_Json() {
    // Only a document that the fetch just delivered is imported; after a failed
    // fetch the memo holds the failure's message, which the fetch has logged.
    if (!m_documentoPromocoes) return;
    m_documentoPromocoes = false;

    // Reading: nothing is written in these steps.
    const QString T = mmoResult.Text();
    const QString parteInTotal =
        F::StringDelimitador(F::StringDelimitador(F::StringDelimitador(T, QStringLiteral("["), QStringLiteral("inicio")),
                                                  QStringLiteral(","), QStringLiteral("inicio")),
                             QStringLiteral(":"), QStringLiteral("Resto"));
    const QString textoPromocoes =
        QStringLiteral("[") + semUltimo(F::StringDelimitador(T, QStringLiteral("["), QStringLiteral("Resto")));
    tblJson1->Close();
    JsonToDataset(*tblJson1, textoPromocoes);
    const std::vector<QStringList> completos = idsELimites(*tblJson1, textoPromocoes);
    strIdSinc = QString::number(F::Seconds());

    // Writing.
    dtmApi->dtmConectDolvex(true);
    try {
        int ctGrvaPromo = 0;
        for (tblJson1->First(); !tblJson1->Eof(); tblJson1->Next()) {
            const int linha = tblJson1->RecNo() - 1;
            const bool temCompletos = linha < static_cast<int>(completos.size());
            const QString id = temCompletos ? completos[linha].at(0) : tblJson1->FieldByName(QStringLiteral("id")).AsString();
            const QString limite = temCompletos ? completos[linha].at(1)
                                                : tblJson1->FieldByName(QStringLiteral("limitePromocionesPorTicket")).AsString();
            const QString desde = tblJson1->FieldByName(QStringLiteral("vigenciaDesde")).AsString();
            const QString ate = tblJson1->FieldByName(QStringLiteral("vigenciaHasta")).AsString();
            if (const QString problema = promocao::problemaDaPromocao(id, desde, ate, limite); !problema.isEmpty()) {
                addList(QStringLiteral("Erro na promoção: ") + id, problema);
                continue;
            }

            StrTipoPromocao = promocao::tipoPromocao(tblJson1->FieldByName(QStringLiteral("tipo")).AsString());
            const QString strAutor = promocao::autorPromocao(tblJson1->FieldByName(QStringLiteral("autor")).AsString());
            promocao::LinhaPromocao promo;
            promo.id = id;
            promo.titulo = tblJson1->FieldByName(QStringLiteral("titulo")).AsString();
            promo.descricao = tblJson1->FieldByName(QStringLiteral("descripcion")).AsString();
            promo.tipo = StrTipoPromocao;
            promo.vigenciaInicio = promocao::vigenciaSql(desde);
            promo.vigenciaFim = promocao::vigenciaSql(ate);
            promo.autor = strAutor;
            promo.idSinc = strIdSinc;
            promo.limite = promocao::limitePorTicket(limite);
            Sinc_desconto(promocao::condicaoPromocao(id), promocao::paresPromocao(promo));

            tblJson2->Close();
            JsonToDataset(*tblJson2,
                          QStringLiteral("[") + tblJson1->FieldByName(QStringLiteral("detalles")).AsString() +
                              QStringLiteral("]"));
            Ler_condicao_beneficio(QStringLiteral("condiciones"));
            grava_condicao_beneficio(promocao::kItemCondicao);
            Ler_condicao_beneficio(QStringLiteral("beneficios"));
            grava_condicao_beneficio(promocao::kItemBeneficio);
            ++ctGrvaPromo;
        }
        if (!dtmApi->dtmApiCommit())
            throw DatabaseError(QStringLiteral("The promotions could not be committed"),
                                dtmApi->pathBancoDolvex(), dtmApi->lastCommitError());
        addList(QStringLiteral("Promoções processada sistema ZYR"),
                QStringLiteral("Json= ") + parteInTotal + QStringLiteral(" / Gravadas: ") + QString::number(ctGrvaPromo));

        // What this document did not list, whenever it was written, goes off.
        dtmApi->UPDATEFILE_Matriz(promocao::kTabelaPromo, {{QStringLiteral("id_sinc"), QStringLiteral("<>"), strIdSinc}},
                                  {QStringLiteral("atv_prom"), QStringLiteral("F")});
        desativaForaDoPeriodo();
        if (!dtmApi->dtmApiCommit())
            throw DatabaseError(QStringLiteral("Switching off the promotions could not be committed"),
                                dtmApi->pathBancoDolvex(), dtmApi->lastCommitError());
        dtmApi->dtmConectDolvex(false);
    } catch (...) {
        try {
            dtmApi->dtmConectDolvex(false); // rolls back what this run wrote
        } catch (...) {
            // The run's own failure is the one to report.
        }
        throw;
    }
}

void TPrincipal::desativaForaDoPeriodo() {
    struct Periodo {
        QString id;
        QDateTime inicio;
        QDateTime fim;
    };
    std::vector<Periodo> ativas;
    if (dtmApi->SelectFile(QStringLiteral("1"), promocao::kTabelaPromo,
                           {{QStringLiteral("atv_prom"), QStringLiteral("="), QStringLiteral("T")}})) {
        for (TFbQuery& q = dtmApi->qrySelect1(); !q.Eof(); q.Next())
            ativas.push_back({q.FieldByName(QStringLiteral("id_prom")).AsString(),
                              q.FieldByName(QStringLiteral("vig_in_dh")).AsDateTime(),
                              q.FieldByName(QStringLiteral("vig_out_dh")).AsDateTime()});
    }
    for (const Periodo& p : ativas) {
        // Periods are stored to the second; both ends belong to the period.
        QDateTime agora = appClock().now();
        agora.setTime(QTime(agora.time().hour(), agora.time().minute(), agora.time().second()));
        const bool naoComecou = p.inicio.isValid() && p.inicio > agora;
        const bool terminou = !p.fim.isValid() || p.fim < agora;
        if (naoComecou || terminou)
            dtmApi->UPDATEFILE_Matriz(promocao::kTabelaPromo, promocao::condicaoPromocao(p.id),
                                      {QStringLiteral("atv_prom"), QStringLiteral("F")});
    }
}

void TPrincipal::Sinc_desconto(const SqlWhere& condicaoIn, const QStringList& MatIn) {
    if (dtmApi->SelectFile(QStringLiteral("1"), promocao::kTabelaPromo, condicaoIn))
        dtmApi->UPDATEFILE_Matriz(promocao::kTabelaPromo, condicaoIn, MatIn);
    else
        dtmApi->INSERTFILE(promocao::kTabelaPromo, MatIn);
}

void TPrincipal::Sinc_Itens(const SqlWhere& condicaoIn, const QStringList& MatIn) {
    // The update leaves the key columns alone: it would write the barcode in the
    // update's cleaned form (commas to points, quotes to blanks), and the next
    // run would no longer find the row by its barcode.
    if (dtmApi->SelectFile(QStringLiteral("1"), promocao::kTabelaItem, condicaoIn))
        dtmApi->UPDATEFILE_Matriz(promocao::kTabelaItem, condicaoIn, promocao::semChaveDoItem(MatIn));
    else
        dtmApi->INSERTFILE(promocao::kTabelaItem, MatIn);
}
