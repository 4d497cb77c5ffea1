// The resend readings (TReenvio::GetReenvio_Vendas and GetReenvio_Fecha).

#include "sync/Reenvio.h"

#include "api/ServiceFrame.h"
#include "support/JsonToDataset.h"
#include "support/MemTable.h"
#include "sync/Atividades.h"
#include "sync/Diagnostico.h"
#include "sync/EnvioDeVendas.h"
#include "sync/FechamentoDiario.h"
#include "sync/Loja.h"
#include "sync/Portoes.h"
#include "sync/ReenvioLista.h"
#include "sync/TextosCompletos.h"

#include <exception>
#include <vector>

namespace {

constexpr int kTamanhoCaixa = 5; // the size of the requests table's codigoCaja

// The registers of every request in full: the table keeps 5 characters, so a
// kept text of that size may be a cut one; only then is the list read again.
std::vector<QStringList> caixasCompletas(TMemTable& pedidos, const QString& lista) {
    const int coluna = pedidos.FindField(QStringLiteral("codigoCaja"));
    for (int linha = 0; linha < pedidos.RecordCount(); ++linha)
        if (TMemTable::displayText(pedidos.cell(linha, coluna)).size() >= kTamanhoCaixa)
            return textosCompletos(lista, {QStringLiteral("codigoCaja")});
    return {};
}

} // namespace

TReenvio::TReenvio(api::ServiceFrame& frame, const Loja& loja, TAtividades& log, TDiagnostico& diagnostico,
                   TPortoes& portoes, TEnvioDeVendas& vendas, TFechamentoDiario& fechamento)
    : m_frame(frame), m_loja(loja), m_log(log), m_diagnostico(diagnostico), m_portoes(portoes),
      m_vendas(vendas), m_fechamento(fechamento) {}

void TReenvio::GetReenvio_Vendas() {
    leReenvio(api::pathSolicitudesMovimientos(m_loja.idEmpresa, m_loja.idLocal),
              QStringLiteral("Leitura de reenvio-venda"), [this](const QString& dia, const QString& caixa) {
                  m_portoes.setPodePostVenda(true); // the sales upload may start
                  m_vendas.PostVendas(QStringLiteral("Data"), caixa,
                                      QDate::fromString(dia, QStringLiteral("dd/MM/yyyy")));
              });
}

void TReenvio::GetReenvio_Fecha() {
    leReenvio(api::pathSolicitudesCierresDiarios(m_loja.idEmpresa, m_loja.idLocal),
              QStringLiteral("Leitura de reenvio-fecha"), [this](const QString& dia, const QString& caixa) {
                  m_fechamento.Envia_fechamento_dia_anterior(dia, caixa);
              });
}

void TReenvio::leReenvio(const QString& caminho, const QString& operacao,
                         const std::function<void(const QString&, const QString&)>& honra) {
    if (!m_portoes.podeGetPromo()) return;
    const TPortoes::Trabalho trabalho(m_portoes);

    QString falha;
    try {
        const HttpReply reply = m_frame.get(caminho);
        m_diagnostico.resultado().SetText(reply.text);
        m_log.addList(operacao, QStringLiteral("Ok"));

        const QString lista = reenvio::listaDeSolicitacoes(reply.text);
        TMemTable& pedidos = m_diagnostico.pedidosDeReenvio();
        pedidos.Close();
        try {
            JsonToDataset(pedidos, lista);
        } catch (const JsonError& e) {
            throw AppError(QStringLiteral("The reply holds no list of requests: ") + e.message());
        }
        const std::vector<QStringList> caixas = caixasCompletas(pedidos, lista);

        for (pedidos.First(); !pedidos.Eof(); pedidos.Next()) {
            const int linha = pedidos.RecNo() - 1;
            const QString fecha = pedidos.FieldByName(QStringLiteral("fecha")).AsString();
            const QString codigoCaja = linha < static_cast<int>(caixas.size())
                                           ? caixas[linha].at(0)
                                           : pedidos.FieldByName(QStringLiteral("codigoCaja")).AsString();
            if (const QString problema = reenvio::problemaDaSolicitacao(fecha, codigoCaja);
                !problema.isEmpty()) {
                m_log.addList(QStringLiteral("Erro na operação"), problema);
                continue;
            }
            const QString dia = reenvio::diaDaSolicitacao(fecha);
            if (m_aoHonrarDia) m_aoHonrarDia(QDate::fromString(dia, QStringLiteral("dd/MM/yyyy")));
            honra(dia, reenvio::caixaDaSolicitacao(codigoCaja));
        }
        return;
    } catch (const AppError& e) {
        falha = e.message();
    } catch (const std::exception& e) {
        falha = QStringLiteral("%1 failed: %2").arg(operacao, QString::fromLocal8Bit(e.what()));
    }
    m_diagnostico.resultado().SetText(falha);
    m_log.addList(QStringLiteral("Erro na operação"), falha);
}
