#include "app/Commands.h"

#include "app/ErrorDisplay.h"
#include "app/Scheduler.h"
#include "support/frmFunczyr.h"
#include "sync/Diagnostico.h"
#include "sync/EnvioDeVendas.h"
#include "sync/FechamentoDiario.h"
#include "sync/Loja.h"
#include "sync/Promocoes.h"
#include "sync/Reenvio.h"

TCommands::TCommands(TScheduler& scheduler, TErrorDisplay& erros, TDiagnostico& diagnostico, const Loja& loja,
                     TEnvioDeVendas& vendas, TFechamentoDiario& fechamento, TPromocoes& promocoes,
                     TReenvio& reenvio, QObject* parent)
    : QObject(parent), m_scheduler(scheduler), m_erros(erros), m_diagnostico(diagnostico), m_loja(loja),
      m_vendas(vendas), m_fechamento(fechamento), m_promocoes(promocoes), m_reenvio(reenvio) {}

void TCommands::setDia(const QDate& dia) {
    m_dia = dia;
    emit changed();
}

void TCommands::leReenvios() {
    m_scheduler.comando([this] {
        m_reenvio.GetReenvio_Vendas();
        m_reenvio.GetReenvio_Fecha();
    });
}

void TCommands::buscaPromocoes() {
    m_scheduler.comando([this] {
        if (m_loja.buscaPromocoes) m_promocoes.sincroniza();
    });
}

void TCommands::testaPromocoes() {
    if (m_scheduler.busy() || !m_loja.buscaPromocoes) return;
    {
        TScheduler::Trabalho trabalho(m_scheduler);
        if (!m_erros.runGuarded([this] { m_promocoes.sincroniza(); })) m_scheduler.portoes().abreAmbos();
    }
    emit changed();
}

void TCommands::enviaVendas() {
    m_scheduler.comando([this] {
        switch (m_selecao) {
        case Selecao::Pendente1:
            m_vendas.PostVendas(QStringLiteral("Pendentes-1"), QString(), m_dia);
            break;
        case Selecao::Pendente3:
            m_vendas.PostVendas(QStringLiteral("Pendentes-3"), QString(), m_dia);
            break;
        case Selecao::Data:
            m_vendas.PostVendas(QStringLiteral("Data"), QString(), m_dia);
            break;
        }
    });
}

void TCommands::enviaFechamento() {
    m_scheduler.comando([this] {
        if (m_selecao == Selecao::Data)
            m_fechamento.Envia_fechamento_dia_anterior(
                Funcoes_da_ZYR::Formata_Data(m_dia, QStringLiteral("DD/MM/AAAA")), QString());
        else
            m_fechamento.Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString());
    });
}

void TCommands::detalhe(void (TDiagnostico::*comando)()) {
    m_erros.runGuarded([this, comando] { (m_diagnostico.*comando)(); });
    emit changed();
}

void TCommands::detalhaPromocao() {
    detalhe(&TDiagnostico::detalhaPromocao);
}

void TCommands::detalhaCondicoes() {
    detalhe(&TDiagnostico::detalhaCondicoes);
}

void TCommands::detalhaBeneficios() {
    detalhe(&TDiagnostico::detalhaBeneficios);
}

void TCommands::detalhaGrupo() {
    detalhe(&TDiagnostico::detalhaGrupo);
}
