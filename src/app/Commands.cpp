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

TCommands::TCommands(TScheduler& scheduler, TErrorDisplay& errors, TDiagnostico& diagnostics,
                     const Loja& store, TEnvioDeVendas& sales, TFechamentoDiario& closing,
                     TPromocoes& promotions, TReenvio& resend, QObject* parent)
    : QObject(parent), m_scheduler(scheduler), m_errors(errors), m_diagnostics(diagnostics), m_store(store),
      m_sales(sales), m_closing(closing), m_promotions(promotions), m_resend(resend) {}

void TCommands::setDay(const QDate& day) {
    m_day = day;
    emit changed();
}

void TCommands::readResendRequests() {
    m_scheduler.command(TScheduler::ResendTask, [this] {
        m_resend.GetReenvio_Vendas();
        m_resend.GetReenvio_Fecha();
    });
}

void TCommands::fetchPromotions() {
    m_scheduler.command(TScheduler::PromotionsTask, [this] {
        if (m_store.buscaPromocoes) m_promotions.sincroniza();
    });
}

void TCommands::testPromotions() {
    if (m_scheduler.busy() || !m_store.buscaPromocoes) return;
    {
        TScheduler::Work work(m_scheduler, TScheduler::PromotionsTask);
        if (!m_errors.runGuarded([this] { m_promotions.sincroniza(); })) m_scheduler.gates().abreAmbos();
    }
    emit changed();
}

void TCommands::sendSales() {
    m_scheduler.command(TScheduler::SalesTask, [this] {
        switch (m_selection) {
        case Selection::Pending1:
            m_sales.PostVendas(QStringLiteral("Pendentes-1"), QString(), m_day);
            break;
        case Selection::Pending3:
            m_sales.PostVendas(QStringLiteral("Pendentes-3"), QString(), m_day);
            break;
        case Selection::Day:
            m_sales.PostVendas(QStringLiteral("Data"), QString(), m_day);
            break;
        }
    });
}

void TCommands::sendClosing() {
    m_scheduler.command(TScheduler::ClosingTask, [this] {
        if (m_selection == Selection::Day)
            m_closing.Envia_fechamento_dia_anterior(
                Funcoes_da_ZYR::Formata_Data(m_day, QStringLiteral("DD/MM/AAAA")), QString());
        else
            m_closing.Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString());
    });
}

void TCommands::detail(const std::function<void()>& show) {
    m_errors.runGuarded(show);
    emit changed();
}

void TCommands::showPromotionDetails() {
    detail([this] { m_diagnostics.detalhaPromocao(); });
}

void TCommands::showConditions() {
    detail([this] { m_diagnostics.detalhaCondicoes(); });
}

void TCommands::showBenefits() {
    detail([this] { m_diagnostics.detalhaBeneficios(); });
}

void TCommands::showGroupArticles() {
    detail([this] { m_diagnostics.detalhaGrupo(); });
}
