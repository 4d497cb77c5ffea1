// The sales upload run (TEnvioDeVendas::PostVendas) and its posts.
//
// What stops a run early:
// - a document that cannot be built skips its row only (DocumentError);
// - a post without a reply (EHttpTransport) stops the posting: the remaining
//   rows and the closing wait for the next run, which starts clean;
// - a database error ends the run and reaches the caller, after the gates are
//   open again and the session is closed.

#include "api/ServiceFrame.h"
#include "config/Settings.h"
#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/FileReplace.h"
#include "support/Memo.h"
#include "support/frmFunczyr.h"
#include "sync/Atividades.h"
#include "sync/Diagnostico.h"
#include "sync/DocumentError.h"
#include "sync/EnvioDeVendas.h"
#include "sync/FechamentoDiario.h"
#include "sync/Loja.h"
#include "sync/Portoes.h"
#include "sync/Prazo.h"
#include "sync/UltimoFechamento.h"

#include <optional>

namespace {

// A run handles at most this many tickets, sales and cancellations together.
constexpr int kMaximoEnvios = 400;

// register - ticket - date, as the log rows show a row.
QString chaveLog(int nroCx, int nroCupom, const QDate& data) {
    return QStringLiteral("%1 - %2 - %3")
        .arg(nroCx)
        .arg(nroCupom)
        .arg(Funcoes_da_ZYR::Formata_Data(data, QStringLiteral("DD/MM/AAAA")));
}

// The company restriction of the settings, when it is on.
std::optional<int> empresaDaLinha(const TFbQuery& linha, const Loja& loja) {
    if (!loja.usaCodEmpDolvex) return std::nullopt;
    return linha.FieldByName(QStringLiteral("COD_EMP")).AsInteger();
}

} // namespace

TEnvioDeVendas::TEnvioDeVendas(TdtmApi& erp, api::ServiceFrame& frame, TConfig& config, const Loja& loja,
                               TAtividades& log, TDiagnostico& diagnostico, TPortoes& portoes,
                               TPrazo& prazoFechamento, TFechamentoDiario& fechamento)
    : m_erp(erp), m_frame(frame), m_config(config), m_loja(loja), m_log(log), m_diagnostico(diagnostico),
      m_portoes(portoes), m_prazoFechamento(prazoFechamento), m_fechamento(fechamento) {}

void TEnvioDeVendas::PostVendas(const QString& qualVenda, const QString& nCaixaIn, const QDate& dia) {
    if (!(m_portoes.podePostVenda() && m_loja.postaVendas)) return;

    const std::optional<SqlWhere> condicaoVendas = sqltexts::ticketModeCondition(qualVenda, dia);
    const std::optional<SqlWhere> condicaoCancelamentos = sqltexts::cancellationModeCondition(qualVenda, dia);
    if (!condicaoVendas || !condicaoCancelamentos)
        throw AppError(QStringLiteral("PostVendas: unknown mode '%1'").arg(qualVenda));
    if (qualVenda == QLatin1String("Data") && !dia.isValid())
        throw AppError(QStringLiteral("PostVendas: the mode Data needs a valid date in edtData"));
    // Only a register number is taken.
    QString caixa;
    if (!nCaixaIn.isEmpty()) {
        bool ok = false;
        const int n = nCaixaIn.trimmed().toInt(&ok);
        if (!ok) throw AppError(QStringLiteral("PostVendas: '%1' is not a register number").arg(nCaixaIn));
        caixa = QString::number(n);
    }

    const TPortoes::Trabalho trabalho(m_portoes);
    try {
        Funcoes_da_ZYR::Clear_memory_pc();
        m_erp.dtmConectDolvex(true);
        m_servicoFora = false;
        int enviados = 0;

        // Sales, register by register.
        SqlWhere condicao = *condicaoVendas;
        if (!caixa.isEmpty()) condicao.add(QStringLiteral("c.nro_cx"), QStringLiteral("="), caixa);
        if (m_loja.usaCodEmpDolvex) condicao.add(sqltexts::companyTerm(m_loja.codEmpDolvex));
        TFbQuery& caixas = m_erp.qrySelect1();
        caixas.setStatement(sqltexts::registerList(QStringLiteral("cupom_fiscal"), condicao));
        caixas.Open();
        while (enviados < kMaximoEnvios && !caixas.Eof() && !m_servicoFora) {
            const int nroCx = caixas.FieldByName(QStringLiteral("NRO_CX")).AsInteger();
            const QString caminho =
                api::pathMovimientos(m_loja.idEmpresa, m_loja.idLocal, QString::number(nroCx));
            TFbQuery& cupons = m_erp.qryCupom();
            cupons.setStatement(sqltexts::ticketStatement(condicao, nroCx, m_loja.usaCodEmpDolvex));
            cupons.Open();
            while (enviados < kMaximoEnvios && !cupons.Eof() && !m_servicoFora) {
                umaVenda(cupons, caminho);
                cupons.Next();
                ++enviados;
            }
            caixas.Next();
        }

        // Cancellations of every register (the register argument is not applied here).
        condicao = *condicaoCancelamentos;
        if (m_loja.usaCodEmpDolvex) condicao.add(sqltexts::companyTerm(m_loja.codEmpDolvex));
        if (enviados < kMaximoEnvios && !m_servicoFora) {
            caixas.setStatement(sqltexts::registerList(QStringLiteral("KORVANTA_DELETE"), condicao));
            caixas.Open();
            while (enviados < kMaximoEnvios && !caixas.Eof() && !m_servicoFora) {
                const int nroCx = caixas.FieldByName(QStringLiteral("NRO_CX")).AsInteger();
                const QString caminho =
                    api::pathMovimientos(m_loja.idEmpresa, m_loja.idLocal, QString::number(nroCx));
                TFbQuery& cancelados = m_erp.qryCupomDelete();
                cancelados.setStatement(
                    sqltexts::cancellationStatement(condicao, nroCx, m_loja.usaCodEmpDolvex));
                cancelados.Open();
                while (enviados < kMaximoEnvios && !cancelados.Eof() && !m_servicoFora) {
                    umCancelamento(cancelados, caminho);
                    ++enviados;
                    cancelados.Next();
                }
                caixas.Next();
            }
        }

        // The daily closing, when its countdown has passed.
        if (!m_servicoFora &&
            m_prazoFechamento.renovaSeVenceu(clockSeconds(), m_config.values().timerFecha.value()))
            m_fechamento.Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString());
    } catch (...) {
        encerra();
        throw;
    }
    m_erp.dtmConectDolvex(false);
}

void TEnvioDeVendas::encerra() noexcept {
    try {
        m_erp.dtmConectDolvex(false);
    } catch (...) {
        // The error that ended the run is the one to report; the next opening
        // starts from a fresh connection anyway.
    }
}

void TEnvioDeVendas::umaVenda(const TFbQuery& cupom, const QString& caminho) {
    const int nroCupom = cupom.FieldByName(QStringLiteral("NRO_CUPOM")).AsInteger();
    const int nroCx = cupom.FieldByName(QStringLiteral("NRO_CX")).AsInteger();
    const QDate data = cupom.FieldByName(QStringLiteral("DATA_CUPOM")).AsDate();
    const QString chave = chaveLog(nroCx, nroCupom, data);
    QString documento;
    try {
        documento = gera_json_venda(cupom);
    } catch (const DocumentError& e) {
        m_log.addList(QStringLiteral("Erro documento: ") + chave, e.message());
        return;
    }

    const int codigoSinc =
        postaMovimento(documento, caminho, QStringLiteral("Vda%1_%2").arg(nroCupom).arg(nroCx), chave,
                       {QStringLiteral("Gravação venda: "), QStringLiteral("Erro Gravação: "),
                        QStringLiteral("Erro gravação: ")});
    if (codigoSinc == 2 || codigoSinc == 3)
        gravaFlag(sqltexts::kTicketTable,
                  sqltexts::ticketFlagCondition(nroCupom, nroCx, data, empresaDaLinha(cupom, m_loja)),
                  sqltexts::kTicketFlag, codigoSinc);
}

void TEnvioDeVendas::umCancelamento(const TFbQuery& cancelado, const QString& caminho) {
    const int nroCupom = cancelado.FieldByName(QStringLiteral("NRO_CUPOM")).AsInteger();
    const int nroCx = cancelado.FieldByName(QStringLiteral("NRO_CX")).AsInteger();
    const QDate data = cancelado.FieldByName(QStringLiteral("DATA_CUPOM")).AsDate();
    const QString chave = chaveLog(nroCx, nroCupom, data);
    const QString sufixo = QStringLiteral("%1_%2").arg(nroCupom).arg(nroCx);

    // Pass 1: the ticket as a plain sale; its outcome is only logged.
    QString documento;
    try {
        documento = gera_json_venda_delete(cancelado, QString());
    } catch (const DocumentError& e) {
        m_log.addList(QStringLiteral("Erro documento: ") + chave, e.message());
        return;
    }
    (void)postaMovimento(documento, caminho, QStringLiteral("Dlt p.1") + sufixo, chave,
                         {QStringLiteral("Venda cancelada p.1 (+): "),
                          QStringLiteral("Erro Venda cancelada p.1 (+): "),
                          QStringLiteral("Erro cancelamento p.1: ")});
    if (m_servicoFora) return;

    // Pass 2: the cancellation; the row's flag follows this reply alone.
    try {
        documento = gera_json_venda_delete(cancelado, QStringLiteral("-"));
    } catch (const DocumentError& e) {
        m_log.addList(QStringLiteral("Erro documento: ") + chave, e.message());
        return;
    }
    const int codigoSinc = postaMovimento(documento, caminho, QStringLiteral("Dlt p.2") + sufixo, chave,
                                          {QStringLiteral("Venda cancelada p.2 (-): "),
                                           QStringLiteral("Erro Venda cancelada p.2 (-): "),
                                           QStringLiteral("Erro cancelamento p.2: ")});
    if (codigoSinc == 2 || codigoSinc == 3)
        gravaFlag(
            sqltexts::kCancellationTable,
            sqltexts::cancellationFlagCondition(nroCupom, nroCx, data, empresaDaLinha(cancelado, m_loja)),
            sqltexts::kCancellationFlag, codigoSinc);
}

void TEnvioDeVendas::gravaFlag(const QString& tabela, const SqlWhere& condicao, const QString& campo,
                               int codigoSinc) {
    m_erp.UPDATEFILE_Matriz(tabela, condicao, {campo, QString::number(codigoSinc)});
    if (!m_erp.dtmApiCommit()) {
        QStringList onde;
        for (const SqlTerm& t : condicao.terms())
            onde << t.column + t.op + t.value;
        throw AppError(QStringLiteral("Commit of %1=%2 failed (%3 where %4) on %5: %6")
                           .arg(campo)
                           .arg(codigoSinc)
                           .arg(tabela, onde.join(QStringLiteral(" and ")), m_erp.pathBancoDolvex(),
                                m_erp.lastCommitError()));
    }
}

int TEnvioDeVendas::postaMovimento(const QString& documento, const QString& caminho, const QString& OqueFoi,
                                   const QString& chave, const TextosDoPost& textos) {
    // The per-request client exists only around this post.
    const std::unique_ptr<THttpClient> cliente = m_frame.config_ftp_json();
    try {
        HttpReply reply = cliente->post(m_frame.baseUrl() + caminho, documento.toUtf8());
        const api::RetornoClassificado classe = retornoPost(*cliente, reply.body, documento, OqueFoi);
        if (classe.sucesso) {
            m_log.addList(textos.aceito + chave, classe.mensagem);
            return 2;
        }
        m_log.addList(textos.erroApi + chave, QStringLiteral("erro API=") + classe.mensagem);
        return 0;
    } catch (const EHttpProtocol& e) {
        (void)retornoPost(*cliente, QByteArray(), documento, OqueFoi);
        m_diagnostico.resultado().SetText(e.message());
        m_log.addList(textos.falha + chave, e.message());
        return cliente->lastStatusCode() == 400 ? 3 : 0;
    } catch (const EHttpTransport& e) {
        // No reply: the row keeps its flag and the run posts nothing more.
        m_servicoFora = true;
        m_diagnostico.resultado().SetText(e.message());
        m_log.addList(textos.falha + chave, e.message());
        return 0;
    }
}

api::RetornoClassificado TEnvioDeVendas::retornoPost(const THttpClient& cliente, const QByteArray& resposta,
                                                     const QString& documento, const QString& OqueFoi) {
    const int status = cliente.lastStatusCode();
    TMemo& examinada = m_diagnostico.respostaExaminada();
    examinada.SetText(QString::number(status) + QStringLiteral("\r\n") + cliente.lastStatusLine() +
                      QStringLiteral("\r\n") + ansi::toUnicode(resposta) + QStringLiteral("\r\n"));
    api::RetornoClassificado classe = api::classifica_retorno(status);
    m_frame.trata_erro_url(status);
    if (classe.sucesso) {
        if (m_config.values().dataUltFecha == QLatin1String("01/01/2020"))
            fechamento::guardaUltFecha(
                m_config, m_log,
                Funcoes_da_ZYR::Formata_Data(appClock().now().date(), QStringLiteral("DD/MM/AAAA")));
    } else {
        TMemo enviado;
        enviado.SetText(documento);
        for (const QString& linha : enviado.Lines())
            examinada.Add(linha);
        gravaArquivoErro(OqueFoi);
    }
    return classe;
}

void TEnvioDeVendas::gravaArquivoErro(const QString& OqueFoi) {
    const QString nome = m_loja.pastaLog + OqueFoi + QStringLiteral(".txt");
    QString erro;
    if (files::replaceWhole(nome, ansi::fromUnicode(m_diagnostico.respostaExaminada().LinesText()), &erro))
        return;
    // The flag of the row does not depend on this file: report it and go on.
    m_log.addList(QStringLiteral("Erro arquivo: ") + OqueFoi + QStringLiteral(".txt"),
                  QStringLiteral("%1 (Unable to write to %2)").arg(erro, nome));
}
