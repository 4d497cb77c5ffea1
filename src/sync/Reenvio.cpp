// GetReenvio_Vendas and GetReenvio_Fecha: the service's requests to send the
// movements or the daily closing of a day and register again. Each reads its
// list and honours every valid request with the ordinary upload for that day
// and register.

#include "app/uPrincipal.h"

#include "api/HttpClient.h"
#include "api/RequestFrame.h"
#include "support/JsonToDataset.h"
#include "support/MemTable.h"
#include "sync/ReabreGates.h"
#include "sync/ReenvioLista.h"
#include "sync/TextosCompletos.h"

#include <exception>
#include <vector>

namespace {

constexpr int kTamanhoCaixa = 5; // the size of tblJson5's codigoCaja

// The registers of every request in full: tblJson5 keeps 5 characters, so a
// kept text of that size may be a cut one; only then is the list read again.
std::vector<QStringList> caixasCompletas(TMemTable& pedidos, const QString& lista) {
    const int coluna = pedidos.FindField(QStringLiteral("codigoCaja"));
    for (int linha = 0; linha < pedidos.RecordCount(); ++linha)
        if (TMemTable::displayText(pedidos.cell(linha, coluna)).size() >= kTamanhoCaixa)
            return textosCompletos(lista, {QStringLiteral("codigoCaja")});
    return {};
}

} // namespace

void TPrincipal::GetReenvio_Vendas() {
    leReenvio(api::pathSolicitudesMovimientos(edtidEmpresa, edtidLocal), QStringLiteral("Leitura de reenvio-venda"),
              [this](const QString&, const QString& caixa) {
                  podePostVenda = 1; // the sales upload may start
                  PostVendas(QStringLiteral("Data"), caixa);
              });
}

void TPrincipal::GetReenvio_Fecha() {
    leReenvio(api::pathSolicitudesCierresDiarios(edtidEmpresa, edtidLocal),
              QStringLiteral("Leitura de reenvio-fecha"),
              [this](const QString& dia, const QString& caixa) { Envia_fechamento_dia_anterior(dia, caixa); });
}

void TPrincipal::leReenvio(const QString& caminho, const QString& operacao,
                           const std::function<void(const QString&, const QString&)>& honra) {
    if (podeGetPromo != 1) return;
    podePostVenda = 0;
    podeGetPromo = 0;
    ReabreGates reabre(*this);

    QString falha;
    try {
        api::defineAutorizacaoGet(*IdHTTP, edtUsuario, edtSenha);
        const HttpReply reply = IdHTTP->get(URL_BASE + caminho);
        mmoResult.SetText(reply.text);
        addList(operacao, QStringLiteral("Ok"));

        const QString lista = reenvio::listaDeSolicitacoes(reply.text);
        tblJson5->Close();
        try {
            JsonToDataset(*tblJson5, lista);
        } catch (const JsonError& e) {
            throw AppError(QStringLiteral("The reply holds no list of requests: ") + e.message());
        }
        const std::vector<QStringList> caixas = caixasCompletas(*tblJson5, lista);

        for (tblJson5->First(); !tblJson5->Eof(); tblJson5->Next()) {
            const int linha = tblJson5->RecNo() - 1;
            const QString fecha = tblJson5->FieldByName(QStringLiteral("fecha")).AsString();
            const QString codigoCaja = linha < static_cast<int>(caixas.size())
                                           ? caixas[linha].at(0)
                                           : tblJson5->FieldByName(QStringLiteral("codigoCaja")).AsString();
            if (const QString problema = reenvio::problemaDaSolicitacao(fecha, codigoCaja); !problema.isEmpty()) {
                addList(QStringLiteral("Erro na operação"), problema);
                continue;
            }
            const QString dia = reenvio::diaDaSolicitacao(fecha);
            // The sales upload's date mode reads its day from the operator's date field.
            edtData = QDate::fromString(dia, QStringLiteral("dd/MM/yyyy"));
            emit stateChanged();
            honra(dia, reenvio::caixaDaSolicitacao(codigoCaja));
        }
        return;
    } catch (const AppError& e) {
        falha = e.message();
    } catch (const std::exception& e) {
        falha = QStringLiteral("%1 failed: %2").arg(operacao, QString::fromLocal8Bit(e.what()));
    }
    mmoResult.SetText(falha);
    addList(QStringLiteral("Erro na operação"), falha);
}
