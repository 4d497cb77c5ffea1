// The daily closing run end to end: the pending loop over several days with a
// refused day, the given-date mode with a register, the totals of a day, the
// service stopping in the middle, and the inputs the run refuses.

#include "SalesFixture.h"
#include "config/Settings.h"
#include "erp/uDtmApi.h"

namespace {

const QString kFechamento = QStringLiteral("cierresDiarios");

} // namespace

class FechamentoTest : public SalesTest {
  protected:
    // A sale of the given total (sinc_korvanta 2: the closing counts every flag).
    void venda(int nro, int cx, const QDate& dia, const char* total, int codEmp = 1) const {
        db->exec(
            QStringLiteral("INSERT INTO cupom_fiscal (nro_cupom, nro_cx, data_cupom, sub_tot, sinc_korvanta, "
                           "cod_emp) VALUES (%1, %2, DATE '%3', %4, 2, %5)")
                .arg(nro)
                .arg(cx)
                .arg(dia.toString(Qt::ISODate), QLatin1String(total))
                .arg(codEmp));
    }
    [[nodiscard]] QStringList fechasPostadas() const {
        QStringList out;
        for (const JournalRecord& r : posts(kFechamento)) {
            const QString caixa = r.path.section(u'/', -2, -2);
            const qsizetype at = r.body.indexOf("\"fechaVentas\":\"") + 15;
            out << QString::fromUtf8(r.body.mid(at, 10)) + QStringLiteral(" cx ") + caixa;
        }
        return out;
    }
};

TEST_F(FechamentoTest, PendingModeClosesEveryDayUpToYesterday) {
    // 10 June: no tickets. 11 June: 3 sales totalling 100 and a cancellation of 25.
    venda(1, 1, QDate(2020, 6, 11), "50");
    venda(2, 1, QDate(2020, 6, 11), "30");
    venda(3, 1, QDate(2020, 6, 11), "20");
    cancelamento(4, 1, QDate(2020, 6, 11), 2);
    db->exec(QStringLiteral("UPDATE KORVANTA_DELETE SET sub_tot = 25"));
    formasPgto(1, 1, QDate(2020, 6, 11), QStringLiteral("Dinheiro^50")); // never counted
    venda(5, 1, QDate(2020, 6, 12), "10");                               // refused
    venda(6, 1, QDate(2020, 6, 13), "10");
    venda(7, 2, QDate(2020, 6, 13), "10");
    venda(8, 1, QDate(2020, 6, 14), "10"); // today: not closed
    cancelamento(9, 3, QDate(2020, 6, 13), 2); // a register without tickets that day: not closed
    core->config().MostraUltFecha(QStringLiteral("09/06/2020"));
    service->queue(kFechamento, {200, 400});

    core->closing().Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString());
    EXPECT_EQ(fechasPostadas(),
              (QStringList{"2020-06-11 cx 1", "2020-06-12 cx 1", "2020-06-13 cx 1", "2020-06-13 cx 2"}));
    EXPECT_EQ(posts(kFechamento).at(0).body, QByteArray("{\r\n"
                                                        "\"montoVentaLiquida\":100.00,\r\n"
                                                        "\"cantidadMovimientos\":4,\r\n"
                                                        "\"montoCancelaciones\":25.00,\r\n"
                                                        "\"cantidadCancelaciones\":1,\r\n"
                                                        "\"fechaVentas\":\"2020-06-11\"\r\n"
                                                        "}\r\n"));
    EXPECT_EQ(posts(kFechamento).at(0).path,
              QStringLiteral("/api-minoristas/api/v2/minoristas/11/locales/22/cajas/1/cierresDiarios"));
    EXPECT_TRUE(posts(kFechamento)
                    .at(1)
                    .body.contains("\"montoCancelaciones\":0.00,\r\n\"cantidadCancelaciones\":0,"));
    EXPECT_TRUE(temLog(QStringLiteral("Fechamento: 11/06/2020 / Cx: 1"), QStringLiteral("200: ok")));
    EXPECT_TRUE(
        temLog(QStringLiteral("Erro fechamento: 12/06/2020 / Cx: 1"), QStringLiteral("HTTP/1.1 400 ")));
    EXPECT_TRUE(temLog(QStringLiteral("Fechamento: 13/06/2020 / Cx: 2"), QStringLiteral("200: ok")));
    EXPECT_EQ(linhasDoLog.size(), 4) << textoDoLog().toStdString();
    EXPECT_EQ(core->config().values().dataUltFecha, QStringLiteral("13/06/2020"));
    EXPECT_EQ(dataUltFechaGravada(), QStringLiteral("13/06/2020"));
    // The last document stays in the examined reply of the diagnostics; the session stays open.
    EXPECT_TRUE(core->diagnostics().respostaExaminada().Text().contains(
        QStringLiteral("\"fechaVentas\":\"2020-06-13\"")));
    EXPECT_TRUE(core->erp().dtbDolvex().Connected());
    // Four days read with one grouped selection per table, not one per day and register.
    EXPECT_EQ(core->erp().dtbDolvex().statements().preparations(), 2);

    // Up to date: nothing more to send.
    core->closing().Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString());
    EXPECT_EQ(posts(kFechamento).size(), 4);
}

TEST_F(FechamentoTest, GivenDateModeClosesOneDayAndKeepsTheLastClosedDay) {
    venda(1, 1, QDate(2020, 6, 13), "10");
    venda(2, 2, QDate(2020, 6, 13), "12.34");
    venda(3, 2, QDate(2020, 6, 12), "10");
    core->config().MostraUltFecha(QStringLiteral("01/06/2020"));
    service->queue(kFechamento, {200, 201, 500});

    core->closing().Envia_fechamento_dia_anterior(QStringLiteral("13/06/2020"), QStringLiteral("2"));
    EXPECT_EQ(fechasPostadas(), (QStringList{"2020-06-13 cx 2"}));
    EXPECT_TRUE(posts(kFechamento).at(0).body.contains("\"montoVentaLiquida\":12.34,"));
    EXPECT_TRUE(temLog(QStringLiteral("Fechamento: 13/06/2020 / Cx: 2"), QStringLiteral("200: ok")));

    core->closing().Envia_fechamento_dia_anterior(QStringLiteral("13/06/2020"), QString());
    EXPECT_TRUE(temLog(QStringLiteral("Erro fechamento: 13/06/2020 / Cx: 1"), QStringLiteral("erro fecha")));
    EXPECT_TRUE(
        temLog(QStringLiteral("Erro fechamento: 13/06/2020 / Cx: 2"), QStringLiteral("HTTP/1.1 500 ")));
    EXPECT_EQ(core->frame().failoverIndex(), 2); // the 500 moved the failover on
    EXPECT_EQ(core->config().values().dataUltFecha, QStringLiteral("01/06/2020"));
    EXPECT_EQ(dataUltFechaGravada(), QStringLiteral("01/11/2020")); // never stored
}

TEST_F(FechamentoTest, ServiceStoppedKeepsTheDayThatFailed) {
    venda(1, 1, QDate(2020, 6, 11), "10");
    venda(2, 1, QDate(2020, 6, 12), "10");
    venda(3, 1, QDate(2020, 6, 13), "10");
    core->config().MostraUltFecha(QStringLiteral("10/06/2020"));
    QObject::connect(&core->log(), &TActivityLog::rowAdded, core.get(), [this] {
        if (linhasDoLog.size() == 1) service->stop();
    });

    core->closing().Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString());
    ASSERT_EQ(linhasDoLog.size(), 2) << textoDoLog().toStdString();
    EXPECT_EQ(linhasDoLog.at(1).operacao, QStringLiteral("Erro fechamento: 12/06/2020 / Cx: 1"));
    EXPECT_FALSE(linhasDoLog.at(1).mensagem.isEmpty());
    EXPECT_EQ(core->config().values().dataUltFecha, QStringLiteral("11/06/2020"));
    EXPECT_EQ(dataUltFechaGravada(), QStringLiteral("11/06/2020"));
}

TEST_F(FechamentoTest, InputsThatCannotNameADayOrRegisterAreLoggedNotSent) {
    venda(1, 1, QDate(2020, 6, 13), "10");
    const struct {
        const char* data;
        const char* caixa;
    } casos[] = {{"2020-06-13", ""}, {"31/02/2020", ""}, {"13/06/2020", "1 or 1=1"}};
    for (const auto& c : casos)
        core->closing().Envia_fechamento_dia_anterior(QString::fromLatin1(c.data),
                                                      QString::fromLatin1(c.caixa));
    core->config().MostraUltFecha(QStringLiteral("ontem"));
    core->closing().Envia_fechamento_dia_anterior(QStringLiteral("Pendente"), QString());
    EXPECT_TRUE(posts(kFechamento).isEmpty());
    EXPECT_EQ(linhasDoLog.size(), 4) << textoDoLog().toStdString();
    for (const Linha& l : linhasDoLog)
        EXPECT_TRUE(l.operacao.startsWith(QStringLiteral("Erro fechamento: ")));
}

TEST_F(FechamentoTest, CompanyFilterCountsTheCompanysRowsOnly) {
    venda(1, 1, QDate(2020, 6, 13), "10", 5);
    venda(2, 1, QDate(2020, 6, 13), "99", 1);
    changeStore(*core, [&](Loja& l) { l.usaCodEmpDolvex = true; });
    changeStore(*core, [&](Loja& l) { l.codEmpDolvex = QStringLiteral("5"); });
    core->closing().Envia_fechamento_dia_anterior(QStringLiteral("13/06/2020"), QString());
    ASSERT_EQ(posts(kFechamento).size(), 1);
    EXPECT_TRUE(
        posts(kFechamento).at(0).body.contains("\"montoVentaLiquida\":10.00,\r\n\"cantidadMovimientos\":1,"));
}
