#pragma once
// TPromocoes: the promotions fetch and import.
//
//   if (const std::optional<QString> documento = promocoes.GetPromocoes())
//       promocoes.Trata_leitura_Json(*documento);   // what sincroniza() does
//
// GetPromocoes gets the store's promotions document, or logs the failure; it
// leaves the reply or the failure's message in the diagnostics' resultado and
// in "ult_get_promo.txt" of the log folder. Trata_leitura_Json cuts the
// document into levels, loads each level into the diagnostics' tables, writes
// one Korvanta_promo row per promotion and one Korvanta_item row per article
// of its condition and benefit, then switches off what the document did not
// list and what is out of its period.
//
// A promotion whose id, validity texts or limit the database could not take
// as they are is not written: it gets an "Erro na promoção" row and the run
// goes on. Any other failure ends the import with everything since the
// session was opened rolled back, so that a later opening does not commit
// half an import.
//
// Files: GetPromocoes.cpp (the fetch), TrataLeituraJson.cpp (the import of the
// promotions), TrataLeituraJsonItens.cpp (the import of their articles).

#include <QString>
#include <QStringList>
#include <optional>

class SqlWhere;
class TAtividades;
class TDiagnostico;
class TPortoes;
class TdtmApi;
struct Loja;

namespace api {
class ServiceFrame;
}

class TPromocoes {
  public:
    TPromocoes(TdtmApi& erp, api::ServiceFrame& frame, const Loja& loja, TAtividades& log,
               TDiagnostico& diagnostico, TPortoes& portoes);
    TPromocoes(const TPromocoes&) = delete;
    TPromocoes& operator=(const TPromocoes&) = delete;

    // The fetch, then the import of what it got: the task as the scheduler runs it.
    void sincroniza();
    // The promotions document; nothing after a failure (logged) or while the gate is closed.
    [[nodiscard]] std::optional<QString> GetPromocoes();
    // Imports the document the fetch returned. Throws DatabaseError and
    // JsonError (after the rollback).
    void Trata_leitura_Json(const QString& documento);

  private:
    void Sinc_desconto(const SqlWhere& condicaoIn, const QStringList& MatIn);
    void Sinc_Itens(const SqlWhere& condicaoIn, const QStringList& MatIn);
    // Loads one side ("condiciones" or "beneficios") of the current details
    // row into the groups and articles tables.
    void Ler_condicao_beneficio(const QString& OqueLerin);
    // Writes the articles loaded as items of kind OqueLerin of the promotion
    // of kind tipoPromocao.
    void grava_condicao_beneficio(const QString& OqueLerin, const QString& tipoPromocao);
    // Switches off the active promotions whose period does not hold the present moment.
    void desativaForaDoPeriodo();
    // The result text to "ult_get_promo.txt" in the log folder; a failure is logged.
    void gravaUltGetPromo();

    TdtmApi& m_erp;
    api::ServiceFrame& m_frame;
    const Loja& m_loja;
    TAtividades& m_log;
    TDiagnostico& m_diagnostico;
    TPortoes& m_portoes;
};
