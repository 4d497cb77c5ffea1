// What may go wrong in a sales upload run, end to end: the service stopping in
// the middle, a poison ticket between good ones, bad input in the ERP rows, an
// error file that cannot be written, and database errors.

#include "SalesFixture.h"
#include "erp/uDtmApi.h"
#include "support/Errors.h"

#include <QJsonDocument>
#include <QJsonObject>

TEST_F(SalesTest, ServiceStoppedInTheMiddleEndsTheRunCleanly) {
    for (int n = 1; n <= 5; ++n)
        cupom(n);
    cancelamento(9);
    core->scheduler().closingCountdown().setProximo(0); // the closing would be due
    // The service goes away once the second ticket has been logged.
    QObject::connect(&core->log(), &TActivityLog::rowAdded, core.get(), [this] {
        if (linhasDoLog.size() == 2) service->stop();
    });
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());

    EXPECT_EQ(flagCupom(1), 2);
    EXPECT_EQ(flagCupom(2), 2);
    for (int n = 3; n <= 5; ++n)
        EXPECT_EQ(flagCupom(n), 1) << n;
    EXPECT_EQ(flagCancelamento(9), 1);
    // One failure row for the third ticket, with the transport failure's message; nothing after it.
    ASSERT_EQ(linhasDoLog.size(), 3) << textoDoLog().toStdString();
    EXPECT_EQ(linhasDoLog.at(2).operacao, QStringLiteral("Erro gravação: 1 - 3 - 10/06/2020"));
    EXPECT_FALSE(linhasDoLog.at(2).mensagem.isEmpty());
    EXPECT_EQ(core->scheduler().closingCountdown().proximo(), 0); // no closing
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
    EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
    EXPECT_FALSE(core->erp().dtbDolvex().Connected());

    // The next run, with the service back, sends the rest.
    service = std::make_unique<FakeService>(FakeService::Options{kUsuario, kSenha});
    core->frame().setBaseUrl(service->baseUrl());
    core->scheduler().closingCountdown().setProximo(clockSeconds() + 1'000'000);
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(numerosPostados(), (QStringList{"3", "4", "5", "9", "-9"}));
    EXPECT_EQ(flagCancelamento(9), 2);
}

TEST_F(SalesTest, PoisonTicketIsSkippedAndTheRunGoesOn) {
    cupom(1);
    cupom(2);
    formasPgto(2, 1, kDia, QStringLiteral("Dinheiro^abc"));
    cupom(3);
    cancelamento(7, 1, kDia, 1,
                 QStringLiteral("2020-06-10T15:12:00.000-0300\r\n\r\n\r\n1^2^N^1^1^1^0")); // no FIMITENS
    cancelamento(8);

    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(numerosPostados(), (QStringList{"1", "3", "8", "-8"}));
    EXPECT_EQ(flagCupom(1), 2);
    EXPECT_EQ(flagCupom(2), 1);
    EXPECT_EQ(flagCupom(3), 2);
    EXPECT_EQ(flagCancelamento(7), 1);
    EXPECT_EQ(flagCancelamento(8), 2);
    EXPECT_TRUE(temLog(QStringLiteral("Erro documento: 1 - 2 - 10/06/2020"), QStringLiteral("'abc'")))
        << textoDoLog().toStdString();
    EXPECT_TRUE(temLog(QStringLiteral("Erro documento: 1 - 7 - 10/06/2020"))) << textoDoLog().toStdString();
}

TEST_F(SalesTest, SkippedRowsCountTowardTheCap) {
    cupons(1, 399);
    cupom(400);
    formasPgto(400, 1, kDia, QStringLiteral("Dinheiro^?"));
    cupom(401);
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(posts().size(), 399);
    EXPECT_EQ(flagCupom(401), 1);
}

TEST_F(SalesTest, BadInputGivesValidDocumentsOrCleanSkips) {
    // Null amounts, a null payment form, no payment-forms row.
    db->exec(
        QStringLiteral("INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, sinc_korvanta, cod_emp) "
                       "VALUES (1, 1, DATE '2020-06-10', 1, 1)"));
    db->exec(QStringLiteral("INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer) "
                            "VALUES (1, 1, DATE '2020-06-10', 1, 1002)"));
    // Quotes and control characters in the customer document and the barcode;
    // a payment-forms text with empty lines and blanks.
    db->exec(QStringLiteral("INSERT INTO mercadorias (cod_red, cod_bar, nom_mer) VALUES (7, %1, %2)")
                 .arg(sql(QStringLiteral("78\"9\\1\t")), sql(QStringLiteral("CAFE \"BOM\"\r\nNOVO"))));
    db->exec(QStringLiteral(
                 "INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, sub_tot, vlr_tro, forma_pag, "
                 "cpf_cli, hora, sinc_korvanta, cod_emp) VALUES (2, 1, DATE '2020-06-10', 10, 1, 'X', %1, "
                 "TIME '08:00:00', 1, 1)")
                 .arg(sql(QStringLiteral("123\"45\x01"))));
    db->exec(QStringLiteral(
        "INSERT INTO itensCupom (nro_cupom, nro_cx, data_cupom, nro_item, cod_mer, vlr_uni, "
        "sub_tot, qtd_ven, vlr_des_i_korv) VALUES (2, 1, DATE '2020-06-10', 1, 7, 11, 10, 1, 1)"));
    formasPgto(2, 1, kDia, QStringLiteral("\r\nDinheiro^ 11,00 \r\n\r\n"));
    // A discounted item of quantity 0: skipped.
    cupom(3);
    db->exec(QStringLiteral("UPDATE itensCupom SET qtd_ven = 0 WHERE nro_cupom = 3"));
    // A cancellation whose totals line has too few fields: skipped.
    cancelamento(
        4, 1, kDia, 1,
        textoCancelado().replace(QStringLiteral("0^0^45.60^^DINHEIRO"), QStringLiteral("0^0^45.60")));

    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(numerosPostados(), (QStringList{"1", "2"})) << textoDoLog().toStdString();
    EXPECT_EQ(flagCupom(1), 2); // the service's strict check accepted both documents
    EXPECT_EQ(flagCupom(2), 2);
    EXPECT_EQ(flagCupom(3), 1);
    EXPECT_EQ(flagCancelamento(4), 1);
    const QJsonObject doc2 = QJsonDocument::fromJson(posts().at(1).body).object();
    EXPECT_EQ(doc2.value(QStringLiteral("documentoCliente")).toString(), QStringLiteral("123\"45\x01"));
    EXPECT_TRUE(temLog(QStringLiteral("Erro documento: 1 - 3 - 10/06/2020"), QStringLiteral("item 1002")));
    EXPECT_TRUE(temLog(QStringLiteral("Erro documento: 1 - 4 - 10/06/2020"), QStringLiteral("totals line")));
}

TEST_F(SalesTest, ErrorFileThatCannotBeWrittenKeepsTheFlag) {
    cupom(1);
    cupom(2);
    changeStore(*core, [&](Loja& l) { l.pastaLog = pasta.file(QStringLiteral("missing/folder/")); });
    service->queue(QStringLiteral("movimientos"), {400});
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(flagCupom(1), 3);
    EXPECT_EQ(flagCupom(2), 2);
    EXPECT_TRUE(temLog(QStringLiteral("Erro arquivo: Vda1_1.txt"))) << textoDoLog().toStdString();
}

TEST_F(SalesTest, DatabaseErrorEndsTheRunWithGatesOpenAndSessionClosed) {
    cupom(1);
    // A statement the database refuses in the middle of the run.
    changeStore(*core, [&](Loja& l) { l.usaCodEmpDolvex = true; });
    changeStore(*core, [&](Loja& l) { l.codEmpDolvex = QStringLiteral("1 and nothing"); });
    EXPECT_THROW(core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day()),
                 AppError);
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
    EXPECT_TRUE(core->scheduler().gates().podeGetPromo());
    EXPECT_FALSE(core->erp().dtbDolvex().Connected());

    // A database that cannot be opened.
    changeStore(*core, [&](Loja& l) { l.usaCodEmpDolvex = false; });
    core->erp().setPathBancoDolvex(pasta.file(QStringLiteral("missing.fdb")));
    EXPECT_THROW(core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day()),
                 AppError);
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
    EXPECT_TRUE(service->journal().isEmpty());
}

TEST_F(SalesTest, CompanyFilterTakesTheCompanysRowsOnly) {
    cupom(1);
    db->exec(QStringLiteral("UPDATE cupom_fiscal SET cod_emp = 5"));
    cupom(2); // company 1
    changeStore(*core, [&](Loja& l) { l.usaCodEmpDolvex = true; });
    changeStore(*core, [&](Loja& l) { l.codEmpDolvex = QStringLiteral("5"); });
    core->sales().PostVendas(QStringLiteral("Pendentes-1"), QString(), core->commands().day());
    EXPECT_EQ(numerosPostados(), (QStringList{"1"}));
    EXPECT_EQ(db->integer(QStringLiteral("select sinc_korvanta from cupom_fiscal where cod_emp = 5")), 2);
    EXPECT_EQ(db->integer(QStringLiteral("select sinc_korvanta from cupom_fiscal where cod_emp = 1")), 1);
}

TEST_F(SalesTest, UnsafeArgumentsAreRefusedBeforeAnyWork) {
    cupom(1);
    EXPECT_THROW(
        core->sales().PostVendas(QStringLiteral("Data"), QStringLiteral("1 or 1=1"), core->commands().day()),
        AppError);
    EXPECT_THROW(core->sales().PostVendas(QStringLiteral("pendentes-1"), QString(), core->commands().day()),
                 AppError);
    EXPECT_TRUE(core->scheduler().gates().podePostVenda());
    EXPECT_TRUE(service->journal().isEmpty());
}
