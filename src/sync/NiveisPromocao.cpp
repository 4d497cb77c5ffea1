#include "sync/NiveisPromocao.h"

#include "support/MemTable.h"
#include "support/frmFunczyr.h"

namespace promocao {

QString textoAtual(TMemTable& tabela, const QString& coluna) {
    if (!tabela.Active() || tabela.RecordCount() == 0) return {};
    return tabela.FieldByName(coluna).AsString();
}

double valorAtual(TMemTable& tabela, const QString& coluna) {
    if (!tabela.Active() || tabela.RecordCount() == 0) return 0;
    return tabela.FieldByName(coluna).AsFloat();
}

QString arrayDoMembro(const QString& texto) {
    QString resto = Funcoes_da_ZYR::StringDelimitador(texto, QStringLiteral(":"), QStringLiteral("Resto"));
    resto.chop(1);
    return resto;
}

} // namespace promocao
