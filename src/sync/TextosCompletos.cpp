#include "sync/TextosCompletos.h"

#include "support/JsonToDataset.h"
#include "support/MemTable.h"

std::vector<QStringList> textosCompletos(const QString& arrayJson, const QStringList& membros) {
    QList<FieldDef> colunas;
    for (const QString& membro : membros) colunas.append({membro, FieldType::LongText, 0});
    TMemTable tabela(QStringLiteral("textosCompletos"), colunas);
    JsonToDataset(tabela, arrayJson);
    std::vector<QStringList> linhas;
    if (!tabela.Active()) return linhas;
    linhas.reserve(static_cast<std::size_t>(tabela.RecordCount()));
    for (int linha = 0; linha < tabela.RecordCount(); ++linha) {
        QStringList textos;
        for (int coluna = 0; coluna < tabela.FieldCount(); ++coluna)
            textos.append(TMemTable::displayText(tabela.cell(linha, coluna)));
        linhas.push_back(std::move(textos));
    }
    return linhas;
}
