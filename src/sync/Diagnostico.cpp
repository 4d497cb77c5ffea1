#include "sync/Diagnostico.h"

#include "support/JsonTables.h"
#include "support/JsonToDataset.h"
#include "support/MemTable.h"
#include "sync/NiveisPromocao.h"

using promocao::arrayDoMembro;
using promocao::textoAtual;

TDiagnostico::TDiagnostico(QObject* parent)
    : QObject(parent), m_promocoes(newPromotionsTable(this)), m_detalhes(newPromotionDetailsTable(this)),
      m_grupos(newGroupsTable(this)), m_artigos(newArticlesTable(this)),
      m_pedidosDeReenvio(newResendRequestsTable(this)) {}

TDiagnostico::~TDiagnostico() = default;

void TDiagnostico::detalhe(TMemTable& alvo, const QString& texto) {
    m_textoDoItem.SetText(texto);
    alvo.Close();
    JsonToDataset(alvo, m_textoDoItem.Text());
}

void TDiagnostico::detalhaPromocao() {
    detalhe(*m_detalhes,
            QStringLiteral("[") + textoAtual(*m_promocoes, QStringLiteral("detalles")) + QStringLiteral("]"));
}

void TDiagnostico::detalhaCondicoes() {
    detalhe(*m_grupos, arrayDoMembro(textoAtual(*m_detalhes, QStringLiteral("condiciones"))));
}

void TDiagnostico::detalhaBeneficios() {
    detalhe(*m_grupos, arrayDoMembro(textoAtual(*m_detalhes, QStringLiteral("beneficios"))));
}

void TDiagnostico::detalhaGrupo() {
    detalhe(*m_artigos, textoAtual(*m_grupos, QStringLiteral("articulos")));
}
