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

struct TPrincipal::Parts {
    Parts()
        : log([this] { return store.pastaLog; }), errors(log),
          scheduler(config, store, log, diagnostics, errors, frame),
          closing(erp, frame, config, store, log, diagnostics),
          sales(erp, frame, config, store, log, diagnostics, scheduler.gates(), scheduler.closingCountdown(),
                closing),
          promotions(erp, frame, store, log, diagnostics, scheduler.gates()),
          resend(frame, store, log, diagnostics, scheduler.gates(), sales, closing),
          commands(scheduler, errors, diagnostics, store, sales, closing, promotions, resend) {
        scheduler.setTasks({sales, promotions, resend});
        resend.setAoHonrarDia([this](const QDate& day) { commands.setDay(day); });
    }

    TConfig config;
    TdtmApi erp;
    api::ServiceFrame frame;
    Loja store;
    TActivityLog log;
    TDiagnostico diagnostics;
    TErrorDisplay errors;
    TScheduler scheduler;
    TFechamentoDiario closing;
    TEnvioDeVendas sales;
    TPromocoes promotions;
    TReenvio resend;
    TCommands commands;
};

TPrincipal::TPrincipal(QObject* parent) : QObject(parent), m(std::make_unique<Parts>()) {
    connect(&m->scheduler, &TScheduler::changed, this, &TPrincipal::stateChanged);
    connect(&m->commands, &TCommands::changed, this, &TPrincipal::stateChanged);
    // An application of the settings asked for during work runs at its end.
    connect(&m->scheduler, &TScheduler::workEnded, this, [this] {
        if (!m_activationPending) return;
        m_activationPending = false;
        FormActivate();
    });
}

TPrincipal::~TPrincipal() = default;

const Loja& TPrincipal::store() const {
    return m->store;
}
void TPrincipal::setStore(const Loja& store) {
    m->store = store;
}
TConfig& TPrincipal::config() const {
    return m->config;
}
TdtmApi& TPrincipal::erp() const {
    return m->erp;
}
api::ServiceFrame& TPrincipal::frame() const {
    return m->frame;
}
TActivityLog& TPrincipal::log() const {
    return m->log;
}
TDiagnostico& TPrincipal::diagnostics() const {
    return m->diagnostics;
}
TErrorDisplay& TPrincipal::errors() const {
    return m->errors;
}
TScheduler& TPrincipal::scheduler() const {
    return m->scheduler;
}
TCommands& TPrincipal::commands() const {
    return m->commands;
}
TEnvioDeVendas& TPrincipal::sales() const {
    return m->sales;
}
TFechamentoDiario& TPrincipal::closing() const {
    return m->closing;
}
TPromocoes& TPrincipal::promotions() const {
    return m->promotions;
}
TReenvio& TPrincipal::resend() const {
    return m->resend;
}

QString TPrincipal::applicationTitle() {
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
    m->frame.setFailoverIndex(1);
    Habilita_inicial();

    // The month's log folder, one level at a time; a level that exists already
    // or cannot be made passes silently (writes into it fail where they happen).
    // A level made here is for the owner alone: the error files hold customers'
    // document numbers.
    const QDate today = appClock().now().date();
    const QChar sep = QDir::separator();
    QString folder = Funcoes_da_ZYR::Path_Do_Executavel() + QStringLiteral("Korvanta") + sep;
    platform::makePrivateFolder(folder);
    folder += QStringLiteral("log") + sep;
    platform::makePrivateFolder(folder);
    folder += QStringLiteral("Ano%1_%2")
                  .arg(Funcoes_da_ZYR::NumeroMes(today, QStringLiteral("ANO")))
                  .arg(Funcoes_da_ZYR::NumeroMes(today, QStringLiteral("MES"))) +
              sep;
    platform::makePrivateFolder(folder);
    m->store.pastaLog = folder;

    // Every task is due at the first tick.
    for (TPrazo* countdown : {&m->scheduler.salesCountdown(), &m->scheduler.closingCountdown(),
                              &m->scheduler.promotionsCountdown(), &m->scheduler.resendCountdown()})
        countdown->setProximo(0);

    m_testConsoleOffered = Funcoes_da_ZYR::Nome_do_pc() == QLatin1String(TestWorkstation);
    emit stateChanged();
}

void TPrincipal::Habilita_inicial() {
    // An error in the steps before the timers leaves the rest of them undone;
    // the timers, the gates and the log are still brought up so that the
    // synchroniser goes on.
    std::exception_ptr failure;
    try {
        m->scheduler.habilTimer(0);
        m->config.LoadConfig();
        const ConfigValues& values = m->config.values();
        m->erp.setPathBancoDolvex(values.pathBDDolvex);
        m->store.idEmpresa = values.idEmpresa;
        m->store.idLocal = values.idLocal;
        m->frame.setCredentials(values.usuario, values.senha);
        m->store.buscaPromocoes = values.buscaPromocoes;
        m->store.postaVendas = values.postaVendas;
        m->store.usaCodEmpDolvex = values.usaCodEmpDolvex;
        m->store.codEmpDolvex = values.codEmpDolvex.text();
        m_caption = QStringLiteral("API de comunicação - Korvanta - Versão 2020.1104");
        if (values.usaCodEmpDolvex)
            m_caption += QStringLiteral(" - ( ") + values.apelidoEmp + QStringLiteral(" )");
        m->frame.setUrls({values.urlBase, values.urlBase2, values.urlBase3, values.urlBase4});
    } catch (...) {
        failure = std::current_exception();
    }
    m->scheduler.habilTimer(1);
    m->scheduler.gates().abreAmbos();
    m->log.table().Open();
    emit stateChanged();
    if (failure) m->errors.runGuarded([&failure] { std::rethrow_exception(failure); });
}

void TPrincipal::FormActivate() {
    // Inside the work of a tick or command the settings wait for its end:
    // opening the gates there would let a second run start beside the first.
    if (m->scheduler.busy()) {
        m_activationPending = true;
        return;
    }
    Habilita_inicial();
    m->commands.setDay(appClock().now().date()); // the window is told through stateChanged
    emit settingsApplied();
}
