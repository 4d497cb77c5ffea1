// The promotion import (TPromocoes::Trata_leitura_Json) and its writes of the
// promotions; the articles are written in TrataLeituraJsonItens.cpp.

#include "erp/FbError.h"
#include "erp/uDtmApi.h"
#include "support/Clock.h"
#include "support/JsonToDataset.h"
#include "support/MemTable.h"
#include "support/frmFunczyr.h"
#include "sync/Atividades.h"
#include "sync/Diagnostico.h"
#include "sync/PromocaoLinhas.h"
#include "sync/Promocoes.h"
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
        const QString id =
            TMemTable::displayText(promocoes.cell(linha, promocoes.FindField(QStringLiteral("id"))));
        const QString limite = TMemTable::displayText(
            promocoes.cell(linha, promocoes.FindField(QStringLiteral("limitePromocionesPorTicket"))));
        cortado = id.size() >= promocao::kTamanhoId || limite.size() >= promocao::kTamanhoLimite;
    }
    if (!cortado) return {};
    return textosCompletos(textoPromocoes,
                           {QStringLiteral("id"), QStringLiteral("limitePromocionesPorTicket")});
}

} // namespace

void TPromocoes::Trata_leitura_Json(const QString& T) {
    TMemTable& promocoes = m_diagnostico.promocoes();
    TMemTable& detalhes = m_diagnostico.detalhes();

    // Reading: nothing is written in these steps.
    const QString parteInTotal = F::StringDelimitador(
        F::StringDelimitador(F::StringDelimitador(T, QStringLiteral("["), QStringLiteral("inicio")),
                             QStringLiteral(","), QStringLiteral("inicio")),
        QStringLiteral(":"), QStringLiteral("Resto"));
    const QString textoPromocoes =
        QStringLiteral("[") +
        semUltimo(F::StringDelimitador(T, QStringLiteral("["), QStringLiteral("Resto")));
    promocoes.Close();
    JsonToDataset(promocoes, textoPromocoes);
    const std::vector<QStringList> completos = idsELimites(promocoes, textoPromocoes);
    const QString strIdSinc = QString::number(F::Seconds());

    // Writing.
    m_erp.dtmConectDolvex(true);
    try {
        int ctGrvaPromo = 0;
        for (promocoes.First(); !promocoes.Eof(); promocoes.Next()) {
            const int linha = promocoes.RecNo() - 1;
            const bool temCompletos = linha < static_cast<int>(completos.size());
            const QString id = temCompletos ? completos[linha].at(0)
                                            : promocoes.FieldByName(QStringLiteral("id")).AsString();
            const QString limite =
                temCompletos ? completos[linha].at(1)
                             : promocoes.FieldByName(QStringLiteral("limitePromocionesPorTicket")).AsString();
            const QString desde = promocoes.FieldByName(QStringLiteral("vigenciaDesde")).AsString();
            const QString ate = promocoes.FieldByName(QStringLiteral("vigenciaHasta")).AsString();
            if (const QString problema = promocao::problemaDaPromocao(id, desde, ate, limite);
                !problema.isEmpty()) {
                m_log.addList(QStringLiteral("Erro na promoção: ") + id, problema);
                continue;
            }

            const QString StrTipoPromocao =
                promocao::tipoPromocao(promocoes.FieldByName(QStringLiteral("tipo")).AsString());
            const QString strAutor =
                promocao::autorPromocao(promocoes.FieldByName(QStringLiteral("autor")).AsString());
            promocao::LinhaPromocao promo;
            promo.id = id;
            promo.titulo = promocoes.FieldByName(QStringLiteral("titulo")).AsString();
            promo.descricao = promocoes.FieldByName(QStringLiteral("descripcion")).AsString();
            promo.tipo = StrTipoPromocao;
            promo.vigenciaInicio = promocao::vigenciaSql(desde);
            promo.vigenciaFim = promocao::vigenciaSql(ate);
            promo.autor = strAutor;
            promo.idSinc = strIdSinc;
            promo.limite = promocao::limitePorTicket(limite);
            Sinc_desconto(promocao::condicaoPromocao(id), promocao::paresPromocao(promo));

            detalhes.Close();
            JsonToDataset(detalhes, QStringLiteral("[") +
                                        promocoes.FieldByName(QStringLiteral("detalles")).AsString() +
                                        QStringLiteral("]"));
            Ler_condicao_beneficio(QStringLiteral("condiciones"));
            grava_condicao_beneficio(promocao::kItemCondicao, StrTipoPromocao);
            Ler_condicao_beneficio(QStringLiteral("beneficios"));
            grava_condicao_beneficio(promocao::kItemBeneficio, StrTipoPromocao);
            ++ctGrvaPromo;
        }
        if (!m_erp.dtmApiCommit())
            throw DatabaseError(QStringLiteral("The promotions could not be committed"),
                                m_erp.pathBancoDolvex(), m_erp.lastCommitError());
        m_log.addList(QStringLiteral("Promoções processada sistema ZYR"),
                      QStringLiteral("Json= ") + parteInTotal + QStringLiteral(" / Gravadas: ") +
                          QString::number(ctGrvaPromo));

        // What this document did not list, whenever it was written, goes off.
        m_erp.UPDATEFILE_Matriz(promocao::kTabelaPromo,
                                {{QStringLiteral("id_sinc"), QStringLiteral("<>"), strIdSinc}},
                                {QStringLiteral("atv_prom"), QStringLiteral("F")});
        desativaForaDoPeriodo();
        if (!m_erp.dtmApiCommit())
            throw DatabaseError(QStringLiteral("Switching off the promotions could not be committed"),
                                m_erp.pathBancoDolvex(), m_erp.lastCommitError());
        m_erp.dtmConectDolvex(false);
    } catch (...) {
        try {
            m_erp.dtmConectDolvex(false); // rolls back what this run wrote
        } catch (...) {
            // The run's own failure is the one to report.
        }
        throw;
    }
}

void TPromocoes::desativaForaDoPeriodo() {
    struct Periodo {
        QString id;
        QDateTime inicio;
        QDateTime fim;
    };
    std::vector<Periodo> ativas;
    if (m_erp.SelectFile(QStringLiteral("1"), promocao::kTabelaPromo,
                         {{QStringLiteral("atv_prom"), QStringLiteral("="), QStringLiteral("T")}})) {
        for (TFbQuery& q = m_erp.qrySelect1(); !q.Eof(); q.Next())
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
            m_erp.UPDATEFILE_Matriz(promocao::kTabelaPromo, promocao::condicaoPromocao(p.id),
                                    {QStringLiteral("atv_prom"), QStringLiteral("F")});
    }
}

void TPromocoes::Sinc_desconto(const SqlWhere& condicaoIn, const QStringList& MatIn) {
    if (m_erp.SelectFile(QStringLiteral("1"), promocao::kTabelaPromo, condicaoIn))
        m_erp.UPDATEFILE_Matriz(promocao::kTabelaPromo, condicaoIn, MatIn);
    else
        m_erp.INSERTFILE(promocao::kTabelaPromo, MatIn);
}

void TPromocoes::Sinc_Itens(const SqlWhere& condicaoIn, const QStringList& MatIn) {
    // The update leaves the key columns alone: it would write the barcode in the
    // update's cleaned form (commas to points, quotes to blanks), and the next
    // run would no longer find the row by its barcode.
    if (m_erp.SelectFile(QStringLiteral("1"), promocao::kTabelaItem, condicaoIn))
        m_erp.UPDATEFILE_Matriz(promocao::kTabelaItem, condicaoIn, promocao::semChaveDoItem(MatIn));
    else
        m_erp.INSERTFILE(promocao::kTabelaItem, MatIn);
}
