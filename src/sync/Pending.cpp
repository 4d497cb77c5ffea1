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
