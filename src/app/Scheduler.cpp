#include "app/Scheduler.h"

#include "api/HttpClient.h"
#include "api/ServiceFrame.h"
#include "app/ErrorDisplay.h"
#include "config/Settings.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/Errors.h"
#include "support/FileReplace.h"
#include "support/Memo.h"
#include "support/frmFunczyr.h"
#include "sync/Atividades.h"
#include "sync/Diagnostico.h"
#include "sync/EnvioDeVendas.h"
#include "sync/Loja.h"
#include "sync/Promocoes.h"
#include "sync/Reenvio.h"

#include <QFile>
#include <algorithm>
#include <cmath>

namespace {
double g_timerScale = 1.0;

int realInterval(int ms) {
    return std::max(1, static_cast<int>(std::lround(ms * g_timerScale)));
}
} // namespace

void TScheduler::setTimerScale(double factor) {
    g_timerScale = factor > 0 ? factor : 1.0;
}

double TScheduler::timerScale() {
    return g_timerScale;
}

TScheduler::TScheduler(TConfig& config, const Loja& store, TAtividades& log, TDiagnostico& diagnostics,
                       TErrorDisplay& errors, const api::ServiceFrame& frame, QObject* parent)
    : QObject(parent), m_config(config), m_store(store), m_log(log), m_diagnostics(diagnostics),
      m_errors(errors), m_frame(frame) {
    // Both timers are created stopped; applying the settings starts them.
    m_timerGeral.setInterval(InitialInterval);
    m_timerPing.setInterval(PingInterval);
    connect(&m_timerGeral, &QTimer::timeout, this, &TScheduler::timerGeralTimer);
    connect(&m_timerPing, &QTimer::timeout, this, &TScheduler::timerPingTimer);
}

void TScheduler::setTasks(const Tasks& tasks) {
    m_tasks.emplace(tasks);
}

void TScheduler::setTimerGeralInterval(int ms) {
    m_generalInterval = ms;
    m_timerGeral.setInterval(realInterval(ms));
}

void TScheduler::habilTimer(int Value) {
    if (Value == 0) {
        m_timerGeral.stop();
        m_timerPing.stop();
        return;
    }
    // Starting makes the next event come one full interval from now.
    m_timerGeral.start(realInterval(m_generalInterval));
    m_timerPing.start(realInterval(PingInterval));
}

void TScheduler::timerGeralTimer() {
    if (busy()) return;
    {
        Work work(*this);
        habilTimer(0);
        setTimerGeralInterval(GeneralInterval);
        const bool ok = m_errors.runGuarded([this] { runDueTasks(); });
        if (ok)
            habilTimer(1);
        else
            resumeAfterError();
    }
    emit changed();
    emit tickFinished();
}

void TScheduler::runDueTasks() {
    if (!m_tasks) return;
    const ConfigValues& values = m_config.values();
    // One reading of the clock for the three tests, however long the tasks take.
    const qint64 now = clockSeconds();
    const int noReplyBefore = m_frame.semResposta();
    const auto serviceSilent = [&] { return m_frame.semResposta() != noReplyBefore; };
    bool promotionsWait = false;
    bool resendWaits = false;

    if (m_salesCountdown.renovaSeVenceu(now, values.timerVenda.value())) {
        m_log.addList(QStringLiteral("Abriu post-vendas"), QString());
        announce(SalesTask);
        m_tasks->sales.PostVendas(QStringLiteral("Pendentes-1"), QString(), QDate());
    }
    // With its switch off the promotions step makes no request: its countdown advances as ever.
    if (m_promotionsCountdown.venceu(now) && m_store.buscaPromocoes && serviceSilent()) {
        promotionsWait = true;
    } else if (m_promotionsCountdown.renovaSeVenceu(now, values.timerProm.value()) &&
               m_store.buscaPromocoes) {
        announce(PromotionsTask);
        m_tasks->promotions.sincroniza();
    }
    if (m_resendCountdown.venceu(now)) {
        if (serviceSilent()) {
            resendWaits = true;
        } else {
            const qint64 due = m_resendCountdown.proximo();
            (void)m_resendCountdown.renovaSeVenceu(now, values.timerReenvio.value());
            announce(ResendTask);
            m_tasks->resend.GetReenvio_Vendas();
            if (serviceSilent()) {
                // Both readings come due again at the next tick.
                m_resendCountdown.setProximo(due);
                resendWaits = true;
            } else {
                m_tasks->resend.GetReenvio_Fecha();
            }
        }
    }

    // While the program ends (every request aborted) what waits needs no row.
    if (!(promotionsWait || resendWaits) || THttpClient::aborting()) return;
    const QString waiting = promotionsWait && resendWaits
                                ? QStringLiteral("Promoções e reenvio ficam para o próximo ciclo")
                            : promotionsWait ? QStringLiteral("Promoções ficam para o próximo ciclo")
                                             : QStringLiteral("Reenvio fica para o próximo ciclo");
    m_log.addList(QStringLiteral("Serviço sem resposta"), waiting);
}

void TScheduler::announce(const QString& task) {
    m_currentTask = task;
    emit taskStarted(task);
}

void TScheduler::resumeAfterError() {
    m_gates.abreAmbos();
    habilTimer(1);
}

void TScheduler::command(const QString& task, const std::function<void()>& work) {
    if (busy()) return;
    {
        Work atWork(*this);
        habilTimer(0);
        announce(task);
        if (m_errors.runGuarded(work))
            habilTimer(1);
        else
            resumeAfterError();
    }
    emit changed();
}

void TScheduler::timerPingTimer() {
    const QString folder = Funcoes_da_ZYR::Path_Do_Executavel();
    const QString request = folder + QStringLiteral("test-ping.txt");
    if (!QFile::exists(request)) return;
    m_errors.runGuarded([&] {
        // A request that cannot be deleted is answered again at the next event.
        QFile::remove(request);
        m_log.addList(QStringLiteral("Resp-Ping.txt"), QString());
        const QString reply = folder + QStringLiteral("resp-ping.txt");
        QString error;
        if (!files::replaceWhole(reply, ansi::fromUnicode(m_diagnostics.respostaExaminada().LinesText()),
                                 &error))
            throw AppError(QStringLiteral("Unable to write to %1: %2").arg(reply, error));
    });
}
