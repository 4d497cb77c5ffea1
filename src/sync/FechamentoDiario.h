#pragma once
// TFechamentoDiario: the daily closing. Envia_fechamento_dia_anterior closes
// one given day, or in pending mode ("Pendente") every day after the last
// closed one up to yesterday, posting one closing document per register of
// the day to its "/cierresDiarios" endpoint.
//
// A reply other than 200 is logged and the run goes on. A post without a
// reply is logged and ends the run; in pending mode the shown last-closing day
// then stays before the day that failed. A database error reaches the caller.
// The run leaves the database session open.

#include "sync/ClosingTotals.h"

#include <QString>
#include <vector>

class TAtividades;
class TConfig;
class TDiagnostico;
class TdtmApi;
struct Loja;

namespace api {
class ServiceFrame;
}

class TFechamentoDiario {
  public:
    TFechamentoDiario(TdtmApi& erp, api::ServiceFrame& frame, TConfig& config, const Loja& loja,
                      TAtividades& log, TDiagnostico& diagnostico);
    TFechamentoDiario(const TFechamentoDiario&) = delete;
    TFechamentoDiario& operator=(const TFechamentoDiario&) = delete;

    // qualData: "Pendente" or a day DD/MM/AAAA; qualCx, when not empty, a register.
    void Envia_fechamento_dia_anterior(const QString& qualData, const QString& qualCx);

  private:
    // Posts the closing of each register of the day qualData; false when a
    // post got no reply (the rest waits for the next run).
    [[nodiscard]] bool executaFechamento(const QString& qualData,
                                         const std::vector<fechamento::TotaisDoCaixa>& caixas, bool pendente);
    // Posts one closing document; false when it got no reply.
    [[nodiscard]] bool postaFechamento(const QString& qualData, const QString& caixa,
                                       const QString& documento, bool pendente);

    TdtmApi& m_erp;
    api::ServiceFrame& m_frame;
    TConfig& m_config;
    const Loja& m_loja;
    TAtividades& m_log;
    TDiagnostico& m_diagnostico;
};
