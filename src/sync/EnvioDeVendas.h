#pragma once
// TEnvioDeVendas: the sales upload. PostVendas posts the tickets and the
// cancelled tickets of the ERP register by register, one movement document
// each, flags each row by the service's reply, logs every post, keeps the last
// failed exchange (in the diagnostics and as an error file in the log folder)
// and, when its countdown has passed, runs the daily closing at its end.
//
// Files: PostVendas.cpp (the run and the posts), DocVenda.cpp and
// DocVendaDelete.cpp (the documents of a ticket and of a cancelled ticket).

#include <QByteArray>
#include <QDate>
#include <QString>

class TAtividades;
class TConfig;
class TDiagnostico;
class TFbQuery;
class TFechamentoDiario;
class TPortoes;
class TPrazo;
class TdtmApi;
class SqlWhere;
class THttpClient;
struct Loja;

namespace api {
class ServiceFrame;
struct RetornoClassificado;
} // namespace api

class TEnvioDeVendas {
  public:
    TEnvioDeVendas(TdtmApi& erp, api::ServiceFrame& frame, TConfig& config, const Loja& loja,
                   TAtividades& log, TDiagnostico& diagnostico, TPortoes& portoes, TPrazo& prazoFechamento,
                   TFechamentoDiario& fechamento);
    TEnvioDeVendas(const TEnvioDeVendas&) = delete;
    TEnvioDeVendas& operator=(const TEnvioDeVendas&) = delete;

    // qualVenda: "Pendentes-1" (flag 1), "Pendentes-3" (flag 3) or "Data" (every
    // ticket of the day `dia`); nCaixaIn, when not empty, restricts the tickets
    // (not the cancellations) to one register. Does nothing while the gate is
    // closed or the upload is switched off. Throws AppError for an unknown mode
    // and DatabaseError for a database failure (after the gates are open again
    // and the session is closed).
    void PostVendas(const QString& qualVenda, const QString& nCaixaIn, const QDate& dia);

  private:
    // The texts of the log rows of one post: accepted, a 2xx other than 200 and
    // 208, and a failure (a protocol failure, or no reply at all).
    struct TextosDoPost {
        QString aceito;
        QString erroApi;
        QString falha;
    };

    void umaVenda(const TFbQuery& cupom, const QString& caminho);
    void umCancelamento(const TFbQuery& cancelado, const QString& caminho);
    // The documents, also left in the diagnostics as they are built.
    [[nodiscard]] QString gera_json_venda(const TFbQuery& cupom);
    void gera_json_Forma_pgto(const QString& strformasIn, double vlrTrocoIn);
    [[nodiscard]] QString gera_json_venda_delete(const TFbQuery& cancelado, const QString& strOper);
    // Posts the document to base URL + caminho; the row's new flag: 2 accepted,
    // 3 refused as wrong (400), 0 otherwise. No reply at all sets m_servicoFora.
    [[nodiscard]] int postaMovimento(const QString& documento, const QString& caminho, const QString& OqueFoi,
                                     const QString& chave, const TextosDoPost& textos);
    // Examines the reply the client got: the diagnostics, the failover, the
    // first acceptance's last-closing day, and the error file of a refusal.
    [[nodiscard]] api::RetornoClassificado retornoPost(const THttpClient& cliente, const QByteArray& resposta,
                                                       const QString& documento, const QString& OqueFoi);
    // The examined reply saved as <log folder><OqueFoi>.txt; a failure is logged.
    void gravaArquivoErro(const QString& OqueFoi);
    // Writes the flag on one row and commits; a failed commit is an error.
    void gravaFlag(const QString& tabela, const SqlWhere& condicao, const QString& campo, int codigoSinc);
    // The session closed after a failure, quietly: the failure is the one to report.
    void encerra() noexcept;

    TdtmApi& m_erp;
    api::ServiceFrame& m_frame;
    TConfig& m_config;
    const Loja& m_loja;
    TAtividades& m_log;
    TDiagnostico& m_diagnostico;
    TPortoes& m_portoes;
    TPrazo& m_prazoFechamento;
    TFechamentoDiario& m_fechamento;
    // A post got no reply: nothing more is posted in this run.
    bool m_servicoFora = false;
};
