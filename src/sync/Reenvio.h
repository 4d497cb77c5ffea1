#pragma once
// TReenvio: the service's requests to send the movements or the daily closing
// of a day and register again. Each reading gets its list (into the
// diagnostics' pedidosDeReenvio) and honours every valid request with the
// ordinary sales upload or daily closing for that day and register.

#include <QDate>
#include <QString>
#include <functional>

class TAtividades;
class TDiagnostico;
class TEnvioDeVendas;
class TFechamentoDiario;
class TPortoes;
struct Loja;

namespace api {
class ServiceFrame;
}

class TReenvio {
  public:
    TReenvio(api::ServiceFrame& frame, const Loja& loja, TAtividades& log, TDiagnostico& diagnostico,
             TPortoes& portoes, TEnvioDeVendas& vendas, TFechamentoDiario& fechamento);
    TReenvio(const TReenvio&) = delete;
    TReenvio& operator=(const TReenvio&) = delete;

    // Told the day of each request before it is honoured (the operator's day follows it).
    void setAoHonrarDia(std::function<void(const QDate&)> aviso) { m_aoHonrarDia = std::move(aviso); }

    void GetReenvio_Vendas();
    void GetReenvio_Fecha();

  private:
    // The common steps of both readings: the GET of `caminho`, the "Ok" row
    // with `operacao`, the list into pedidosDeReenvio, and `honra`(day text
    // DD/MM/YYYY, register) for each valid request.
    void leReenvio(const QString& caminho, const QString& operacao,
                   const std::function<void(const QString&, const QString&)>& honra);

    api::ServiceFrame& m_frame;
    const Loja& m_loja;
    TAtividades& m_log;
    TDiagnostico& m_diagnostico;
    TPortoes& m_portoes;
    TEnvioDeVendas& m_vendas;
    TFechamentoDiario& m_fechamento;
    std::function<void(const QDate&)> m_aoHonrarDia;
};
