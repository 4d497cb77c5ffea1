#include "sync/UltimoFechamento.h"

#include "config/Settings.h"
#include "support/Errors.h"
#include "sync/Atividades.h"

namespace fechamento {

void guardaUltFecha(TConfig& config, TAtividades& log, const QString& DataIn) {
    try {
        config.SalvaUltFecha(DataIn);
    } catch (const AppError& e) {
        log.addList(QStringLiteral("Erro DataUltFecha: ") + DataIn, e.message());
    }
}

} // namespace fechamento
