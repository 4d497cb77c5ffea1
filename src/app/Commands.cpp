// The operator's commands of the main window that need no dialog (the settings
// command, which shows one, is in app/gui). Each stops both timers before its
// work and starts them after it, so the next tick comes a full interval after
// the command's end; btnGetPromocoesClick, the test console's fetch, leaves
// them alone. A command that arrives while a tick or another command is at work
// (in the message pass of the sales upload) does nothing.

#include "app/uPrincipal.h"
#include "support/frmFunczyr.h"

void TPrincipal::comando(const std::function<void()>& work) {
    if (busy()) return;
    {
        Trabalho trabalho(*this);
        habilTimer(0);
        if (runGuarded(work))
            habilTimer(1);
        else
            retomaAposErro();
    }
    emit stateChanged();
}

void TPrincipal::btnGetReenvioClick() {
    comando([this] {
        GetReenvio_Vendas();
        GetReenvio_Fecha();
    });
}

void TPrincipal::btnCopiaClick() {
    comando([this] {
        if (!chkgetPromo) return;
        GetPromocoes();
        Trata_leitura_Json();
    });
}

void TPrincipal::btnGetPromocoesClick() {
    if (busy() || !chkgetPromo) return;
    {
        Trabalho trabalho(*this);
        if (!runGuarded([this] {
                GetPromocoes();
                Trata_leitura_Json();
            })) {
            podePostVenda = 1;
            podeGetPromo = 1;
        }
    }
    emit stateChanged();
}

void TPrincipal::btnEnviaClick() {
    comando([this] {
        switch (selecao) {
        case Selecao::Pendente1:
            PostVendas(QStringLiteral("Pendentes-1"), QString());
            break;
        case Selecao::Pendente3:
            PostVendas(QStringLiteral("Pendentes-3"), QString());
            break;
        case Selecao::Data:
            PostVendas(QStringLiteral("Data"), QString());
            break;
        }
    });
}

void TPrincipal::btnEnviaFechaClick() {
    comando([this] {
        if (selecao == Selecao::Data)
            Envia_fechamento_dia_anterior(Funcoes_da_ZYR::Formata_Data(edtData, QStringLiteral("DD/MM/AAAA")),
                                          QString());
        else
            Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString());
    });
}
