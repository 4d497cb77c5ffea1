#include "app/Scheduler.h"

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

TScheduler::TScheduler(TConfig& config, const Loja& loja, TAtividades& log, TDiagnostico& diagnostico,
                       TErrorDisplay& erros, QObject* parent)
    : QObject(parent), m_config(config), m_loja(loja), m_log(log), m_diagnostico(diagnostico), m_erros(erros) {
    // Both timers are created stopped; applying the settings starts them.
    m_timerGeral.setInterval(IntervaloInicial);
    m_timerPing.setInterval(IntervaloPing);
    connect(&m_timerGeral, &QTimer::timeout, this, &TScheduler::timerGeralTimer);
    connect(&m_timerPing, &QTimer::timeout, this, &TScheduler::timerPingTimer);
}

void TScheduler::setTarefas(const Tarefas& tarefas) {
    m_tarefas.emplace(tarefas);
}

void TScheduler::setTimerGeralInterval(int ms) {
    m_intervaloGeral = ms;
    m_timerGeral.setInterval(realInterval(ms));
}

void TScheduler::habilTimer(int Value) {
    if (Value == 0) {
        m_timerGeral.stop();
        m_timerPing.stop();
        return;
    }
    // Starting makes the next event come one full interval from now.
    m_timerGeral.start(realInterval(m_intervaloGeral));
    m_timerPing.start(realInterval(IntervaloPing));
}

void TScheduler::timerGeralTimer() {
    if (busy()) return;
    {
        Trabalho trabalho(*this);
        habilTimer(0);
        setTimerGeralInterval(IntervaloGeral);
        const bool ok = m_erros.runGuarded([this] {
            if (!m_tarefas) return;
            const ConfigValues& ajustes = m_config.values();
            // One reading of the clock for the three tests, however long the tasks take.
            const qint64 now = clockSeconds();
            if (m_prazoVendas.renovaSeVenceu(now, ajustes.timerVenda.value())) {
                m_log.addList(QStringLiteral("Abriu post-vendas"), QString());
                m_tarefas->vendas.PostVendas(QStringLiteral("Pendentes-1"), QString(), QDate());
            }
            if (m_prazoPromocoes.renovaSeVenceu(now, ajustes.timerProm.value()) && m_loja.buscaPromocoes)
                m_tarefas->promocoes.sincroniza();
            if (m_prazoReenvio.renovaSeVenceu(now, ajustes.timerReenvio.value())) {
                m_tarefas->reenvio.GetReenvio_Vendas();
                m_tarefas->reenvio.GetReenvio_Fecha();
            }
        });
        if (ok)
            habilTimer(1);
        else
            retomaAposErro();
    }
    emit changed();
    emit tickFinished();
}

void TScheduler::retomaAposErro() {
    m_portoes.abreAmbos();
    habilTimer(1);
}

void TScheduler::comando(const std::function<void()>& work) {
    if (busy()) return;
    {
        Trabalho trabalho(*this);
        habilTimer(0);
        if (m_erros.runGuarded(work))
            habilTimer(1);
        else
            retomaAposErro();
    }
    emit changed();
}

void TScheduler::timerPingTimer() {
    const QString pasta = Funcoes_da_ZYR::Path_Do_Executavel();
    const QString pedido = pasta + QStringLiteral("test-ping.txt");
    if (!QFile::exists(pedido)) return;
    m_erros.runGuarded([&] {
        // A request that cannot be deleted is answered again at the next event.
        QFile::remove(pedido);
        m_log.addList(QStringLiteral("Resp-Ping.txt"), QString());
        QString texto;
        for (const QString& linha : m_diagnostico.respostaExaminada().Lines())
            texto += linha + QStringLiteral("\r\n");
        const QString resposta = pasta + QStringLiteral("resp-ping.txt");
        QString erro;
        if (!files::replaceWhole(resposta, ansi::fromUnicode(texto), &erro))
            throw AppError(QStringLiteral("Unable to write to %1: %2").arg(resposta, erro));
    });
}
