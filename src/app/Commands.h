#pragma once
// TCommands: the operator's commands of the main window that need no dialog
// (the settings command, which shows one, is in app/gui), the operator's
// selection of tickets, and the test console's detail commands.
//
// Each command of the left column stops both timers before its work and
// starts them after it (TScheduler::comando), so the next tick comes a full
// interval after the command's end; testaPromocoes, the test console's fetch,
// leaves them alone. A command that arrives while a tick or another command is
// at work does nothing.

#include <QDate>
#include <QObject>

class TDiagnostico;
class TEnvioDeVendas;
class TErrorDisplay;
class TFechamentoDiario;
class TPromocoes;
class TReenvio;
class TScheduler;
struct Loja;

class TCommands : public QObject {
    Q_OBJECT

public:
    // Which tickets the sales command sends: flag 1, flag 3, or the day dia().
    enum class Selecao { Pendente1, Pendente3, Data };

    TCommands(TScheduler& scheduler, TErrorDisplay& erros, TDiagnostico& diagnostico, const Loja& loja,
              TEnvioDeVendas& vendas, TFechamentoDiario& fechamento, TPromocoes& promocoes, TReenvio& reenvio,
              QObject* parent = nullptr);

    [[nodiscard]] Selecao selecao() const { return m_selecao; }
    void setSelecao(Selecao selecao) { m_selecao = selecao; }
    [[nodiscard]] const QDate& dia() const { return m_dia; }
    void setDia(const QDate& dia);

    void leReenvios();      // both resend readings
    void buscaPromocoes();  // the promotions fetch and import, when switched on
    void testaPromocoes();  // the same from the test console, timers left alone
    void enviaVendas();     // the sales upload of the selection
    void enviaFechamento(); // the closing of the day dia(), or of the pending days

    // The test console's detail commands (TDiagnostico); an error goes to the error display.
    void detalhaPromocao();
    void detalhaCondicoes();
    void detalhaBeneficios();
    void detalhaGrupo();

signals:
    void changed(); // the selection or what the commands left may have changed

private:
    void detalhe(void (TDiagnostico::*comando)());

    TScheduler& m_scheduler;
    TErrorDisplay& m_erros;
    TDiagnostico& m_diagnostico;
    const Loja& m_loja;
    TEnvioDeVendas& m_vendas;
    TFechamentoDiario& m_fechamento;
    TPromocoes& m_promocoes;
    TReenvio& m_reenvio;
    Selecao m_selecao = Selecao::Pendente1;
    QDate m_dia;
};
