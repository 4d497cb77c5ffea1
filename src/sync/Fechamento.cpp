// The daily closing run: Envia_fechamento_dia_anterior closes one given day, or
// in pending mode ("Pendente") every day after the last closed one up to
// yesterday; executaFechamento posts one closing document per register of the
// day to its "/cierresDiarios" endpoint.
//
// A reply other than 200 is logged and the run goes on. A post without a reply
// (EHttpTransport) is logged and ends the closing run; in pending mode the
// shown last-closing day then stays before the day that failed. A database
// error reaches the caller. The run leaves the database session open.

#include "api/RequestFrame.h"
#include "app/uPrincipal.h"
#include "config/Settings.h"
#include "erp/SqlTexts.h"
#include "erp/uDtmApi.h"
#include "support/Clock.h"
#include "support/frmFunczyr.h"
#include "sync/ClosingDocument.h"
#include "sync/ClosingTotals.h"

#include <QScopeGuard>

namespace {

const QString kPendente = QStringLiteral("Pendente");

QString rotulo(const QString& data, const QString& caixa) {
    return data + QStringLiteral(" / Cx: ") + caixa;
}

} // namespace

void TPrincipal::Envia_fechamento_dia_anterior(const QString& qualDataIn, const QString& qualCxIn) {
    dtmApi->dtmConectDolvex(true);
    servicoFora = false;
    fechamentoPendente = qualDataIn == kPendente;

    // Only a register number and a real DD/MM/AAAA day are taken.
    qualCx.clear();
    if (!qualCxIn.isEmpty()) {
        bool ok = false;
        const int n = qualCxIn.trimmed().toInt(&ok);
        if (!ok) {
            addList(QStringLiteral("Erro fechamento: ") + rotulo(qualDataIn, qualCxIn),
                    QStringLiteral("'%1' is not a register number").arg(qualCxIn));
            return;
        }
        qualCx = QString::number(n);
    }
    SqlWhere filtro;
    if (!qualCx.isEmpty()) filtro.add(QStringLiteral("nro_cx"), QStringLiteral("="), qualCx);
    if (chkCodEmpDolvex) filtro.add(sqltexts::closingCompanyTerm(codEmpDolvex));

    if (!fechamentoPendente) {
        if (!fechdoc::dataValida(qualDataIn)) {
            addList(QStringLiteral("Erro fechamento: ") + rotulo(qualDataIn, qualCx),
                    QStringLiteral("'%1' is not a valid date (DD/MM/AAAA)").arg(qualDataIn));
            return;
        }
        qualData = qualDataIn;
        const QDate dia = QDate::fromString(qualData, QStringLiteral("dd/MM/yyyy"));
        const fechamento::TotaisPorDia totais = fechamento::lerTotais(*dtmApi, dia, dia, filtro);
        executaFechamento(totais.value(dia));
        return;
    }

    QDate ultimo;
    try {
        ultimo = Funcoes_da_ZYR::StrToDate(frmConfig->values().dataUltFecha);
    } catch (const ConversionError& e) {
        addList(QStringLiteral("Erro fechamento: ") + frmConfig->values().dataUltFecha, e.message());
        return;
    }
    const QDate hoje = appClock().now().date();
    if (!(ultimo.addDays(1) < hoje)) return;
    // Every day to close, read at once: one grouped selection per table.
    const fechamento::TotaisPorDia totais = fechamento::lerTotais(*dtmApi, ultimo.addDays(1), hoje.addDays(-1), filtro);
    while (ultimo.addDays(1) < hoje) {
        const QDate dia = ultimo.addDays(1);
        qualData = Funcoes_da_ZYR::Formata_Data(dia, QStringLiteral("DD/MM/AAAA"));
        executaFechamento(totais.value(dia));
        if (servicoFora) return; // the day that failed is tried again next time
        // The shown last-closing day moves on whether or not the day was accepted.
        frmConfig->MostraUltFecha(qualData);
        ultimo = dia;
    }
}

void TPrincipal::executaFechamento(const std::vector<fechamento::TotaisDoCaixa>& caixas) {
    for (const fechamento::TotaisDoCaixa& caixa : caixas) {
        if (servicoFora) break;
        nCxtmp = caixa.caixa;
        Query = api::pathCierresDiarios(edtidEmpresa, edtidLocal, nCxtmp);
        somaVenda = caixa.somaVenda;
        contaVenda = caixa.contaVenda;
        somaCancel = caixa.somaCancel;
        contaCancel = caixa.contaCancel;

        // The document stays in mmoErro, where the test console shows it.
        mmoErro.Clear();
        for (const QString& linha :
             fechdoc::linhasFechamento(qualData, somaVenda, contaVenda, somaCancel, contaCancel))
            mmoErro.Add(linha);
        postaFechamento();
    }
}

void TPrincipal::postaFechamento() {
    const QString operacao = QStringLiteral("Fechamento: ") + rotulo(qualData, nCxtmp);
    const QString operacaoErro = QStringLiteral("Erro fechamento: ") + rotulo(qualData, nCxtmp);
    QByteArray corpo = mmoErro.Text().toUtf8();
    const auto libera = qScopeGuard([this, &corpo] {
        corpo.clear();
        IdHTTP_Temp.reset();
    });
    config_ftp_json();
    int status = 0;
    try {
        const HttpReply reply = IdHTTP_Temp->post(URL_BASE + Query, corpo);
        status = reply.statusCode;
        if (status == 200) {
            addList(operacao, QStringLiteral("200: ok"));
            if (fechamentoPendente) guardaUltFecha(qualData);
        } else {
            addList(operacaoErro, QStringLiteral("erro fecha"));
        }
    } catch (const EHttpProtocol& e) {
        status = e.statusCode();
        addList(operacaoErro, e.message());
    } catch (const EHttpTransport& e) {
        servicoFora = true;
        addList(operacaoErro, e.message());
        return;
    }
    trata_erro_url(status);
}
