#pragma once
// TPrincipal: the composition root. It makes the settings, the ERP session,
// the request frame, the activity log, the diagnostics, the scheduler, the
// tasks and the commands, hands each its collaborators, and applies the
// settings to them. In the program it lives on the engine thread (app/Engine.h),
// through which the main window (app/gui) and the headless modes drive it; all
// of it runs on the thread it was made on. See docs/ARCHITECTURE.md.

#include <QObject>
#include <QString>
#include <memory>

class TActivityLog; class TCommands; class TConfig; class TDiagnostico; class TEnvioDeVendas;
class TErrorDisplay; class TFechamentoDiario; class TPromocoes; class TReenvio; class TScheduler;
class TdtmApi; struct Loja;
namespace api { class ServiceFrame; }

class TPrincipal : public QObject {
    Q_OBJECT

public:
    explicit TPrincipal(QObject* parent = nullptr);
    ~TPrincipal() override;

    void FormCreate();       // start-up: the settings, the log folder, every task due
    void Habilita_inicial(); // applies the settings (errors shown; the timers start anyway)
    void FormActivate();     // applies the settings after the work at hand, then the day is today
    static constexpr const char* TestWorkstation = "KORVANTA-TESTE"; // the test console's workstation
    [[nodiscard]] static QString applicationTitle(); // the executable's name, as tip and box title
    [[nodiscard]] const QString& caption() const { return m_caption; } // the main window's caption
    // The test console is offered (on TestWorkstation; tests offer it anywhere).
    [[nodiscard]] bool testConsoleOffered() const { return m_testConsoleOffered; }
    void setTestConsoleOffered(bool offered) { m_testConsoleOffered = offered; }
    [[nodiscard]] const Loja& store() const;
    void setStore(const Loja& store);

    [[nodiscard]] TConfig& config() const;
    [[nodiscard]] TdtmApi& erp() const;
    [[nodiscard]] api::ServiceFrame& frame() const;
    [[nodiscard]] TActivityLog& log() const;
    [[nodiscard]] TDiagnostico& diagnostics() const;
    [[nodiscard]] TErrorDisplay& errors() const;
    [[nodiscard]] TScheduler& scheduler() const;
    [[nodiscard]] TCommands& commands() const;
    [[nodiscard]] TEnvioDeVendas& sales() const;
    [[nodiscard]] TFechamentoDiario& closing() const;
    [[nodiscard]] TPromocoes& promotions() const;
    [[nodiscard]] TReenvio& resend() const;

signals:
    void stateChanged();    // texts, caption or dates changed
    void settingsApplied(); // FormActivate has applied the settings

private:
    struct Parts;
    std::unique_ptr<Parts> m;
    QString m_caption;
    bool m_testConsoleOffered = false;
    bool m_activationPending = false; // an application of the settings waits for the work's end
};
