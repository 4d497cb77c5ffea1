// The sales upload run end to end, on the embedded ERP database and the fake
// service: the documents as posted, the flag, log row and error file of each
// reply, the 400-ticket cap, the date mode with a register, the two passes of
// a cancellation, the guards, and the first-acceptance rule of DataUltFecha.

#include "Exemplos.h"
#include "SalesFixture.h"
#include "config/Settings.h"
#include "erp/uDtmApi.h"
#include "support/Codepage.h"

#include <QFile>

namespace {

// The lines of an error file, read in the 8-bit code page.
QStringList linhasDoArquivo(const QString& caminho) {
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList linhas = ansi::toUnicode(f.readAll()).split(QStringLiteral("\r\n"));
    if (!linhas.isEmpty() && linhas.last().isEmpty()) linhas.removeLast();
    return linhas;
}

} // namespace

TEST_F(SalesTest, SaleIsPostedAsTheExampleDocumentAndFlagged) {
    cupom(2935);
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());

    const QList<JournalRecord> p = posts();
    ASSERT_EQ(p.size(), 1) << textoDoLog().toStdString();
    EXPECT_EQ(p.at(0).body, QByteArray(kExemploVenda));
    EXPECT_EQ(p.at(0).path,
              QStringLiteral("/api-minoristas/api/v2/minoristas/11/locales/22/cajas/1/movimientos"));
    EXPECT_EQ(p.at(0).status, 200);
    EXPECT_EQ(flagCupom(2935), 2);
    EXPECT_TRUE(temLog(QStringLiteral("Gravação venda: 1 - 2935 - 10/06/2020"), QStringLiteral("200: Ok")))
        << textoDoLog().toStdString();
    EXPECT_EQ(core->diagnostics().documentoEnviado().Text().toUtf8(), QByteArray(kExemploVenda));
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
    EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
    EXPECT_FALSE(core->erp().dtbDolvex().Connected());
}

struct CasoDeStatus {
    int status;
    int flag;             // sinc_korvanta afterwards
    const char* operacao; // log operation prefix
    const char* mensagem; // start of the log message
    bool arquivo;         // an error file is written
    int qualUrlColeta;    // failover index afterwards
};

class ReplyStatusTest : public SalesTest, public ::testing::WithParamInterface<CasoDeStatus> {};

TEST_P(ReplyStatusTest, FlagLogRowAndErrorFile) {
    const CasoDeStatus& c = GetParam();
    cupom(2935);
    service->queue(QStringLiteral("movimientos"), {c.status});
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());

    EXPECT_EQ(flagCupom(2935), c.flag);
    EXPECT_TRUE(temLog(QString::fromUtf8(c.operacao) + QStringLiteral("1 - 2935 - 10/06/2020"),
                       QString::fromUtf8(c.mensagem)))
        << textoDoLog().toStdString();
    EXPECT_EQ(core->frame().failoverIndex(), c.qualUrlColeta);
    // The status examined is the first line of the reply kept for the test console.
    EXPECT_EQ(core->diagnostics().respostaExaminada().Lines().value(0), QString::number(c.status));

    const QStringList arquivo = linhasDoArquivo(core->store().pastaLog + QStringLiteral("Vda2935_1.txt"));
    if (!c.arquivo) {
        EXPECT_TRUE(arquivo.isEmpty());
        return;
    }
    // Status, status line, the reply body (empty after a protocol failure), the document.
    ASSERT_GE(arquivo.size(), 4);
    EXPECT_EQ(arquivo.at(0), QString::number(c.status));
    EXPECT_TRUE(arquivo.at(1).startsWith(QStringLiteral("HTTP/1.1 %1 ").arg(c.status)))
        << arquivo.at(1).toStdString();
    const QString corpo = c.status < 300 ? QStringLiteral("{\"status\":%1}").arg(c.status) : QString();
    EXPECT_EQ(arquivo.at(2), corpo);
    EXPECT_EQ(arquivo.mid(3).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"),
              QString::fromLatin1(kExemploVenda));
    if (c.status >= 300) {
        EXPECT_EQ(core->diagnostics().resultado().Text(), arquivo.at(1));
    }
}

INSTANTIATE_TEST_SUITE_P(Statuses, ReplyStatusTest,
                         ::testing::Values(CasoDeStatus{200, 2, "Gravação venda: ", "200: Ok", false, 1},
                                           CasoDeStatus{208, 2, "Gravação venda: ", "208: Ok", false, 1},
                                           CasoDeStatus{201, 1, "Erro Gravação: ",
                                                        "erro API=201: erro nao catalogado", true, 1},
                                           CasoDeStatus{400, 3, "Erro gravação: ", "HTTP/1.1 400 ", true, 1},
                                           CasoDeStatus{401, 1, "Erro gravação: ", "HTTP/1.1 401 ", true, 1},
                                           CasoDeStatus{404, 1, "Erro gravação: ", "HTTP/1.1 404 ", true, 1},
                                           CasoDeStatus{500, 1, "Erro gravação: ", "HTTP/1.1 500 ", true, 2},
                                           CasoDeStatus{408, 1, "Erro gravação: ", "HTTP/1.1 408 ", true, 2}),
                         [](const ::testing::TestParamInfo<CasoDeStatus>& info) {
                             return "Status" + std::to_string(info.param.status);
                         });

TEST_F(SalesTest, AtMost400TicketsPerRunSalesFirst) {
    cupons(1, 450);
    for (int n = 1; n <= 10; ++n)
        cancelamento(9000 + n);

    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(posts().size(), 400);
    EXPECT_EQ(db->integer(QStringLiteral("select count(*) from cupom_fiscal where sinc_korvanta = 2")), 400);
    EXPECT_EQ(db->integer(QStringLiteral("select count(*) from KORVANTA_DELETE where sinc_korv = 1")), 10);

    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(posts().size(), 400 + 50 + 2 * 10);
    EXPECT_EQ(db->integer(QStringLiteral("select count(*) from cupom_fiscal where sinc_korvanta = 2")), 450);
    EXPECT_EQ(db->integer(QStringLiteral("select count(*) from KORVANTA_DELETE where sinc_korv = 2")), 10);
    // The payment-forms rows keep their 99.
    EXPECT_EQ(db->integer(QStringLiteral("select count(*) from KORVANTA_DELETE where sinc_korv = 99")), 450);
    // Tickets go in the order of their number; the change comes off the first payment.
    EXPECT_EQ(numerosPostados().mid(0, 3), (QStringList{"1", "2", "3"}));
    EXPECT_TRUE(posts().at(0).body.contains("\"importe\":10.00,"));
}

TEST_F(SalesTest, DateModeWithARegisterTakesEveryFlagOfThatDay) {
    const QDate outroDia = kDia.addDays(1);
    cupom(10, 2, kDia, 1);
    cupom(11, 2, kDia, 2);
    cupom(12, 2, kDia, 3);
    cupom(13, 2, kDia, 0);
    cupom(14, 1, kDia, 1);        // another register
    cupom(15, 2, outroDia, 1);    // another day
    cancelamento(20, 3, kDia, 2); // cancellations of every register of that day
    cancelamento(21, 1, outroDia, 1);
    formasPgto(10, 2, kDia, QStringLiteral("Dinheiro^45.60")); // never a cancellation

    core->commands().setDay(kDia);
    core->sales().PostVendas(QStringLiteral("Data"), QStringLiteral("2"), core->commands().day());
    EXPECT_EQ(numerosPostados(), (QStringList{"10", "11", "12", "13", "20", "-20"}))
        << textoDoLog().toStdString();
    for (int n : {10, 11, 12, 13})
        EXPECT_EQ(flagCupom(n, 2), 2) << n;
    EXPECT_EQ(flagCupom(14), 1);
    EXPECT_EQ(flagCupom(15, 2), 1);
    EXPECT_EQ(flagCancelamento(20, 3), 2);
    EXPECT_EQ(flagCancelamento(21), 1);
    EXPECT_EQ(posts().at(4).path,
              QStringLiteral("/api-minoristas/api/v2/minoristas/11/locales/22/cajas/3/movimientos"));
}

TEST_F(SalesTest, CancellationFlagFollowsPassTwo) {
    cancelamento(2930, 1);
    formasPgto(2930, 1, kDia, QStringLiteral("Cartao Credito^45.60"));
    cancelamento(2931, 1);
    // 2930: pass 1 refused, pass 2 accepted; 2931: pass 1 accepted, pass 2 fails with 500.
    service->queue(QStringLiteral("movimientos"), {400, 200, 200, 500});
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());

    EXPECT_EQ(numerosPostados(), (QStringList{"2930", "-2930", "2931", "-2931"}));
    EXPECT_EQ(flagCancelamento(2930), 2);
    EXPECT_EQ(flagCancelamento(2931), 1);
    EXPECT_EQ(db->integer(QStringLiteral("select sinc_korv from KORVANTA_DELETE where nro_cupom=2930 and "
                                         "memo_korv starting with 'Cartao'")),
              99);
    const QString chave = QStringLiteral("1 - 2930 - 10/06/2020");
    EXPECT_TRUE(temLog(QStringLiteral("Erro cancelamento p.1: ") + chave, QStringLiteral("HTTP/1.1 400 ")));
    EXPECT_TRUE(temLog(QStringLiteral("Venda cancelada p.2 (-): ") + chave, QStringLiteral("200: Ok")));
    EXPECT_TRUE(
        temLog(QStringLiteral("Venda cancelada p.1 (+): 1 - 2931 - 10/06/2020"), QStringLiteral("200: Ok")));
    EXPECT_TRUE(temLog(QStringLiteral("Erro cancelamento p.2: 1 - 2931 - 10/06/2020"),
                       QStringLiteral("HTTP/1.1 500")));
    EXPECT_TRUE(QFile::exists(core->store().pastaLog + QStringLiteral("Dlt p.12930_1.txt")));
    EXPECT_TRUE(QFile::exists(core->store().pastaLog + QStringLiteral("Dlt p.22931_1.txt")));
    // Pass 1 is the ticket as a sale with the payment-forms row's payments.
    EXPECT_TRUE(posts().at(0).body.contains("\"cancelacion\":false"));
    EXPECT_TRUE(posts().at(0).body.contains("\"codigoTipoPago\":10,"));
    EXPECT_TRUE(posts().at(1).body.contains("\"cancelacion\":true"));
}

TEST_F(SalesTest, PendingThreeTakesTheRefusedRowsOnly) {
    cupom(1, 1, kDia, 1);
    cupom(3, 1, kDia, 3);
    cancelamento(5, 1, kDia, 3);
    core->sales().PostVendas(QStringLiteral("Pendentes-3"), QString(), core->commands().day());
    EXPECT_EQ(numerosPostados(), (QStringList{"3", "5", "-5"}));
    EXPECT_EQ(flagCupom(3), 2);
    EXPECT_EQ(flagCancelamento(5), 2);
    EXPECT_EQ(flagCupom(1), 1);
}

TEST_F(SalesTest, GuardsKeepTheRunFromStarting) {
    cupom(1);
    changeStore(*core, [&](Loja& l) { l.postaVendas = false; });
    core->scheduler().closingCountdown().setProximo(0); // the closing would be due
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    changeStore(*core, [&](Loja& l) { l.postaVendas = true; });
    core->scheduler().gates().setPodePostVenda(0);
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_TRUE(service->journal().isEmpty());
    EXPECT_TRUE(linhasDoLog.isEmpty());
    EXPECT_EQ(core->scheduler().closingCountdown().proximo(), 0);
    EXPECT_FALSE(core->scheduler().gates().podePostVenda());
}

TEST_F(SalesTest, FirstAcceptedMovementMakesTodayTheLastClosedDay) {
    cupom(1);
    cupom(2);
    core->config().MostraUltFecha(QStringLiteral("01/01/2020"));
    service->queue(QStringLiteral("movimientos"), {400});
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(core->config().values().dataUltFecha, QStringLiteral("14/06/2020"));
    EXPECT_EQ(dataUltFechaGravada(), QStringLiteral("14/06/2020"));

    // Any other date is left alone.
    core->config().MostraUltFecha(QStringLiteral("01/11/2020"));
    core->sales().PostVendas(QStringLiteral("Data"), QString(), core->commands().day());
    EXPECT_EQ(core->config().values().dataUltFecha, QStringLiteral("01/11/2020"));
}

TEST_F(SalesTest, DueClosingRunsAtTheEndAndMovesItsCountdown) {
    cupom(1, 1, QDate(2020, 6, 13), 2);
    core->config().MostraUltFecha(QStringLiteral("12/06/2020"));
    ConfigValues valores = core->config().values();
    valores.timerFecha.setText(QStringLiteral("660"));
    core->config().setValues(valores);
    core->scheduler().closingCountdown().setProximo(clockSeconds() - 1);
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(core->scheduler().closingCountdown().proximo(), clockSeconds() + 660);
    EXPECT_EQ(posts(QStringLiteral("cierresDiarios")).size(), 1);
    EXPECT_TRUE(temLog(QStringLiteral("Fechamento: 13/06/2020 / Cx: 1"), QStringLiteral("200: ok")));
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
    EXPECT_FALSE(core->erp().dtbDolvex().Connected());

    // Not due: nothing more.
    core->scheduler().closingCountdown().setProximo(clockSeconds());
    core->config().MostraUltFecha(QStringLiteral("12/06/2020"));
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(posts(QStringLiteral("cierresDiarios")).size(), 1);
}
