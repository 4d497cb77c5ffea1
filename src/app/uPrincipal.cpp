// The composition root: what is made, in which order, and who is handed what;
// the start-up (FormCreate), the application of the settings
// (Habilita_inicial) and the activation of the main window (FormActivate).

#include "app/uPrincipal.h"

#include "api/ServiceFrame.h"
#include "app/ActivityLog.h"
#include "app/Commands.h"
#include "app/ErrorDisplay.h"
#include "app/Scheduler.h"
#include "config/Settings.h"
#include "erp/uDtmApi.h"
#include "support/Clock.h"
#include "support/MemTable.h"
#include "support/Platform.h"
#include "support/frmFunczyr.h"
#include "sync/Diagnostico.h"
#include "sync/EnvioDeVendas.h"
#include "sync/FechamentoDiario.h"
#include "sync/Loja.h"
#include "sync/Promocoes.h"
#include "sync/Reenvio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <exception>

struct TPrincipal::Partes {
    Partes()
        : log([this] { return loja.pastaLog; }), erros(log), scheduler(config, loja, log, diagnostico, erros),
          fechamento(erp, frame, config, loja, log, diagnostico),
          vendas(erp, frame, config, loja, log, diagnostico, scheduler.portoes(), scheduler.prazoFechamento(),
                 fechamento),
          promocoes(erp, frame, loja, log, diagnostico, scheduler.portoes()),
          reenvio(frame, loja, log, diagnostico, scheduler.portoes(), vendas, fechamento),
          comandos(scheduler, erros, diagnostico, loja, vendas, fechamento, promocoes, reenvio) {
        scheduler.setTarefas({vendas, promocoes, reenvio});
        reenvio.setAoHonrarDia([this](const QDate& dia) { comandos.setDia(dia); });
    }

    TConfig config;
    TdtmApi erp;
    api::ServiceFrame frame;
    Loja loja;
    TActivityLog log;
    TDiagnostico diagnostico;
    TErrorDisplay erros;
    TScheduler scheduler;
    TFechamentoDiario fechamento;
    TEnvioDeVendas vendas;
    TPromocoes promocoes;
    TReenvio reenvio;
    TCommands comandos;
};

TPrincipal::TPrincipal(QObject* parent) : QObject(parent), m(std::make_unique<Partes>()) {
    connect(&m->scheduler, &TScheduler::changed, this, &TPrincipal::stateChanged);
    connect(&m->comandos, &TCommands::changed, this, &TPrincipal::stateChanged);
    // An application of the settings asked for during work runs at its end.
    connect(&m->scheduler, &TScheduler::trabalhoTerminou, this, [this] {
        if (!m_ativarPendente) return;
        m_ativarPendente = false;
        FormActivate();
    });
}

TPrincipal::~TPrincipal() = default;

const Loja& TPrincipal::loja() const { return m->loja; }
void TPrincipal::setLoja(const Loja& loja) { m->loja = loja; }
TConfig& TPrincipal::config() const { return m->config; }
TdtmApi& TPrincipal::erp() const { return m->erp; }
api::ServiceFrame& TPrincipal::frame() const { return m->frame; }
TActivityLog& TPrincipal::log() const { return m->log; }
TDiagnostico& TPrincipal::diagnostico() const { return m->diagnostico; }
TErrorDisplay& TPrincipal::erros() const { return m->erros; }
TScheduler& TPrincipal::scheduler() const { return m->scheduler; }
TCommands& TPrincipal::comandos() const { return m->comandos; }
TEnvioDeVendas& TPrincipal::vendas() const { return m->vendas; }
TFechamentoDiario& TPrincipal::fechamento() const { return m->fechamento; }
TPromocoes& TPrincipal::promocoes() const { return m->promocoes; }
TReenvio& TPrincipal::reenvio() const { return m->reenvio; }

QString TPrincipal::TituloAplicacao() {
    QString name = QCoreApplication::instance()
                       ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                       : QStringLiteral("korvanta-sync");
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0) name.truncate(dot);
    if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
    return name.left(127);
}

void TPrincipal::FormCreate() {
    // The icon and its registration with the shell belong to the window (app/gui).
    m->frame.setQualUrlColeta(1);
    Habilita_inicial();

    // The month's log folder, one level at a time; a level that exists already
    // or cannot be made passes silently (writes into it fail where they happen).
    // A level made here is for the owner alone: the error files hold customers'
    // document numbers.
    const QDate hoje = appClock().now().date();
    const QChar sep = QDir::separator();
    QString pasta = Funcoes_da_ZYR::Path_Do_Executavel() + QStringLiteral("Korvanta") + sep;
    platform::makePrivateFolder(pasta);
    pasta += QStringLiteral("log") + sep;
    platform::makePrivateFolder(pasta);
    pasta += QStringLiteral("Ano%1_%2")
                 .arg(Funcoes_da_ZYR::NumeroMes(hoje, QStringLiteral("ANO")))
                 .arg(Funcoes_da_ZYR::NumeroMes(hoje, QStringLiteral("MES"))) +
             sep;
    platform::makePrivateFolder(pasta);
    m->loja.pastaLog = pasta;

    // Every task is due at the first tick.
    for (TPrazo* prazo : {&m->scheduler.prazoVendas(), &m->scheduler.prazoFechamento(),
                          &m->scheduler.prazoPromocoes(), &m->scheduler.prazoReenvio()})
        prazo->setProximo(0);

    m_consoleDeTeste = Funcoes_da_ZYR::Nome_do_pc() == QLatin1String(EstacaoDeTeste);
    emit stateChanged();
}

void TPrincipal::Habilita_inicial() {
    // An error in the steps before the timers leaves the rest of them undone;
    // the timers, the gates and the log are still brought up so that the
    // synchroniser goes on.
    std::exception_ptr falha;
    try {
        m->scheduler.habilTimer(0);
        m->config.LoadConfig();
        const ConfigValues& v = m->config.values();
        m->erp.setPathBancoDolvex(v.pathBDDolvex);
        m->loja.idEmpresa = v.idEmpresa;
        m->loja.idLocal = v.idLocal;
        m->frame.setCredenciais(v.usuario, v.senha);
        m->loja.buscaPromocoes = v.buscaPromocoes;
        m->loja.postaVendas = v.postaVendas;
        m->loja.usaCodEmpDolvex = v.usaCodEmpDolvex;
        m->loja.codEmpDolvex = v.codEmpDolvex.text();
        m_titulo = QStringLiteral("API de comunicação - Korvanta - Versão 2020.1104");
        if (v.usaCodEmpDolvex) m_titulo += QStringLiteral(" - ( ") + v.apelidoEmp + QStringLiteral(" )");
        m->frame.setUrls({v.urlBase, v.urlBase2, v.urlBase3, v.urlBase4});
    } catch (...) {
        falha = std::current_exception();
    }
    m->scheduler.habilTimer(1);
    m->scheduler.portoes().abreAmbos();
    m->log.tabela().Open();
    emit stateChanged();
    if (falha) m->erros.runGuarded([&falha] { std::rethrow_exception(falha); });
}

void TPrincipal::FormActivate() {
    // Inside the work of a tick or command the settings wait for its end:
    // opening the gates there would let a second run start beside the first.
    if (m->scheduler.busy()) {
        m_ativarPendente = true;
        return;
    }
    Habilita_inicial();
    m->comandos.setDia(appClock().now().date());
    emit stateChanged();
    emit settingsApplied();
}
