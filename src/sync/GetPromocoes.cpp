// The promotions fetch (TPromocoes::GetPromocoes).

#include "api/ServiceFrame.h"
#include "support/Codepage.h"
#include "support/FileReplace.h"
#include "sync/Atividades.h"
#include "sync/Diagnostico.h"
#include "sync/Loja.h"
#include "sync/Portoes.h"
#include "sync/Promocoes.h"

#include <exception>

TPromocoes::TPromocoes(TdtmApi& erp, api::ServiceFrame& frame, const Loja& loja, TAtividades& log,
                       TDiagnostico& diagnostico, TPortoes& portoes)
    : m_erp(erp), m_frame(frame), m_loja(loja), m_log(log), m_diagnostico(diagnostico), m_portoes(portoes) {}

void TPromocoes::sincroniza() {
    if (const std::optional<QString> documento = GetPromocoes()) Trata_leitura_Json(*documento);
}

std::optional<QString> TPromocoes::GetPromocoes() {
    if (!m_portoes.podeGetPromo()) return std::nullopt;
    const TPortoes::Trabalho trabalho(m_portoes);

    const QString caminho = api::pathPromociones(m_loja.idEmpresa, m_loja.idLocal);
    std::optional<QString> documento;
    QString falha;
    try {
        documento = m_frame.get(caminho).text;
    } catch (const AppError& e) {
        falha = e.message();
    } catch (const std::exception& e) {
        falha = QStringLiteral("GET %1 failed: %2")
                    .arg(m_frame.baseUrl() + caminho, QString::fromLocal8Bit(e.what()));
    }
    if (documento) {
        m_diagnostico.resultado().SetText(*documento);
        m_log.addList(QStringLiteral("Leitura de promoções"), QStringLiteral("Ok"));
    } else {
        m_diagnostico.resultado().SetText(falha);
        m_log.addList(QStringLiteral("Erro na operação"), falha);
    }
    gravaUltGetPromo();
    return documento;
}

void TPromocoes::gravaUltGetPromo() {
    const QString caminho = m_loja.pastaLog + QStringLiteral("ult_get_promo.txt");
    // The text as the result holds it, in the 8-bit code page, without a
    // byte-order mark or an added line break; the old file is replaced whole.
    QString erro;
    if (files::replaceWhole(caminho, ansi::fromUnicode(m_diagnostico.resultado().Text()), &erro)) return;
    m_log.addList(QStringLiteral("Erro na operação"),
                  QStringLiteral("Unable to write ult_get_promo.txt: %1 (%2)").arg(erro, m_loja.pastaLog));
}
