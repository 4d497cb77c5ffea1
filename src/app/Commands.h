#pragma once
// TCommands: the operator's commands of the main window that need no dialog
// (the settings command, which shows one, is in app/gui), the operator's
// selection of tickets, and the test console's detail commands.
//
// Each command of the left column stops both timers before its work and
// starts them after it (TScheduler::command), so the next tick comes a full
// interval after the command's end; testPromotions, the test console's fetch,
// leaves them alone. Each names its task as it starts (TScheduler::taskStarted).
// A command that arrives while a tick or another command is at work does nothing.

#include <QDate>
#include <QObject>
#include <functional>

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
    // Which tickets the sales command sends: flag 1, flag 3, or those of day().
    enum class Selection { Pending1, Pending3, Day };

    TCommands(TScheduler& scheduler, TErrorDisplay& errors, TDiagnostico& diagnostics, const Loja& store,
              TEnvioDeVendas& sales, TFechamentoDiario& closing, TPromocoes& promotions, TReenvio& resend,
              QObject* parent = nullptr);

    [[nodiscard]] Selection selection() const { return m_selection; }
    void setSelection(Selection selection) { m_selection = selection; }
    [[nodiscard]] const QDate& day() const { return m_day; }
    void setDay(const QDate& day);

    void readResendRequests(); // both resend readings
    void fetchPromotions();    // the promotions fetch and import, when switched on
    void testPromotions();     // the same from the test console, timers left alone
    void sendSales();          // the sales upload of the selection
    void sendClosing();        // the closing of day(), or of the pending days

    // The test console's detail commands (TDiagnostico); an error goes to the error display.
    void showPromotionDetails();
    void showConditions();
    void showBenefits();
    void showGroupArticles();

  signals:
    void changed(); // the selection or what the commands left may have changed

  private:
    void detail(const std::function<void()>& show);

    TScheduler& m_scheduler;
    TErrorDisplay& m_errors;
    TDiagnostico& m_diagnostics;
    const Loja& m_store;
    TEnvioDeVendas& m_sales;
    TFechamentoDiario& m_closing;
    TPromocoes& m_promotions;
    TReenvio& m_resend;
    Selection m_selection = Selection::Pending1;
    QDate m_day;
};
