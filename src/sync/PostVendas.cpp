// The sales upload run: PostVendas posts the tickets and the cancelled tickets
// of the ERP register by register, flags each row by the service's reply, logs
// every post, keeps the last failed exchange (mmoErro and an error file in
// patLogErro) and starts the daily closing at its end when that is due.
//
// What stops a run early:
// - a document that cannot be built skips its row only (DocumentError);
// - a post without a reply (EHttpTransport) stops the posting: the remaining
//   rows and the closing wait for the next run, which starts clean;
// - a database error ends the run and reaches the caller, after the gates are
//   open again and the session is closed.

#include "api/RequestFrame.h"
#include "app/uPrincipal.h"
#include "config/Settings.h"
#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/FileReplace.h"
#include "support/frmFunczyr.h"
#include "sync/DocumentError.h"

#include <QScopeGuard>
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

} // namespace

void TPrincipal::PostVendas(const QString& qualVenda, const QString& nCaixaIn) {
    if (!(podePostVenda == 1 && chkpostVendas)) return;

    const std::optional<SqlWhere> condicaoVendas = sqltexts::ticketModeCondition(qualVenda, edtData);
    const std::optional<SqlWhere> condicaoCancelamentos =
        sqltexts::cancellationModeCondition(qualVenda, edtData);
    if (!condicaoVendas || !condicaoCancelamentos)
        throw AppError(QStringLiteral("PostVendas: unknown mode '%1'").arg(qualVenda));
    if (qualVenda == QLatin1String("Data") && !edtData.isValid())
        throw AppError(QStringLiteral("PostVendas: the mode Data needs a valid date in edtData"));
    // Only a register number is taken.
    QString caixa;
    if (!nCaixaIn.isEmpty()) {
        bool ok = false;
        const int n = nCaixaIn.trimmed().toInt(&ok);
        if (!ok) throw AppError(QStringLiteral("PostVendas: '%1' is not a register number").arg(nCaixaIn));
        caixa = QString::number(n);
    }

    podeGetPromo = 0;
    podePostVenda = 0;
    try {
        Funcoes_da_ZYR::Clear_memory_pc();
        dtmApi->dtmConectDolvex(true);
        servicoFora = false;

        // Sales, register by register.
        strCondicaoTeste = *condicaoVendas;
        if (!caixa.isEmpty()) strCondicaoTeste.add(QStringLiteral("c.nro_cx"), QStringLiteral("="), caixa);
        if (chkCodEmpDolvex) strCondicaoTeste.add(sqltexts::companyTerm(codEmpDolvex));
        TFbQuery& caixas = dtmApi->qrySelect1();
        caixas.setStatement(sqltexts::registerList(QStringLiteral("cupom_fiscal"), strCondicaoTeste));
        caixas.Open();
        contaNro_de_Envios = 0;
        while (contaNro_de_Envios < kMaximoEnvios && !caixas.Eof() && !servicoFora) {
            const int nroCx = caixas.FieldByName(QStringLiteral("NRO_CX")).AsInteger();
            Query = api::pathMovimientos(edtidEmpresa, edtidLocal, QString::number(nroCx));
            TFbQuery& cupons = dtmApi->qryCupom();
            cupons.setStatement(sqltexts::ticketStatement(strCondicaoTeste, nroCx, chkCodEmpDolvex));
            cupons.Open();
            while (contaNro_de_Envios < kMaximoEnvios && !cupons.Eof() && !servicoFora) {
                umaVenda();
                cupons.Next();
                ++contaNro_de_Envios;
            }
            caixas.Next();
        }

        // Cancellations of every register (the register argument is not applied here).
        strCondicaoTeste = *condicaoCancelamentos;
        if (chkCodEmpDolvex) strCondicaoTeste.add(sqltexts::companyTerm(codEmpDolvex));
        if (contaNro_de_Envios < kMaximoEnvios && !servicoFora) {
            caixas.setStatement(sqltexts::registerList(QStringLiteral("KORVANTA_DELETE"), strCondicaoTeste));
            caixas.Open();
            while (contaNro_de_Envios < kMaximoEnvios && !caixas.Eof() && !servicoFora) {
                const int nroCx = caixas.FieldByName(QStringLiteral("NRO_CX")).AsInteger();
                Query = api::pathMovimientos(edtidEmpresa, edtidLocal, QString::number(nroCx));
                TFbQuery& cancelados = dtmApi->qryCupomDelete();
                cancelados.setStatement(sqltexts::cancellationStatement(strCondicaoTeste, nroCx, chkCodEmpDolvex));
                cancelados.Open();
                while (contaNro_de_Envios < kMaximoEnvios && !cancelados.Eof() && !servicoFora) {
                    umCancelamento();
                    ++contaNro_de_Envios;
                    cancelados.Next();
                }
                caixas.Next();
            }
        }

        // The daily closing, when its countdown has passed.
        if (!servicoFora) {
            const qint64 agora = clockSeconds();
            if (agora > uPostFecha) {
                uPostFecha = agora + frmConfig->values().timerFecha.value();
                Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString());
            }
        }
    } catch (...) {
        encerraPostVendas();
        throw;
    }
    podeGetPromo = 1;
    podePostVenda = 1;
    dtmApi->dtmConectDolvex(false);
}

void TPrincipal::encerraPostVendas() noexcept {
    podeGetPromo = 1;
    podePostVenda = 1;
    try {
        dtmApi->dtmConectDolvex(false);
    } catch (...) {
        // The error that ended the run is the one to report; the next opening
        // starts from a fresh connection anyway.
    }
}

void TPrincipal::umaVenda() {
    const TFbQuery& cupom = dtmApi->qryCupom();
    const int nroCupom = cupom.FieldByName(QStringLiteral("NRO_CUPOM")).AsInteger();
    const int nroCx = cupom.FieldByName(QStringLiteral("NRO_CX")).AsInteger();
    const QDate data = cupom.FieldByName(QStringLiteral("DATA_CUPOM")).AsDate();
    const QString chave = chaveLog(nroCx, nroCupom, data);
    try {
        gera_json_venda();
    } catch (const DocumentError& e) {
        addList(QStringLiteral("Erro documento: ") + chave, e.message());
        return;
    }

    postaMovimento(QStringLiteral("Vda%1_%2").arg(nroCupom).arg(nroCx), chave,
                   {QStringLiteral("Gravação venda: "), QStringLiteral("Erro Gravação: "),
                    QStringLiteral("Erro gravação: ")});
    if (codigoSinc == 2 || codigoSinc == 3) {
        std::optional<int> empresa;
        if (chkCodEmpDolvex) empresa = cupom.FieldByName(QStringLiteral("COD_EMP")).AsInteger();
        gravaFlag(sqltexts::kTicketTable, sqltexts::ticketFlagCondition(nroCupom, nroCx, data, empresa),
                  sqltexts::kTicketFlag);
    }
}

void TPrincipal::umCancelamento() {
    const TFbQuery& cancelado = dtmApi->qryCupomDelete();
    const int nroCupom = cancelado.FieldByName(QStringLiteral("NRO_CUPOM")).AsInteger();
    const int nroCx = cancelado.FieldByName(QStringLiteral("NRO_CX")).AsInteger();
    const QDate data = cancelado.FieldByName(QStringLiteral("DATA_CUPOM")).AsDate();
    const QString chave = chaveLog(nroCx, nroCupom, data);
    const QString sufixo = QStringLiteral("%1_%2").arg(nroCupom).arg(nroCx);

    // Pass 1: the ticket as a plain sale; its outcome is only logged.
    try {
        gera_json_venda_delete(QString());
    } catch (const DocumentError& e) {
        addList(QStringLiteral("Erro documento: ") + chave, e.message());
        return;
    }
    postaMovimento(QStringLiteral("Dlt p.1") + sufixo, chave,
                   {QStringLiteral("Venda cancelada p.1 (+): "),
                    QStringLiteral("Erro Venda cancelada p.1 (+): "),
                    QStringLiteral("Erro cancelamento p.1: ")});
    if (servicoFora) return;

    // Pass 2: the cancellation; the row's flag follows this reply alone.
    try {
        gera_json_venda_delete(QStringLiteral("-"));
    } catch (const DocumentError& e) {
        addList(QStringLiteral("Erro documento: ") + chave, e.message());
        return;
    }
    postaMovimento(QStringLiteral("Dlt p.2") + sufixo, chave,
                   {QStringLiteral("Venda cancelada p.2 (-): "),
                    QStringLiteral("Erro Venda cancelada p.2 (-): "),
                    QStringLiteral("Erro cancelamento p.2: ")});
    if (codigoSinc == 2 || codigoSinc == 3) {
        std::optional<int> empresa;
        if (chkCodEmpDolvex) empresa = cancelado.FieldByName(QStringLiteral("COD_EMP")).AsInteger();
        gravaFlag(sqltexts::kCancellationTable,
                  sqltexts::cancellationFlagCondition(nroCupom, nroCx, data, empresa),
                  sqltexts::kCancellationFlag);
    }
}

void TPrincipal::gravaFlag(const QString& tabela, const SqlWhere& condicao, const QString& campo) {
    dtmApi->UPDATEFILE_Matriz(tabela, condicao, {campo, QString::number(codigoSinc)});
    if (!dtmApi->dtmApiCommit()) {
        QStringList onde;
        for (const SqlTerm& t : condicao.terms()) onde << t.column + t.op + t.value;
        throw AppError(QStringLiteral("Commit of %1=%2 failed (%3 where %4) on %5: %6")
                           .arg(campo)
                           .arg(codigoSinc)
                           .arg(tabela, onde.join(QStringLiteral(" and ")), dtmApi->pathBancoDolvex(),
                                dtmApi->lastCommitError()));
    }
}

void TPrincipal::postaMovimento(const QString& OqueFoi, const QString& chave, const TextosDoPost& textos) {
    JsonStreamEnvio = mmoRequest.Text().toUtf8();
    JsonStreamRetorno.clear();
    // The buffers and the per-request client exist only around this post.
    const auto libera = qScopeGuard([this] {
        JsonStreamEnvio.clear();
        JsonStreamRetorno.clear();
        IdHTTP_Temp.reset();
    });
    config_ftp_json();
    codigoSinc = 0;
    try {
        HttpReply reply = IdHTTP_Temp->post(URL_BASE + Query, JsonStreamEnvio);
        JsonStreamRetorno = std::move(reply.body);
        if (retornoPost(OqueFoi)) {
            codigoSinc = 2;
            addList(textos.aceito + chave, errodaAPi);
        } else {
            addList(textos.erroApi + chave, QStringLiteral("erro API=") + errodaAPi);
        }
    } catch (const EHttpProtocol& e) {
        (void)retornoPost(OqueFoi);
        if (codigoErro == 400) codigoSinc = 3;
        mmoResult.SetText(e.message());
        addList(textos.falha + chave, e.message());
    } catch (const EHttpTransport& e) {
        // No reply: the row keeps its flag and the run posts nothing more.
        servicoFora = true;
        mmoResult.SetText(e.message());
        addList(textos.falha + chave, e.message());
    }
}

bool TPrincipal::retornoPost(const QString& OqueFoi) {
    const int status = IdHTTP_Temp ? IdHTTP_Temp->lastStatusCode() : 0;
    const QString linhaStatus = IdHTTP_Temp ? IdHTTP_Temp->lastStatusLine() : QString();
    mmoErro.SetText(QString::number(status) + QStringLiteral("\r\n") + linhaStatus + QStringLiteral("\r\n") +
                    ansi::toUnicode(JsonStreamRetorno) + QStringLiteral("\r\n"));
    codigoErro = status;
    const api::RetornoClassificado classe = api::classifica_retorno(codigoErro);
    errodaAPi = classe.mensagem;
    trata_erro_url(codigoErro);
    if (classe.sucesso) {
        if (frmConfig->values().dataUltFecha == QLatin1String("01/01/2020"))
            guardaUltFecha(
                Funcoes_da_ZYR::Formata_Data(appClock().now().date(), QStringLiteral("DD/MM/AAAA")));
    } else {
        for (const QString& linha : mmoRequest.Lines())
            mmoErro.Add(linha);
        gravaArquivoErro(OqueFoi);
    }
    return classe.sucesso;
}

void TPrincipal::gravaArquivoErro(const QString& OqueFoi) {
    const QString nome = patLogErro + OqueFoi + QStringLiteral(".txt");
    QString texto;
    for (const QString& linha : mmoErro.Lines())
        texto += linha + QStringLiteral("\r\n");
    QString erro;
    if (files::replaceWhole(nome, ansi::fromUnicode(texto), &erro)) return;
    // The flag of the row does not depend on this file: report it and go on.
    addList(QStringLiteral("Erro arquivo: ") + OqueFoi + QStringLiteral(".txt"),
            QStringLiteral("%1 (Unable to write to %2)").arg(erro, nome));
}

void TPrincipal::guardaUltFecha(const QString& DataIn) {
    try {
        frmConfig->SalvaUltFecha(DataIn);
    } catch (const AppError& e) {
        // The date is shown already; it is stored again with the next closing.
        addList(QStringLiteral("Erro DataUltFecha: ") + DataIn, e.message());
    }
}
