// The daily closing run (TFechamentoDiario).

#include "api/ServiceFrame.h"
#include "config/Settings.h"
#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"
#include "support/Clock.h"
#include "support/Memo.h"
#include "support/frmFunczyr.h"
#include "sync/Atividades.h"
#include "sync/ClosingDocument.h"
#include "sync/Diagnostico.h"
#include "sync/FechamentoDiario.h"
#include "sync/Loja.h"
#include "sync/UltimoFechamento.h"

namespace {

const QString kPendente = QStringLiteral("Pendente");

QString rotulo(const QString& data, const QString& caixa) {
    return data + QStringLiteral(" / Cx: ") + caixa;
}

} // namespace

TFechamentoDiario::TFechamentoDiario(TdtmApi& erp, api::ServiceFrame& frame, TConfig& config,
                                     const Loja& loja, TAtividades& log, TDiagnostico& diagnostico)
    : m_erp(erp), m_frame(frame), m_config(config), m_loja(loja), m_log(log), m_diagnostico(diagnostico) {}

void TFechamentoDiario::Envia_fechamento_dia_anterior(const QString& qualDataIn, const QString& qualCxIn) {
    m_erp.dtmConectDolvex(true);
    const bool pendente = qualDataIn == kPendente;

    // Only a register number and a real DD/MM/AAAA day are taken.
    QString qualCx;
    if (!qualCxIn.isEmpty()) {
        bool ok = false;
        const int n = qualCxIn.trimmed().toInt(&ok);
        if (!ok) {
            m_log.addList(QStringLiteral("Erro fechamento: ") + rotulo(qualDataIn, qualCxIn),
                          QStringLiteral("'%1' is not a register number").arg(qualCxIn));
            return;
        }
        qualCx = QString::number(n);
    }
    SqlWhere filtro;
    if (!qualCx.isEmpty()) filtro.add(QStringLiteral("nro_cx"), QStringLiteral("="), qualCx);
    if (m_loja.usaCodEmpDolvex) filtro.add(sqltexts::closingCompanyTerm(m_loja.codEmpDolvex));

    if (!pendente) {
        if (!fechdoc::dataValida(qualDataIn)) {
            m_log.addList(QStringLiteral("Erro fechamento: ") + rotulo(qualDataIn, qualCx),
                          QStringLiteral("'%1' is not a valid date (DD/MM/AAAA)").arg(qualDataIn));
            return;
        }
        const QDate dia = QDate::fromString(qualDataIn, QStringLiteral("dd/MM/yyyy"));
        const fechamento::TotaisPorDia totais = fechamento::lerTotais(m_erp, dia, dia, filtro);
        (void)executaFechamento(qualDataIn, totais.value(dia), false);
        return;
    }

    const QString ultimoGuardado = m_config.values().dataUltFecha;
    QDate ultimo;
    try {
        ultimo = Funcoes_da_ZYR::StrToDate(ultimoGuardado);
    } catch (const ConversionError& e) {
        m_log.addList(QStringLiteral("Erro fechamento: ") + ultimoGuardado, e.message());
        return;
    }
    const QDate hoje = appClock().now().date();
    if (!(ultimo.addDays(1) < hoje)) return;
    // Every day to close, read at once: one grouped selection per table.
    const fechamento::TotaisPorDia totais =
        fechamento::lerTotais(m_erp, ultimo.addDays(1), hoje.addDays(-1), filtro);
    while (ultimo.addDays(1) < hoje) {
        const QDate dia = ultimo.addDays(1);
        const QString qualData = Funcoes_da_ZYR::Formata_Data(dia, QStringLiteral("DD/MM/AAAA"));
        if (!executaFechamento(qualData, totais.value(dia), true)) return; // tried again next time
        // The shown last-closing day moves on whether or not the day was accepted.
        m_config.MostraUltFecha(qualData);
        ultimo = dia;
    }
}

bool TFechamentoDiario::executaFechamento(const QString& qualData,
                                          const std::vector<fechamento::TotaisDoCaixa>& caixas,
                                          bool pendente) {
    for (const fechamento::TotaisDoCaixa& caixa : caixas) {
        // The document stays in the diagnostics, where the test console shows it.
        TMemo& documento = m_diagnostico.respostaExaminada();
        documento.Clear();
        for (const QString& linha : fechdoc::linhasFechamento(qualData, caixa.somaVenda, caixa.contaVenda,
                                                              caixa.somaCancel, caixa.contaCancel))
            documento.Add(linha);
        if (!postaFechamento(qualData, caixa.caixa, documento.Text(), pendente)) return false;
    }
    return true;
}

bool TFechamentoDiario::postaFechamento(const QString& qualData, const QString& caixa,
                                        const QString& documento, bool pendente) {
    const QString operacao = QStringLiteral("Fechamento: ") + rotulo(qualData, caixa);
    const QString operacaoErro = QStringLiteral("Erro fechamento: ") + rotulo(qualData, caixa);
    const QString caminho = api::pathCierresDiarios(m_loja.idEmpresa, m_loja.idLocal, caixa);
    // The per-request client exists only around this post.
    const std::unique_ptr<THttpClient> cliente = m_frame.config_ftp_json();
    int status = 0;
    try {
        const HttpReply reply = cliente->post(m_frame.baseUrl() + caminho, documento.toUtf8());
        status = reply.statusCode;
        if (status == 200) {
            m_log.addList(operacao, QStringLiteral("200: ok"));
            if (pendente) fechamento::guardaUltFecha(m_config, m_log, qualData);
        } else {
            m_log.addList(operacaoErro, QStringLiteral("erro fecha"));
        }
    } catch (const EHttpProtocol& e) {
        status = e.statusCode();
        m_log.addList(operacaoErro, e.message());
    } catch (const EHttpTransport& e) {
        m_log.addList(operacaoErro, e.message());
        return false;
    }
    m_frame.trata_erro_url(status);
    return true;
}
