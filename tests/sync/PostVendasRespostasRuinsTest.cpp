// Replies to the movement and closing posts that arrive cut short, dripping,
// oversized or not in UTF-8: a log row that says what happened, the ERP flags
// and the last closed day left as they were, and the next run sends it all.

#include "SalesFixture.h"
#include "config/Settings.h"
#include "erp/uDtmApi.h"
#include "support/fixtures/HttpLimits.h"

#include <QFile>

namespace {

// Small limits, so that a slow or oversized reply fails within a second or two.
const THttpClient::Limits kLimites{.lowSpeedSeconds = 1, .maxBodyBytes = 1024 * 1024};

struct RespostaRuim {
    const char* nome;
    FakeService::Delivery entrega;
    QByteArray corpo; // served instead of the service's own; empty: its own
    QString mensagem; // what the log row's message holds
};

QList<RespostaRuim> respostasRuins() {
    return {
        {"cut short", {.truncateAt = 10}, {}, QStringLiteral("transfer closed with ")},
        {"dripping", {.trickleMs = 300}, {}, QStringLiteral("Less than 1024 bytes/sec transferred")},
        {"too large", {}, QByteArray(2 * 1024 * 1024, 'x'), QStringLiteral("reply body larger than 1048576 bytes")},
    };
}

} // namespace

TEST_F(SalesTest, MovementReplyThatNeverArrivesWholeKeepsTheFlagsAndEndsTheRun) {
    const HttpLimits limites(kLimites);
    int nro = 1;
    for (const RespostaRuim& c : respostasRuins()) {
        SCOPED_TRACE(c.nome);
        cupom(nro);
        cupom(nro + 1);
        service->setDelivery(QStringLiteral("movimientos"), c.entrega);
        if (!c.corpo.isEmpty()) service->serve(QStringLiteral("movimientos"), c.corpo);
        const qsizetype linhas = linhasDoLog.size();
        const qsizetype postados = posts().size();

        core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());

        EXPECT_EQ(flagCupom(nro), 1);
        EXPECT_EQ(flagCupom(nro + 1), 1);
        EXPECT_EQ(posts().size(), postados + 1); // nothing after the post without a whole reply
        ASSERT_EQ(linhasDoLog.size(), linhas + 1) << textoDoLog().toStdString();
        EXPECT_EQ(linhasDoLog.constLast().operacao, QStringLiteral("Erro gravação: 1 - %1 - 10/06/2020").arg(nro));
        EXPECT_TRUE(linhasDoLog.constLast().mensagem.contains(c.mensagem)) << textoDoLog().toStdString();
        EXPECT_TRUE(core->scheduler().gates().podePostVenda());
        EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
        EXPECT_FALSE(core->erp().dtbDolvex().Connected());

        // Whole replies again: the next run flags both (the first one perhaps as already accepted).
        service->reset();
        core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
        EXPECT_EQ(flagCupom(nro), 2);
        EXPECT_EQ(flagCupom(nro + 1), 2);
        nro += 2;
    }
}

TEST_F(SalesTest, MovementReplyNotInUtf8IsKeptAsReceived) {
    cupom(1);
    cupom(2);
    const char bytes[] = "\xFF\xFE\x00\x81\xC3\x28 fim";
    const QByteArray corpo(bytes, sizeof bytes - 1);
    service->serve(QStringLiteral("movimientos"), corpo);
    service->queue(QStringLiteral("movimientos"), {201});

    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());

    // 201 is not an acceptance: the flag stays and the error file holds the reply as received.
    EXPECT_EQ(flagCupom(1), 1);
    EXPECT_TRUE(temLog(QStringLiteral("Erro Gravação: 1 - 1 - 10/06/2020"),
                       QStringLiteral("erro API=201: erro nao catalogado")))
        << textoDoLog().toStdString();
    QFile arquivo(pasta.file(QStringLiteral("Vda1_1.txt")));
    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    EXPECT_TRUE(arquivo.readAll().startsWith("201\r\nHTTP/1.1 201 Created\r\n" + corpo + "\r\n"));
    // 200 is one, whatever the body.
    EXPECT_EQ(flagCupom(2), 2);
    EXPECT_TRUE(temLog(QStringLiteral("Gravação venda: 1 - 2 - 10/06/2020"), QStringLiteral("200: Ok")));
}

TEST_F(SalesTest, ClosingReplyThatNeverArrivesWholeKeepsTheLastClosedDay) {
    const HttpLimits limites(kLimites);
    for (int dia = 11; dia <= 13; ++dia)
        cupom(dia, 1, QDate(2020, 6, dia), 2);
    core->config().SalvaUltFecha(QStringLiteral("10/06/2020"));
    for (const RespostaRuim& c : respostasRuins()) {
        SCOPED_TRACE(c.nome);
        service->setDelivery(QStringLiteral("cierresDiarios"), c.entrega);
        if (!c.corpo.isEmpty()) service->serve(QStringLiteral("cierresDiarios"), c.corpo);
        const qsizetype linhas = linhasDoLog.size();

        core->closing().Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString());

        ASSERT_EQ(linhasDoLog.size(), linhas + 1) << textoDoLog().toStdString();
        EXPECT_EQ(linhasDoLog.constLast().operacao, QStringLiteral("Erro fechamento: 11/06/2020 / Cx: 1"));
        EXPECT_TRUE(linhasDoLog.constLast().mensagem.contains(c.mensagem)) << textoDoLog().toStdString();
        EXPECT_EQ(core->config().values().dataUltFecha, QStringLiteral("10/06/2020"));
        EXPECT_EQ(dataUltFechaGravada(), QStringLiteral("10/06/2020"));
        service->reset();
    }

    // A whole reply not in UTF-8 is an acceptance like any 200.
    const char bytes[] = "\xFF\xFE\x00\x81\xC3\x28";
    service->serve(QStringLiteral("cierresDiarios"), QByteArray(bytes, sizeof bytes - 1));
    core->closing().Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString());
    EXPECT_TRUE(temLog(QStringLiteral("Fechamento: 13/06/2020 / Cx: 1"), QStringLiteral("200: ok")))
        << textoDoLog().toStdString();
    EXPECT_EQ(dataUltFechaGravada(), QStringLiteral("13/06/2020"));
}
