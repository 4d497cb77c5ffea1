// GetPromocoes: the promotions fetch. It gets the store's promotions document
// into the result memo and into "ult_get_promo.txt", or the failure's message
// in both; the import (Trata_leitura_Json) runs right after it.

#include "app/uPrincipal.h"

#include "api/HttpClient.h"
#include "api/RequestFrame.h"
#include "support/Codepage.h"
#include "support/FileReplace.h"
#include "sync/ReabreGates.h"


#include <exception>

void TPrincipal::GetPromocoes() {
    m_documentoPromocoes = false;
    if (podeGetPromo == 0) return;
    podePostVenda = 0;
    podeGetPromo = 0;
    ReabreGates reabre(*this);

    const QString caminho = api::pathPromociones(edtidEmpresa, edtidLocal);
    QString falha;
    try {
        api::defineAutorizacaoGet(*IdHTTP, edtUsuario, edtSenha);
        const HttpReply reply = IdHTTP->get(URL_BASE + caminho);
        mmoResult.SetText(reply.text);
        m_documentoPromocoes = true;
    } catch (const AppError& e) {
        falha = e.message();
    } catch (const std::exception& e) {
        falha = QStringLiteral("GET %1 failed: %2").arg(URL_BASE + caminho, QString::fromLocal8Bit(e.what()));
    }
    if (m_documentoPromocoes) {
        addList(QStringLiteral("Leitura de promoções"), QStringLiteral("Ok"));
    } else {
        mmoResult.SetText(falha);
        addList(QStringLiteral("Erro na operação"), falha);
    }
    gravaUltGetPromo();
}

void TPrincipal::gravaUltGetPromo() {
    const QString caminho = patLogErro + QStringLiteral("ult_get_promo.txt");
    // The text as the memo holds it, in the 8-bit code page, without a
    // byte-order mark or an added line break; the old file is replaced whole.
    QString erro;
    if (files::replaceWhole(caminho, ansi::fromUnicode(mmoResult.Text()), &erro)) return;
    addList(QStringLiteral("Erro na operação"),
            QStringLiteral("Unable to write ult_get_promo.txt: %1 (%2)").arg(erro, patLogErro));
}
