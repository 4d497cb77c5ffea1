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

    // The register and the date go into the SQL text: only a number and a real
    // DD/MM/AAAA day are taken.
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
    const auto condicaoDoDia = [this](const QDate& dia) {
        QString c = QStringLiteral(" data_cupom=") + sqltexts::dateLiteral(dia);
        if (!qualCx.isEmpty()) c += QStringLiteral(" and nro_cx=") + qualCx;
        if (chkCodEmpDolvex) c += sqltexts::closingCompanyCondition(codEmpDolvex);
        return c;
    };

    if (!fechamentoPendente) {
        if (!fechdoc::dataValida(qualDataIn)) {
            addList(QStringLiteral("Erro fechamento: ") + rotulo(qualDataIn, qualCx),
                    QStringLiteral("'%1' is not a valid date (DD/MM/AAAA)").arg(qualDataIn));
            return;
        }
        qualData = qualDataIn;
        StrCondicaoEnvio = condicaoDoDia(QDate::fromString(qualData, QStringLiteral("dd/MM/yyyy")));
        executaFechamento();
        return;
    }

    QDate ultimo;
    try {
        ultimo = Funcoes_da_ZYR::StrToDate(frmConfig->edtDataUltFecha);
    } catch (const ConversionError& e) {
        addList(QStringLiteral("Erro fechamento: ") + frmConfig->edtDataUltFecha, e.message());
        return;
    }
    const QDate hoje = appClock().now().date();
    while (ultimo.addDays(1) < hoje) {
        const QDate dia = ultimo.addDays(1);
        qualData = Funcoes_da_ZYR::Formata_Data(dia, QStringLiteral("DD/MM/AAAA"));
        StrCondicaoEnvio = condicaoDoDia(dia);
        executaFechamento();
        if (servicoFora) return; // the day that failed is tried again next time
        // The shown last-closing day moves on whether or not the day was accepted.
        frmConfig->edtDataUltFecha = qualData;
        emit frmConfig->changed();
        ultimo = dia;
    }
}

void TPrincipal::executaFechamento() {
    TFbQuery& caixas = dtmApi->qrySelect1;
    caixas.SQL = QStringList{QStringLiteral("select distinct nro_cx from cupom_fiscal"),
                             QStringLiteral("where ") + StrCondicaoEnvio};
    caixas.Open();
    while (!caixas.Eof() && !servicoFora) {
        nCxtmp = caixas.FieldByName(QStringLiteral("NRO_CX")).AsString();
        Query = api::pathCierresDiarios(edtidEmpresa, edtidLocal, nCxtmp);

        TFbQuery& totais = dtmApi->qryFecha;
        totais.SQL = QStringList{
            QStringLiteral("Select sum(sub_tot) vendas, count(sub_tot) nroVendas from cupom_fiscal"),
            QStringLiteral("where ") + StrCondicaoEnvio, QStringLiteral(" and nro_cx=") + nCxtmp};
        totais.Open();
        somaVenda = totais.FieldByName(QStringLiteral("Vendas")).AsFloat(); // null: 0
        contaVenda = totais.FieldByName(QStringLiteral("nroVendas")).AsFloat();
        totais.SQL = QStringList{
            QStringLiteral("Select sum(sub_tot) Cancela, count(sub_tot) nroCancela from KORVANTA_DELETE"),
            QStringLiteral("where ") + StrCondicaoEnvio, QStringLiteral(" and sinc_korv <> 99 "),
            QStringLiteral(" and nro_cx=") + nCxtmp};
        totais.Open();
        somaCancel = totais.FieldByName(QStringLiteral("Cancela")).AsFloat();
        contaCancel = totais.FieldByName(QStringLiteral("nroCancela")).AsFloat();
        totais.Close();

        // The document stays in mmoErro, where the test console shows it.
        mmoErro.Clear();
        for (const QString& linha :
             fechdoc::linhasFechamento(qualData, somaVenda, contaVenda, somaCancel, contaCancel))
            mmoErro.Add(linha);
        postaFechamento();
        caixas.Next();
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
