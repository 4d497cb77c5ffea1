#include "sync/Diagnostico.h"

#include "support/JsonTables.h"
#include "support/JsonToDataset.h"
#include "support/MemTable.h"
#include "support/frmFunczyr.h"

namespace {

// The text of a column of the table's current row; empty when there is no row.
QString textoAtual(TMemTable& tabela, const char* coluna) {
    if (!tabela.Active() || tabela.RecordCount() == 0) return {};
    return tabela.FieldByName(QString::fromLatin1(coluna)).AsString();
}

// The text of a condition or benefit held as {"name": [...]}: after its first
// ":" (the whole text when there is none), without its last character.
QString arrayDoMembro(const QString& texto) {
    QString resto = Funcoes_da_ZYR::StringDelimitador(texto, QStringLiteral(":"), QStringLiteral("Resto"));
    resto.chop(1);
    return resto;
}

} // namespace

TDiagnostico::TDiagnostico(QObject* parent)
    : QObject(parent), m_promocoes(newPromotionsTable(this)), m_detalhes(newPromotionDetailsTable(this)), m_grupos(newGroupsTable(this)),
      m_artigos(newArticlesTable(this)), m_pedidosDeReenvio(newResendRequestsTable(this)) {}

TDiagnostico::~TDiagnostico() = default;

void TDiagnostico::detalhe(TMemTable& alvo, const QString& texto) {
    m_textoDoItem.SetText(texto);
    alvo.Close();
    JsonToDataset(alvo, m_textoDoItem.Text());
}

void TDiagnostico::detalhaPromocao() {
    detalhe(*m_detalhes, QStringLiteral("[") + textoAtual(*m_promocoes, "detalles") + QStringLiteral("]"));
}

void TDiagnostico::detalhaCondicoes() {
    detalhe(*m_grupos, arrayDoMembro(textoAtual(*m_detalhes, "condiciones")));
}

void TDiagnostico::detalhaBeneficios() {
    detalhe(*m_grupos, arrayDoMembro(textoAtual(*m_detalhes, "beneficios")));
}

void TDiagnostico::detalhaGrupo() {
    detalhe(*m_artigos, textoAtual(*m_grupos, "articulos"));
}
