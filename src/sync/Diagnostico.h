#pragma once
// TDiagnostico: what the test console shows of the tasks' work. The tasks
// write into it as they go; the console only reads it, and its detail commands
// open one level of a promotion from the row picked in the level above.
//
// Texts (as the tasks leave them):
//   documentoEnviado   the last movement document built
//   respostaExaminada  the last reply of a post examined (status, status line,
//                      body, and the document when it was refused), or the
//                      last closing document
//   resultado          the last reply of a reading, or its failure's message
//   textoDoItem        the cancelled-ticket text being read, or a detail shown
//   formasDePagamento  the last payment-forms text
// Tables (the working tables of the promotion import and the resend readings):
//   promocoes, detalhes (of one promotion), grupos (of one side of it),
//   artigos (of one group), pedidosDeReenvio.

#include "support/Memo.h"

#include <QObject>
#include <array>
#include <cstddef>

class TMemTable;

class TDiagnostico : public QObject {
    Q_OBJECT

  public:
    explicit TDiagnostico(QObject* parent = nullptr);
    ~TDiagnostico() override;

    [[nodiscard]] TMemo& documentoEnviado() { return m_documentoEnviado; }
    [[nodiscard]] TMemo& respostaExaminada() { return m_respostaExaminada; }
    [[nodiscard]] TMemo& resultado() { return m_resultado; }
    [[nodiscard]] TMemo& textoDoItem() { return m_textoDoItem; }
    [[nodiscard]] TMemo& formasDePagamento() { return m_formasDePagamento; }
    [[nodiscard]] const TMemo& documentoEnviado() const { return m_documentoEnviado; }
    [[nodiscard]] const TMemo& respostaExaminada() const { return m_respostaExaminada; }
    [[nodiscard]] const TMemo& resultado() const { return m_resultado; }
    [[nodiscard]] const TMemo& textoDoItem() const { return m_textoDoItem; }
    [[nodiscard]] const TMemo& formasDePagamento() const { return m_formasDePagamento; }

    [[nodiscard]] TMemTable& promocoes() const { return *m_promocoes; }
    [[nodiscard]] TMemTable& detalhes() const { return *m_detalhes; }
    [[nodiscard]] TMemTable& grupos() const { return *m_grupos; }
    [[nodiscard]] TMemTable& artigos() const { return *m_artigos; }
    [[nodiscard]] TMemTable& pedidosDeReenvio() const { return *m_pedidosDeReenvio; }

    // All of them, in the order above (for what copies them whole).
    static constexpr std::size_t NumTextos = 5;
    static constexpr std::size_t NumTabelas = 5;
    [[nodiscard]] std::array<TMemo*, NumTextos> textos() { return textosDe(*this); }
    [[nodiscard]] std::array<const TMemo*, NumTextos> textos() const { return textosDe(*this); }
    [[nodiscard]] std::array<TMemTable*, NumTabelas> tabelas() const {
        return {m_promocoes, m_detalhes, m_grupos, m_artigos, m_pedidosDeReenvio};
    }

    // The detail commands: each puts a text of the picked row into textoDoItem
    // and fills the table of the next level from it. A text that is not a JSON
    // array leaves that table closed and throws JsonError.
    void detalhaPromocao();   // detalhes of the promotion picked in promocoes
    void detalhaCondicoes();  // grupos of the condition of the row picked in detalhes
    void detalhaBeneficios(); // grupos of its benefit
    void detalhaGrupo();      // artigos of the group picked in grupos

  private:
    // The one list of the texts, for textos() and its const twin.
    template <class Self>
    static auto textosDe(Self& self) -> std::array<decltype(&self.m_documentoEnviado), NumTextos> {
        return {&self.m_documentoEnviado, &self.m_respostaExaminada, &self.m_resultado, &self.m_textoDoItem,
                &self.m_formasDePagamento};
    }
    void detalhe(TMemTable& alvo, const QString& texto);

    TMemo m_documentoEnviado;
    TMemo m_respostaExaminada;
    TMemo m_resultado;
    TMemo m_textoDoItem;
    TMemo m_formasDePagamento;
    TMemTable* m_promocoes;
    TMemTable* m_detalhes;
    TMemTable* m_grupos;
    TMemTable* m_artigos;
    TMemTable* m_pedidosDeReenvio;
};
