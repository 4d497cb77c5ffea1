// The scheduler: habilTimer, the general tick (timerGeralTimer) and the ping
// handshake (timerPingTimer).
//
// The countdowns hold seconds on the clock of clockSeconds(), which does not
// restart at midnight: a task keeps coming due every interval around the clock,
// a clock set back makes the tasks wait and a clock set forward makes them due.

#include "app/uPrincipal.h"
#include "config/Settings.h"
#include "support/Clock.h"
#include "support/Codepage.h"
#include "support/Errors.h"
#include "support/FileReplace.h"
#include "support/frmFunczyr.h"

#include <QFile>
#include <algorithm>
#include <cmath>

namespace {
double g_timerScale = 1.0;

int realInterval(int ms) {
    return std::max(1, static_cast<int>(std::lround(ms * g_timerScale)));
}
} // namespace

void TPrincipal::setTimerScale(double factor) {
    g_timerScale = factor > 0 ? factor : 1.0;
}

double TPrincipal::timerScale() {
    return g_timerScale;
}

void TPrincipal::setTimerGeralInterval(int ms) {
    m_intervaloGeral = ms;
    timerGeral.setInterval(realInterval(ms));
}

void TPrincipal::habilTimer(int Value) {
    if (Value == 0) {
        timerGeral.stop();
        timerPing.stop();
        return;
    }
    // Starting makes the next event come one full interval from now.
    timerGeral.start(realInterval(m_intervaloGeral));
    timerPing.start(realInterval(IntervaloPing));
}

void TPrincipal::timerGeralTimer() {
    if (busy()) return;
    {
        Trabalho trabalho(*this);
        habilTimer(0);
        setTimerGeralInterval(IntervaloGeral);
        const bool ok = runGuarded([this] {
            // One reading of the clock for the three tests, however long the tasks take.
            const qint64 now = clockSeconds();
            if (uPostVenda < now) {
                uPostVenda = now + frmConfig->values().timerVenda.value();
                addList(QStringLiteral("Abriu post-vendas"), QString());
                PostVendas(QStringLiteral("Pendentes-1"), QString());
            }
            if (uGetPromo < now) {
                uGetPromo = now + frmConfig->values().timerProm.value();
                if (chkgetPromo) {
                    GetPromocoes();
                    Trata_leitura_Json();
                }
            }
            if (uGetReenvio < now) {
                uGetReenvio = now + frmConfig->values().timerReenvio.value();
                GetReenvio_Vendas();
                GetReenvio_Fecha();
            }
        });
        if (ok)
            habilTimer(1);
        else
            retomaAposErro();
    }
    emit stateChanged();
    emit tickFinished();
}

void TPrincipal::retomaAposErro() {
    podePostVenda = 1;
    podeGetPromo = 1;
    habilTimer(1);
}

void TPrincipal::timerPingTimer() {
    const QString pasta = Funcoes_da_ZYR::Path_Do_Executavel();
    const QString pedido = pasta + QStringLiteral("test-ping.txt");
    if (!QFile::exists(pedido)) return;
    runGuarded([&] {
        // A request that cannot be deleted is answered again at the next event.
        QFile::remove(pedido);
        addList(QStringLiteral("Resp-Ping.txt"), QString());
        QString texto;
        for (const QString& linha : mmoErro.Lines())
            texto += linha + QStringLiteral("\r\n");
        const QString resposta = pasta + QStringLiteral("resp-ping.txt");
        QString erro;
        if (!files::replaceWhole(resposta, ansi::fromUnicode(texto), &erro))
            throw AppError(QStringLiteral("Unable to write to %1: %2").arg(resposta, erro));
    });
}
