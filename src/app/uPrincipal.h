#pragma once
// TPrincipal: the composition root. It makes the settings, the ERP session,
// the request frame, the activity log, the diagnostics, the scheduler, the
// tasks and the commands, hands each its collaborators, and applies the
// settings to them. The main window (app/gui) and the headless modes drive it.
// Everything runs on the one thread of the Qt event loop. See docs/ARCHITECTURE.md.

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
    static constexpr const char* EstacaoDeTeste = "KORVANTA-TESTE"; // the test console's workstation
    [[nodiscard]] static QString TituloAplicacao(); // the executable's name, as tip and box title
    [[nodiscard]] const QString& titulo() const { return m_titulo; } // the main window's caption
    [[nodiscard]] bool consoleDeTeste() const { return m_consoleDeTeste; } // offered on EstacaoDeTeste
    void setConsoleDeTeste(bool oferecido) { m_consoleDeTeste = oferecido; }
    [[nodiscard]] const Loja& loja() const;
    void setLoja(const Loja& loja);

    [[nodiscard]] TConfig& config() const;
    [[nodiscard]] TdtmApi& erp() const;
    [[nodiscard]] api::ServiceFrame& frame() const;
    [[nodiscard]] TActivityLog& log() const;
    [[nodiscard]] TDiagnostico& diagnostico() const;
    [[nodiscard]] TErrorDisplay& erros() const;
    [[nodiscard]] TScheduler& scheduler() const;
    [[nodiscard]] TCommands& comandos() const;
    [[nodiscard]] TEnvioDeVendas& vendas() const;
    [[nodiscard]] TFechamentoDiario& fechamento() const;
    [[nodiscard]] TPromocoes& promocoes() const;
    [[nodiscard]] TReenvio& reenvio() const;

signals:
    void stateChanged();    // texts, caption or dates changed
    void settingsApplied(); // FormActivate has applied the settings

private:
    struct Partes;
    std::unique_ptr<Partes> m;
    QString m_titulo;
    bool m_consoleDeTeste = false;
    bool m_ativarPendente = false; // an application of the settings waits for the work's end
};
