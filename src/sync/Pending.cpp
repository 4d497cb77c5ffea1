// Placeholders for task operations that are still being written; each one is
// removed from here when its own file arrives.
#include "app/uPrincipal.h"
#include "support/Errors.h"

namespace {
[[noreturn]] void notYet(const char* what) { throw AppError(QStringLiteral("%1: not available in this build").arg(QLatin1String(what))); }
} // namespace

void TPrincipal::PostVendas(const QString&, const QString&) { notYet("PostVendas"); }
bool TPrincipal::retornoPost(const QString&) { notYet("retornoPost"); }
void TPrincipal::gera_json_venda() { notYet("gera_json_venda"); }
void TPrincipal::gera_json_Forma_pgto(const QString&, double) { notYet("gera_json_Forma_pgto"); }
void TPrincipal::gera_json_venda_delete(const QString&) { notYet("gera_json_venda_delete"); }
void TPrincipal::Envia_fechamento_dia_anterior(const QString&, const QString&) { notYet("Envia_fechamento_dia_anterior"); }
void TPrincipal::executaFechamento() { notYet("executaFechamento"); }
void TPrincipal::GetPromocoes() { notYet("GetPromocoes"); }
void TPrincipal::Trata_leitura_Json() { notYet("Trata_leitura_Json"); }
void TPrincipal::Sinc_desconto(const QString&, const QStringList&) { notYet("Sinc_desconto"); }
void TPrincipal::Sinc_Itens(const QString&, const QStringList&) { notYet("Sinc_Itens"); }
void TPrincipal::Ler_condicao_beneficio(const QString&) { notYet("Ler_condicao_beneficio"); }
void TPrincipal::grava_condicao_beneficio(const QString&) { notYet("grava_condicao_beneficio"); }
void TPrincipal::GetReenvio_Vendas() { notYet("GetReenvio_Vendas"); }
void TPrincipal::GetReenvio_Fecha() { notYet("GetReenvio_Fecha"); }
